// Any argument text splits without fault, and the words it gives, each put back in single
// quotes, split into the same words again.
#include <string>
#include <vector>

#include "fuzz/Require.h"
#include "platform/linux/LinuxOs.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> words = platform::SplitArguments(text);

    std::string quoted;
    for (const std::string& word : words) {
        quoted += " '";
        for (char c : word)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        quoted += '\'';
    }
    REQUIRE(platform::SplitArguments(quoted) == words);

    // Without quotes and backslashes the words are the text's runs of non-blanks.
    if (text.find_first_of("'\"\\") == std::string::npos) {
        std::string joined, nonBlank;
        for (const std::string& word : words) {
            REQUIRE(!word.empty() && word.find_first_of(" \t\n") == std::string::npos);
            joined += word;
        }
        for (char c : text)
            if (c != ' ' && c != '\t' && c != '\n')
                nonBlank += c;
        REQUIRE(joined == nonBlank);
    }
    return 0;
}
