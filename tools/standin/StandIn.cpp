// The stand-in chat client: a small Windows program that builds, with real
// windows, the window tree the automation drives, and reacts to the
// automation's messages the way the simulated client does, so that the
// automation can be tried against real user32 (on Windows, or under Wine).
//
//   "AOL Frame25" "America  Online"
//     "AOL Toolbar" > "_AOL_Toolbar" > "_AOL_Combobox" > "Edit"   (address box)
//     "MDIClient"
//       "AOL Child" "Welcome, NAME!"
//       "AOL Child" ROOM: "RICHCNTL" input, "RICHCNTL" transcript,
//             "_AOL_Listbox", eight "_AOL_Icon" (the sixth sends), "_AOL_Static"
//       "AOL Child" "Send Instant Message" (on demand): "RICHCNTL" message,
//             "RICHCNTL", "_AOL_Static", ten "_AOL_Icon" (the ninth sends)
//   "#32770" "America Online" > "Button" "OK", "Static"   (the client's box)
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
// A test steers the client and reads its record through a hidden control
// window (see ControlProtocol.h). Started as
//   standin --token TOKEN [--parent PID] [--without PIECE]...
// it ends when told to, or when the process PID ends. Each --without leaves
// a piece out of the window tree whenever the client signs on (as do the
// fields after the room in a "signon" request), to see what the program
// makes of a client that differs: "address" (the address box), "welcome",
// "room", "transcript" (the room's second "RICHCNTL" has another class),
// "members" (the room's "_AOL_Listbox"), "static" (its "_AOL_Static"),
// "sendicon" (the room has five "_AOL_Icon").

#include <windows.h>
// After windows.h, which it needs.
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "aol/ClientWindows.h"
#include "platform/AnsiText.h"
#include "platform/Text.h"
#include "tools/standin/ControlProtocol.h"

namespace {

using platform::FromAnsi;
using platform::ToAnsi;

using aol::kImIcons;
using aol::kImSendIcon;
using aol::kRoomIcons;
using aol::kRoomSendIcon;

constexpr const char* kRoomPrefix = aol::kPrivateRoomPrefix;
constexpr const char* kImPrefix = aol::kInstantMessagePrefix;
// How long the member's line waits for another hand's press to end.
constexpr ULONGLONG kPressWaitMs = 1000;

// Milliseconds on a clock that never goes back (GetTickCount64 is not on XP).
ULONGLONG NowMs() {
    return static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now().time_since_epoch())
                                      .count());
}

constexpr UINT kRunReaction = WM_APP + 1;
// Pixels a character of the rich edit's default font takes, about: the
// width a test asks for in characters becomes the control's width.
constexpr int kCharWidth = 7;
constexpr int kTranscriptMargin = 8;
// The room's controls: the input box in the top strip, the transcript below.
constexpr int kTranscriptTop = 24;
constexpr int kInputHeight = 22;
// The room's icons stand in a row under the transcript.
constexpr int kIconWidth = 52;
constexpr int kIconRow = 26;
constexpr int kTranscriptHeight = 150;
// The frame's toolbar strip, above the MDI client.
constexpr int kToolbarHeight = 40;
// The rich edit holds far more than its default 32767 characters.
constexpr LPARAM kTextLimit = 64 * 1024 * 1024;

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
// Bounds for the work done inside one control request.
constexpr int kMaxMessagesPerSync = 100000;
constexpr UINT kReplyTimeoutMs = 10000;

HINSTANCE instance = nullptr;

// The classes the client's windows carry. "Edit", "Button" and "Static" are
// registered here too: a class of the program's own shadows the system one
// inside the program, so those controls behave exactly as described below
// and nothing else.
const char* const kClasses[] = {aol::kFrameClass,  aol::kToolbarClass, aol::kInnerToolbarClass,
                                aol::kComboClass,  aol::kListClass,    aol::kIconClass,
                                aol::kStaticClass, aol::kAddressClass, aol::kBoxButtonClass,
                                aol::kBoxTextClass};

std::string TextOf(HWND window) {
    if (!window) return "";
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    int n = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(n, 0)));
    return text;
}

struct ImWindow {
    HWND window = nullptr;
    HWND message = nullptr;
    HWND sendButton = nullptr;
    std::string to;
    bool buttonDown = false;
};

struct RoomLine {
    std::string sender;
    std::string text;
};

class StandIn {
  public:
    void Start(const std::string& token);
    HWND Control() const { return control_; }
    bool QuitAsked() const { return quit_; }
    // Queues delayed reactions that have fallen due; the wait until the next
    // one in milliseconds (INFINITE when none waits).
    DWORD PromoteDue();

    LRESULT ControlProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT PlainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT FrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ChildProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT BoxProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT InputProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    // A person's key or click, taken from the keyboard and mouse queue.
    void HandleInput(const MSG& msg);

  private:
    // --- the client ---
    void SignOn();
    void SignOff();
    void CreateRoom(const std::string& name);
    HWND CreateMdiChild();
    void Present(HWND child, const std::string& ansiCaption);
    HWND CreateChild(HWND parent, const char* className, const std::string& ansiText = "");
    void Activate(HWND child);
    void Type(const std::string& text);
    // Types the member's waiting lines, in order, unless a press of the send
    // icon is under way.
    void TypeWaiting();
    void Say(const std::string& sender, const std::string& text);
    bool BringToFront(const std::string& caption);
    void OpenChild(const std::string& caption, const std::vector<std::string>& classes);
    void OpenInstantMessageWindow(const std::string& screenName);
    void AppendLine(const std::string& senderUtf8, const std::string& ansiText);
    void Navigate(const std::string& address);
    void ShowMessageBox(const std::string& text);
    void Forget(HWND window);
    ImWindow* FindIm(HWND anyPart);

