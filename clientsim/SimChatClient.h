#pragma once
// A simulated chat client on the in-process window system, with the exact
// window tree the automation relies on (drawn and named in
// aol/ClientWindows.h), reacting to messages the way the real client does.
//
// It is as strict as a real client in another process:
// - each control acts only on the whole message sequence a real one needs:
//   the room's send icon on a button-down followed by the key-up of the
//   space key, the instant-message send icon on a button-down followed by a
//   button-up, the message box's button on the space key going down and up,
//   the address box on a carriage return typed after the address;
// - every reaction is asynchronous: it runs on a later turn of the event
//   loop, after a delay of its own (ClientTimings), never inside the message
//   that caused it, and messages posted to the client wait for it too;
// - the room's transcript is a rich edit with word wrap (SimRichEdit): each
//   chat line a paragraph "Sender:\tText", display lines wrapping at the
//   room's width, old history trimmed from the top.
// Texts in the record below are UTF-8.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clientsim/SimRichEdit.h"
#include "platform/Runtime.h"
#include "platform/WindowApi.h"
#include "platform/sim/SimWindowSystem.h"

namespace clientsim {

using platform::Hwnd;
using platform::LParam;
using platform::LResult;
using platform::Millis;
using platform::Runtime;
using platform::WParam;
using platform::sim::SimWindowSystem;

struct RoomLine {
    std::string sender;
    std::string text;
    bool operator==(const RoomLine&) const = default;
};

struct InstantMessage {
    std::string to;
    std::string text;
    bool operator==(const InstantMessage&) const = default;
};

// How long each reaction of the client takes. All zero: the client still
// reacts on a later turn of the loop, but costs no time (the console).
struct ClientTimings {
    Millis ownLine{0};     // the user's line, from the send icon to the transcript
    Millis otherLine{0};   // a line another member said, to the transcript
    Millis address{0};     // the return in the address box, to going there
    Millis imWindow{0};    // an instant-message address, to its window opening
    Millis imSend{0};      // the send icon, to the message going (and its window closing)
    Millis messageBox{0};  // the message going, to the client's box about it
    Millis posted{0};      // a message posted to the client, to the client handling it

    // A client talking to a server, as the tests use it.
    static ClientTimings Realistic();
};

struct ClientOptions {
    std::string screenName = "Moonraker";
    std::string roomName = "Town Square";
    std::vector<std::string> members = {"Moonraker", "KarenK", "slickrick"};
    ClientTimings timings;
    // The room's transcript wraps at this many characters (0: no wrap), the
    // width of the room window the client shows.
    int roomWidth = 60;
    // Which rich edit the room's transcript is.
    RichEditGeneration transcriptGeneration = RichEditGeneration::Later;
    // The client keeps at most this many chat lines (0: all of them).
    std::size_t historyLimit = 2000;
    // Going to a room opens a new room window in place of the old one
    // instead of renaming it; a client may do either.
    bool newWindowPerRoom = false;
    // Lines a room's transcript already shows when the client enters it.
    std::vector<RoomLine> historyOnEntry;
    // Parts of the window tree the client does not have, to see what the
    // program makes of a client that differs: "address" (the address box),
    // "welcome", "room", "transcript" (the room's second "RICHCNTL" has
    // another class), "members" (the room's "_AOL_Listbox"), "static" (its
    // "_AOL_Static"), "sendicon" (the room has five "_AOL_Icon").
    std::vector<std::string> without;
    bool Without(const std::string& piece) const;
};

// What the client shows as it happens; every member is optional.
struct ClientObserver {
    std::function<void(const RoomLine&)> onRoomLine;
    std::function<void(const std::string&)> onAddress;  // an address went to
    std::function<void(const InstantMessage&)> onInstantMessage;
    std::function<void(const std::string&)> onMessageBox;  // the client's box opened
    std::function<void()> onWindowsChanged;                // front, captions, windows
};

class SimChatClient {
  public:
    SimChatClient(SimWindowSystem& windows, Runtime& runtime, ClientOptions options = {});
    ~SimChatClient();
    SimChatClient(const SimChatClient&) = delete;
    SimChatClient& operator=(const SimChatClient&) = delete;

    // Builds the window tree: signed on as the screen name, in the room (or
    // in `room` when given).
    void SignOn(const std::string& room = "");
    // Closes every window of the client, as if it had been shut down.
    void SignOff();
    bool SignedOn() const { return frame_ != 0; }

    // --- the people in the room ---
    // The user types into the room's input box and presses send.
    void Type(const std::string& text);
    // Another member (or anyone) says a line in the room.
    void Say(const std::string& sender, const std::string& text);
    // Several lines that reach the room together, as the server may send them.
    void SayTogether(const std::vector<RoomLine>& lines);

