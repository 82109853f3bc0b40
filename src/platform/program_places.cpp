#include "platform/program_places.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#ifndef KELVO_DATA_FROM_BIN
#define KELVO_DATA_FROM_BIN "../share/kelvo-snake"
#endif

namespace {

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

ProgramPlaces FindProgramPlaces(const std::string& programFolder) {
    ProgramPlaces places;
    places.programFolder = programFolder;
    places.settings =
        ChooseSettingsPlace(programFolder, std::getenv("XDG_CONFIG_HOME"), HomeFolder());
    const std::string beside = programFolder + "/bck.wav";
    const std::filesystem::path installed =
        std::filesystem::path(programFolder) / KELVO_DATA_FROM_BIN / "bck.wav";
    places.music = IsFile(beside) ? beside : installed.lexically_normal().string();
    return places;
}