    LRESULT RoomSend(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    // The room's send: the box's text goes to the room and the box empties.
    void SendRoomLine();
    void LayOutRoom();
    bool Without(const std::string& piece) const {
        return std::find(without_.begin(), without_.end(), piece) != without_.end();
    }
    LRESULT Address(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ImSend(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT BoxButton(HWND w, UINT msg, WPARAM wp, LPARAM lp);

    // --- reactions ---
    void QueueReaction(std::function<void()> reaction, DWORD delayMs = 0);
    void RunReaction();
    void WorkOffQueue();
    // A message taken off the thread's queue: dispatched, or held back for a
    // while when another program posted it to one of the client's windows.
    void HandleQueued(const MSG& msg);
    std::size_t PendingReactions() const { return reactions_.size() + delayed_.size(); }

  public:
    void Dispatch(const MSG& msg) { HandleQueued(msg); }
    // Works off the person's keys and clicks first, translated into
    // characters, then everything else; false once the client is to end.
    bool Pump();
    void LeaveOut(const std::string& piece) { startWithout_.push_back(piece); }

  private:
    void SayTogether(const std::vector<RoomLine>& lines);
    void SetRoomWidth(int chars);
    void SetHistoryLimit(std::size_t lines);
    // Moves and sizes the frame (screen pixels) or the room window (pixels
    // of the MDI client); the parts inside follow.
    void Place(const std::string& what, int x, int y, int width, int height);
    void Trim();
    void CloseRoom();
    // The room transcript's paragraph end, and its length in its offsets.
    const char* ParagraphEnd() const;
    LONG TranscriptLength() const;

    // --- control ---
    std::vector<std::string> Execute(const std::vector<std::string>& request);
    std::vector<std::string> ChildCaptions() const;

    HWND control_ = nullptr;
    bool quit_ = false;

    std::string screenName_ = "Moonraker";
    std::string roomName_ = "Town Square";
    Timings timings_;
    std::optional<DWORD> imDelay_ = Timings{}.imWindow;
    int roomWidth_ = 60;  // characters
    int transcriptHeight_ = kTranscriptHeight;
    std::size_t historyLimit_ = 2000;  // chat lines kept; 0: all
    bool newWindowPerRoom_ = false;
    // The pieces left out at every sign-on, and at this one.
    std::vector<std::string> startWithout_;
    std::vector<std::string> without_;
    // A message from the keyboard or the mouse is being handled.
    bool personal_ = false;
    bool roomSendClicked_ = false;
    std::vector<RoomLine> historyOnEntry_;

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

    std::deque<std::function<void()>> reactions_;
    struct Delayed {
        ULONGLONG due;
        std::function<void()> reaction;
    };
    std::vector<Delayed> delayed_;

    // The record, UTF-8.
    std::vector<RoomLine> transcript_;
    std::vector<std::string> addresses_;
    std::vector<std::pair<std::string, std::string>> ims_;
    std::vector<std::string> boxes_;
    bool imsOn_ = true;
};

StandIn client;

// --- window procedures: each class routes to the client ---

LRESULT CALLBACK ControlWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return client.ControlProc(w, msg, wp, lp);
}
LRESULT CALLBACK PlainWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return client.PlainProc(w, msg, wp, lp);
}
LRESULT CALLBACK FrameWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return client.FrameProc(w, msg, wp, lp);
}
LRESULT CALLBACK ChildWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return client.ChildProc(w, msg, wp, lp);
}
WNDPROC dialogProc = nullptr;
LRESULT CALLBACK BoxWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return client.BoxProc(w, msg, wp, lp);
}
// The input box's own procedure, under the one that takes a person's Return.
WNDPROC inputProc = nullptr;
LRESULT CALLBACK InputWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return client.InputProc(w, msg, wp, lp);
}

bool RegisterClassNamed(const char* name, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    return RegisterClassA(&wc) != 0;
}

// A class of this name of our own, for windows a test asks for by class.
void EnsureClass(const std::string& name) {
    WNDCLASSA existing;
    if (GetClassInfoA(instance, name.c_str(), &existing)) return;
    RegisterClassNamed(name.c_str(), PlainWndProc);
}

// --- start ---

// "RICHCNTL" as the client has it: a rich edit control under another name,
// of either generation. The client may be one made with RichEdit 1.0
// (riched32's "RICHEDIT", whose paragraphs end in CR LF) or with a later one
// (RichEdit20A, CR alone). A window of the class takes, at its first message,
// the window procedure of the generation chosen for the windows made then,
// and keeps it for good.
WNDPROC richEditProc[2] = {};  // the later generation's, the first's
bool firstGeneration = false;

LRESULT CALLBACK RichCntlWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC proc = richEditProc[firstGeneration ? 1 : 0];
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return CallWindowProcA(proc, w, msg, wp, lp);
}

bool RegisterRichEdit() {
    WNDCLASSEXA later{}, first{};
    later.cbSize = first.cbSize = sizeof later;
    if (!LoadLibraryA("riched20.dll") || !GetClassInfoExA(nullptr, "RichEdit20A", &later)) {
        return false;
    }
    // Without riched32 there is only the later generation.
    if (!LoadLibraryA("riched32.dll") || !GetClassInfoExA(nullptr, "RICHEDIT", &first)) {
        first = later;
    }
    richEditProc[0] = later.lpfnWndProc;
    richEditProc[1] = first.lpfnWndProc;
    WNDCLASSEXA rich = later;
    rich.lpfnWndProc = RichCntlWndProc;
    rich.cbWndExtra = std::max(later.cbWndExtra, first.cbWndExtra);
    rich.hInstance = instance;
    rich.lpszClassName = aol::kRichEditClass;
    rich.style &= ~CS_GLOBALCLASS;
    return RegisterClassExA(&rich) != 0;
}

