// The Windows services behind platform/Os.h and the registry store, on real folders, real
// processes and the registry of the test's own Wine prefix.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Os.h"
#include "platform/win32/os/InstanceLock.h"
#include "platform/win32/os/LoginStart.h"
#include "platform/win32/os/RegistryProfileStore.h"
#include "platform/win32/os/WideText.h"
#include "support/TempDir.h"
#include "win32/Shortcut.h"

#include <windows.h>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::wstring Wide(const std::string& text)
{
    std::wstring wide;
    EXPECT_TRUE(platform::win32::ToWide(text, wide)) << text;
    return wide;
}

fs::path PathOf(const std::string& utf8)
{
    return fs::path(Wide(utf8));
}

// Names outside the Japanese code page: they came back as '?' through the ANSI functions.
const char kKorean[] = "02e_한국어.sh";
const char kEmoji[] = "03e_🎉 party.sh";
const char kAccented[] = "01e_Café Ørsted.sh";

TEST(Win32Listing, SkipsFoldersHiddenAndSystemFilesAndKeepsTheLaunchOrder)
{
    TempDir dir;
    for (const std::string name : {"b.bat", "A.bat", "a_b.bat", "ab.bat", "desktop.ini",
                                   "Thumbs.db", "hidden.bat", "ro.bat", kKorean, "Zz.bat"})
        dir.Write(name, "x");
    dir.MakeDir("00e_folder");
    SetFileAttributesW(PathOf(dir / "desktop.ini").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW(PathOf(dir / "Thumbs.db").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW(PathOf(dir / "hidden.bat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(PathOf(dir / "ro.bat").c_str(), FILE_ATTRIBUTE_READONLY);

    std::vector<std::string> names;
    ASSERT_TRUE(platform::ListFolderFiles(dir.Path(), 100, names));
    // Letters fold to upper case ('_' sorts after 'B'); the UTF-8 bytes of Korean sort last.
    EXPECT_EQ(names, (std::vector<std::string>{"02e_한국어.sh", "A.bat", "ab.bat", "a_b.bat",
                                               "b.bat", "ro.bat", "Zz.bat"}));
    ASSERT_TRUE(platform::ListFolderFiles(dir.Path() + "\\", 2, names)) << "trailing separator";
    EXPECT_EQ(names, (std::vector<std::string>{"02e_한국어.sh", "A.bat"}));

    EXPECT_FALSE(platform::ListFolderFiles(dir / "missing", 100, names));
    EXPECT_FALSE(platform::ListFolderFiles(dir / "b.bat", 100, names)) << "a file";
    EXPECT_FALSE(platform::ListFolderFiles("", 100, names));
    EXPECT_TRUE(names.empty());
}

TEST(Win32Rename, NeverReplacesAndHandlesNamesOutsideTheJapaneseCodePage)
{
    TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("b.txt", "b");
    EXPECT_FALSE(platform::RenameNoReplace(dir / "a.txt", dir / "b.txt"));
    EXPECT_EQ(ReadFile(dir / "a.txt"), "a");
    EXPECT_EQ(ReadFile(dir / "b.txt"), "b");

    EXPECT_TRUE(platform::RenameNoReplace(dir / "a.txt", dir / kEmoji));
    EXPECT_EQ(ReadFile(dir / kEmoji), "a");
    EXPECT_TRUE(platform::RenameNoReplace(dir / kEmoji, dir.Path() + "\\" + kAccented))
        << "either separator";
    EXPECT_TRUE(platform::RenameNoReplace(dir / kAccented, dir / kAccented)) << "same name";
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{kAccented, "b.txt"}));
    EXPECT_FALSE(platform::RenameNoReplace(dir / "gone.txt", dir / "c.txt"));
    EXPECT_TRUE(platform::IsPathSeparator('\\'));
    EXPECT_TRUE(platform::IsPathSeparator('/'));
    EXPECT_FALSE(platform::IsPathSeparator(':'));
}

TEST(Win32ShellOpen, LaunchesInTheGivenFolderAndGivesWindowsErrorCodes)
{
    TempDir dir;
    UseEmptyDesktop(dir);
    const std::string log = dir / "log";
    const std::string folder = dir.MakeDir("launch");
    const std::string elsewhere = dir.MakeDir("elsewhere");
    CwdGuard cwd;
    fs::current_path(PathOf(elsewhere));

    int run = 0;
    for (const char* name : {kAccented, kKorean, kEmoji}) {
        dir.WriteLogger(std::string("launch\\") + name, "n" + std::to_string(run++), log);
        dir.WriteLogger(std::string("elsewhere\\") + name, "wrong", log);
        // Found in the folder it starts in, not in the current one.
        EXPECT_GT(platform::ShellOpen(nullptr, name, nullptr, &folder), 32) << name;
    }
    // Parameters reach the program as one command line, which it splits by Windows' rules.
    const std::string params = R"(one "two words" "")";
    EXPECT_GT(platform::ShellOpen("open", kKorean, &params, &folder), 32);
    const auto lines = InStartOrder(WaitForLines(log, 4));
    const std::string at = " @" + dir.Path() + "\\launch";
    EXPECT_EQ(lines, (std::vector<std::string>{"n0" + at, "n1" + at, "n2" + at,
                                               "n1 [one] [two words] []" + at}));

    EXPECT_EQ(platform::ShellOpen(nullptr, "missing.bat", nullptr, &folder),
              platform::kFileNotFound);
    // Windows gives 3 for a missing folder in the path; Wine gives 2.
    const int missingPath =
        platform::ShellOpen(nullptr, dir / "no\\such\\tool.exe", nullptr, &folder);
    EXPECT_TRUE(missingPath == platform::kPathNotFound || missingPath == platform::kFileNotFound)
        << missingPath;
    dir.Write("launch/data.zzqx", "?");
    EXPECT_EQ(platform::ShellOpen(nullptr, "data.zzqx", nullptr, &folder),
              platform::kNoAssociation);
}

TEST(Win32Trash, MovesTheFileAwayAndFailsForAMissingOne)
{
    TempDir dir;
    const std::string file = dir.Write("01e_Ærø.txt", "keep me");
    ASSERT_TRUE(platform::MoveToTrash(file));
    EXPECT_FALSE(fs::exists(PathOf(file)));
    // Under Wine the recycle bin is the desktop's trash, in the test's own home.
    if (const char* data = std::getenv("XDG_DATA_HOME")) {
        EXPECT_EQ(ReadFile(std::string("Z:") + data + "/Trash/files/01e_Ærø.txt"), "keep me");
    }
    EXPECT_FALSE(platform::MoveToTrash(file));
    EXPECT_FALSE(platform::MoveToTrash(""));
}

// Run alone, with Wine told that Z: (the Unix root) is a network drive: no recycle bin, so the
// shell would delete the file for good.
TEST(Win32RemoteDrive, TrashRefusesADriveWithoutRecycleBin)
{
    ASSERT_EQ(GetDriveTypeW(L"Z:\\"), static_cast<UINT>(DRIVE_REMOTE)) << "run by win.unit.remote";
    // A folder of the test's own, as wine-run sets it.
    const char* tmp = std::getenv("XDG_DATA_HOME");
    ASSERT_NE(tmp, nullptr);
    std::string file = std::string("Z:") + tmp + "/keep.txt";
    for (char& c : file)
        if (c == '/')
            c = '\\';
    {
        std::ofstream(PathOf(file)) << "mine";
    }
    EXPECT_FALSE(platform::MoveToTrash(file));
    EXPECT_EQ(ReadFile(file), "mine");
}

TEST(Win32InstanceLock, AnotherHolderMeansEndAtOnce)
{
    // Another copy's mutex, as the installer also finds it.
    HANDLE other = CreateMutexW(nullptr, FALSE, platform::win32::kInstanceMutexName);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(platform::AcquireInstanceLock(), platform::InstanceLock::HeldElsewhere);
    CloseHandle(other);
    EXPECT_EQ(platform::AcquireInstanceLock(), platform::InstanceLock::Acquired);
    EXPECT_EQ(platform::AcquireInstanceLock(), platform::InstanceLock::Acquired) << "kept";
    // A second holder now sees the name taken.
    HANDLE late = CreateMutexW(nullptr, FALSE, platform::win32::kInstanceMutexName);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(late);
}

TEST(Win32LoginStart, OneShortcutInTheStartupFolderMadeAndRemoved)
{
    const std::wstring path = platform::win32::LoginShortcutPath(true);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.substr(path.size() - 11), L"\\Hanavo.lnk");
    EXPECT_FALSE(platform::LoginStartEnabled());
    EXPECT_TRUE(platform::SetLoginStart(false)) << "nothing to remove is no failure";

    ASSERT_TRUE(platform::SetLoginStart(true));
    EXPECT_TRUE(platform::LoginStartEnabled());
    wchar_t program[MAX_PATH * 2];
    const std::wstring self(program, GetModuleFileNameW(nullptr, program, MAX_PATH * 2));
    Shortcut made;
    ASSERT_TRUE(ReadShortcut(path, made));
    EXPECT_EQ(made.target, self);
    EXPECT_EQ(made.arguments, L"/a");
    EXPECT_EQ(made.folder, self.substr(0, self.find_last_of(L'\\')));
    ASSERT_TRUE(platform::SetLoginStart(true)) << "making it again replaces it";
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    EXPECT_TRUE(platform::SetLoginStart(false));
    EXPECT_FALSE(platform::LoginStartEnabled());
    EXPECT_FALSE(fs::exists(path));

    // Something else by that name that cannot be replaced or deleted: both report failure.
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    EXPECT_FALSE(platform::LoginStartEnabled());
    EXPECT_FALSE(platform::SetLoginStart(true));
    EXPECT_FALSE(platform::SetLoginStart(false));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "no partial shortcut left behind";
    RemoveDirectoryW(path.c_str());
}

// Raw registry access, as another program or an older version may have left the values.
void SetRaw(const std::wstring& key, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(handle);
}

DWORD RawType(const std::wstring& key, const wchar_t* name)
{
    DWORD type = REG_NONE;
    RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                 nullptr);
    return type;
}

