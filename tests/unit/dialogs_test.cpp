// The settings dialog and the launch order dialog on the scripted host.
#include <filesystem>
#include <gtest/gtest.h>

#include "dialogs/COrderDialog.h"
#include "dialogs/CSettingDialog.h"
#include "res/Strings.h"
#include "res/resource.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Runs the settings dialog with these values; returns its result.
int RunSettings(ScriptedHost& host, CSettingDialog& dlg, ScriptedHost::ScriptFn script)
{
    host.Script(IDD_SETTING_DIALOG, std::move(script));
    return dlg.DoModal();
}

std::vector<std::string> Texts(const ScriptedHost& host)
{
    std::vector<std::string> texts;
    for (const auto& message : host.Messages())
        texts.push_back(message.text);
    return texts;
}

// Opens with the values, the focus in the command field and the login box as the desktop has
// it; each Browse changes its own field only, and only OK takes the fields.
TEST(SettingDialog, OpensWithTheValuesAndEachBrowseChangesItsOwnFieldOnly)
{
    TempDir dir;
    UseEmptyDesktop(dir);
    ScriptedHost host;
    CSettingDialog dlg(host);
    dlg.m_nSeconds = 60;
    dlg.m_strCommand = "/usr/bin/backup";
    dlg.m_strOptions = "--all";
    dlg.m_strTopDir = "/srv/launch";
    host.choices = {"/opt/new tool/run.sh", std::nullopt, "/home/花子/起動"};
    EXPECT_EQ(RunSettings(host, dlg,
                          [](Modal& w) {
                              EXPECT_EQ(w.GetText(IDC_SECONDS), "60");
                              EXPECT_EQ(w.GetText(IDC_COMMAND), "/usr/bin/backup");
                              EXPECT_EQ(w.GetText(IDC_OPTIONS), "--all");
                              EXPECT_EQ(w.GetText(IDC_TOPDIR), "/srv/launch");
                              EXPECT_EQ(w.focus, IDC_COMMAND);
                              EXPECT_EQ(w.GetCheck(IDC_LOGIN_START), 0);
                              w.Type(IDC_OPTIONS, "typed");
                              w.Click(IDC_BROWSE_COMMAND);
                              EXPECT_EQ(w.GetText(IDC_COMMAND), "/opt/new tool/run.sh");
                              w.Type(IDC_SECONDS, "90");
                              w.Click(IDC_BROWSE_COMMAND); // cancelled
                              w.Click(IDC_BROWSE_FOLDER);
                              EXPECT_EQ(w.GetText(IDC_TOPDIR), "/home/花子/起動");
                              EXPECT_EQ(w.GetText(IDC_COMMAND), "/opt/new tool/run.sh");
                              EXPECT_EQ(w.GetText(IDC_OPTIONS), "typed");
                              EXPECT_EQ(w.GetText(IDC_SECONDS), "90");
                              w.PressEscape();
                          }),
              platform::IdCancel);
    EXPECT_EQ(dlg.m_strCommand, "/usr/bin/backup") << "Cancel reads no field";
    EXPECT_TRUE(host.Messages().empty());
}

// The seconds are read and checked first, within 10 to 300; a folder too long in UTF-16 code
// units (a Japanese character is one, a character beyond the basic plane two, a byte that is
// not UTF-8 one) is refused after the other fields were taken.
TEST(SettingDialog, ValidatesTheSecondsFirstThenTheFolderLength)
{
    const std::string range = "10 から 300 までの整数を入力してください。";
    const std::string notInteger = "整数を入力してください。";
    const std::string tooLong = "260 文字以内で入力してください。";
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        while (n-- > 0)
            out += s;
        return out;
    };
    struct Case
    {
        std::string seconds, folder, message;
        int focus;
    };
    for (const Case& c :
         {Case{"10", repeat("フ", 260), "", 0}, Case{" 300\t", "", "", 0},
          Case{"9", "", range, IDC_SECONDS}, Case{"301", "", range, IDC_SECONDS},
          Case{"", "", notInteger, IDC_SECONDS}, Case{"99999999999", "", notInteger, IDC_SECONDS},
          Case{"45", repeat("フ", 261), tooLong, IDC_TOPDIR},
          Case{"45", repeat("\U0001F600", 130), "", 0},
          Case{"45", repeat("\U0001F600", 130) + "a", tooLong, IDC_TOPDIR},
          Case{"45", repeat("\xff", 260), "", 0},
          Case{"45", repeat("\xff", 261), tooLong, IDC_TOPDIR}}) {
        SCOPED_TRACE(c.seconds + " " + std::to_string(c.folder.size()));
        ScriptedHost host;
        CSettingDialog dlg(host);
        dlg.m_strTopDir = c.folder; // a long one is only possible when passed in
        const int result = RunSettings(host, dlg, [&](Modal& w) {
            w.Type(IDC_COMMAND, "new command");
            w.Type(IDC_SECONDS, c.seconds);
            w.PressEnter();
            EXPECT_EQ(w.ended, c.message.empty());
            if (!w.ended) {
                EXPECT_EQ(w.focus, c.focus);
                EXPECT_EQ(w.selectedAll, c.focus);
                w.PressEscape();
            }
        });
        EXPECT_EQ(result, c.message.empty() ? platform::IdOk : platform::IdCancel);
        EXPECT_EQ(Texts(host), c.message.empty() ? std::vector<std::string>{}
                                                 : std::vector<std::string>{c.message});
        if (c.focus != IDC_SECONDS) {
            EXPECT_EQ(dlg.m_nSeconds, std::stoi(c.seconds));
        }
        EXPECT_EQ(dlg.m_strCommand, c.focus == IDC_SECONDS ? "" : "new command");
    }
}