void StandIn::Start(const std::string& token) {
    if (!RegisterRichEdit()) return;
    for (const char* name : kClasses) {
        RegisterClassNamed(name,
                           std::strcmp(name, aol::kFrameClass) == 0 ? FrameWndProc : PlainWndProc);
    }
    RegisterClassNamed(aol::kChildClass, ChildWndProc);
    RegisterClassNamed(standin::kControlClass, ControlWndProc);
    std::string caption = std::string(standin::kControlClass) + " " + token;
    control_ = CreateWindowExA(0, standin::kControlClass, caption.c_str(), WS_OVERLAPPED, 0, 0, 0,
                               0, nullptr, nullptr, instance, nullptr);
}

// --- building and tearing down ---

HWND StandIn::CreateChild(HWND parent, const char* className, const std::string& ansiText) {
    // A child window goes behind its existing siblings, so the order of
    // creation is the order in which lookups find them.
    return CreateWindowExA(0, className, ansiText.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 40, 20,
                           parent, nullptr, instance, nullptr);
}

HWND StandIn::CreateMdiChild() {
    // Hidden and without a caption while its controls are added: the
    // automation in the other process looks at the tree while it is built,
    // and must not find half a window by its caption (the ninth icon of a
    // window that has four so far is another icon).
    MDICREATESTRUCTA create{};
    create.szClass = aol::kChildClass;
    create.szTitle = "";
    create.hOwner = instance;
    create.x = create.y = CW_USEDEFAULT;
    create.cx = 300;
    create.cy = 200;
    return reinterpret_cast<HWND>(
        SendMessageA(mdi_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

void StandIn::Present(HWND child, const std::string& ansiCaption) {
    SetWindowTextA(child, ansiCaption.c_str());
    ShowWindow(child, SW_SHOWNORMAL);
    Activate(child);
}

void StandIn::Activate(HWND child) {
    if (mdi_ && child) SendMessageA(mdi_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
}

void StandIn::SignOn() {
    if (frame_) return;
    frame_ = CreateWindowExA(0, aol::kFrameClass, aol::kFrameCaption,
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 800, 600,
                             nullptr, nullptr, instance, nullptr);
    HWND toolbar = CreateChild(frame_, aol::kToolbarClass);
    HWND inner = CreateChild(toolbar, aol::kInnerToolbarClass);
    HWND combo = CreateChild(inner, aol::kComboClass);
    if (!Without("address")) addressEdit_ = CreateChild(combo, aol::kAddressClass);

    CLIENTCREATESTRUCT clientCreate{};
    clientCreate.idFirstChild = 50000;
    mdi_ =
        CreateWindowExA(0, aol::kMdiClientClass, nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE,
                        0, kToolbarHeight, 780, 500, frame_, nullptr, instance, &clientCreate);

    if (!Without("welcome")) {
        welcome_ = CreateMdiChild();
        // The welcome window has controls of its own but no member list, so
        // it is never taken for a room.
        CreateChild(welcome_, aol::kRichEditClass);
        for (int i = 0; i < aol::kWelcomeIcons; ++i) CreateChild(welcome_, aol::kIconClass);
        CreateChild(welcome_, aol::kStaticClass);
        Present(welcome_, ToAnsi(aol::kWelcomeGreeting + screenName_ + aol::kWelcomeClose));
    }

    if (!Without("room")) CreateRoom(roomName_);
}

void StandIn::CreateRoom(const std::string& name) {
    room_ = CreateMdiChild();
    // An input box that looks like one, and takes a person's Return.
    roomInput_ = CreateWindowExA(WS_EX_CLIENTEDGE, aol::kRichEditClass, "", WS_CHILD | WS_VISIBLE,
                                 0, 0, 40, kInputHeight, room_, nullptr, instance, nullptr);
    inputProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(roomInput_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputWndProc)));
    roomTranscript_ =
        CreateWindowExA(0, Without("transcript") ? "RichEdit20A" : aol::kRichEditClass, "",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 0, kTranscriptTop,
                        std::max(roomWidth_, 1) * kCharWidth + kTranscriptMargin, transcriptHeight_,
                        room_, nullptr, instance, nullptr);
    SendMessageA(roomTranscript_, EM_EXLIMITTEXT, 0, kTextLimit);
    // Wrap at the window's width (or not at all for a width of 0).
    SendMessageA(roomTranscript_, EM_SETTARGETDEVICE, 0, roomWidth_ > 0 ? 0 : 1);
    paragraphs_.clear();
    roomSendDown_ = false;
    if (!Without("members")) CreateChild(room_, aol::kListClass);
    const int icons = Without("sendicon") ? kRoomSendIcon - 1 : kRoomIcons;
    for (int i = 1; i <= icons; ++i) {
        HWND icon = CreateChild(room_, aol::kIconClass, i == kRoomSendIcon ? "Send" : "");
        if (i == kRoomSendIcon) roomSend_ = icon;
    }
    if (!Without("static")) CreateChild(room_, aol::kStaticClass);
    // Big enough to show the transcript, the input box and the icons.
    RECT outer{0, 0, std::max(roomWidth_, 1) * kCharWidth + kTranscriptMargin,
               kTranscriptTop + transcriptHeight_ + kIconRow};
    AdjustWindowRectEx(&outer, GetWindowLongA(room_, GWL_STYLE), FALSE,
                       GetWindowLongA(room_, GWL_EXSTYLE));
    SetWindowPos(room_, nullptr, 0, 0,
                 std::max<LONG>(outer.right - outer.left, kRoomIcons * kIconWidth),
                 outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutRoom();
    for (const auto& line : historyOnEntry_) {
        std::string paragraph = ToAnsi(line.sender) + ":\t" + ToAnsi(line.text) + ParagraphEnd();
        LONG end = TranscriptLength();
        SendMessageA(roomTranscript_, EM_SETSEL, end, end);
        SendMessageA(roomTranscript_, EM_REPLACESEL, FALSE,
                     reinterpret_cast<LPARAM>(paragraph.c_str()));
        paragraphs_.push_back(static_cast<LONG>(paragraph.size()));
    }
    Present(room_, ToAnsi(name));
}

void StandIn::SignOff() {
    if (box_) DestroyWindow(box_);
    if (frame_) DestroyWindow(frame_);
    frame_ = mdi_ = addressEdit_ = welcome_ = nullptr;
    room_ = roomInput_ = roomTranscript_ = roomSend_ = nullptr;
    box_ = boxButton_ = nullptr;
    imWindows_.clear();
}

void StandIn::Forget(HWND window) {
    if (window == room_) {
        room_ = roomInput_ = roomTranscript_ = roomSend_ = nullptr;
        paragraphs_.clear();
    }
    if (window == welcome_) welcome_ = nullptr;
    if (window == box_) box_ = boxButton_ = nullptr;
    imWindows_.erase(std::remove_if(imWindows_.begin(), imWindows_.end(),
                                    [window](const ImWindow& im) { return im.window == window; }),
                     imWindows_.end());
}

// --- the people in the room ---

void StandIn::Type(const std::string& text) {
    if (!room_) return;
    typing_.push_back(text);
    // Lines already waiting are typed first, by the reaction that waits.
    if (typing_.size() > 1) return;
    typingDeadline_ = NowMs() + kPressWaitMs;
    TypeWaiting();
}

void StandIn::TypeWaiting() {
    // Another hand's press of the send icon is two messages, down and up,
    // and nothing can tell from the box whether a line of the member's that
    // replaced the box in between went out instead of the one pressed. A
    // person's whole line cannot land there; the member's waits for the
    // press to end (for a while: a press never finished is given up on).
    while (!typing_.empty()) {
        if (!room_) {
            typing_.clear();
            return;
        }
        if (roomSendDown_ && NowMs() < typingDeadline_) {
            QueueReaction([this] { TypeWaiting(); }, 1);
            return;
        }
        SetWindowTextA(roomInput_, ToAnsi(typing_.front()).c_str());
        typing_.pop_front();
        typingDeadline_ = NowMs() + kPressWaitMs;
        RoomSend(roomSend_, WM_LBUTTONDOWN, 0, 0);
        RoomSend(roomSend_, WM_KEYUP, VK_SPACE, 0);
    }
}

void StandIn::Say(const std::string& sender, const std::string& text) {
    std::string ansi = ToAnsi(text);
    QueueReaction(
        [this, sender, ansi] {
            if (room_) AppendLine(sender, ansi);
        },
        timings_.otherLine);
}

void StandIn::SayTogether(const std::vector<RoomLine>& lines) {
    std::vector<RoomLine> ansi;
    for (const auto& line : lines) ansi.push_back(RoomLine{line.sender, ToAnsi(line.text)});
    QueueReaction(
        [this, ansi] {
            for (const auto& line : ansi) {
                if (room_) AppendLine(line.sender, line.text);
            }
        },
        timings_.otherLine);
}

void StandIn::SetRoomWidth(int chars) {
    roomWidth_ = chars;
    if (!roomTranscript_) return;
    // 0: no wrap at all, the control's own setting for it.
    SendMessageA(roomTranscript_, EM_SETTARGETDEVICE, 0, chars > 0 ? 0 : 1);
    SetWindowPos(roomTranscript_, nullptr, 0, 0,
                 (chars > 0 ? chars : 60) * kCharWidth + kTranscriptMargin, transcriptHeight_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutRoom();
}

void StandIn::Place(const std::string& what, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("an empty place");
    if (what == "frame") {
        if (!frame_) throw std::invalid_argument("no frame: not signed on");
        MoveWindow(frame_, x, y, width, height, TRUE);
        RECT client;
        GetClientRect(frame_, &client);
        MoveWindow(mdi_, 0, kToolbarHeight, client.right,
                   std::max<LONG>(client.bottom - kToolbarHeight, 1), TRUE);
    } else if (what == "room") {
        if (!room_) throw std::invalid_argument("no room window");
        MoveWindow(room_, x, y, width, height, TRUE);
        // The transcript keeps its width, which decides where lines wrap,
        // and takes the height under the input box.
        RECT client;
        GetClientRect(room_, &client);
        transcriptHeight_ = std::max<int>(client.bottom - kTranscriptTop - kIconRow, 1);
        RECT transcript;
        GetWindowRect(roomTranscript_, &transcript);
        SetWindowPos(roomTranscript_, nullptr, 0, 0, transcript.right - transcript.left,
                     transcriptHeight_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        LayOutRoom();
    } else {
        throw std::invalid_argument("nothing to place called " + what);
    }
}

void StandIn::SetHistoryLimit(std::size_t lines) {
    historyLimit_ = lines;
    Trim();
}

const char* StandIn::ParagraphEnd() const {
    return firstGeneration ? "\r\n" : "\r";
}

LONG StandIn::TranscriptLength() const {
    // The first generation does not know EM_GETTEXTLENGTHEX; its own text
    // length counts its paragraph ends as its offsets do.
    if (firstGeneration) return GetWindowTextLengthA(roomTranscript_);
    GETTEXTLENGTHEX how{GTL_DEFAULT, CP_ACP};
    return static_cast<LONG>(
        SendMessageA(roomTranscript_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

void StandIn::Trim() {
    if (!roomTranscript_ || historyLimit_ == 0 || paragraphs_.size() <= historyLimit_) return;
    LONG cut = 0;
    while (paragraphs_.size() > historyLimit_) {
        cut += paragraphs_.front();
        paragraphs_.pop_front();
    }
    SendMessageA(roomTranscript_, EM_SETSEL, 0, cut);
    SendMessageA(roomTranscript_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

void StandIn::CloseRoom() {
    if (!room_) return;
    HWND room = room_;
    Forget(room);
    if (mdi_) SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(room), 0);
}

void StandIn::AppendLine(const std::string& senderUtf8, const std::string& ansiText) {
    // A chat line is one paragraph: a break inside it (or a NUL) shows as a blank.
    std::string text = ansiText;
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    std::string paragraph = ToAnsi(senderUtf8) + ":\t" + text + ParagraphEnd();
    LONG end = TranscriptLength();
    SendMessageA(roomTranscript_, EM_SETSEL, end, end);
    SendMessageA(roomTranscript_, EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(paragraph.c_str()));
    paragraphs_.push_back(static_cast<LONG>(paragraph.size()));
    Trim();
    transcript_.push_back(RoomLine{senderUtf8, FromAnsi(text)});
}

// --- the hand on the client ---

bool StandIn::BringToFront(const std::string& caption) {
    if (!mdi_) return false;
    HWND found = FindWindowExA(mdi_, nullptr, aol::kChildClass, ToAnsi(caption).c_str());
    if (!found) return false;
    Activate(found);
    return true;
}

void StandIn::OpenChild(const std::string& caption, const std::vector<std::string>& classes) {
    if (!mdi_) return;
    HWND w = CreateMdiChild();
    for (const auto& cls : classes) {
        EnsureClass(cls);
        CreateChild(w, cls.c_str());
    }
    Present(w, ToAnsi(caption));
}

void StandIn::OpenInstantMessageWindow(const std::string& screenName) {
    if (!mdi_) return;
    ImWindow im;
    im.to = screenName;
    im.window = CreateMdiChild();
    im.message = CreateChild(im.window, aol::kRichEditClass);
    CreateChild(im.window, aol::kRichEditClass);  // the conversation so far
    CreateChild(im.window, aol::kStaticClass, ToAnsi(aol::kImAddresseeLabel + screenName));
    for (int i = 1; i <= kImIcons; ++i) {
        HWND icon = CreateChild(im.window, aol::kIconClass);
        if (i == kImSendIcon) im.sendButton = icon;
    }
    imWindows_.push_back(im);
    Present(im.window, aol::kImCaption);
}

ImWindow* StandIn::FindIm(HWND anyPart) {
    for (auto& im : imWindows_) {
        if (im.window == anyPart || im.sendButton == anyPart || im.message == anyPart) return &im;
    }
    return nullptr;
}

// --- what the client does ---

void StandIn::Navigate(const std::string& address) {
    if (!frame_) return;
    addresses_.push_back(address);
    if (address.rfind(kRoomPrefix, 0) == 0) {
        std::string name = address.substr(std::strlen(kRoomPrefix));
        if (room_ && !newWindowPerRoom_) {
            SetWindowTextA(room_, ToAnsi(name).c_str());
            Activate(room_);
        } else {
            // A new room window takes the old one's place.
            HWND old = room_;
            if (old) Forget(old);
            CreateRoom(name);
            if (old && mdi_) SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(old), 0);
        }
    } else if (address.rfind(kImPrefix, 0) == 0) {
        std::string to = address.substr(std::strlen(kImPrefix));
        if (imDelay_) {
            QueueReaction(
                [this, to] {
                    if (frame_) OpenInstantMessageWindow(to);
                },
                *imDelay_);
        }
    }
}

void StandIn::ShowMessageBox(const std::string& text) {
    if (box_) {
        HWND old = box_;
        Forget(old);
        DestroyWindow(old);
    }
    // A window of the system's dialog class, as the client's own boxes are,
    // with its procedure replaced so that it closes the way described here.
    // Its caption comes last, so that it is found only with its button.
    box_ = CreateWindowExA(0, MAKEINTATOM(0x8002), "", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100,
                           300, 120, nullptr, nullptr, instance, nullptr);
    if (!box_) return;
    dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(box_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxWndProc)));
    boxButton_ = CreateChild(box_, aol::kBoxButtonClass, "OK");
    CreateChild(box_, aol::kBoxTextClass, ToAnsi(text));
    SetWindowTextA(box_, aol::kBoxCaption);
    boxSpaceDown_ = false;
    boxes_.push_back(text);
}

// --- window procedures ---

LRESULT StandIn::PlainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT && room_ && GetParent(w) == room_) {
        // The room's icons look like buttons, with their names on them.
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::strcmp(cls, aol::kIconClass) == 0) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(w, &paint);
            RECT r;
            GetClientRect(w, &r);
            FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
            std::string name = TextOf(w);
            SetBkMode(dc, TRANSPARENT);
            SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            DrawTextA(dc, name.c_str(), static_cast<int>(name.size()), &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(w, &paint);
            return 0;
        }
    }
    if (w == roomSend_ && w) return RoomSend(w, msg, wp, lp);
    if (w == addressEdit_ && w) return Address(w, msg, wp, lp);
    if (w == boxButton_ && w) return BoxButton(w, msg, wp, lp);
    if (ImWindow* im = FindIm(w); im && im->sendButton == w) return ImSend(w, msg, wp, lp);
    return DefWindowProcA(w, msg, wp, lp);
}

LRESULT StandIn::FrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE && w == frame_) {
        SignOff();
        return 0;
    }
    return DefFrameProcA(w, w == frame_ ? mdi_ : nullptr, msg, wp, lp);
}

LRESULT StandIn::ChildProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // The keys go to the room's input box whenever the room has them.
    if (msg == WM_SETFOCUS && w == room_ && roomInput_) {
        SetFocus(roomInput_);
        return 0;
    }
    if (msg == WM_SIZE && w == room_) {
        LRESULT r = DefMDIChildProcA(w, msg, wp, lp);
        LayOutRoom();
        return r;
    }
    if (msg == WM_CLOSE) {
        Forget(w);
        if (mdi_) SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(w), 0);
        return 0;
    }
    return DefMDIChildProcA(w, msg, wp, lp);
}

