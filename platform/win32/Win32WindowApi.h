#pragma once
// WindowApi on user32's ANSI calls, for driving a real client on Windows.
//
// user32 cannot tell a reader that another process changed its windows, so
// AddChangeListener keeps the default (0) and the chat scanner polls.
//
// The rich edit messages with structures (EM_GETTEXTRANGE,
// EM_GETTEXTLENGTHEX) are carried to a window of another process in that
// process's memory; EM_GETLINE to another process is refused, as it is not
// safe there everywhere (Wine cuts the line and may write past the buffer).

#include <chrono>
#include <cstddef>
#include <memory>

#include "platform/WindowApi.h"

namespace platform {

class Win32WindowApi final : public WindowApi {
  public:
    // `sendTimeout` bounds every synchronous message: a client that hangs
    // must not hang the program with it.
    explicit Win32WindowApi(std::chrono::milliseconds sendTimeout = std::chrono::seconds(5));
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

  private:
    class RemoteArea;

    // The area in process `processId`, with room for `size` bytes.
    RemoteArea* AreaFor(unsigned long processId, std::size_t size);
    void DropArea();
    LResult Send(Hwnd window, unsigned message, WParam wParam, LParam lParam);
    // For a window of process `process`, not this one.
    LResult GetTextRange(Hwnd window, unsigned long process, TextRangeA* range);
    LResult GetTextLength(Hwnd window, unsigned long process, const GetTextLengthEx* how);

    std::chrono::milliseconds sendTimeout_;
    std::unique_ptr<RemoteArea> remote_;
};

}  // namespace platform
