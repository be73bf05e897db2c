// Data exchange between a dialog's fields and its members, with validation. In the saving
// direction the first failure shows its message, puts the focus back on the field with its
// text selected, and makes every later exchange step do nothing.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

class Dialog;
class Window;

// The length of UTF-8 text in UTF-16 code units; each byte of a broken sequence counts one.
std::size_t Utf16Length(const std::string& text);

class DataExchange
{
public:
    DataExchange(Dialog& dialog, Window& window, bool save);

    bool m_bSaveAndValidate;
    bool Failed() const { return m_bFailed; }

    // Integer field as decimal text.
    void Text(int id, int& value);
    // Refuses a value outside lower..upper (both included); the field was exchanged just before.
    void MinMaxInt(int id, int value, int lower, int upper);
    void Text(int id, std::string& value);
    // Loading: limits typing in the field to maxChars; saving: refuses a longer text. Counted
    // in UTF-16 code units, as on every platform alike.
    void MaxChars(int id, const std::string& value, int maxChars);

private:
    void Fail(int id, const std::string& message);

    Dialog& m_dialog;
    Window& m_window;
    bool m_bFailed = false;
};

} // namespace platform
