#include "engine/Engine.h"

#include <charconv>
#include <exception>
#include <limits>
#include <optional>

#include "aol/ClientWindows.h"
#include "aol/modAol7SendChat.h"
#include "aol/modAolTools.h"
#include "engine/FileList.h"
#include "engine/Numbers.h"
#include "engine/StyledLine.h"
#include "platform/Failure.h"

namespace engine {

namespace {

// Thrown to leave a walk at once once the program has been asked to end; it
// is caught silently where the event entered the engine.
struct QuitUnwind {};

// The decimal text of `text` plus one; an unreadable count starts from 0.
std::string CountUp(const std::string& text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) value = 0;
    if (value < 0 || value == std::numeric_limits<long long>::max()) value = 0;
    return std::to_string(value + 1);
}

}  // namespace

// clang-format off
const Engine::Entry Engine::kCommandTable[] = {
    {"dfa",  Argument::Optional, &Engine::DefaultStyle},
    {"ac",   Argument::Required, &Engine::SetAsciiColor},
    {"la",   Argument::Required, &Engine::SetLeftAscii},
    {"ma",   Argument::Required, &Engine::SetMiddleAscii},
    {"ft",   Argument::Required, &Engine::SetFontFace},
    {"fc",   Argument::Required, &Engine::SetFontColor},
    {"imon", Argument::Optional, &Engine::InstantMessagesOn},
    {"imof", Argument::Optional, &Engine::InstantMessagesOff},
    {"sim",  Argument::Required, &Engine::SendInstantMessageTo},
    {"fulv", Argument::Optional, &Engine::FullVersion},
    {"minv", Argument::Optional, &Engine::MiniVersion},
    {"dis",  Argument::Optional, &Engine::Disable},
    {"min",  Argument::Optional, &Engine::Minimize},
    {"res",  Argument::Optional, &Engine::Restore},
    {"e",    Argument::Optional, &Engine::Exit},
    {"tr",   Argument::Required, &Engine::SetTrigger},
    {"com",  Argument::Required, &Engine::ViewCom},
    {"org",  Argument::Required, &Engine::ViewOrg},
    {"net",  Argument::Required, &Engine::ViewNet},
    {"pr",   Argument::Required, &Engine::EnterPrivateRoom},
    {"h",    Argument::Required, &Engine::SetHandle},
    {"3pm",  Argument::Optional, &Engine::HideMp3s},
    {"mp3",  Argument::Optional, &Engine::ShowMp3s},
    {"d",    Argument::Required, &Engine::SetDirectory},
    {"r",    Argument::Optional, &Engine::PlayRandom},
    {"stp",  Argument::Optional, &Engine::StopSong},
    {"mu",   Argument::Optional, &Engine::Mute},
    {"um",   Argument::Optional, &Engine::Unmute},
    {"pa",   Argument::Optional, &Engine::PauseSong},
    {"up",   Argument::Optional, &Engine::UnpauseSong},
    {"p",    Argument::Required, &Engine::PlayNamed},
    {"v",    Argument::Required, &Engine::SetVolume},
    {"b",    Argument::Required, &Engine::SetBalance},
};

const Engine::Entry Engine::kReenableTable[] = {
    {"en", Argument::Optional, &Engine::Enable},
};

const Engine::Entry Engine::kIdleTable[] = {
    {"i",  Argument::Required, &Engine::GoIdle},
    {"cr", Argument::Required, &Engine::ChangeIdleReason},
    {"io", Argument::Optional, &Engine::IdleOff},
};
// clang-format on

Engine::Engine(platform::Services& services, Host& host, AppState& state)
    : services_(services), host_(host), state_(state) {}

// --- where events enter -----------------------------------------------------

namespace {

template <typename Body>
void AtEventBoundary(platform::Runtime& runtime, const char* where, Body&& body) {
    if (runtime.QuitRequested()) return;
    try {
        body();
    } catch (const QuitUnwind&) {
        // The program is ending; nothing more of this walk runs.
    } catch (...) {
        platform::ReportCurrentException(where);
    }
}

}  // namespace

