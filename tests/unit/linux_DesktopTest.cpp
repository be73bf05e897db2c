// What Hanavo leaves in the user's Linux desktop: files in the trash, the autostart entry, and
// a line on standard error for every launch.
#include "dialogs/CSettingDialog.h"
#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"
#include "res/resource.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

TEST(Trash, MovesTheFileToTheUsersTrashAndNowhereElse)
{
    TempDir dir;
    UseEmptyDesktop(dir);
    dir.Write("launch/01e_\xff raw.sh", "kept");
    EXPECT_TRUE(platform::MoveToTrash(dir / "launch/01e_\xff raw.sh"));
    EXPECT_TRUE(dir.Names("launch").empty());
    EXPECT_EQ(ReadFile(dir / "xdg-data/Trash/files/01e_\xff raw.sh"), "kept");
    EXPECT_TRUE(fs::exists(dir / "xdg-data/Trash/info/01e_\xff raw.sh.trashinfo"));
    EXPECT_FALSE(platform::MoveToTrash(dir / "launch/gone.sh"));
    EXPECT_FALSE(platform::MoveToTrash(""));
}

struct LoginStart : ::testing::Test
{
    TempDir dir;
    std::string autostart;
    LoginStart()
    {
        UseEmptyDesktop(dir);
        autostart = dir / "xdg-config/autostart";
    }
    std::string Entry(const char* name) const { return autostart + "/" + name; }
};

TEST_F(LoginStart, TickedByEitherEntryUnlessHidden)
{
    const struct
    {
        const char* name;
        const char* extra;
        bool ticked;
    } cases[] = {
        {nullptr, "", false},
        {"io.github.quillmere.Hanavo.desktop", "", true},
        {"io.github.quillmere.Hanavo.desktop", "Hidden=true\n", false},
        {"io.github.quillmere.Hanavo.desktop", "Hidden = false\n", true},
        {"hanavo-autostart.desktop", "", true},
        {"hanavo-autostart.desktop", "Hidden=true\n", false},
        {"other.desktop", "", false},
    };
    for (const auto& c : cases) {
        fs::remove_all(autostart);
        if (c.name)
            dir.Write("xdg-config/autostart/" + std::string(c.name),
                      "[Desktop Entry]\nType=Application\nExec=hanavo -a\n" + std::string(c.extra));
        EXPECT_EQ(platform::LoginStartEnabled(), c.ticked)
            << (c.name ? c.name : "none") << " " << c.extra;
    }
}

TEST_F(LoginStart, TheSettingsDialogAppliesTheBoxOnOKOnly)
{
    ScriptedHost host;
    auto run = [&](bool tick, int button) {
        CSettingDialog dlg(host);
        dlg.m_nSeconds = 60;
        host.Script(IDD_SETTING_DIALOG, [&](Modal& m) {
            if (m.Window().GetCheck(IDC_LOGIN_START) != (tick ? 1 : 0))
                m.Click(IDC_LOGIN_START);
            m.Click(button);
        });
        return dlg.DoModal();
    };
    dir.Write("xdg-config/autostart/hanavo-autostart.desktop", "[Desktop Entry]\nExec=hanavo -a\n");
    EXPECT_EQ(run(false, platform::IdCancel), platform::IdCancel);
    EXPECT_TRUE(fs::exists(Entry("hanavo-autostart.desktop"))) << "Cancel changes nothing";
    EXPECT_EQ(run(false, platform::IdOk), platform::IdOk);
    EXPECT_TRUE(dir.Names("xdg-config/autostart").empty()) << "unticked removes the example too";
    EXPECT_EQ(run(true, platform::IdOk), platform::IdOk);
    EXPECT_EQ(host.LastWindow(IDD_SETTING_DIALOG)->controls.at(IDC_LOGIN_START).check, 1);

    GKeyFile* file = g_key_file_new();
    ASSERT_TRUE(g_key_file_load_from_file(file, Entry("io.github.quillmere.Hanavo.desktop").c_str(),
                                          G_KEY_FILE_NONE, nullptr));
    gchar* exec = g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP, "Exec", nullptr);
    EXPECT_EQ(std::string(exec ? exec : ""), fs::read_symlink("/proc/self/exe").string() + " -a");
    g_free(exec);
    g_key_file_free(file);
    EXPECT_TRUE(platform::LoginStartEnabled());
    EXPECT_TRUE(host.Messages().empty());

    // A folder that cannot be made: the box stays as the desktop has it, and the user is told.
    fs::remove_all(autostart);
    dir.Write("xdg-config/autostart", "a file, not a folder");
    EXPECT_EQ(run(true, platform::IdOk), platform::IdOk);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "自動起動の設定を変更できませんでした。");
    EXPECT_FALSE(platform::LoginStartEnabled());
}

