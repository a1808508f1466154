#pragma once
#include <string>

#include "platform/WindowApi.h"

namespace modAol7SendChat {

// Puts `text` into the input box of the foremost client window and clicks
// that window's sixth "_AOL_Icon", its send button. Does not wait for the
// line to reach the room. When the user's own typing or sending comes in
// between, the line is placed and pressed again; whatever the user had typed
// and not sent is back in the box afterwards.
void SendChatLine(platform::WindowApi& windows, const std::string& text);

}  // namespace modAol7SendChat
