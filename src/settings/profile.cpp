// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <optional>
#include <vector>

#include "settings/atomic_file.h"
#include "settings/report.h"
#include "settings/store_lock.h"
#include "settings/text.h"

namespace profile {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One line of the file: its bytes without the line end, and the line end itself ("\r\n", "\n",
// "\r" or "" for a last line without one).
struct Line {
    std::string text;
    std::string eol;
};

enum class Kind { Other, Section, Key };

// What a line means to a reader.
struct Meaning {
    Kind kind = Kind::Other;
    std::string_view name;      // section or key name, trimmed
    std::string_view rawValue;  // for keys: everything after the first '='
    size_t equalsPos = 0;       // for keys: index of the first '=' in the line's text
};

std::vector<Line> SplitLines(const std::string& contents) {
    std::vector<Line> lines;
    size_t start = 0;
    const size_t n = contents.size();
    while (start < n) {
        size_t end = start;
        while (end < n && contents[end] != '\r' && contents[end] != '\n') {
            ++end;
        }
        Line line{contents.substr(start, end - start), ""};
        if (end < n) {
            const bool crlf = contents[end] == '\r' && end + 1 < n && contents[end + 1] == '\n';
            line.eol = crlf ? "\r\n" : contents.substr(end, 1);
        }
        start = end + line.eol.size();
        lines.push_back(std::move(line));
    }
    return lines;
}

Meaning Interpret(const Line& line, bool firstLine) {
    std::string_view text = line.text;
    size_t offset = 0;
    if (firstLine && text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        offset = kByteOrderMark.size();
    }
    const std::string_view body = text.substr(offset);
    const std::string_view trimmed = TrimBlanks(body);
    Meaning m;
    if (trimmed.empty() || trimmed.front() == ';') {
        return m;
    }
    if (trimmed.front() == '[') {
        const size_t close = trimmed.find(']');
        if (close != std::string_view::npos) {
            m.kind = Kind::Section;
            m.name = TrimBlanks(trimmed.substr(1, close - 1));
            return m;
        }
    }
    const size_t eq = body.find('=');
    if (eq == std::string_view::npos) {
        return m;
    }
    m.kind = Kind::Key;
    m.name = TrimBlanks(body.substr(0, eq));
    m.rawValue = body.substr(eq + 1);
    m.equalsPos = offset + eq;
    return m;
}

// Where a key lives in the parsed file.
struct Location {
    std::optional<size_t> sectionLine;  // header of the first section with the name
    std::optional<size_t> keyLine;      // first line of the key within that section
    std::optional<size_t> lastKeyLine;  // last key line of that section
};

Location Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location loc;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Meaning m = Interpret(lines[i], i == 0);
        if (m.kind == Kind::Section) {
            if (loc.sectionLine) {
                break;  // the section ends at the next header
            }
            if (SameIgnoringCase(m.name, section)) {
                loc.sectionLine = i;
            }
        } else if (m.kind == Kind::Key && loc.sectionLine) {
            loc.lastKeyLine = i;
            if (!loc.keyLine && SameIgnoringCase(m.name, key)) {
                loc.keyLine = i;
            }
        }
    }
    return loc;
}

// Anything but a regular file named like the settings file (a FIFO, a socket, a device) reads
// as missing and is never opened, as opening it could block; one line says so, once a file.
bool IsOddFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
        return false;
    }
    SayOnce("kelvo-snake: %s is not a regular file: nothing is read from it or written to it\n",
            path);
    return true;
}

// No settings file comes near this; a larger file is something else, or an attack.
constexpr off_t kLargestFile = 1 << 20;
const char* const kTooLarge = "larger than 1 MiB";

// Reads the whole file; nullopt when it is missing, not a regular file, unreadable or larger
// than kLargestFile (which one line says, once a file).
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error) {
    if (IsOddFile(path)) {
        if (error) {
            *error = "not a regular file";
        }
        return std::nullopt;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (error) {
            *error = std::strerror(errno);
        }
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error) {
            *error = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        }
        ::close(fd);
        return std::nullopt;
    }
    std::string contents;
    for (;;) {
        if (st.st_size > kLargestFile || contents.size() > static_cast<size_t>(kLargestFile)) {
            SayOnce(
                "kelvo-snake: %s is larger than 1 MiB, which no settings file is: it reads "
                "as missing and is never written\n",
                path);
            if (error) {
                *error = kTooLarge;
            }
            ::close(fd);
            return std::nullopt;
        }
        char chunk[65536];
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            if (error) {
                *error = std::strerror(errno);
            }
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        contents.append(chunk, static_cast<size_t>(got));
    }
    ::close(fd);
    return contents;
}

std::string Join(const std::vector<Line>& lines) {
    std::string out;
    for (const Line& line : lines) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

std::string LineEndStyle(const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        if (!line.eol.empty()) {
            return line.eol;
        }
    }
    return "\n";
}

}  // namespace

