#include "clientsim/SimChatClient.h"

#include <algorithm>
#include <cstring>

#include "aol/ClientWindows.h"
#include "platform/AnsiText.h"
#include "platform/Text.h"

namespace clientsim {
namespace {

using platform::FromAnsi;
using platform::ToAnsi;
using platform::sim::WndProc;

using aol::kImIcons;
using aol::kImSendIcon;
using aol::kRoomIcons;
using aol::kRoomSendIcon;

constexpr std::string_view kRoomPrefix = aol::kPrivateRoomPrefix;
constexpr std::string_view kImPrefix = aol::kInstantMessagePrefix;

}  // namespace

ClientTimings ClientTimings::Realistic() {
    ClientTimings t;
    t.ownLine = Millis{120};
    t.otherLine = Millis{40};
    t.address = Millis{80};
    t.imWindow = Millis{300};
    t.imSend = Millis{150};
    t.messageBox = Millis{200};
    t.posted = Millis{30};
    return t;
}

SimChatClient::SimChatClient(SimWindowSystem& windows, Runtime& runtime, ClientOptions options)
    : windows_(windows), runtime_(runtime), options_(std::move(options)) {
    SetTimings(options_.timings);
}

void SimChatClient::SetTimings(const ClientTimings& timings) {
    options_.timings = timings;
    imDelay_ = timings.imWindow;
    windows_.SetPostLatency(timings.posted);
}

void SimChatClient::SetHistoryLimit(std::size_t lines) {
    options_.historyLimit = lines;
    Trim();
}

void SimChatClient::SetRoomWidth(int width) {
    options_.roomWidth = width;
    if (roomText_) {
        roomText_->SetWidth(width);
        windows_.NotifyChanged();
    }
}

SimChatClient::~SimChatClient() = default;

bool ClientOptions::Without(const std::string& piece) const {
    return std::find(without.begin(), without.end(), piece) != without.end();
}

void SimChatClient::SignOn(const std::string& room) {
    if (frame_) return;
    if (!room.empty()) options_.roomName = room;
    auto def = [this](Hwnd w, unsigned m, WParam wp, LParam lp) {
        return windows_.DefWindowProc(w, m, wp, lp);
    };
    frame_ = windows_.CreateWindow(0, aol::kFrameClass, aol::kFrameCaption, def);
    windows_.BringToFront(frame_);
    Hwnd toolbar = windows_.CreateWindow(frame_, aol::kToolbarClass, "");
    Hwnd inner = windows_.CreateWindow(toolbar, aol::kInnerToolbarClass, "");
    Hwnd combo = windows_.CreateWindow(inner, aol::kComboClass, "");
    if (!options_.Without("address")) {
        addressEdit_ = windows_.CreateWindow(
            combo, aol::kAddressClass, "",
            [this](Hwnd w, unsigned m, WParam wp, LParam lp) { return AddressProc(w, m, wp, lp); });
    }
    mdi_ = windows_.CreateWindow(frame_, aol::kMdiClientClass, "");

    auto child = [this](Hwnd w, unsigned m, WParam wp, LParam lp) {
        return ChildProc(w, m, wp, lp);
    };
    if (!options_.Without("welcome")) {
        welcome_ = windows_.CreateWindow(
            mdi_, aol::kChildClass,
            ToAnsi(aol::kWelcomeGreeting + options_.screenName + aol::kWelcomeClose), child);
        // The welcome window has controls of its own but no member list, so
        // it is never taken for a room.
        windows_.CreateWindow(welcome_, aol::kRichEditClass, "");
        for (int i = 0; i < aol::kWelcomeIcons; ++i)
            windows_.CreateWindow(welcome_, aol::kIconClass, "");
        windows_.CreateWindow(welcome_, aol::kStaticClass, "");
        windows_.BringToFront(welcome_);
    }

    if (!options_.Without("room")) CreateRoom(options_.roomName);
    WindowsChanged();
}

Hwnd SimChatClient::CreateRoom(const std::string& name) {
    auto child = [this](Hwnd w, unsigned m, WParam wp, LParam lp) {
        return ChildProc(w, m, wp, lp);
    };
    room_ = windows_.CreateWindow(mdi_, aol::kChildClass, ToAnsi(name), child);
    roomInput_ = windows_.CreateWindow(room_, aol::kRichEditClass, "");
    roomText_ = std::make_unique<SimRichEdit>(options_.roomWidth, options_.transcriptGeneration);
    roomTranscript_ = windows_.CreateWindow(
        room_, options_.Without("transcript") ? "RichEdit20A" : aol::kRichEditClass, "",
        [this](Hwnd w, unsigned m, WParam wp, LParam lp) { return TranscriptProc(w, m, wp, lp); });
    if (!options_.Without("members")) roomList_ = windows_.CreateWindow(room_, aol::kListClass, "");
    const int icons = options_.Without("sendicon") ? kRoomSendIcon - 1 : kRoomIcons;
    for (int i = 1; i <= icons; ++i) {
        WndProc proc;
        if (i == kRoomSendIcon) {
            proc = [this](Hwnd w, unsigned m, WParam wp, LParam lp) {
                return RoomSendProc(w, m, wp, lp);
            };
        }
        Hwnd icon = windows_.CreateWindow(room_, aol::kIconClass, "", std::move(proc));
        if (i == kRoomSendIcon) roomSend_ = icon;
    }
    roomSendDown_ = false;
    if (!options_.Without("static")) windows_.CreateWindow(room_, aol::kStaticClass, "");
    for (const auto& line : options_.historyOnEntry)
        AppendLine(line.sender, ToAnsi(line.text), false);
    windows_.BringToFront(room_);
    return room_;
}

void SimChatClient::SignOff() {
    if (box_) windows_.DestroyWindow(box_);
    if (frame_) windows_.DestroyWindow(frame_);
    frame_ = mdi_ = addressEdit_ = welcome_ = 0;
    room_ = roomInput_ = roomTranscript_ = roomList_ = roomSend_ = 0;
    roomText_.reset();
    box_ = boxButton_ = 0;
    imWindows_.clear();
    WindowsChanged();
}

void SimChatClient::CloseRoom() {
    if (!room_) return;
    Hwnd room = room_;
    Forget(room);
    windows_.DestroyWindow(room);
    WindowsChanged();
}

// --- the people in the room ---

void SimChatClient::Type(const std::string& text) {
    if (!room_) return;
    windows_.SetText(roomInput_, ToAnsi(text));
    SendFromRoom();
}

void SimChatClient::Say(const std::string& sender, const std::string& text) {
    std::string ansi = ToAnsi(text);
    windows_.QueueReaction(
        [this, sender, ansi] {
            if (room_) AppendLine(sender, ansi, true);
        },
        options_.timings.otherLine);
}

void SimChatClient::SayTogether(const std::vector<RoomLine>& lines) {
    std::vector<RoomLine> ansi;
    ansi.reserve(lines.size());
    for (const auto& line : lines) ansi.push_back(RoomLine{line.sender, ToAnsi(line.text)});
    windows_.QueueReaction(
        [this, ansi] {
            for (const auto& line : ansi) {
                if (room_) AppendLine(line.sender, line.text, true);
            }
        },
        options_.timings.otherLine);
}

void SimChatClient::AppendLine(const std::string& senderUtf8, const std::string& ansiText,
                               bool record) {
    // A chat line is one paragraph: a break inside it (or a NUL, which the
    // control cannot hold) shows as a blank.
    std::string text = ansiText;
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    roomText_->AppendParagraph(ToAnsi(senderUtf8) + ":\t" + text);
    Trim();
    if (record) {
        transcript_.push_back(RoomLine{senderUtf8, FromAnsi(text)});
        if (observer_.onRoomLine) observer_.onRoomLine(transcript_.back());
    }
    windows_.NotifyChanged();
}

void SimChatClient::Trim() {
    const std::size_t limit = options_.historyLimit;
    if (!roomText_ || limit == 0 || roomText_->ParagraphCount() <= limit) return;
    roomText_->RemoveFirstParagraphs(roomText_->ParagraphCount() - limit);
    windows_.NotifyChanged();
}

// --- window procedures ---

void SimChatClient::SendFromRoom() {
    // The client takes the box's text at the click and clears the box; the
    // line shows in the room after the round trip to the server.
    std::string text = windows_.Text(roomInput_);
    windows_.SetText(roomInput_, "");
    if (text.empty()) return;  // the client sends no empty line
    windows_.QueueReaction(
        [this, text] {
            if (room_) AppendLine(options_.screenName, text, true);
        },
        options_.timings.ownLine);
}

LResult SimChatClient::RoomSendProc(Hwnd w, unsigned msg, WParam wp, LParam lp) {
    // The icon sends when the button has gone down and the space key then
    // comes up over it; a button-up in between cancels the press, and a
    // key-up alone does nothing.
    switch (msg) {
        case platform::WM_LBUTTONDOWN:
            roomSendDown_ = true;
            return 0;
        case platform::WM_LBUTTONUP:
            roomSendDown_ = false;
            return 0;
        case platform::WM_KEYUP:
            if (wp == platform::VK_SPACE && roomSendDown_) {
                roomSendDown_ = false;
                SendFromRoom();
            }
            return 0;
        default:
            return windows_.DefWindowProc(w, msg, wp, lp);
    }
}

LResult SimChatClient::TranscriptProc(Hwnd w, unsigned msg, WParam wp, LParam lp) {
    bool handled = false;
    LResult result = roomText_ ? roomText_->Handle(msg, wp, lp, handled) : 0;
    if (handled) {
        if (msg == platform::WM_SETTEXT) windows_.NotifyChanged();
        return result;
    }
    return windows_.DefWindowProc(w, msg, wp, lp);
}

LResult SimChatClient::AddressProc(Hwnd w, unsigned msg, WParam wp, LParam lp) {
    if (msg != platform::WM_CHAR) return windows_.DefWindowProc(w, msg, wp, lp);
    if (wp == platform::VK_RETURN) {
        // The box holds what was typed, the blank before the return too; the
        // client goes where the address leads.
        std::string address = platform::TrimBlanks(FromAnsi(windows_.Text(w)));
        windows_.QueueReaction([this, address] { Navigate(address); }, options_.timings.address);
        return 0;
    }
    // Any other character is typed at the end of the box, where the caret
    // stands after the text was set.
    std::string text = windows_.Text(w);
    text.push_back(static_cast<char>(wp & 0xFF));
    windows_.SetText(w, std::move(text));
    return 0;
}

void SimChatClient::Navigate(const std::string& address) {
    if (!frame_) return;
    addresses_.push_back(address);
    if (observer_.onAddress) observer_.onAddress(address);
    if (address.rfind(kRoomPrefix, 0) == 0) {
        std::string name = address.substr(kRoomPrefix.size());
        if (room_ && !options_.newWindowPerRoom) {
            windows_.SetText(room_, ToAnsi(name));
            windows_.BringToFront(room_);
        } else {
            // A new room window takes the old one's place.
            Hwnd old = room_;
            if (old) Forget(old);
            CreateRoom(name);
            if (old) windows_.DestroyWindow(old);
        }
        WindowsChanged();
    } else if (address.rfind(kImPrefix, 0) == 0) {
        std::string to = address.substr(kImPrefix.size());
        if (imDelay_) {
            windows_.QueueReaction(
                [this, to] {
                    if (frame_) OpenInstantMessageWindow(to);
                },
                *imDelay_);
        }
    }
}

Hwnd SimChatClient::OpenInstantMessageWindow(const std::string& screenName) {
    if (!mdi_) return 0;
    ImWindow im;
    im.to = screenName;
    im.window = windows_.CreateWindow(
        mdi_, aol::kChildClass, aol::kImCaption,
        [this](Hwnd w, unsigned m, WParam wp, LParam lp) { return ChildProc(w, m, wp, lp); });
    im.message = windows_.CreateWindow(im.window, aol::kRichEditClass, "");
    windows_.CreateWindow(im.window, aol::kRichEditClass, "");  // the conversation so far
    windows_.CreateWindow(im.window, aol::kStaticClass,
                          ToAnsi(aol::kImAddresseeLabel + screenName));
    for (int i = 1; i <= kImIcons; ++i) {
        WndProc proc;
        if (i == kImSendIcon) {
            proc = [this](Hwnd w, unsigned m, WParam wp, LParam lp) {
                return ImSendProc(w, m, wp, lp);
            };
        }
        Hwnd icon = windows_.CreateWindow(im.window, aol::kIconClass, "", std::move(proc));
        if (i == kImSendIcon) im.sendButton = icon;
    }
    windows_.BringToFront(im.window);
    imWindows_.push_back(im);
    WindowsChanged();
    return im.window;
}

SimChatClient::ImWindow* SimChatClient::FindIm(Hwnd anyPart) {
    for (auto& im : imWindows_) {
        if (im.window == anyPart || im.sendButton == anyPart || im.message == anyPart) return &im;
    }
    return nullptr;
}

LResult SimChatClient::ImSendProc(Hwnd w, unsigned msg, WParam wp, LParam lp) {
    ImWindow* im = FindIm(w);
    if (!im) return windows_.DefWindowProc(w, msg, wp, lp);
    if (msg == platform::WM_LBUTTONDOWN) {
        im->buttonDown = true;
        return 0;
    }
    if (msg != platform::WM_LBUTTONUP || !im->buttonDown)
        return windows_.DefWindowProc(w, msg, wp, lp);
    im->buttonDown = false;
    Hwnd window = im->window;
    std::string to = im->to;
    std::string text = FromAnsi(windows_.Text(im->message));
    windows_.QueueReaction(
        [this, window, to, text] {
            if (!windows_.IsWindow(window)) return;
            ims_.push_back(InstantMessage{to, text});
            if (observer_.onInstantMessage) observer_.onInstantMessage(ims_.back());
            if (to == aol::kImSwitchOn || to == aol::kImSwitchOff) {
                // The switch answers with the client's own box, a moment
                // later, and leaves the message window open behind it.
                imsOn_ = to == aol::kImSwitchOn;
                std::string box = imsOn_ ? aol::kImsOnBoxText : aol::kImsOffBoxText;
                windows_.QueueReaction(
                    [this, box] {
                        if (frame_) ShowMessageBox(box);
                    },
                    options_.timings.messageBox);
            } else {
                Forget(window);
                windows_.DestroyWindow(window);
                WindowsChanged();
            }
        },
        options_.timings.imSend);
    return 0;
}

void SimChatClient::ShowMessageBox(const std::string& text) {
    if (box_) {
        Forget(box_);
        windows_.DestroyWindow(box_);
    }
    box_ = windows_.CreateWindow(
        0, aol::kBoxClass, aol::kBoxCaption,
        [this](Hwnd w, unsigned m, WParam wp, LParam lp) { return ChildProc(w, m, wp, lp); });
    boxButton_ = windows_.CreateWindow(
        box_, aol::kBoxButtonClass, "OK",
        [this](Hwnd w, unsigned m, WParam wp, LParam lp) { return BoxButtonProc(w, m, wp, lp); });
    windows_.CreateWindow(box_, aol::kBoxTextClass, ToAnsi(text));
    windows_.BringToFront(box_);
    boxes_.push_back(text);
    if (observer_.onMessageBox) observer_.onMessageBox(text);
    WindowsChanged();
}

LResult SimChatClient::BoxButtonProc(Hwnd w, unsigned msg, WParam wp, LParam lp) {
    // A button is pressed by the space key going down and then up over it.
    if (msg == platform::WM_KEYDOWN && wp == platform::VK_SPACE) {
        boxSpaceDown_ = true;
        return 0;
    }
    if (msg == platform::WM_KEYUP && wp == platform::VK_SPACE && boxSpaceDown_) {
        boxSpaceDown_ = false;
        Hwnd box = windows_.Parent(w);
        Forget(box);
        windows_.DestroyWindow(box);
        WindowsChanged();
        return 0;
    }
    return windows_.DefWindowProc(w, msg, wp, lp);
}

LResult SimChatClient::ChildProc(Hwnd w, unsigned msg, WParam wp, LParam lp) {
    if (msg == platform::WM_CLOSE) {
        Forget(w);
        windows_.DestroyWindow(w);
        WindowsChanged();
        return 0;
    }
    return windows_.DefWindowProc(w, msg, wp, lp);
}

void SimChatClient::Forget(Hwnd window) {
    if (window == room_) {
        room_ = roomInput_ = roomTranscript_ = roomList_ = roomSend_ = 0;
        roomText_.reset();
    }
    if (window == welcome_) welcome_ = 0;
    if (window == box_) box_ = boxButton_ = 0;
    imWindows_.erase(std::remove_if(imWindows_.begin(), imWindows_.end(),
                                    [window](const ImWindow& im) { return im.window == window; }),
                     imWindows_.end());
}

void SimChatClient::WindowsChanged() {
    if (observer_.onWindowsChanged) observer_.onWindowsChanged();
    windows_.NotifyChanged();
}

// --- hand and record ---

bool SimChatClient::BringToFront(const std::string& caption) {
    std::string ansi = ToAnsi(caption);
    Hwnd found = windows_.FindWindowExA(mdi_, 0, aol::kChildClass, ansi);
    if (!found) return false;
    windows_.BringToFront(found);
    WindowsChanged();
    return true;
}

Hwnd SimChatClient::OpenChild(const std::string& caption,
                              const std::vector<std::string>& childClasses) {
    if (!mdi_) return 0;
    Hwnd w = windows_.CreateWindow(
        mdi_, aol::kChildClass, ToAnsi(caption),
        [this](Hwnd h, unsigned m, WParam wp, LParam lp) { return ChildProc(h, m, wp, lp); });
    for (const auto& cls : childClasses) windows_.CreateWindow(w, cls, "");
    windows_.BringToFront(w);
    WindowsChanged();
    return w;
}

std::string SimChatClient::RoomName() const {
    return room_ ? FromAnsi(windows_.Text(room_)) : std::string();
}

std::string SimChatClient::AddressBoxText() const {
    return FromAnsi(windows_.Text(addressEdit_));
}

std::vector<std::string> SimChatClient::ChildCaptions() const {
    std::vector<std::string> captions;
    for (Hwnd w : windows_.Children(mdi_)) captions.push_back(FromAnsi(windows_.Text(w)));
    return captions;
}

std::string SimChatClient::FrontCaption() const {
    auto children = windows_.Children(mdi_);
    return children.empty() ? std::string() : FromAnsi(windows_.Text(children.front()));
}

}  // namespace clientsim