void Engine::HandleCommandLine(const std::string& screenName, const std::string& text) {
    AtEventBoundary(services_.runtime, "command line", [&] {
        PreparedLine line;
        if (!PrepareOwnLine(screenName, text, line)) return;
        Walk(kCommandTable, std::size(kCommandTable), line);
    });
}

void Engine::HandleReenableLine(const std::string& screenName, const std::string& text) {
    AtEventBoundary(services_.runtime, "re-enable line", [&] {
        PreparedLine line;
        if (!PrepareOwnLine(screenName, text, line)) return;
        Walk(kReenableTable, std::size(kReenableTable), line);
    });
}

void Engine::HandleIdleLine(const std::string& screenName, const std::string& text) {
    AtEventBoundary(services_.runtime, "idle line", [&] {
        PreparedLine line;
        if (!PrepareOwnLine(screenName, text, line)) return;
        Walk(kIdleTable, std::size(kIdleTable), line);
    });
}

void Engine::HandleIdleTick() {
    AtEventBoundary(services_.runtime, "idle tick", [&] {
        Reply("is idle", state_.idleReason);
        modAolTools::Pause(services_.runtime, 1);
        StopIfQuitting();
        Reply("has been idle for", state_.idleMinutes + " min's");
        state_.idleMinutes = CountUp(state_.idleMinutes);
    });
}

void Engine::WalkCommandTable(const PreparedLine& line) {
    AtEventBoundary(services_.runtime, "command line",
                    [&] { Walk(kCommandTable, std::size(kCommandTable), line); });
}

// --- the walk -----------------------------------------------------------------

bool Engine::PrepareOwnLine(const std::string& screenName, const std::string& text,
                            PreparedLine& line) {
    if (modAolTools::GetOwnScreenName(services_.windows) != screenName) return false;
    line = PrepareLine(text);
    state_.roomName = modAolTools::GetWindowCaption(services_.windows,
                                                    modAolTools::FindChatRoom(services_.windows));
    return true;
}

bool Engine::Matches(const char* word, const PreparedLine& line) const {
    // The trigger is read afresh for every test: an earlier entry of the same
    // walk may have changed it.
    const std::string& trigger = state_.trigger;
    const std::string& command = line.commandWord;
    const std::string_view entry(word);
    return command.size() == trigger.size() + entry.size() &&
           command.compare(0, trigger.size(), trigger) == 0 &&
           command.compare(trigger.size(), entry.size(), entry) == 0;
}

void Engine::Walk(const Entry* entries, std::size_t count, const PreparedLine& line) {
    for (std::size_t i = 0; i < count; ++i) {
        const Entry& entry = entries[i];
        if (!Matches(entry.word, line)) continue;
        if (entry.argument == Argument::Required && line.argument.empty()) continue;
        (this->*entry.handler)(line.argument);
        StopIfQuitting();
    }
}

void Engine::Reply(const std::string& verb, const std::string& detail) {
    modAol7SendChat::SendChatLine(services_.windows, BuildStatusLine(state_, verb, detail));
}

void Engine::StopIfQuitting() const {
    if (services_.runtime.QuitRequested()) throw QuitUnwind{};
}

// --- style --------------------------------------------------------------------

void Engine::DefaultStyle(const std::string&) {
    state_.middleAscii = "\u203A";
    state_.leftAscii = "\u00BB\u00B8";
    state_.fontColor = "AAAAAA";
    state_.asciiColor = "000000";
    Reply("using default", "settings");
}

void Engine::SetAsciiColor(const std::string& argument) {
    state_.asciiColor = argument;
    Reply("changed ascii color", argument);
}

void Engine::SetLeftAscii(const std::string& argument) {
    state_.leftAscii = argument;
    Reply("changed left ascii", argument);
}

void Engine::SetMiddleAscii(const std::string& argument) {
    state_.middleAscii = argument;
    Reply("changed middle ascii", argument);
}

void Engine::SetFontFace(const std::string& argument) {
    state_.fontFace = argument;
    Reply("changed font type", argument);
}

void Engine::SetFontColor(const std::string& argument) {
    state_.fontColor = argument;
    Reply("changed font color", argument);
}

// --- room, navigation and windows -------------------------------------------

void Engine::InstantMessagesOn(const std::string&) {
    modAolTools::SendInstantMessage(services_, aol::kImSwitchOn, "=)");
    StopIfQuitting();
    Reply("ims", "on");
}

