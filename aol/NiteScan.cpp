#include "aol/NiteScan.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <string_view>
#include <vector>

#include "aol/ClientWindows.h"
#include "aol/modAolTools.h"
#include "platform/AnsiText.h"

namespace aol {
namespace {

// Where the window system cannot tell of changes, look this often.
constexpr platform::Millis kPollInterval{100};
// A look checks at least this many of the last lines read ...
constexpr std::size_t kAnchorLines = 3;
// ... within the text of the last lines read the scanner keeps.
constexpr std::size_t kKnownMax = 4096;
// How far back from where it was the checked stretch is first looked for
// after the history moved; each further try looks four times as far.
constexpr std::size_t kFirstSearch = 4096;
// What the tail read on a fresh transcript takes in of the history.
constexpr std::size_t kTail = 2048;
// How far past what was read a look asks at first: more than a room says
// between two looks.
constexpr std::size_t kLookAhead = 4096;
// Reads in one go before giving up on a control that always gives more.
constexpr int kMaxReads = 24;
// Rich edit offsets are 32-bit.
constexpr std::size_t kMaxOffset =
    static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

}  // namespace

// --- the poll shared by a group ---

ScanGroup::ScanGroup(platform::Services& services)
    : services_(services), alive_(std::make_shared<ScanGroup*>(this)) {}

ScanGroup::~ScanGroup() {
    if (timer_) services_.runtime.StopTimer(timer_);
    if (creationListener_) services_.windows.RemoveCreationListener(creationListener_);
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
    if (polling_ == 0) {
        StopTimer();
        resting_ = false;
        if (creationListener_) services_.windows.RemoveCreationListener(creationListener_);
        creationListener_ = 0;
        return;
    }
    if (!creationListener_) {
        std::weak_ptr<ScanGroup*> alive = alive_;
        creationListener_ = services_.windows.AddCreationListener([alive] {
            if (auto self = alive.lock()) (*self)->OnCreation();
        });
    }
    if (!resting_) StartTimer();
}

void ScanGroup::StartTimer() {
    if (timer_) return;
    std::weak_ptr<ScanGroup*> alive = alive_;
    timer_ = services_.runtime.StartTimer(kPollInterval, [alive] {
        if (auto self = alive.lock()) (*self)->Poll();
    });
}

void ScanGroup::StopTimer() {
    if (timer_) services_.runtime.StopTimer(timer_);
    timer_ = 0;
}

void ScanGroup::OnCreation() {
    // Called from inside the window system: only take note, and look when
    // the event loop turns.
    ++creations_;
    if (!resting_) return;
    resting_ = false;
    std::weak_ptr<ScanGroup*> alive = alive_;
    services_.runtime.Post([alive] {
        auto self = alive.lock();
        if (!self || (*self)->polling_ == 0 || (*self)->resting_) return;
        (*self)->StartTimer();
        (*self)->Poll();
    });
}

void ScanGroup::Poll() {
    // Every member reads what is new now, the later ones from what the
    // earlier ones saw; then each hands its lines over on a turn of the loop
    // of its own, as on a change the window system reports. Nothing runs in
    // between the reads: no handler, so nothing can change the room.
    const std::uint64_t creations = creations_;
    seen_ = Seen{};
    seen_.active = true;
    std::vector<std::weak_ptr<NiteScan*>> due;
    for (NiteScan* scan : members_) {
        if (!scan->polling_) continue;
        scan->Capture();
        due.push_back(scan->alive_);
    }
    seen_ = Seen{};
    // No room at all: until the client makes a window (it is started, or a
    // room opens) there is nothing to read. Where the window system tells of
    // windows made, the poll rests until then, unless one came meanwhile.
    if (creationListener_ && !due.empty() && wayKnown_ && way_.room == 0 &&
        creations_ == creations) {
        StopTimer();
        resting_ = true;
    }
    for (const auto& member : due) {
        if (auto scan = member.lock()) (*scan)->PostDelivery();
    }
}

platform::Hwnd ScanGroup::TranscriptOfTheRoom() {
    platform::WindowApi& windows = services_.windows;
    if (wayKnown_ && modAolTools::SameWay(windows, way_)) return wayTranscript_;
    const platform::Hwnd room = modAolTools::FindChatRoom(windows, way_);
    wayTranscript_ =
        room ? modAolTools::FindNthChild(windows, room, aol::kRichEditClass, aol::kRoomTranscript)
             : 0;
    // A room without its transcript yet (a client may make a window's
    // controls after the window) is looked up afresh until it has one.
    wayKnown_ = room == 0 || wayTranscript_ != 0;
    return wayTranscript_;
}

bool ScanGroup::Seen::Covers(platform::Hwnd window) const {
    return active && haveTranscript && window == transcript;
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

// The reads below take what the group's poll has already read, and leave
// what they read for the scanners after this one.

platform::Hwnd NiteScan::FindTranscript() {
    ScanGroup::Seen& seen = group_->seen_;
    if (seen.active && seen.haveTranscript) return seen.transcript;
    if (seen.active) {
        seen.haveTranscript = true;
        seen.transcript = group_->TranscriptOfTheRoom();
        return seen.transcript;
    }
    platform::WindowApi& windows = services_.windows;
    platform::Hwnd room = modAolTools::FindChatRoom(windows);
    return room
               ? modAolTools::FindNthChild(windows, room, aol::kRichEditClass, aol::kRoomTranscript)
               : 0;
}

std::size_t NiteScan::TextLength(platform::Hwnd transcript) {
    // The first rich edit generation does not know EM_GETTEXTLENGTHEX (it
    // answers 0); its WM_GETTEXTLENGTH counts in the same units as its
    // offsets. A later one counts CR LF there, which is too much, and that
    // is harmless in a hint.
    platform::GetTextLengthEx how{platform::GTL_DEFAULT, 0};
    auto got = services_.windows.SendMessageA(transcript, platform::EM_GETTEXTLENGTHEX,
                                              reinterpret_cast<platform::WParam>(&how), 0);
    if (got <= 0) {
        got = services_.windows.SendMessageA(transcript, platform::WM_GETTEXTLENGTH, 0, 0);
    }
    return std::min(static_cast<std::size_t>(std::max<platform::LResult>(got, 0)), kMaxOffset);
}

std::string NiteScan::ReadRange(platform::Hwnd transcript, std::size_t from, std::size_t to) {
    ScanGroup::Seen& seen = group_->seen_;
    const bool shared = seen.Covers(transcript);
    to = std::min(to, kMaxOffset);
    // The control gives no more than it has.
    if (shared && seen.haveEnd) to = std::min(to, seen.end);
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
    // Nothing at all: the transcript may have gone, with the room still on
    // the same way; the next poll looks the room up afresh.
    if (text.empty()) group_->wayKnown_ = false;
    if (shared && text.size() > seen.text.size()) {
        seen.from = from;
        seen.text = text;
    }
    // A read that came back short but not empty ended at the end of the
    // text. (Nothing at all may also be a read that failed.)
    if (shared && !text.empty() && text.size() < to - from) {
        seen.haveEnd = true;
        seen.end = from + text.size();
    }
    return text;
}

std::string NiteScan::ReadToEnd(platform::Hwnd transcript, std::size_t from) {
    // Most looks find nothing new, or a line or two. One read that asks for
    // a little more than there may be tells both what is new and where the
    // text ends (the control gives only what it has). When it comes back
    // full, a larger one from the same place: each read is the text as it
    // stood at one moment, never pieced together from two.
    std::size_t ask = (offset_ > from ? offset_ - from : 0) + kLookAhead;
    for (int i = 0; i < kMaxReads; ++i) {
        std::string text = ReadRange(transcript, from, from + ask);
        if (text.size() < ask || from + ask >= kMaxOffset) return text;
        if (i == 0) {
            std::size_t length = TextLength(transcript);
            if (length > from) ask = std::max(ask, length - from + kLookAhead);
        }
        ask *= 4;
    }
    return std::string();
}

void NiteScan::StartAtEnd(platform::Hwnd transcript) {
    transcript_ = transcript;
    offset_ = 0;
    known_.clear();
    check_ = 0;
    placed_ = true;
    if (!transcript) return;
    // Where the text ends, found by reading: the length the control tells is
    // where to start looking, but it may not know the message or count
    // differently.
    const std::size_t length = TextLength(transcript);
    std::size_t from = length - std::min(length, kTail);
    std::string text;
    for (int i = 0; i < kMaxReads; ++i) {
        text = ReadToEnd(transcript, from);
        if (!text.empty() || from == 0) break;
        from /= 2;  // asked past the end
    }
    if (text.empty()) {
        // Nothing to read: an empty room, or a control that will not be read
        // now. Only a control that says it is empty (a rich edit counts one
        // line then) is taken at its word; what any other holds once it can
        // be read is history.
        placed_ = length == 0 &&
                  services_.windows.SendMessageA(transcript, platform::EM_GETLINECOUNT, 0, 0) == 1;
        return;
    }
    // Up to the end of the last whole paragraph, just past its CR as
    // everywhere (a paragraph still being written counts as history too
    // once it ends).
    std::size_t stop = text.size();
    if (std::size_t cr = text.rfind('\r'); cr != std::string::npos) stop = cr + 1;
    std::size_t begin = 0;
    if (from > 0) {
        // From the first whole line in it.
        std::size_t cr = text.find('\r');
        if (cr != std::string::npos && cr + 1 < stop) begin = cr + 1;
        if (begin > 0 && begin + 1 < stop && text[begin] == '\n') ++begin;
    }
    offset_ = from + stop;
    known_ = text.substr(begin, stop - begin);
    ChooseCheck();
}

void NiteScan::ChooseCheck() {
    // The shortest end of known_ that starts a line, holds kAnchorLines
    // lines, occurs nowhere else in known_ and has no border (no shorter
    // start of it that is also its end). New lines that happen to repeat it
    // could be taken for it only by saying that whole stretch again; and
    // without a border no place where it ends can overlap the true one.
    const std::size_t n = known_.size();
    check_ = n;
    if (n == 0) return;
    const std::string_view known(known_);
    // The lengths of the ends that start a line, shortest first, from the
    // one with kAnchorLines lines on, and all of known_ last; found going
    // back only as far as asked.
    std::vector<std::size_t> ends;
    std::size_t scanned = n, lines = 0;
    auto lineStart = [&](std::size_t i) {  // the start of the line that holds known[i - 1]
        while (i > 0 && known[i - 1] != '\r' && known[i - 1] != '\n') --i;
        return i;
    };
    auto reach = [&](std::size_t k) {
        while (ends.size() <= k && (ends.empty() || ends.back() < n)) {
            std::size_t i = lineStart(scanned - 1);
            // Between the CR and the LF of one paragraph end is no line start.
            if (i > 0 && known[i - 1] == '\r' && known[i] == '\n') i = lineStart(i - 1);
            scanned = i;
            if (i == 0) {
                ends.push_back(n);
            } else if (++lines >= kAnchorLines) {
                ends.push_back(n - i);
            }
        }
        return k < ends.size();
    };
    // A room that says one line (or a few, in turn) over and over has known_
    // repeat with the length of its last lines: then no end of it is unique.
    for (std::size_t i = n, count = 0; count < kAnchorLines && i > 0; ++count) {
        i = lineStart(i - 1);
        if (i > 0 && known[i - 1] == '\r' && known[i] == '\n') i = lineStart(i - 1);
        const std::size_t period = n - i;
        if (i > 0 && known.substr(0, i) == known.substr(period)) return;
    }
    auto unique = [&](std::size_t k) {
        const std::string_view end = known.substr(n - ends[k]);
        // A short stretch is found fastest by skipping; a long one that
        // repeats early by comparing from the start.
        if (end.size() > 256) return known.find(end) == n - ends[k];
        auto found = std::search(known.begin(), known.end(),
                                 std::boyer_moore_horspool_searcher(end.begin(), end.end()));
        return static_cast<std::size_t>(found - known.begin()) == n - ends[k];
    };
    auto borderless = [&](std::size_t k) {
        const std::string_view end = known.substr(n - ends[k]);
        std::string twice;
        twice.reserve(2 * end.size());
        twice.append(end).append(end);
        return twice.find(end, 1) == end.size();
    };
    // Once one end is unique every longer one is: the shortest by going out
    // in doubling steps and then halving back.
    std::size_t lo = 0, hi = 0;
    while (reach(hi) && ends[hi] < n && !unique(hi)) {
        lo = hi + 1;
        hi = 2 * hi + 1;
    }
    if (!reach(hi)) hi = ends.size() - 1;
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (unique(mid)) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    for (std::size_t k = hi; reach(k); ++k) {
        if (ends[k] == n || borderless(k)) {
            check_ = ends[k];
            return;
        }
    }
    check_ = n;
}

bool NiteScan::FindPlace(platform::Hwnd transcript) {
    // Trimming takes whole paragraphs off the top, so the checked stretch
    // now ends further up, by as much as was trimmed. The nearest place
    // where it ends is where it went: a nearer one would be new lines that
    // repeat all of it. Look back from where it was, further each time.
    const std::string check(Check());
    const std::size_t c = check.size();
    for (std::size_t span = kFirstSearch;; span *= 4) {
        const std::size_t reach = c + span;
        const std::size_t lo = offset_ > reach ? offset_ - reach : 0;
        std::string text = ReadToEnd(transcript, lo);
        if (text.empty()) {
            // Shorter than that now, or not readable at all.
            if (lo == 0) return false;
            continue;
        }
        const std::size_t hi = std::min(offset_, lo + text.size());
        std::size_t at = std::string::npos;
        for (std::size_t before = hi - lo; c > 0 && before >= c && at == std::string::npos;) {
            std::size_t found = text.rfind(check, before - c);
            if (found == std::string::npos) break;
            // What lies before it in the text read must be what was read
            // before the stretch, as far as both go.
            const std::size_t older = std::min(found, known_.size() - c);
            if (std::string_view(text).substr(found - older, older) ==
                std::string_view(known_).substr(known_.size() - c - older, older)) {
                at = lo + found + c;
            }
            before = found + c - 1;
        }
        if (at == std::string::npos && lo == 0) {
            // The trim took part of the stretch: the transcript now begins
            // with the end of what was read, or with none of it. The longest
            // such beginning reports the fewest lines.
            at = 0;
            const std::size_t most = std::min({hi, known_.size(), c});
            for (std::size_t q = most; q > 0; --q) {
                if (text[q - 1] != '\r') continue;
                if (std::string_view(known_).substr(known_.size() - q) ==
                    std::string_view(text).substr(0, q)) {
                    at = q;
                    break;
                }
            }
        }
        if (at != std::string::npos) {
            // What was read before `at` is what the transcript still holds of it.
            known_.erase(0, known_.size() - std::min(known_.size(), at));
            offset_ = at;
            if (!TakeParagraphs(text, lo)) ChooseCheck();
            return true;
        }
    }
}

void NiteScan::Capture() {
    platform::Hwnd transcript = FindTranscript();
    if (transcript != transcript_ || !placed_) {
        // Another room window (or none), or one that could not be read when
        // the scanner began: what it holds is history.
        StartAtEnd(transcript);
        return;
    }
    if (!transcript) return;
    const std::size_t from = offset_ - check_;
    std::string text = ReadToEnd(transcript, from);
    if (text.empty() && offset_ == 0) return;
    if (!text.empty() && std::string_view(text).substr(0, check_) == Check()) {
        TakeParagraphs(text, from);
        return;
    }
    // The history moved (the client trimmed it), or there was nothing to
    // read where it was.
    FindPlace(transcript);
}

bool NiteScan::TakeParagraphs(const std::string& text, std::size_t textStart) {
    // `text` starts at textStart, at or before offset_. Each whole paragraph
    // after offset_ is a chat line, "Sender:\tText"; a paragraph without a
    // sender (the room's own notices) has an empty one. A paragraph not yet
    // ended waits for the next read. A paragraph ends at its CR; the LF the
    // first rich edit generation puts after it starts the next one's text,
    // and is left out of it.
    const std::size_t start = std::min(offset_ - textStart, text.size());
    std::size_t pos = start;
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
    if (pos == start) return false;
    known_.append(text, start, pos - start);
    if (known_.size() > kKnownMax) {
        // Keep whole lines where there are any.
        std::size_t cut = known_.size() - kKnownMax;
        std::size_t cr = known_.find('\r', cut);
        if (cr != std::string::npos && cr + 1 < known_.size()) cut = cr + 1;
        if (cut + 1 < known_.size() && known_[cut] == '\n') ++cut;
        known_.erase(0, cut);
    }
    ChooseCheck();
    return true;
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
