#pragma once
// WindowApi on user32's ANSI calls, for driving a real client on Windows.
//
// user32 cannot tell a reader that another process changed its windows, so
// AddChangeListener keeps the default (0) and the chat scanner polls. It can
// tell of windows made, through an out-of-context event hook, where the
// system delivers that event (Windows and Wine do; a probe says): the
// creation listeners hear of every window another process makes while this
// thread takes its messages.
//
// The rich edit messages with structures (EM_GETTEXTRANGE,
// EM_GETTEXTLENGTHEX) are carried to a window of another process in that
// process's memory; EM_GETLINE to another process is refused, as it is not
// safe there everywhere (Wine cuts the line and may write past the buffer).
//
// Under Wine, touching another process's memory stops that process for a
// moment, and a process stopped in the middle of a large request to the
// wineserver aborts. There the two messages are answered from the window's
// WM_GETTEXT instead, which the system carries between processes itself:
// the same text, each paragraph ending in one CR, and offsets into it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/WindowApi.h"

namespace platform {

class Win32WindowApi final : public WindowApi {
  public:
    // `sendTimeout` bounds every synchronous message: a client that hangs
    // must not hang the program with it.
    // How the text of another process's rich edit is read: in its memory,
    // or through WM_GETTEXT; kAuto takes WM_GETTEXT under Wine only.
    enum class RemoteText { kAuto, kProcessMemory, kWindowText };

    explicit Win32WindowApi(std::chrono::milliseconds sendTimeout = std::chrono::seconds(5),
                            RemoteText remoteText = RemoteText::kAuto);
    ~Win32WindowApi() override;
    Win32WindowApi(const Win32WindowApi&) = delete;
    Win32WindowApi& operator=(const Win32WindowApi&) = delete;

    Hwnd FindWindowA(std::string_view className,
                     std::optional<std::string_view> caption = std::nullopt) override;
    Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                       std::optional<std::string_view> caption = std::nullopt) override;
    LResult SendMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) override;
    bool PostMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) override;
    int GetWindowTextLengthA(Hwnd window) override;
    int GetWindowTextA(Hwnd window, char* buffer, int maxCount) override;
    int ProcessBits(Hwnd window) override;
    std::uint64_t AddCreationListener(std::function<void()> onCreate) override;
    void RemoveCreationListener(std::uint64_t id) override;

  private:
    class RemoteArea;
    class CreationHook;

    // The area in process `processId`, with room for `size` bytes.
    RemoteArea* AreaFor(unsigned long processId, std::size_t size);
    void DropArea();
    LResult Send(Hwnd window, unsigned message, WParam wParam, LParam lParam);
    // For a window of process `process`, not this one.
    LResult GetTextRange(Hwnd window, unsigned long process, TextRangeA* range);
    LResult GetTextLength(Hwnd window, unsigned long process, const GetTextLengthEx* how);
    // The same two, through WM_GETTEXT.
    LResult GetTextRangeByWindowText(Hwnd window, TextRangeA* range);
    LResult GetTextLengthByWindowText(Hwnd window);
    // The window's text, paragraphs ending in CR; a snapshot taken a moment
    // ago answers for the same window, so that a length and the range read
    // after it agree. A later look at the same window takes its text in one
    // message.
    const std::string& WindowText(Hwnd window);

    std::chrono::milliseconds sendTimeout_;
    bool byWindowText_;
    std::unique_ptr<RemoteArea> remote_;
    std::unique_ptr<CreationHook> creations_;  // while anyone listens
    struct Snapshot {
        Hwnd window = 0;
        std::chrono::steady_clock::time_point taken;
        std::string text;
        std::size_t raw = 0;  // its length as the window gave it (CR LF and all)
    } snapshot_;
};

}  // namespace platform
