#pragma once
// A simulated chat client with the exact window tree the automation relies
// on, reacting to messages the way the real client does:
//
//   top level  "AOL Frame25"                       (the frame)
//                "AOL Toolbar" > "_AOL_Toolbar" > "_AOL_Combobox" > "Edit"   (address box)
//                "MDIClient"
//                  "AOL Child" "Welcome, NAME!"    (welcome window)
//                  "AOL Child" ROOM                (chat room: input "RICHCNTL",
//                        transcript "RICHCNTL", "_AOL_Listbox", six "_AOL_Icon"
//                        (the sixth sends), "_AOL_Static")
//                  "AOL Child" "Send Instant Message"   (on demand: first "RICHCNTL"
//                        is the message, the ninth "_AOL_Icon" sends)
//   top level  "#32770" "America Online" > "Button"     (the client's message box)
//
// Every reaction is queued, never run inside the SendMessage that caused it.
// Texts in the record below are UTF-8.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Runtime.h"
#include "platform/WindowApi.h"
#include "platform/sim/SimWindowSystem.h"

namespace platform::sim {

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

struct ClientOptions {
    std::string screenName = "Moonraker";
    std::string roomName = "Town Square";
    std::vector<std::string> members = {"Moonraker", "KarenK", "slickrick"};
};

// What the client shows as it happens; every member is optional.
struct ClientObserver {
    std::function<void(const RoomLine&)> onRoomLine;
    std::function<void(const std::string&)> onAddress;       // an address went to
    std::function<void(const InstantMessage&)> onInstantMessage;
    std::function<void(const std::string&)> onMessageBox;    // the client's box opened
    std::function<void()> onWindowsChanged;                 // front, captions, windows
};

class SimChatClient {
public:
    SimChatClient(SimWindowSystem& windows, Runtime& runtime, ClientOptions options = {});
    ~SimChatClient();
    SimChatClient(const SimChatClient&) = delete;
    SimChatClient& operator=(const SimChatClient&) = delete;

    // Builds the window tree: signed on as the screen name, in the room.
    void SignOn();
    // Closes every window of the client, as if it had been shut down.
    void SignOff();
    bool SignedOn() const { return frame_ != 0; }

    // --- the people in the room ---
    // The user types into the room's input box and presses send.
    void Type(const std::string& text);
    // Another member (or anyone) says a line in the room.
    void Say(const std::string& sender, const std::string& text);

    // --- the user's hand on the client ---
    // Brings the client window with this caption to the front; false if none.
    bool BringToFront(const std::string& caption);
    // Opens another "AOL Child" in front with children of the given classes,
    // for instance a window that looks like a room but is not the front one.
    Hwnd OpenChild(const std::string& caption, const std::vector<std::string>& childClasses);
    // Opens an instant-message window to `screenName` in front at once.
    Hwnd OpenInstantMessageWindow(const std::string& screenName);

    // --- test knobs ---
    // How long the client takes to open an instant-message window after the
    // address; nullopt: it never opens one.
    void SetInstantMessageWindowDelay(std::optional<Millis> delay) { imDelay_ = delay; }

    // --- the record ---
    const std::vector<RoomLine>& Transcript() const { return transcript_; }
    const std::vector<std::string>& VisitedAddresses() const { return addresses_; }
    const std::vector<InstantMessage>& InstantMessagesSent() const { return ims_; }
    const std::vector<std::string>& MessageBoxesShown() const { return boxes_; }
    bool InstantMessagesOn() const { return imsOn_; }
    const std::string& ScreenName() const { return options_.screenName; }
    std::string RoomName() const;  // the room window's caption, "" when none
    std::vector<std::string> Members() const { return options_.members; }
    std::string AddressBoxText() const;  // UTF-8
    std::string FrontCaption() const;    // caption of the foremost "AOL Child"
    std::vector<std::string> ChildCaptions() const;  // foremost first
    bool MessageBoxOpen() const { return box_ != 0; }

    void SetObserver(ClientObserver observer) { observer_ = std::move(observer); }

    // --- windows, for tests that poke at them ---
    Hwnd Frame() const { return frame_; }
    Hwnd MdiClient() const { return mdi_; }
    Hwnd Room() const { return room_; }
    Hwnd RoomInput() const { return roomInput_; }
    Hwnd RoomTranscript() const { return roomTranscript_; }
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
    LResult RoomSendProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult TranscriptProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult AddressProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult ImSendProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult BoxButtonProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    LResult ChildProc(Hwnd w, unsigned msg, WParam wp, LParam lp);
    void AppendLine(const std::string& senderUtf8, const std::string& ansiText);
    void Navigate(const std::string& address);
    void ShowMessageBox(const std::string& text);
    void Forget(Hwnd window);
    void WindowsChanged();
    ImWindow* FindIm(Hwnd anyPart);

    SimWindowSystem& windows_;
    [[maybe_unused]] Runtime& runtime_;
    ClientOptions options_;
    ClientObserver observer_;
    std::optional<Millis> imDelay_ = Millis{0};

    Hwnd frame_ = 0, mdi_ = 0, addressEdit_ = 0, welcome_ = 0;
    Hwnd room_ = 0, roomInput_ = 0, roomTranscript_ = 0, roomList_ = 0;
    Hwnd box_ = 0, boxButton_ = 0;
    bool boxSpaceDown_ = false;
    std::vector<ImWindow> imWindows_;

    // The transcript's lines as the window holds them ("Sender:\tText", ANSI),
    // with their start offsets, so a line is read in constant time.
    std::vector<std::string> transcriptLines_;
    std::vector<std::size_t> lineStarts_;
    std::size_t transcriptChars_ = 0;

    std::vector<RoomLine> transcript_;
    std::vector<std::string> addresses_;
    std::vector<InstantMessage> ims_;
    std::vector<std::string> boxes_;
    bool imsOn_ = true;
};

}  // namespace platform::sim
