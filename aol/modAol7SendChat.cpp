#include "aol/modAol7SendChat.h"

#include <algorithm>
#include <vector>

#include "aol/ClientWindows.h"
#include "aol/modAolTools.h"
#include "platform/AnsiText.h"

namespace modAol7SendChat {
namespace {

using platform::Hwnd;
using platform::WindowApi;

// Placing the line and pressing the icon are separate messages, and the
// client handles the user's own keys and sends between any two of them. A
// try that finds the box changed before the press is made again; a few are
// plenty, since a person cannot send faster than the client answers us.
constexpr int kTries = 4;

std::string BoxText(WindowApi& windows, Hwnd box) {
    if (!box) return std::string();
    // The box as it is now: its length first, then that much text (a box
    // that grew in between is read short, never past the buffer).
    const auto length = windows.SendMessageA(box, platform::WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const auto got = windows.SendMessageA(box, platform::WM_GETTEXT, buffer.size(),
                                          reinterpret_cast<platform::LParam>(buffer.data()));
    if (got <= 0) return std::string();
    return std::string(buffer.data(), std::min(static_cast<std::size_t>(got), buffer.size() - 1));
}

void SetBoxText(WindowApi& windows, Hwnd box, const std::string& ansi) {
    windows.SendMessageA(box, platform::WM_SETTEXT, 0,
                         reinterpret_cast<platform::LParam>(ansi.c_str()));
}

// What the user typed into the box while our line stood in it: the box's
// text without our line.
std::string TypedInto(const std::string& box, const std::string& ours) {
    if (ours.empty()) return box;
    const auto at = box.find(ours);
    if (at == std::string::npos) return box;
    return box.substr(0, at) + box.substr(at + ours.size());
}

}  // namespace

void SendChatLine(WindowApi& windows, const std::string& text) {
    // Whatever client window is in front gets the line: the room is in front
    // while the user types in it.
    Hwnd frame = windows.FindWindowA(aol::kFrameClass);
    Hwnd mdi = windows.FindWindowExA(frame, 0, aol::kMdiClientClass);
    Hwnd front = windows.FindWindowExA(mdi, 0, aol::kChildClass);
    Hwnd input = windows.FindWindowExA(front, 0, aol::kRichEditClass);
    Hwnd send = modAolTools::FindNthChild(windows, front, aol::kIconClass, aol::kRoomSendIcon);
    const std::string ansi = platform::ToAnsi(text);

    // A line the user has typed but not sent yet goes back into the box
    // once ours has gone, instead of being lost under it.
    std::string unsent = text.empty() ? std::string() : BoxText(windows, input);
    for (int attempt = 1;; ++attempt) {
        SetBoxText(windows, input, ansi);
        windows.SendMessageA(send, platform::WM_LBUTTONDOWN, 0, 0);
        // Our line must still be the whole box when the press completes: a
        // send of the user's own in between took it or put theirs in its
        // place, and keys typed in between would go out inside our line.
        if (attempt < kTries && input && send && !ansi.empty()) {
            const std::string now = BoxText(windows, input);
            if (now != ansi) {
                unsent += TypedInto(now, ansi);
                continue;
            }
        }
        windows.SendMessageA(send, platform::WM_KEYUP, platform::VK_SPACE, 0);
        break;
    }
    if (!unsent.empty() && BoxText(windows, input).empty()) SetBoxText(windows, input, unsent);
}

}  // namespace modAol7SendChat
