// The lock that keeps two programs' reads and writes of one settings file apart.
#pragma once

#include <string>

namespace profile {

// An advisory lock for one read (shared) or one read-modify-write (exclusive) of a file.
// - It is the file's folder that is locked, not the file: a write replaces the file, and a lock
//   on the old one would not exclude a writer who opened the new one. A read-only descriptor of
//   a folder takes a lock without write permission on the folder.
// - A folder that cannot be opened (one the player may write but not read), or whose lock the
//   file system refuses (NFS locks only descriptors open for writing), locks the file itself,
//   through a descriptor open for writing where it is to be written, checked after locking to
//   still be the file at that path. A write into such a folder makes the file (empty) first, so
//   that even the first write is locked. Where nothing can be locked, one line says so, once a
//   file: the write goes ahead without a lock, never silently.
// - A busy lock is waited for in line (a blocking wait, so that a waiter is not starved by
//   writers that come and go), for at most kWaitSeconds. A lock that another program held past
//   that is not waited for again for the rest of the run: it is only tried, and the read or
//   write goes ahead without it, as it would without locks; one line says so, once a folder.
// The call that takes and releases locks, flock(2) unless a test stands in for it (a file
// system that refuses some locks).
using LockCall = int (*)(int fd, int operation);
void SetLockCall(LockCall call);

class StoreLock {
  public:
    static constexpr int kWaitSeconds = 2;

    StoreLock(const std::string& file, bool exclusive);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool held() const { return fd_ >= 0; }

  private:
    void LockFileItself(const std::string& target, int operation);
    int fd_ = -1;
};

}  // namespace profile
