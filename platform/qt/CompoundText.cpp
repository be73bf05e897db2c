#include "platform/qt/CompoundText.h"

#include <cstdint>
#include <iconv.h>

namespace platform {
namespace {

enum class Set
{
    Ascii,
    Latin1High,
    JisKatakana,
    Jis0208,
    Gb2312,
    Ksc5601,
    Unknown
};

void AppendCodePoint(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// One character of a two-byte set, given in its EUC form (both bytes with the high bit).
bool AppendDoubleByte(std::string& out, Set set, unsigned char b1, unsigned char b2)
{
    const char* encoding = set == Set::Jis0208  ? "EUC-JP"
                           : set == Set::Gb2312 ? "EUC-CN"
                                                : "EUC-KR";
    iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char in[2] = {static_cast<char>(b1 | 0x80), static_cast<char>(b2 | 0x80)};
    char buffer[8];
    char* inPtr = in;
    char* outPtr = buffer;
    size_t inLeft = sizeof in;
    size_t outLeft = sizeof buffer;
    bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (ok)
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
    return ok;
}

bool IsDoubleByte(Set s)
{
    return s == Set::Jis0208 || s == Set::Gb2312 || s == Set::Ksc5601;
}

Set DoubleByteSet(char final)
{
    switch (final) {
    case 'B':
    case '@':
        return Set::Jis0208;
    case 'A':
        return Set::Gb2312;
    case 'C':
        return Set::Ksc5601;
    default:
        return Set::Unknown;
    }
}

} // namespace

std::optional<std::string> CompoundTextToUtf8(std::string_view text)
{
    Set gl = Set::Ascii;
    Set gr = Set::Latin1High;
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == 0x1B) {
            std::string_view rest = text.substr(i + 1);
            // A UTF-8 segment runs to ESC % @.
            if (rest.substr(0, 2) == "%G") {
                size_t end = text.find("\x1b%@", i + 3);
                size_t stop = end == std::string_view::npos ? text.size() : end;
                out.append(text.substr(i + 3, stop - (i + 3)));
                i = end == std::string_view::npos ? text.size() : end + 3;
                continue;
            }
            if (rest.size() >= 2 && (rest[0] == '(' || rest[0] == ')' || rest[0] == '-')) {
                Set set = Set::Unknown;
                if (rest[0] == '(' && (rest[1] == 'B' || rest[1] == 'J'))
                    set = Set::Ascii;
                else if (rest[1] == 'I' && rest[0] != '-')
                    set = Set::JisKatakana;
                else if (rest[0] == '-' && rest[1] == 'A')
                    set = Set::Latin1High;
                if (set == Set::Unknown)
                    return std::nullopt;
                (rest[0] == '(' ? gl : gr) = set;
                i += 3;
                continue;
            }
            if (rest.size() >= 3 && rest[0] == '$' && (rest[1] == '(' || rest[1] == ')')) {
                Set set = DoubleByteSet(rest[2]);
                if (set == Set::Unknown)
                    return std::nullopt;
                (rest[1] == '(' ? gl : gr) = set;
                i += 4;
                continue;
            }
            return std::nullopt;
        }
        if (c < 0x21 || c == 0x7F || (c >= 0x80 && c < 0xA1)) {
            // Controls and blanks are themselves in every set.
            if (c >= 0x80 && c < 0xA0)
                return std::nullopt;
            AppendCodePoint(out, c);
            ++i;
            continue;
        }
        Set set = c < 0x80 ? gl : gr;
        if (IsDoubleByte(set)) {
            if (i + 1 >= text.size() ||
                !AppendDoubleByte(out, set, c, static_cast<unsigned char>(text[i + 1])))
                return std::nullopt;
            i += 2;
            continue;
        }
        unsigned char low = c & 0x7F;
        switch (set) {
        case Set::Ascii:
            AppendCodePoint(out, low);
            break;
        case Set::Latin1High:
            AppendCodePoint(out, low | 0x80u);
            break;
        case Set::JisKatakana:
            AppendCodePoint(out, 0xFF61u + (low - 0x21u)); // half-width katakana
            break;
        default:
            return std::nullopt;
        }
        ++i;
    }
    return out;
}

} // namespace platform
