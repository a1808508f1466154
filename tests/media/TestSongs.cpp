#include "TestSongs.h"

#include <gst/gst.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace mediatest {

namespace fs = std::filesystem;

bool MakeToneMp3(const std::string& path, int buffers, int channels) {
    gst_init(nullptr, nullptr);
    const std::string description =
        "audiotestsrc num-buffers=" + std::to_string(buffers) +
        " ! audio/x-raw,rate=44100,channels=" + std::to_string(channels) +
        " ! audioconvert ! lamemp3enc ! xingmux ! id3v2mux ! filesink location=\"" + path + "\"";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (pipeline == nullptr || error != nullptr) {
        g_clear_error(&error);
        if (pipeline != nullptr) gst_object_unref(pipeline);
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(
        bus, 20 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = end != nullptr && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end != nullptr) gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

struct SongFolder {
    TestSongs songs;

    SongFolder() {
        std::string pattern = (fs::temp_directory_path() / "media-tests-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("no temporary folder");
        const fs::path folder(buffer.data());
        songs.folder = folder.string();
        songs.tone = (folder / "tone.mp3").string();
        songs.shortTone = (folder / "short.mp3").string();
        songs.text = (folder / "notes.mp3").string();
        songs.empty = (folder / "empty.mp3").string();
        songs.truncated = (folder / "truncated.mp3").string();
        songs.missing = (folder / "missing.mp3").string();

        if (!MakeToneMp3(songs.tone, 65, 2) || !MakeToneMp3(songs.shortTone, 13, 2)) {
            throw std::runtime_error("GStreamer could not encode the test songs");
        }
        WriteFile(songs.text, "This is a text file, not a song.\n");
        WriteFile(songs.empty, "");
        // The first quarter: the headers still promise the whole song.
        std::ifstream in(songs.tone, std::ios::binary);
        std::string head(fs::file_size(songs.tone) / 4, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(in.gcount()));
        WriteFile(songs.truncated, head);
    }
    ~SongFolder() {
        std::error_code ignored;
        fs::remove_all(songs.folder, ignored);
    }
};

}  // namespace

const TestSongs& Songs() {
    static SongFolder folder;
    return folder.songs;
}

}  // namespace mediatest
