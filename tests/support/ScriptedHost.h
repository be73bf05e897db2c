// A scripted, in-memory Host for logic tests: no display, a virtual clock, and modal runs
// answered from scripts registered per template id.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Host.h"
#include "platform/Window.h"

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
    unsigned style = 0;
    std::string text;
    bool enabled = true;
    int check = 0;
    platform::Font font;
    int limitChars = -1; // UTF-16 code units
    std::vector<ListItem> items;
    int curSel = -1;
};

class ScriptedHost;

// How a window looked when its modal run ended.
struct WindowSnapshot
{
    std::map<int, Control> controls;
    bool topmost = false;
};

class ScriptedWindow : public platform::Window
{
public:
    ScriptedWindow(ScriptedHost& host, platform::Dialog& dialog);
    ~ScriptedWindow() override;

    void SetTitle(const std::string& title) override { m_title = title; }
    std::string GetTitle() const override { return m_title; }
    void SetIcon(int iconId, bool big) override { (big ? m_bigIcon : m_smallIcon) = iconId; }
    void AppendSystemMenu(unsigned command, const std::string& text) override;
    void EnableToolTips(platform::ToolTipLookup lookup) override { m_toolTips = std::move(lookup); }
    void SetTopmost() override { m_topmost = true; }
    bool ForceForeground() override;
    void EndModal(int result) override;
    std::uintptr_t SetTimer(unsigned id, unsigned ms) override;
    bool KillTimer(std::uintptr_t id) override;
    bool HasControl(int id) const override { return m_controls.count(id) != 0; }
    void SetText(int id, const std::string& text) override { At(id).text = text; }
    std::string GetText(int id) const override { return At(id).text; }
    void Enable(int id, bool enable) override { At(id).enabled = enable; }
    bool IsEnabled(int id) const override { return At(id).enabled; }
    void SetCheck(int id, int state) override { At(id).check = state; }
    int GetCheck(int id) const override { return At(id).check; }
    bool SetFont(int id, const platform::Font& font) override;
    void SetFocus(int id) override;
    int GetFocus() const override { return m_focus; }
    void SelectAllText(int id) override { m_selectedAll = id; }
    void SetLimitText(int id, int maxChars) override { At(id).limitChars = maxChars; }
    // Range and step act only in a real window; the toolkit tests check them there.
    void SetUpDownRange(int id, int, int) override { At(id); }
    void SetUpDownStep(int id, int) override { At(id); }
    int ListAddString(int id, const std::string& text) override;
    int ListInsertString(int id, int pos, const std::string& text) override;
    void ListDeleteString(int id, int pos) override;
    void ListSetItemData(int id, int pos, std::intptr_t data) override;
    std::intptr_t ListGetItemData(int id, int pos) const override;
    int ListGetCount(int id) const override;
    int ListGetCurSel(int id) const override { return At(id).curSel; }
    void ListSetCurSel(int id, int pos) override;
    std::string ListGetText(int id, int pos) const override;
    void ListSetCheck(int id, int pos, int state) override;
    int ListGetCheck(int id, int pos) const override;

    // What a test looks at.
    Control& At(int id);
    const Control& At(int id) const;
    bool Topmost() const { return m_topmost; }
    int ForegroundCount() const { return m_foreground; }
    int SelectedAll() const { return m_selectedAll; }
    int BigIcon() const { return m_bigIcon; }
    int SmallIcon() const { return m_smallIcon; }
    const std::vector<std::pair<unsigned, std::string>>& SystemMenu() const { return m_menu; }
    bool Ended() const { return m_ended; }
    int Result() const { return m_result; }
    platform::Dialog& GetDialog() const { return m_dialog; }
    std::vector<int> TabOrder() const; // enabled tab stops in template order

private:
    friend class ScriptedHost;
    ScriptedHost& m_host;
    platform::Dialog& m_dialog;
    std::map<int, Control> m_controls;
    std::string m_title;
    std::vector<std::pair<unsigned, std::string>> m_menu;
    platform::ToolTipLookup m_toolTips;
    bool m_topmost = false;
    int m_foreground = 0;
    int m_focus = 0;
    int m_selectedAll = 0;
    int m_bigIcon = 0, m_smallIcon = 0;
    bool m_ended = false;
    int m_result = 0;
};