void Engine::InstantMessagesOff(const std::string&) {
    modAolTools::SendInstantMessage(services_, aol::kImSwitchOff, "=)");
    StopIfQuitting();
    Reply("ims", "off");
}

void Engine::SendInstantMessageTo(const std::string& argument) {
    // "sim NAME MESSAGE": the screen name is the argument's first word, the
    // message the rest after its first blank. Both must be there.
    const std::size_t blank = argument.find(' ');
    if (blank == std::string::npos || blank == 0 || blank + 1 == argument.size()) return;
    const std::string screenName = argument.substr(0, blank);
    const std::string message = argument.substr(blank + 1);
    modAolTools::SendInstantMessage(services_, screenName, message);
    StopIfQuitting();
    Reply("writing im to", screenName);
}

void Engine::FullVersion(const std::string&) {
    host_.HideForm5();
    host_.ShowForm1();
    Reply("using", "full version");
}

void Engine::MiniVersion(const std::string&) {
    host_.ShowForm5();
    host_.HideForm1();
    Reply("using", "mini version");
}

void Engine::Disable(const std::string&) {
    if (state_.ruzeSwitch == "off") {
        host_.MessageBox("ruze already disabled");
        StopIfQuitting();
        return;
    }
    state_.ruzeSwitch = "off";
    Reply("disabled", "ruze");
    host_.ScanOFF(Scanner::NiteScan1);
    host_.ScanOFF(Scanner::NiteScan5);
    host_.ScanON(Scanner::NiteScan2);
}

void Engine::Enable(const std::string&) {
    if (state_.ruzeSwitch == "on") {
        host_.MessageBox("ruze already enabled");
        StopIfQuitting();
        return;
    }
    state_.ruzeSwitch = "on";
    Reply("enabled", "ruze");
    host_.ScanON(Scanner::NiteScan1);
    host_.ScanON(Scanner::NiteScan5);
    host_.ScanOFF(Scanner::NiteScan2);
}

void Engine::Minimize(const std::string&) {
    host_.SetForm1WindowState(WindowState::Minimized);
    Reply("minimized", "ruze");
}

void Engine::Restore(const std::string&) {
    host_.SetForm1WindowState(WindowState::Normal);
    Reply("restored", "ruze");
}

void Engine::Exit(const std::string&) {
    host_.UnloadAndEnd();
    // Ending the program ends the walk, whatever the host did.
    throw QuitUnwind{};
}

void Engine::SetTrigger(const std::string& argument) {
    state_.trigger = argument;
    Reply("changed trig to", argument);
}

void Engine::ViewSite(const std::string& argument, const char* topLevel) {
    const std::string address = "www." + argument + topLevel;
    Reply("viewing", address);
    modAolTools::GotoKeyword(services_.windows, address);
}

void Engine::ViewCom(const std::string& argument) {
    ViewSite(argument, ".com");
}
void Engine::ViewOrg(const std::string& argument) {
    ViewSite(argument, ".org");
}
void Engine::ViewNet(const std::string& argument) {
    ViewSite(argument, ".net");
}

void Engine::EnterPrivateRoom(const std::string& argument) {
    if (state_.roomName == argument) {
        Reply("your already in pr", argument);
        return;
    }
    modAolTools::GotoKeyword(services_.windows, aol::kPrivateRoomPrefix + argument);
    Reply("enterd pr", argument);
}

void Engine::SetHandle(const std::string& argument) {
    if (state_.handle == argument) {
        Reply("handle already set to", argument);
        return;
    }
    // The reply still shows the old handle in its handle run.
    Reply("handle changed", argument);
    state_.handle = argument;
}

// --- mp3 ------------------------------------------------------------------------

void Engine::HideMp3s(const std::string&) {
    if (host_.Form1Width() == kNarrowWidth) {
        Reply("not viewing", "mp3s");
        return;
    }
    host_.SetForm1Width(kNarrowWidth);
    Reply("hideing", "mp3s");
    host_.SetTimerEnabled(FormTimer::Timer5, false);
}

