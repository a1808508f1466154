#pragma once
// The stand-in client's window classes. Every window of theirs routes its
// messages to the one client of the process (window classes belong to the
// process too); what each window then does lives with the client's
// procedures in StandInWindows.cpp.

#include <windows.h>

#include <string>

namespace standin {

class StandInClient;

// Registers the client's classes, routed to `client`, which must outlive
// every window of theirs; false when the rich edit control cannot be had.
bool RegisterClientClasses(HINSTANCE instance, StandInClient& client);

// A class of this name of our own, for windows a test asks for by class;
// nothing when the class is there already.
void EnsureClass(HINSTANCE instance, const std::string& name);

// The room's input box takes a person's Return before its own procedure.
void SubclassRoomInput(HWND input);
// The client's box closes the client's way, not the system dialog's.
void SubclassMessageBox(HWND box);

// The window's text as it holds it (ANSI); "" for no window.
std::string TextOf(HWND window);

}  // namespace standin