// The program's path survives the Exec line's quoting and the string value's escapes.
TEST(DesktopExec, QuotesWhatThePathNeedsAndRefusesWhatItCannotCarry)
{
    for (const std::string path :
         {"/usr/bin/hanavo", "/opt/my apps/hanavo", "/日本/ハナボ", "/a\"b`c$d\\e%f'g;h/hanavo"}) {
        const std::string arg = platform::DesktopExecArgument(path);
        const std::string text = "[Desktop Entry]\nExec=" + arg + " -a\n";
        GKeyFile* file = g_key_file_new();
        ASSERT_TRUE(
            g_key_file_load_from_data(file, text.c_str(), text.size(), G_KEY_FILE_NONE, nullptr))
            << arg;
        // Strictly: an escape the format does not know is an error.
        GError* error = nullptr;
        gchar* exec = g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP, "Exec", &error);
        ASSERT_EQ(error, nullptr) << arg << ": " << error->message;
        // Field codes come first: "%%" is a literal percent sign.
        std::string line = exec;
        for (std::size_t at = 0; (at = line.find("%%", at)) != std::string::npos; ++at)
            line.erase(at, 1);
        gchar** argv = nullptr;
        ASSERT_TRUE(g_shell_parse_argv(line.c_str(), nullptr, &argv, nullptr)) << line;
        EXPECT_EQ(std::string(argv[0]), path);
        EXPECT_EQ(std::string(argv[1] ? argv[1] : ""), "-a");
        g_strfreev(argv);
        g_free(exec);
        g_key_file_free(file);
    }
    EXPECT_EQ(platform::DesktopExecArgument("/usr/bin/hanavo"), "/usr/bin/hanavo");
    EXPECT_EQ(platform::DesktopExecArgument("/a\nb"), "");
    EXPECT_EQ(platform::DesktopExecArgument("/\xff/hanavo"), "");
}

TEST(LaunchReport, OneLinePerLaunchWithTheNameAndAPlainReason)
{
    const struct
    {
        std::string file;
        int result;
        std::string line;
    } cases[] = {
        {"notes.txt", 31,
         "hanavo: cannot launch \"notes.txt\": no application is associated with this file "
         "type (31)"},
        {"01e_setup.sh", 42, "hanavo: launched \"01e_setup.sh\""},
        {"gone", 2, "hanavo: cannot launch \"gone\": the file was not found (2)"},
        {"a\"b\nc\\", 5, "hanavo: cannot launch \"a\\x22b\\x0ac\\x5c\": access was denied (5)"},
        {"x", 99, "hanavo: launched \"x\""},
        {"x", 0, "hanavo: cannot launch \"x\": the launch failed (0)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::LaunchReport(c.file, c.result), c.line);

    // ShellOpen writes it, one line per launch.
    TempDir dir;
    dir.Write("run.sh", "#!/bin/sh\n", true);
    ::testing::internal::CaptureStderr();
    const std::string folder = dir.Path();
    const int started = platform::ShellOpen(nullptr, "run.sh", nullptr, &folder);
    const int missing = platform::ShellOpen(nullptr, "missing.sh", nullptr, &folder);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              platform::LaunchReport("run.sh", started) + "\n" +
                  platform::LaunchReport("missing.sh", missing) + "\n");
    EXPECT_GT(started, 32);
    EXPECT_EQ(missing, 2);
}

} // namespace