// The launch order of the folder in the field, typed and not yet confirmed; an empty or
// missing one is reported instead.
TEST(SettingDialog, FileSettingsOpensTheOrderOfTheFolderInTheField)
{
    TempDir dir;
    dir.Write("launch/01e_a.sh", "a");
    ScriptedHost host;
    CSettingDialog dlg(host);
    host.Script(IDD_ORDER_DIALOG, [](Modal& w) {
        EXPECT_EQ(w.ListGetText(IDC_FILE_LIST, 0), "a.sh");
        w.PressEscape();
    });
    RunSettings(host, dlg, [&](Modal& w) {
        w.Click(IDC_FILE_SETTINGS);
        w.Type(IDC_TOPDIR, dir / "missing");
        w.Click(IDC_FILE_SETTINGS);
        w.Type(IDC_TOPDIR, dir / "launch");
        w.Click(IDC_FILE_SETTINGS);
        w.Click(platform::ID_HELP);
        w.PressEscape();
    });
    EXPECT_EQ(host.modalRuns, (std::vector<int>{IDD_SETTING_DIALOG, IDD_ORDER_DIALOG}));
    EXPECT_EQ(Texts(host), (std::vector<std::string>{res::LoadText(IDS_FOLDER_EMPTY),
                                                     res::LoadText(IDS_FOLDER_MISSING)}));
    EXPECT_EQ(host.helpCount, 1);
}

// ------------------------------------------------------------------ launch order dialog

struct OrderFixture : ::testing::Test
{
    TempDir dir;
    ScriptedHost host;

    int Run(const std::string& folder, ScriptedHost::ScriptFn script)
    {
        host.Script(IDD_ORDER_DIALOG, std::move(script));
        COrderDialog dlg(host);
        dlg.SetFolder(folder);
        return dlg.DoModal();
    }
    // The list as display names with + for ticked and - for unticked.
    static std::vector<std::string> Items(ScriptedWindow& w)
    {
        std::vector<std::string> items;
        for (const ListItem& item : w.At(IDC_FILE_LIST).items)
            items.push_back(item.text + (item.check ? "+" : "-"));
        return items;
    }
};

TEST_F(OrderFixture, ListsDisplayNamesWithChecksAndMovesWithinBounds)
{
    for (const char* name : {"01e_a", "02e_b", "03d_report.doc", "01E_x", "notes.txt"})
        dir.Write(name, name);
    Run(dir.Path(), [](Modal& w) {
        EXPECT_EQ(Items(w),
                  (std::vector<std::string>{"a+", "01E_x+", "b+", "report.doc-", "notes.txt+"}));
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 0);
        EXPECT_EQ(w.focus, platform::IdOk);
        w.Click(IDC_MOVE_UP); // top: nothing
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 0);
        w.Click(IDC_MOVE_DOWN);
        EXPECT_EQ(Items(w)[1], "a+");
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 1);
        w.ListSetCurSel(IDC_FILE_LIST, 4);
        w.Click(IDC_MOVE_DOWN); // bottom: nothing
        EXPECT_EQ(Items(w)[4], "notes.txt+");
        w.Click(IDC_MOVE_UP);
        EXPECT_EQ(Items(w),
                  (std::vector<std::string>{"01E_x+", "a+", "b+", "notes.txt+", "report.doc-"}));
        EXPECT_EQ(w.ListGetItemData(IDC_FILE_LIST, 3), 4) << "data travels with the item";
        w.Click(IDC_ENABLE_ALL);
        EXPECT_EQ(Items(w)[4], "report.doc+");
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 3);
        w.Click(IDC_DISABLE_ALL);
        w.ListSetCurSel(IDC_FILE_LIST, -1);
        const auto before = Items(w);
        EXPECT_EQ(before[0], "01E_x-");
        w.Click(IDC_MOVE_UP);
        w.Click(IDC_MOVE_DOWN);
        EXPECT_EQ(Items(w), before) << "nothing selected: nothing moves";
        w.Click(platform::IdCancel);
    });
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"01E_x", "01e_a", "02e_b", "03d_report.doc", "notes.txt"}))
        << "Cancel renames nothing";
}

