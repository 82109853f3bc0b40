// Rewrites all six keys of a settings file in a tight loop until it is killed; the kill test's
// victim. It writes one byte on standard output once its first write is done, so that the
// kills fall while it writes rather than while it starts. Usage: ini_writer FILE FIRST_ROUND
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "settings/ini.h"
#include "settings_rounds.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const std::string file = argv[1];
    bool told = false;
    for (long round = std::atol(argv[2]);; ++round) {
        for (int k = 0; k < kRoundKeyCount; ++k) {
            WriteIni(file, "data", kRoundKeys[k], RoundValue(round, k));
            if (!told) {
                told = ::write(1, "w", 1) == 1;
            }
        }
    }
}
