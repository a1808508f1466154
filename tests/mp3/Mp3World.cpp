#include "Mp3World.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <thread>

#include "TestSongs.h"
#include "engine/StyledLine.h"

namespace mp3test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// 130 buffers of 1024 samples at 44.1 kHz: about three seconds, long enough
// to outlast every real wait of a test.
constexpr int kSongBuffers = 130;

fs::path MakeTemporaryFolder(const char* prefix) {
    std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("no temporary folder");
    return fs::path(buffer.data());
}

// The one song every test copies; encoded on first use.
struct EncodedSong {
    fs::path folder = MakeTemporaryFolder("mp3-song");
    fs::path path = folder / "tone.mp3";

    EncodedSong() {
        if (!mediatest::MakeToneMp3(path.string(), kSongBuffers, 2)) {
            throw std::runtime_error("GStreamer could not encode the test song");
        }
    }
    ~EncodedSong() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

const fs::path& SongFile() {
    static EncodedSong song;
    return song.path;
}

}  // namespace

FileSpec Song(const std::string& name) {
    return {name, true, {}};
}

FileSpec TextFile(const std::string& name, const std::string& text) {
    return {name, false, text};
}

double SongSeconds() {
    return kSongBuffers * 1024 / 44100.0;
}

Mp3World::Mp3World() : root_(MakeTemporaryFolder("mp3-tests")) {
    SongFile();  // encode before any timing starts
    client.SignOn();
}

Mp3World::~Mp3World() {
    form_.reset();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

forms::Form1& Mp3World::Start(const std::string& handle) {
    runtime.promptAnswers = {handle};
    form_ = std::make_unique<forms::Form1>(
        services, player, frontEnd,
        forms::Form1Options{[this](const std::string& line) { trace_.push_back(line); }});
    form_->Load();
    runtime.RunUntilIdle();
    trace_.clear();
    return *form_;
}

std::string Mp3World::MakeFolder(const std::string& name, const std::vector<FileSpec>& files) {
    const fs::path folder = root_ / name;
    fs::create_directories(folder);
    for (const FileSpec& file : files) {
        if (file.song) {
            fs::copy_file(SongFile(), folder / file.name, fs::copy_options::overwrite_existing);
        } else {
            std::ofstream(folder / file.name, std::ios::binary) << file.text;
        }
    }
    return folder.string();
}

std::string Mp3World::PathIn(const std::string& relative) const {
    return (root_ / relative).string();
}

std::vector<std::string> Mp3World::Say(const std::string& line) {
    const std::size_t before = client.Transcript().size();
    client.Type(line);
    runtime.RunUntilIdle();
    const auto& transcript = client.Transcript();
    std::vector<std::string> replies;
    if (transcript.size() <= before || transcript[before].text != line) {
        replies.push_back("(the typed line did not reach the room)");
        return replies;
    }
    for (std::size_t i = before + 1; i < transcript.size(); ++i) {
        replies.push_back(transcript[i].text);
    }
    return replies;
}

std::string Mp3World::Reply(const std::string& verb, const std::string& detail) const {
    return engine::BuildStatusLine(form_->State(), verb, detail);
}

std::vector<std::string> Mp3World::TakeTrace() {
    std::vector<std::string> taken;
    taken.swap(trace_);
    return taken;
}

std::vector<std::string> Mp3World::TakePlayerTrace() {
    std::vector<std::string> player;
    for (std::string& line : TakeTrace()) {
        if (line.rfind("MediaPlayer1.", 0) == 0) player.push_back(std::move(line));
    }
    return player;
}

bool Mp3World::WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    const auto deadline = Clock::now() + bound;
    for (;;) {
        runtime.Advance(10ms);
        if (done()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
}

void Mp3World::Spend(std::chrono::milliseconds realTime) {
    WaitUntil([] { return false; }, realTime);
}

bool Mp3World::WaitForPlayback(double seconds) {
    return WaitUntil([&] { return player.Length() > 0 && player.Position() >= seconds; }, 800ms);
}

bool IsRotationOf(const std::string& text, const std::string& original) {
    return text.size() == original.size() && (original + original).find(text) != std::string::npos;
}

}  // namespace mp3test
