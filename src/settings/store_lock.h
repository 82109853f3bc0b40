// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

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
// - A busy lock is either only tried (busy() then tells) or waited for in line, as long as it
//   takes: the program's windows only try, and leave the wait to a thread of its own
//   (pending_writes.h), so that a lock another program holds never stalls them.
// The call that takes and releases locks, flock(2) unless a test stands in for it (a file
// system that refuses some locks).
using LockCall = int (*)(int fd, int operation);
void SetLockCall(LockCall call);

class StoreLock {
  public:
    StoreLock(const std::string& file, bool exclusive, bool wait);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool held() const { return fd_ >= 0; }
    // Another program holds the lock, which was only tried.
    bool busy() const { return busy_; }

  private:
    void LockFileItself(const std::string& target, int operation);
    bool Take(int fd, int operation);
    int fd_ = -1;
    bool wait_;
    bool busy_ = false;
    bool refused_ = false;
};

}  // namespace profile
