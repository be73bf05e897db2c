// A dialog window created from the program's dialog resource of the template's number: the
// dialog manager gives Enter, Esc and Tab; the controls are reached by id through messages.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include <windows.h>

#include "platform/TickSchedule.h"
#include "platform/Window.h"

namespace platform {

class Dialog;
struct ControlTemplate;

namespace win32 {

class Win32Host;

class Win32Window final : public Window
{
public:
    Win32Window(Dialog& dialog, Win32Host& host);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Creates the hidden window from the dialog resource, owned by owner (null for none).
    bool Create(HINSTANCE instance, HWND owner);
    HWND Handle() const { return m_hwnd; }
    Dialog& GetDialog() const { return m_dialog; }

    // Shows the window, with the focus on the first enabled tab stop when focusFirst, and runs
    // the nested loop until EndModal. A window already counting when it first appears was
    // started unattended: it is shown without taking the activation from the user's program.
    int RunModalLoop(bool focusFirst);
    bool IsModalEnded() const { return m_ended; }

    // Window
    void SetTitle(const std::string& title) override;
    std::string GetTitle() const override { return m_title; }
    void SetIcon(int iconId, bool big) override;
    void AppendSystemMenu(unsigned command, const std::string& text) override;
    void EnableToolTips(ToolTipLookup lookup) override;
    void SetTopmost() override;
    bool ForceForeground() override;
    void EndModal(int result) override;
    std::uintptr_t SetTimer(unsigned id, unsigned milliseconds) override;
    bool KillTimer(std::uintptr_t id) override;
    bool HasControl(int id) const override;
    void SetText(int id, const std::string& text) override;
    std::string GetText(int id) const override;
    void Enable(int id, bool enable) override;
    bool IsEnabled(int id) const override;
    void SetCheck(int id, int state) override;
    int GetCheck(int id) const override;
    bool SetFont(int id, const Font& font) override;
    void SetFocus(int id) override;
    int GetFocus() const override;
    void SelectAllText(int id) override;
    void SetLimitText(int id, int maxChars) override;
    void SetUpDownRange(int id, int lower, int upper) override;
    void SetUpDownStep(int id, int step) override;
    int ListAddString(int id, const std::string& text) override;
    int ListInsertString(int id, int pos, const std::string& text) override;
    void ListDeleteString(int id, int pos) override;
    void ListSetItemData(int id, int pos, std::intptr_t data) override;
    std::intptr_t ListGetItemData(int id, int pos) const override;
    int ListGetCount(int id) const override;
    int ListGetCurSel(int id) const override;
    void ListSetCurSel(int id, int pos) override;
    std::string ListGetText(int id, int pos) const override;
    void ListSetCheck(int id, int pos, int state) override;
    int ListGetCheck(int id, int pos) const override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CheckListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR subclass, DWORD_PTR data);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommandMessage(WPARAM wParam, LPARAM lParam);
    void OnTimerMessage(UINT_PTR id);
    void MeasureItem(MEASUREITEMSTRUCT& item);
    void DrawItem(const DRAWITEMSTRUCT& item);
    // The check list box's own keys and clicks: space and a click on an item's box toggle it.
    bool CheckListInput(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
    void ToggleCheck(int id, int pos);

    const ControlTemplate* Find(int id) const;
    HWND Item(int id) const;

    struct ListItem
    {
        std::string text; // as the program gave it, bytes kept
        std::intptr_t data = 0;
        int check = 0;
    };
    std::vector<ListItem>* ListOf(int id);
    const std::vector<ListItem>* ListOf(int id) const;

    // What the program last set in a control, and how it was shown.
    struct ProgramText
    {
        std::string bytes;
        std::wstring shown;
    };

    Dialog& m_dialog;
    Win32Host& m_host;
    HWND m_hwnd = nullptr;
    HWND m_tooltip = nullptr;
    HFONT m_dialogFont = nullptr; // the template's, owned by the dialog manager
    std::string m_title;
    ToolTipLookup m_toolTips;
    std::wstring m_tipText; // kept alive for the tooltip control
    std::map<int, HFONT> m_fonts;
    std::map<int, ProgramText> m_texts;
    std::map<int, std::vector<ListItem>> m_lists;
    std::map<std::uintptr_t, TickSchedule> m_timers;
    bool m_ended = false;
    int m_result = 0;
};

} // namespace win32
} // namespace platform
