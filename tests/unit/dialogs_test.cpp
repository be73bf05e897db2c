// The settings dialog and the launch order dialog on the scripted host.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

#include "dialogs/COrderDialog.h"
#include "dialogs/CSettingDialog.h"
#include "res/resource.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct SettingFixture : ::testing::Test
{
    ScriptedHost host;
    CSettingDialog dlg{host};

    SettingFixture()
    {
        dlg.m_nSeconds = 60;
        dlg.m_strCommand = "/usr/bin/backup";
        dlg.m_strOptions = "--all";
        dlg.m_strTopDir = "/srv/launch";
    }
    int Run(ScriptedHost::ScriptFn script)
    {
        host.Script(IDD_SETTING_DIALOG, std::move(script));
        return dlg.DoModal();
    }
};

TEST_F(SettingFixture, OpensWithTheValuesAndTheFocusInTheCommandField)
{
    EXPECT_EQ(Run([](Modal& m) {
                  auto& w = m.Window();
                  EXPECT_EQ(w.GetText(IDC_SECONDS), "60");
                  EXPECT_EQ(w.GetText(IDC_COMMAND), "/usr/bin/backup");
                  EXPECT_EQ(w.GetText(IDC_OPTIONS), "--all");
                  EXPECT_EQ(w.GetText(IDC_TOPDIR), "/srv/launch");
                  EXPECT_EQ(w.GetFocus(), IDC_COMMAND);
                  EXPECT_EQ(w.At(IDC_TOPDIR).limitChars, 260);
                  m.Type(IDC_COMMAND, "changed");
                  m.PressEscape();
              }),
              platform::IdCancel);
    EXPECT_EQ(dlg.m_strCommand, "/usr/bin/backup") << "Cancel reads no field";
}

TEST_F(SettingFixture, SecondsAreValidatedFirstWithinTenToThreeHundred)
{
    struct Case
    {
        std::string typed;
        bool accepted;
        std::string message;
    };
    const Case cases[] = {
        {"10", true, ""},
        {"300", true, ""},
        {"9", false, "10 から 300 までの整数を入力してください。"},
        {"301", false, "10 から 300 までの整数を入力してください。"},
        {"0", false, "10 から 300 までの整数を入力してください。"},
        {"", false, "整数を入力してください。"},
        {"99999999999", false, "整数を入力してください。"},
    };
    for (const Case& c : cases) {
        ScriptedHost h;
        CSettingDialog d(h);
        d.m_nSeconds = 60;
        h.Script(IDD_SETTING_DIALOG, [&](Modal& m) {
            m.Type(IDC_COMMAND, "new command");
            m.Type(IDC_SECONDS, c.typed);
            m.Click(platform::IdOk);
            EXPECT_EQ(m.Window().Ended(), c.accepted) << c.typed;
            if (!c.accepted) {
                EXPECT_EQ(m.Window().GetFocus(), IDC_SECONDS);
                EXPECT_EQ(m.Window().SelectedAll(), IDC_SECONDS);
                m.PressEscape();
            }
        });
        d.DoModal();
        if (c.accepted) {
            EXPECT_EQ(d.m_nSeconds, std::stoi(c.typed));
            EXPECT_TRUE(h.Messages().empty());
        } else {
            ASSERT_EQ(h.Messages().size(), 1u) << c.typed;
            EXPECT_EQ(h.Messages()[0].text, c.message);
            EXPECT_EQ(d.m_strCommand, "") << "nothing after the seconds was read";
        }
    }
}

TEST_F(SettingFixture, ATooLongFolderIsRefusedAfterTheOtherFieldsWereTaken)
{
    dlg.m_strTopDir = "/" + std::string(260, 'x'); // only possible when passed in
    Run([this](Modal& m) {
        m.Type(IDC_SECONDS, "45");
        m.Type(IDC_OPTIONS, "typed");
        m.PressEnter();
        EXPECT_FALSE(m.Window().Ended());
        EXPECT_EQ(m.Window().GetFocus(), IDC_TOPDIR);
        EXPECT_EQ(dlg.m_nSeconds, 45);
        EXPECT_EQ(dlg.m_strOptions, "typed");
        m.PressEscape();
    });
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "260 文字以内で入力してください。");
    // The limit counts UTF-16 code units: a Japanese character is one, a character beyond the
    // basic plane two, and a byte that is not UTF-8 one.
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        while (n-- > 0)
            out += s;
        return out;
    };
    const struct
    {
        std::string folder;
        bool accepted;
    } cases[] = {
        {repeat("フ", 260), true},         {repeat("フ", 261), false},
        {repeat("\U0001F600", 130), true}, {repeat("\U0001F600", 130) + "a", false},
        {repeat("\xff", 260), true},       {repeat("\xff", 261), false},
    };
    for (const auto& c : cases) {
        ScriptedHost h;
        CSettingDialog d(h);
        d.m_nSeconds = 60;
        d.m_strTopDir = c.folder;
        h.Script(IDD_SETTING_DIALOG, [](Modal& m) {
            m.PressEnter();
            if (!m.Window().Ended())
                m.PressEscape();
        });
        EXPECT_EQ(d.DoModal() == platform::IdOk, c.accepted) << c.folder.size();
    }
}

