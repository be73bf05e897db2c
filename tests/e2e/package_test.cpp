// The Debian package as a user installs it: unpacked into a scratch root, its files checked
// with the desktop's own validators, and the installed program run in automatic mode.
// Runs when HANAVO_DEB names the package to test (make test builds it first).
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

#include "Harness.h"

namespace e2e {
namespace {

const std::string kAppId = "io.github.quillmere.Hanavo";

std::string PackagePath()
{
    const char* path = std::getenv("HANAVO_DEB");
    return path ? path : "";
}

Output Tool(std::vector<std::string> argv)
{
    Command command;
    command.argv = std::move(argv);
    command.env = {"PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin"),
                   "LANG=C.UTF-8"};
    return Run(command, 60s);
}

// The value of a "Key=" line of a desktop entry's main group.
std::string DesktopKey(const std::string& text, const std::string& key)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return {};
}

// A "Field: value" of the package's control file.
std::string ControlField(const std::string& deb, const std::string& field)
{
    auto out = Tool({"dpkg-deb", "-f", deb, field});
    std::string value = out.out;
    while (!value.empty() && value.back() == '\n')
        value.pop_back();
    return value;
}

class Package : public testing::Test
{
protected:
    void SetUp() override
    {
        m_deb = PackagePath();
        if (m_deb.empty())
            GTEST_SKIP() << "HANAVO_DEB is not set: no package to test";
        ASSERT_TRUE(Exists(m_deb)) << m_deb;
        auto unpacked = Tool({"dpkg-deb", "-x", m_deb, m_root.Path()});
        ASSERT_TRUE(unpacked.status && unpacked.status->Ok()) << unpacked.err;
    }

    std::string Installed(const std::string& path) const { return m_root.Path() + "/usr/" + path; }

    std::string m_deb;
    TempDir m_root{"hanavo-package"};
};

TEST_F(Package, ControlDataNamesThePackageAndItsDependencies)
{
    EXPECT_EQ(ControlField(m_deb, "Package"), "hanavo");
    EXPECT_EQ(ControlField(m_deb, "Section"), "utils");
    EXPECT_NE(ControlField(m_deb, "Maintainer").find('@'), std::string::npos);
    EXPECT_FALSE(ControlField(m_deb, "Version").empty());
    EXPECT_FALSE(ControlField(m_deb, "Description").empty());
    const std::string depends = ControlField(m_deb, "Depends");
    for (const char* needed :
         {"fonts-ipafont-gothic", "fonts-liberation", "libqt6widgets6", "libqt6gui6", "libc6"})
        EXPECT_NE(depends.find(needed), std::string::npos) << needed << " in: " << depends;

    // Every dependency is one this Debian release has: each is installed here, where the
    // program was built and runs.
    std::istringstream list(depends);
    std::string entry;
    while (std::getline(list, entry, ',')) {
        std::istringstream words(entry);
        std::string name;
        words >> name;
        auto known = Tool({"dpkg-query", "-W", "-f=${Version}", name});
        EXPECT_TRUE(known.status && known.status->Ok() && !known.out.empty())
            << name << " is not a package of this system";
    }
}

TEST_F(Package, InstallsTheDesktopFilesAndTheyValidate)
{
    const std::string binary = Installed("bin/hanavo");
    struct stat status;
    ASSERT_EQ(stat(binary.c_str(), &status), 0) << binary;
    EXPECT_TRUE(status.st_mode & S_IXOTH);

    const std::string entry = Installed("share/applications/" + kAppId + ".desktop");
    const std::string autostart = Installed("share/doc/hanavo/examples/hanavo-autostart.desktop");
    for (const auto& file : {entry, autostart}) {
        ASSERT_TRUE(Exists(file)) << file;
        auto valid = Tool({"desktop-file-validate", file});
        ASSERT_TRUE(valid.status);
        EXPECT_TRUE(valid.status->Ok()) << file << ":\n" << valid.out << valid.err;
    }
    const std::string text = ReadFile(entry);
    EXPECT_EQ(DesktopKey(text, "Exec"), "hanavo");
    EXPECT_EQ(DesktopKey(text, "Icon"), kAppId);
    EXPECT_EQ(DesktopKey(text, "Terminal"), "false");
    EXPECT_EQ(DesktopKey(text, "Categories"), "Utility;");
    EXPECT_FALSE(DesktopKey(text, "Name[ja]").empty());
    EXPECT_FALSE(DesktopKey(text, "Comment[ja]").empty());
    EXPECT_EQ(DesktopKey(ReadFile(autostart), "Exec"), "hanavo -a");

    const std::string metainfo = Installed("share/metainfo/" + kAppId + ".metainfo.xml");
    ASSERT_TRUE(Exists(metainfo));
    auto valid = Tool({"appstreamcli", "validate", "--no-net", metainfo});
    ASSERT_TRUE(valid.status);
    EXPECT_TRUE(valid.status->Ok()) << valid.out << valid.err;
    EXPECT_NE(ReadFile(metainfo).find("<launchable type=\"desktop-id\">" + kAppId + ".desktop<"),
              std::string::npos);

    // The icon the entry names, in the hicolor theme at every size the toolkit asks for.
    EXPECT_TRUE(Exists(Installed("share/icons/hicolor/scalable/apps/" + kAppId + ".svg")));
    for (const char* size : {"16x16", "32x32", "48x48"}) {
        const std::string png =
            Installed(std::string("share/icons/hicolor/") + size + "/apps/" + kAppId + ".png");
        ASSERT_TRUE(Exists(png)) << png;
        auto info = Tool({"file", "-b", png});
        std::string dimensions = size;
        dimensions.replace(dimensions.find('x'), 1, " x ");
        EXPECT_NE(info.out.find("PNG image data, " + dimensions), std::string::npos) << info.out;
    }
    EXPECT_NE(ReadFile(Installed("share/doc/hanavo/help/index.html")).find("<html"),
              std::string::npos);
    EXPECT_TRUE(Exists(Installed("share/doc/hanavo/copyright")));
}

// The installed program does its job: automatic mode launches the launch folder's file.
TEST_F(Package, InstalledProgramLaunchesInAutomaticMode)
{
    Sandbox sandbox;
    const std::string folder = sandbox.Path("launch");
    sandbox.WriteLogger(folder + "/01e_hello.sh", "hello");
    sandbox.WriteSettings({{"Seconds", "1"}, {"TopDir", folder}});
    auto hanavo = StartHanavo(sandbox, {"-a"}, Screen::Offscreen, nullptr, Installed("bin/hanavo"));
    auto status = hanavo->Wait(kExitTimeout);
    ASSERT_TRUE(status) << "the installed program did not end";
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
    ASSERT_TRUE(sandbox.WaitForLogLines(1)) << "nothing was launched";
    EXPECT_EQ(InStartOrder(sandbox.Log()), std::vector<std::string>{"hello @" + RealPath(folder)});
}

} // namespace
} // namespace e2e