void Engine::ShowMp3s(const std::string&) {
    FileList& list = host_.File1();
    if (list.Count() == 0) {
        Reply("no", "mp3s");
        return;
    }
    host_.SetForm1WindowState(WindowState::Normal);
    host_.SetForm1Width(kWideWidth);
    list.SetVisible(true);
    Reply("viewing", "mp3s & controls");
    host_.SetTimerEnabled(FormTimer::Timer5, true);
}

void Engine::SetDirectory(const std::string& argument) {
    // Every failure once the folder is being set ends with the same reply, and
    // the walk goes on.
    try {
        FileList& list = host_.File1();
        if (list.SetPath(argument) && list.Count() != 0) {
            Reply("set directory", argument);
            return;
        }
    } catch (const QuitUnwind&) {
        throw;
    } catch (...) {
        platform::ReportCurrentException("setting the song folder");
    }
    Reply("directory", "invalid");
}

void Engine::PlayRandom(const std::string&) {
    FileList& list = host_.File1();
    const int count = list.Count();
    if (count <= 0) {
        Reply("no", "mp3s");
        return;
    }
    host_.SetTimerEnabled(FormTimer::Timer2, true);
    host_.SetTimerEnabled(FormTimer::Timer3, true);
    const double drawn = modAolTools::RandomNumber(services_.random, std::to_string(count));
    int index = 0;  // position 1 also for a draw that is out of range
    if (drawn >= 1.0 && drawn <= static_cast<double>(count)) index = static_cast<int>(drawn) - 1;
    list.SetListIndex(index);
    const std::string name = list.FileName();
    host_.MediaPlayer1().OpenAndPlay(SongPath(list.Path(), name));
    host_.SetSongCaption(name);
    Reply("random beat", name);
}

void Engine::StopSong(const std::string&) {
    host_.MediaPlayer1().Stop();
    Reply("beat", "stopped");
}

void Engine::Mute(const std::string&) {
    host_.MediaPlayer1().SetMute(true);
    Reply("beat", "muted");
}

void Engine::Unmute(const std::string&) {
    host_.MediaPlayer1().SetMute(false);
    Reply("beat", "unmuted");
}

void Engine::PauseSong(const std::string&) {
    host_.MediaPlayer1().TogglePause();
    Reply("beat", "paused");
}

void Engine::UnpauseSong(const std::string&) {
    host_.MediaPlayer1().TogglePause();
    Reply("beat", "unpaused");
}

void Engine::PlayNamed(const std::string& argument) {
    if (host_.File1().Count() == 0) {
        Reply("no match for", argument);
        return;
    }
    host_.MediaPlayer1().OpenAndPlay(SongPath(host_.File1().Path(), argument));
    host_.SetTimerEnabled(FormTimer::Timer3, true);
    host_.SetTimerEnabled(FormTimer::Timer2, true);
    host_.SetSongCaption(argument);
    Reply("bumpin", argument);
}

void Engine::SetVolume(const std::string& argument) {
    const std::optional<std::int32_t> level = LevelFromUserNumber(argument);
    if (!level) return;
    host_.MediaPlayer1().SetVolume(*level);
    Reply("set volume", argument);
}

void Engine::SetBalance(const std::string& argument) {
    const std::optional<std::int32_t> level = LevelFromUserNumber(argument);
    if (!level) return;
    host_.MediaPlayer1().SetBalance(*level);
    Reply("set balance", argument);
}

// --- idle words -----------------------------------------------------------------

void Engine::GoIdle(const std::string& argument) {
    if (state_.idleState == "on") {
        Reply("your already", "idle");
        return;
    }
    state_.idleState = "on";
    state_.idleReason = argument;
    // Every idle period announces its own minutes, from 1.
    state_.idleMinutes = "1";
    Reply("is idle", argument);
    host_.SetTimerEnabled(FormTimer::Timer4, true);
}

void Engine::ChangeIdleReason(const std::string& argument) {
    state_.idleReason = argument;
    Reply("changed idle rsn", argument);
}

void Engine::IdleOff(const std::string&) {
    if (state_.idleState == "off") {
        Reply("your not", "idle");
        return;
    }
    host_.SetTimerEnabled(FormTimer::Timer4, false);
    state_.idleState = "off";
    Reply("no longer", "idle");
}

}  // namespace engine
