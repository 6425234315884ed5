#include "base/durable_file.h"

#include <atomic>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kNewFileMode = 0666;  // the umask takes off what the user wants off
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kPermissionBits = 07777;

std::string ErrorText(int number) { return std::generic_category().message(number); }

bool Fail(std::string* error, const std::string& text) {
    if (error != nullptr) *error = text;
    return false;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Unique within the process, so two threads saving the same file never share one.
std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter.fetch_add(1));
}

bool WriteAll(int fd, const std::string& content) {
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t count = write(fd, content.data() + written, content.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        written += static_cast<size_t>(count);
    }
    return true;
}

// Writes and syncs the new file; false with errno set when a step failed.
bool WriteTemporary(const std::string& temporary, const std::string& content, const struct stat* old) {
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd < 0) return false;
    bool ok =
        (old == nullptr || fchmod(fd, old->st_mode & kPermissionBits) == 0) && WriteAll(fd, content) && fsync(fd) == 0;
    const int saved = errno;
    // close reports a delayed write error on some file systems, so it counts too.
    if (close(fd) != 0 && ok) return false;
    errno = saved;
    return ok;
}

}  // namespace

bool IsReadOnlyFile(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return false;
    return (status.st_mode & kAnyWriteBit) == 0 || access(path.c_str(), W_OK) != 0;
}

bool ReplaceFileDurably(const std::string& path, const std::string& content, std::string* error) {
    struct stat old {};
    const bool exists = stat(path.c_str(), &old) == 0;
    const std::string temporary = TemporaryNameFor(path);
    if (!WriteTemporary(temporary, content, exists ? &old : nullptr)) {
        const int number = errno;
        unlink(temporary.c_str());
        return Fail(error, ErrorText(number));
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        const int number = errno;
        unlink(temporary.c_str());
        return Fail(error, ErrorText(number));
    }
    if (!SyncDirectoryOf(path)) return Fail(error, ErrorText(errno));
    return true;
}

// A pipe or a device such as /dev/null has no disk to reach (EINVAL); that is no failure.
bool SyncFile(std::FILE* file) { return std::fflush(file) == 0 && (fsync(fileno(file)) == 0 || errno == EINVAL); }

bool SyncDirectoryOf(const std::string& path) {
    const int fd = open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    // Some file systems cannot sync a directory (EINVAL); they order their entries themselves.
    const bool synced = fsync(fd) == 0 || errno == EINVAL;
    const int saved = errno;
    close(fd);
    errno = saved;
    return synced;
}