    // --- the user's hand on the client ---
    // Brings the client window with this caption to the front; false if none.
    bool BringToFront(const std::string& caption);
    // Opens another "AOL Child" in front with children of the given classes,
    // for instance a window that looks like a room but is not the front one.
    Hwnd OpenChild(const std::string& caption, const std::vector<std::string>& childClasses);
    // Opens an instant-message window to `screenName` in front at once.
    Hwnd OpenInstantMessageWindow(const std::string& screenName);
    // Closes the room window, as the user would.
    void CloseRoom();
    // Resizes the room window so that its transcript wraps at `width`
    // characters; the transcript is laid out again.
    void SetRoomWidth(int width);

    // --- test knobs ---
    // How long the client takes to open an instant-message window after the
    // address; nullopt: it never opens one.
    void SetInstantMessageWindowDelay(std::optional<Millis> delay) { imDelay_ = delay; }
    void SetTimings(const ClientTimings& timings);
    const ClientTimings& Timings() const { return options_.timings; }
    // Trims the transcript at once when it holds more.
    void SetHistoryLimit(std::size_t lines);
    void SetNewWindowPerRoom(bool on) { options_.newWindowPerRoom = on; }
    void SetHistoryOnEntry(std::vector<RoomLine> lines) {
        options_.historyOnEntry = std::move(lines);
    }

    // --- the record ---
    const std::vector<RoomLine>& Transcript() const { return transcript_; }
    const std::vector<std::string>& VisitedAddresses() const { return addresses_; }
    const std::vector<InstantMessage>& InstantMessagesSent() const { return ims_; }
    const std::vector<std::string>& MessageBoxesShown() const { return boxes_; }
    bool InstantMessagesOn() const { return imsOn_; }
    const std::string& ScreenName() const { return options_.screenName; }
    std::string RoomName() const;  // the room window's caption, "" when none
    std::vector<std::string> Members() const { return options_.members; }
    std::string AddressBoxText() const;              // UTF-8
    std::string FrontCaption() const;                // caption of the foremost "AOL Child"
    std::vector<std::string> ChildCaptions() const;  // foremost first
    bool MessageBoxOpen() const { return box_ != 0; }

    void SetObserver(ClientObserver observer) { observer_ = std::move(observer); }

    // --- windows, for tests that poke at them ---
    Hwnd Frame() const { return frame_; }
    Hwnd MdiClient() const { return mdi_; }
    Hwnd Room() const { return room_; }
    Hwnd RoomInput() const { return roomInput_; }
    Hwnd RoomTranscript() const { return roomTranscript_; }
    // The transcript as the control holds it; null without a room.
    const SimRichEdit* RoomText() const { return roomText_.get(); }
    Hwnd Welcome() const { return welcome_; }
    Hwnd AddressEdit() const { return addressEdit_; }
    Hwnd MessageBoxWindow() const { return box_; }

  private:
    struct ImWindow {
        Hwnd window = 0;
        Hwnd message = 0;
        Hwnd sendButton = 0;
        std::string to;
        bool buttonDown = false;
    };

    Hwnd CreateRoom(const std::string& name);
    void SendFromRoom();  // the room's send icon was pressed
    LResult RoomSendProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult TranscriptProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult AddressProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult ImSendProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult BoxButtonProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult ChildProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    void AppendLine(const std::string& senderUtf8, const std::string& ansiText, bool record);
    void Trim();
    void Navigate(const std::string& address);
    void ShowMessageBox(const std::string& text);
    void Forget(Hwnd window);
    void WindowsChanged();
    ImWindow* FindIm(Hwnd anyPart);

    SimWindowSystem& windows_;
    [[maybe_unused]] Runtime& runtime_;
    ClientOptions options_;
    ClientObserver observer_;
    std::optional<Millis> imDelay_;

    Hwnd frame_ = 0, mdi_ = 0, addressEdit_ = 0, welcome_ = 0;
    Hwnd room_ = 0, roomInput_ = 0, roomTranscript_ = 0, roomList_ = 0, roomSend_ = 0;
    bool roomSendDown_ = false;  // the button went down; the space key's release sends
    std::unique_ptr<SimRichEdit> roomText_;
    Hwnd box_ = 0, boxButton_ = 0;
    bool boxSpaceDown_ = false;
    std::vector<ImWindow> imWindows_;

    std::vector<RoomLine> transcript_;
    std::vector<std::string> addresses_;
    std::vector<InstantMessage> ims_;
    std::vector<std::string> boxes_;
    bool imsOn_ = true;
};

}  // namespace clientsim
