// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/pending_writes.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "settings/profile.h"
#include "settings/report.h"

namespace pending {
namespace {

// Never destroyed: the thread that waits for a lock may outlive main.
struct Queue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Write> writes;  // in the order they were made; the front one is being made
    bool writerStarted = false;
};

Queue& TheQueue() {
    static auto* queue = new Queue;
    return *queue;
}

bool SameKey(const Write& a, const Write& b) {
    return a.file == b.file && a.section == b.section && a.key == b.key;
}

// Makes the kept writes one after the other, each waiting for its lock as long as it takes.
void MakeWrites() {
    Queue& queue = TheQueue();
    std::unique_lock<std::mutex> guard(queue.mutex);
    for (;;) {
        queue.changed.wait(guard, [&queue] { return !queue.writes.empty(); });
        const Write write = queue.writes.front();
        guard.unlock();
        bool stored = false;
        std::string reason;
        if (!profile::UpdatePrivateProfileString(write.section, write.key, write.defaultValue,
                                                 write.decide, write.file, &stored, &reason)) {
            profile::ReportFailedWrite(write.file, reason);
        }
        guard.lock();
        queue.writes.pop_front();  // only now: reads see it pending until the file has it
        queue.changed.notify_all();
    }
}

}  // namespace

bool Waiting(const std::string& file) {
    Queue& queue = TheQueue();
    const std::lock_guard<std::mutex> guard(queue.mutex);
    for (const Write& write : queue.writes) {
        if (write.file == file) {
            return true;
        }
    }
    return false;
}

void Keep(Write write) {
    Queue& queue = TheQueue();
    const std::lock_guard<std::mutex> guard(queue.mutex);
    // A plain write takes the place of the last one kept for the same key, where that is a
    // plain one not yet being made: the key's last value is what lands.
    if (write.value) {
        for (size_t i = queue.writes.size(); i-- > 1;) {
            if (SameKey(queue.writes[i], write)) {
                if (queue.writes[i].value) {
                    queue.writes[i] = std::move(write);
                    return;
                }
                break;
            }
        }
    }
    queue.writes.push_back(std::move(write));
    if (!queue.writerStarted) {
        queue.writerStarted = true;
        std::thread(MakeWrites).detach();
    }
    queue.changed.notify_all();
}

std::string AsPending(const std::string& file, const std::string& section, const std::string& key,
                      const std::function<std::string()>& read) {
    // The pending writes first, then the file: a write leaves the queue only once the file has
    // it, so that it is seen in one or the other.
    std::vector<Decide> waiting;
    {
        Queue& queue = TheQueue();
        const std::lock_guard<std::mutex> guard(queue.mutex);
        for (const Write& write : queue.writes) {
            if (write.file == file && write.section == section && write.key == key) {
                waiting.push_back(write.decide);
            }
        }
    }
    std::string value = read();
    for (const Decide& decide : waiting) {
        if (auto decided = decide(value)) {
            value = std::move(*decided);
        }
    }
    return value;
}

void Finish(std::chrono::milliseconds limit) {
    Queue& queue = TheQueue();
    std::unique_lock<std::mutex> guard(queue.mutex);
    if (queue.changed.wait_for(guard, limit, [&queue] { return queue.writes.empty(); })) {
        return;
    }
    std::set<std::string> files;
    for (const Write& write : queue.writes) {
        files.insert(write.file);
    }
    for (const std::string& file : files) {
        std::string keys;
        std::set<std::string> named;
        for (const Write& write : queue.writes) {
            if (write.file == file && named.insert(write.key).second) {
                keys += (keys.empty() ? "" : ", ") + write.key;
            }
        }
        std::fprintf(stderr, "kelvo-snake: %s stayed locked by another program; not kept: %s\n",
                     file.c_str(), keys.c_str());
    }
}

}  // namespace pending
