#include "settings/ini.h"

#include <cstdint>
#include <cstdio>
#include <set>

#include "settings/place.h"
#include "settings/profile.h"

namespace {

std::string& CreatableFolder() {
    static std::string folder;
    return folder;
}

}  // namespace

void AllowFolderCreation(const std::string& folder) {
    CreatableFolder() = folder;
}

std::string ReadIni(const std::string& file, const std::string& section, const std::string& key,
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

// Said once per file and run: a file that cannot be written stays so, and every key the
// player changes would repeat the line. An empty reason has been said already.
void ReportFailedWrite(const std::string& file, const std::string& reason) {
    static std::set<std::string> said;
    if (reason.empty() || !said.insert(file).second) {
        return;
    }
    std::fprintf(stderr, "kelvo-snake: cannot write %s: %s\n", file.c_str(), reason.c_str());
}

}  // namespace

void WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    if (file.empty()) {
        return;  // nothing is kept in this run, as was said at its start
    }
    PrepareFolderOf(file);
    std::string reason;
    if (!profile::WritePrivateProfileString(section, key, WithoutLineBreaks(value), file,
                                            &reason)) {
        ReportFailedWrite(file, reason);
    }
}

bool UpdateIni(const std::string& file, const std::string& section, const std::string& key,
               const std::string& defaultValue,
               const std::function<std::optional<std::string>(const std::string&)>& decide) {
    if (file.empty()) {
        return false;
    }
    PrepareFolderOf(file);
    // What reading gives back: cut to 254 characters, as ReadIni does.
    auto decideOnRead = [&](const std::string& current) -> std::optional<std::string> {
        std::optional<std::string> value = decide(current.substr(0, 254));
        if (value) {
            value = WithoutLineBreaks(*value);
        }
        return value;
    };
    std::string reason;
    bool stored = false;
    if (!profile::UpdatePrivateProfileString(section, key, defaultValue, decideOnRead, file,
                                             &stored, &reason)) {
        ReportFailedWrite(file, reason);
    }
    return stored;
}