TEST_F(SettingFixture, EachBrowseChangesItsOwnFieldOnly)
{
    host.AnswerFileChooser("/opt/new tool/run.sh");
    host.AnswerFileChooser(std::nullopt);
    host.AnswerFolderChooser("/home/花子/起動");
    Run([](Modal& m) {
        auto& w = m.Window();
        m.Type(IDC_OPTIONS, "typed");
        m.Type(IDC_TOPDIR, "/typed/folder");
        m.Click(IDC_BROWSE_COMMAND);
        EXPECT_EQ(w.GetText(IDC_COMMAND), "/opt/new tool/run.sh");
        EXPECT_EQ(w.GetText(IDC_TOPDIR), "/typed/folder");
        m.Type(IDC_SECONDS, "90");
        m.Click(IDC_BROWSE_COMMAND); // cancelled
        m.Click(IDC_BROWSE_FOLDER);
        EXPECT_EQ(w.GetText(IDC_TOPDIR), "/home/花子/起動");
        EXPECT_EQ(w.GetText(IDC_COMMAND), "/opt/new tool/run.sh");
        EXPECT_EQ(w.GetText(IDC_OPTIONS), "typed");
        EXPECT_EQ(w.GetText(IDC_SECONDS), "90");
        m.PressEscape();
    });
    EXPECT_EQ(dlg.m_strCommand, "/usr/bin/backup") << "only OK takes the fields";
    EXPECT_EQ(host.FileFilters().at(0), "実行ファイル(*.exe,*.bat,*vbs,*.js)|*.exe; *.bat; *.vbs; "
                                        "*.js|すべてのファイル(*.*)|*.*||");
    EXPECT_EQ(host.FolderTitles().at(0), "ショートカットの保存先");
}

TEST_F(SettingFixture, FileSettingsUsesTheFolderInTheField)
{
    TempDir dir;
    dir.Write("launch/01e_a.sh", "a");
    host.Script(IDD_ORDER_DIALOG, [](Modal& m) {
        EXPECT_EQ(m.Window().ListGetText(IDC_FILE_LIST, 0), "a.sh");
        m.PressEscape();
    });
    Run([&](Modal& m) {
        m.Type(IDC_TOPDIR, "");
        m.Click(IDC_FILE_SETTINGS);
        m.Type(IDC_TOPDIR, dir / "missing");
        m.Click(IDC_FILE_SETTINGS);
        m.Type(IDC_TOPDIR, dir / "launch"); // typed, not yet confirmed
        m.Click(IDC_FILE_SETTINGS);
        m.Click(ID_HELP);
        m.PressEscape();
    });
    EXPECT_EQ(host.ModalRuns(), (std::vector<int>{IDD_SETTING_DIALOG, IDD_ORDER_DIALOG}));
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].text, "実行するファイルの保管場所を指定してください。");
    EXPECT_EQ(host.Messages()[1].text, "指定されたフォルダがありません。");
    EXPECT_EQ(host.HelpCount(), 1);
}

// ------------------------------------------------------------------ launch order dialog

struct OrderFixture : ::testing::Test
{
    TempDir dir;
    CwdGuard cwd;
    ScriptedHost host;

    int Run(const std::string& folder, ScriptedHost::ScriptFn script)
    {
        host.Script(IDD_ORDER_DIALOG, std::move(script));
        COrderDialog dlg(host);
        dlg.SetFolder(folder);
        return dlg.DoModal();
    }

