#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"

namespace platform {

std::vector<std::string> SplitArguments(const std::string& text)
{
    enum class Quote
    {
        None,
        Single,
        Double
    };
    std::vector<std::string> words;
    std::string word;
    // A word exists once any character or quote of it was seen, so that "" gives an empty word.
    bool inWord = false;
    Quote quote = Quote::None;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quote == Quote::Single) {
            if (c == '\'')
                quote = Quote::None;
            else
                word += c;
            continue;
        }
        if (c == '\\') {
            inWord = true;
            // A backslash at the very end has nothing to escape and stays as it is.
            word += i + 1 < text.size() ? text[++i] : c;
            continue;
        }
        if (quote == Quote::Double) {
            if (c == '"')
                quote = Quote::None;
            else
                word += c;
            continue;
        }
        switch (c) {
        case ' ':
        case '\t':
        case '\n':
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
            break;
        case '\'':
            quote = Quote::Single;
            inWord = true;
            break;
        case '"':
            quote = Quote::Double;
            inWord = true;
            break;
        default:
            word += c;
            inWord = true;
            break;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

} // namespace platform
