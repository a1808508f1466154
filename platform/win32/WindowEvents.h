#pragma once
// The system's window events, as an out-of-context hook takes them (the
// system queues them to the hooking thread, which gets them whenever it takes
// its messages). Not every system delivers every event: Wine 8 delivers the
// making of windows (EVENT_OBJECT_CREATE) and focus changes, and none of the
// showing, hiding, destroying or restacking of windows. It also tells a hook
// of its own process's windows, WINEVENT_SKIPOWNPROCESS or not.
//
// No windows.h here: an event is a DWORD, that is an unsigned long.

namespace platform {

// Whether this system delivers `event` to an out-of-context hook, for a
// window of ours made and shown for the purpose (out of sight, for a moment):
// a probe. Both Windows and Wine queue an event while the call that raised it
// runs, so it is there at the first look; the probe waits up to 50 ms for one
// that does not come.
bool SystemDeliversWindowEvent(unsigned long event);

}  // namespace platform
