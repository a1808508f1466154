#include "tools/standin/StandInClient.h"

// After windows.h, which it needs.
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "aol/ClientWindows.h"
#include "platform/AnsiText.h"
#include "tools/standin/StandInWindows.h"

namespace standin {
namespace {

using platform::FromAnsi;
using platform::ToAnsi;

// How long the member's line waits for another hand's press to end.
constexpr ULONGLONG kPressWaitMs = 1000;

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

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

StandInClient::StandInClient(HINSTANCE instance)
    : instance_(instance), transcriptHeight_(kTranscriptHeight) {}

void StandInClient::SetControlWindow(HWND control) {
    control_ = control;
    reactions_.SetWakeWindow(control);
}

bool StandInClient::Without(const std::string& piece) const {
    return std::find(without_.begin(), without_.end(), piece) != without_.end();
}

// --- building and tearing down ---

HWND StandInClient::CreateChild(HWND parent, const char* className, const std::string& ansiText) {
    // A child window goes behind its existing siblings, so the order of
    // creation is the order in which lookups find them.
    return CreateWindowExA(0, className, ansiText.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 40, 20,
                           parent, nullptr, instance_, nullptr);
}

HWND StandInClient::CreateMdiChild() {
    // Hidden and without a caption while its controls are added: the
    // automation in the other process looks at the tree while it is built,
    // and must not find half a window by its caption (the ninth icon of a
    // window that has four so far is another icon).
    MDICREATESTRUCTA create{};
    create.szClass = aol::kChildClass;
    create.szTitle = "";
    create.hOwner = instance_;
    create.x = create.y = CW_USEDEFAULT;
    create.cx = 300;
    create.cy = 200;
    return reinterpret_cast<HWND>(
        SendMessageA(mdi_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

void StandInClient::Present(HWND child, const std::string& ansiCaption) {
    SetWindowTextA(child, ansiCaption.c_str());
    ShowWindow(child, SW_SHOWNORMAL);
    Activate(child);
}

void StandInClient::Activate(HWND child) {
    if (mdi_ && child) SendMessageA(mdi_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
}

void StandInClient::SignOn(const SignOnOptions& options) {
    if (!frame_) {
        screenName_ = options.screenName;
        roomName_ = options.room;
        firstRichEdit_ = options.firstRichEdit;
        without_ = startWithout_;
        without_.insert(without_.end(), options.without.begin(), options.without.end());
    }
    SignOn();
}

void StandInClient::SignOn() {
    if (frame_) return;
    frame_ = CreateWindowExA(0, aol::kFrameClass, aol::kFrameCaption,
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 800, 600,
                             nullptr, nullptr, instance_, nullptr);
    HWND toolbar = CreateChild(frame_, aol::kToolbarClass);
    HWND inner = CreateChild(toolbar, aol::kInnerToolbarClass);
    HWND combo = CreateChild(inner, aol::kComboClass);
    if (!Without("address")) addressEdit_ = CreateChild(combo, aol::kAddressClass);

    CLIENTCREATESTRUCT clientCreate{};
    clientCreate.idFirstChild = 50000;
    mdi_ =
        CreateWindowExA(0, aol::kMdiClientClass, nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE,
                        0, kToolbarHeight, 780, 500, frame_, nullptr, instance_, &clientCreate);

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

void StandInClient::CreateRoom(const std::string& name) {
    room_ = CreateMdiChild();
    // An input box that looks like one, and takes a person's Return.
    roomInput_ = CreateWindowExA(WS_EX_CLIENTEDGE, aol::kRichEditClass, "", WS_CHILD | WS_VISIBLE,
                                 0, 0, 40, kInputHeight, room_, nullptr, instance_, nullptr);
    SubclassRoomInput(roomInput_);
    roomTranscript_ =
        CreateWindowExA(0, Without("transcript") ? "RichEdit20A" : aol::kRichEditClass, "",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 0, kTranscriptTop,
                        std::max(roomWidth_, 1) * kCharWidth + kTranscriptMargin, transcriptHeight_,
                        room_, nullptr, instance_, nullptr);
    SendMessageA(roomTranscript_, EM_EXLIMITTEXT, 0, kTextLimit);
    // Wrap at the window's width (or not at all for a width of 0).
    SendMessageA(roomTranscript_, EM_SETTARGETDEVICE, 0, roomWidth_ > 0 ? 0 : 1);
    paragraphs_.clear();
    roomSendDown_ = false;
    if (!Without("members")) CreateChild(room_, aol::kListClass);
    const int icons = Without("sendicon") ? aol::kRoomSendIcon - 1 : aol::kRoomIcons;
    for (int i = 1; i <= icons; ++i) {
        HWND icon = CreateChild(room_, aol::kIconClass, i == aol::kRoomSendIcon ? "Send" : "");
        if (i == aol::kRoomSendIcon) roomSend_ = icon;
    }
    if (!Without("static")) CreateChild(room_, aol::kStaticClass);
    // Big enough to show the transcript, the input box and the icons.
    RECT outer{0, 0, std::max(roomWidth_, 1) * kCharWidth + kTranscriptMargin,
               kTranscriptTop + transcriptHeight_ + kIconRow};
    AdjustWindowRectEx(&outer, GetWindowLongA(room_, GWL_STYLE), FALSE,
                       GetWindowLongA(room_, GWL_EXSTYLE));
    SetWindowPos(room_, nullptr, 0, 0,
                 std::max<LONG>(outer.right - outer.left, aol::kRoomIcons * kIconWidth),
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

void StandInClient::LayOutRoom() {
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

void StandInClient::SignOff() {
    if (box_) DestroyWindow(box_);
    if (frame_) DestroyWindow(frame_);
    frame_ = mdi_ = addressEdit_ = welcome_ = nullptr;
    room_ = roomInput_ = roomTranscript_ = roomSend_ = nullptr;
    box_ = boxButton_ = nullptr;
    imWindows_.clear();
}

void StandInClient::Forget(HWND window) {
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

void StandInClient::Type(const std::string& text) {
    if (!room_) return;
    typing_.push_back(text);
    // Lines already waiting are typed first, by the reaction that waits.
    if (typing_.size() > 1) return;
    typingDeadline_ = NowMs() + kPressWaitMs;
    TypeWaiting();
}

void StandInClient::TypeWaiting() {
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
            reactions_.Queue([this] { TypeWaiting(); }, 1);
            return;
        }
        SetWindowTextA(roomInput_, ToAnsi(typing_.front()).c_str());
        typing_.pop_front();
        typingDeadline_ = NowMs() + kPressWaitMs;
        RoomSend(roomSend_, WM_LBUTTONDOWN, 0, 0);
        RoomSend(roomSend_, WM_KEYUP, VK_SPACE, 0);
    }
}

void StandInClient::Say(const std::string& sender, const std::string& text) {
    std::string ansi = ToAnsi(text);
    reactions_.Queue(
        [this, sender, ansi] {
            if (room_) AppendLine(sender, ansi);
        },
        timings_.otherLine);
}

void StandInClient::SayTogether(const std::vector<RoomLine>& lines) {
    std::vector<RoomLine> ansi;
    for (const auto& line : lines) ansi.push_back(RoomLine{line.sender, ToAnsi(line.text)});
    reactions_.Queue(
        [this, ansi] {
            for (const auto& line : ansi) {
                if (room_) AppendLine(line.sender, line.text);
            }
        },
        timings_.otherLine);
}

void StandInClient::SendRoomLine() {
    // The client takes the box's text and clears the box; the line shows in
    // the room after the round trip to the server.
    std::string text = TextOf(roomInput_);
    SetWindowTextA(roomInput_, "");
    if (text.empty()) return;  // the client sends no empty line
    reactions_.Queue(
        [this, text] {
            if (room_) AppendLine(screenName_, text);
        },
        timings_.ownLine);
}

// --- the transcript ---

const char* StandInClient::ParagraphEnd() const {
    return firstRichEdit_ ? "\r\n" : "\r";
}

LONG StandInClient::TranscriptLength() const {
    // The first generation does not know EM_GETTEXTLENGTHEX; its own text
    // length counts its paragraph ends as its offsets do.
    if (firstRichEdit_) return GetWindowTextLengthA(roomTranscript_);
    GETTEXTLENGTHEX how{GTL_DEFAULT, CP_ACP};
    return static_cast<LONG>(
        SendMessageA(roomTranscript_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

void StandInClient::AppendLine(const std::string& senderUtf8, const std::string& ansiText) {
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

void StandInClient::Trim() {
    if (!roomTranscript_ || historyLimit_ == 0 || paragraphs_.size() <= historyLimit_) return;
    LONG cut = 0;
    while (paragraphs_.size() > historyLimit_) {
        cut += paragraphs_.front();
        paragraphs_.pop_front();
    }
    SendMessageA(roomTranscript_, EM_SETSEL, 0, cut);
    SendMessageA(roomTranscript_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

// --- how the client behaves ---

void StandInClient::SetRoomWidth(int chars) {
    roomWidth_ = chars;
    if (!roomTranscript_) return;
    // 0: no wrap at all, the control's own setting for it.
    SendMessageA(roomTranscript_, EM_SETTARGETDEVICE, 0, chars > 0 ? 0 : 1);
    SetWindowPos(roomTranscript_, nullptr, 0, 0,
                 (chars > 0 ? chars : 60) * kCharWidth + kTranscriptMargin, transcriptHeight_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutRoom();
}

void StandInClient::SetHistoryLimit(std::size_t lines) {
    historyLimit_ = lines;
    Trim();
}

void StandInClient::SetNewWindowPerRoom(bool on, std::vector<RoomLine> history) {
    newWindowPerRoom_ = on;
    historyOnEntry_ = std::move(history);
}

void StandInClient::Place(const std::string& what, int x, int y, int width, int height) {
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

// --- the hand on the client ---

void StandInClient::CloseRoom() {
    if (!room_) return;
    HWND room = room_;
    Forget(room);
    if (mdi_) SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(room), 0);
}

bool StandInClient::BringToFront(const std::string& caption) {
    if (!mdi_) return false;
    HWND found = FindWindowExA(mdi_, nullptr, aol::kChildClass, ToAnsi(caption).c_str());
    if (!found) return false;
    Activate(found);
    return true;
}

void StandInClient::OpenChild(const std::string& caption, const std::vector<std::string>& classes) {
    if (!mdi_) return;
    HWND w = CreateMdiChild();
    for (const auto& cls : classes) {
        EnsureClass(instance_, cls);
        CreateChild(w, cls.c_str());
    }
    Present(w, ToAnsi(caption));
}

void StandInClient::OpenInstantMessageWindow(const std::string& screenName) {
    if (!mdi_) return;
    ImWindow im;
    im.to = screenName;
    im.window = CreateMdiChild();
    im.message = CreateChild(im.window, aol::kRichEditClass);
    CreateChild(im.window, aol::kRichEditClass);  // the conversation so far
    CreateChild(im.window, aol::kStaticClass, ToAnsi(aol::kImAddresseeLabel + screenName));
    for (int i = 1; i <= aol::kImIcons; ++i) {
        HWND icon = CreateChild(im.window, aol::kIconClass);
        if (i == aol::kImSendIcon) im.sendButton = icon;
    }
    imWindows_.push_back(im);
    Present(im.window, aol::kImCaption);
}

StandInClient::ImWindow* StandInClient::FindIm(HWND anyPart) {
    for (auto& im : imWindows_) {
        if (im.window == anyPart || im.sendButton == anyPart || im.message == anyPart) return &im;
    }
    return nullptr;
}

// --- what the client does ---

void StandInClient::Navigate(const std::string& address) {
    if (!frame_) return;
    addresses_.push_back(address);
    if (StartsWith(address, aol::kPrivateRoomPrefix)) {
        std::string name = address.substr(std::strlen(aol::kPrivateRoomPrefix));
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
    } else if (StartsWith(address, aol::kInstantMessagePrefix)) {
        std::string to = address.substr(std::strlen(aol::kInstantMessagePrefix));
        if (imDelay_) {
            reactions_.Queue(
                [this, to] {
                    if (frame_) OpenInstantMessageWindow(to);
                },
                *imDelay_);
        }
    }
}

void StandInClient::ShowMessageBox(const std::string& text) {
    if (box_) {
        HWND old = box_;
        Forget(old);
        DestroyWindow(old);
    }
    // A window of the system's dialog class, as the client's own boxes are,
    // with its procedure replaced so that it closes the way described here.
    // Its caption comes last, so that it is found only with its button.
    box_ = CreateWindowExA(0, MAKEINTATOM(0x8002), "", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100,
                           300, 120, nullptr, nullptr, instance_, nullptr);
    if (!box_) return;
    SubclassMessageBox(box_);
    boxButton_ = CreateChild(box_, aol::kBoxButtonClass, "OK");
    CreateChild(box_, aol::kBoxTextClass, ToAnsi(text));
    SetWindowTextA(box_, aol::kBoxCaption);
    boxSpaceDown_ = false;
    boxes_.push_back(text);
}

// --- the client's thread ---

void StandInClient::HandleQueued(const MSG& msg) {
    // What another program posts to the client's windows (the automation's
    // keys, clicks and closes) waits until the client gets to it.
    bool fromOutside =
        msg.hwnd && msg.hwnd != control_ &&
        (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR ||
         msg.message == WM_CLOSE || msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONUP);
    if (fromOutside && timings_.posted > 0) {
        MSG held = msg;
        reactions_.Queue(
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

void StandInClient::HandleInput(const MSG& msg) {
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

// --- the record ---

std::string StandInClient::RoomName() const {
    return room_ ? FromAnsi(TextOf(room_)) : std::string();
}

std::string StandInClient::AddressBoxText() const {
    return FromAnsi(TextOf(addressEdit_));
}

std::string StandInClient::RoomInputText() const {
    return FromAnsi(TextOf(roomInput_));
}

std::vector<std::string> StandInClient::ChildCaptions() const {
    std::vector<std::string> captions;
    if (!mdi_) return captions;
    for (HWND w = GetWindow(mdi_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        captions.push_back(FromAnsi(TextOf(w)));
    }
    return captions;
}

std::optional<RECT> StandInClient::ScreenRect(const std::string& control) const {
    HWND w = control == "input" ? roomInput_ : control == "send" ? roomSend_ : nullptr;
    RECT r{0, 0, 0, 0};
    if (!w || !GetWindowRect(w, &r)) return std::nullopt;
    return r;
}

bool StandInClient::InputHasFocus() const {
    HWND focus = GetFocus();
    return focus && focus == roomInput_;
}

}  // namespace standin
