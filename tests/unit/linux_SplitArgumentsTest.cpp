#include "platform/Os.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase
{
    const char* name;
    std::string text;
    std::vector<std::string> words;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const SplitCase& splitCase, std::ostream* out)
{
    *out << splitCase.name;
}

class SplitArgumentsTest : public testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitArgumentsTest, SplitsLikeTheDocumentedRule)
{
    EXPECT_EQ(platform::SplitArguments(GetParam().text), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitArgumentsTest,
    testing::Values(
        SplitCase{"Empty", "", {}}, SplitCase{"OnlyBlanks", " \t \n ", {}},
        SplitCase{"Blanks", "  a\tb \n c  ", {"a", "b", "c"}},
        SplitCase{"DoubleQuotesGroup", "\"two words\" x", {"two words", "x"}},
        SplitCase{"SingleQuotesGroup", "'two  words' x", {"two  words", "x"}},
        SplitCase{"QuotesJoinAdjacentText", "a\"b c\"d'e f'g", {"ab cde fg"}},
        SplitCase{"EmptyQuotesGiveEmptyWord", "a \"\" b ''", {"a", "", "b", ""}},
        SplitCase{"BackslashEscapesBlank", "a\\ b c", {"a b", "c"}},
        SplitCase{"BackslashEscapesQuotes", "\\\"a\\' \\\\", {"\"a'", "\\"}},
        SplitCase{"BackslashInsideDoubleQuotes", "\"a\\\"b\\\\c\\d\"", {"a\"b\\cd"}},
        SplitCase{"BackslashLiteralInsideSingleQuotes", "'a\\b' 'c\\'", {"a\\b", "c\\"}},
        SplitCase{"DoubleQuoteInsideSingle", "'say \"hi\"'", {"say \"hi\""}},
        SplitCase{"SingleQuoteInsideDouble", "\"it's\"", {"it's"}},
        SplitCase{"UnclosedDoubleQuoteRunsToEnd", "a \"b  c", {"a", "b  c"}},
        SplitCase{"UnclosedSingleQuoteRunsToEnd", "a 'b \"c", {"a", "b \"c"}},
        SplitCase{"TrailingBackslashKept", "a\\", {"a\\"}},
        SplitCase{
            "NothingElseIsSpecial", "$HOME *.txt ~ #x ;|&>", {"$HOME", "*.txt", "~", "#x", ";|&>"}},
        SplitCase{
            "CommandSubstitutionIsText", "$(touch pwned) `id`", {"$(touch", "pwned)", "`id`"}},
        SplitCase{"BytesPassThrough",
                  "\xff\xfe \xe6\x97\xa5\xe6\x9c\xac",
                  {"\xff\xfe", "\xe6\x97\xa5\xe6\x9c\xac"}},
        SplitCase{"QuotedNewlineKept", "'a\nb'", {"a\nb"}},
        SplitCase{"LeadingDash", "-rf --x", {"-rf", "--x"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

} // namespace
