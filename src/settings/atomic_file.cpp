#include "settings/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace profile {
namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& contents) {
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// The file that a write to path really replaces: the target of a symbolic link, else path.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

}  // namespace

void RemoveStaleTemporaries(const std::string& path) {
    const std::string prefix = TemporaryPrefix(path);
    const size_t slash = prefix.rfind('/');
    const std::string folder = prefix.substr(0, slash == 0 ? 1 : slash);
    const std::string namePrefix = prefix.substr(slash + 1);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        // Exactly our pattern: the prefix and six random characters.
        if (name.size() != namePrefix.size() + 6 ||
            name.compare(0, namePrefix.size(), namePrefix)) {
            continue;
        }
        const std::string full = folder + "/" + name;
        struct stat st {};
        if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            now - st.st_mtime > kStaleSeconds) {
            ::unlink(full.c_str());
        }
    }
    ::closedir(dir);
}

std::string TemporaryPrefix(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = FolderOf(path);
    return (folder == "/" ? "" : folder) + "/." + base + ".tmp.";
}

bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error) {
    auto fail = [error](int code) {
        if (error) {
            *error = std::strerror(code);
        }
        return false;
    };
    const std::string target = ResolveTarget(path);
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return fail(EISDIR);
        }
        // A file without write permission is left alone, even where the folder would allow
        // replacing it (and even for the superuser, who passes every access check).
        if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            return fail(EACCES);
        }
        mode = st.st_mode & 07777;
    }

    // Likewise a folder without write permission: nothing is created in it.
    struct stat folder {};
    if (::stat(FolderOf(target).c_str(), &folder) == 0 && (folder.st_mode & 0222) == 0) {
        return fail(EACCES);
    }

    std::string tempPath = TemporaryPrefix(target) + "XXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0) {
        return fail(errno);
    }
    const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    if (::close(fd) != 0 || !written) {
        const int code = written ? errno : writeErrno;
        ::unlink(tempPath.c_str());
        return fail(code);
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        const int code = errno;
        ::unlink(tempPath.c_str());
        return fail(code);
    }
    // Make the rename itself durable; a failure here no longer risks the data.
    const int dirFd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    RemoveStaleTemporaries(target);
    return true;
}

}  // namespace profile
