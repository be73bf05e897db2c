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
const char kTooLongAfter[] = " バイト以内で入力してください。";

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

void DataExchange::MaxChars(int id, const std::string& value, int maxBytes)
{
    if (m_bFailed)
        return;
    if (!m_bSaveAndValidate) {
        m_window.SetLimitText(id, maxBytes);
        return;
    }
    if (value.size() > static_cast<std::size_t>(maxBytes))
        Fail(id, std::to_string(maxBytes) + kTooLongAfter);
}

} // namespace platform
