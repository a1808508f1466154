#pragma once
// The stand-in chat client: with real windows, in a process of its own, it
// builds the client's window tree (aol/ClientWindows.h) and reacts to the
// automation's messages the way the simulated client does, so that the
// automation can be tried against real user32 (on Windows, or under Wine).
//
// It is as strict as a real client: each control acts only on the whole
// message sequence a real one needs (the room's send icon on a button-down
// and then the space key's release, the message window's send icon on a
// button-down and then a button-up, the box's button on the space key going
// down and up, the address box on a carriage return), and every reaction
// takes real time of its own (a line reaching the room after the round trip,
// the message window, the box) and runs on a later turn of the message loop,
// never inside the message that caused it. Messages other programs post to
// the client's windows wait a moment before the client gets to them.
//
// Every "RICHCNTL" is a real rich edit control (RichEdit20A's window
// procedure under the client's class name, or RichEdit 1.0's when the test
// signs on a client of that generation). The room's transcript is one:
// each chat line a paragraph "Sender:\tText", wrapped at the control's
// width, the oldest paragraphs trimmed past a settable count.
//
// A person can use it too: keys typed into the room's input box show there,
// Return sends the line as the send icon does, and a click on the send icon
// (the sixth, "Send") sends. Only what comes from the keyboard and the mouse
// acts that way; what other programs send or post is held to the strict
// sequences above.
//
// This file is the client's model; StandInWindows.cpp holds its window
// classes and what each of its windows does with a message.

#include <windows.h>

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/standin/Reactions.h"

namespace standin {

struct RoomLine {
    std::string sender;
    std::string text;
};

// How long the client's reactions take, in milliseconds: a client talking to
// a server.
struct Timings {
    DWORD ownLine = 120;
    DWORD otherLine = 40;
    DWORD address = 80;
    DWORD imWindow = 300;
    DWORD imSend = 150;
    DWORD messageBox = 200;
    DWORD posted = 30;
};

// Who signs on, in which room, and how this client differs: made with
// RichEdit 1.0, and the pieces of the window tree it leaves out (see
// LeaveOut).
struct SignOnOptions {
    std::string screenName;
    std::string room;
    bool firstRichEdit = false;
    std::vector<std::string> without;
};

class StandInClient {
  public:
    explicit StandInClient(HINSTANCE instance);
    StandInClient(const StandInClient&) = delete;
    StandInClient& operator=(const StandInClient&) = delete;

    HINSTANCE Instance() const { return instance_; }
    // The client's hidden window: it takes the control requests, and the
    // wake-ups of the client's reactions.
    void SetControlWindow(HWND control);

    // --- signing on and off ---
    // Leaves a piece out of the window tree whenever the client signs on, to
    // see what the program makes of a client that differs: "address" (the
    // address box), "welcome", "room", "transcript" (the room's second
    // "RICHCNTL" has another class), "members" (the room's "_AOL_Listbox"),
    // "static" (its "_AOL_Static"), "sendicon" (the room has five
    // "_AOL_Icon").
    void LeaveOut(const std::string& piece) { startWithout_.push_back(piece); }
    // Builds the window tree; the options count only when the client is not
    // signed on yet.
    void SignOn(const SignOnOptions& options);
    void SignOff();

    // --- the people in the room ---
    // A member types a line into the room's input box and sends it.
    void Type(const std::string& text);
    void Say(const std::string& sender, const std::string& text);
    // Lines that reach the room together.
    void SayTogether(const std::vector<RoomLine>& lines);

    // --- the hand on the client ---
    bool BringToFront(const std::string& caption);
    void OpenChild(const std::string& caption, const std::vector<std::string>& classes);
    void OpenInstantMessageWindow(const std::string& screenName);
    void CloseRoom();
    // Moves and sizes the frame (screen pixels) or the room window (pixels
    // of the MDI client); the parts inside follow. Throws
    // std::invalid_argument for anything else, or an empty place.
    void Place(const std::string& what, int x, int y, int width, int height);

    // --- how the client behaves ---
    void SetRoomWidth(int chars);
    void SetHistoryLimit(std::size_t lines);
    // A new room window for every room gone to, each showing `history`
    // when it opens.
    void SetNewWindowPerRoom(bool on, std::vector<RoomLine> history);
    // Nothing: the client never opens the instant-message window.
    void SetInstantMessageWindowDelay(std::optional<DWORD> delayMs) { imDelay_ = delayMs; }

