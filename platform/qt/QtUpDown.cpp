#include "platform/qt/QtUpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "platform/Number.h"

namespace platform {
namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    return button;
}

} // namespace

QtUpDown::QtUpDown(QWidget* parent)
    : QWidget(parent), m_up(MakeArrow(this, Qt::UpArrow)), m_down(MakeArrow(this, Qt::DownArrow))
{
    setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { StepBy(true); });
    connect(m_down, &QToolButton::clicked, this, [this] { StepBy(false); });
}

void QtUpDown::SetBuddy(QLineEdit* buddy, bool arrowKeys)
{
    if (m_buddy)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    m_arrowKeys = arrowKeys;
    if (m_buddy && m_arrowKeys)
        m_buddy->installEventFilter(this);
}

void QtUpDown::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
}

void QtUpDown::SetStep(int step)
{
    m_step = step > 0 ? step : 1;
}

void QtUpDown::StepBy(bool up)
{
    QLineEdit* buddy = Buddy();
    int current = m_pos;
    bool read = buddy && ParseInt32(TrimBlanks(buddy->text().toStdString()), current);
    bool increasing = (m_upper >= m_lower) == up;
    long long next = static_cast<long long>(current) + (increasing ? m_step : -m_step);
    long long low = std::min(m_lower, m_upper);
    long long high = std::max(m_lower, m_upper);
    m_pos = static_cast<int>(std::clamp(next, low, high));
    // At a limit the field is left as it is, as the control does.
    if (read && m_pos == current)
        return;
    if (buddy)
        buddy->setText(QString::number(m_pos));
}

bool QtUpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_buddy && m_arrowKeys && event->type() == QEvent::KeyPress && isEnabled()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            StepBy(key->key() == Qt::Key_Up);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QtUpDown::resizeEvent(QResizeEvent*)
{
    int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

} // namespace platform
