#include "settings/report.h"

#include <cstdio>
#include <set>
#include <utility>

namespace profile {

void SayOnce(const char* format, const std::string& path) {
    static std::set<std::pair<const char*, std::string>> said;
    if (said.insert({format, path}).second) {
        std::fprintf(stderr, format, path.c_str());
    }
}

}  // namespace profile
