#include "platform/DataExchange.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/Dialog.h"
#include "platform/Window.h"
#include "res/Strings.h"
#include "res/resource.h"

namespace platform {
namespace {

// A whole decimal number with an optional sign and blanks around it, within 32 bits.
bool ParseInt(const std::string& text, int& value)
{
    std::size_t b = text.find_first_not_of(" \t");
    std::size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos)
        return false;
    std::string s = text.substr(b, e - b + 1);
    std::size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size())
        return false;
    for (std::size_t k = i; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9')
            return false;
    errno = 0;
    long long v = std::strtoll(s.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

DataExchange::DataExchange(Dialog& dialog, Window& window, bool save)
    : m_bSaveAndValidate(save), m_dialog(dialog), m_window(window)
{
}

void DataExchange::Fail(int id, const std::string& message)
{
    m_bFailed = true;
    m_dialog.GetHost().MessageBox(message, MessageIcon::Exclamation);
    m_window.SetFocus(id);
    m_window.SelectAllText(id);
}

void DataExchange::Text(int id, int& value)
{
    if (m_bFailed)
        return;
    if (!m_bSaveAndValidate) {
        m_window.SetText(id, std::to_string(value));
        return;
    }
    int parsed = 0;
    if (!ParseInt(m_window.GetText(id), parsed)) {
        Fail(id, res::LoadString(IDS_DDX_NOT_INTEGER));
        return;
    }
    value = parsed;
}

void DataExchange::MinMaxInt(int id, int value, int lower, int upper)
{
    if (m_bFailed || !m_bSaveAndValidate)
        return;
    if (value < lower || value > upper)
        Fail(id,
             res::FormatString2(IDS_DDX_INT_RANGE, std::to_string(lower), std::to_string(upper)));
}

void DataExchange::Text(int id, std::string& value)
{
    if (m_bFailed)
        return;
    if (m_bSaveAndValidate)
        value = m_window.GetText(id);
    else
        m_window.SetText(id, value);
}

void DataExchange::MaxChars(int id, const std::string& value, int maxBytes)
{
    if (m_bFailed)
        return;
    if (!m_bSaveAndValidate) {
        m_window.SetLimitText(id, maxBytes);
        return;
    }
    if (value.size() > static_cast<std::size_t>(maxBytes))
        Fail(id, res::FormatString1(IDS_DDX_TOO_LONG, std::to_string(maxBytes)));
}

} // namespace platform
