// Filling the texts' placeholders, the dialog templates' numbers, and the reading of numbers
// typed or stored as text.
#include <climits>
#include <gtest/gtest.h>
#include <set>

#include "platform/Number.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/resource.h"

namespace {

TEST(StringTable, FormattingFillsThePlaceholders)
{
    EXPECT_EQ(res::FormatNumber(IDS_EXEC_FAILED, -1), "ファイルの実行に失敗しました。エラー: -1。");
    // A %1 in the argument is not filled again.
    EXPECT_EQ(res::FormatString1(IDS_STATUS_COMMAND, "%1"), "秒後に %1 を起動します。");
    EXPECT_EQ(res::LoadText(4242), "");
}

TEST(Templates, EveryTemplateIdAndControlIsUniqueAndLoadable)
{
    EXPECT_EQ(res::TemplateIds(), (std::vector<int>{IDD_ABOUTBOX, IDD_LAUNCHTIMER_DIALOG,
                                                    IDD_SETTING_DIALOG, IDD_ORDER_DIALOG}));
    for (int id : res::TemplateIds()) {
        std::set<int> ids;
        for (const auto& c : res::GetTemplate(id).controls) {
            if (c.id != platform::kNoId) {
                EXPECT_TRUE(ids.insert(c.id).second) << "duplicate control " << c.id;
            }
        }
    }
    EXPECT_THROW(res::GetTemplate(999), std::out_of_range);
}

TEST(Number, WholeNumbersWithinThirtyTwoBitsAndNothingElse)
{
    for (auto [text, expected] : {std::pair<const char*, int>{"0", 0},
                                  {"42", 42},
                                  {"+42", 42},
                                  {"-7", -7},
                                  {"007", 7},
                                  {"2147483647", INT_MAX},
                                  {"-2147483648", INT_MIN}}) {
        int value = 99;
        EXPECT_TRUE(platform::ParseInt32(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"2147483648", "-2147483649", "", "+", "-", "+-1", "++1", "--1", " 1",
                             "1 ", "1.5", "0x10", "12a"}) {
        int value = 99;
        EXPECT_FALSE(platform::ParseInt32(text, value)) << text;
        EXPECT_EQ(value, 99) << text << ": left alone";
    }
}

TEST(Number, BlanksAreSpacesAndTabsAtEitherEnd)
{
    for (auto [text, trimmed] : {std::pair<const char*, const char*>{"", ""},
                                 {" \t \t", ""},
                                 {"a", "a"},
                                 {" \ta b\t ", "a b"},
                                 {"\ta", "a"},
                                 {"a ", "a"},
                                 {"\na\r", "\na\r"}})
        EXPECT_EQ(platform::TrimBlanks(text), std::string_view(trimmed)) << text;
}

} // namespace
