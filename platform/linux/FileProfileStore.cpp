#include "platform/linux/FileProfileStore.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Number.h"
#include "platform/linux/LinuxOs.h"
#include "platform/linux/LinuxTesting.h"
#include "platform/linux/SettingsText.h"

namespace platform {
namespace {

std::function<void()> g_beforeReplace;

// The whole file; nothing when it cannot be read. A missing file reads as empty.
std::optional<std::string> ReadWholeFile(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
    std::string text;
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return text;
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Replaces the file at path with text: a new file beside it, flushed to the disk, then renamed
// over the old one, so that a crash at any point leaves one of them whole. A settings file
// that is a link (kept in a dotfiles folder) stays a link: its target is replaced.
bool ReplaceFile(std::string path, std::string_view text, const struct stat* old)
{
    struct stat link;
    if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* target = realpath(path.c_str(), nullptr)) {
            path = target;
            std::free(target);
        }
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder = path.substr(0, slash);
    const std::string base = path.substr(slash + 1);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = folder + "/." + base + ".new-" + std::to_string(getpid()) + "-" +
               std::to_string(attempt);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok =
        (!old || fchmod(fd, old->st_mode & 07777) == 0) && WriteAll(fd, text) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && g_beforeReplace)
        g_beforeReplace();
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

} // namespace

namespace linux_testing {
void SetBeforeSettingsReplace(std::function<void()> hook)
{
    g_beforeReplace = std::move(hook);
}
} // namespace linux_testing

bool MakeFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat status;
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string ConfigHome()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return config;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.config";
    return {};
}

FileProfileStore::FileProfileStore(std::string application) : m_application(std::move(application))
{
}

void FileProfileStore::SetRegistryKey(const std::string& company)
{
    m_company = company;
    m_keySet = true;
}

std::string FileProfileStore::FilePath() const
{
    const std::string home = ConfigHome();
    if (!m_keySet || home.empty())
        return {};
    return home + (m_company.empty() ? "" : "/" + m_company) + "/" + m_application + ".conf";
}

std::optional<std::string> FileProfileStore::Read(const std::string& section,
                                                  const std::string& entry) const
{
    const std::string path = FilePath();
    if (path.empty())
        return std::nullopt;
    std::optional<std::string> text = ReadWholeFile(path);
    if (!text)
        return std::nullopt;
    return FindSettingsValue(*text, section, entry);
}

std::string FileProfileStore::GetString(const std::string& section, const std::string& entry,
                                        const std::string& def)
{
    return Read(section, entry).value_or(def);
}

int FileProfileStore::GetInt(const std::string& section, const std::string& entry, int def)
{
    std::optional<std::string> text = Read(section, entry);
    int value = def;
    if (!text || !ParseInt32(*text, value))
        return def;
    return value;
}

bool FileProfileStore::WriteString(const std::string& section, const std::string& entry,
                                   const std::string& value)
{
    return WriteValues(section, {{entry, value}});
}

bool FileProfileStore::WriteInt(const std::string& section, const std::string& entry, int value)
{
    return WriteValues(section, {{entry, value}});
}

bool FileProfileStore::WriteValues(const std::string& section,
                                   const std::vector<ProfileValue>& values)
{
    const std::string path = FilePath();
    if (path.empty() || !IsWritableGroupName(section))
        return false;
    bool all = true;
    std::vector<SettingsValue> lines;
    for (const ProfileValue& v : values) {
        std::string text = std::holds_alternative<int>(v.value)
                               ? std::to_string(std::get<int>(v.value))
                               : std::get<std::string>(v.value);
        if (IsWritableValueName(v.entry) && IsWritableValue(text))
            lines.emplace_back(v.entry, std::move(text));
        else
            all = false;
    }
    if (!MakeFolders(path.substr(0, path.rfind('/'))))
        return false;
    // A file that exists but cannot be read is left alone: writing would lose its other lines.
    std::optional<std::string> old = ReadWholeFile(path);
    if (!old)
        return false;
    struct stat status;
    const bool exists = stat(path.c_str(), &status) == 0;
    std::string text = SetSettingsValues(*old, section, lines);
    if (exists && text == *old)
        return all;
    return ReplaceFile(path, text, exists ? &status : nullptr) && all;
}

} // namespace platform
