#include "settings/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
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

std::atomic<LockCall> lockCall{nullptr};

int Lock(int fd, int operation) {
    const LockCall call = lockCall.load();
    return call != nullptr ? call(fd, operation) : ::flock(fd, operation);
}

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
                result = Lock(waiterFd, operation);
            } while (result != 0 && errno == EINTR);
            const std::lock_guard<std::mutex> guard(wait->mutex);
            if (wait->abandoned) {
                Lock(waiterFd, LOCK_UN);
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

enum class Taken { kLocked, kBusy, kRefused };

// Takes the lock on fd, waiting in line where it is busy, unless a wait for `what` has run
// out before. kRefused: the file system does not lock this descriptor.
Taken Take(int fd, int operation, const std::string& what) {
    if (Lock(fd, operation | LOCK_NB) == 0) {
        return Taken::kLocked;
    }
    if (errno != EWOULDBLOCK) {
        return Taken::kRefused;
    }
    if (NotWaitedFor().count(what) > 0) {
        return Taken::kBusy;
    }
    if (WaitInLine(fd, operation)) {
        return Taken::kLocked;
    }
    NotWaitedFor().insert(what);
    SayOnce(
        "kelvo-snake: %s stayed locked by another program for 2 s; going on without "
        "waiting for its lock for the rest of this run\n",
        what);
    return Taken::kBusy;
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
    const Taken taken = Take(fd_, operation, folder);
    if (taken != Taken::kLocked) {
        ::close(fd_);
        fd_ = -1;
    }
    if (taken == Taken::kRefused) {
        LockFileItself(target, operation);
    }
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
    // A write may replace the file while this waits: then the new one is locked instead, for
    // as long as a wait for one lock may take in all.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(StoreLock::kWaitSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
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
        const Taken taken = Take(fd, operation, target);
        if (taken != Taken::kLocked) {
            ::close(fd);
            if (taken == Taken::kRefused && exclusive) {
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
        "kelvo-snake: %s was replaced by other programs for 2 s on end; going on without "
        "its lock\n",
        target);
}

}  // namespace profile
