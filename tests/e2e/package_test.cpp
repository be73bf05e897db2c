// The Debian package as a user installs it: unpacked into a scratch root, its files checked
// with the desktop's own validators, and the installed program run in automatic mode.
// Runs when HANAVO_DEB names the package to test (make test builds it first).
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

#include "Harness.h"

namespace e2e {
namespace {

const std::string kAppId = "io.github.quillmere.Hanavo";

// The value of a "Key=" line of a desktop entry.
std::string DesktopKey(const std::string& text, const std::string& key)
{
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key + "="))
            return line.substr(key.size() + 1);
    return {};
}

class Package : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("HANAVO_DEB"))
            GTEST_SKIP() << "HANAVO_DEB is not set: no package to test";
        ASSERT_EQ(s.Run({"dpkg-deb", "-x", m_deb, s.Path("root")}).code, 0) << m_deb;
    }

    std::string Installed(const std::string& path) const { return s.Path("root/usr/" + path); }
    // Exit code 0 and a message otherwise.
    testing::AssertionResult Valid(std::vector<std::string> validator) const
    {
        const auto out = s.Run(std::move(validator));
        return out.code == 0 ? testing::AssertionSuccess()
                             : testing::AssertionFailure() << out.out << out.err;
    }

    std::string m_deb = std::getenv("HANAVO_DEB") ? std::getenv("HANAVO_DEB") : "";
    Sandbox s;
};

TEST_F(Package, DependsOnlyOnPackagesOfThisRelease)
{
    std::string depends = s.Run({"dpkg-deb", "-f", m_deb, "Depends"}).out;
    for (const char* needed : {"fonts-ipafont-gothic", "libqt6widgets6", "libc6"})
        EXPECT_NE(depends.find(needed), std::string::npos) << needed << " in: " << depends;
    // Each is installed here, where the program was built and runs.
    std::istringstream list(depends);
    for (std::string entry, name; std::getline(list, entry, ',');) {
        std::istringstream(entry) >> name;
        EXPECT_TRUE(Valid({"dpkg-query", "-W", name})) << name;
    }
}

TEST_F(Package, InstallsTheDesktopFilesAndTheyValidate)
{
    const std::string entry = Installed("share/applications/" + kAppId + ".desktop");
    const std::string autostart = Installed("share/doc/hanavo/examples/hanavo-autostart.desktop");
    const std::string metainfo = Installed("share/metainfo/" + kAppId + ".metainfo.xml");
    EXPECT_TRUE(Valid({"desktop-file-validate", entry}));
    EXPECT_TRUE(Valid({"desktop-file-validate", autostart}));
    EXPECT_TRUE(Valid({"appstreamcli", "validate", "--no-net", metainfo}));
    EXPECT_EQ(DesktopKey(ReadFile(entry), "Exec"), "hanavo");
    EXPECT_EQ(DesktopKey(ReadFile(entry), "Icon"), kAppId);
    EXPECT_EQ(DesktopKey(ReadFile(autostart), "Exec"), "hanavo -a");
    EXPECT_NE(ReadFile(metainfo).find(">" + kAppId + ".desktop</launchable>"), std::string::npos);

    // The icon the entry names, in the hicolor theme at every size the toolkit asks for.
    EXPECT_TRUE(Exists(Installed("share/icons/hicolor/scalable/apps/" + kAppId + ".svg")));
    for (std::string size : {"16", "32", "48"}) {
        const auto png =
            Installed("share/icons/hicolor/" + size + "x" + size + "/apps/" + kAppId + ".png");
        EXPECT_NE(s.Run({"file", "-b", png}).out.find("PNG image data, " + size + " x " + size),
                  std::string::npos)
            << png;
    }
    EXPECT_NE(ReadFile(Installed("share/doc/hanavo/help/index.html")).find("<html"),
              std::string::npos);
    EXPECT_TRUE(Exists(Installed("share/doc/hanavo/copyright")));
}

// The installed program does its job: automatic mode launches the launch folder's files, the
// desktop entry through the module the program loads for it.
TEST_F(Package, InstalledProgramLaunchesInAutomaticMode)
{
    const std::string folder = s.Path("launch");
    s.WriteLogger(folder + "/01e_hello.sh", "hello");
    WriteFile(folder + "/02e_entry.desktop",
              "[Desktop Entry]\nType=Application\nName=Entry\nExec=" +
                  s.WriteLogger(s.Path("entry.sh"), "entry") + "\n");
    s.WriteSettings({{"Seconds", "1"}, {"TopDir", folder}});
    EXPECT_EQ(s.Hanavo({"-a"}, "offscreen", Installed("bin/hanavo"))->Wait(kTimeout), 0)
        << s.Stderr();
    const std::vector<std::string> launched = s.Launched(2);
    ASSERT_EQ(launched.size(), 2u) << s.Stderr();
    EXPECT_EQ(launched[0], "hello @" + std::filesystem::canonical(folder).string());
    EXPECT_TRUE(launched[1].starts_with("entry")) << launched[1];
}

} // namespace
} // namespace e2e
