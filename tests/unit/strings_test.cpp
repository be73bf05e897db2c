// Filling the texts' placeholders, and the dialog templates' numbers.
#include <gtest/gtest.h>
#include <set>

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

} // namespace