    static std::vector<std::string> Items(ScriptedWindow& w)
    {
        std::vector<std::string> items;
        for (int i = 0; i < w.ListGetCount(IDC_FILE_LIST); ++i)
            items.push_back(w.ListGetText(IDC_FILE_LIST, i) +
                            (w.ListGetCheck(IDC_FILE_LIST, i) ? "+" : "-"));
        return items;
    }
};

TEST_F(OrderFixture, ListsDisplayNamesWithChecksAndMovesWithinBounds)
{
    for (const char* name : {"01e_a", "02e_b", "03d_report.doc", "01E_x", "notes.txt"})
        dir.Write(name, name);
    Run(dir.Path(), [](Modal& m) {
        auto& w = m.Window();
        EXPECT_EQ(Items(w),
                  (std::vector<std::string>{"a+", "01E_x+", "b+", "report.doc-", "notes.txt+"}));
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 0);
        EXPECT_EQ(w.GetFocus(), platform::IdOk);
        m.Click(IDC_MOVE_UP); // top: nothing
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 0);
        m.Click(IDC_MOVE_DOWN);
        EXPECT_EQ(Items(w)[1], "a+");
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 1);
        w.ListSetCurSel(IDC_FILE_LIST, 4);
        m.Click(IDC_MOVE_DOWN); // bottom: nothing
        EXPECT_EQ(Items(w)[4], "notes.txt+");
        m.Click(IDC_MOVE_UP);
        EXPECT_EQ(Items(w)[3], "notes.txt+");
        EXPECT_EQ(Items(w)[4], "report.doc-");
        EXPECT_EQ(w.ListGetItemData(IDC_FILE_LIST, 3), 4) << "data travels with the item";
        m.Click(IDC_ENABLE_ALL);
        EXPECT_EQ(Items(w)[4], "report.doc+");
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 3);
        m.Click(IDC_DISABLE_ALL);
        w.ListSetCurSel(IDC_FILE_LIST, -1);
        const auto before = Items(w);
        m.Click(IDC_MOVE_UP);
        m.Click(IDC_MOVE_DOWN);
        EXPECT_EQ(Items(w), before) << "nothing selected: nothing moves";
        m.Click(platform::IdCancel);
    });
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"01E_x", "01e_a", "02e_b", "03d_report.doc", "notes.txt"}))
        << "Cancel renames nothing";
}

// OK renames every file by its place and state, whatever it was called: any permutation is
// applied whole, also when names are swapped or given twice.
TEST_F(OrderFixture, OKRenamesEveryFileByPlaceAndStateAndSwapsWhole)
{
    dir.Write("01e_x", "first");
    dir.Write("02e_x", "second");
    dir.Write("03d_y.sh", "disabled");
    dir.Write("03e_y.sh", "enabled");
    dir.Write("1e_z", "no prefix");
    dir.Write("notes.txt", "notes");
    Run(dir.Path(), [](Modal& m) {
        m.Window().ListSetCurSel(IDC_FILE_LIST, 1);
        m.Click(IDC_MOVE_UP);
        m.Click(IDC_ENABLE_ALL);
        m.Window().ListSetCheck(IDC_FILE_LIST, 5, 0); // notes.txt
        m.Click(platform::IdOk);
        EXPECT_TRUE(m.Window().Ended());
    });
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"01e_x", "02e_x", "03e_y.sh", "04e_y.sh",
                                                     "05e_1e_z", "06d_notes.txt"}));
    for (const auto& [name, content] :
         std::map<std::string, std::string>{{"01e_x", "second"},
                                            {"02e_x", "first"},
                                            {"03e_y.sh", "disabled"},
                                            {"04e_y.sh", "enabled"},
                                            {"06d_notes.txt", "notes"}})
        EXPECT_EQ(ReadFile(dir / name), content);
    EXPECT_TRUE(host.Messages().empty());
}

// A file gone, or a new name taken by a file added since the scan: those two keep their names
// and are named in one message; the others are renamed.
TEST_F(OrderFixture, FilesThatCannotBeRenamedAreNamedInOneMessage)
{
    for (const char* name : {"a", "b", "c", "d"})
        dir.Write(name, name);
    Run(dir.Path(), [this](Modal& m) {
        fs::remove(dir / "b");
        dir.Write("03e_c", "added");
        m.Click(platform::IdOk);
    });
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"01e_a", "03e_c", "04e_d", "c"}));
    EXPECT_EQ(ReadFile(dir / "03e_c"), "added");
    EXPECT_EQ(ReadFile(dir / "c"), "c");
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "次のファイルの名前を変更できませんでした。\nb\nc");
}

