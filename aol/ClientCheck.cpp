#include "aol/ClientCheck.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "aol/ClientWindows.h"
#include "aol/modAolTools.h"
#include "platform/AnsiText.h"

namespace aol {
namespace {

using platform::Hwnd;
using platform::WindowApi;

// The kinds of child a window needs to be taken for the chat room.
constexpr std::array<const char*, 4> kRoomKinds = {kRichEditClass, kListClass, kIconClass,
                                                   kStaticClass};
// The report says which children it means in words.
static_assert(kRoomSendIcon == 6, "the report calls the send icon the sixth");
static_assert(kRoomTranscript == 2, "the report calls the transcript the room's second");
// How much of the transcript's end is read for its last line.
constexpr std::int32_t kTail = 4096;
// The client's windows are counted no further than this.
constexpr int kMaxChildren = 200;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The address box's way down from the frame.
std::string AddressPath() {
    return std::string(kToolbarClass) + " > " + kInnerToolbarClass + " > " + kComboClass + " > " +
           kAddressClass;
}

int CountChildren(WindowApi& windows, Hwnd parent, const char* className) {
    int count = 0;
    for (Hwnd child = windows.FindWindowExA(parent, 0, className); child && count < kMaxChildren;
         child = windows.FindWindowExA(parent, child, className)) {
        ++count;
    }
    return count;
}

std::string Lacking(WindowApi& windows, Hwnd window) {
    std::string lacks;
    for (const char* kind : kRoomKinds) {
        if (windows.FindWindowExA(window, 0, kind)) continue;
        lacks += lacks.empty() ? "" : ", ";
        lacks += kind;
    }
    return lacks;
}

// The last chat line the transcript holds, "Sender: Text", and whether the
// scanner's two reads work on it.
struct TranscriptLook {
    bool readable = false;
    std::string lastLine;
};

TranscriptLook LookAtTranscript(WindowApi& windows, Hwnd transcript) {
    TranscriptLook look;
    const auto plain = windows.SendMessageA(transcript, platform::WM_GETTEXTLENGTH, 0, 0);
    platform::GetTextLengthEx how{platform::GTL_DEFAULT, 0};
    const auto length = windows.SendMessageA(transcript, platform::EM_GETTEXTLENGTHEX,
                                             reinterpret_cast<platform::WParam>(&how), 0);
    if (length <= 0) {
        // Empty, or a control that does not answer the scanner's message.
        look.readable = plain <= 0;
        return look;
    }
    const auto end = static_cast<std::int32_t>(std::min<platform::LResult>(length, INT32_MAX));
    const std::int32_t from = std::max<std::int32_t>(end - kTail, 0);
    std::string buffer(static_cast<std::size_t>(end - from) + 1, '\0');
    platform::TextRangeA range{{from, end}, buffer.data()};
    const auto got = windows.SendMessageA(transcript, platform::EM_GETTEXTRANGE, 0,
                                          reinterpret_cast<platform::LParam>(&range));
    if (got <= 0) return look;
    look.readable = true;
    std::string text(buffer.data(), static_cast<std::size_t>(std::min<platform::LResult>(
                                        got, static_cast<platform::LResult>(end - from))));
    // Paragraphs end in a carriage return (and a line feed, read with CRLF).
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    const auto start = text.find_last_of("\r\n");
    std::string last = start == std::string::npos ? text : text.substr(start + 1);
    std::replace(last.begin(), last.end(), '\t', ' ');
    look.lastLine = platform::FromAnsi(last);
    return look;
}

class Report {
  public:
    void Ok(const std::string& what) { lines_.push_back("ok  " + what); }
    // A piece the commands need is missing or unusable.
    void Missing(const std::string& what) {
        lines_.push_back("--  " + what);
        ready_ = false;
    }
    void Wrong(const std::string& what) {
        lines_.push_back("!!  " + what);
        ready_ = false;
    }
    void Note(const std::string& what) { lines_.push_back("    " + what); }
    ClientCheck Done(const std::string& why) {
        ClientCheck check;
        check.lines = std::move(lines_);
        check.ready = ready_;
        check.lines.push_back(ready_ ? "ready: the commands can reach the client"
                                     : "not ready: " + why);
        return check;
    }

