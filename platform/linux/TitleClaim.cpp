#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

// A claim is a datagram socket bound to a file named after the title in the user's runtime
// folder. Connecting to it succeeds only while the claiming process holds it, so the file of a
// process that crashed does not count; nothing is ever sent to a claim but its own check.

namespace platform {
namespace {

constexpr std::size_t kMaxPath = sizeof(sockaddr_un::sun_path) - 1;

bool IsPrivateFolder(const struct stat& status)
{
    return S_ISDIR(status.st_mode) && status.st_uid == geteuid() && (status.st_mode & 077) == 0;
}

// A folder of the user's own under /tmp, for sessions without a runtime folder; empty when it
// cannot be had safely. A folder that others could write to would let them fake or hide
// claims.
std::string PrivateTmpFolder(bool create)
{
    std::string folder = "/tmp/hanavo-" + std::to_string(geteuid());
    if (create && mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat status;
    if (lstat(folder.c_str(), &status) != 0 || !IsPrivateFolder(status))
        return {};
    return folder;
}

std::string SocketPath(const std::string& folder, const std::string& title)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string path = folder + "/hanavo-";
    for (unsigned char c : title) {
        path += kDigits[c >> 4];
        path += kDigits[c & 15];
    }
    if (path.size() <= kMaxPath)
        return path;
    // A title too long for a socket address goes by a hash of its bytes (FNV-1a).
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : title)
        hash = (hash ^ c) * 1099511628211ull;
    path = folder + "/hanavo-h";
    for (int shift = 60; shift >= 0; shift -= 4)
        path += kDigits[(hash >> shift) & 15];
    return path.size() <= kMaxPath ? path : std::string();
}

// The socket file of a title: in $XDG_RUNTIME_DIR, else (or when that path is too long for a
// socket address) in the private folder under /tmp; empty when there is none.
std::string ClaimPath(const std::string& title, bool create)
{
    struct stat status;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && stat(runtime, &status) == 0 && S_ISDIR(status.st_mode) &&
        status.st_uid == geteuid()) {
        std::string path = SocketPath(runtime, title);
        if (!path.empty())
            return path;
    }
    std::string folder = PrivateTmpFolder(create);
    return folder.empty() ? folder : SocketPath(folder, title);
}

sockaddr_un Address(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    return address;
}

int Bind(int fd, const std::string& path)
{
    sockaddr_un address = Address(path);
    return bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

bool IsLive(const std::string& path)
{
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un address = Address(path);
    bool live = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return live;
}

// Whether the socket file at path is the one bound by fd: a datagram sent to the path must
// arrive at fd. Another process may have replaced a file it took for stale.
bool ReceivesAt(int fd, const std::string& path)
{
    char buffer[64];
    while (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) >= 0) {
    }
    int probe = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    std::string token = "hanavo-release " + std::to_string(getpid()) + " " + std::to_string(fd);
    sockaddr_un address = Address(path);
    bool sent = sendto(probe, token.data(), token.size(), MSG_DONTWAIT,
                       reinterpret_cast<const sockaddr*>(&address),
                       sizeof address) == static_cast<ssize_t>(token.size());
    close(probe);
    if (!sent)
        return false;
    ssize_t length;
    while ((length = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) >= 0) {
        if (std::string(buffer, static_cast<std::size_t>(length)) == token)
            return true;
    }
    return false;
}

} // namespace

TitleClaim::TitleClaim(const std::string& title)
{
    std::string path = ClaimPath(title, true);
    if (path.empty())
        return;
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    if (Bind(fd, path) != 0) {
        // Only the socket file of a claim that is gone is taken over.
        struct stat status;
        bool stale = errno == EADDRINUSE && lstat(path.c_str(), &status) == 0 &&
                     S_ISSOCK(status.st_mode) && !IsLive(path);
        if (!stale || unlink(path.c_str()) != 0 || Bind(fd, path) != 0) {
            close(fd);
            return;
        }
    }
    m_fd = fd;
    m_path = std::move(path);
}

TitleClaim::~TitleClaim()
{
    Release();
}

TitleClaim::TitleClaim(TitleClaim&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::exchange(other.m_path, std::string()))
{
}

TitleClaim& TitleClaim::operator=(TitleClaim&& other) noexcept
{
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::exchange(other.m_path, std::string());
    }
    return *this;
}

void TitleClaim::Release()
{
    if (m_fd < 0)
        return;
    if (ReceivesAt(m_fd, m_path))
        unlink(m_path.c_str());
    close(m_fd);
    m_fd = -1;
    m_path.clear();
}

bool TitleClaimed(const std::string& title)
{
    std::string path = ClaimPath(title, false);
    return !path.empty() && IsLive(path);
}

} // namespace platform
