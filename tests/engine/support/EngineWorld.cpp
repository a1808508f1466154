#include "EngineWorld.h"

#include <algorithm>

#include "aol/modAol7SendChat.h"
#include "engine/StyledLine.h"
#include "platform/AnsiText.h"

namespace enginetest {

namespace {

const char* ScannerName(engine::Scanner scanner) {
    switch (scanner) {
        case engine::Scanner::NiteScan1:
            return "NiteScan1";
        case engine::Scanner::NiteScan2:
            return "NiteScan2";
        case engine::Scanner::NiteScan5:
            return "NiteScan5";
    }
    return "?";
}

const char* TimerName(engine::FormTimer timer) {
    switch (timer) {
        case engine::FormTimer::Timer2:
            return "Timer2";
        case engine::FormTimer::Timer3:
            return "Timer3";
        case engine::FormTimer::Timer4:
            return "Timer4";
        case engine::FormTimer::Timer5:
            return "Timer5";
        case engine::FormTimer::Timer7:
            return "Timer7";
    }
    return "?";
}

const char* StateName(engine::WindowState state) {
    switch (state) {
        case engine::WindowState::Normal:
            return "Normal";
        case engine::WindowState::Minimized:
            return "Minimized";
        case engine::WindowState::Maximized:
            return "Maximized";
    }
    return "?";
}

}  // namespace

// --- RecordingMediaPlayer -------------------------------------------------------

void RecordingMediaPlayer::OpenAndPlay(const std::string& path) {
    log_.push_back("MediaPlayer1.OpenAndPlay " + path);
}
void RecordingMediaPlayer::TogglePause() {
    log_.push_back("MediaPlayer1.TogglePause");
}
void RecordingMediaPlayer::Stop() {
    log_.push_back("MediaPlayer1.Stop");
}
void RecordingMediaPlayer::NextEntry() {
    log_.push_back("MediaPlayer1.NextEntry");
}
void RecordingMediaPlayer::SetVolume(std::int32_t volume) {
    log_.push_back("MediaPlayer1.Volume " + std::to_string(volume));
}
void RecordingMediaPlayer::SetBalance(std::int32_t balance) {
    log_.push_back("MediaPlayer1.Balance " + std::to_string(balance));
}
void RecordingMediaPlayer::SetMute(bool mute) {
    log_.push_back(std::string("MediaPlayer1.Mute ") + (mute ? "true" : "false"));
}

// --- RecordingWindows --------------------------------------------------------------

platform::LResult RecordingWindows::SendMessageA(platform::Hwnd window, unsigned message,
                                                 platform::WParam wParam, platform::LParam lParam) {
    if (recording && message == platform::WM_SETTEXT && window != 0 && lParam != 0) {
        const char* ansi = reinterpret_cast<const char*>(lParam);
        log_.push_back("SETTEXT " + windows_.ClassName(window) + " " + platform::FromAnsi(ansi));
    }
    return windows_.SendMessageA(window, message, wParam, lParam);
}

// --- MemoryFileList -----------------------------------------------------------------

bool MemoryFileList::SetPath(const std::string& folder) {
    if (throwOnSetPath) throw std::runtime_error("the file list broke");
    const auto found = folders.find(folder);
    if (found == folders.end()) return false;
    path_ = folder;
    entries_ = found->second;
    index_ = -1;
    return true;
}

int MemoryFileList::Count() const {
    if (throwOnCount) throw std::runtime_error("the file list cannot count");
    return static_cast<int>(entries_.size());
}

std::string MemoryFileList::Item(int index) const {
    if (index < 0 || index >= Count()) return {};
    return entries_[static_cast<std::size_t>(index)];
}

void MemoryFileList::SetListIndex(int index) {
    index_ = (index >= 0 && index < Count()) ? index : -1;
}

// --- FakeHost -----------------------------------------------------------------------

FakeHost::FakeHost(platform::Services& services, engine::AppState& state, CallLog& calls)
    : fileList(std::make_unique<MemoryFileList>()),
      calls(calls),
      services_(services),
      state_(state) {}

FakeHost::~FakeHost() {
    if (idleTimer_ != 0) services_.runtime.StopTimer(idleTimer_);
}

void FakeHost::ShowForm1() {
    calls.push_back("Form1.Show");
    form1Visible_ = true;
}

void FakeHost::HideForm1() {
    calls.push_back("Form1.Hide");
    form1Visible_ = false;
}

void FakeHost::SetForm1WindowState(engine::WindowState state) {
    calls.push_back(std::string("Form1.WindowState ") + StateName(state));
    form1State_ = state;
}

void FakeHost::SetForm1Width(int twips) {
    calls.push_back("Form1.Width " + std::to_string(twips));
    width_ = twips;
}

void FakeHost::ShowForm5() {
    calls.push_back("Form5.Show");
    form5Visible_ = true;
}

void FakeHost::HideForm5() {
    calls.push_back("Form5.Hide");
    form5Visible_ = false;
}

void FakeHost::UnloadAndEnd() {
    calls.push_back("Form1.Unload");
    // The unload step of the main window, then the end of the program.
    modAol7SendChat::SendChatLine(services_.windows, engine::BuildLogoutLine(state_));
    services_.runtime.RequestQuit();
}

void FakeHost::ScanON(engine::Scanner scanner) {
    calls.push_back(std::string("ScanON ") + ScannerName(scanner));
    const auto found = scanners.find(scanner);
    if (found != scanners.end() && found->second) found->second->ScanON();
}

void FakeHost::ScanOFF(engine::Scanner scanner) {
    calls.push_back(std::string("ScanOFF ") + ScannerName(scanner));
    const auto found = scanners.find(scanner);
    if (found != scanners.end() && found->second) found->second->ScanOFF();
}

void FakeHost::SetTimerEnabled(engine::FormTimer timer, bool enabled) {
    calls.push_back(std::string(TimerName(timer)) + ".Enabled " + (enabled ? "true" : "false"));
    timers_[timer] = enabled;
    if (timer != engine::FormTimer::Timer4) return;
    // A timer switched on starts a fresh interval, even when it was running.
    if (idleTimer_ != 0) {
        services_.runtime.StopTimer(idleTimer_);
        idleTimer_ = 0;
    }
    if (enabled) {
        idleTimer_ = services_.runtime.StartTimer(platform::Millis{60000}, [this] {
            if (onIdleTick) onIdleTick();
        });
    }
}

bool FakeHost::TimerEnabled(engine::FormTimer timer) const {
    const auto found = timers_.find(timer);
    return found != timers_.end() && found->second;
}

void FakeHost::SetSongCaption(const std::string& text) {
    calls.push_back("Label21.Caption " + text);
    songCaption_ = text;
}

void FakeHost::MessageBox(const std::string& text) {
    calls.push_back("MessageBox " + text);
    services_.runtime.MessageBox(text, "moonrake ruze \u00B2");
}

// --- World ----------------------------------------------------------------------------

World::World(const WorldOptions& options) : client(windows, runtime, options.client) {
    host.scanners = {{engine::Scanner::NiteScan1, &nite1},
                     {engine::Scanner::NiteScan2, &nite2},
                     {engine::Scanner::NiteScan5, &nite5}};
    host.onIdleTick = [this] { engine.HandleIdleTick(); };
    nite1.SetChatLineHandler([this](const std::string& who, const std::string& text) {
        scanned.push_back("1|" + who + "|" + text);
        engine.HandleCommandLine(who, text);
    });
    nite2.SetChatLineHandler([this](const std::string& who, const std::string& text) {
        scanned.push_back("2|" + who + "|" + text);
        engine.HandleReenableLine(who, text);
    });
    nite5.SetChatLineHandler([this](const std::string& who, const std::string& text) {
        scanned.push_back("5|" + who + "|" + text);
        engine.HandleIdleLine(who, text);
    });
    clientsim::ClientObserver observer;
    observer.onRoomLine = [this](const clientsim::RoomLine& line) {
        clientLog.push_back("line " + line.text);
    };
    observer.onAddress = [this](const std::string& address) {
        clientLog.push_back("address " + address);
    };
    observer.onInstantMessage = [this](const clientsim::InstantMessage& im) {
        clientLog.push_back("im " + im.to + "|" + im.text);
    };
    client.SetObserver(std::move(observer));

    client.SignOn();
    state.handle = options.handle;
    if (options.startUp) {
        modAol7SendChat::SendChatLine(windows, engine::BuildLoginLine(state));
        host.ScanON(engine::Scanner::NiteScan5);
        host.ScanON(engine::Scanner::NiteScan1);
        host.ScanOFF(engine::Scanner::NiteScan2);
    }
    Settle();
    firstLine_ = client.Transcript().size();
    calls.clear();
    clientLog.clear();
    scanned.clear();
}

World::~World() = default;

void World::Settle() {
    // The client's reactions take virtual time: let it pass until the client
    // has nothing left to do (bounded, for a client that keeps itself busy).
    runtime.RunUntilIdle();
    for (int i = 0; i < 1'000'000 && !runtime.QuitRequested(); ++i) {
        auto due = windows.NextDue();
        if (!due) break;
        runtime.Advance(std::max(*due - runtime.Monotonic(), platform::Millis{0}));
    }
    runtime.RunUntilIdle();
    // Once the program has ended, the client still does what it was asked.
    if (runtime.QuitRequested()) windows.Finish();
}

std::vector<std::string> World::Type(const std::string& text) {
    const std::size_t mark = client.Transcript().size();
    client.Type(text);
    Settle();
    const auto& transcript = client.Transcript();
    std::vector<std::string> lines;
    std::size_t i = mark;
    if (i < transcript.size() && transcript[i].sender == client.ScreenName() &&
        transcript[i].text == text) {
        ++i;  // the typed line itself
    }
    for (; i < transcript.size(); ++i) lines.push_back(transcript[i].text);
    return lines;
}

std::vector<std::string> World::RoomTexts() const {
    std::vector<std::string> lines;
    const auto& transcript = client.Transcript();
    for (std::size_t i = firstLine_; i < transcript.size(); ++i)
        lines.push_back(transcript[i].text);
    return lines;
}

std::string World::Status(const std::string& verb, const std::string& detail) const {
    return engine::BuildStatusLine(state, verb, detail);
}

}  // namespace enginetest
