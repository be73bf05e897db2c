// Helpers of the Qt backend's tests: a dialog that records what reaches it, windows built as a
// modal run builds them, and input the way a user gives it (through the event delivery).
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <cstdlib>
#include <optional>

#include "platform/Dialog.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtWindow.h"

namespace guitest {

using platform::QtWindow;

// Records commands and ticks; nothing a user does can end it.
class TestDialog : public platform::Dialog
{
public:
    using Dialog::Dialog;
    std::vector<int> commands;
    std::vector<std::uintptr_t> ticks;
    std::function<void(std::uintptr_t)> onTimer;
    int destroyed = 0;

    void OnCommand(int id) override { commands.push_back(id); }
    void OnTimer(std::uintptr_t id) override
    {
        ticks.push_back(id);
        if (onTimer)
            onTimer(id);
    }
    void DestroyWindow() override { ++destroyed; }
};

// Processes events until the condition holds or the time is up; a guard against hanging, not a
// measurement.
inline bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 10000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

// Runs fn from the event loop entered next (the modal loop of a run started after this).
inline void Later(std::function<void()> fn)
{
    QTimer::singleShot(0, qApp, std::move(fn));
}

// Runs fn from whichever event loop is running once the condition holds, or after ten seconds,
// so that a failed expectation ends the nested runs instead of hanging them. Nothing runs once
// the owner is gone.
inline void When(std::function<bool()> condition, std::function<void()> fn, QObject* owner = qApp)
{
    auto* timer = new QTimer(owner);
    QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (!condition() && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        fn();
    });
    timer->start(10);
}

inline void KeyClick(QWidget* target, int key, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

// Each character as a key press with its text.
inline void TypeText(QWidget* target, const QString& text)
{
    for (QChar c : text)
        KeyClick(target, c.isLetterOrNumber() && c.unicode() < 0x80 ? c.toUpper().unicode() : 0,
                 QString(c));
}

inline void Click(QWidget* target, QPoint at)
{
    QPointF global = target->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// A dialog whose window Open() builds and sets up as a modal run does, shown and active, but
// without entering the run's loop.
template <class D> struct Shown
{
    template <class... A> explicit Shown(A&&... args) : dialog(host, std::forward<A>(args)...) {}
    ~Shown()
    {
        if (window)
            dialog.DestroyWindow();
        dialog.Attach(nullptr);
    }
    QtWindow& Open()
    {
        window = std::make_unique<QtWindow>(dialog, nullptr);
        dialog.Attach(window.get());
        if (dialog.OnInitDialog())
            window->FocusFirstTabStop();
        window->show();
        window->activateWindow();
        WaitUntil([this] { return window->isActiveWindow(); });
        return *window;
    }

    platform::QtHost host;
    D dialog;
    std::unique_ptr<QtWindow> window;
};

// Sets (or, given null, unsets) an environment variable for the object's lifetime.
struct ScopedEnv
{
    ScopedEnv(const char* name, const char* value) : name(name)
    {
        if (const char* was = std::getenv(name))
            old = was;
        Set(value);
    }
    ~ScopedEnv() { Set(old ? old->c_str() : nullptr); }
    void Set(const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); }

    const char* name;
    std::optional<std::string> old;
};

} // namespace guitest
