// The settings store on QSettings in a temporary XDG_CONFIG_HOME.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>

#include "platform/qt/QtProfileStore.h"

namespace {

// Points XDG_CONFIG_HOME at a folder of the test's own for its lifetime.
class ConfigHome : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_saved = qgetenv("XDG_CONFIG_HOME");
        m_hadSaved = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    }
    void TearDown() override
    {
        if (m_hadSaved)
            qputenv("XDG_CONFIG_HOME", m_saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    QString ConfigFile() const { return m_dir.filePath("Quillmere/Hanavo.conf"); }
    void WriteConfig(const QByteArray& text)
    {
        QDir().mkpath(m_dir.filePath("Quillmere"));
        QFile f(ConfigFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray ReadConfig() const
    {
        QFile f(ConfigFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QByteArray m_saved;
    bool m_hadSaved = false;
};

} // namespace

TEST_F(ConfigHome, ValuesRoundTripInTheDocumentedFile)
{
    platform::QtProfileStore store;
    store.SetRegistryKey("Quillmere");
    EXPECT_EQ(store.FilePath(), ConfigFile());
    EXPECT_EQ(store.GetString("Settings", "Command", "def"), "def");
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 60);

    const std::string nonUtf8 = "/srv/caf\xe9";
    struct
    {
        const char* entry;
        std::string value;
    } strings[] = {
        {"Command", "/usr/bin/notify-send"},
        {"Options", "\"a b\" 'c' 起動します, 2"},
        {"TopDir", nonUtf8},
        {"Empty", ""},
        {"Markup", "@Invalid() [x] ; # = \\"},
    };
    for (const auto& s : strings)
        EXPECT_TRUE(store.WriteString("Settings", s.entry, s.value)) << s.entry;
    for (int v : {0, -5, INT_MIN, INT_MAX, 300})
        EXPECT_TRUE(store.WriteInt("Settings", "Int" + std::to_string(v), v));

    platform::QtProfileStore again;
    again.SetRegistryKey("Quillmere");
    for (const auto& s : strings)
        EXPECT_EQ(again.GetString("Settings", s.entry, "default"), s.value) << s.entry;
    for (int v : {0, -5, INT_MIN, INT_MAX, 300})
        EXPECT_EQ(again.GetInt("Settings", "Int" + std::to_string(v), 7), v);

    QByteArray file = ReadConfig();
    EXPECT_TRUE(file.contains("[Settings]"));
    EXPECT_TRUE(file.contains("Command=/usr/bin/notify-send"));
    // An empty string is an empty value, not a missing one.
    EXPECT_TRUE(file.contains("\nEmpty=\n"));
}

TEST_F(ConfigHome, IntegersThatAreNotWhole32BitNumbersGiveTheDefault)
{
    WriteConfig("[Settings]\n"
                "Text=abc\nHuge=99999999999\nEmpty=\nSpaced=1 2\nFraction=1.5\n"
                "Hex=0x10\nList=1,2\nPlus=+42\nMinus=-7\nMax=2147483647\nOver=2147483648\n");
    platform::QtProfileStore store;
    store.SetRegistryKey("Quillmere");
    for (const char* bad :
         {"Text", "Huge", "Empty", "Spaced", "Fraction", "Hex", "List", "Over", "Missing"})
        EXPECT_EQ(store.GetInt("Settings", bad, 60), 60) << bad;
    EXPECT_EQ(store.GetInt("Settings", "Plus", 0), 42);
    EXPECT_EQ(store.GetInt("Settings", "Minus", 0), -7);
    EXPECT_EQ(store.GetInt("Settings", "Max", 0), INT_MAX);
}

TEST_F(ConfigHome, AnUnusableConfigFolderFailsWritesWithoutHarm)
{
    // A file where the folder should be: no user, root included, can create folders in it.
    QString blocker = m_dir.filePath("blocked");
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker));
    platform::QtProfileStore store;
    store.SetRegistryKey("Quillmere");
    EXPECT_FALSE(store.WriteString("Settings", "Command", "x"));
    EXPECT_FALSE(store.WriteInt("Settings", "Seconds", 30));
    EXPECT_EQ(store.GetString("Settings", "Command", "def"), "def");
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 60);

    // The next write to a usable place succeeds: a failure does not stick.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    EXPECT_TRUE(store.WriteInt("Settings", "Seconds", 30));
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 30);
}

TEST_F(ConfigHome, NothingIsReadOrWrittenBeforeTheCompanyKeyIsSet)
{
    platform::QtProfileStore store;
    EXPECT_FALSE(store.WriteString("Settings", "Command", "x"));
    EXPECT_EQ(store.GetString("Settings", "Command", "def"), "def");
    EXPECT_FALSE(QFile::exists(ConfigFile()));
}