// OK renames every file by its place and state, whatever it was called: any permutation is
// applied whole, also when names are swapped or given twice.
TEST_F(OrderFixture, OKRenamesEveryFileByPlaceAndStateAndSwapsWhole)
{
    for (const char* name : {"01e_x", "02e_x", "03d_y.sh", "03e_y.sh", "1e_z", "notes.txt"})
        dir.Write(name, name);
    Run(dir.Path(), [](Modal& w) {
        w.ListSetCurSel(IDC_FILE_LIST, 1);
        w.Click(IDC_MOVE_UP);
        w.Click(IDC_ENABLE_ALL);
        w.ListSetCheck(IDC_FILE_LIST, 5, 0); // notes.txt
        w.Click(platform::IdOk);
        EXPECT_TRUE(w.ended);
    });
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"01e_x", "02e_x", "03e_y.sh", "04e_y.sh",
                                                     "05e_1e_z", "06d_notes.txt"}));
    for (auto [name, content] : {std::pair<const char*, const char*>{"01e_x", "02e_x"},
                                 {"02e_x", "01e_x"},
                                 {"03e_y.sh", "03d_y.sh"},
                                 {"04e_y.sh", "03e_y.sh"}})
        EXPECT_EQ(ReadFile(dir / name), content);
    EXPECT_TRUE(host.Messages().empty());
}

// A file gone, or a new name taken by a file added since the scan: those two keep their names
// and are named in one message; the others are renamed. An empty or missing folder lists
// nothing and renames nothing.
TEST_F(OrderFixture, FilesThatCannotBeRenamedAreNamedInOneMessage)
{
    for (const char* name : {"a", "b", "c", "d"})
        dir.Write(name, name);
    Run(dir.Path(), [this](Modal& w) {
        fs::remove(dir / "b");
        dir.Write("03e_c", "added");
        w.Click(platform::IdOk);
    });
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"01e_a", "03e_c", "04e_d", "c"}));
    EXPECT_EQ(ReadFile(dir / "c"), "c");
    EXPECT_EQ(Texts(host), std::vector<std::string>{res::LoadText(IDS_RENAME_FAILED) + "\nb\nc"});
    for (const std::string& folder : {std::string(), dir / "missing"})
        Run(folder, [](Modal& w) {
            EXPECT_EQ(w.ListGetCount(IDC_FILE_LIST), 0);
            EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), -1);
            w.Click(platform::IdOk);
            EXPECT_TRUE(w.ended);
        });
    EXPECT_EQ(host.Messages().size(), 1u);
}

// Delete asks, moves the selected file to the trash and selects the item that took its place,
// else the new last one.
TEST_F(OrderFixture, DeleteMovesTheSelectedFileToTheTrashAfterAsking)
{
    UseEmptyDesktop(dir); // the trash of a home of the test's own
    for (const char* name : {"01e_a", "02e_b", "03e_c", "04e_d"})
        dir.Write("launch/" + std::string(name), name);
    host.messageAnswers = {platform::IdCancel};
    Run(dir / "launch", [this](Modal& w) {
        w.ListSetCurSel(IDC_FILE_LIST, 1);
        w.Click(IDC_DELETE_FILE); // cancelled
        EXPECT_EQ(Items(w), (std::vector<std::string>{"a+", "b+", "c+", "d+"}));
        w.Click(IDC_DELETE_FILE);
        EXPECT_EQ(Items(w), (std::vector<std::string>{"a+", "c+", "d+"}));
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 1);
        w.ListSetCurSel(IDC_FILE_LIST, 2);
        w.Click(IDC_DELETE_FILE);
        EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 1);
        fs::remove(dir / "launch/03e_c");
        w.Click(IDC_DELETE_FILE); // the file is gone: it cannot be trashed
        EXPECT_EQ(Items(w), (std::vector<std::string>{"a+", "c+"}));
        w.ListSetCurSel(IDC_FILE_LIST, 0);
        w.Click(IDC_MOVE_DOWN);
        w.Click(platform::IdOk);
    });
    EXPECT_EQ(dir.Names("launch"), std::vector<std::string>{"02e_a"});
    const std::string confirm = res::FormatString1(IDS_TRASH_CONFIRM, "02e_b");
    EXPECT_EQ(Texts(host),
              (std::vector<std::string>{
                  confirm, confirm, res::FormatString1(IDS_TRASH_CONFIRM, "04e_d"),
                  res::FormatString1(IDS_TRASH_CONFIRM, "03e_c"), res::LoadText(IDS_TRASH_FAILED),
                  res::LoadText(IDS_RENAME_FAILED) + "\n03e_c"}));
    EXPECT_EQ(host.Messages()[0].buttons, platform::MessageButtons::OkCancel);
}

} // namespace
