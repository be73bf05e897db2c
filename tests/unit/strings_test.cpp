// Filling the texts' placeholders, and the reading of numbers typed or stored as text.
#include <climits>
#include <gtest/gtest.h>

#include "platform/Number.h"
#include "res/Strings.h"
#include "res/resource.h"

namespace {

TEST(StringTable, FormattingFillsThePlaceholders)
{
    EXPECT_EQ(res::FormatNumber(IDS_EXEC_FAILED, -1), "ファイルの実行に失敗しました。エラー: -1。");
    // A %1 in the argument is not filled again.
    EXPECT_EQ(res::FormatString1(IDS_STATUS_COMMAND, "%1"), "秒後に %1 を起動します。");
    EXPECT_EQ(res::LoadText(4242), "");
}

// Whole numbers within 32 bits and nothing else; what is refused leaves the value alone.
TEST(Number, WholeNumbersWithinThirtyTwoBitsAndNothingElse)
{
    const char* good[] = {"0", "42", "+42", "-7", "007", "2147483647", "-2147483648"};
    const int values[] = {0, 42, 42, -7, 7, INT_MAX, INT_MIN};
    for (int i = 0; i < 7; ++i) {
        int value = 99;
        EXPECT_TRUE(platform::ParseInt32(good[i], value)) << good[i];
        EXPECT_EQ(value, values[i]) << good[i];
    }
    for (const char* text : {"2147483648", "-2147483649", "", "+", "-", "+-1", "++1", "--1", " 1",
                             "1 ", "1.5", "0x10", "12a"}) {
        int value = 99;
        EXPECT_FALSE(platform::ParseInt32(text, value)) << text;
        EXPECT_EQ(value, 99) << text;
    }
}

TEST(Number, BlanksAreSpacesAndTabsAtEitherEnd)
{
    const char* texts[][2] = {{"", ""},     {" \t \t", ""}, {"a", "a"},        {" \ta b\t ", "a b"},
                              {"\ta", "a"}, {"a ", "a"},    {"\na\r", "\na\r"}};
    for (auto [text, trimmed] : texts)
        EXPECT_EQ(platform::TrimBlanks(text), std::string_view(trimmed)) << text;
}

} // namespace
