// The Windows services behind platform/Os.h and the registry store, on real folders, real
// processes and the registry of the test's own Wine prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Os.h"
#include "platform/win32/os/LoginStart.h"
#include "platform/win32/os/RegistryProfileStore.h"
#include "support/TempDir.h"

#include <windows.h>

#include <objbase.h>
#include <shobjidl.h>

using namespace testing_support;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

// Names outside the Japanese code page: they came back as '?' through the ANSI functions.
const char kKorean[] = "02e_한국어.sh";
const char kEmoji[] = "03e_🎉 party.sh";
const char kAccented[] = "01e_Café Ørsted.sh";

TEST(Win32Listing, SkipsFoldersHiddenAndSystemFilesAndKeepsTheLaunchOrder)
{
    TempDir dir;
    for (const std::string name :
         {"b.bat", "A.bat", "a_b.bat", "ab.bat", "Zz.bat", "ro.bat", kKorean})
        dir.Write(name, "x");
    const std::pair<const char*, DWORD> marked[] = {
        {"ro.bat", FILE_ATTRIBUTE_READONLY},
        {"hidden.bat", FILE_ATTRIBUTE_HIDDEN},
        {"Thumbs.db", FILE_ATTRIBUTE_SYSTEM},
        {"desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}};
    for (const auto& [name, attributes] : marked)
        SetFileAttributesW(PathOf(dir.Write(name, "x")).c_str(), attributes);
    dir.MakeDir("00e_folder");

    Names names;
    ASSERT_TRUE(platform::ListFolderFiles(dir.Path(), 100, names));
    // Letters fold to upper case ('_' sorts after 'B'); the UTF-8 bytes of Korean sort last.
    EXPECT_EQ(names, (Names{kKorean, "A.bat", "ab.bat", "a_b.bat", "b.bat", "ro.bat", "Zz.bat"}));
    ASSERT_TRUE(platform::ListFolderFiles(dir.Path() + "\\", 2, names)) << "trailing separator";
    EXPECT_EQ(names, (Names{kKorean, "A.bat"}));
    for (const std::string& notAFolder : {dir / "missing", dir / "b.bat", std::string()})
        EXPECT_FALSE(platform::ListFolderFiles(notAFolder, 100, names)) << notAFolder;
    EXPECT_TRUE(names.empty());
}

TEST(Win32Rename, NeverReplacesAndHandlesNamesOutsideTheJapaneseCodePage)
{
    TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("b.txt", "b");
    EXPECT_FALSE(platform::RenameNoReplace(dir / "a.txt", dir / "b.txt"));
    EXPECT_EQ(ReadFile(dir / "a.txt") + ReadFile(dir / "b.txt"), "ab");
    EXPECT_TRUE(platform::RenameNoReplace(dir / "a.txt", dir / kEmoji));
    EXPECT_TRUE(platform::RenameNoReplace(dir / kEmoji, dir.Path() + "\\" + kAccented));
    EXPECT_TRUE(platform::RenameNoReplace(dir / kAccented, dir / kAccented)) << "same name";
    EXPECT_FALSE(platform::RenameNoReplace(dir / "gone.txt", dir / "c.txt"));
    EXPECT_EQ(dir.Names(), (Names{kAccented, "b.txt"}));
    EXPECT_EQ(ReadFile(dir / kAccented), "a");
    EXPECT_TRUE(platform::IsPathSeparator('\\') && platform::IsPathSeparator('/'));
    EXPECT_FALSE(platform::IsPathSeparator(':'));
}

TEST(Win32ShellOpen, LaunchesInTheGivenFolderAndGivesWindowsErrorCodes)
{
    TempDir dir;
    UseEmptyDesktop(dir);
    const std::string log = dir / "log", folder = dir.MakeDir("launch");
    int run = 0;
    for (const char* name : {kAccented, kKorean, kEmoji}) {
        dir.WriteLogger(std::string("launch\\") + name, "n" + std::to_string(run++), log);
        EXPECT_GT(platform::ShellOpen(nullptr, name, nullptr, &folder), 32) << name;
    }
    // Parameters reach the program as one command line, which it splits by Windows' rules.
    const std::string params = R"(one "two words" "")";
    EXPECT_GT(platform::ShellOpen("open", kKorean, &params, &folder), 32);
    const std::string at = " @" + dir.Path() + "\\launch";
    EXPECT_EQ(InStartOrder(WaitForLines(log, 4)),
              (Names{"n0" + at, "n1" + at, "n2" + at, "n1 [one] [two words] []" + at}));

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
    // A folder of the test's own, as the test runner sets it.
    const char* own = std::getenv("XDG_DATA_HOME");
    ASSERT_NE(own, nullptr);
    std::string file = std::string("Z:") + own + "/keep.txt";
    std::replace(file.begin(), file.end(), '/', '\\');
    std::ofstream(PathOf(file)) << "mine";
    EXPECT_FALSE(platform::MoveToTrash(file));
    EXPECT_EQ(ReadFile(file), "mine");
}

// Target, arguments and working folder of a shell shortcut; empty when it is none.
std::wstring Shortcut(const std::wstring& path)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = {}, arguments[MAX_PATH] = {}, folder[MAX_PATH] = {};
    const bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
        SUCCEEDED(link->GetArguments(arguments, MAX_PATH)) &&
        SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
    if (file)
        file->Release();
    if (link)
        link->Release();
    return ok ? std::wstring(target) + L"|" + arguments + L"|" + folder : L"";
}

TEST(Win32LoginStart, OneShortcutInTheStartupFolderMadeAndRemoved)
{
    const std::wstring path = platform::win32::LoginShortcutPath(true);
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    const auto count = [&] { return std::distance(fs::directory_iterator(folder), {}); };
    EXPECT_FALSE(platform::LoginStartEnabled());
    EXPECT_TRUE(platform::SetLoginStart(false)) << "nothing to remove is no failure";

    ASSERT_TRUE(platform::SetLoginStart(true));
    EXPECT_TRUE(platform::LoginStartEnabled());
    wchar_t program[MAX_PATH];
    const std::wstring self(program, GetModuleFileNameW(nullptr, program, MAX_PATH));
    EXPECT_EQ(Shortcut(path), self + L"|/a|" + self.substr(0, self.find_last_of(L'\\')));
    ASSERT_TRUE(platform::SetLoginStart(true)) << "making it again replaces it";
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(platform::SetLoginStart(false));
    EXPECT_FALSE(platform::LoginStartEnabled());
    EXPECT_FALSE(fs::exists(path));

    // Something else by that name that cannot be replaced or deleted: both report failure.
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    EXPECT_FALSE(platform::LoginStartEnabled());
    EXPECT_FALSE(platform::SetLoginStart(true));
    EXPECT_FALSE(platform::SetLoginStart(false));
    EXPECT_EQ(count(), 1) << "no partial shortcut left behind";
    RemoveDirectoryW(path.c_str());
}

TEST(Win32Registry, RoundTripInTheFrameworkTypesAndWrongTypesReadAsTheDefault)
{
    platform::win32::RegistryProfileStore store;
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 60) << "before the company is set";
    EXPECT_FALSE(store.WriteInt("Settings", "Seconds", 30));
    store.SetRegistryKey("Quillmere");
    // As another program or an older version may have left the value.
    const auto setRaw = [](const wchar_t* name, DWORD type, const void* data, DWORD size) {
        EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Quillmere\\Hanavo\\Settings", name,
                                  type, data, size),
                  ERROR_SUCCESS);
    };

    EXPECT_TRUE(store.WriteValues("Settings", {{"Seconds", -1},
                                               {"Command", std::string("C:\\한 🎉\\x.exe")},
                                               {"Options", std::string("")}}));
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), -1) << "a DWORD is all 32 bits";
    EXPECT_EQ(store.GetString("Settings", "Command", ""), "C:\\한 🎉\\x.exe");
    EXPECT_EQ(store.GetString("Settings", "Options", "def"), "") << "stored empty";

    SetEnvironmentVariableW(L"HANAVO_TEST_DIR", L"D:\\Tools");
    const wchar_t expand[] = L"%HANAVO_TEST_DIR%\\run.bat", unterminated[] = {L'a', L'b'};
    setRaw(L"Command", REG_EXPAND_SZ, expand, sizeof expand);
    EXPECT_EQ(store.GetString("Settings", "Command", "def"), "D:\\Tools\\run.bat");
    setRaw(L"Options", REG_SZ, unterminated, sizeof unterminated);
    EXPECT_EQ(store.GetString("Settings", "Options", "def"), "ab");

    const DWORD number = 30;
    const wchar_t text[] = L"30";
    setRaw(L"Seconds", REG_SZ, text, sizeof text);
    setRaw(L"Foreground", REG_BINARY, &number, sizeof number);
    setRaw(L"TopDir", REG_DWORD, &number, sizeof number);
    setRaw(L"Short", REG_DWORD, &number, 2);
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 60) << "a text is no number";
    EXPECT_EQ(store.GetInt("Settings", "Foreground", 1), 1) << "binary";
    EXPECT_EQ(store.GetInt("Settings", "Short", 60), 60) << "two bytes";
    EXPECT_EQ(store.GetString("Settings", "TopDir", "def"), "def") << "a number is no text";
    EXPECT_EQ(store.GetInt("Settings", "Missing", 7), 7);
    EXPECT_EQ(store.GetString("Other", "Command", "none"), "none");
}

} // namespace
