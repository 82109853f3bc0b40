// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "settings/atomic_file.h"
#include "settings/report.h"

namespace profile {
namespace {

std::atomic<LockCall> lockCall{nullptr};

int Lock(int fd, int operation) {
    const LockCall call = lockCall.load();
    return call != nullptr ? call(fd, operation) : ::flock(fd, operation);
}

void SayUnlocked(const std::string& target) {
    SayOnce(
        "kelvo-snake: neither %s nor its folder can be locked: it is written without a lock, "
        "and another copy of the game writing it at the same time could undo a change\n",
        target);
}

}  // namespace

void SetLockCall(LockCall call) {
    lockCall = call;
}

StoreLock::StoreLock(const std::string& file, bool exclusive, bool wait) : wait_(wait) {
    const int operation = exclusive ? LOCK_EX : LOCK_SH;
    const std::string target = ResolveTarget(file);
    const std::string folder = FolderOf(target);
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        if (errno == EACCES) {
            LockFileItself(target, operation);
        }
        return;  // otherwise no folder yet: nothing to read, and a write will say why it fails
    }
    if (!Take(fd_, operation)) {
        ::close(fd_);
        fd_ = -1;
        if (refused_) {
            refused_ = false;
            LockFileItself(target, operation);
        }
    }
}

// Takes the lock on fd: tried, or waited for in line. Sets busy_ or refused_ where it fails.
bool StoreLock::Take(int fd, int operation) {
    int result = 0;
    do {
        result = Lock(fd, operation | (wait_ ? 0 : LOCK_NB));
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return true;
    }
    busy_ = errno == EWOULDBLOCK;
    refused_ = !busy_;
    return false;
}

StoreLock::~StoreLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // releases the lock
    }
}

void StoreLock::LockFileItself(const std::string& target, int operation) {
    const bool exclusive = operation == LOCK_EX;
    // A write locks a descriptor open for writing (the only kind NFS locks exclusively); a
    // read one open for reading where it may, else for writing.
    const int firstMode = exclusive ? O_WRONLY : O_RDONLY;
    // A write may replace the file while this waits: then the new one is locked instead, as
    // often as it takes, within reason.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        struct stat locked {};
        int fd = -1;
        const bool found = ::stat(target.c_str(), &locked) == 0;
        int why = errno;
        if (found && S_ISREG(locked.st_mode)) {
            fd = ::open(target.c_str(), firstMode | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0 && errno == EACCES && !exclusive) {
                fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            }
            why = errno;
        } else if (!found && why == ENOENT && exclusive) {
            // The first write makes the file, empty, so that it can be locked like any other;
            // the kernel gives it the mode the umask allows.
            fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
            why = errno;
        }
        if (fd < 0 || ::fstat(fd, &locked) != 0 || !S_ISREG(locked.st_mode)) {
            if (fd >= 0) {
                ::close(fd);
            }
            // A missing folder is said by the write that fails in it.
            if (exclusive && (fd >= 0 || why != ENOENT)) {
                SayUnlocked(target);
            }
            return;
        }
        if (!Take(fd, operation)) {
            ::close(fd);
            if (refused_ && exclusive) {
                SayUnlocked(target);
            }
            return;
        }
        struct stat now {};
        if (::stat(target.c_str(), &now) == 0 && now.st_dev == locked.st_dev &&
            now.st_ino == locked.st_ino) {
            fd_ = fd;
            return;
        }
        ::close(fd);
    }
    SayOnce(
        "kelvo-snake: %s was replaced by other programs a thousand times on end; going on "
        "without its lock\n",
        target);
}

}  // namespace profile
