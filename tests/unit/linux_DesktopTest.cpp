// What Hanavo leaves in the user's Linux session: files in the trash, the autostart entry, the
// single-instance lock, and a line on standard error for every launch.
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
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;
using platform::InstanceLock;
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
    for (const std::string& path : {dir / "launch/gone.sh", std::string()})
        EXPECT_FALSE(platform::MoveToTrash(path)) << path;
}

// Either entry ticks the box unless it is hidden; without an absolute XDG_CONFIG_HOME the
// entries are in $HOME/.config.
TEST(LoginStart, TickedByEitherEntryUnlessHidden)
{
    TempDir dir;
    setenv("HOME", dir.Path().c_str(), 1);
    const std::tuple<const char*, const char*, const char*, bool> cases[] = {
        {"/", nullptr, "", false},
        {"/", "io.github.quillmere.Hanavo.desktop", "", true},
        {"/", "io.github.quillmere.Hanavo.desktop", "Hidden=true\n", false},
        {"/", "io.github.quillmere.Hanavo.desktop", "Hidden = false\n", true},
        {"/", "hanavo-autostart.desktop", "", true},
        {"/", "hanavo-autostart.desktop", "Hidden=true\n", false},
        {"/", "other.desktop", "", false},
        {"relative", "hanavo-autostart.desktop", "", true},
        {nullptr, "hanavo-autostart.desktop", "", true}};
    for (const auto& [config, name, extra, ticked] : cases) {
        fs::remove_all(dir / ".config");
        if (config)
            setenv("XDG_CONFIG_HOME", config[0] == '/' ? (dir / ".config").c_str() : config, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        if (name)
            dir.Write(".config/autostart/" + std::string(name),
                      "[Desktop Entry]\nType=Application\nExec=hanavo -a\n" + std::string(extra));
        EXPECT_EQ(platform::LoginStartEnabled(), ticked) << (name ? name : "none") << " " << extra;
    }
}

TEST(LoginStart, TheSettingsDialogAppliesTheBoxOnOKOnly)
{
    TempDir dir;
    UseEmptyDesktop(dir);
    const std::string autostart = dir / "xdg-config/autostart";
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
    EXPECT_TRUE(platform::LoginStartEnabled()) << "Cancel changes nothing";
    EXPECT_EQ(run(false, platform::IdOk), platform::IdOk);
    EXPECT_TRUE(dir.Names("xdg-config/autostart").empty()) << "unticked removes the example too";
    EXPECT_EQ(run(true, platform::IdOk), platform::IdOk);
    EXPECT_EQ(host.LastWindow(IDD_SETTING_DIALOG)->controls.at(IDC_LOGIN_START).check, 1);

    GKeyFile* file = g_key_file_new();
    ASSERT_TRUE(
        g_key_file_load_from_file(file, (autostart + "/io.github.quillmere.Hanavo.desktop").c_str(),
                                  G_KEY_FILE_NONE, nullptr));
    gchar* exec = g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP, "Exec", nullptr);
    EXPECT_EQ(std::string(exec ? exec : ""), fs::read_symlink("/proc/self/exe").string() + " -a");
    g_free(exec);
    g_key_file_free(file);
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

TEST(LaunchReport, ShellOpenWritesOneLinePerLaunchWithTheNameAndAPlainReason)
{
    TempDir dir;
    dir.Write("run.sh", "#!/bin/sh\n", true);
    ::testing::internal::CaptureStderr();
    const std::string folder = dir.Path();
    EXPECT_GT(platform::ShellOpen(nullptr, "run.sh", nullptr, &folder), 32);
    EXPECT_EQ(platform::ShellOpen(nullptr, "a\"b\nc\\", nullptr, &folder), 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "hanavo: launched \"run.sh\"\n"
              "hanavo: cannot launch \"a\\x22b\\x0ac\\x5c\": the file was not found (2)\n");
    EXPECT_EQ(platform::LaunchReport("x", 33), "hanavo: launched \"x\"");
    EXPECT_EQ(platform::LaunchReport("x", 0), "hanavo: cannot launch \"x\": the launch failed (0)");
}

// What another process gets, taking the lock twice; with `hold`, it keeps the lock until
// hold[1] is closed.
InstanceLock InChild(const int* hold)
{
    int report[2];
    if (pipe(report) != 0)
        return InstanceLock(9);
    if (fork() == 0) {
        char got = static_cast<char>(platform::AcquireInstanceLock());
        if (static_cast<char>(platform::AcquireInstanceLock()) != got)
            got = 9; // taken twice in one process: still its own
        char end;
        if (hold)
            close(hold[1]);
        _exit(write(report[1], &got, 1) == 1 && hold && read(hold[0], &end, 1));
    }
    close(report[1]);
    char got = 9;
    const bool reported = read(report[0], &got, 1) == 1;
    close(report[0]);
    return static_cast<InstanceLock>(reported ? got : 9);
}

// One holder at a time, in the runtime folder when it can be used, else beside the settings
// file, and none when neither can be had.
TEST(InstanceLock, OneHolderAtATimeInTheFirstUsablePlace)
{
    const struct
    {
        const char* runtime; // relative to the test's folder; nullptr: unset, '!': as it is
        const char* config;
        const char* lockFile; // where the lock is taken; nullptr: nowhere
    } places[] = {
        {"runtime", "config", "runtime/Hanavo.lock"},
        {nullptr, "config", "config/Quillmere/Hanavo.lock"},
        {"!relative", "config", "config/Quillmere/Hanavo.lock"},
        {"file", "config", "config/Quillmere/Hanavo.lock"},
        {"shared", "config", "config/Quillmere/Hanavo.lock"}, // others can write there
        {"file", "file/config", nullptr},
    };
    for (const auto& p : places) {
        SCOPED_TRACE(p.runtime ? p.runtime : "unset");
        TempDir dir;
        mkdir((dir / "runtime").c_str(), 0700);
        mkdir((dir / "shared").c_str(), 0777);
        chmod((dir / "shared").c_str(), 01777);
        dir.Write("file", "");
        if (!p.runtime)
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR",
                   p.runtime[0] == '!' ? p.runtime + 1 : (dir / p.runtime).c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / p.config).c_str(), 1);
        setenv("HOME", (dir / "file").c_str(), 1);

        int hold[2];
        ASSERT_EQ(pipe(hold), 0);
        const InstanceLock holder = InChild(hold), other = InChild(nullptr);
        close(hold[1]);
        close(hold[0]);
        while (wait(nullptr) > 0) {
        }
        if (p.lockFile) {
            EXPECT_EQ(holder, InstanceLock::Acquired);
            EXPECT_EQ(other, InstanceLock::HeldElsewhere);
            EXPECT_TRUE(fs::is_regular_file(dir / p.lockFile));
            EXPECT_EQ(InChild(nullptr), InstanceLock::Acquired) << "the holder has ended";
            wait(nullptr);
        } else {
            EXPECT_EQ(holder, InstanceLock::Unavailable);
            EXPECT_EQ(other, InstanceLock::Unavailable);
        }
    }
}

} // namespace
