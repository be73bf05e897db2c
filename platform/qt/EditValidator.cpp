#include "platform/qt/EditValidator.h"

namespace platform {

QValidator::State EditValidator::validate(QString& input, int&) const
{
    if (m_digitsOnly) {
        for (QChar c : input)
            if (c < u'0' || c > u'9')
                return Invalid;
    }
    if (m_maxBytes > 0 && input.toUtf8().size() > m_maxBytes)
        return Invalid;
    return Acceptable;
}

} // namespace platform
