#include "settings/ini.h"

#include <cstdint>
#include <cstdio>

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
    const int copied =
        profile::GetPrivateProfileString(section, key, defaultValue, buffer.data(), 255, file);
    const auto count = static_cast<std::int16_t>(copied);
    return buffer.substr(0, count > 0 ? static_cast<size_t>(count) : 0);
}

void WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    std::string cleaned = value;
    for (char& c : cleaned) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const std::string& creatable = CreatableFolder();
    if (!creatable.empty() && file.size() > creatable.size() &&
        file.compare(0, creatable.size(), creatable) == 0 && file[creatable.size()] == '/' &&
        file.find('/', creatable.size() + 1) == std::string::npos) {
        CreateFolder(creatable);
    }
    std::string reason;
    if (!profile::WritePrivateProfileString(section, key, cleaned, file, &reason)) {
        std::fprintf(stderr, "kelvo-snake: cannot write %s: %s\n", file.c_str(), reason.c_str());
    }
}
