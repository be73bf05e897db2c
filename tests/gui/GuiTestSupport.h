// Helpers of the Qt backend's tests: a dialog that records what reaches it, and input the way a
// user gives it (key presses and mouse clicks through the application's event delivery).
#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/DialogTemplate.h"

class QWidget;

namespace guitest {

// A dialog that records its commands, ticks and system commands. Without a handler of its own
// a command takes the base class's way (OK and Cancel end the dialog).
class TestDialog : public platform::Dialog
{
public:
    TestDialog(platform::Host& host, const platform::DialogTemplate& tmpl) : Dialog(host, tmpl) {}

    std::vector<int> commands;
    std::vector<std::uintptr_t> ticks;
    std::vector<unsigned> sysCommands;
    int destroyed = 0;

    std::function<bool()> onInit;
    std::function<void(int)> onCommand; // replaces the base class's handling
    std::function<void(std::uintptr_t)> onTimer;

    bool OnInitDialog() override { return onInit ? onInit() : Dialog::OnInitDialog(); }
    void OnCommand(int id) override
    {
        commands.push_back(id);
        if (onCommand)
            onCommand(id);
        else
            Dialog::OnCommand(id);
    }
    void OnTimer(std::uintptr_t id) override
    {
        ticks.push_back(id);
        if (onTimer)
            onTimer(id);
    }
    void OnSysCommand(unsigned command) override { sysCommands.push_back(command); }
    void DestroyWindow() override { ++destroyed; }
};

// A dialog that ignores every command: nothing a user does ends it.
inline void IgnoreCommands(TestDialog& dialog)
{
    dialog.onCommand = [](int) {};
}

// Processes events until the condition holds or about ten seconds have passed; returns the
// condition. A guard against hanging, not a measurement.
bool WaitUntil(const std::function<bool()>& condition);

// Runs fn from the event loop as soon as it is entered (the modal loop of a run started next).
void Later(std::function<void()> fn);

// Shows the window and waits until it is the active window.
void ShowActive(QWidget* window);

void KeyClick(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = QString());
// Types each character as a key press with its text.
void TypeText(QWidget* target, const QString& text);
// A left click (press and release) at a point of the widget.
void Click(QWidget* target, QPoint at);

QString FromUtf8(const std::string& s);

// A template of one dialog for tests that need their own controls.
platform::DialogTemplate MakeTemplate(std::vector<platform::ControlTemplate> controls,
                                      unsigned style = platform::DS_SYSMENU);

} // namespace guitest
