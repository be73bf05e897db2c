// What an edit field lets the user type: digits only (ES_NUMBER) and at most a number of bytes of
// UTF-8 (EM_LIMITTEXT counts the bytes of the program's 8-bit text, not characters). Text that
// the program sets is not checked.
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
    void SetMaxBytes(int maxBytes) { m_maxBytes = maxBytes; }
    bool DigitsOnly() const { return m_digitsOnly; }
    int MaxBytes() const { return m_maxBytes; }

    State validate(QString& input, int& pos) const override;

private:
    bool m_digitsOnly = false;
    int m_maxBytes = 0;
};

} // namespace platform