LRESULT StandIn::BoxProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        Forget(w);
        DestroyWindow(w);
        return 0;
    }
    return CallWindowProcA(dialogProc, w, msg, wp, lp);
}

LRESULT StandIn::RoomSend(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // The icon sends when the button has gone down and the space key then
    // comes up over it; a button-up in between cancels the press.
    if (msg == WM_LBUTTONDOWN) {
        roomSendDown_ = true;
        roomSendClicked_ = personal_;
        return 0;
    }
    if (msg == WM_LBUTTONUP) {
        // A person's click, down and up with the mouse, sends.
        const bool clicked = personal_ && roomSendClicked_ && roomSendDown_;
        roomSendDown_ = roomSendClicked_ = false;
        if (clicked) SendRoomLine();
        return 0;
    }
    if (msg != WM_KEYUP) return w ? DefWindowProcA(w, msg, wp, lp) : 0;
    if (wp != VK_SPACE || !roomSendDown_) return 0;
    roomSendDown_ = false;
    SendRoomLine();
    return 0;
}

void StandIn::SendRoomLine() {
    // The client takes the box's text and clears the box; the line shows in
    // the room after the round trip to the server.
    std::string text = TextOf(roomInput_);
    SetWindowTextA(roomInput_, "");
    if (text.empty()) return;  // the client sends no empty line
    QueueReaction(
        [this, text] {
            if (room_) AppendLine(screenName_, text);
        },
        timings_.ownLine);
}

