#include "GuiTestSupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

namespace guitest {

bool WaitUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(10000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void Later(std::function<void()> fn)
{
    QTimer::singleShot(0, qApp, std::move(fn));
}

void ShowActive(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
    WaitUntil([window] { return window->isActiveWindow(); });
}

void KeyClick(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

void TypeText(QWidget* target, const QString& text)
{
    for (QChar c : text) {
        int key = c.isLetterOrNumber() && c.unicode() < 0x80 ? c.toUpper().unicode() : 0;
        KeyClick(target, key, Qt::NoModifier, QString(c));
    }
}

void Click(QWidget* target, QPoint at)
{
    QPointF global = target->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

QString FromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

platform::DialogTemplate MakeTemplate(std::vector<platform::ControlTemplate> controls,
                                      unsigned style)
{
    return {9000, "テスト", 200, 100, "MS Shell Dlg", 8, style, std::move(controls)};
}

} // namespace guitest
