#pragma once
// The chat client's window tree, as the program finds and drives it, written
// once: the automation looks for these windows, and the simulated client and
// the stand-in build them, so all three agree by construction.
//
//   kFrameClass kFrameCaption
//     kToolbarClass > kInnerToolbarClass > kComboClass > kAddressClass   (address box)
//     kMdiClientClass
//       kChildClass "Welcome, NAME!"        (welcome window, never taken for a room)
//         kRichEditClass, kIconClass x kWelcomeIcons, kStaticClass
//       kChildClass ROOM                    (chat room)
//         kRichEditClass                    the input box (the first)
//         kRichEditClass                    the transcript (the second)
//         kListClass                        the members
//         kIconClass x kRoomIcons           the kRoomSendIcon-th sends
//         kStaticClass
//       kChildClass kImCaption              (an instant message, on demand)
//         kRichEditClass                    the message (the first)
//         kRichEditClass                    the conversation so far
//         kStaticClass "To: NAME"
//         kIconClass x kImIcons             the kImSendIcon-th sends
//   kBoxClass kBoxCaption                   (the client's message box)
//     kBoxButtonClass "OK", kBoxTextClass TEXT
//
// Class names and captions are plain ASCII, the same in every code page.
// Indices count children of one class from 1, front to back, as
// modAolTools::FindNthChild does.

namespace aol {

// --- window classes ---
inline constexpr char kFrameClass[] = "AOL Frame25";
inline constexpr char kToolbarClass[] = "AOL Toolbar";
inline constexpr char kInnerToolbarClass[] = "_AOL_Toolbar";
inline constexpr char kComboClass[] = "_AOL_Combobox";
inline constexpr char kAddressClass[] = "Edit";
inline constexpr char kMdiClientClass[] = "MDIClient";
inline constexpr char kChildClass[] = "AOL Child";
inline constexpr char kRichEditClass[] = "RICHCNTL";
inline constexpr char kListClass[] = "_AOL_Listbox";
inline constexpr char kIconClass[] = "_AOL_Icon";
inline constexpr char kStaticClass[] = "_AOL_Static";
// The client's message box is a dialog of the system's class.
inline constexpr char kBoxClass[] = "#32770";
inline constexpr char kBoxButtonClass[] = "Button";
inline constexpr char kBoxTextClass[] = "Static";

// --- captions ---
inline constexpr char kFrameCaption[] = "America  Online";
inline constexpr char kBoxCaption[] = "America Online";
inline constexpr char kImCaption[] = "Send Instant Message";
// The welcome window's caption is the greeting, the screen name and the close.
inline constexpr char kWelcomeGreeting[] = "Welcome, ";
inline constexpr char kWelcomeClose = '!';
// The instant-message window names its addressee in a static: "To: NAME".
inline constexpr char kImAddresseeLabel[] = "To: ";

// --- which child is which ---
inline constexpr int kRoomTranscript = 2;  // of kRichEditClass
inline constexpr int kRoomSendIcon = 6;    // of kIconClass
inline constexpr int kRoomIcons = 8;
inline constexpr int kImSendIcon = 9;  // of kIconClass
inline constexpr int kImIcons = 10;
inline constexpr int kWelcomeIcons = 3;

// --- addresses typed into the address box ---
// A private room: the prefix and the room's name.
inline constexpr char kPrivateRoomPrefix[] = "aol://2719:2-2-";
// An instant message: the prefix and the addressee's screen name.
inline constexpr char kInstantMessagePrefix[] = "aol://9293:";
// An instant message to one of these switches the client's instant messages
// on or off; the client answers with its box.
inline constexpr char kImSwitchOn[] = "$IM_ON";
inline constexpr char kImSwitchOff[] = "$IM_OFF";
inline constexpr char kImsOnBoxText[] = "You are now accepting Instant Messages.";
inline constexpr char kImsOffBoxText[] = "You are now ignoring Instant Messages.";

}  // namespace aol
