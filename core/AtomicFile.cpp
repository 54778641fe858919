#include "core/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pf {

namespace {

namespace fs = std::filesystem;

// A file descriptor closed when it goes out of scope.
class UniqueFd
{
public:
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int Get() const { return m_fd; }
    // Closes now and reports whether the close (and so the last write) succeeded.
    bool Close()
    {
        const int fd = std::exchange(m_fd, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Removes a temporary file unless it was renamed into place.
class TempFileGuard
{
public:
    explicit TempFileGuard(std::string path) : m_path(std::move(path)) {}
    ~TempFileGuard()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    void Release() { m_path.clear(); }

private:
    std::string m_path;
};

} // namespace

bool WriteFileAtomically(const std::string& path, const std::string& content)
{
    std::error_code ec;
    std::string target = path;
    if (fs::is_symlink(path, ec)) {
        const fs::path resolved = fs::weakly_canonical(path, ec);
        if (ec)
            return false;
        target = resolved.string();
    }

    std::string tempPath;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempPath = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    UniqueFd file(fd);
    TempFileGuard guard(tempPath);

    struct stat old;
    if (::stat(target.c_str(), &old) == 0)
        ::fchmod(file.Get(), old.st_mode & 07777);

    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(file.Get(), data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::fsync(file.Get()) != 0 || !file.Close())
        return false;
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        return false;
    guard.Release();
    return true;
}

} // namespace pf
