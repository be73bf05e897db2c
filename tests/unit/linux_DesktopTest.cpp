// What Hanavo leaves in the user's Linux session: files in the trash, the autostart entry, the
// single-instance lock, and a line on standard error for every launch.
#include "dialogs/CSettingDialog.h"
#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"
#include "res/resource.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
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
        {"/", "hanavo-autostart.desktop", "", true},
        {"/", "other.desktop", "", false},
        {"relative", "hanavo-autostart.desktop", "", true},
        {nullptr, "hanavo-autostart.desktop", "", true}};
    for (const auto& [config, name, extra, ticked] : cases) {
        const std::string folder = config && config[0] == '/' ? "xdg" : ".config";
        fs::remove_all(dir / "xdg");
        fs::remove_all(dir / ".config");
        if (config)
            setenv("XDG_CONFIG_HOME", config[0] == '/' ? (dir / folder).c_str() : config, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        if (name)
            dir.Write(folder + "/autostart/" + name,
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
            if (m.GetCheck(IDC_LOGIN_START) != (tick ? 1 : 0))
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

    EXPECT_NE(ReadFile(autostart + "/io.github.quillmere.Hanavo.desktop")
                  .find("\nExec=" + fs::read_symlink("/proc/self/exe").string() + " -a\n"),
              std::string::npos);
    EXPECT_TRUE(host.Messages().empty());

    // A folder that cannot be made: the box stays as the desktop has it, and the user is told.
    fs::remove_all(autostart);
    dir.Write("xdg-config/autostart", "a file, not a folder");
    EXPECT_EQ(run(true, platform::IdOk), platform::IdOk);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "自動起動の設定を変更できませんでした。");
    EXPECT_FALSE(platform::LoginStartEnabled());
}

// Quoted for the Exec line, then escaped for the string value; what an entry cannot carry is
// refused.
TEST(DesktopExec, QuotesWhatThePathNeedsAndRefusesWhatItCannotCarry)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/hanavo-1.0_x+", "/usr/bin/hanavo-1.0_x+"},
        {"/opt/my apps/日本", "\"/opt/my apps/日本\""},
        {"/a\"b`c$d\\e%f'g;h", R"("/a\\"b\\`c\\$d\\\\e%%f'g;h")"},
        {"/a\nb", ""},
        {"/a\x7f", ""},
        {"/\xff/hanavo", ""}};
    for (const auto& [path, argument] : cases)
        EXPECT_EQ(platform::DesktopExecArgument(path), argument) << path;
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
    EXPECT_EQ(platform::LaunchReport("x", 33), "hanavo: launched \"x\""); // the least success
    EXPECT_EQ(platform::LaunchReport("x", 0), "hanavo: cannot launch \"x\": the launch failed (0)");
}

// What another process gets; taking it twice in one process, it is still its own.
InstanceLock InAnotherProcess()
{
    const pid_t child = fork();
    if (child == 0) {
        const InstanceLock first = platform::AcquireInstanceLock();
        _exit(platform::AcquireInstanceLock() == first ? static_cast<int>(first) : 9);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<InstanceLock>(WEXITSTATUS(status));
}

// In the runtime folder when it can be used, else beside the settings file, and none when
// neither can be had; one holder at a time.
TEST(InstanceLock, OneHolderAtATimeInTheFirstUsablePlace)
{
    const std::tuple<const char*, const char*, const char*> places[] = {
        // $XDG_RUNTIME_DIR in the test's folder ("!": as it is, nullptr: unset), $XDG_CONFIG_HOME,
        // where the lock is taken (nullptr: nowhere).
        {"runtime", "config", "runtime/Hanavo.lock"},
        {nullptr, "config", "config/Quillmere/Hanavo.lock"},
        {"!relative", "config", "config/Quillmere/Hanavo.lock"},
        {"file", "config", "config/Quillmere/Hanavo.lock"},
        {"shared", "config", "config/Quillmere/Hanavo.lock"}, // others can write there
        {"file", "file/config", nullptr}};
    for (const auto& [runtime, config, lockFile] : places) {
        SCOPED_TRACE(runtime ? runtime : "unset");
        TempDir dir;
        mkdir((dir / "runtime").c_str(), 0700);
        mkdir((dir / "shared").c_str(), 0777);
        chmod((dir / "shared").c_str(), 01777);
        dir.Write("file", "");
        if (!runtime)
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", runtime[0] == '!' ? runtime + 1 : (dir / runtime).c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / config).c_str(), 1);
        setenv("HOME", (dir / "file").c_str(), 1);
        if (!lockFile) {
            EXPECT_EQ(InAnotherProcess(), InstanceLock::Unavailable);
            continue;
        }
        EXPECT_EQ(InAnotherProcess(), InstanceLock::Acquired);
        const int held = open((dir / lockFile).c_str(), O_RDWR);
        ASSERT_EQ(flock(held, LOCK_EX), 0) << "no lock file where it was taken";
        EXPECT_EQ(InAnotherProcess(), InstanceLock::HeldElsewhere);
        close(held);
        EXPECT_EQ(InAnotherProcess(), InstanceLock::Acquired);
    }
}

} // namespace
