#include "platform/qt/EditValidator.h"

#include <algorithm>

namespace platform {

QValidator::State EditValidator::validate(QString& input, int& pos) const
{
    if (m_digitsOnly) {
        for (QChar c : input)
            if (c < u'0' || c > u'9')
                return Invalid;
    }
    if (m_maxChars <= 0 || input.size() <= m_maxChars || input.size() <= m_last.size()) {
        m_last = input;
        return Acceptable;
    }
    // The field grows past its limit: find what was brought in, between the text kept before
    // and after it, and keep as much of it as fits.
    const qsizetype shorter = std::min(input.size(), m_last.size());
    qsizetype head = 0;
    while (head < shorter && input[head] == m_last[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           input[input.size() - 1 - tail] == m_last[m_last.size() - 1 - tail])
        ++tail;
    const qsizetype kept = head + tail;
    qsizetype room = m_maxChars - kept;
    if (room <= 0)
        return Invalid;
    QString inserted = input.mid(head, input.size() - kept);
    if (room < inserted.size() && inserted[room - 1].isHighSurrogate())
        --room; // never half a character
    inserted.truncate(room);
    input = input.left(head) + inserted + input.right(tail);
    pos = static_cast<int>(head + inserted.size());
    m_last = input;
    return Acceptable;
}

} // namespace platform