std::string NormaliseValue(const std::string& raw) {
    std::string_view v = TrimBlanks(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return std::string(v);
}

bool IsStorableName(const std::string& name, bool isSection) {
    const std::string_view trimmed = TrimBlanks(name);
    if (trimmed.empty() || name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
        return false;
    }
    if (isSection) {
        return trimmed.find(']') == std::string_view::npos;
    }
    return trimmed.find('=') == std::string_view::npos && trimmed.front() != ';' &&
           trimmed.front() != '[';
}

int GetPrivateProfileString(const std::string& section, const std::string& key,
                            const std::string& defaultValue, char* buffer, int size,
                            const std::string& file) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    // The default loses its trailing blanks, as the platform's function's does.
    std::string result = defaultValue;
    while (!result.empty() && IsBlank(result.back())) {
        result.pop_back();
    }
    const std::string_view wantedSection = TrimBlanks(section);
    const std::string_view wantedKey = TrimBlanks(key);
    if (!wantedSection.empty() && !wantedKey.empty()) {
        // A write in place is never seen half done. Where another program holds the lock, the
        // file is read all the same rather than waited for: a write replaces it whole.
        const StoreLock lock(file, false, false);
        try {
            if (const auto contents = ReadWholeFile(file, nullptr)) {
                const std::vector<Line> lines = SplitLines(*contents);
                const Location loc = Locate(lines, wantedSection, wantedKey);
                if (loc.keyLine) {
                    const Meaning m = Interpret(lines[*loc.keyLine], *loc.keyLine == 0);
                    result = NormaliseValue(std::string(m.rawValue));
                }
            }
        } catch (const std::bad_alloc&) {
            // Out of memory: the default, as for a file that cannot be read.
        }
    }
    const size_t count = std::min(result.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, result.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

namespace {

// The write itself, with the folder's lock held. `decide` gets the value stored now (or
// defaultValue) and says what to store, or nothing.
bool WriteLocked(const std::string& section, const std::string& key,
                 const std::string& defaultValue,
                 const std::function<std::optional<std::string>(const std::string&)>& decide,
                 const std::string& file, bool* stored, std::string* error) {
    *stored = false;
    auto fail = [error](const std::string& reason) {
        if (error) {
            *error = reason;
        }
        return false;
    };
    if (!IsStorableName(section, true)) {
        return fail("section name \"" + section + "\" cannot be stored");
    }
    if (!IsStorableName(key, false)) {
        return fail("key name \"" + key + "\" cannot be stored");
    }
    std::vector<Line> lines;
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0) {
        std::string readError;
        const auto contents = ReadWholeFile(file, &readError);
        if (!contents) {
            // Unreadable: it reads as the default, and only a store that is wanted fails. Of
            // a file too large the reading has said so already.
            return !decide(defaultValue) || fail(readError == kTooLarge ? "" : readError);
        }
        lines = SplitLines(*contents);
    } else if (errno != ENOENT) {
        return fail(std::strerror(errno));
    }

    const std::string eol = LineEndStyle(lines);
    const std::string_view sectionName = TrimBlanks(section);
    const std::string_view keyName = TrimBlanks(key);
    const Location loc = Locate(lines, sectionName, keyName);
    const std::string current =
        loc.keyLine ? NormaliseValue(
                          std::string(Interpret(lines[*loc.keyLine], *loc.keyLine == 0).rawValue))
                    : defaultValue;
    const std::optional<std::string> value = decide(current);
    if (!value) {
        return true;
    }
    // The value ends at its first NUL, as a C string would.
    const std::string storedValue = value->substr(0, value->find('\0'));
    if (storedValue.find_first_of("\r\n") != std::string::npos) {
        return fail("a value with a line break cannot be stored");
    }
    if (loc.keyLine) {
        Line& line = lines[*loc.keyLine];
        const Meaning m = Interpret(line, *loc.keyLine == 0);
        line.text = line.text.substr(0, m.equalsPos + 1) + storedValue;
    } else {
        std::vector<Line> added;
        if (!loc.sectionLine) {
            added.push_back({"[" + std::string(sectionName) + "]", eol});
        }
        added.push_back({std::string(keyName) + "=" + storedValue, eol});
        size_t insertAt = lines.size();
        if (loc.sectionLine) {
            insertAt = loc.lastKeyLine.value_or(*loc.sectionLine) + 1;
        }
        if (insertAt > 0 && lines[insertAt - 1].eol.empty()) {
            lines[insertAt - 1].eol = eol;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(),
                     added.end());
    }
    std::string writeError;
    if (!StoreFile(file, Join(lines), &writeError)) {
        return fail(writeError);
    }
    *stored = true;
    return true;
}

}  // namespace

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file,
                               std::string* error) {
    bool stored = false;
    return UpdatePrivateProfileString(
        section, key, "",
        [&value](const std::string&) { return std::optional<std::string>(value); }, file, &stored,
        error);
}

bool UpdatePrivateProfileString(
    const std::string& section, const std::string& key, const std::string& defaultValue,
    const std::function<std::optional<std::string>(const std::string&)>& decide,
    const std::string& file, bool* stored, std::string* error, bool* busy) {
    const StoreLock lock(file, true, busy == nullptr);
    if (busy != nullptr) {
        *busy = lock.busy();
        if (lock.busy()) {
            *stored = false;
            return false;
        }
    }
    try {
        return WriteLocked(section, key, defaultValue, decide, file, stored, error);
    } catch (const std::bad_alloc&) {
        *stored = false;
        if (error) {
            *error = std::strerror(ENOMEM);
        }
        return false;
    }
}

}  // namespace profile
