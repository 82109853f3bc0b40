// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings store against files, locks and disks that a player or another program could
// throw at it: nothing is lost, nothing hangs, and each trouble is said once.
#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "settings/ini.h"
#include "settings/store_lock.h"
#include "settings_rounds.h"
#include "support/printing.h"
#include "support/temp_folder.h"

namespace {

// What the code run by `body` prints on stderr.
template <typename Body>
std::string Stderr(Body body) {
    std::fflush(stderr);
    char name[] = "/tmp/kelvo-stderr-XXXXXX";
    const int capture = ::mkstemp(name);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture, STDERR_FILENO);
    body();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    ::close(capture);
    const std::string printed = ReadFile(name);
    ::unlink(name);
    return printed;
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::string Writer() {
    return QCoreApplication::applicationDirPath().toStdString() + "/ini_writer";
}

// A process that holds an exclusive lock on the folder until it is killed.
pid_t HoldFolderLock(const std::string& folder) {
    int ready[2];
    if (::pipe(ready) != 0) {
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        ::flock(fd, LOCK_EX);
        (void)!::write(ready[1], "x", 1);
        for (;;) {
            ::pause();
        }
    }
    char byte = 0;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return pid;
}

// Runs body in a child process with a mount namespace of its own; its exit status, or -1.
template <typename Body>
int InOwnMounts(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            ::_exit(77);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

class TestStoreLimits : public QObject {
    Q_OBJECT
  private slots:
    // A file far larger than any settings file (1 TB, sparse) reads as missing at once and is
    // never written; one line says so.
    void aHugeFileReadsAsMissingAndIsNeverWritten() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "[data]\nlvl=5\n");
        if (::truncate(file.c_str(), off_t{1} << 40) != 0) {
            QVERIFY(::truncate(file.c_str(), off_t{2} << 20) == 0);  // 2 MiB where 1 TB fails
        }
        struct stat before {};
        QCOMPARE(::stat(file.c_str(), &before), 0);
        const std::string said = Stderr([&] {
            QCOMPARE(ReadIni(file, "data", "lvl", "1"), std::string("1"));
            WriteIni(file, "data", "lvl", "2");
            QVERIFY(!UpdateIni(file, "data", "score", "0", [](const std::string&) {
                return std::optional<std::string>("10");
            }));
            QCOMPARE(ReadIni(file, "data", "lvl", "1"), std::string("1"));
        });
        QCOMPARE(Lines(said), 1);
        QVERIFY2(said.find("1 MiB") != std::string::npos, said.c_str());
        struct stat after {};
        QCOMPARE(::stat(file.c_str(), &after), 0);
        QCOMPARE(after.st_size, before.st_size);
        QCOMPARE(after.st_blocks, before.st_blocks);
        QCOMPARE(after.st_ino, before.st_ino);
    }

    // A file that cannot be written is said once, whatever is written to it afterwards.
    void anUnwritableFileIsSaidOnce() {
        TempFolder dir;
        WriteFile(dir.File("not-a-folder"), "");
        const std::string file = dir.File("not-a-folder/data.ini");
        const std::string said = Stderr([&] {
            for (const char* key : {"mute", "full", "lvl", "mute"}) {
                WriteIni(file, "data", key, "1");
            }
        });
        QCOMPARE(Lines(said), 1);
        QVERIFY2(said.find("cannot write") != std::string::npos, said.c_str());
    }

    // Where the file system refuses a lock, the store never writes unlocked silently: NFS locks
    // exclusively only a descriptor open for writing, and the file itself is locked so; where
    // nothing can be locked, one line says so.
    void refusedLocksAreNeverSilent() {
        static int refusal = 0;
        static int writableLocks = 0;
        profile::SetLockCall([](int fd, int operation) {
            const bool forWriting = (::fcntl(fd, F_GETFL) & O_ACCMODE) != O_RDONLY;
            const bool refused = refusal == EBADF ? (operation & LOCK_EX) != 0 && !forWriting
                                                  : (operation & (LOCK_EX | LOCK_SH)) != 0;
            if (refused) {
                errno = refusal;
                return -1;
            }
            writableLocks += (operation & LOCK_EX) != 0 && forWriting;
            return ::flock(fd, operation);
        });
        for (const int code : {EBADF, ENOLCK, EOPNOTSUPP}) {
            refusal = code;
            writableLocks = 0;
            TempFolder dir;
            const std::string file = dir.File("data.ini");
            const std::string said = Stderr([&] {
                for (const char* level : {"1", "2", "3"}) {
                    WriteIni(file, "data", "lvl", level);
                }
            });
            QCOMPARE(ReadIni(file, "data", "lvl", ""), std::string("3"));
            if (code == EBADF) {
                QCOMPARE(Lines(said), 0);
                QCOMPARE(writableLocks, 3);
            } else {
                QCOMPARE(Lines(said), 1);
                QVERIFY2(said.find("without a lock") != std::string::npos, said.c_str());
            }
        }
        profile::SetLockCall(nullptr);
    }