LRESULT StandIn::InputProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // A person's Return sends the line; the box itself never sees it.
    if (personal_ && w == roomInput_ && (msg == WM_KEYDOWN || msg == WM_CHAR) && wp == VK_RETURN) {
        if (msg == WM_KEYDOWN) SendRoomLine();
        return 0;
    }
    return CallWindowProcA(inputProc, w, msg, wp, lp);
}

void StandIn::LayOutRoom() {
    if (!room_) return;
    RECT client;
    GetClientRect(room_, &client);
    // The transcript keeps its width, which decides where lines wrap; the
    // input box spans the window above it and the icons stand below it.
    RECT transcript{0, 0, 0, 0};
    if (roomTranscript_) GetWindowRect(roomTranscript_, &transcript);
    const int width = std::max<int>(client.right, transcript.right - transcript.left);
    if (roomInput_) MoveWindow(roomInput_, 0, 0, std::max<int>(width, 1), kInputHeight, TRUE);
    const int iconsTop = kTranscriptTop + transcriptHeight_ + 2;
    int x = 0;
    for (HWND icon = FindWindowExA(room_, nullptr, aol::kIconClass, nullptr); icon;
         icon = FindWindowExA(room_, icon, aol::kIconClass, nullptr)) {
        MoveWindow(icon, x, iconsTop, kIconWidth - 2, kIconRow - 4, TRUE);
        x += kIconWidth;
    }
}

