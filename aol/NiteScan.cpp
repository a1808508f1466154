#include "aol/NiteScan.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <vector>

#include "aol/modAolTools.h"
#include "platform/AnsiText.h"

namespace aol {
namespace {

// Where the window system cannot tell of changes, look this often.
constexpr platform::Millis kPollInterval{100};
// The anchor: the last lines read, whole, up to this many of them, and no
// more once they hold this many characters.
constexpr std::size_t kAnchorLines = 3;
constexpr std::size_t kAnchorChars = 256;
// How far back from where it was the anchor is first looked for after the
// history moved; each further try looks four times as far.
constexpr std::size_t kFirstSearch = 4096;
// What the tail read on a fresh transcript takes in to make its anchor.
constexpr std::size_t kTailForAnchor = 2048;
// Rich edit offsets are 32-bit.
constexpr std::size_t kMaxOffset =
    static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

}  // namespace

NiteScan::NiteScan(platform::Services& services)
    : services_(services), alive_(std::make_shared<NiteScan*>(this)) {
    std::weak_ptr<NiteScan*> alive = alive_;
    listener_ = services_.windows.AddChangeListener([alive] {
        if (auto self = alive.lock()) (*self)->OnChange();
    });
}

NiteScan::~NiteScan() {
    if (listener_) services_.windows.RemoveChangeListener(listener_);
    if (pollTimer_) services_.runtime.StopTimer(pollTimer_);
    alive_.reset();
}

void NiteScan::ScanON() {
    if (scanning_) return;
    // Only lines that reach the room from now on count.
    StartAtEnd(FindTranscript());
    pending_.clear();
    scanning_ = true;
    if (!listener_ && !pollTimer_) {
        std::weak_ptr<NiteScan*> alive = alive_;
        pollTimer_ = services_.runtime.StartTimer(kPollInterval, [alive] {
            if (auto self = alive.lock()) (*self)->OnChange();
        });
    }
}

void NiteScan::ScanOFF() {
    if (!scanning_) return;
    // At once: what was read and not yet delivered goes too, or a command
    // could still run after the commands were switched off.
    scanning_ = false;
    pending_.clear();
    if (pollTimer_) {
        services_.runtime.StopTimer(pollTimer_);
        pollTimer_ = 0;
    }
}

void NiteScan::OnChange() {
    // Called from inside the window system: only take note, and read the
    // room when the event loop turns.
    if (!scanning_ || capturePosted_) return;
    capturePosted_ = true;
    std::weak_ptr<NiteScan*> alive = alive_;
    services_.runtime.Post([alive] {
        if (auto self = alive.lock()) {
            (*self)->capturePosted_ = false;
            if ((*self)->scanning_) (*self)->Capture();
            (*self)->Deliver();
        }
    });
}

platform::Hwnd NiteScan::FindTranscript() {
    platform::WindowApi& windows = services_.windows;
    platform::Hwnd room = modAolTools::FindChatRoom(windows);
    return room ? modAolTools::FindNthChild(windows, room, "RICHCNTL", 2) : 0;
}

std::size_t NiteScan::TextLength(platform::Hwnd transcript) {
    platform::GetTextLengthEx how{platform::GTL_DEFAULT, 0};
    auto length = services_.windows.SendMessageA(transcript, platform::EM_GETTEXTLENGTHEX,
                                                 reinterpret_cast<platform::WParam>(&how), 0);
    return std::min(static_cast<std::size_t>(std::max<platform::LResult>(length, 0)), kMaxOffset);
}

std::string NiteScan::ReadRange(platform::Hwnd transcript, std::size_t from, std::size_t to) {
    if (to <= from) return std::string();
    std::vector<char> buffer(to - from + 1, '\0');
    platform::TextRangeA range{{static_cast<std::int32_t>(from), static_cast<std::int32_t>(to)},
                               buffer.data()};
    auto got = services_.windows.SendMessageA(transcript, platform::EM_GETTEXTRANGE, 0,
                                              reinterpret_cast<platform::LParam>(&range));
    auto n = std::clamp<platform::LResult>(got, 0, static_cast<platform::LResult>(to - from));
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

void NiteScan::StartAtEnd(platform::Hwnd transcript) {
    transcript_ = transcript;
    offset_ = transcript ? TextLength(transcript) : 0;
    anchor_.clear();
    if (offset_ == 0) return;
    std::size_t from = offset_ - std::min(offset_, kTailForAnchor);
    std::string tail = ReadRange(transcript, from, offset_);
    if (tail.size() != offset_ - from) {
        offset_ = from + tail.size();
    }
    SetAnchorFrom(tail);
}

void NiteScan::SetAnchorFrom(const std::string& text) {
    // `text` ends at offset_. Whole lines from its end, as many as the
    // limits allow, but at least the last one: a line's text is what tells
    // one place in the history from another.
    std::size_t start = text.size();
    for (std::size_t lines = 0; lines < kAnchorLines && start > 0; ++lines) {
        if (lines > 0 && text.size() - start >= kAnchorChars) break;
        std::size_t previous = start >= 2 ? text.rfind('\r', start - 2) : std::string::npos;
        start = previous == std::string::npos ? 0 : previous + 1;
    }
    anchor_ = text.substr(start);
}

bool NiteScan::FindAnchor(platform::Hwnd transcript, std::size_t end, std::size_t& at) {
    // Trimming takes whole lines off the top, so the anchor now ends further
    // up, by as much as was trimmed; the nearest place where it ends is
    // where it went. Look back from where it was, further each time.
    const std::size_t limit = std::min(offset_, end);
    if (anchor_.empty()) {
        at = 0;
        return true;
    }
    for (std::size_t span = kFirstSearch;; span *= 4) {
        std::size_t reach = anchor_.size() + span;
        std::size_t lo = limit > reach ? limit - reach : 0;
        std::string chunk = ReadRange(transcript, lo, limit);
        std::size_t found = chunk.rfind(anchor_);
        if (found != std::string::npos) {
            at = lo + found + anchor_.size();
            return true;
        }
        if (lo == 0) break;
    }
    // The trim took part of the anchor itself: the transcript now begins with
    // its last lines, or with none of it.
    std::string head = ReadRange(transcript, 0, std::min(end, anchor_.size()));
    for (std::size_t cr = anchor_.find('\r'); cr != std::string::npos && cr + 1 < anchor_.size();
         cr = anchor_.find('\r', cr + 1)) {
        std::string_view rest(anchor_.data() + cr + 1, anchor_.size() - cr - 1);
        if (std::string_view(head).substr(0, rest.size()) == rest) {
            at = rest.size();
            return true;
        }
    }
    return false;
}

void NiteScan::Capture() {
    platform::Hwnd transcript = FindTranscript();
    if (transcript != transcript_) {
        // Another room window (or none): what it holds is history.
        StartAtEnd(transcript);
        return;
    }
    if (!transcript) return;
    const std::size_t end = TextLength(transcript);
    if (end >= offset_) {
        std::size_t from = offset_ - anchor_.size();
        std::string text = ReadRange(transcript, from, end);
        if (text.compare(0, anchor_.size(), anchor_) == 0) {
            TakeParagraphs(text, from);
            return;
        }
    }
    // The history moved: the client trimmed it.
    std::size_t at = 0;
    if (!FindAnchor(transcript, end, at)) {
        // Trimmed past everything read: all that is left is news.
        at = 0;
        anchor_.clear();
    }
    offset_ = at;
    std::size_t from = at - std::min(at, anchor_.size());
    TakeParagraphs(ReadRange(transcript, from, end), from);
}

void NiteScan::TakeParagraphs(const std::string& text, std::size_t textStart) {
    // `text` starts at textStart, at or before offset_. Each whole paragraph
    // after offset_ is a chat line, "Sender:\tText"; a paragraph without a
    // sender (the room's own notices) has an empty one. A paragraph not yet
    // ended waits for the next read.
    std::size_t pos = std::min(offset_ - textStart, text.size());
    for (std::size_t cr = text.find('\r', pos); cr != std::string::npos;
         cr = text.find('\r', pos)) {
        std::string_view line(text.data() + pos, cr - pos);
        if (!line.empty() && line.front() == '\n') line.remove_prefix(1);
        auto split = line.find(":\t");
        if (split == std::string_view::npos) {
            pending_.emplace_back(std::string(), platform::FromAnsi(line));
        } else {
            pending_.emplace_back(platform::FromAnsi(line.substr(0, split)),
                                  platform::FromAnsi(line.substr(split + 2)));
        }
        pos = cr + 1;
    }
    offset_ = textStart + pos;
    SetAnchorFrom(text.substr(0, pos));
}

void NiteScan::Deliver() {
    std::weak_ptr<NiteScan*> alive = alive_;
    while (scanning_ && !pending_.empty()) {
        auto [sender, text] = std::move(pending_.front());
        pending_.pop_front();
        // The handler may pump the loop, which may deliver the next lines
        // nested inside it; each line is taken off the queue before it goes.
        if (handler_) handler_(sender, text);
        if (alive.expired() || services_.runtime.QuitRequested()) return;
    }
}

}  // namespace aol
