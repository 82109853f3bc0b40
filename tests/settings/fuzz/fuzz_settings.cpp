// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the settings store. An input is a file's bytes and a sequence of reads and
// writes decoded from the rest; after every write the target checks that the key reads back as
// the value the reading rules give, that every other key reads as before, and that refused names
// leave the file as it was.
//
// Input: 2 bytes file length (little endian), the file's bytes, then operations. An operation is
// one byte (bit 0: write; bits 1-3: section, bits 4-7: key; high choices mean a name taken from
// the input), each such name as a length byte and bytes, and for a write the value: a length
// byte (255: two more bytes of length) and its bytes.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "settings/ini.h"
#include "settings/profile.h"

namespace {

class Input {
  public:
    Input(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return Empty() ? 0 : data_[at_++]; }
    std::string Bytes(size_t n) {
        n = std::min(n, size_ - std::min(at_, size_));
        std::string s(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return s;
    }

  private:
    const std::uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

const char* const kSections[] = {"data", "Data", "other", " x y "};
const char* const kKeys[] = {"lvl", "LVL", "score", "ask", " k ", "a;b", "res", "scolor"};

std::string Pick(Input& in, unsigned choice, const char* const* pool, unsigned poolSize) {
    if (choice < poolSize) {
        return pool[choice];
    }
    return in.Bytes(in.Byte() % 24);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsBlank(s[b])) {
        ++b;
    }
    while (e > b && IsBlank(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return s;
}

bool SameName(const std::string& a, const std::string& b) {
    return Lower(Trim(a)) == Lower(Trim(b));
}

// What ReadIni gives back after WriteIni(value): the C string up to a NUL, line breaks as blanks,
// surrounding blanks and one pair of matching quotes dropped, at most 254 characters.
std::string ReadBack(std::string value) {
    value = value.substr(0, value.find('\0'));
    for (char& c : value) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return profile::NormaliseValue(value).substr(0, 254);
}

[[noreturn]] void Fail(const char* what, const std::string& section, const std::string& key,
                       const std::string& want, const std::string& got) {
    std::fprintf(stderr, "%s: [%s] %s: wanted \"%s\", read \"%s\"\n", what, section.c_str(),
                 key.c_str(), want.c_str(), got.c_str());
    std::abort();
}

const std::string& File() {
    // In memory where the machine has it: every write is flushed to disk, which would make
    // the fuzzer a hundred times slower on a real disk.
    static const std::string file = [] {
        char pattern[] = "/dev/shm/kelvo-fuzz-XXXXXX";
        if (::access("/dev/shm", W_OK) != 0) {
            std::strcpy(pattern, "/tmp/kelvo-fuzz-XXXXXX");
        }
        const char* dir = ::mkdtemp(pattern);
        return std::string(dir ? dir : "/tmp") + "/data.ini";
    }();
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    Input in(data, size);
    const size_t length = in.Byte() | (in.Byte() << 8);
    const std::string contents = in.Bytes(length);
    const std::string& file = File();
    if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
        std::fwrite(contents.data(), 1, contents.size(), f);
        std::fclose(f);
    }
    // Every name used so far, to check that a write leaves the others alone.
    std::vector<std::pair<std::string, std::string>> names;
    for (int ops = 0; !in.Empty() && ops < 64; ++ops) {
        const std::uint8_t op = in.Byte();
        const std::string section = Pick(in, (op >> 1) & 7, kSections, 4);
        const std::string key = Pick(in, op >> 4, kKeys, 8);
        if (std::find(names.begin(), names.end(), std::pair{section, key}) == names.end()) {
            names.emplace_back(section, key);
        }
        if ((op & 1) == 0) {
            (void)ReadIni(file, section, key, "default");
            continue;
        }
        size_t valueLength = in.Byte();
        if (valueLength == 255) {
            valueLength = in.Byte() | (in.Byte() << 8);
        }
        const std::string value = in.Bytes(valueLength);
        std::vector<std::string> before;
        for (const auto& [s, k] : names) {
            before.push_back(ReadIni(file, s, k, "\x01missing"));
        }
        WriteIni(file, section, key, value);
        const bool storable =
            profile::IsStorableName(section, true) && profile::IsStorableName(key, false);
        for (size_t i = 0; i < names.size(); ++i) {
            const auto& [s, k] = names[i];
            const std::string now = ReadIni(file, s, k, "\x01missing");
            if (storable && SameName(s, section) && SameName(k, key)) {
                if (now != ReadBack(value)) {
                    Fail("written key", s, k, ReadBack(value), now);
                }
            } else if (now != before[i]) {
                Fail("other key changed", s, k, before[i], now);
            }
        }
    }
    return 0;
}
