#include "settings/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "settings/atomic_file.h"
#include "settings/report.h"

namespace profile {
namespace {

// The folders and files whose lock another program held past a whole wait.
std::set<std::string>& NotWaitedFor() {
    static std::set<std::string> paths;
    return paths;
}

// Waits in line for the lock, on a thread of its own so that the wait can be given up. The
// thread holds a duplicate of the descriptor (the lock belongs to the open file, which both
// share); when the wait was given up and the lock comes later, it lets go of it at once.
bool WaitInLine(int fd, int operation) {
    struct Wait {
        std::mutex mutex;
        std::condition_variable over;
        bool finished = false;
        bool abandoned = false;
        bool locked = false;
    };
    const int waiterFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (waiterFd < 0) {
        return false;
    }
    const auto wait = std::make_shared<Wait>();
    try {
        std::thread([wait, waiterFd, operation] {
            int result = 0;
            do {
                result = ::flock(waiterFd, operation);
            } while (result != 0 && errno == EINTR);
            const std::lock_guard<std::mutex> guard(wait->mutex);
            if (wait->abandoned) {
                ::flock(waiterFd, LOCK_UN);
            } else {
                wait->locked = result == 0;
                wait->finished = true;
                wait->over.notify_one();
            }
            ::close(waiterFd);
        }).detach();
    } catch (const std::system_error&) {
        ::close(waiterFd);
        return false;
    }
    std::unique_lock<std::mutex> guard(wait->mutex);
    if (!wait->over.wait_for(guard, std::chrono::seconds(StoreLock::kWaitSeconds),
                             [&wait] { return wait->finished; })) {
        wait->abandoned = true;
        return false;
    }
    return wait->locked;
}

// Takes the lock on fd, waiting in line where it is busy, unless a wait for `what` has run
// out before.
bool Take(int fd, int operation, const std::string& what) {
    if (::flock(fd, operation | LOCK_NB) == 0) {
        return true;
    }
    if (errno != EWOULDBLOCK || NotWaitedFor().count(what) > 0) {
        return false;
    }
    if (WaitInLine(fd, operation)) {
        return true;
    }
    NotWaitedFor().insert(what);
    SayOnce(
        "kelvo-snake: %s stayed locked by another program for 2 s; going on without "
        "waiting for its lock for the rest of this run\n",
        what);
    return false;
}

}  // namespace

StoreLock::StoreLock(const std::string& file, bool exclusive) {
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
    if (!Take(fd_, operation, folder)) {
        ::close(fd_);
        fd_ = -1;
    }
}

StoreLock::~StoreLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // releases the lock
    }
}

void StoreLock::LockFileItself(const std::string& target, int operation) {
    // A write may replace the file while this waits: then the new one is locked instead, for
    // as long as a wait for one lock may take in all.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(StoreLock::kWaitSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        struct stat locked {};
        int fd = -1;
        if (::stat(target.c_str(), &locked) == 0 && S_ISREG(locked.st_mode)) {
            fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0 && errno == EACCES) {
                fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            }
        }
        if (fd < 0 || ::fstat(fd, &locked) != 0 || !S_ISREG(locked.st_mode)) {
            if (fd >= 0) {
                ::close(fd);
            }
            if (operation == LOCK_EX) {
                SayOnce(
                    "kelvo-snake: neither %s nor its folder can be locked: another copy of "
                    "the game writing it at the same time could undo a change\n",
                    target);
            }
            return;
        }
        if (!Take(fd, operation, target)) {
            ::close(fd);
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
        "kelvo-snake: %s was replaced by other programs for 2 s on end; going on without "
        "its lock\n",
        target);
}

}  // namespace profile