    // --- the record (UTF-8) ---
    const std::vector<RoomLine>& Transcript() const { return transcript_; }
    const std::vector<std::string>& Addresses() const { return addresses_; }
    const std::vector<std::pair<std::string, std::string>>& InstantMessages() const { return ims_; }
    const std::vector<std::string>& MessageBoxes() const { return boxes_; }
    bool MessageBoxOpen() const { return box_ != nullptr; }
    bool InstantMessagesOn() const { return imsOn_; }
    std::string RoomName() const;
    std::string AddressBoxText() const;
    std::string RoomInputText() const;
    // The captions of the windows inside the frame, foremost first.
    std::vector<std::string> ChildCaptions() const;
    // Where a person finds "input" or "send" on the screen; nothing for
    // another name or a control the client does not show.
    std::optional<RECT> ScreenRect(const std::string& control) const;
    bool InputHasFocus() const;

    // --- the client's thread ---
    DWORD PromoteDue() { return reactions_.PromoteDue(); }
    void RunReaction() { reactions_.RunNext(); }
    std::size_t PendingReactions() const { return reactions_.Pending(); }
    // A message taken off the thread's queue: dispatched, or held back for a
    // while when another program posted it to one of the client's windows.
    void HandleQueued(const MSG& msg);
    // A person's key or click, taken from the keyboard and mouse queue.
    void HandleInput(const MSG& msg);

    // --- what the client's windows do with a message (StandInWindows.cpp) ---
    // Every plain class routes here; the window decides what acts.
    LRESULT PlainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT FrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ChildProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT BoxProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT InputProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    // Which rich edit the client's "RICHCNTL" windows are made of.
    bool FirstRichEdit() const { return firstRichEdit_; }

  private:
    struct ImWindow {
        HWND window = nullptr;
        HWND message = nullptr;
        HWND sendButton = nullptr;
        std::string to;
        bool buttonDown = false;
    };

    // --- building and tearing down ---
    void SignOn();
    void CreateRoom(const std::string& name);
    HWND CreateMdiChild();
    HWND CreateChild(HWND parent, const char* className, const std::string& ansiText = "");
    void Present(HWND child, const std::string& ansiCaption);
    void Activate(HWND child);
    void Forget(HWND window);
    bool Without(const std::string& piece) const;
    void LayOutRoom();

    // --- what the client does ---
    // Types the member's waiting lines, in order, unless a press of the send
    // icon is under way.
    void TypeWaiting();
    // The room's send: the box's text goes to the room and the box empties.
    void SendRoomLine();
    void AppendLine(const std::string& senderUtf8, const std::string& ansiText);
    void Trim();
    void Navigate(const std::string& address);
    void ShowMessageBox(const std::string& text);
    ImWindow* FindIm(HWND anyPart);
    // The room transcript's paragraph end, and its length in its offsets.
    const char* ParagraphEnd() const;
    LONG TranscriptLength() const;

    // --- the controls that act (StandInWindows.cpp) ---
    LRESULT RoomSend(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Address(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ImSend(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT BoxButton(HWND w, UINT msg, WPARAM wp, LPARAM lp);

    HINSTANCE instance_;
    HWND control_ = nullptr;
    Reactions reactions_;

    std::string screenName_ = "Moonraker";
    std::string roomName_ = "Town Square";
    Timings timings_;
    std::optional<DWORD> imDelay_ = Timings{}.imWindow;
    int roomWidth_ = 60;  // characters
    int transcriptHeight_;
    std::size_t historyLimit_ = 2000;  // chat lines kept; 0: all
    bool newWindowPerRoom_ = false;
    std::vector<RoomLine> historyOnEntry_;
    bool firstRichEdit_ = false;
    // The pieces left out at every sign-on, and at this one.
    std::vector<std::string> startWithout_;
    std::vector<std::string> without_;

    // A message from the keyboard or the mouse is being handled.
    bool personal_ = false;
    bool roomSendClicked_ = false;

    HWND frame_ = nullptr, mdi_ = nullptr, addressEdit_ = nullptr, welcome_ = nullptr;
    HWND room_ = nullptr, roomInput_ = nullptr, roomTranscript_ = nullptr, roomSend_ = nullptr;
    HWND box_ = nullptr, boxButton_ = nullptr;
    bool boxSpaceDown_ = false;
    bool roomSendDown_ = false;
    // The member's lines that wait for a press of the send icon to end, and
    // how long the first of them waits at most.
    std::deque<std::string> typing_;
    ULONGLONG typingDeadline_ = 0;
    std::vector<ImWindow> imWindows_;
    // The length of each paragraph in the transcript (its end included), to
    // trim whole ones off the top.
    std::deque<LONG> paragraphs_;

    // The record, UTF-8.
    std::vector<RoomLine> transcript_;
    std::vector<std::string> addresses_;
    std::vector<std::pair<std::string, std::string>> ims_;
    std::vector<std::string> boxes_;
    bool imsOn_ = true;
};

}  // namespace standin
