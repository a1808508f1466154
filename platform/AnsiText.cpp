#include "platform/AnsiText.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace platform {
namespace {

// One converter per direction, opened once: iconv_open is far dearer than a
// conversion of a chat line.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; where a character cannot be converted, writes "?" and
    // skips `skip(rest)` input bytes.
    template <typename Skip>
    std::string Run(std::string_view in, Skip skip) {
        std::string out;
        out.reserve(in.size() * 2 + 4);
        char buffer[1024];
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            std::size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (r != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a sequence cut short at the end): one "?" for
            // the character that cannot cross.
            out.push_back('?');
            std::size_t n = skip(std::string_view(inPtr, inLeft));
            inPtr += n;
            inLeft -= n;
        }
        return out;
    }

  private:
    iconv_t cd_;
};

// Bytes of the UTF-8 character at the start of `rest` (1 for a stray byte),
// so an unmappable character becomes one "?", not one per byte.
std::size_t Utf8CharLength(std::string_view rest) {
    auto lead = static_cast<unsigned char>(rest[0]);
    std::size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 1;
    if (n > rest.size()) return 1;
    for (std::size_t i = 1; i < n; ++i) {
        if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
    }
    return n;
}

}  // namespace

std::string ToAnsi(std::string_view utf8) {
    bool ascii = true;
    for (char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(utf8);
    thread_local Converter toAnsi("CP1252", "UTF-8");
    return toAnsi.Run(utf8, Utf8CharLength);
}

std::string FromAnsi(std::string_view ansi) {
    bool ascii = true;
    for (char c : ansi) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(ansi);
    thread_local Converter fromAnsi("UTF-8", "CP1252");
    return fromAnsi.Run(ansi, [](std::string_view) { return std::size_t{1}; });
}

}  // namespace platform
