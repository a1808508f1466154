#pragma once
// The files the player tests play. The songs themselves are encoded on the
// build machine before the tests start (scripts/test-windows makes them with
// GStreamer; nothing binary is kept in the repository) and the folder is
// named on the command line. The files that must not play are written here,
// next to them, when the tests start.

#include <string>

namespace dshowtest {

struct Songs {
    std::string folder;     // holds every file below (UTF-8, as the program passes paths)
    std::string tone;       // stereo tone, 130 buffers of 1024 samples: about 3 s
    std::string shortTone;  // 13 buffers: about 0.3 s, for reaching the end in real time
    std::string unicode;    // a copy of tone under a name outside the ANSI code page
    std::string text;       // a text file named .mp3
    std::string empty;      // an empty file named .mp3
    std::string noise;      // random bytes with no 0xFF, so nothing that starts an mp3 frame
    std::string garbage;    // random bytes of every value: may hold what looks like frames
    std::string truncated;  // the first quarter of tone: its headers promise the rest
    std::string missing;    // a path that does not exist
};

// Where the encoded songs are; set from the command line before any test.
void SetSongFolder(const std::string& folder);

// Made on first use; throws when the folder or its songs are missing.
const Songs& TestSongs();

}  // namespace dshowtest
