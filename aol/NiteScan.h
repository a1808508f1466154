#pragma once
// The chat scanner: watches the open chat room and raises ChatLine for every
// new line while it is scanning, the user's own lines included.
//
// The room's transcript is a rich edit control whose lines are display
// lines: a chat line that wraps is several of them, and a resize lays them
// out again. So the scanner reads by character offset instead. It keeps the
// offset up to which it has read (always just past the end of a chat line, a
// paragraph "Sender:\tText" ended by CR, or by CR LF in the first rich edit
// generation) and reads only what lies beyond it. A transcript window it has
// not seen before (another room window) holds only history: reading starts
// at its end.
//
// The client trims old history from the top, which moves every offset by as
// much as it took, and says nothing about it. So the scanner keeps the text
// it has read last, and every look checks that the end of it is still where
// it was. That end is taken long enough to be told apart from what the room
// may say next: at least three lines, and back past lines that repeat, to a
// stretch that occurs only once in what it knows and does not begin with
// what it ends with. A member repeating one line makes it reach back to the
// last line that differs, within the last few kilobytes read, which it keeps. When the check fails
// the history moved, and the scanner takes the nearest place where that stretch ends now, or, when
// the trim took part of it, the longest start of the transcript that ends what it knows. Where even
// that cannot tell (everything still shown is one line repeated), it takes what reports the fewest
// lines, so that nothing is ever reported twice.
//
// Lines are noticed when the window system says that something changed (or
// by a short poll where it cannot say) and reported through the event loop,
// never from inside the call that produced them. Scanners that share a
// ScanGroup also share the poll: one timer, and one look at the room for all
// of them each time (the same reads would otherwise cross to the client once
// for every scanner). A poll finds the room the way the last one did, when
// that way still holds (modAolTools::SameWay: a few lookups instead of every
// control of every window on it), and afresh when it does not or when a read
// of the transcript gave nothing. A poll that finds no room at all rests,
// where the window system tells of windows made, until another program makes
// one (only a window made can bring a room). ScanON counts for the lines
// that reach the room after it; ScanOFF stops the events at once, lines read
// but not yet delivered included.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "aol/modAolTools.h"
#include "platform/Services.h"

namespace aol {

class NiteScan;

// The scanners that poll together. It must outlive its scanners.
class ScanGroup {
  public:
    explicit ScanGroup(platform::Services& services);
    ~ScanGroup();
    ScanGroup(const ScanGroup&) = delete;
    ScanGroup& operator=(const ScanGroup&) = delete;

  private:
    friend class NiteScan;
    // What one poll has already read from the room, for the next scanner.
    struct Seen {
        bool active = false;
        bool haveTranscript = false;
        platform::Hwnd transcript = 0;
        bool haveEnd = false;  // a read ended short: the text ended here
        std::size_t end = 0;
        std::size_t from = 0;  // text holds the range [from, from + text.size())
        std::string text;

        // This poll found `window` to be the transcript: what it read of it
        // serves the scanners after the one that read it.
        bool Covers(platform::Hwnd window) const;
    };

    void Join(NiteScan& scan);
    void Leave(NiteScan& scan);
    void Polling(bool on);  // a member started (true) or stopped polling
    void Poll();
    // The room's transcript for a poll: the one found last, when the way to
    // the room still holds.
    platform::Hwnd TranscriptOfTheRoom();
    void StartTimer();
    void StopTimer();
    void OnCreation();  // another program made a window

    platform::Services& services_;
    std::vector<NiteScan*> members_;  // in the order they joined
    int polling_ = 0;                 // members that need the poll
    platform::TimerId timer_ = 0;
    Seen seen_;
    modAolTools::RoomWay way_;  // of the last lookup
    platform::Hwnd wayTranscript_ = 0;
    bool wayKnown_ = false;               // false: look the room up afresh
    std::uint64_t creationListener_ = 0;  // while any member polls, if the system tells
    std::uint64_t creations_ = 0;         // windows made, as far as told
    bool resting_ = false;                // no room: the poll waits for a window to be made
    std::shared_ptr<ScanGroup*> alive_;
};

class NiteScan {
  public:
    using ChatLineHandler =
        std::function<void(const std::string& screenName, const std::string& text)>;

    // A scanner of its own, or one of `group`.
    explicit NiteScan(platform::Services& services, ScanGroup* group = nullptr);
    ~NiteScan();
    NiteScan(const NiteScan&) = delete;
    NiteScan& operator=(const NiteScan&) = delete;

    void ScanON();
    void ScanOFF();
    bool Scanning() const { return scanning_; }

    // The ChatLine event.
    void SetChatLineHandler(ChatLineHandler handler) { handler_ = std::move(handler); }

    // Lines read and waiting for delivery (for tests that watch it stay small).
    std::size_t PendingCount() const { return pending_.size(); }

  private:
    friend class ScanGroup;
    void OnChange();
    void PostDelivery();
    void Capture();  // reads the lines that reached the room since the last read
    void Deliver();
    platform::Hwnd FindTranscript();
    // What the control says its length is; only a hint (0 when it does not
    // know the message).
    std::size_t TextLength(platform::Hwnd transcript);
    std::string ReadRange(platform::Hwnd transcript, std::size_t from, std::size_t to);
    // The text from `from` to the end, in one read when little lies beyond.
    std::string ReadToEnd(platform::Hwnd transcript, std::size_t from);
    // Starts reading at the end of this transcript: what it holds is history.
    void StartAtEnd(platform::Hwnd transcript);
    // After the history moved: finds where what was read ends now and takes
    // what follows. False when the transcript could not be read.
    bool FindPlace(platform::Hwnd transcript);
    // Takes the whole paragraphs of `text` (which starts at `textStart`, at or
    // before offset_) that lie past offset_, and moves past them; false when
    // there were none.
    bool TakeParagraphs(const std::string& text, std::size_t textStart);
    // Chooses how much of the end of known_ each look checks.
    void ChooseCheck();
    std::string_view Check() const {
        return std::string_view(known_).substr(known_.size() - check_);
    }

    platform::Services& services_;
    ChatLineHandler handler_;
    bool scanning_ = false;
    bool capturePosted_ = false;
    platform::Hwnd transcript_ = 0;
    bool placed_ = false;     // offset_ is known to be a place in transcript_
    std::size_t offset_ = 0;  // read up to here: the end of a chat line, or 0
    std::string known_;       // the text just before offset_, as last read
    std::size_t check_ = 0;   // how much of the end of known_ a look checks
    std::deque<std::pair<std::string, std::string>> pending_;
    std::uint64_t listener_ = 0;
    std::unique_ptr<ScanGroup> ownGroup_;  // when it polls alone
    ScanGroup* group_;
    bool polling_ = false;
    std::shared_ptr<NiteScan*> alive_;
};

}  // namespace aol
