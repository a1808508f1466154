#pragma once
// A whole simulated world for the engine: the test runtime on a virtual
// clock, the simulated window system and chat client, the three real chat
// scanners wired to the engine's listeners, and a recording fake of the main
// window. Used by the engine's tests, its fuzz target and its benchmarks.

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "aol/NiteScan.h"
#include "clientsim/SimChatClient.h"
#include "engine/AppState.h"
#include "engine/Engine.h"
#include "engine/Host.h"
#include "platform/Services.h"
#include "platform/sim/SimWindowSystem.h"
#include "tests/support/TestRuntime.h"

namespace enginetest {

// Appends what happens to one shared log, e.g. "MediaPlayer1.Volume -1238".
using CallLog = std::vector<std::string>;

class RecordingMediaPlayer final : public engine::MediaPlayer {
  public:
    explicit RecordingMediaPlayer(CallLog& log) : log_(log) {}
    void OpenAndPlay(const std::string& path) override;
    void TogglePause() override;
    void Stop() override;
    void NextEntry() override;
    void SetVolume(std::int32_t volume) override;
    void SetBalance(std::int32_t balance) override;
    void SetMute(bool mute) override;
    double Length() override { return 0.0; }
    double Position() override { return 0.0; }

  private:
    CallLog& log_;
};

// A file list over folders held in memory. A folder missing from `folders`
// cannot be opened. With `throwOnSetPath` or `throwOnCount` set, those throw.
class MemoryFileList final : public engine::FileList {
  public:
    std::map<std::string, std::vector<std::string>> folders;
    bool throwOnSetPath = false;
    bool throwOnCount = false;

    bool SetPath(const std::string& folder) override;
    std::string Path() const override { return path_; }
    int Count() const override;
    std::string Item(int index) const override;
    int ListIndex() const override { return index_; }
    void SetListIndex(int index) override;
    std::string FileName() const override { return Item(index_); }
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override { visible_ = visible; }

  private:
    std::string path_;
    std::vector<std::string> entries_;
    int index_ = -1;
    bool visible_ = false;
};

// Passes every call on to the window system and writes each WM_SETTEXT into
// the call log as "SETTEXT CLASS TEXT" (UTF-8), so replies ("SETTEXT RICHCNTL"),
// addresses ("SETTEXT Edit") and host calls can be checked in their order.
class RecordingWindows final : public platform::WindowApi {
  public:
    RecordingWindows(platform::sim::SimWindowSystem& windows, CallLog& log)
        : windows_(windows), log_(log) {}
    platform::Hwnd FindWindowA(std::string_view className,
                               std::optional<std::string_view> caption) override {
        return windows_.FindWindowA(className, caption);
    }
    platform::Hwnd FindWindowExA(platform::Hwnd parent, platform::Hwnd childAfter,
                                 std::string_view className,
                                 std::optional<std::string_view> caption) override {
        return windows_.FindWindowExA(parent, childAfter, className, caption);
    }
    platform::LResult SendMessageA(platform::Hwnd window, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam) override;
    bool PostMessageA(platform::Hwnd window, unsigned message, platform::WParam wParam,
                      platform::LParam lParam) override {
        return windows_.PostMessageA(window, message, wParam, lParam);
    }
    int GetWindowTextLengthA(platform::Hwnd window) override {
        return windows_.GetWindowTextLengthA(window);
    }
    int GetWindowTextA(platform::Hwnd window, char* buffer, int maxCount) override {
        return windows_.GetWindowTextA(window, buffer, maxCount);
    }
    std::uint64_t AddChangeListener(std::function<void()> onChange) override {
        return windows_.AddChangeListener(std::move(onChange));
    }
    void RemoveChangeListener(std::uint64_t id) override { windows_.RemoveChangeListener(id); }

    bool recording = true;

  private:
    platform::sim::SimWindowSystem& windows_;
    CallLog& log_;
};

class FakeHost final : public engine::Host {
  public:
    FakeHost(platform::Services& services, engine::AppState& state, CallLog& calls);
    ~FakeHost() override;

    void ShowForm1() override;
    void HideForm1() override;
    void SetForm1WindowState(engine::WindowState state) override;
    int Form1Width() const override { return width_; }
    void SetForm1Width(int twips) override;
    void ShowForm5() override;
    void HideForm5() override;
    void UnloadAndEnd() override;

    void ScanON(engine::Scanner scanner) override;
    void ScanOFF(engine::Scanner scanner) override;
    void SetTimerEnabled(engine::FormTimer timer, bool enabled) override;

    engine::FileList& File1() override { return *fileList; }
    engine::MediaPlayer& MediaPlayer1() override { return player_; }
    void SetSongCaption(const std::string& text) override;
    void MessageBox(const std::string& text) override;

    // The real scanners the switches act on; unset ones are only recorded.
    std::map<engine::Scanner, aol::NiteScan*> scanners;
    // Called on every tick of Timer4 while it runs.
    std::function<void()> onIdleTick;
    std::unique_ptr<engine::FileList> fileList;
    // Every call, in order (shared with the world's window recorder).
    CallLog& calls;

    bool Form1Visible() const { return form1Visible_; }
    bool Form5Visible() const { return form5Visible_; }
    engine::WindowState Form1State() const { return form1State_; }
    bool TimerEnabled(engine::FormTimer timer) const;
    const std::string& SongCaption() const { return songCaption_; }

  private:
    platform::Services& services_;
    engine::AppState& state_;
    RecordingMediaPlayer player_{calls};
    int width_ = engine::kNarrowWidth;
    bool form1Visible_ = true;
    bool form5Visible_ = false;
    engine::WindowState form1State_ = engine::WindowState::Normal;
    std::map<engine::FormTimer, bool> timers_;
    platform::TimerId idleTimer_ = 0;
    std::string songCaption_ = "nothing";
};

struct WorldOptions {
    WorldOptions() { client.timings = clientsim::ClientTimings::Realistic(); }
    std::string handle = "bob";
    // A client that takes time to react, as a real one does.
    clientsim::ClientOptions client;
    // Sends the login line and switches the scanners as start-up does.
    bool startUp = true;
};

class World {
  public:
    explicit World(const WorldOptions& options = {});
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Host calls and texts set into windows, in order, since the world was made.
    CallLog calls;
    testsupport::TestRuntime runtime;
    platform::sim::SimWindowSystem windows{runtime};
    clientsim::SimChatClient client;
    RecordingWindows recorder{windows, calls};
    platform::Services services{recorder, runtime, runtime.random()};
    aol::NiteScan nite1{services};
    aol::NiteScan nite2{services};
    aol::NiteScan nite5{services};
    engine::AppState state;
    FakeHost host{services, state, calls};
    engine::Engine engine{services, host, state};

    MemoryFileList& Files() { return static_cast<MemoryFileList&>(*host.fileList); }

    // The user types `text` into the room; everything runnable then runs.
    // Returns the texts of the lines that reached the room after the typed one.
    std::vector<std::string> Type(const std::string& text);
    // Lets the event loop and the client work off everything due now.
    void Settle();
    // The texts of every room line since the world was made, login excluded.
    std::vector<std::string> RoomTexts() const;
    // What the client saw, in order: "line TEXT", "address ADDR", "im TO|TEXT".
    CallLog clientLog;
    // Lines the scanners reported to the engine, "1|SENDER|TEXT" (scanner number).
    CallLog scanned;

    const std::string& ScreenName() const { return client.ScreenName(); }

    // The status line the engine would send now for (verb, detail).
    std::string Status(const std::string& verb, const std::string& detail) const;

  private:
    std::size_t firstLine_ = 0;
};

}  // namespace enginetest
