#pragma once
// The window calls the automation makes, with the meaning of their user32
// namesakes. Text crosses this boundary in the ANSI code page (Windows-1252
// bytes); aol/ converts to and from UTF-8 on the way.
//
// Handles are 32-bit and 0 means "not found": every call on 0 does nothing
// and yields 0, so a path of lookups through a missing client fails quietly.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace platform {

using Hwnd = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Message numbers, as user32 defines them.
inline constexpr unsigned WM_SETTEXT = 0x000C;
inline constexpr unsigned WM_GETTEXT = 0x000D;
inline constexpr unsigned WM_GETTEXTLENGTH = 0x000E;
inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_KEYDOWN = 0x0100;
inline constexpr unsigned WM_KEYUP = 0x0101;
inline constexpr unsigned WM_CHAR = 0x0102;
inline constexpr unsigned WM_LBUTTONDOWN = 0x0201;
inline constexpr unsigned WM_LBUTTONUP = 0x0202;
// Rich edit access. The line messages work on display lines (a chat line
// that wraps is several of them); the chat scanner reads the transcript by
// character offset instead (EM_GETTEXTLENGTHEX, EM_GETTEXTRANGE), which a
// resize does not disturb and which costs the same however long the history.
inline constexpr unsigned EM_GETLINECOUNT = 0x00BA;
inline constexpr unsigned EM_LINEINDEX = 0x00BB;
inline constexpr unsigned EM_LINELENGTH = 0x00C1;
inline constexpr unsigned EM_GETLINE = 0x00C4;
inline constexpr unsigned EM_LINEFROMCHAR = 0x00C9;
inline constexpr unsigned EM_GETTEXTRANGE = 0x044B;
inline constexpr unsigned EM_GETTEXTLENGTHEX = 0x045F;

// The structures of those two messages, laid out as the rich edit control
// expects them. Across processes the window system carries them over.
struct CharRange {
    std::int32_t cpMin;
    std::int32_t cpMax;  // -1: the end of the text
};
struct TextRangeA {
    CharRange chrg;
    char* lpstrText;  // room for cpMax - cpMin characters and a terminator
};
struct GetTextLengthEx {
    std::uint32_t flags;
    std::uint32_t codepage;  // 0: the ANSI code page
};
inline constexpr std::uint32_t GTL_DEFAULT = 0;
inline constexpr std::uint32_t GTL_USECRLF = 1;

inline constexpr WParam VK_SPACE = 0x20;
inline constexpr WParam VK_RETURN = 0x0D;

class WindowApi {
  public:
    virtual ~WindowApi() = default;

    // FindWindowA: a top-level window by class and, when given, caption.
    // Both compare whole and without regard to case.
    virtual Hwnd FindWindowA(std::string_view className,
                             std::optional<std::string_view> caption = std::nullopt) = 0;

    // FindWindowExA: the next child of `parent` (0 = the top-level windows)
    // after `childAfter` (0 = start at the foremost) of that class and caption.
    virtual Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                               std::optional<std::string_view> caption = std::nullopt) = 0;

    // Synchronous: the window handles the message before the call returns.
    // For WM_SETTEXT lParam points at a NUL-terminated ANSI string; for
    // WM_GETTEXT and EM_GETLINE at a buffer, for EM_GETTEXTRANGE at a
    // TextRangeA, and EM_GETTEXTLENGTHEX takes a GetTextLengthEx in wParam, as
    // in user32. A window system that puts the window in another process
    // carries the structures of the rich edit messages across; EM_GETLINE it
    // may refuse there (it is not safe across processes everywhere).
    virtual LResult SendMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) = 0;

    // Queued: handled later by the window's owner. Pointer parameters are not
    // allowed here, as in user32.
    virtual bool PostMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) = 0;

    virtual int GetWindowTextLengthA(Hwnd window) = 0;
    // Copies at most maxCount - 1 characters and a terminator; returns the
    // number copied.
    virtual int GetWindowTextA(Hwnd window, char* buffer, int maxCount) = 0;

    // Whether the program that owns the window is 32- or 64-bit; 0 when this
    // window system cannot tell (or there is no such window).
    virtual int ProcessBits(Hwnd /*window*/) { return 0; }

    // Lets a reader (the chat scanner) learn that window content changed
    // without polling. Returns 0 when this window system cannot tell; the
    // caller then polls. The callback may run inside any call into this
    // interface and must only take note, not call back in.
    virtual std::uint64_t AddChangeListener(std::function<void()> /*onChange*/) { return 0; }
    virtual void RemoveChangeListener(std::uint64_t /*id*/) {}

    // Lets a reader that polls learn that another program made a window, so
    // that it need not look for windows that are not there (a client not
    // started, a room not entered) until one is made. Returns 0 when this
    // window system cannot tell; the caller then keeps looking. The callback
    // follows the rules of AddChangeListener's.
    virtual std::uint64_t AddCreationListener(std::function<void()> /*onCreate*/) { return 0; }
    virtual void RemoveCreationListener(std::uint64_t /*id*/) {}
};

}  // namespace platform
