// The settings dialog and the launch order dialog on the scripted host.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

#include "dialogs/COrderDialog.h"
#include "dialogs/CSettingDialog.h"
#include "folder/CFileEntry.h"
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
                  EXPECT_EQ(w.At(IDC_TOPDIR).limitBytes, 260);
                  EXPECT_EQ(w.At(IDC_SECONDS_SPIN).lower, 10);
                  EXPECT_EQ(w.At(IDC_SECONDS_SPIN).upper, 300);
                  EXPECT_EQ(w.At(IDC_SECONDS_SPIN).step, 5);
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
    dlg.m_strTopDir = "/" + std::string(260, 'x'); // 261 bytes, only possible when passed in
    host.AnswerFolderChooser(std::nullopt);
    Run([this](Modal& m) {
        m.Type(IDC_SECONDS, "45");
        m.Type(IDC_OPTIONS, "typed");
        m.PressEnter();
        EXPECT_FALSE(m.Window().Ended());
        EXPECT_EQ(m.Window().GetFocus(), IDC_TOPDIR);
        EXPECT_EQ(dlg.m_nSeconds, 45);
        EXPECT_EQ(dlg.m_strOptions, "typed");
        m.Click(IDC_BROWSE_FOLDER); // cancelled: nothing refreshed
        EXPECT_EQ(m.Window().GetText(IDC_OPTIONS), "typed");
        m.PressEscape();
    });
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "260 バイト以内で入力してください。");
    // 260 bytes of multi-byte text are accepted: the limit counts bytes.
    ScriptedHost h;
    CSettingDialog d(h);
    d.m_nSeconds = 60;
    std::string jp;
    while (jp.size() + 3 <= 260)
        jp += "フ";
    d.m_strTopDir = jp;
    h.Script(IDD_SETTING_DIALOG, [](Modal& m) { m.PressEnter(); });
    EXPECT_EQ(d.DoModal(), platform::IdOk);
}

TEST_F(SettingFixture, BrowsingRefreshesEveryFieldFromTheMembers)
{
    host.AnswerFileChooser("/opt/new tool/run.sh");
    host.AnswerFileChooser(std::nullopt);
    host.AnswerFolderChooser("/home/花子/起動");
    Run([](Modal& m) {
        auto& w = m.Window();
        m.Type(IDC_OPTIONS, "typed but not confirmed");
        m.Click(IDC_BROWSE_COMMAND);
        EXPECT_EQ(w.GetText(IDC_COMMAND), "/opt/new tool/run.sh");
        EXPECT_EQ(w.GetText(IDC_OPTIONS), "--all");
        m.Type(IDC_SECONDS, "90");
        m.Click(IDC_BROWSE_COMMAND); // cancelled
        EXPECT_EQ(w.GetText(IDC_SECONDS), "90");
        m.Click(IDC_BROWSE_FOLDER);
        EXPECT_EQ(w.GetText(IDC_TOPDIR), "/home/花子/起動");
        EXPECT_EQ(w.GetText(IDC_SECONDS), "60");
        m.PressEscape();
    });
    EXPECT_EQ(dlg.m_strCommand, "/opt/new tool/run.sh") << "members changed by the browse";
    EXPECT_EQ(host.FileFilters().at(0), "実行ファイル(*.exe,*.bat,*vbs,*.js)|*.exe; *.bat; *.vbs; "
                                        "*.js|すべてのファイル(*.*)|*.*||");
    EXPECT_EQ(host.FolderTitles().at(0), "ショートカットの保存先");
}

TEST_F(SettingFixture, FileSettingsUsesTheMemberFolderNotTheTypedText)
{
    dlg.m_strTopDir.clear();
    Run([](Modal& m) {
        m.Type(IDC_TOPDIR, "/tmp");
        m.Click(IDC_FILE_SETTINGS); // nothing: the member is empty
        m.Click(ID_HELP);
        m.PressEscape();
    });
    EXPECT_EQ(host.ModalRuns(), std::vector<int>{IDD_SETTING_DIALOG});
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
        m.Click(IDC_DELETE_FILE);
        EXPECT_EQ(w.ListGetCount(IDC_FILE_LIST), 5);
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

TEST_F(OrderFixture, OKRenamesEveryFileByPlaceAndState)
{
    for (const char* name : {"01e_a", "02e_b", "03d_report.doc", "notes.txt", "1e_x"})
        dir.Write(name, name);
    // Listed: 01e_a, 02e_b, 03d_report.doc, 1e_x, notes.txt
    Run(dir.Path(), [](Modal& m) {
        auto& w = m.Window();
        w.ListSetCurSel(IDC_FILE_LIST, 1);
        m.Click(IDC_MOVE_UP);                // b above a
        w.ListSetCheck(IDC_FILE_LIST, 4, 0); // notes.txt unchecked
        m.Click(platform::IdOk);
        EXPECT_TRUE(m.Window().Ended());
    });
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"01e_b", "02e_a", "03d_report.doc", "04e_1e_x",
                                                     "05d_notes.txt"}));
    for (const auto& [name, content] : std::map<std::string, std::string>{
             {"01e_b", "02e_b"}, {"02e_a", "01e_a"}, {"05d_notes.txt", "notes.txt"}})
        EXPECT_EQ(ReadFile(dir / name), content);
}

