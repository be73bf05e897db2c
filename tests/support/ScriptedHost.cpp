#include "support/ScriptedHost.h"

#include "platform/DataExchange.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace testing_support {

using platform::ControlKind;

// ---------------------------------------------------------------- ScriptedWindow

ScriptedWindow::ScriptedWindow(ScriptedHost& host, platform::Dialog& dialog)
    : m_host(host), m_dialog(dialog)
{
    for (const auto& c : dialog.Template().controls) {
        if (c.id == platform::kNoId)
            continue;
        Control& control = m_controls[c.id];
        control.kind = c.kind;
        control.style = c.style;
        control.text = c.kind == ControlKind::Edit ? "" : c.text;
    }
    m_title = dialog.Template().caption;
}

ScriptedWindow::~ScriptedWindow()
{
    auto& timers = m_host.m_timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [this](const auto& t) { return t.window == this; }),
                 timers.end());
}

Control& ScriptedWindow::At(int id)
{
    auto it = m_controls.find(id);
    if (it == m_controls.end())
        throw std::out_of_range("no control " + std::to_string(id));
    return it->second;
}

const Control& ScriptedWindow::At(int id) const
{
    return const_cast<ScriptedWindow*>(this)->At(id);
}

void ScriptedWindow::AppendSystemMenu(unsigned command, const std::string& text)
{
    m_menu.emplace_back(command, text);
}

bool ScriptedWindow::ForceForeground()
{
    ++m_foreground;
    return true;
}

void ScriptedWindow::EndModal(int result)
{
    m_ended = true;
    m_result = result;
}

std::uintptr_t ScriptedWindow::SetTimer(unsigned id, unsigned ms)
{
    if (m_host.m_failSetTimer) {
        m_host.m_failSetTimer = false;
        return 0;
    }
    KillTimer(id);
    m_host.m_timers.push_back({this, id, ms, m_host.m_now + ms});
    return id;
}

bool ScriptedWindow::KillTimer(std::uintptr_t id)
{
    if (m_host.m_failKillTimer)
        return false;
    auto& timers = m_host.m_timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const auto& t) { return t.window == this && t.id == id; });
    if (it == timers.end())
        return false;
    timers.erase(it);
    return true;
}

bool ScriptedWindow::SetFont(int id, const platform::Font& font)
{
    At(id).font = font;
    return font.IsCreated();
}

void ScriptedWindow::SetFocus(int id)
{
    if (HasControl(id))
        m_focus = id;
}

int ScriptedWindow::ListAddString(int id, const std::string& text)
{
    auto& items = At(id).items;
    items.push_back({text, 0, 0});
    return static_cast<int>(items.size()) - 1;
}

int ScriptedWindow::ListInsertString(int id, int pos, const std::string& text)
{
    auto& items = At(id).items;
    if (pos < 0 || pos > static_cast<int>(items.size()))
        pos = static_cast<int>(items.size());
    items.insert(items.begin() + pos, ListItem{text, 0, 0});
    return pos;
}

void ScriptedWindow::ListDeleteString(int id, int pos)
{
    auto& c = At(id);
    if (pos < 0 || pos >= static_cast<int>(c.items.size()))
        return;
    c.items.erase(c.items.begin() + pos);
    // A list box drops the selection when the selected item goes.
    if (c.curSel == pos)
        c.curSel = -1;
    else if (c.curSel > pos)
        --c.curSel;
}

void ScriptedWindow::ListSetItemData(int id, int pos, std::intptr_t data)
{
    At(id).items.at(pos).data = data;
}

std::intptr_t ScriptedWindow::ListGetItemData(int id, int pos) const
{
    return At(id).items.at(pos).data;
}

int ScriptedWindow::ListGetCount(int id) const
{
    return static_cast<int>(At(id).items.size());
}

void ScriptedWindow::ListSetCurSel(int id, int pos)
{
    auto& c = At(id);
    c.curSel = (pos >= 0 && pos < static_cast<int>(c.items.size())) ? pos : -1;
}

std::string ScriptedWindow::ListGetText(int id, int pos) const
{
    return At(id).items.at(pos).text;
}

void ScriptedWindow::ListSetCheck(int id, int pos, int state)
{
    At(id).items.at(pos).check = state;
}

int ScriptedWindow::ListGetCheck(int id, int pos) const
{
    return At(id).items.at(pos).check;
}

std::vector<int> ScriptedWindow::TabOrder() const
{
    std::vector<int> order;
    for (const auto& c : m_dialog.Template().controls)
        if (c.id != platform::kNoId && (c.style & platform::CS_TABSTOP) && At(c.id).enabled)
            order.push_back(c.id);
    return order;
}

// ---------------------------------------------------------------- Modal

void Modal::Click(int id)
{
    if (m_window.Ended()) {
        ADD_FAILURE() << "click on " << id << " after the dialog ended";
        return;
    }
    Control& c = m_window.At(id);
    if (!c.enabled) {
        ADD_FAILURE() << "control " << id << " is disabled and cannot be clicked";
        return;
    }
    if (c.kind == ControlKind::CheckBox)
        c.check = c.check ? 0 : 1;
    m_window.SetFocus(id);
    m_window.GetDialog().OnCommand(id);
}

void Modal::Type(int id, const std::string& text)
{
    Control& c = m_window.At(id);
    ASSERT_TRUE(c.enabled) << "field " << id << " is disabled";
    std::string typed = text;
    if (c.style & platform::CS_NUMBER)
        typed.erase(std::remove_if(typed.begin(), typed.end(),
                                   [](char ch) { return ch < '0' || ch > '9'; }),
                    typed.end());
    // Cut to fit, whole characters only, as a paste into the platform's edit field is.
    while (c.limitChars >= 0 && platform::Utf16Length(typed) > std::size_t(c.limitChars)) {
        while (!typed.empty() && (static_cast<unsigned char>(typed.back()) & 0xc0) == 0x80)
            typed.pop_back();
        if (!typed.empty())
            typed.pop_back();
    }
    c.text = typed;
    m_window.SetFocus(id);
}

