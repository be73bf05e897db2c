#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitArgumentsTest, SplitsAtBlanksAndRemovesQuotesAndEscapes)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {" \t \n ", {}},
        {"  a\tb \n c  ", {"a", "b", "c"}},
        {"\"two words\" x", {"two words", "x"}},
        {"'two  words' x", {"two  words", "x"}},
        {"a\"b c\"d'e f'g", {"ab cde fg"}}, // quotes join adjacent text
        {"a \"\" b ''", {"a", "", "b", ""}},
        {"a\\ b c", {"a b", "c"}},
        {"\\\"a\\' \\\\", {"\"a'", "\\"}},
        {"\"a\\\"b\\\\c\\d\"", {"a\"b\\cd"}},
        {"'a\\b' 'c\\'", {"a\\b", "c\\"}}, // no escapes inside single quotes
        {"'say \"hi\"' \"it's\"", {"say \"hi\"", "it's"}},
        {"a \"b  c", {"a", "b  c"}}, // an unclosed quote runs to the end
        {"a 'b \"c", {"a", "b \"c"}},
        {"a\\", {"a\\"}},
        {"$HOME *.txt ~ #x ;|&>", {"$HOME", "*.txt", "~", "#x", ";|&>"}},
        {"$(touch pwned) `id`", {"$(touch", "pwned)", "`id`"}},
        {"\xff\xfe \xe6\x97\xa5\xe6\x9c\xac", {"\xff\xfe", "\xe6\x97\xa5\xe6\x9c\xac"}},
        {"'a\nb' -rf --x", {"a\nb", "-rf", "--x"}},
    };
    for (const auto& [text, words] : cases)
        EXPECT_EQ(platform::SplitArguments(text), words) << text;
}

} // namespace
