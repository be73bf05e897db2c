// The settings store on QSettings in a temporary XDG_CONFIG_HOME.
#include <climits>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "platform/qt/QtProfileStore.h"
#include "support/TempDir.h"

namespace {

platform::QtProfileStore Store()
{
    platform::QtProfileStore store;
    store.SetRegistryKey("Quillmere");
    return store;
}

} // namespace

TEST(QtProfileStore, ValuesRoundTripInTheDocumentedFileAndBadIntegersGiveTheDefault)
{
    testing_support::TempDir dir;
    guitest::ScopedEnv home("XDG_CONFIG_HOME", dir.Path().c_str());
    const std::string file = dir / "Quillmere/Hanavo.conf";
    platform::QtProfileStore store = Store();
    EXPECT_EQ(store.FilePath().toStdString(), file);
    EXPECT_EQ(store.GetString("Settings", "Command", "def"), "def");
    const std::pair<const char*, std::string> strings[] = {
        {"Command", "/usr/bin/notify-send"},
        {"Options", "\"a b\" 'c' 起動します, 2"},
        {"TopDir", "/srv/caf\xe9"}, // not UTF-8
        {"Empty", ""},
        {"Markup", "@Invalid() [x] ; # = \\"},
    };
    for (const auto& [entry, value] : strings)
        EXPECT_TRUE(store.WriteString("Settings", entry, value)) << entry;
    for (int v : {0, -5, INT_MIN, INT_MAX})
        EXPECT_TRUE(store.WriteInt("Settings", "Int" + std::to_string(v), v));

    platform::QtProfileStore again = Store();
    for (const auto& [entry, value] : strings)
        EXPECT_EQ(again.GetString("Settings", entry, "default"), value) << entry;
    for (int v : {0, -5, INT_MIN, INT_MAX})
        EXPECT_EQ(again.GetInt("Settings", "Int" + std::to_string(v), 7), v);
    std::string text = testing_support::ReadFile(file);
    EXPECT_NE(text.find("[Settings]\nCommand=/usr/bin/notify-send\n"), std::string::npos);
    // An empty string is an empty value, not a missing one.
    EXPECT_NE(text.find("\nEmpty=\n"), std::string::npos);

    // Integers edited by hand that are not whole 32-bit numbers read as the default.
    dir.Write("Quillmere/Hanavo.conf",
              "[Settings]\n"
              "Text=abc\nHuge=99999999999\nEmpty=\nSpaced=1 2\nFraction=1.5\n"
              "Hex=0x10\nList=1,2\nPlus=+42\nMinus=-7\nMax=2147483647\nOver=2147483648\n");
    platform::QtProfileStore edited = Store();
    for (const char* bad :
         {"Text", "Huge", "Empty", "Spaced", "Fraction", "Hex", "List", "Over", "Missing"})
        EXPECT_EQ(edited.GetInt("Settings", bad, 60), 60) << bad;
    EXPECT_EQ(edited.GetInt("Settings", "Plus", 0), 42);
    EXPECT_EQ(edited.GetInt("Settings", "Minus", 0), -7);
    EXPECT_EQ(edited.GetInt("Settings", "Max", 0), INT_MAX);
}
