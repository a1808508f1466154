// The DirectShow player tests. The folder of encoded test songs comes as
// --songs=FOLDER (a Windows path); gtest's own flags work as usual.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Songs.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    constexpr const char* kSongs = "--songs=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kSongs, std::strlen(kSongs)) == 0) {
            dshowtest::SetSongFolder(argv[i] + std::strlen(kSongs));
        }
    }
    return RUN_ALL_TESTS();
}
