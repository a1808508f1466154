#pragma once
#include <string>

#include "platform/WindowApi.h"

namespace modAol7SendChat {

// Puts `text` into the input box of the foremost client window and clicks
// that window's sixth "_AOL_Icon", its send button. Does not wait.
void SendChatLine(platform::WindowApi& windows, const std::string& text);

}  // namespace modAol7SendChat
