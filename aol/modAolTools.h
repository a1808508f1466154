#pragma once
// Finding and driving the chat client's windows. Every routine is stateless
// and walks the window tree afresh; with no client running each lookup
// yields 0 and every routine returns quietly.

#include <string>
#include <vector>

#include "platform/Services.h"

namespace modAolTools {

using platform::Hwnd;

// The foremost "AOL Child" that has a "RICHCNTL", an "_AOL_Listbox", an
// "_AOL_Icon" and an "_AOL_Static"; 0 when there is none.
Hwnd FindChatRoom(platform::WindowApi& windows);

// The way FindChatRoom went: the windows it started from, the client's
// windows it passed over (foremost first, each with a kind of control it
// lacked) and where it stopped.
struct RoomWay {
    Hwnd frame = 0;
    Hwnd mdi = 0;
    struct Passed {
        Hwnd window;
        const char* lacks;  // a class name of ClientWindows.h
    };
    std::vector<Passed> passed;
    Hwnd room = 0;
};

// FindChatRoom, with the same lookups in the same order, noting its way.
Hwnd FindChatRoom(platform::WindowApi& windows, RoomWay& way);

// Whether FindChatRoom would go the same way now, to the same room: the same
// frame and MDI client first, the same windows in front of the room in the
// same order, and each of them still without the kind it lacked. Three
// lookups when the room is in front (FindChatRoom takes seven), and two more
// for each window in front of it. The controls of the room itself are not
// looked at: a room keeps them while it stands.
bool SameWay(platform::WindowApi& windows, const RoomWay& way);

// The window's text (UTF-8); "" for window 0.
std::string GetWindowCaption(platform::WindowApi& windows, Hwnd window);

// The screen name from the "Welcome, NAME!" window; "" when there is none.
std::string GetOwnScreenName(platform::WindowApi& windows);

// Types `keyword` into the address box and submits it. Does not wait.
void GotoKeyword(platform::WindowApi& windows, const std::string& keyword);

// Opens an instant-message window to `screenName` through the address box,
// sends `message` and clears up after the client's answer: when the client
// shows its box, presses the box's button, closes the message window and
// waits until that window has gone, so that the caller's next chat line
// reaches the room. Pumps the event loop while it waits; each of its two
// waits gives up after ten seconds.
void SendInstantMessage(platform::Services& services, const std::string& screenName,
                        const std::string& message);

// A whole number from 1 to the number in `maxText`, reseeding first; 1 when
// that number is below 1 or is not a number.
double RandomNumber(platform::Random& random, const std::string& maxText);

// Waits about `seconds` whole seconds, counted from the nearest whole second
// of the clock and measured on the monotonic clock, handling events meanwhile.
void Pause(platform::Runtime& runtime, int seconds);

// The client's address box (the Edit in its toolbar's combo box), and its
// welcome window (the first AOL Child whose caption starts "Welcome, "); 0
// when there is none.
Hwnd FindAddressBox(platform::WindowApi& windows);
Hwnd FindWelcomeWindow(platform::WindowApi& windows);

// Counts to the n-th child of `className` under `parent`: one lookup from 0
// and n - 1 further steps, each after the previous result. A step after a 0
// result starts again at the first child, as user32 does.
Hwnd FindNthChild(platform::WindowApi& windows, Hwnd parent, const std::string& className, int n);

}  // namespace modAolTools