LRESULT StandIn::Address(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_CHAR) return DefWindowProcA(w, msg, wp, lp);
    if (wp == VK_RETURN) {
        std::string address = platform::TrimBlanks(FromAnsi(TextOf(w)));
        QueueReaction([this, address] { Navigate(address); }, timings_.address);
        return 0;
    }
    // Any other character is typed at the end of the box, where the caret
    // stands after the text was set.
    std::string text = TextOf(w);
    text.push_back(static_cast<char>(wp & 0xFF));
    SetWindowTextA(w, text.c_str());
    return 0;
}

LRESULT StandIn::ImSend(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    ImWindow* im = FindIm(w);
    if (!im) return DefWindowProcA(w, msg, wp, lp);
    if (msg == WM_LBUTTONDOWN) {
        im->buttonDown = true;
        return 0;
    }
    if (msg != WM_LBUTTONUP || !im->buttonDown) return DefWindowProcA(w, msg, wp, lp);
    im->buttonDown = false;
    HWND window = im->window;
    std::string to = im->to;
    std::string text = FromAnsi(TextOf(im->message));
    QueueReaction(
        [this, window, to, text] {
            if (!FindIm(window)) return;
            ims_.emplace_back(to, text);
            if (to == aol::kImSwitchOn || to == aol::kImSwitchOff) {
                // The switch answers with the client's own box, a moment
                // later, and leaves the message window open behind it.
                imsOn_ = to == aol::kImSwitchOn;
                std::string box = imsOn_ ? aol::kImsOnBoxText : aol::kImsOffBoxText;
                QueueReaction(
                    [this, box] {
                        if (frame_) ShowMessageBox(box);
                    },
                    timings_.messageBox);
            } else {
                Forget(window);
                if (mdi_) SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
            }
        },
        timings_.imSend);
    return 0;
}