TEST(Win32Registry, RoundTripInTheFrameworkTypesAndWrongTypesReadAsTheDefault)
{
    platform::win32::RegistryProfileStore store;
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 60) << "before the company is set";
    EXPECT_FALSE(store.WriteInt("Settings", "Seconds", 30));
    store.SetRegistryKey("Quillmere");
    const std::wstring key = store.SectionKey("Settings");
    EXPECT_EQ(key, L"Software\\Quillmere\\Hanavo\\Settings");

    EXPECT_TRUE(store.WriteValues("Settings", {{"Seconds", 45},
                                               {"Foreground", 0},
                                               {"Command", std::string("C:\\한 🎉\\x.exe")},
                                               {"Options", std::string("")},
                                               {"TopDir", std::string("C:\\Ørsted")}}));
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 45);
    EXPECT_EQ(store.GetInt("Settings", "Foreground", 1), 0);
    EXPECT_EQ(store.GetString("Settings", "Command", ""), "C:\\한 🎉\\x.exe");
    EXPECT_EQ(store.GetString("Settings", "Options", "def"), "") << "stored empty";
    EXPECT_EQ(store.GetString("Settings", "TopDir", ""), "C:\\Ørsted");
    EXPECT_EQ(RawType(key, L"Seconds"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RawType(key, L"Command"), static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(store.WriteInt("Settings", "Seconds", -1));
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), -1) << "a DWORD is all 32 bits";

    SetEnvironmentVariableW(L"HANAVO_TEST_DIR", L"D:\\Tools");
    const wchar_t expand[] = L"%HANAVO_TEST_DIR%\\run.bat";
    SetRaw(key, L"Command", REG_EXPAND_SZ, expand, sizeof expand);
    EXPECT_EQ(store.GetString("Settings", "Command", "def"), "D:\\Tools\\run.bat");
    const wchar_t unterminated[] = {L'a', L'b'};
    SetRaw(key, L"Options", REG_SZ, unterminated, sizeof unterminated);
    EXPECT_EQ(store.GetString("Settings", "Options", "def"), "ab");

    const DWORD number = 30;
    const wchar_t text[] = L"30";
    const WORD shortNumber = 30;
    SetRaw(key, L"Seconds", REG_SZ, text, sizeof text);
    SetRaw(key, L"Foreground", REG_BINARY, &number, sizeof number);
    SetRaw(key, L"TopDir", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 60) << "a text is no number";
    EXPECT_EQ(store.GetInt("Settings", "Foreground", 1), 1) << "binary";
    EXPECT_EQ(store.GetString("Settings", "TopDir", "def"), "def") << "a number is no text";
    SetRaw(key, L"Seconds", REG_DWORD, &shortNumber, sizeof shortNumber);
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 60) << "two bytes";
    EXPECT_EQ(store.GetInt("Settings", "Missing", 7), 7);
    EXPECT_EQ(store.GetString("Other", "Command", "none"), "none");
}

} // namespace
