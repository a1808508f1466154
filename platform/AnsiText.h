#pragma once
// Text crosses the window boundary in Windows-1252, the ANSI code page the
// client runs under; the program's own strings are UTF-8.

#include <string>
#include <string_view>

namespace platform {

// UTF-8 to Windows-1252. A character the code page cannot hold, or a byte
// sequence that is not UTF-8, becomes "?".
std::string ToAnsi(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become "?".
std::string FromAnsi(std::string_view ansi);

}  // namespace platform
