// Text conversion on Windows: the ANSI side is whatever code page the system
// runs under (Windows-1252 on Western systems, and under Wine with LC_ALL=C),
// so it goes through the system's own tables rather than a fixed one.
//
// The rules match the other platforms': one "?" for each character the code
// page cannot hold and for each malformed UTF-8 sequence; no best-fit
// look-alikes ("Ā" must not quietly become "A"); C1 control characters never
// cross, since Windows-1252 leaves those byte values undefined.

#include <windows.h>

#include <string>

#include "platform/AnsiText.h"

namespace platform {
namespace {

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

bool IsC1(char32_t c) {
    return c >= 0x80 && c <= 0x9F;
}

// Decodes UTF-8 to UTF-16. A malformed sequence (bad lead byte, missing
// continuation, overlong form, surrogate, beyond U+10FFFF) becomes one "?":
// the whole sequence when its continuation bytes are in place, else the lead
// byte alone. Characters outside the basic plane become "?" unless
// `keepAstral`, since no ANSI code page but UTF-8 holds them.
std::wstring DecodeUtf8(std::string_view in, bool keepAstral) {
    std::wstring out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        auto lead = static_cast<unsigned char>(in[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        }
        std::size_t n = lead < 0xC0 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 0;
        bool complete = n != 0 && n <= in.size() - i;
        for (std::size_t k = 1; complete && k < n; ++k) {
            complete = (static_cast<unsigned char>(in[i + k]) & 0xC0) == 0x80;
        }
        if (!complete) {
            out.push_back(L'?');
            ++i;
            continue;
        }
        char32_t c = lead & (0xFF >> (n + 1));
        for (std::size_t k = 1; k < n; ++k)
            c = (c << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        bool valid = c >= kSmallest[n] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        i += n;
        if (!valid || IsC1(c)) {
            out.push_back(L'?');
        } else if (c < 0x10000) {
            out.push_back(static_cast<wchar_t>(c));
        } else if (!keepAstral) {
            out.push_back(L'?');
        } else {
            c -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
        }
    }
    return out;
}

std::string WideTo(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return {};
    // UTF-8 and a few stateful code pages take neither flags nor a default
    // character; for the others, ask for no best fit and "?" as the default.
    bool plain = codePage == CP_UTF8 || codePage == CP_UTF7 || codePage == 54936 ||
                 (codePage >= 50220 && codePage <= 50229) ||
                 (codePage >= 57002 && codePage <= 57011);
    DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = plain ? nullptr : "?";
    int size = static_cast<int>(wide.size());
    int n = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, fallback, nullptr);
    if (n <= 0) return std::string(wide.size(), '?');
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), n, fallback, nullptr);
    return out;
}

}  // namespace

std::string ToAnsi(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    UINT acp = GetACP();
    return WideTo(acp, DecodeUtf8(utf8, acp == CP_UTF8));
}

std::string FromAnsi(std::string_view ansi) {
    if (IsAscii(ansi)) return std::string(ansi);
    int size = static_cast<int>(ansi.size());
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (n <= 0) return std::string(ansi.size(), '?');
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), n);
    // Bytes the code page leaves undefined come back as C1 controls (or the
    // replacement character); they stand for nothing, so they become "?".
    for (wchar_t& c : wide) {
        if (IsC1(static_cast<char32_t>(c)) || c == 0xFFFD) c = L'?';
    }
    return WideTo(CP_UTF8, wide);
}

}  // namespace platform
