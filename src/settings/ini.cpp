// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/ini.h"

#include <cstdint>
#include <cstdio>

#include "settings/pending_writes.h"
#include "settings/place.h"
#include "settings/profile.h"
#include "settings/report.h"

namespace {

std::string& CreatableFolder() {
    static std::string folder;
    return folder;
}

}  // namespace

void AllowFolderCreation(const std::string& folder) {
    CreatableFolder() = folder;
}

namespace {

std::string ReadStored(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
    std::string buffer(256, ' ');
    // No file: nothing is kept, and every value is its default.
    const int copied = file.empty() ? profile::GetPrivateProfileString("", "", defaultValue,
                                                                       buffer.data(), 255, file)
                                    : profile::GetPrivateProfileString(section, key, defaultValue,
                                                                       buffer.data(), 255, file);
    const auto count = static_cast<std::int16_t>(copied);
    return buffer.substr(0, count > 0 ? static_cast<size_t>(count) : 0);
}

}  // namespace

std::string ReadIni(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue) {
    if (file.empty()) {
        return ReadStored(file, section, key, defaultValue);
    }
    // This program's own writes that wait for the file's lock show at once.
    return pending::AsPending(file, section, key,
                              [&] { return ReadStored(file, section, key, defaultValue); })
        .substr(0, 254);
}

namespace {

std::string WithoutLineBreaks(std::string value) {
    for (char& c : value) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return value;
}

// Makes the per-user folder before the first write into it.
void PrepareFolderOf(const std::string& file) {
    const std::string& creatable = CreatableFolder();
    if (!creatable.empty() && file.size() > creatable.size() &&
        file.compare(0, creatable.size(), creatable) == 0 && file[creatable.size()] == '/' &&
        file.find('/', creatable.size() + 1) == std::string::npos) {
        CreateFolder(creatable);
    }
}

}  // namespace

namespace {

// Makes the write at once where the file's lock is free and no earlier write waits for it;
// otherwise keeps it until the lock is free. What `decide` says now, against the value as it
// will be once the earlier writes are made, is the answer: the kept write asks again when it
// lands, so that a higher score stored meanwhile still wins.
bool WriteOrKeep(pending::Write write) {
    if (!pending::Waiting(write.file)) {
        bool stored = false;
        bool busy = false;
        std::string reason;
        const bool made =
            profile::UpdatePrivateProfileString(write.section, write.key, write.defaultValue,
                                                write.decide, write.file, &stored, &reason, &busy);
        if (!busy) {
            if (!made) {
                profile::ReportFailedWrite(write.file, reason);
            }
            return stored;
        }
    }
    const std::string now = ReadIni(write.file, write.section, write.key, write.defaultValue);
    const bool wanted = write.decide(now).has_value();
    pending::Keep(std::move(write));
    return wanted;
}

}  // namespace

void WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    if (file.empty()) {
        return;  // nothing is kept in this run, as was said at its start
    }
    PrepareFolderOf(file);
    std::string stored = WithoutLineBreaks(value);
    WriteOrKeep({file, section, key, "",
                 [stored](const std::string&) { return std::optional<std::string>(stored); },
                 stored});
}

bool UpdateIni(const std::string& file, const std::string& section, const std::string& key,
               const std::string& defaultValue,
               const std::function<std::optional<std::string>(const std::string&)>& decide) {
    if (file.empty()) {
        return false;
    }
    PrepareFolderOf(file);
    // What reading gives back: cut to 254 characters, as ReadIni does.
    auto decideOnRead = [decide](const std::string& current) -> std::optional<std::string> {
        std::optional<std::string> value = decide(current.substr(0, 254));
        if (value) {
            value = WithoutLineBreaks(*value);
        }
        return value;
    };
    return WriteOrKeep({file, section, key, defaultValue, decideOnRead, std::nullopt});
}

void FinishWrites() {
    pending::Finish(std::chrono::seconds(2));
}
