// The windowed moonrake.exe end to end. The program comes as
// --moonrake=PATH (else the build tree's app\moonrake.exe) and the folder of
// test songs as --songs=FOLDER, both Windows paths; gtest's own flags work as
// usual.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/windows_e2e/ProgramProcess.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    constexpr const char* kProgram = "--moonrake=";
    constexpr const char* kSongs = "--songs=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kProgram, std::strlen(kProgram)) == 0) {
            e2e::SetProgramPath(argv[i] + std::strlen(kProgram));
        } else if (std::strncmp(argv[i], kSongs, std::strlen(kSongs)) == 0) {
            e2e::SetSongFolder(argv[i] + std::strlen(kSongs));
        }
    }
    return RUN_ALL_TESTS();
}
