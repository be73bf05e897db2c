// What an edit field lets the user bring in: digits only (ES_NUMBER) and at most a number of
// UTF-16 code units (EM_LIMITTEXT), which QString counts as its length. As with the Windows
// edit control, the limit stops insertions only: deleting from a field that is over it always
// works, and a paste that is too long is cut to fit. Text that the program sets is not checked.
#pragma once

#include <QValidator>

namespace platform {

class EditValidator : public QValidator
{
    Q_OBJECT
public:
    explicit EditValidator(QObject* parent = nullptr) : QValidator(parent) {}

    void SetDigitsOnly(bool digitsOnly) { m_digitsOnly = digitsOnly; }
    // 0 or below: no limit.
    void SetMaxChars(int maxChars) { m_maxChars = maxChars; }
    bool DigitsOnly() const { return m_digitsOnly; }
    int MaxChars() const { return m_maxChars; }
    // The program is about to set this text: it is taken as it is.
    void Accept(const QString& text) const { m_last = text; }

    State validate(QString& input, int& pos) const override;

private:
    bool m_digitsOnly = false;
    int m_maxChars = 0;
    // The text as the field held it before the change being validated.
    mutable QString m_last;
};

} // namespace platform
