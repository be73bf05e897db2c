#include "support/ScriptedHost.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace testing_support {

using platform::ControlKind;

ScriptedWindow::ScriptedWindow(ScriptedHost& host, platform::Dialog& dialog)
    : title(dialog.Template().caption), m_host(host), m_dialog(dialog)
{
    for (const auto& c : dialog.Template().controls)
        if (c.id != platform::kNoId) {
            controls[c.id].kind = c.kind;
            controls[c.id].text = c.kind == ControlKind::Edit ? "" : c.text;
        }
}

ScriptedWindow::~ScriptedWindow()
{
    auto& timers = m_host.m_timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [this](const auto& t) { return t.window == this; }),
                 timers.end());
}

std::uintptr_t ScriptedWindow::SetTimer(unsigned id, unsigned ms)
{
    if (std::exchange(m_host.failNextSetTimer, false))
        return 0;
    KillTimer(id);
    m_host.m_timers.push_back({this, id, ms, m_host.m_now + ms});
    return id;
}

bool ScriptedWindow::KillTimer(std::uintptr_t id)
{
    auto& timers = m_host.m_timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const auto& t) { return t.window == this && t.id == id; });
    if (m_host.failKillTimer || it == timers.end())
        return false;
    timers.erase(it);
    return true;
}

int ScriptedWindow::ListInsertString(int id, int pos, const std::string& text)
{
    auto& items = At(id).items;
    if (pos < 0 || pos > static_cast<int>(items.size()))
        pos = static_cast<int>(items.size());
    items.insert(items.begin() + pos, ListItem{text});
    return pos;
}

void ScriptedWindow::ListDeleteString(int id, int pos)
{
    Control& c = At(id);
    c.items.erase(c.items.begin() + pos);
    // A list box drops the selection when the selected item goes.
    c.curSel = c.curSel == pos ? -1 : c.curSel - (c.curSel > pos);
}

void ScriptedWindow::Click(int id)
{
    Control& c = At(id);
    ASSERT_TRUE(c.enabled && !ended) << "control " << id << " is disabled or its dialog ended";
    c.check = c.kind == ControlKind::CheckBox ? !c.check : c.check;
    SetFocus(id);
    m_dialog.OnCommand(id);
}

// Enter presses the default button when it is enabled.
void ScriptedWindow::PressEnter()
{
    for (const auto& c : m_dialog.Template().controls)
        if ((c.style & platform::CS_DEFAULT) && At(c.id).enabled)
            m_dialog.OnCommand(c.id);
}

void ScriptedWindow::Advance(unsigned ms)
{
    m_host.Advance(ms);
}

ScriptedHost::~ScriptedHost()
{
    for (const auto& [id, queue] : m_scripts)
        if (!queue.empty())
            ADD_FAILURE() << queue.size() << " unused script(s) for template " << id;
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
        next->window->m_dialog.OnTimer(next->id);
    }
    m_now = end;
}

int ScriptedHost::RunModal(platform::Dialog& dialog)
{
    const int id = dialog.Template().id;
    ScriptedWindow window(*this, dialog);
    dialog.Attach(&window);
    if (dialog.OnInitDialog()) // the focus to the first enabled tab stop
        for (const auto& c : dialog.Template().controls)
            if ((c.style & platform::CS_TABSTOP) && !window.focus && window.At(c.id).enabled)
                window.SetFocus(c.id);
    auto& queue = m_scripts[id];
    if (!window.ended && queue.empty()) {
        ADD_FAILURE() << "modal run of template " << id << " has no script";
    } else if (!window.ended) {
        ScriptFn script = std::move(queue.front());
        queue.pop_front();
        script(window);
        EXPECT_TRUE(window.ended) << "script for template " << id << " left the dialog open";
    }
    if (!window.ended)
        dialog.EndDialog(platform::IdCancel);
    dialog.DestroyWindow();
    dialog.Attach(nullptr);
    m_last[id] = {window.controls};
    return window.result;
}

int ScriptedHost::ShowMessage(const std::string& text, platform::MessageIcon icon,
                              platform::MessageButtons buttons)
{
    const platform::Dialog* main = GetMainWindow();
    const auto* owner = static_cast<ScriptedWindow*>(main ? main->GetWindow() : nullptr);
    m_messages.push_back({text, icon, owner ? owner->title : "", owner && owner->topmost});
    if (whileMessageShown)
        whileMessageShown();
    if (buttons == platform::MessageButtons::Ok || messageAnswers.empty())
        return platform::IdOk;
    const int answer = messageAnswers.front();
    messageAnswers.erase(messageAnswers.begin());
    return answer;
}

std::vector<std::string> ScriptedHost::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const MessageRecord& message : m_messages)
        texts.push_back(message.text);
    return texts;
}

ScriptedHost::Answer ScriptedHost::Choose()
{
    EXPECT_FALSE(choices.empty()) << "a chooser shown without a scripted answer";
    const Answer answer = choices.empty() ? std::nullopt : choices.front();
    choices.erase(choices.begin(), choices.begin() + !choices.empty());
    return answer;
}

} // namespace testing_support