LRESULT StandIn::BoxButton(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // A button is pressed by the space key going down and then up over it.
    if (msg == WM_KEYDOWN && wp == VK_SPACE) {
        boxSpaceDown_ = true;
        return 0;
    }
    if (msg == WM_KEYUP && wp == VK_SPACE && boxSpaceDown_) {
        boxSpaceDown_ = false;
        HWND box = GetParent(w);
        Forget(box);
        DestroyWindow(box);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// --- reactions ---

void StandIn::QueueReaction(std::function<void()> reaction, DWORD delayMs) {
    if (delayMs > 0) {
        delayed_.push_back(Delayed{NowMs() + delayMs, std::move(reaction)});
        return;
    }
    reactions_.push_back(std::move(reaction));
    PostMessageA(control_, kRunReaction, 0, 0);
}

void StandIn::RunReaction() {
    if (reactions_.empty()) return;
    auto reaction = std::move(reactions_.front());
    reactions_.pop_front();
    try {
        reaction();
    } catch (const std::exception&) {
        // A reaction that cannot finish (out of memory) is dropped; the
        // client goes on with the next.
    }
}

DWORD StandIn::PromoteDue() {
    ULONGLONG now = NowMs();
    ULONGLONG next = 0;
    bool waiting = false;
    for (std::size_t i = 0; i < delayed_.size();) {
        if (delayed_[i].due <= now) {
            auto reaction = std::move(delayed_[i].reaction);
            delayed_.erase(delayed_.begin() + static_cast<std::ptrdiff_t>(i));
            QueueReaction(std::move(reaction));
        } else {
            next = waiting ? std::min(next, delayed_[i].due) : delayed_[i].due;
            waiting = true;
            ++i;
        }
    }
    return waiting ? static_cast<DWORD>(next - now) : INFINITE;
}

void StandIn::HandleQueued(const MSG& msg) {
    // What another program posts to the client's windows (the automation's
    // keys, clicks and closes) waits until the client gets to it.
    bool fromOutside =
        msg.hwnd && msg.hwnd != control_ &&
        (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR ||
         msg.message == WM_CLOSE || msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONUP);
    if (fromOutside && timings_.posted > 0) {
        MSG held = msg;
        QueueReaction(
            [held] {
                if (IsWindow(held.hwnd)) DispatchMessageA(&held);
            },
            timings_.posted);
        return;
    }
    // No TranslateMessage: a key posted by the automation must reach the
    // control as it was sent, not turn into characters as well. (A person's
    // keys come through HandleInput.)
    DispatchMessageA(&msg);
}

void StandIn::HandleInput(const MSG& msg) {
    personal_ = true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    // The characters TranslateMessage made of the key are the person's too,
    // and come before anything the key's successors do.
    MSG typed;
    while (msg.hwnd && PeekMessageA(&typed, msg.hwnd, WM_CHAR, WM_DEADCHAR, PM_REMOVE)) {
        DispatchMessageA(&typed);
    }
    personal_ = false;
}

bool StandIn::Pump() {
    MSG msg;
    // Keys and clicks from the keyboard and the mouse (PostMessage never
    // puts anything in this queue): a person at the client.
    while (!quit_ && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
        if (msg.message == WM_QUIT) return false;
        HandleInput(msg);
        PromoteDue();
    }
    while (!quit_ &&
           PeekMessageA(&msg, nullptr, 0, 0,
                        PM_REMOVE | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE | PM_QS_PAINT)) {
        if (msg.message == WM_QUIT) return false;
        HandleQueued(msg);
        PromoteDue();
    }
    return !quit_;
}

void StandIn::WorkOffQueue() {
    // Everything posted to this thread before the request, and what that
    // work queues in turn, is handled before the answer goes back. Reactions
    // still waiting for their time stay waiting.
    PromoteDue();
    MSG msg;
    for (int i = 0; i < kMaxMessagesPerSync && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            quit_ = true;
            break;
        }
        HandleQueued(msg);
        PromoteDue();
    }
}

// --- control ---

std::vector<std::string> StandIn::ChildCaptions() const {
    std::vector<std::string> captions;
    if (!mdi_) return captions;
    for (HWND w = GetWindow(mdi_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        captions.push_back(FromAnsi(TextOf(w)));
    }
    return captions;
}

std::vector<std::string> StandIn::Execute(const std::vector<std::string>& request) {
    const std::string& command = request[0];
    auto arg = [&request](std::size_t i) {
        return i < request.size() ? request[i] : std::string();
    };
    auto flag = [](bool b) { return std::vector<std::string>{b ? "1" : "0"}; };

    if (command == "sync") {
        // The answer: how many reactions are still to come.
        WorkOffQueue();
        return {std::to_string(PendingReactions())};
    }
    if (command == "saytogether") {
        std::vector<RoomLine> lines;
        for (std::size_t i = 1; i + 1 < request.size(); i += 2) {
            lines.push_back(RoomLine{request[i], request[i + 1]});
        }
        SayTogether(lines);
        return {};
    }
    if (command == "roomwidth") {
        SetRoomWidth(std::stoi(arg(1)));
        return {};
    }
    if (command == "historylimit") {
        SetHistoryLimit(static_cast<std::size_t>(std::stoul(arg(1))));
        return {};
    }
    if (command == "newwindowperroom") {
        newWindowPerRoom_ = arg(1) == "1";
        historyOnEntry_.clear();
        for (std::size_t i = 2; i + 1 < request.size(); i += 2) {
            historyOnEntry_.push_back(RoomLine{request[i], request[i + 1]});
        }
        return {};
    }
    if (command == "place") {
        Place(arg(1), std::stoi(arg(2)), std::stoi(arg(3)), std::stoi(arg(4)), std::stoi(arg(5)));
        return {};
    }
    if (command == "closeroom") {
        CloseRoom();
        return {};
    }
    if (command == "signon") {
        if (!frame_) {
            screenName_ = arg(1);
            roomName_ = arg(2);
            // The fields after the room: "richedit1" for a client made with
            // RichEdit 1.0, and the pieces it leaves out.
            firstGeneration = false;
            without_ = startWithout_;
            for (std::size_t i = 3; i < request.size(); ++i) {
                if (request[i] == "richedit1") {
                    firstGeneration = true;
                } else if (!request[i].empty()) {
                    without_.push_back(request[i]);
                }
            }
        }
        SignOn();
        return {};
    }
    if (command == "signoff") {
        SignOff();
        return {};
    }
    if (command == "type") {
        Type(arg(1));
        return {};
    }
    if (command == "say") {
        Say(arg(1), arg(2));
        return {};
    }
    if (command == "front") return flag(BringToFront(arg(1)));
    if (command == "openchild") {
        OpenChild(arg(1),
                  std::vector<std::string>(
                      request.begin() + std::min<std::size_t>(2, request.size()), request.end()));
        return {};
    }
    if (command == "openim") {
        OpenInstantMessageWindow(arg(1));
        return {};
    }
    if (command == "imdelay") {
        // Milliseconds, or nothing: the client never opens the window.
        if (arg(1).empty()) {
            imDelay_.reset();
        } else {
            imDelay_ = static_cast<DWORD>(std::stoul(arg(1)));
        }
        return {};
    }
    if (command == "quit") {
        quit_ = true;
        return {};
    }
    if (command == "ballast") {
        // An answer of the size asked for (at most 16 MB): what a client
        // sends when it hands large data to the system.
        return {std::string(std::min<std::size_t>(std::stoul(arg(1)), 16u << 20), 'x')};
    }
    if (command == "transcript") {
        std::vector<std::string> out;
        for (const auto& line : transcript_) {
            out.push_back(line.sender);
            out.push_back(line.text);
        }
        return out;
    }
    if (command == "addresses") return addresses_;
    if (command == "ims") {
        std::vector<std::string> out;
        for (const auto& [to, text] : ims_) {
            out.push_back(to);
            out.push_back(text);
        }
        return out;
    }
    if (command == "boxes") return boxes_;
    if (command == "boxopen") return flag(box_ != nullptr);
    if (command == "imson") return flag(imsOn_);
    if (command == "roomname") return {room_ ? FromAnsi(TextOf(room_)) : std::string()};
    if (command == "addressbox") return {FromAnsi(TextOf(addressEdit_))};
    if (command == "roominput") return {FromAnsi(TextOf(roomInput_))};
    if (command == "children") return ChildCaptions();
    if (command == "rect") {
        // Where a person finds a control on the screen: left, top, right,
        // bottom in screen pixels.
        HWND w = arg(1) == "input" ? roomInput_ : arg(1) == "send" ? roomSend_ : nullptr;
        RECT r{0, 0, 0, 0};
        if (!w || !GetWindowRect(w, &r)) throw std::invalid_argument("no such control: " + arg(1));
        return {std::to_string(r.left), std::to_string(r.top), std::to_string(r.right),
                std::to_string(r.bottom)};
    }
    if (command == "focus") {
        // Which of the client's controls has the keyboard: "input", or "".
        HWND focus = GetFocus();
        return {focus && focus == roomInput_ ? "input" : ""};
    }
    if (command == "frontcaption") {
        auto captions = ChildCaptions();
        return {captions.empty() ? std::string() : captions.front()};
    }
    throw std::invalid_argument("unknown command " + command);
}

LRESULT StandIn::ControlProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kRunReaction) {
        RunReaction();
        return 0;
    }
    if (msg == WM_DESTROY) {
        quit_ = true;  // closing the control window ends the program
        return 0;
    }
    if (msg != WM_COPYDATA) return DefWindowProcA(w, msg, wp, lp);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    if (!data || (static_cast<std::uint32_t>(data->dwData) & standin::kTagMask) != standin::kTag) {
        return FALSE;
    }
    auto request = standin::DecodeFields(
        std::string_view(static_cast<const char*>(data->lpData), data->lpData ? data->cbData : 0));
    std::vector<std::string> reply{"ok"};
    if (!request || request->empty()) {
        reply = {"error", "malformed request"};
    } else {
        try {
            auto results = Execute(*request);
            reply.insert(reply.end(), results.begin(), results.end());
        } catch (const std::exception& e) {
            reply = {"error", e.what()};
        }
    }
    std::string encoded = standin::EncodeFields(reply);
    COPYDATASTRUCT answer{};
    answer.dwData = data->dwData;
    answer.cbData = static_cast<DWORD>(encoded.size());
    answer.lpData = encoded.data();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(reinterpret_cast<HWND>(wp), WM_COPYDATA, reinterpret_cast<WPARAM>(w),
                        reinterpret_cast<LPARAM>(&answer), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kReplyTimeoutMs, &ignored);
    return TRUE;
}

std::string ArgAfter(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    instance = GetModuleHandleA(nullptr);
    std::string token = ArgAfter(argc, argv, "--token");
    std::string parentId = ArgAfter(argc, argv, "--parent");
    HANDLE parent = nullptr;
    if (DWORD id = static_cast<DWORD>(std::strtoul(parentId.c_str(), nullptr, 10))) {
        parent = OpenProcess(SYNCHRONIZE, FALSE, id);
    }
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--without") == 0) client.LeaveOut(argv[i + 1]);
    }
    client.Start(token);
    if (!client.Control()) return 2;

    // Do not outlive the test that started us, whatever happens to it.
    while (!client.QuitAsked()) {
        DWORD wait = client.PromoteDue();
        DWORD r = MsgWaitForMultipleObjectsEx(parent ? 1 : 0, parent ? &parent : nullptr, wait,
                                              QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (parent && r == WAIT_OBJECT_0) break;
        if (!client.Pump() && !client.QuitAsked()) return 0;
    }
    if (parent) CloseHandle(parent);
    return 0;
}