TEST_F(OrderFixture, DeleteMovesTheSelectedFileToTheTrashAfterAsking)
{
    UseEmptyDesktop(dir); // the trash of a home of the test's own
    for (const char* name : {"01e_a", "02e_b", "03e_c"})
        dir.Write("launch/" + std::string(name), name);
    host.messageAnswers = {platform::IdCancel, platform::IdOk, platform::IdOk};
    Run(dir / "launch", [this](Modal& m) {
        auto& w = m.Window();
        w.ListSetCurSel(IDC_FILE_LIST, 1);
        m.Click(IDC_DELETE_FILE); // cancelled
        EXPECT_EQ(Items(w), (std::vector<std::string>{"a+", "b+", "c+"}));
        m.Click(IDC_DELETE_FILE);
        EXPECT_EQ(Items(w), (std::vector<std::string>{"a+", "c+"}));
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 1);
        fs::remove(dir / "launch/03e_c");
        m.Click(IDC_DELETE_FILE); // the file is gone: it cannot be trashed
        EXPECT_EQ(Items(w), (std::vector<std::string>{"a+", "c+"}));
        w.ListSetCurSel(IDC_FILE_LIST, 0);
        m.Click(IDC_MOVE_DOWN);
        m.Click(platform::IdOk);
    });
    EXPECT_EQ(dir.Names("launch"), std::vector<std::string>{"02e_a"});
    ASSERT_EQ(host.Messages().size(), 5u);
    EXPECT_EQ(host.Messages()[0].text, "02e_b をごみ箱に移動しますか？");
    EXPECT_EQ(host.Messages()[0].buttons, platform::MessageButtons::OkCancel);
    EXPECT_EQ(host.Messages()[2].text, "03e_c をごみ箱に移動しますか？");
    EXPECT_EQ(host.Messages()[3].text, "ごみ箱に移動できませんでした。");
    EXPECT_EQ(host.Messages()[4].text, "次のファイルの名前を変更できませんでした。\n03e_c");
}

TEST_F(OrderFixture, EmptyOrMissingFolderGivesAnEmptyList)
{
    for (std::string folder : {std::string(), dir / "missing"}) {
        Run(folder, [](Modal& m) {
            EXPECT_EQ(m.Window().ListGetCount(IDC_FILE_LIST), 0);
            EXPECT_EQ(m.Window().ListGetCurSel(IDC_FILE_LIST), -1);
            m.Click(platform::IdOk);
            EXPECT_TRUE(m.Window().Ended());
        });
    }
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(OrderFixture, ARelativeFolderIsRenamedWhereItWasScanned)
{
    dir.Write("launch/b.sh", "b");
    fs::current_path(dir.Path());
    Run("launch", [](Modal& m) { m.PressEnter(); });
    EXPECT_EQ(dir.Names("launch"), std::vector<std::string>{"01e_b.sh"});
}

// Places 99 and beyond share the prefix 99: of two that would then share a name, the later keeps
// its own and is named.
TEST_F(OrderFixture, TheHundredthPlaceKeepsAValidPrefixAndCollisionsAreNamed)
{
    std::vector<std::string> expected = {"01e_dup"};
    for (int i = 1; i <= 98; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d", i);
        dir.Write(name, name);
        expected.push_back((i < 10 ? "0" : "") + std::to_string(i) + "e_" + name);
    }
    expected.push_back("99e_dup");
    dir.Write("01e_dup", "first");
    dir.Write("dup", "second");
    Run(dir.Path(), [](Modal& m) {
        // Listed first: 01e_dup, dup. Both go to the bottom, dup last but one.
        for (int i = 0; i < 99; ++i)
            m.Click(IDC_MOVE_DOWN);
        m.Window().ListSetCurSel(IDC_FILE_LIST, 0);
        for (int i = 0; i < 98; ++i)
            m.Click(IDC_MOVE_DOWN);
        m.Click(platform::IdOk);
    });
    EXPECT_EQ(dir.Names(), expected);
    EXPECT_EQ(ReadFile(dir / "99e_dup"), "second");
    EXPECT_EQ(ReadFile(dir / "01e_dup"), "first");
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "次のファイルの名前を変更できませんでした。\n01e_dup");
}

} // namespace
