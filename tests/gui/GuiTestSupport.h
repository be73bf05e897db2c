// Helpers of the Qt backend's tests: a dialog that records what reaches it, windows built as a
// modal run builds them, and input the way a user gives it (through the event delivery).
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "platform/Dialog.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtWindow.h"
#include "support/TempDir.h"

namespace guitest {

using platform::QtWindow;

// Records commands and hands ticks on; nothing a user does can end it.
class TestDialog : public platform::Dialog
{
public:
    using Dialog::Dialog;
    std::vector<int> commands;
    std::function<void(std::uintptr_t)> onTimer;
    int destroyed = 0;

    void OnCommand(int id) override { commands.push_back(id); }
    void OnTimer(std::uintptr_t id) override { onTimer(id); }
    void DestroyWindow() override { ++destroyed; }
};

// Processes events until the condition holds or the time is up; a guard against hanging, not a
// measurement.
inline bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 10000)
{
    auto done = [&] { return QApplication::processEvents(), condition(); };
    return testing_support::PollUntil(done, std::chrono::milliseconds(milliseconds));
}

// Runs fn from the event loop entered next (the modal loop of a run started after this).
inline void Later(std::function<void()> fn)
{
    QTimer::singleShot(0, qApp, std::move(fn));
}

inline void KeyClick(QWidget* target, int key, const QString& text = {})
{
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &event);
    }
}

inline void Click(QWidget* target, QPoint at)
{
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
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

} // namespace guitest
