#pragma once
// The chat scanner: watches the open chat room and raises ChatLine for every
// new line while it is scanning, the user's own lines included.
//
// The room's transcript is a rich edit control whose lines are display
// lines: a chat line that wraps is several of them, and a resize lays them
// out again. So the scanner reads by character offset instead. It keeps the
// offset up to which it has read (always the end of a chat line, a paragraph
// "Sender:\tText\r") and reads only what lies beyond it, at a cost that does
// not grow with the history. The client trims old history from the top,
// which moves every offset, so the scanner also keeps the text of the last
// lines it read and finds it again when it has moved. A transcript window it
// has not seen before (another room window) holds only history: reading
// starts at its end.
//
// Lines are noticed when the window system says that something changed (or
// by a short poll where it cannot say) and reported through the event loop,
// never from inside the call that produced them. Scanners that share a
// ScanGroup also share the poll: one timer, and one look at the room for all
// of them each time (the same reads would otherwise cross to the client once
// for every scanner). ScanON counts for the lines
// that reach the room after it; ScanOFF stops the events at once, lines read
// but not yet delivered included.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
        bool haveLength = false;
        std::size_t length = 0;
        std::size_t from = 0;  // text holds the range [from, from + text.size())
        std::string text;
    };

    void Join(NiteScan& scan);
    void Leave(NiteScan& scan);
    void Polling(bool on);  // a member started (true) or stopped polling
    void Poll();

    platform::Services& services_;
    std::vector<NiteScan*> members_;  // in the order they joined
    int polling_ = 0;                 // members that need the poll
    platform::TimerId timer_ = 0;
    Seen seen_;
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
    std::size_t TextLength(platform::Hwnd transcript);
    std::string ReadRange(platform::Hwnd transcript, std::size_t from, std::size_t to);
    // Starts reading at the end of this transcript: what it holds is history.
    void StartAtEnd(platform::Hwnd transcript);
    // Where the anchor ends in the transcript now; false when it has gone.
    bool FindAnchor(platform::Hwnd transcript, std::size_t end, std::size_t& at);
    // Takes the whole paragraphs of `text` (which starts at `textStart`, at or
    // before offset_) that lie past offset_, and moves past them.
    void TakeParagraphs(const std::string& text, std::size_t textStart);
    void SetAnchorFrom(const std::string& text);

    platform::Services& services_;
    ChatLineHandler handler_;
    bool scanning_ = false;
    bool capturePosted_ = false;
    platform::Hwnd transcript_ = 0;
    std::size_t offset_ = 0;  // read up to here: the end of a chat line, or 0
    std::string anchor_;      // the text just before offset_ (the last lines read)
    std::deque<std::pair<std::string, std::string>> pending_;
    std::uint64_t listener_ = 0;
    std::unique_ptr<ScanGroup> ownGroup_;  // when it polls alone
    ScanGroup* group_;
    bool polling_ = false;
    std::shared_ptr<NiteScan*> alive_;
};

}  // namespace aol
