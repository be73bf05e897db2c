// The up-down control: two arrows beside a buddy edit field. Each step reads the number in the
// field, moves it by the step towards the upper or lower limit, stops at the limits (no
// wrapping) and writes it back as decimal text. The Up and Down keys in the field step it too.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class QToolButton;

namespace platform {

class QtUpDown : public QWidget
{
    Q_OBJECT
public:
    explicit QtUpDown(QWidget* parent = nullptr);

    // The field the control reads and writes; arrowKeys lets the Up and Down keys in it step.
    void SetBuddy(QLineEdit* buddy, bool arrowKeys);
    QLineEdit* Buddy() const { return qobject_cast<QLineEdit*>(m_buddy.data()); }
    // The up arrow moves towards upper; upper may be below lower.
    void SetRange(int lower, int upper);
    void SetStep(int step);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    int Step() const { return m_step; }
    int Position() const { return m_pos; }

    // One step up (towards upper) or down.
    void StepBy(bool up);

    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
    // Held as a QObject: it is compared in eventFilter while it may be half destroyed.
    QPointer<QObject> m_buddy;
    bool m_arrowKeys = false;
    // Windows' default range runs from 100 down to 0; a plain 0 to 100 is less surprising and
    // every dialog of ours sets its own.
    int m_lower = 0;
    int m_upper = 100;
    int m_step = 1;
    int m_pos = 0;
};

} // namespace platform
