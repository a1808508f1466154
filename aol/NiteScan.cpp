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
// How far past what was read a look asks at first: more than a room says
// between two looks.
constexpr std::size_t kLookAhead = 4096;
// Rich edit offsets are 32-bit.
constexpr std::size_t kMaxOffset =
    static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

}  // namespace

// --- the poll shared by a group ---

ScanGroup::ScanGroup(platform::Services& services)
    : services_(services), alive_(std::make_shared<ScanGroup*>(this)) {}

ScanGroup::~ScanGroup() {
    if (timer_) services_.runtime.StopTimer(timer_);
    alive_.reset();
}

void ScanGroup::Join(NiteScan& scan) {
    members_.push_back(&scan);
}

void ScanGroup::Leave(NiteScan& scan) {
    members_.erase(std::remove(members_.begin(), members_.end(), &scan), members_.end());
}

void ScanGroup::Polling(bool on) {
    polling_ += on ? 1 : -1;
    if (polling_ > 0 && !timer_) {
        std::weak_ptr<ScanGroup*> alive = alive_;
        timer_ = services_.runtime.StartTimer(kPollInterval, [alive] {
            if (auto self = alive.lock()) (*self)->Poll();
        });
    } else if (polling_ == 0 && timer_) {
        services_.runtime.StopTimer(timer_);
        timer_ = 0;
    }
}

void ScanGroup::Poll() {
    // Every member reads what is new now, the later ones from what the
    // earlier ones saw; then each hands its lines over on a turn of the loop
    // of its own, as on a change the window system reports. Nothing runs in
    // between the reads: no handler, so nothing can change the room.
    seen_ = Seen{};
    seen_.active = true;
    std::vector<std::weak_ptr<NiteScan*>> due;
    for (NiteScan* scan : members_) {
        if (!scan->polling_) continue;
        scan->Capture();
        due.push_back(scan->alive_);
    }
    seen_ = Seen{};
    for (const auto& member : due) {
        if (auto scan = member.lock()) (*scan)->PostDelivery();
    }
}

// --- the scanner ---

NiteScan::NiteScan(platform::Services& services, ScanGroup* group)
    : services_(services), group_(group), alive_(std::make_shared<NiteScan*>(this)) {
    std::weak_ptr<NiteScan*> alive = alive_;
    listener_ = services_.windows.AddChangeListener([alive] {
        if (auto self = alive.lock()) (*self)->OnChange();
    });
    if (!group_) {
        ownGroup_ = std::make_unique<ScanGroup>(services);
        group_ = ownGroup_.get();
    }
    group_->Join(*this);
}

NiteScan::~NiteScan() {
    if (listener_) services_.windows.RemoveChangeListener(listener_);
    if (polling_) group_->Polling(false);
    group_->Leave(*this);
    alive_.reset();
}

void NiteScan::ScanON() {
    if (scanning_) return;
    // Only lines that reach the room from now on count.
    StartAtEnd(FindTranscript());
    pending_.clear();
    scanning_ = true;
    if (!listener_ && !polling_) {
        polling_ = true;
        group_->Polling(true);
    }
}

void NiteScan::ScanOFF() {
    if (!scanning_) return;
    // At once: what was read and not yet delivered goes too, or a command
    // could still run after the commands were switched off.
    scanning_ = false;
    pending_.clear();
    if (polling_) {
        polling_ = false;
        group_->Polling(false);
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

void NiteScan::PostDelivery() {
    std::weak_ptr<NiteScan*> alive = alive_;
    services_.runtime.Post([alive] {
        if (auto self = alive.lock()) (*self)->Deliver();
    });
}

// The three reads below take what the group's poll has already read, and
// leave what they read for the scanners after this one.

platform::Hwnd NiteScan::FindTranscript() {
    ScanGroup::Seen& seen = group_->seen_;
    if (seen.active && seen.haveTranscript) return seen.transcript;
    platform::WindowApi& windows = services_.windows;
    platform::Hwnd room = modAolTools::FindChatRoom(windows);
    platform::Hwnd transcript = room ? modAolTools::FindNthChild(windows, room, "RICHCNTL", 2) : 0;
    if (seen.active) {
        seen.haveTranscript = true;
        seen.transcript = transcript;
    }
    return transcript;
}

std::size_t NiteScan::TextLength(platform::Hwnd transcript) {
    ScanGroup::Seen& seen = group_->seen_;
    const bool shared = seen.active && seen.haveTranscript && transcript == seen.transcript;
    if (shared && seen.haveLength) return seen.length;
    platform::GetTextLengthEx how{platform::GTL_DEFAULT, 0};
    auto got = services_.windows.SendMessageA(transcript, platform::EM_GETTEXTLENGTHEX,
                                              reinterpret_cast<platform::WParam>(&how), 0);
    const std::size_t length =
        std::min(static_cast<std::size_t>(std::max<platform::LResult>(got, 0)), kMaxOffset);
    if (shared) {
        seen.haveLength = true;
        seen.length = length;
    }
    return length;
}

std::string NiteScan::ReadRange(platform::Hwnd transcript, std::size_t from, std::size_t to) {
    ScanGroup::Seen& seen = group_->seen_;
    const bool shared = seen.active && seen.haveTranscript && transcript == seen.transcript;
    // The control gives no more than it has.
    if (shared && seen.haveLength) to = std::min(to, seen.length);
    if (to <= from) return std::string();
    // Whatever part of the range an earlier scanner read.
    if (shared && from >= seen.from && to <= seen.from + seen.text.size()) {
        return seen.text.substr(from - seen.from, to - from);
    }
    std::vector<char> buffer(to - from + 1, '\0');
    platform::TextRangeA range{{static_cast<std::int32_t>(from), static_cast<std::int32_t>(to)},
                               buffer.data()};
    auto got = services_.windows.SendMessageA(transcript, platform::EM_GETTEXTRANGE, 0,
                                              reinterpret_cast<platform::LParam>(&range));
    auto n = std::clamp<platform::LResult>(got, 0, static_cast<platform::LResult>(to - from));
    std::string text(buffer.data(), static_cast<std::size_t>(n));
    if (shared && text.size() > seen.text.size()) {
        seen.from = from;
        seen.text = text;
    }
    // A read that came back short but not empty ended at the end of the
    // text. (Nothing at all may also be a read that failed.)
    if (shared && !text.empty() && text.size() < to - from) {
        seen.haveLength = true;
        seen.length = from + text.size();
    }
    return text;
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
    // Most looks find nothing new, or a line or two. One read that asks for
    // a little more than there may be tells both what is new and where the
    // text ends (the control gives only what it has): one message to the
    // client where a length and a read would take two.
    {
        const std::size_t from = offset_ - anchor_.size();
        const std::size_t ask = std::min(offset_ + kLookAhead, kMaxOffset);
        std::string text = ReadRange(transcript, from, ask);
        if (text.size() < ask - from && text.compare(0, anchor_.size(), anchor_) == 0) {
            TakeParagraphs(text, from);
            return;
        }
    }
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
