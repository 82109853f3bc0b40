// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/keys.h"

#include "settings/ini.h"
#include "settings/values.h"

namespace setting {

std::string Read(const std::string& file, const Key& key) {
    return ReadIni(file, kSection, key.name, key.fallback);
}

std::string Shown(const std::string& file, const Key& key) {
    return ReadIni(file, kSection, key.name, "");
}

void Write(const std::string& file, const Key& key, const std::string& value) {
    WriteIni(file, kSection, key.name, value);
}

bool Update(const std::string& file, const Key& key,
            const std::function<std::optional<std::string>(const std::string&)>& decide) {
    return UpdateIni(file, kSection, key.name, key.fallback, decide);
}

void ReportIgnored(const std::string& file, const Key& key, const std::string& value) {
    const std::string accepted = key.accepted != nullptr
                                     ? key.accepted
                                     : "a whole number from " + std::to_string(key.lowest) +
                                           " to " + std::to_string(key.highest);
    ::ReportIgnored(file, key.name, value, accepted.c_str());
}

bool ReadFlag(const std::string& file, const Key& key) {
    const std::string text = Read(file, key);
    if (text == "1" || text == "0") {
        return text == "1";
    }
    ReportIgnored(file, key, text);
    return std::string(key.fallback) == "1";
}

void WriteFlag(const std::string& file, const Key& key, bool on) {
    Write(file, key, on ? "1" : "0");
}

std::optional<bool> ReadChoice(const std::string& file, const Key& key) {
    const std::string text = Read(file, key);
    if (text == "1" || text == "0") {
        return text == "1";
    }
    if (!text.empty()) {
        ReportIgnored(file, key, text);
    }
    return std::nullopt;
}

}  // namespace setting
