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

// The four fields of the settings dialog, joined by '|'.
std::string Fields(const ScriptedWindow& w)
{
    return w.GetText(IDC_SECONDS) + "|" + w.GetText(IDC_COMMAND) + "|" + w.GetText(IDC_OPTIONS) +
           "|" + w.GetText(IDC_TOPDIR);
}

// Opens with the values, the focus in the command field and the login box as the desktop has
// it; each Browse changes its own field only; File settings opens the order of the folder in
// the field, typed and not yet confirmed, or reports an empty or missing one; Cancel reads no
// field.
TEST(SettingDialog, OpensWithTheValuesBrowsesAndOrdersTheFolderInTheField)
{
    TempDir dir;
    UseEmptyDesktop(dir);
    ScriptedHost host;
    CSettingDialog dlg(host);
    dlg.m_nSeconds = 60;
    dlg.m_strCommand = "/usr/bin/backup";
    dlg.m_strOptions = "--all";
    dir.Write("launch/01e_a.sh", "a");
    host.choices = {"/opt/run.sh", std::nullopt, dir / "missing"};
    host.Script(IDD_ORDER_DIALOG, [](Modal& w) {
        EXPECT_EQ(w.ListGetText(IDC_FILE_LIST, 0), "a.sh");
        w.PressEscape();
    });
    host.Script(IDD_SETTING_DIALOG, [&](Modal& w) {
        EXPECT_EQ(Fields(w), "60|/usr/bin/backup|--all|");
        EXPECT_EQ(w.focus, IDC_COMMAND);
        EXPECT_EQ(w.GetCheck(IDC_LOGIN_START), 0);
        w.Click(IDC_FILE_SETTINGS); // empty
        w.Type(IDC_OPTIONS, "typed");
        w.Click(IDC_BROWSE_COMMAND);
        w.Type(IDC_SECONDS, "90");
        w.Click(IDC_BROWSE_COMMAND); // cancelled
        w.Click(IDC_BROWSE_FOLDER);
        EXPECT_EQ(Fields(w), "90|/opt/run.sh|typed|" + dir / "missing");
        w.Click(IDC_FILE_SETTINGS);
        w.Type(IDC_TOPDIR, dir / "launch");
        w.Click(IDC_FILE_SETTINGS);
        w.PressEscape();
    });
    EXPECT_EQ(dlg.DoModal(), platform::IdCancel);
    EXPECT_EQ(dlg.m_strCommand, "/usr/bin/backup");
    EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{res::LoadText(IDS_FOLDER_EMPTY),
                                                             res::LoadText(IDS_FOLDER_MISSING)}));
}

// The seconds are read and checked first, within 10 to 300; a folder too long in UTF-16 code
// units (a Japanese character is one, a character beyond the basic plane two, a byte that is
// not UTF-8 one) is refused after the other fields were taken.
TEST(SettingDialog, ValidatesTheSecondsFirstThenTheFolderLength)
{
    const std::string range = "10 から 300 までの整数を入力してください。";
    const std::string notInteger = "整数を入力してください。";
    const std::string tooLong = "260 文字以内で入力してください。";
    std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"10", "", ""},     {" 300\t", "", ""},   {"9", "", range},
        {"301", "", range}, {"", "", notInteger}, {"99999999999", "", notInteger}};
    const char* units[] = {"フ", "\U0001F600", "\xff"};
    for (int u = 0; u < 3; ++u) {
        std::string folder;
        for (int n = u == 1 ? 130 : 260; n > 0; --n)
            folder += units[u];
        cases.push_back({"45", folder, ""});
        cases.push_back({"45", folder + units[u], tooLong});
    }
    for (const auto& [seconds, folder, message] : cases) {
        SCOPED_TRACE(seconds + " " + std::to_string(folder.size()));
        ScriptedHost host;
        CSettingDialog dlg(host);
        dlg.m_strTopDir = folder; // a long one is only possible when passed in
        const bool secondsWrong = !message.empty() && message != tooLong;
        host.Script(IDD_SETTING_DIALOG, [&](Modal& w) {
            w.Type(IDC_COMMAND, "new command");
            w.Type(IDC_SECONDS, seconds);
            w.PressEnter();
            if (!w.ended) {
                EXPECT_EQ(w.focus, secondsWrong ? IDC_SECONDS : IDC_TOPDIR);
                w.PressEscape();
            }
        });
        EXPECT_EQ(dlg.DoModal(), message.empty() ? platform::IdOk : platform::IdCancel);
        EXPECT_EQ(host.MessageTexts(), std::vector<std::string>(!message.empty(), message));
        EXPECT_EQ(dlg.m_strCommand, secondsWrong ? "" : "new command");
    }
}

// ------------------------------------------------------------------ launch order dialog

struct OrderFixture : ::testing::Test
{
    TempDir dir;
    ScriptedHost host;

    OrderFixture() { UseEmptyDesktop(dir); } // the trash of a home of the test's own
    void Run(const std::string& folder, ScriptedHost::ScriptFn script)
    {
        host.Script(IDD_ORDER_DIALOG, std::move(script));
        COrderDialog dlg(host);
        dlg.SetFolder(folder);
        dlg.DoModal();
    }
    void Write(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            dir.Write(std::string("launch/") + name, name);
    }
    // The files of the launch folder, each with what it holds.
    std::string Files() const
    {
        std::string files;
        for (const std::string& name : dir.Names("launch"))
            files += name + "=" + ReadFile(dir / "launch/" + name) + " ";
        return files;
    }
    // The list as display names, each with + when ticked and - when not, and the selection.
    static std::string Items(const ScriptedWindow& w)
    {
        std::string items;
        for (const ListItem& item : w.At(IDC_FILE_LIST).items)
            items += item.text + (item.check ? "+ " : "- ");
        return items + std::to_string(w.ListGetCurSel(IDC_FILE_LIST));
    }
};

