#pragma once
// The program's strings are UTF-8; the Windows API's wide ones are UTF-16.
// The one conversion between them, through the system's own tables, with no
// error flag (Windows XP knows none for UTF-8): what does not convert is
// replaced as the system replaces it, never refused. No windows.h here, so
// that it turns no names of ours into macros.

#include <string>

namespace platform {

std::wstring Utf16FromUtf8(const std::string& utf8);
std::string Utf8FromUtf16(const wchar_t* utf16, std::size_t length);
inline std::string Utf8FromUtf16(const std::wstring& utf16) {
    return Utf8FromUtf16(utf16.data(), utf16.size());
}

}  // namespace platform
