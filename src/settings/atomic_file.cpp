// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <random>
#include <vector>

namespace profile {
namespace {

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

// Makes the temporary file from a template ending in XXXXXX, as mkstemp does, but with the mode
// given, less the umask: the kernel applies the umask as it creates the file, so the program
// never changes its umask, which every thread shares.
int MakeTemporary(std::string& path, mode_t mode) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static thread_local std::minstd_rand draw(static_cast<unsigned>(
        std::random_device{}() ^ static_cast<unsigned>(::getpid()) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())));
    const size_t at = path.size() - 6;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        for (size_t i = at; i < path.size(); ++i) {
            path[i] = kLetters[draw() % (sizeof kLetters - 1)];
        }
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Writes contents over the file itself: from its start, then cut to length, then flushed. The
// space for the new length is claimed first, so that a full disk fails the write before its
// first byte changes the file (where the file system cannot claim space ahead, as before).
bool UpdateInPlace(const std::string& target, const std::string& contents, int* code) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *code = errno;
        return false;
    }
    if (!contents.empty() &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(contents.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        *code = errno;
        ::close(fd);
        return false;
    }
    bool ok = true;
    size_t done = 0;
    while (ok && done < contents.size()) {
        const ssize_t n =
            ::pwrite(fd, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        done += ok ? static_cast<size_t>(n) : 0;
    }
    ok = ok && ::ftruncate(fd, static_cast<off_t>(contents.size())) == 0 && ::fsync(fd) == 0;
    *code = errno;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

// The names of a file's extended attributes (its ACLs among them); nullopt when they cannot
// be listed.
std::optional<std::vector<std::string>> AttributeNames(int fd, const std::string& path) {
    for (;;) {
        const ssize_t size =
            fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::listxattr(path.c_str(), nullptr, 0);
        if (size < 0) {
            return errno == ENOTSUP ? std::optional(std::vector<std::string>()) : std::nullopt;
        }
        std::string list(static_cast<size_t>(size), '\0');
        const ssize_t got = fd >= 0 ? ::flistxattr(fd, list.data(), list.size())
                                    : ::listxattr(path.c_str(), list.data(), list.size());
        if (got < 0 && errno == ERANGE) {
            continue;  // grown meanwhile
        }
        if (got < 0) {
            return std::nullopt;
        }
        std::vector<std::string> names;
        for (size_t at = 0; at < static_cast<size_t>(got);) {
            names.emplace_back(list.c_str() + at);
            at += names.back().size() + 1;
        }
        return names;
    }
}

std::optional<std::string> Attribute(int fd, const std::string& path, const std::string& name) {
    for (;;) {
        const ssize_t size = fd >= 0 ? ::fgetxattr(fd, name.c_str(), nullptr, 0)
                                     : ::getxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) {
            return std::nullopt;
        }
        std::string value(static_cast<size_t>(size), '\0');
        const ssize_t got =
            fd >= 0 ? ::fgetxattr(fd, name.c_str(), value.data(), value.size())
                    : ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<size_t>(got));
            return value;
        }
        if (errno != ERANGE) {
            return std::nullopt;
        }
    }
}

// Gives the new file (fd) exactly the old file's extended attributes, ACLs included. False
// where one cannot be given or taken away, unless the new file has it as it is already (a
// security label given by the system, say).
bool CopyAttributes(const std::string& from, int fd) {
    const auto names = AttributeNames(-1, from);
    const auto present = AttributeNames(fd, "");
    if (!names || !present) {
        return false;
    }
    for (const std::string& name : *names) {
        const auto value = Attribute(-1, from, name);
        if (!value) {
            return false;
        }
        if (::fsetxattr(fd, name.c_str(), value->data(), value->size(), 0) != 0 &&
            Attribute(fd, "", name) != value) {
            return false;
        }
    }
    for (const std::string& name : *present) {
        if (std::find(names->begin(), names->end(), name) == names->end() &&
            ::fremovexattr(fd, name.c_str()) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool Writable(const std::string& path, const struct stat& st) {
    return (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

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

std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    // A link that dangles: its target, which the write creates.
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<size_t>(n) >= link.size()) {
        return path;
    }
    link.resize(static_cast<size_t>(n));
    return link.front() == '/' ? link : FolderOf(path) + "/" + link;
}

bool StoreFile(const std::string& path, const std::string& contents, std::string* error) {
    auto fail = [error](int code) {
        if (error) {
            *error = std::strerror(code);
        }
        return false;
    };
    const std::string target = ResolveTarget(path);
    const std::string folderPath = FolderOf(target);
    struct stat folder {};
    const bool folderWritable =
        ::stat(folderPath.c_str(), &folder) == 0 && Writable(folderPath, folder);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) {
            return fail(EISDIR);
        }
        if (!S_ISREG(st.st_mode)) {
            if (error) {
                *error = "not a regular file";
            }
            return false;
        }
        // A file without write permission is left alone, even where the folder would allow
        // replacing it (and even for the superuser, who passes every access check).
        if (!Writable(target, st)) {
            return fail(EACCES);
        }
        const bool otherOwner = ::geteuid() != 0 && st.st_uid != ::geteuid();
        if (!folderWritable || st.st_nlink > 1 || otherOwner) {
            int code = 0;
            return UpdateInPlace(target, contents, &code) || fail(code);
        }
    } else if (!folderWritable) {
        return fail(EACCES);  // nothing is created in a folder without write permission
    }

    // A new file gets the mode the umask allows; the copy of an existing one is private until
    // it has been given the old one's mode below.
    std::string tempPath = TemporaryPrefix(target) + "XXXXXX";
    const int fd = MakeTemporary(tempPath, exists ? 0600 : 0666);
    if (fd < 0) {
        return fail(errno);
    }
    // The new file takes the old one's owner (as the superuser), group, mode and extended
    // attributes (ACLs among them). Where the group or an attribute cannot be kept, the file is
    // written in place instead, which keeps them all.
    if (exists) {
        // The new file's group is the writer's, or the folder's in a set-group-ID folder.
        struct stat made {};
        const bool ownerKept =
            ::geteuid() == 0
                ? ::fchown(fd, st.st_uid, st.st_gid) == 0
                : ::fstat(fd, &made) == 0 && (made.st_gid == st.st_gid ||
                                              ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) == 0);
        if (!ownerKept || ::fchmod(fd, st.st_mode & 07777) != 0 || !CopyAttributes(target, fd)) {
            ::close(fd);
            ::unlink(tempPath.c_str());
            int code = 0;
            return UpdateInPlace(target, contents, &code) || fail(code);
        }
    }
    const bool written = WriteAll(fd, contents) && ::fsync(fd) == 0;
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
    const int dirFd = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    RemoveStaleTemporaries(target);
    return true;
}

}  // namespace profile
