// The string table holds exactly the texts the program shows, and every number it loads.
#include <gtest/gtest.h>
#include <set>

#include "res/Strings.h"
#include "res/Templates.h"
#include "res/ToolTip.h"
#include "res/resource.h"

namespace {

TEST(StringTable, HoldsTheTextsExactly)
{
    const std::pair<unsigned, const char*> expected[] = {
        {1, "変更を保存してダイアログボックスを閉じます。"},
        {2, "変更を保存せずにダイアログボックスを閉じます。"},
        {8, "アプリケーションを終了します。"},
        {101, "バージョン情報 Hanavo(&A)..."},
        {102, "秒後に %1 を起動します。"},
        {103, "コマンドが設定されていません。"},
        {104, "実行ファイル(*.exe,*.bat,*vbs,*.js)|*.exe; *.bat; *.vbs; "
              "*.js|すべてのファイル(*.*)|*.*||"},
        {105, "ファイルの実行に失敗しました。エラー: %d。"},
        {106, "秒後にメッセージを表示します。"},
        {107, "指定されたフォルダがありません。"},
        {108, "Hanavo(停止中)"},
        {109, "Hanavo(秒読中)"},
        {1001, "設定ダイアログボックスを表示します。"},
        {1004, "実行までの秒数(10-300)を入力します。"},
        {1006, "msg と入力すると、メッセージを表示します。"},
        {1007, "ファイルを検索します。"},
        {1008, "タイマーを開始します。"},
        {1009, "タイマーを停止します。"},
        {1010, "残り秒数を設定値に戻します。"},
        {1011, "メッセージを表示させる場合は、ここに入力します。"},
        {1014, "直ちにコマンド及びファイルを実行してアプリケーションを終了します。"},
        {1016, "指定したフォルダ内にあるファイルを実行します。"},
        {1017, "実行するファイルの保存場所。"},
        {1018, "フォルダ選択ダイアログボックスを表示します。"},
        {1019, "実行可能なファイルの一覧。"},
        {1020, "選択したファイルの順番をひとつ上げます。"},
        {1021, "選択したファイルの順番をひとつ下げます。"},
        {1022, "ファイルの実行順序や有効無効を設定します。"},
        {1023, "すべてのファイルを有効にします。"},
        {1024, "すべてのファイルを無効にします。"},
        {1029, "選択したファイルを削除します。"},
        {57670, "Hanavoの使い方を表示します。"},
    };
    for (const auto& [id, text] : expected)
        EXPECT_EQ(res::LoadText(id), text) << id;
    EXPECT_EQ(res::LoadText(4242), "");
}

TEST(StringTable, FormattingFillsThePlaceholders)
{
    EXPECT_EQ(res::FormatString1(IDS_STATUS_COMMAND, "x.sh"), "秒後に x.sh を起動します。");
    EXPECT_EQ(res::FormatNumber(IDS_EXEC_FAILED, 31), "ファイルの実行に失敗しました。エラー: 31。");
    EXPECT_EQ(res::FormatNumber(IDS_EXEC_FAILED, -1), "ファイルの実行に失敗しました。エラー: -1。");
    // A %1 in the argument is not filled again.
    EXPECT_EQ(res::FormatString1(IDS_STATUS_COMMAND, "%1"), "秒後に %1 を起動します。");
}

TEST(ToolTips, EveryControlShowsItsOwnNumberOrNothing)
{
    // Controls that show nothing: the counter, the status line, the up-down control, the
    // About box's version line, and labels without a number.
    const std::set<int> silent = {IDC_COUNTER, IDC_STATUS, IDC_SECONDS_SPIN, IDC_VERSION,
                                  platform::kNoId};
    for (int templateId : {IDD_LAUNCHTIMER_DIALOG, IDD_SETTING_DIALOG, IDD_ORDER_DIALOG}) {
        const platform::ToolTipLookup lookup = res::ToolTipsOf(templateId);
        for (const auto& control : res::GetTemplate(templateId).controls) {
            // The run-command check box shares 1018 with the folder Browse button, but not
            // its text.
            const bool own = templateId == IDD_LAUNCHTIMER_DIALOG && control.id == IDC_RUN_COMMAND;
            std::string text;
            const bool answered = lookup(control.id, text);
            if (silent.count(control.id)) {
                EXPECT_TRUE(!answered || text.empty()) << templateId << "/" << control.id;
            } else {
                EXPECT_TRUE(answered);
                EXPECT_EQ(text, res::LoadText(own ? IDS_TIP_RUN_COMMAND : control.id))
                    << templateId << "/" << control.id;
                EXPECT_FALSE(text.empty()) << templateId << "/" << control.id;
            }
        }
    }
    std::string browse, check;
    res::OnToolTipNotify(IDD_SETTING_DIALOG, IDC_BROWSE_FOLDER, browse);
    res::OnToolTipNotify(IDD_LAUNCHTIMER_DIALOG, IDC_RUN_COMMAND, check);
    EXPECT_EQ(browse, "フォルダ選択ダイアログボックスを表示します。");
    EXPECT_EQ(check, "設定したコマンドを起動するかどうかを選びます。");
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
