#pragma once
// The chat scanner: watches the open chat room and raises ChatLine for every
// new line while it is scanning, the user's own lines included.
//
// Lines are noticed when the window system says that something changed (or
// by a short poll where it cannot say), read one at a time from the room's
// transcript, and reported through the event loop, never from inside the
// call that produced them. A switch counts for the lines that reach the room
// after it.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/Services.h"

namespace aol {

class NiteScan {
public:
    using ChatLineHandler =
        std::function<void(const std::string& screenName, const std::string& text)>;

    explicit NiteScan(platform::Services& services);
    ~NiteScan();
    NiteScan(const NiteScan&) = delete;
    NiteScan& operator=(const NiteScan&) = delete;

    void ScanON();
    void ScanOFF();
    bool Scanning() const { return scanning_; }

    // The ChatLine event.
    void SetChatLineHandler(ChatLineHandler handler) { handler_ = std::move(handler); }

private:
    void OnChange();
    void Capture();  // reads the lines that reached the room since the last read
    void Deliver();
    std::uint64_t CurrentLineCount(platform::Hwnd& transcript);

    platform::Services& services_;
    ChatLineHandler handler_;
    bool scanning_ = false;
    bool dirty_ = false;
    bool capturePosted_ = false;
    platform::Hwnd transcript_ = 0;
    std::uint64_t linesRead_ = 0;
    std::deque<std::pair<std::string, std::string>> pending_;
    std::uint64_t listener_ = 0;
    platform::TimerId pollTimer_ = 0;
    std::shared_ptr<NiteScan*> alive_;
};

}  // namespace aol
