// A dialog window built by a backend from a template. The system's dialogs reach their controls
// through it by control id; they never see a toolkit type.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// A point font, as CreatePointFont describes it: face name and size in tenths of a point.
struct Font
{
    std::string face;
    int tenthsOfPoint = 0;
    bool IsCreated() const { return tenthsOfPoint > 0 && !face.empty(); }
    bool CreatePointFont(int tenths, const std::string& faceName)
    {
        face = faceName;
        tenthsOfPoint = tenths;
        return IsCreated();
    }
    void DeleteObject() { *this = Font{}; }
};

// Tooltip text lookup: gets the control id, fills the text and returns true when it has one.
using ToolTipLookup = std::function<bool(int controlId, std::string& text)>;

class Window
{
public:
    virtual ~Window() = default;

    // Window
    virtual void SetTitle(const std::string& title) = 0;
    virtual std::string GetTitle() const = 0;
    virtual void SetIcon(int iconId, bool big) = 0;
    // Appends an item to the window menu (the context menu on Linux); command 0 is a separator.
    virtual void AppendSystemMenu(unsigned command, const std::string& text) = 0;
    virtual void EnableToolTips(ToolTipLookup lookup) = 0;
    // Puts the window into the topmost band and shows it, without moving or resizing it.
    virtual void SetTopmost() = 0;
    // Brings the window in front of other programs' windows without taking the keyboard from
    // them; true when it succeeded.
    virtual bool ForceForeground() = 0;
    virtual void EndModal(int result) = 0;

    // Timers: return a non-zero id when set; KillTimer returns true when a timer was killed.
    virtual std::uintptr_t SetTimer(unsigned id, unsigned milliseconds) = 0;
    virtual bool KillTimer(std::uintptr_t id) = 0;

    // Controls by id
    virtual bool HasControl(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual std::string GetText(int id) const = 0;
    virtual void Enable(int id, bool enable) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void SetCheck(int id, int state) = 0;
    virtual int GetCheck(int id) const = 0;
    virtual bool SetFont(int id, const Font& font) = 0;
    virtual void SetFocus(int id) = 0;
    virtual int GetFocus() const = 0; // control id, or 0 when no control of this window has it
    virtual void SelectAllText(int id) = 0;
    // Edit: the most UTF-16 code units the user can bring in; only insertions stop there (a
    // paste is cut to fit), text the program sets is not cut.
    virtual void SetLimitText(int id, int maxChars) = 0;

    // Up-down control
    virtual void SetUpDownRange(int id, int lower, int upper) = 0;
    virtual void SetUpDownStep(int id, int step) = 0;

    // Check list box; positions are 0-based, -1 means none
    virtual int ListAddString(int id, const std::string& text) = 0;
    virtual int ListInsertString(int id, int pos, const std::string& text) = 0;
    virtual void ListDeleteString(int id, int pos) = 0;
    virtual void ListSetItemData(int id, int pos, std::intptr_t data) = 0;
    virtual std::intptr_t ListGetItemData(int id, int pos) const = 0;
    virtual int ListGetCount(int id) const = 0;
    virtual int ListGetCurSel(int id) const = 0;
    virtual void ListSetCurSel(int id, int pos) = 0;
    virtual std::string ListGetText(int id, int pos) const = 0;
    virtual void ListSetCheck(int id, int pos, int state) = 0;
    virtual int ListGetCheck(int id, int pos) const = 0;
};

} // namespace platform
