#pragma once
// The chat command engine: the three listeners of the scanners and the idle
// notice. Each Handle* method is where an event enters the engine: it runs
// the own-line test, prepares the line, refreshes roomName and walks its
// table. An exception raised by a handler is written to stderr and ends that
// line's walk; the next line is handled normally. Once the program has been
// asked to end (by "e", also inside a nested pause or message box), nothing
// more of any walk runs.

#include <string>

#include "engine/AppState.h"
#include "engine/Host.h"
#include "engine/PrepareLine.h"
#include "platform/Services.h"

namespace engine {

class Engine {
  public:
    Engine(platform::Services& services, Host& host, AppState& state);

    void HandleCommandLine(const std::string& screenName, const std::string& text);   // NiteScan1
    void HandleReenableLine(const std::string& screenName, const std::string& text);  // NiteScan2
    void HandleIdleLine(const std::string& screenName, const std::string& text);      // NiteScan5
    void HandleIdleTick();                                                            // Timer4

    // Whether an entry runs on a line without an argument, or is passed over.
    enum class Argument { Optional, Required };

    // One entry of a command table.
    struct Entry {
        const char* word;
        Argument argument;
        void (Engine::*handler)(const std::string& argument);
    };

    // The walk of the command table alone, for a line already known to be the
    // user's own (no screen-name check, no room refresh).
    void WalkCommandTable(const PreparedLine& line);

  private:
    // The own-line test, PrepareLine and the roomName refresh; false when the
    // line is not the user's own.
    bool PrepareOwnLine(const std::string& screenName, const std::string& text, PreparedLine& line);
    bool Matches(const char* word, const PreparedLine& line) const;
    void Walk(const Entry* entries, std::size_t count, const PreparedLine& line);
    void Reply(const std::string& verb, const std::string& detail);
    // After anything that pumps the event loop: stops the walk at once when the
    // program was asked to end meanwhile.
    void StopIfQuitting() const;

    // The command table.
    void DefaultStyle(const std::string& argument);          // dfa
    void SetAsciiColor(const std::string& argument);         // ac
    void SetLeftAscii(const std::string& argument);          // la
    void SetMiddleAscii(const std::string& argument);        // ma
    void SetFontFace(const std::string& argument);           // ft
    void SetFontColor(const std::string& argument);          // fc
    void InstantMessagesOn(const std::string& argument);     // imon
    void InstantMessagesOff(const std::string& argument);    // imof
    void SendInstantMessageTo(const std::string& argument);  // sim
    void FullVersion(const std::string& argument);           // fulv
    void MiniVersion(const std::string& argument);           // minv
    void Disable(const std::string& argument);               // dis
    void Minimize(const std::string& argument);              // min
    void Restore(const std::string& argument);               // res
    void Exit(const std::string& argument);                  // e
    void SetTrigger(const std::string& argument);            // tr
    void ViewCom(const std::string& argument);               // com
    void ViewOrg(const std::string& argument);               // org
    void ViewNet(const std::string& argument);               // net
    void EnterPrivateRoom(const std::string& argument);      // pr
    void SetHandle(const std::string& argument);             // h
    void HideMp3s(const std::string& argument);              // 3pm
    void ShowMp3s(const std::string& argument);              // mp3
    void SetDirectory(const std::string& argument);          // d
    void PlayRandom(const std::string& argument);            // r
    void StopSong(const std::string& argument);              // stp
    void Mute(const std::string& argument);                  // mu
    void Unmute(const std::string& argument);                // um
    void PauseSong(const std::string& argument);             // pa
    void UnpauseSong(const std::string& argument);           // up
    void PlayNamed(const std::string& argument);             // p
    void SetVolume(const std::string& argument);             // v
    void SetBalance(const std::string& argument);            // b
    // The re-enable table.
    void Enable(const std::string& argument);  // en
    // The idle words.
    void GoIdle(const std::string& argument);            // i
    void ChangeIdleReason(const std::string& argument);  // cr
    void IdleOff(const std::string& argument);           // io

    void ViewSite(const std::string& argument, const char* topLevel);

    platform::Services& services_;
    Host& host_;
    AppState& state_;

    static const Entry kCommandTable[];
    static const Entry kReenableTable[];
    static const Entry kIdleTable[];
};

}  // namespace engine
