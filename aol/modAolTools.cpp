#include "aol/modAolTools.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "aol/ClientWindows.h"
#include "platform/AnsiText.h"

namespace modAolTools {
namespace {

using platform::WindowApi;

constexpr std::string_view kWelcome = aol::kWelcomeGreeting;
constexpr platform::Millis kImWaitBound{10'000};
// How long one pass of a wait may sleep before it looks again: the client
// lives in another process on a real system and does not wake our loop.
constexpr platform::Millis kImWaitSlice{20};

Hwnd MdiClient(WindowApi& windows) {
    Hwnd frame = windows.FindWindowA(aol::kFrameClass);
    return windows.FindWindowExA(frame, 0, aol::kMdiClientClass);
}

Hwnd FindInstantMessageWindow(WindowApi& windows, Hwnd mdi) {
    return windows.FindWindowExA(mdi, 0, aol::kChildClass, std::string_view(aol::kImCaption));
}

bool IsChildOf(WindowApi& windows, Hwnd mdi, Hwnd window) {
    for (Hwnd child = windows.FindWindowExA(mdi, 0, aol::kChildClass); child;
         child = windows.FindWindowExA(mdi, child, aol::kChildClass)) {
        if (child == window) return true;
    }
    return false;
}

// Pumps the loop until `window` is no longer among the client's windows, or
// until the deadline.
void WaitUntilGone(platform::Services& services, Hwnd mdi, Hwnd window, platform::Millis deadline) {
    platform::Runtime& runtime = services.runtime;
    while (window && IsChildOf(services.windows, mdi, window)) {
        platform::Millis left = deadline - runtime.Monotonic();
        if (left <= platform::Millis{0} || runtime.QuitRequested()) return;
        runtime.WaitForEvents(std::min(left, kImWaitSlice));
    }
}

platform::LParam TextParam(const std::string& ansi) {
    return reinterpret_cast<platform::LParam>(ansi.c_str());
}

}  // namespace

Hwnd FindNthChild(WindowApi& windows, Hwnd parent, const std::string& className, int n) {
    Hwnd found = windows.FindWindowExA(parent, 0, className);
    for (int step = 1; step < n; ++step) found = windows.FindWindowExA(parent, found, className);
    return found;
}

Hwnd FindChatRoom(WindowApi& windows) {
    RoomWay way;
    return FindChatRoom(windows, way);
}

Hwnd FindChatRoom(WindowApi& windows, RoomWay& way) {
    way = RoomWay{};
    way.frame = windows.FindWindowA(aol::kFrameClass);
    way.mdi = windows.FindWindowExA(way.frame, 0, aol::kMdiClientClass);
    Hwnd candidate = windows.FindWindowExA(way.mdi, 0, aol::kChildClass);
    while (true) {
        // All four lookups every time, as the client's rooms are recognised
        // by carrying every one of these kinds of control.
        Hwnd rich = windows.FindWindowExA(candidate, 0, aol::kRichEditClass);
        Hwnd list = windows.FindWindowExA(candidate, 0, aol::kListClass);
        Hwnd icon = windows.FindWindowExA(candidate, 0, aol::kIconClass);
        Hwnd label = windows.FindWindowExA(candidate, 0, aol::kStaticClass);
        if (rich && list && icon && label) {
            way.room = candidate;
            return candidate;
        }
        if (candidate == 0) return 0;
        way.passed.push_back({candidate, !rich   ? aol::kRichEditClass
                                         : !list ? aol::kListClass
                                         : !icon ? aol::kIconClass
                                                 : aol::kStaticClass});
        candidate = windows.FindWindowExA(way.mdi, candidate, aol::kChildClass);
        if (candidate == 0) return 0;
    }
}

bool SameWay(WindowApi& windows, const RoomWay& way) {
    if (windows.FindWindowA(aol::kFrameClass) != way.frame) return false;
    if (windows.FindWindowExA(way.frame, 0, aol::kMdiClientClass) != way.mdi) return false;
    Hwnd candidate = windows.FindWindowExA(way.mdi, 0, aol::kChildClass);
    for (const RoomWay::Passed& passed : way.passed) {
        if (candidate != passed.window || windows.FindWindowExA(candidate, 0, passed.lacks)) {
            return false;
        }
        candidate = windows.FindWindowExA(way.mdi, candidate, aol::kChildClass);
    }
    return candidate == way.room;
}

std::string GetWindowCaption(WindowApi& windows, Hwnd window) {
    int length = windows.GetWindowTextLengthA(window);
    if (length <= 0) return "";
    // Exactly the measured length: a text that grew since is cut, and what
    // the read did not fill stays NUL.
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    windows.GetWindowTextA(window, buffer.data(), length + 1);
    return platform::FromAnsi(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
}

Hwnd FindWelcomeWindow(WindowApi& windows) {
    Hwnd mdi = MdiClient(windows);
    for (Hwnd child = windows.FindWindowExA(mdi, 0, aol::kChildClass); child;
         child = windows.FindWindowExA(mdi, child, aol::kChildClass)) {
        if (GetWindowCaption(windows, child).rfind(kWelcome, 0) == 0) return child;
    }
    return 0;
}

std::string GetOwnScreenName(WindowApi& windows) {
    const std::string caption = GetWindowCaption(windows, FindWelcomeWindow(windows));
    if (caption.rfind(kWelcome, 0) != 0) return "";
    auto bang = caption.find(aol::kWelcomeClose);
    // A welcome caption without "!" yields everything after the greeting.
    if (bang == std::string::npos) return caption.substr(kWelcome.size());
    return caption.substr(kWelcome.size(), bang - kWelcome.size());
}

Hwnd FindAddressBox(WindowApi& windows) {
    Hwnd frame = windows.FindWindowA(aol::kFrameClass);
    Hwnd toolbar = windows.FindWindowExA(frame, 0, aol::kToolbarClass);
    Hwnd inner = windows.FindWindowExA(toolbar, 0, aol::kInnerToolbarClass);
    Hwnd combo = windows.FindWindowExA(inner, 0, aol::kComboClass);
    return windows.FindWindowExA(combo, 0, aol::kAddressClass);
}

void GotoKeyword(WindowApi& windows, const std::string& keyword) {
    Hwnd edit = FindAddressBox(windows);
    std::string ansi = platform::ToAnsi(keyword);
    windows.SendMessageA(edit, platform::WM_SETTEXT, 0, TextParam(ansi));
    windows.SendMessageA(edit, platform::WM_CHAR, platform::VK_SPACE, 0);
    windows.SendMessageA(edit, platform::WM_CHAR, platform::VK_RETURN, 0);
}

void SendInstantMessage(platform::Services& services, const std::string& screenName,
                        const std::string& message) {
    WindowApi& windows = services.windows;
    platform::Runtime& runtime = services.runtime;
    Hwnd mdi = MdiClient(windows);
    GotoKeyword(windows, aol::kInstantMessagePrefix + screenName);

    // Wait for the message window with its text box and send button.
    Hwnd window = 0, box = 0, send = 0;
    platform::Millis deadline = runtime.Monotonic() + kImWaitBound;
    while (true) {
        runtime.DoEvents();
        if (runtime.QuitRequested()) return;
        window = FindInstantMessageWindow(windows, mdi);
        box = windows.FindWindowExA(window, 0, aol::kRichEditClass);
        send = FindNthChild(windows, window, aol::kIconClass, aol::kImSendIcon);
        if (window && box && send) break;
        platform::Millis left = deadline - runtime.Monotonic();
        if (left <= platform::Millis{0}) return;
        runtime.WaitForEvents(std::min(left, kImWaitSlice));
    }

    std::string ansi = platform::ToAnsi(message);
    windows.SendMessageA(box, platform::WM_SETTEXT, 0, TextParam(ansi));
    windows.SendMessageA(send, platform::WM_LBUTTONDOWN, 0, 0);
    windows.SendMessageA(send, platform::WM_LBUTTONUP, 0, 0);

    // Wait for the outcome: the client's box (answer it and close the
    // window), or the window gone because the message went.
    deadline = runtime.Monotonic() + kImWaitBound;
    while (true) {
        runtime.DoEvents();
        if (runtime.QuitRequested()) return;
        Hwnd clientBox = windows.FindWindowA(aol::kBoxClass, std::string_view(aol::kBoxCaption));
        window = FindInstantMessageWindow(windows, mdi);
        if (clientBox) {
            Hwnd button = windows.FindWindowExA(clientBox, 0, aol::kBoxButtonClass);
            windows.PostMessageA(button, platform::WM_KEYDOWN, platform::VK_SPACE, 0);
            windows.PostMessageA(button, platform::WM_KEYUP, platform::VK_SPACE, 0);
            windows.PostMessageA(window, platform::WM_CLOSE, 0, 0);
            // The client handles what was posted when it gets to it. Until
            // it has closed the message window, that window is the foremost
            // client window, and the caller's reply to the room would go
            // into it instead.
            WaitUntilGone(services, mdi, window, deadline);
            return;
        }
        if (!window) return;
        platform::Millis left = deadline - runtime.Monotonic();
        if (left <= platform::Millis{0}) return;
        runtime.WaitForEvents(std::min(left, kImWaitSlice));
    }
}

double RandomNumber(platform::Random& random, const std::string& maxText) {
    random.Reseed();
    double r = random.Next();
    double m = 0;
    auto first = maxText.find_first_not_of(' ');
    if (first != std::string::npos) {
        const char* begin = maxText.data() + first;
        std::from_chars(begin, maxText.data() + maxText.size(), m);
    }
    if (!(m >= 1) || !std::isfinite(m)) return 1;
    return std::floor(m * r) + 1;
}

void Pause(platform::Runtime& runtime, int seconds) {
    // The pause counts from the nearest whole second of the clock, so it
    // lasts between half a second less and half a second more than asked.
    // Only that rounding comes from the wall clock: the time that passes is
    // measured on the monotonic one, which midnight, the end of summer time
    // or a clock set back do not disturb.
    double clock = runtime.SecondsSinceMidnight();
    double rounding = std::nearbyint(clock) - clock;  // halves to even; in [-0.5, 0.5]
    auto wanted = std::llround((static_cast<double>(seconds) + rounding) * 1000.0);
    platform::Millis end = runtime.Monotonic() + platform::Millis{wanted};
    while (!runtime.QuitRequested()) {
        platform::Millis left = end - runtime.Monotonic();
        if (left <= platform::Millis{0}) return;
        runtime.WaitForEvents(left);
    }
}

}  // namespace modAolTools
