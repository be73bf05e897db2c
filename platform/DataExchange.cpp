#include "platform/DataExchange.h"

#include "platform/Dialog.h"
#include "platform/Number.h"
#include "platform/Window.h"

namespace platform {
namespace {

// The data exchange's own prompts, as the framework carries them.
const char kNotInteger[] = "整数を入力してください。";
const char kIntRangeBefore[] = " から ";
const char kIntRangeAfter[] = " までの整数を入力してください。";
const char kTooLongAfter[] = " 文字以内で入力してください。";

} // namespace

DataExchange::DataExchange(Dialog& dialog, Window& window, bool save)
    : m_bSaveAndValidate(save), m_dialog(dialog), m_window(window)
{
}

void DataExchange::Fail(int id, const std::string& message)
{
    m_bFailed = true;
    m_dialog.GetHost().ShowMessage(message, MessageIcon::Exclamation);
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
    if (!ParseInt32(TrimBlanks(m_window.GetText(id)), parsed)) {
        Fail(id, kNotInteger);
        return;
    }
    value = parsed;
}

void DataExchange::MinMaxInt(int id, int value, int lower, int upper)
{
    if (m_bFailed || !m_bSaveAndValidate)
        return;
    if (value < lower || value > upper)
        Fail(id, std::to_string(lower) + kIntRangeBefore + std::to_string(upper) + kIntRangeAfter);
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

std::size_t Utf16Length(const std::string& text)
{
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
        std::size_t n = 1;
        while (n < length && i + n < text.size() &&
               (static_cast<unsigned char>(text[i + n]) & 0xc0) == 0x80)
            ++n;
        // A whole four-byte sequence is a surrogate pair; anything broken counts per byte, as a
        // replacement character would.
        const bool whole = n == length && lead >= 0xc2 && lead <= 0xf4;
        units += whole ? (length == 4 ? 2 : 1) : n;
        i += n;
    }
    return units;
}

void DataExchange::MaxChars(int id, const std::string& value, int maxChars)
{
    if (m_bFailed)
        return;
    if (!m_bSaveAndValidate) {
        m_window.SetLimitText(id, maxChars);
        return;
    }
    if (Utf16Length(value) > static_cast<std::size_t>(maxChars))
        Fail(id, std::to_string(maxChars) + kTooLongAfter);
}

} // namespace platform
