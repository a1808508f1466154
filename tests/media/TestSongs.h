#pragma once
// Songs for the player tests, made by GStreamer when the tests start (a tone
// encoded as mp3), plus files that must not play. Nothing binary is kept in
// the repository.

#include <string>

namespace mediatest {

struct TestSongs {
    std::string folder;     // holds every file below
    std::string tone;       // stereo, about 1.5 s
    std::string shortTone;  // about 0.3 s, for reaching the end
    std::string text;       // a text file named .mp3
    std::string empty;      // an empty file named .mp3
    std::string truncated;  // the head of tone: headers and a frame or two
    std::string missing;    // a path that does not exist
};

// Made on first use; the folder is removed when the program ends.
const TestSongs& Songs();

// Encodes `buffers` buffers of 1024 samples of tone (44.1 kHz) as an mp3
// with a Xing header and an ID3v2 tag. False when GStreamer cannot.
bool MakeToneMp3(const std::string& path, int buffers, int channels);

}  // namespace mediatest