  private:
    std::vector<std::string> lines_;
    bool ready_ = true;
};

}  // namespace

ClientCheck CheckClient(WindowApi& windows) {
    Report report;
    const Hwnd frame = windows.FindWindowA(kFrameClass);
    if (!frame) {
        report.Missing(std::string("main frame: no window of class ") + kFrameClass +
                       " (is the client running?)");
        return report.Done("no client is running");
    }
    report.Ok(std::string("main frame: ") + kFrameClass + " " +
              Quoted(modAolTools::GetWindowCaption(windows, frame)));
    const int bits = windows.ProcessBits(frame);
    if (bits > 0) report.Ok("client: a " + std::to_string(bits) + "-bit program");

    const Hwnd address = modAolTools::FindAddressBox(windows);
    if (address) {
        report.Ok("address box: " + AddressPath());
    } else {
        report.Missing("address box: no " + AddressPath() + " in the frame");
    }

    const Hwnd mdi = windows.FindWindowExA(frame, 0, kMdiClientClass);
    if (!mdi) {
        report.Missing(std::string("MDI client: the frame has no ") + kMdiClientClass);
        return report.Done("the client shows no windows inside its frame");
    }
    report.Ok(std::string("MDI client: ") + kMdiClientClass);

    // Every window inside, foremost first, and what keeps it from being a room.
    int count = 0;
    for (Hwnd child = windows.FindWindowExA(mdi, 0, kChildClass); child && count < kMaxChildren;
         child = windows.FindWindowExA(mdi, child, kChildClass)) {
        ++count;
        const std::string lacks = Lacking(windows, child);
        report.Note(std::string(kChildClass) + " " + std::to_string(count) + " " +
                    Quoted(modAolTools::GetWindowCaption(windows, child)) + ": " +
                    (lacks.empty() ? "has all four kinds of child" : "lacks " + lacks));
    }
    if (count == 0) report.Missing(std::string(kChildClass) + ": the client has no windows open");

    std::string why;
    auto because = [&why](const std::string& reason) {
        if (why.empty()) why = reason;
    };

    const std::string screenName = modAolTools::GetOwnScreenName(windows);
    const Hwnd welcome = modAolTools::FindWelcomeWindow(windows);
    if (!welcome) {
        report.Missing(std::string("welcome window: no ") + kChildClass + " captioned " +
                       Quoted(kWelcomeGreeting + std::string("NAME") + kWelcomeClose));
        because("without the welcome window no line counts as yours");
    } else if (screenName.empty()) {
        report.Wrong("welcome window: " + Quoted(modAolTools::GetWindowCaption(windows, welcome)) +
                     " names no screen name");
        because("without a screen name no line counts as yours");
    } else {
        report.Ok("welcome window: screen name " + Quoted(screenName));
    }

    const Hwnd room = modAolTools::FindChatRoom(windows);
    const std::string roomCaption = modAolTools::GetWindowCaption(windows, room);
    if (room) {
        report.Ok("chat room: " + Quoted(roomCaption));
    } else {
        report.Missing(std::string("chat room: no ") + kChildClass + " has a " + kRichEditClass +
                       ", an " + kListClass + ", an " + kIconClass + " and an " + kStaticClass);
        because("no chat room is open");
    }

    // Replies go to the foremost window, whichever it is.
    const Hwnd front = windows.FindWindowExA(mdi, 0, kChildClass);
    const std::string frontCaption = modAolTools::GetWindowCaption(windows, front);
    const Hwnd input = windows.FindWindowExA(front, 0, kRichEditClass);
    const int icons = CountChildren(windows, front, kIconClass);
    const bool sendIcon = icons >= kRoomSendIcon;
    if (front) {
        if (input && sendIcon) {
            report.Ok("foremost window " + Quoted(frontCaption) + ": input box " + kRichEditClass +
                      ", send button the sixth of " + std::to_string(icons) + " " + kIconClass);
        } else {
            report.Missing("foremost window " + Quoted(frontCaption) + ": " +
                           (input ? "" : std::string("no input box ") + kRichEditClass) +
                           (input || sendIcon ? "" : ", ") +
                           (sendIcon ? ""
                                     : "only " + std::to_string(icons) + " " + kIconClass +
                                           ", the send button is the sixth"));
            because("replies have no input box and send button to go to");
        }
        if (room && front != room) {
            report.Wrong("foremost window " + Quoted(frontCaption) +
                         " is not the chat room: replies would go there");
            because("the chat room is not the foremost window");
        }
    }

    if (room) {
        const Hwnd transcript =
            modAolTools::FindNthChild(windows, room, kRichEditClass, kRoomTranscript);
        const Hwnd firstRich = windows.FindWindowExA(room, 0, kRichEditClass);
        if (!transcript || transcript == firstRich) {
            report.Missing(std::string("transcript: the chat room has no second ") +
                           kRichEditClass);
            because("the room's lines cannot be read");
        } else {
            const TranscriptLook look = LookAtTranscript(windows, transcript);
            if (!look.readable) {
                report.Wrong(std::string("transcript: ") + kRichEditClass +
                             ", the room's second, does not answer "
                             "EM_GETTEXTLENGTHEX and EM_GETTEXTRANGE");
                because("the room's lines cannot be read");
            } else {
                report.Ok(
                    std::string("transcript: ") + kRichEditClass +
                    ", the room's second, readable; last line " +
                    (look.lastLine.empty() ? std::string("(none yet)") : Quoted(look.lastLine)));
            }
        }
    }
    if (!address) because("the address box is missing (web sites, rooms, instant messages)");
    return report.Done(why);
}

}  // namespace aol