void Modal::PressEnter()
{
    int focus = m_window.GetFocus();
    if (focus && m_window.HasControl(focus) && m_window.At(focus).kind == ControlKind::PushButton) {
        Click(focus);
        return;
    }
    for (const auto& c : m_window.GetDialog().Template().controls) {
        if (c.style & platform::CS_DEFAULT) {
            if (m_window.At(c.id).enabled)
                m_window.GetDialog().OnCommand(c.id);
            return;
        }
    }
    m_window.GetDialog().OnCommand(platform::IdOk);
}

void Modal::PressEscape()
{
    m_window.GetDialog().OnCommand(platform::IdCancel);
}

void Modal::CloseBox()
{
    ASSERT_TRUE(m_window.GetDialog().Template().style & platform::DS_SYSMENU)
        << "this dialog has no close box";
    m_window.GetDialog().OnCommand(platform::IdCancel);
}

void Modal::SysCommand(unsigned command)
{
    m_window.GetDialog().OnSysCommand(command);
}

void Modal::Advance(unsigned ms)
{
    m_host.Advance(ms);
}

// ---------------------------------------------------------------- ScriptedHost

ScriptedHost::ScriptedHost() = default;

ScriptedHost::~ScriptedHost()
{
    for (const auto& entry : m_scripts)
        if (!entry.second.empty())
            ADD_FAILURE() << entry.second.size() << " unused script(s) for template "
                          << entry.first;
}

void ScriptedHost::Advance(unsigned ms)
{
    const std::uint64_t end = m_now + ms;
    for (;;) {
        auto next = std::min_element(m_timers.begin(), m_timers.end(),
                                     [](const auto& a, const auto& b) { return a.due < b.due; });
        if (next == m_timers.end() || next->due > end)
            break;
        m_now = next->due;
        next->due += next->interval;
        ScriptedWindow* window = next->window;
        std::uintptr_t id = next->id;
        window->GetDialog().OnTimer(id);
    }
    m_now = end;
}

int ScriptedHost::RunModal(platform::Dialog& dialog)
{
    const int templateId = dialog.Template().id;
    m_runs.push_back(templateId);
    ScriptedWindow window(*this, dialog);
    m_open.push_back(&window);
    dialog.Attach(&window);
    if (dialog.OnInitDialog() && !window.Ended()) {
        auto order = window.TabOrder();
        if (!order.empty())
            window.SetFocus(order.front());
    }
    auto& queue = m_scripts[templateId];
    if (!window.Ended()) {
        if (queue.empty()) {
            ADD_FAILURE() << "modal run of template " << templateId << " has no script";
            dialog.EndDialog(platform::IdCancel);
        } else {
            ScriptFn script = std::move(queue.front());
            queue.pop_front();
            Modal modal(*this, window);
            script(modal);
            if (!window.Ended()) {
                ADD_FAILURE() << "script for template " << templateId << " left the dialog open";
                dialog.EndDialog(platform::IdCancel);
            }
        }
    }
    dialog.DestroyWindow();
    dialog.Attach(nullptr);
    m_last[templateId] = {window.m_controls, window.m_topmost};
    m_open.erase(std::find(m_open.begin(), m_open.end(), &window));
    return window.Result();
}

int ScriptedHost::ShowMessage(const std::string& text, platform::MessageIcon icon,
                              platform::MessageButtons buttons)
{
    MessageRecord record{text, icon, buttons, AppName(), "", false};
    if (platform::Dialog* main = GetMainWindow(); main && main->GetWindow()) {
        auto* owner = static_cast<ScriptedWindow*>(main->GetWindow());
        record.ownerTitle = owner->GetTitle();
        record.ownerTopmost = owner->Topmost();
    }
    m_messages.push_back(record);
    if (whileMessageShown)
        whileMessageShown();
    if (buttons == platform::MessageButtons::Ok || messageAnswers.empty())
        return platform::IdOk;
    const int answer = messageAnswers.front();
    messageAnswers.erase(messageAnswers.begin());
    return answer;
}

std::optional<std::string> ScriptedHost::ChooseFile(platform::Dialog&, const std::string& filter)
{
    m_fileFilters.push_back(filter);
    if (m_files.empty()) {
        ADD_FAILURE() << "file chooser shown without a scripted answer";
        return std::nullopt;
    }
    auto answer = m_files.front();
    m_files.pop_front();
    return answer;
}

std::optional<std::string> ScriptedHost::ChooseFolder(platform::Dialog&, const std::string& title)
{
    m_folderTitles.push_back(title);
    if (m_folders.empty()) {
        ADD_FAILURE() << "folder chooser shown without a scripted answer";
        return std::nullopt;
    }
    auto answer = m_folders.front();
    m_folders.pop_front();
    return answer;
}

bool ScriptedHost::FindWindowByTitle(const std::string& title)
{
    if (std::find(m_foreign.begin(), m_foreign.end(), title) != m_foreign.end())
        return true;
    return std::any_of(m_open.begin(), m_open.end(),
                       [&](const ScriptedWindow* w) { return w->GetTitle() == title; });
}

const WindowSnapshot* ScriptedHost::LastWindow(int templateId) const
{
    auto it = m_last.find(templateId);
    return it == m_last.end() ? nullptr : &it->second;
}

} // namespace testing_support
