#pragma once
// The chat client under test, as the automation tests see it: the simulated
// client in this process, or the stand-in client in another process behind
// real user32 (Windows, or Wine). One set of test sources runs against both.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "clientsim/SimChatClient.h"
#include "platform/Services.h"

namespace testsupport {

using clientsim::InstantMessage;
using clientsim::RoomLine;

using clientsim::RichEditGeneration;

struct DriverOptions {
    // A constructor, so that {name, room} needs no further field.
    DriverOptions(std::string name = "Moonraker", std::string room = "Town Square",
                  RichEditGeneration generation = RichEditGeneration::Later,
                  std::vector<std::string> leaveOut = {})
        : screenName(std::move(name)),
          roomName(std::move(room)),
          richEdit(generation),
          without(std::move(leaveOut)) {}

    std::string screenName;
    std::string roomName;
    // Which rich edit the client's controls are (the room's transcript among them).
    RichEditGeneration richEdit;
    // Parts of the window tree the client leaves out (ClientOptions::without).
    std::vector<std::string> without;
};

class ClientDriver {
  public:
    virtual ~ClientDriver() = default;

    // The window system and runtime the routines under test run on.
    virtual platform::Services& Services() = 0;
    // True when time is virtual (waits cost nothing); false on a real clock.
    virtual bool VirtualTime() const = 0;

    // Lets the client work off everything it has been sent and the program's
    // event loop handle what is due, without waiting for timers.
    virtual void Settle() = 0;
    // Lets `duration` pass while events run.
    virtual void Advance(std::chrono::milliseconds duration) = 0;

    virtual void SignOn(const DriverOptions& options) = 0;
    virtual void SignOff() = 0;

    // The people and the hand on the client.
    virtual void Type(const std::string& text) = 0;
    virtual void Say(const std::string& sender, const std::string& text) = 0;
    virtual bool BringToFront(const std::string& caption) = 0;
    virtual void OpenChild(const std::string& caption,
                           const std::vector<std::string>& childClasses) = 0;
    virtual void OpenInstantMessageWindow(const std::string& screenName) = 0;
    virtual void SetInstantMessageWindowDelay(std::optional<std::chrono::milliseconds> d) = 0;
    // Several lines that reach the room together, in one go.
    virtual void SayTogether(const std::vector<RoomLine>& lines) = 0;
    // The room window resized so that its transcript wraps at about `width`
    // characters.
    virtual void SetRoomWidth(int width) = 0;
    // The client keeps at most this many chat lines (0: all).
    virtual void SetHistoryLimit(std::size_t lines) = 0;
    // Going to a room opens a new room window in place of the old one,
    // already showing `history`.
    virtual void SetNewWindowPerRoom(bool on, const std::vector<RoomLine>& history) = 0;
    virtual void CloseRoom() = 0;

    // The record (UTF-8).
    virtual std::vector<RoomLine> Transcript() = 0;
    virtual std::vector<std::string> VisitedAddresses() = 0;
    virtual std::vector<InstantMessage> InstantMessagesSent() = 0;
    virtual std::vector<std::string> MessageBoxesShown() = 0;
    virtual bool MessageBoxOpen() = 0;
    virtual bool InstantMessagesOn() = 0;
    virtual std::string RoomName() = 0;
    virtual std::string AddressBoxText() = 0;
    virtual std::string FrontCaption() = 0;
    virtual std::string RoomInputText() = 0;
    virtual std::vector<std::string> ChildCaptions() = 0;  // foremost first
};

// Made by whichever backend the test program is linked with.
std::unique_ptr<ClientDriver> MakeClientDriver();

}  // namespace testsupport
