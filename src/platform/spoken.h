// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What a screen reader is given for words the screen shows.
#pragma once

#include <string>

namespace platform {

// The shown words, with "none" after a line that ends in a colon: before any score is kept,
// "High Score Is: " shows a blank after its colon, which a screen reader would read as nothing.
inline std::string SpokenWords(const std::string& shown) {
    std::string spoken;
    size_t start = 0;
    while (start <= shown.size()) {
        size_t end = shown.find('\n', start);
        if (end == std::string::npos) {
            end = shown.size();
        }
        std::string line = shown.substr(start, end - start);
        const size_t last = line.find_last_not_of(' ');
        if (last != std::string::npos && line[last] == ':') {
            line = line.substr(0, last + 1) + " none";
        }
        spoken += (start == 0 ? "" : "\n") + line;
        start = end + 1;
    }
    return spoken;
}

}  // namespace platform