TEST_F(OrderFixture, ARenameOntoAnExistingNameFailsAndTheFileKeepsItsName)
{
    dir.Write("01e_x", "first");
    dir.Write("02e_x", "second");
    Run(dir.Path(), [](Modal& m) {
        m.Window().ListSetCurSel(IDC_FILE_LIST, 1);
        m.Click(IDC_MOVE_UP);
        m.Click(platform::IdOk);
        EXPECT_TRUE(m.Window().Ended());
    });
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"01e_x", "02e_x"}));
    EXPECT_EQ(ReadFile(dir / "01e_x"), "first");
    EXPECT_EQ(ReadFile(dir / "02e_x"), "second");
    EXPECT_TRUE(host.Messages().empty());
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

TEST_F(OrderFixture, TheHundredthPlaceKeepsAValidPrefixAndItsState)
{
    for (int i = 1; i <= 100; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d", i);
        dir.Write(name, name);
    }
    Run(dir.Path(), [](Modal& m) {
        m.Window().ListSetCheck(IDC_FILE_LIST, 99, 0);
        m.PressEnter();
    });
    const auto names = dir.Names();
    ASSERT_EQ(names.size(), 100u);
    EXPECT_EQ(names.front(), "01e_f001");
    EXPECT_EQ(names[98], "99d_f100") << "sorts last among the 99s";
    EXPECT_EQ(names[99], "99e_f099");
    EXPECT_EQ(ReadFile(dir / "99d_f100"), "f100");
}

// Whatever the user does, OK never loses a file: the folder holds the same contents, and
// every file that was renamed carries the state chosen for it.
TEST_F(OrderFixture, PropertyNothingIsEverLost)
{
    std::mt19937 rng(20261206);
    const std::vector<std::string> stems = {"a", "b", "c.sh", "d"};
    for (int round = 0; round < 40; ++round) {
        TempDir d;
        std::multiset<std::string> contents;
        const int files = 2 + static_cast<int>(rng() % 9);
        std::set<std::string> used;
        for (int i = 0; i < files; ++i) {
            // Colliding display names: the same stem under different prefixes.
            std::string name;
            do {
                const int kind = static_cast<int>(rng() % 3);
                const std::string stem = stems[rng() % stems.size()];
                char prefix[8];
                std::snprintf(prefix, sizeof prefix, "%02u%c_",
                              static_cast<unsigned>(1 + rng() % 12), rng() % 2 ? 'e' : 'd');
                name = kind == 0 ? stem : prefix + stem;
            } while (!used.insert(name).second);
            const std::string content = "content " + std::to_string(round) + "/" + name;
            d.Write(name, content);
            contents.insert(content);
        }
        std::map<std::string, int> chosen; // content -> check chosen
        host.Script(IDD_ORDER_DIALOG, [&](Modal& m) {
            auto& w = m.Window();
            for (int step = 0; step < 12; ++step) {
                const int n = w.ListGetCount(IDC_FILE_LIST);
                switch (rng() % 5) {
                case 0:
                    w.ListSetCurSel(IDC_FILE_LIST, static_cast<int>(rng() % n));
                    break;
                case 1:
                    m.Click(IDC_MOVE_UP);
                    break;
                case 2:
                    m.Click(IDC_MOVE_DOWN);
                    break;
                case 3:
                    w.ListSetCheck(IDC_FILE_LIST, static_cast<int>(rng() % n),
                                   static_cast<int>(rng() % 2));
                    break;
                default:
                    m.Click(rng() % 2 ? IDC_ENABLE_ALL : IDC_DISABLE_ALL);
                    break;
                }
            }
            // The item data names the scanned entry, in the order the scan listed them.
            std::vector<std::string> scanned = d.Names();
            std::sort(scanned.begin(), scanned.end(), [](std::string a, std::string b) {
                for (auto* s : {&a, &b})
                    for (char& c : *s)
                        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                return a < b;
            });
            for (int i = 0; i < w.ListGetCount(IDC_FILE_LIST); ++i) {
                const auto k = w.ListGetItemData(IDC_FILE_LIST, i);
                chosen["content " + std::to_string(round) + "/" + scanned.at(k)] =
                    w.ListGetCheck(IDC_FILE_LIST, i);
            }
            m.Click(platform::IdOk);
        });
        COrderDialog dlg(host);
        dlg.SetFolder(d.Path());
        dlg.DoModal();

        std::multiset<std::string> after;
        for (const auto& name : d.Names()) {
            const std::string content = ReadFile(d / name);
            after.insert(content);
            const std::string original = content.substr(content.find('/') + 1);
            if (name != original) {
                CFileEntry entry(name);
                ASSERT_TRUE(entry.HasPrefix()) << name;
                EXPECT_EQ(entry.IsEnabled(), chosen.at(content) == 1) << name;
            }
        }
        ASSERT_EQ(after, contents) << "round " << round;
    }
}

} // namespace
