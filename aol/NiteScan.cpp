#include "aol/NiteScan.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "aol/modAolTools.h"
#include "platform/AnsiText.h"

namespace aol {
namespace {

// Where the window system cannot tell of changes, look this often.
constexpr platform::Millis kPollInterval{100};
// EM_GETLINE takes the buffer's size in a 16-bit word.
constexpr std::size_t kMaxLine = 0xFFFF;

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
    platform::Hwnd transcript = 0;
    linesRead_ = CurrentLineCount(transcript);
    transcript_ = transcript;
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
    // Lines that reached the room while scanning are still reported.
    Capture();
    scanning_ = false;
    if (pollTimer_) {
        services_.runtime.StopTimer(pollTimer_);
        pollTimer_ = 0;
    }
    if (!pending_.empty() && !capturePosted_) {
        capturePosted_ = true;
        std::weak_ptr<NiteScan*> alive = alive_;
        services_.runtime.Post([alive] {
            if (auto self = alive.lock()) {
                (*self)->capturePosted_ = false;
                (*self)->Deliver();
            }
        });
    }
}

void NiteScan::OnChange() {
    // Called from inside the window system: only take note, and read the
    // room when the event loop turns.
    if (!scanning_) return;
    dirty_ = true;
    if (capturePosted_) return;
    capturePosted_ = true;
    std::weak_ptr<NiteScan*> alive = alive_;
    services_.runtime.Post([alive] {
        if (auto self = alive.lock()) {
            (*self)->capturePosted_ = false;
            if ((*self)->scanning_ && (*self)->dirty_) (*self)->Capture();
            (*self)->Deliver();
        }
    });
}

std::uint64_t NiteScan::CurrentLineCount(platform::Hwnd& transcript) {
    platform::WindowApi& windows = services_.windows;
    platform::Hwnd room = modAolTools::FindChatRoom(windows);
    transcript = room ? modAolTools::FindNthChild(windows, room, "RICHCNTL", 2) : 0;
    if (!transcript) return 0;
    auto count = windows.SendMessageA(transcript, platform::EM_GETLINECOUNT, 0, 0);
    // The line after the last break is not finished yet.
    return count > 1 ? static_cast<std::uint64_t>(count - 1) : 0;
}

void NiteScan::Capture() {
    dirty_ = false;
    platform::WindowApi& windows = services_.windows;
    platform::Hwnd transcript = 0;
    std::uint64_t count = CurrentLineCount(transcript);
    if (transcript != transcript_ || count < linesRead_) {
        // Another room (or a cleared one): its history is not news.
        transcript_ = transcript;
        linesRead_ = count;
        return;
    }
    std::vector<char> buffer;
    for (std::uint64_t line = linesRead_; line < count; ++line) {
        auto start = windows.SendMessageA(transcript, platform::EM_LINEINDEX, line, 0);
        auto length = start < 0 ? 0 : windows.SendMessageA(transcript, platform::EM_LINELENGTH,
                                                           static_cast<platform::WParam>(start), 0);
        std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(std::max<platform::LResult>(length, 0)), kMaxLine);
        buffer.assign(std::max<std::size_t>(size, 2), '\0');
        auto word = static_cast<std::uint16_t>(size);
        std::memcpy(buffer.data(), &word, sizeof word);
        auto got = windows.SendMessageA(transcript, platform::EM_GETLINE, line,
                                        reinterpret_cast<platform::LParam>(buffer.data()));
        std::string_view text(buffer.data(), static_cast<std::size_t>(std::max<platform::LResult>(got, 0)));
        // "Sender:\tText"; a line without a sender (the room's own notices)
        // has an empty one.
        auto split = text.find(":\t");
        if (split == std::string_view::npos) {
            pending_.emplace_back(std::string(), platform::FromAnsi(text));
        } else {
            pending_.emplace_back(platform::FromAnsi(text.substr(0, split)),
                                  platform::FromAnsi(text.substr(split + 2)));
        }
    }
    linesRead_ = count;
}

void NiteScan::Deliver() {
    std::weak_ptr<NiteScan*> alive = alive_;
    while (!pending_.empty()) {
        auto [sender, text] = std::move(pending_.front());
        pending_.pop_front();
        // The handler may pump the loop, which may deliver the next lines
        // nested inside it; each line is taken off the queue before it goes.
        if (handler_) handler_(sender, text);
        if (alive.expired() || services_.runtime.QuitRequested()) return;
    }
}

}  // namespace aol