    // The store never changes the umask that every thread shares: files that another thread
    // makes while the store makes new ones keep the umask's mode.
    void otherThreadsFilesKeepTheUmask() {
        TempFolder dir;
        const mode_t mask = ::umask(022);
        std::atomic<bool> done{false};
        int worldWritable = 0;
        std::thread other([&] {
            for (int i = 0; !done; ++i) {
                const std::string name = dir.File("other-" + std::to_string(i % 64));
                ::unlink(name.c_str());
                const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                struct stat st {};
                worldWritable += fd >= 0 && ::fstat(fd, &st) == 0 && (st.st_mode & 0002) != 0;
                if (fd >= 0) {
                    ::close(fd);
                }
            }
        });
        struct stat made {};
        for (int i = 0; i < 5000; ++i) {
            const std::string file = dir.File("data.ini");
            ::unlink(file.c_str());
            WriteIni(file, "data", "lvl", "1");
        }
        done = true;
        other.join();
        ::umask(mask);
        QCOMPARE(worldWritable, 0);
        QCOMPARE(::stat(dir.File("data.ini").c_str(), &made), 0);
        QCOMPARE(made.st_mode & 0777, 0644u);
    }

    // A lock that another program holds forever costs no wait at all: the writes are kept,
    // read back at once, and the end of the program says which keys were not kept.
    void aLockHeldForeverCostsNoWait() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "[data]\nlvl=5\n");
        const pid_t holder = HoldFolderLock(dir.path());
        QVERIFY(holder > 0);
        QElapsedTimer clock;
        clock.start();
        qint64 longest = 0;
        for (int i = 0; i < 10; ++i) {
            const qint64 before = clock.nsecsElapsed();
            QCOMPARE(ReadIni(file, "data", "lvl", "1"), std::string(i < 2 ? "5" : "6"));
            WriteIni(file, "data", i % 2 ? "lvl" : "mute", i % 2 ? "6" : "1");
            longest = std::max(longest, clock.nsecsElapsed() - before);
        }
        // Well within one refresh of the screen (16 ms), even on a slow machine.
        QVERIFY2(longest < 8'000'000, qPrintable(QString::number(longest)));
        const std::string said = Stderr([] { FinishWrites(); });
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        QCOMPARE(Lines(said), 1);
        QVERIFY2(said.find("not kept: mute, lvl") != std::string::npos, said.c_str());
        // Once the lock is free the kept writes land, merged and in their order.
        for (int i = 0; i < 200 && ReadFile(file) != "[data]\nlvl=6\nmute=1\n"; ++i) {
            QTest::qWait(10);
        }
        QCOMPARE(ReadFile(file), std::string("[data]\nlvl=6\nmute=1\n"));
    }

    // Another program's read-modify-write that holds the lock for 2.5 s while this one writes:
    // neither key is lost, and the higher score still wins.
    void aForeignReadModifyWriteLosesNothing() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "[data]\nscore=50\n");
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t other = ::fork();
        if (other == 0) {
            const int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
            ::flock(fd, LOCK_EX);
            const std::string read = ReadFile(file);
            (void)!::write(ready[1], "x", 1);
            ::usleep(2'500'000);
            WriteFile(file, read + "theirs=1\n");
            ::_exit(0);
        }
        char byte = 0;
        (void)!::read(ready[0], &byte, 1);
        ::close(ready[0]);
        ::close(ready[1]);
        WriteIni(file, "data", "lvl", "7");
        QVERIFY(UpdateIni(file, "data", "score", "0", [](const std::string& stored) {
            return 70 > std::atoi(stored.c_str()) ? std::optional<std::string>("70") : std::nullopt;
        }));
        QCOMPARE(ReadIni(file, "data", "score", ""), std::string("70"));
        ::waitpid(other, nullptr, 0);
        FinishWrites();
        QCOMPARE(ReadFile(file), std::string("[data]\nscore=70\ntheirs=1\nlvl=7\n"));
    }

    // A write in place (the file has a second name) on a full disk leaves the file as it was.
    void aFullDiskLeavesAnInPlaceWriteUndone() {
        if (::geteuid() != 0) {
            QSKIP("a small file system of its own: needs the superuser");
        }
        TempFolder dir;
        const std::string old = "[data]\nlvl=5\nscore=120\n";
        const int status = InOwnMounts([&] {
            if (::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
                return 77;
            }
            const std::string file = dir.File("data.ini");
            WriteFile(file, old);
            if (::link(file.c_str(), dir.File("other-name.ini").c_str()) != 0) {
                return 3;
            }
            // Fill the disk, up to its last block.
            const int filler = ::open(dir.File("filler").c_str(), O_WRONLY | O_CREAT, 0600);
            const std::vector<char> block(4096, 'x');
            while (::write(filler, block.data(), block.size()) > 0) {
            }
            ::close(filler);
            WriteIni(file, "data", "score", std::string(20000, '9'));
            return ReadFile(file) == old ? 0 : 1;
        });
        if (status == 77) {
            QSKIP("no mount namespace or tmpfs here");
        }
        QCOMPARE(status, 0);
    }

    // A write keeps the file's extended attributes and ACL, and a group its writer is not in.
    void aWriteKeepsAttributesAclsAndTheGroup() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "[data]\nlvl=1\n");
        // User nobody may read and write, by an ACL entry.
        struct Entry {
            std::uint16_t tag, perm;
            std::uint32_t id;
        };
        const Entry acl[] = {
            {0x01, 6, ~0u}, {0x02, 6, 65534}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}};
        std::string aclValue("\x02\0\0\0", 4);
        aclValue.append(reinterpret_cast<const char*>(acl), sizeof acl);
        if (::setxattr(file.c_str(), "user.kelvo", "kept", 4, 0) != 0 ||
            ::setxattr(file.c_str(), "system.posix_acl_access", aclValue.data(), aclValue.size(),
                       0) != 0) {
            QSKIP("no extended attributes or ACLs on this file system");
        }
        WriteIni(file, "data", "lvl", "2");
        QCOMPARE(ReadIni(file, "data", "lvl", ""), std::string("2"));
        char value[256];
        const ssize_t n = ::getxattr(file.c_str(), "user.kelvo", value, sizeof value);
        QCOMPARE(std::string(value, static_cast<size_t>(std::max<ssize_t>(n, 0))),
                 std::string("kept"));
        const ssize_t m = ::getxattr(file.c_str(), "system.posix_acl_access", value, sizeof value);
        QCOMPARE(std::string(value, static_cast<size_t>(std::max<ssize_t>(m, 0))), aclValue);
        if (::geteuid() != 0) {
            QSKIP("writing as another user: needs the superuser");
        }
        // User nobody's file, of a group that nobody is not in, in a folder open to all.
        ::chmod(dir.path().c_str(), 0777);
        const std::string theirs = dir.File("theirs.ini");
        WriteFile(theirs, "[data]\nscore=5\n");
        QCOMPARE(::chown(theirs.c_str(), 65534, 100), 0);
        ::chmod(theirs.c_str(), 0640);
        const std::string asNobody = "setpriv --reuid=nobody --regid=nogroup --clear-groups " +
                                     Writer() + " " + theirs + " --key score 3 >/dev/null";
        QCOMPARE(std::system(asNobody.c_str()), 0);
        struct stat st {};
        QCOMPARE(::stat(theirs.c_str(), &st), 0);
        QCOMPARE(st.st_gid, gid_t{100});
        QCOMPARE(st.st_mode & 0777, 0640u);
        QCOMPARE(ReadIni(theirs, "data", "score", ""), std::string("3"));
    }

    // Writers in a folder they may write but not read lock the file itself, and the first of
    // them makes it to lock it: nothing is lost, from the first write on.
    void writersInAnUnreadableFolderLoseNothing_data() {
        QTest::addColumn<bool>("fileMade");
        QTest::newRow("data.ini there") << true;
        QTest::newRow("a new folder") << false;
    }
    void writersInAnUnreadableFolderLoseNothing() {
        QFETCH(bool, fileMade);
        if (::geteuid() != 0) {
            QSKIP("a folder the writers cannot read: needs writers other than the superuser");
        }
        TempFolder dir;
        ::chmod(dir.path().c_str(), 0755);
        const std::string folder = dir.File("write-only");
        QVERIFY(std::filesystem::create_directory(folder));
        const std::string file = folder + "/data.ini";
        if (fileMade) {
            WriteFile(file, "[data]\n");
            QCOMPARE(::chown(file.c_str(), 65534, 65534), 0);
        }
        QCOMPARE(::chown(folder.c_str(), 65534, 65534), 0);
        ::chmod(folder.c_str(), 0300);
        // All four make their first writes at once, 300 ms from now.
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const long long start = (now.tv_sec * 1'000'000'000LL + now.tv_nsec) + 300'000'000LL;
        std::vector<FILE*> writers;
        for (int k = 0; k < 4; ++k) {
            const std::string command = "KELVO_WRITERS_START_NS=" + std::to_string(start) +
                                        " setpriv --reuid=nobody --regid=nogroup --clear-groups " +
                                        Writer() + " " + file + " --key " + WriterKey(k) + " 300";
            writers.push_back(::popen(command.c_str(), "r"));
        }
        for (FILE* writer : writers) {
            char lost[32] = "";
            QVERIFY(std::fgets(lost, sizeof lost, writer) != nullptr);
            ::pclose(writer);
            QCOMPARE(std::string(lost), std::string("0\n"));
        }
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(ReadIni(file, "data", WriterKey(k), ""), std::string("300"));
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreLimits)
#include "test_store_limits.moc"