// What a script does to the dialog being run, as a user would.
class Modal
{
public:
    Modal(ScriptedHost& host, ScriptedWindow& window) : m_host(host), m_window(window) {}
    // Presses a push button or toggles a check box; fails the test when it is disabled.
    void Click(int id);
    // Replaces a field's text as a paste would (cut to the field's limit).
    void Type(int id, const std::string& text);
    void PressEnter();
    void PressEscape();
    void CloseBox();
    void SysCommand(unsigned command);
    void Advance(unsigned ms);
    ScriptedWindow& Window() { return m_window; }
    platform::Dialog& Dialog() { return m_window.GetDialog(); }

private:
    ScriptedHost& m_host;
    ScriptedWindow& m_window;
};

struct MessageRecord
{
    std::string text;
    platform::MessageIcon icon;
    platform::MessageButtons buttons = platform::MessageButtons::Ok;
    std::string caption;
    std::string ownerTitle; // title of the main window when the box was shown
    bool ownerTopmost = false;
};

class ScriptedHost : public platform::Host
{
public:
    using ScriptFn = std::function<void(Modal&)>;

    ScriptedHost();
    ~ScriptedHost() override;

    // Scripts are used in the order registered, one per modal run of that template.
    void Script(int templateId, ScriptFn script)
    {
        m_scripts[templateId].push_back(std::move(script));
    }
    void AnswerFileChooser(std::optional<std::string> answer) { m_files.push_back(answer); }
    void AnswerFolderChooser(std::optional<std::string> answer) { m_folders.push_back(answer); }
    void AddForeignWindow(const std::string& title) { m_foreign.push_back(title); }
    void FailNextSetTimer() { m_failSetTimer = true; }
    void FailKillTimer(bool fail) { m_failKillTimer = fail; }

    // The virtual clock: delivers every timer tick due within the next ms, in order.
    void Advance(unsigned ms);

    const std::vector<MessageRecord>& Messages() const { return m_messages; }
    const std::vector<platform::Cursor>& Cursors() const { return m_cursors; }
    const std::vector<std::string>& FileFilters() const { return m_fileFilters; }
    const std::vector<std::string>& FolderTitles() const { return m_folderTitles; }
    int HelpCount() const { return m_help; }
    std::vector<int> ModalRuns() const { return m_runs; } // template ids, in order
    // The last window of a template, as it was when its run ended.
    const WindowSnapshot* LastWindow(int templateId) const;
    std::vector<ScriptedWindow*> OpenWindows() const { return m_open; }

    int RunModal(platform::Dialog& dialog) override;
    bool SessionEnding() const override { return sessionEnding; }
    bool sessionEnding = false;
    int ShowMessage(const std::string& text, platform::MessageIcon icon,
                    platform::MessageButtons buttons = platform::MessageButtons::Ok) override;
    // Answers of the next OK/Cancel boxes, first first; IdOk when none is left.
    std::vector<int> messageAnswers;
    // What happens while a box is open (the session ending, say).
    std::function<void()> whileMessageShown;
    void SetCursor(platform::Cursor cursor) override { m_cursors.push_back(cursor); }
    std::optional<std::string> ChooseFile(platform::Dialog& owner,
                                          const std::string& filter) override;
    std::optional<std::string> ChooseFolder(platform::Dialog& owner,
                                            const std::string& title) override;
    void ShowHelp() override { ++m_help; }
    bool FindWindowByTitle(const std::string& title) override;
    std::string AppName() const override { return "Hanavo"; }

private:
    friend class ScriptedWindow;
    struct Timer
    {
        ScriptedWindow* window;
        std::uintptr_t id;
        unsigned interval;
        std::uint64_t due;
    };

    std::uint64_t m_now = 0;
    std::vector<Timer> m_timers;
    std::vector<ScriptedWindow*> m_open;
    std::map<int, std::deque<ScriptFn>> m_scripts;
    std::deque<std::optional<std::string>> m_files, m_folders;
    std::vector<std::string> m_foreign;
    std::vector<MessageRecord> m_messages;
    std::vector<platform::Cursor> m_cursors;
    std::vector<std::string> m_fileFilters, m_folderTitles;
    std::map<int, WindowSnapshot> m_last;
    std::vector<int> m_runs;
    int m_help = 0;
    bool m_failSetTimer = false;
    bool m_failKillTimer = false;
};

} // namespace testing_support
