#include "Songs.h"

#include <windows.h>

#include <random>
#include <stdexcept>
#include <string_view>

namespace dshowtest {

namespace {

std::string& SongFolder() {
    static std::string folder;
    return folder;
}

// Wide paths throughout: the unicode song's name has no ANSI spelling.
std::wstring Widen(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
    return wide;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!ok) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

Songs MakeSongs() {
    const std::string& given = SongFolder();
    if (given.empty()) {
        throw std::runtime_error(
            "no song folder: pass --songs=FOLDER holding tone.mp3 and short.mp3");
    }
    Songs songs;
    songs.folder = given;
    // Joined with a backslash, as the program joins folder and file name.
    auto in = [&](std::string_view name) { return songs.folder + "\\" + std::string(name); };
    songs.tone = in("tone.mp3");
    songs.shortTone = in("short.mp3");
    songs.unicode = in("\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F \xE2\x99\xAA.mp3");  // "Песня ♪"
    songs.text = in("notes.mp3");
    songs.empty = in("empty.mp3");
    songs.noise = in("noise.mp3");
    songs.garbage = in("garbage.mp3");
    songs.truncated = in("truncated.mp3");
    songs.missing = in("missing.mp3");

    const std::string tone = ReadFile(songs.tone);
    if (tone.size() < 4096 || ReadFile(songs.shortTone).empty()) {
        throw std::runtime_error("the songs tone.mp3 and short.mp3 are missing in " + songs.folder);
    }
    WriteFile(songs.unicode, tone);
    WriteFile(songs.text, "This is a text file, not a song.\r\n");
    WriteFile(songs.empty, "");
    std::mt19937 random(20030115);
    std::string noise(16384, '\0');
    for (char& c : noise) c = static_cast<char>(random() % 0xFF);
    WriteFile(songs.noise, noise);
    for (char& c : noise) c = static_cast<char>(random() & 0xFF);
    WriteFile(songs.garbage, noise);
    WriteFile(songs.truncated, tone.substr(0, tone.size() / 4));
    DeleteFileW(Widen(songs.missing).c_str());
    return songs;
}

}  // namespace

void SetSongFolder(const std::string& folder) {
    SongFolder() = folder;
}

const Songs& TestSongs() {
    static const Songs songs = MakeSongs();
    return songs;
}

}  // namespace dshowtest
