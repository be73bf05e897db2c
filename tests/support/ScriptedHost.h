// A scripted, in-memory Host for logic tests: no display, a virtual clock, and modal runs
// answered from scripts registered per template id.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialog.h"

namespace testing_support {

struct ListItem
{
    std::string text;
    std::intptr_t data = 0;
    int check = 0;
};

struct Control
{
    platform::ControlKind kind{};
    std::string text;
    bool enabled = true;
    int check = 0;
    std::vector<ListItem> items;
    int curSel = -1;
};

// How a window looked when its modal run ended.
struct WindowSnapshot
{
    std::map<int, Control> controls;
};

class ScriptedHost;

// The window of a modal run, and what a script does to it as a user would.
class ScriptedWindow : public platform::Window
{
public:
    ScriptedWindow(ScriptedHost& host, platform::Dialog& dialog);
    ~ScriptedWindow() override;

    // Presses a push button or toggles a check box; fails the test when it is disabled.
    void Click(int id);
    // Replaces a field's text as a paste would.
    void Type(int id, const std::string& text) { At(id).text = text, SetFocus(id); }
    void PressEnter();
    void PressEscape() { m_dialog.OnCommand(platform::IdCancel); }
    void ChooseFromWindowMenu(unsigned command) { m_dialog.OnSysCommand(command); }
    void Advance(unsigned ms);
    Control& At(int id) const { return controls.at(id); }

    void SetTitle(const std::string& text) override { title = text; }
    std::string GetTitle() const override { return title; }
    void SetIcon(int, bool) override {}
    void AppendSystemMenu(unsigned, const std::string&) override {}
    void EnableToolTips(platform::ToolTipLookup) override {}
    void SetTopmost() override { topmost = true; }
    bool ForceForeground() override { return ++foregroundCount > 0; }
    void EndModal(int value) override { result = value, ended = true; }
    std::uintptr_t SetTimer(unsigned id, unsigned ms) override;
    bool KillTimer(std::uintptr_t id) override;
    bool HasControl(int id) const override { return controls.count(id) != 0; }
    void SetText(int id, const std::string& text) override { At(id).text = text; }
    std::string GetText(int id) const override { return At(id).text; }
    void Enable(int id, bool enable) override { At(id).enabled = enable; }
    bool IsEnabled(int id) const override { return At(id).enabled; }
    void SetCheck(int id, int state) override { At(id).check = state; }
    int GetCheck(int id) const override { return At(id).check; }
    bool SetFont(int, const platform::Font& font) override { return font.IsCreated(); }
    void SetFocus(int id) override { focus = HasControl(id) ? id : focus; }
    int GetFocus() const override { return focus; }
    // Selections, limits, ranges and steps act only in a real window: the toolkit tests check
    // them there.
    void SelectAllText(int) override {}
    void SetLimitText(int, int) override {}
    void SetUpDownRange(int, int, int) override {}
    void SetUpDownStep(int, int) override {}
    int ListAddString(int id, const std::string& s) override { return ListInsertString(id, -1, s); }
    int ListInsertString(int id, int pos, const std::string& text) override;
    void ListDeleteString(int id, int pos) override;
    void ListSetItemData(int id, int pos, std::intptr_t d) override { Item(id, pos).data = d; }
    std::intptr_t ListGetItemData(int id, int pos) const override { return Item(id, pos).data; }
    int ListGetCount(int id) const override { return static_cast<int>(At(id).items.size()); }
    int ListGetCurSel(int id) const override { return At(id).curSel; }
    void ListSetCurSel(int id, int p) override { At(id).curSel = p < ListGetCount(id) ? p : -1; }
    std::string ListGetText(int id, int pos) const override { return Item(id, pos).text; }
    void ListSetCheck(int id, int pos, int state) override { Item(id, pos).check = state; }
    int ListGetCheck(int id, int pos) const override { return Item(id, pos).check; }

    mutable std::map<int, Control> controls;
    std::string title;
    bool topmost = false, ended = false;
    int foregroundCount = 0, focus = 0, result = 0;

private:
    friend class ScriptedHost;
    ListItem& Item(int id, int pos) const { return At(id).items.at(pos); }
    ScriptedHost& m_host;
    platform::Dialog& m_dialog;
};

// Scripts get the window of their run.
using Modal = ScriptedWindow;

struct MessageRecord
{
    std::string text;
    platform::MessageIcon icon;
    std::string ownerTitle; // of the main window, when one is shown
    bool ownerTopmost;
};

class ScriptedHost : public platform::Host
{
public:
    using ScriptFn = std::function<void(Modal&)>;
    using Answer = std::optional<std::string>;

    ~ScriptedHost() override;

    // Scripts are used in the order registered, one per modal run of that template.
    void Script(int templateId, ScriptFn s) { m_scripts[templateId].push_back(std::move(s)); }
    // The virtual clock: delivers every timer tick due within the next ms, in order.
    void Advance(unsigned ms);
    // The last window of a template, as it was when its run ended.
    const WindowSnapshot* LastWindow(int templateId) const { return &m_last.at(templateId); }

    int RunModal(platform::Dialog& dialog) override;
    int ShowMessage(const std::string& text, platform::MessageIcon icon,
                    platform::MessageButtons buttons = platform::MessageButtons::Ok) override;
    void SetCursor(platform::Cursor cursor) override { cursors.push_back(cursor); }
    Answer ChooseFile(platform::Dialog&, const std::string&) override { return Choose(); }
    Answer ChooseFolder(platform::Dialog&, const std::string&) override { return Choose(); }
    void ShowHelp() override { ++helpCount; }
    bool FindWindowByTitle(const std::string& title) override { return title == foreignTitle; }
    bool SessionEnding() const override { return sessionEnding; }
    std::string AppName() const override { return "Hanavo"; }

    // What a test sets up.
    std::deque<Answer> choices;      // of the file and folder choosers
    std::string foreignTitle;        // of another program's window
    std::vector<int> messageAnswers; // of the next OK/Cancel boxes; IdOk when none is left
    std::function<void()> whileMessageShown;
    bool sessionEnding = false, failNextSetTimer = false, failKillTimer = false;
    // What a test looks at.
    const std::vector<MessageRecord>& Messages() const { return m_messages; }
    std::vector<std::string> MessageTexts() const;
    std::vector<platform::Cursor> cursors;
    int helpCount = 0;

private:
    friend class ScriptedWindow;
    struct Timer
    {
        ScriptedWindow* window;
        std::uintptr_t id;
        unsigned interval;
        std::uint64_t due;
    };
    Answer Choose();

    std::uint64_t m_now = 0;
    std::vector<Timer> m_timers;
    std::map<int, std::deque<ScriptFn>> m_scripts;
    std::map<int, WindowSnapshot> m_last;
    std::vector<MessageRecord> m_messages;
};

} // namespace testing_support