TEST_F(OrderFixture, ListsDisplayNamesWithChecksAndMovesWithinBounds)
{
    Write({"01e_a", "02e_b", "03d_report.doc", "01E_x", "notes.txt"});
    Run(dir / "launch", [](Modal& w) {
        EXPECT_EQ(Items(w), "a+ 01E_x+ b+ report.doc- notes.txt+ 0");
        EXPECT_EQ(w.focus, platform::IdOk);
        w.Click(IDC_MOVE_UP); // top: nothing
        w.Click(IDC_MOVE_DOWN);
        EXPECT_EQ(Items(w), "01E_x+ a+ b+ report.doc- notes.txt+ 1");
        w.ListSetCurSel(IDC_FILE_LIST, 4);
        w.Click(IDC_MOVE_DOWN); // bottom: nothing
        w.Click(IDC_MOVE_UP);
        EXPECT_EQ(Items(w), "01E_x+ a+ b+ notes.txt+ report.doc- 3");
        w.Click(IDC_ENABLE_ALL);
        EXPECT_EQ(Items(w), "01E_x+ a+ b+ notes.txt+ report.doc+ 3");
        w.Click(IDC_DISABLE_ALL);
        w.ListSetCurSel(IDC_FILE_LIST, -1);
        w.Click(IDC_MOVE_UP);
        w.Click(IDC_MOVE_DOWN);
        EXPECT_EQ(Items(w), "01E_x- a- b- notes.txt- report.doc- -1") << "nothing moves";
        w.Click(platform::IdCancel);
    });
    EXPECT_EQ(Files(), "01E_x=01E_x 01e_a=01e_a 02e_b=02e_b 03d_report.doc=03d_report.doc "
                       "notes.txt=notes.txt ")
        << "Cancel renames nothing";
}

// OK renames every file by its place and state, whatever it was called: any permutation is
// applied whole, also when names are swapped or given twice. An empty or missing folder lists
// nothing.
TEST_F(OrderFixture, OKRenamesEveryFileByPlaceAndStateAndSwapsWhole)
{
    Write({"01e_x", "02e_x", "03d_y.sh", "03e_y.sh", "1e_z", "notes.txt"});
    Run(dir / "launch", [](Modal& w) {
        w.ListSetCurSel(IDC_FILE_LIST, 1);
        w.Click(IDC_MOVE_UP);
        w.Click(IDC_ENABLE_ALL);
        w.ListSetCheck(IDC_FILE_LIST, 5, 0); // notes.txt
        w.Click(platform::IdOk);
    });
    EXPECT_EQ(Files(), "01e_x=02e_x 02e_x=01e_x 03e_y.sh=03d_y.sh 04e_y.sh=03e_y.sh "
                       "05e_1e_z=1e_z 06d_notes.txt=notes.txt ");
    for (const std::string& folder : {std::string(), dir / "missing"})
        Run(folder, [](Modal& w) {
            EXPECT_EQ(Items(w), "-1");
            w.Click(platform::IdOk);
        });
    EXPECT_TRUE(host.Messages().empty());
}

// A file gone, or a new name taken by a file added since the scan: those two keep their names
// and are named in one message; the others are renamed. Delete asks, moves the selected file
// to the trash and selects the item that took its place, else the new last one.
TEST_F(OrderFixture, DeletesAfterAskingAndNamesTheFilesThatCannotBeRenamed)
{
    Write({"a", "b", "c", "d", "e"});
    host.messageAnswers = {platform::IdCancel};
    Run(dir / "launch", [this](Modal& w) {
        w.ListSetCurSel(IDC_FILE_LIST, 4);
        w.Click(IDC_DELETE_FILE); // cancelled
        w.Click(IDC_DELETE_FILE);
        EXPECT_EQ(Items(w), "a+ b+ c+ d+ 3");
        w.ListSetCurSel(IDC_FILE_LIST, 0);
        w.Click(IDC_DELETE_FILE);
        EXPECT_EQ(Items(w), "b+ c+ d+ 0");
        fs::remove(dir / "launch/b");
        w.Click(IDC_DELETE_FILE); // the file is gone: it cannot be trashed
        dir.Write("launch/02e_c", "added");
        w.Click(platform::IdOk);
    });
    EXPECT_EQ(Files(), "02e_c=added 03e_d=d c=c ");
    EXPECT_EQ(
        host.MessageTexts(),
        (std::vector<std::string>{
            res::FormatString1(IDS_TRASH_CONFIRM, "e"), res::FormatString1(IDS_TRASH_CONFIRM, "e"),
            res::FormatString1(IDS_TRASH_CONFIRM, "a"), res::FormatString1(IDS_TRASH_CONFIRM, "b"),
            res::LoadText(IDS_TRASH_FAILED), res::LoadText(IDS_RENAME_FAILED) + "\nb\nc"}));
}

} // namespace
