#pragma once
// The control channel between a test and the stand-in client.
//
// The stand-in shows a hidden top-level window of class kControlClass whose
// caption is kControlClass, a blank and the token it was started with. A
// request is a WM_COPYDATA message to that window: wParam is the test's reply
// window, dwData the request's number, the data a list of fields (the command
// word first). The stand-in answers before the message returns, with a
// WM_COPYDATA of its own to the reply window carrying the same number and the
// reply's fields: "ok" and the results, or "error" and why. Texts are UTF-8.
//
// A list of fields is written as "<length>:<bytes>" for each field, so any
// byte, blanks and line breaks included, crosses unharmed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

inline constexpr char kControlClass[] = "StandInControl";
// A WM_COPYDATA whose dwData does not carry this in its upper 16 bits is not
// ours; the lower 16 hold the request's number. dwData is pointer-sized, so
// only 32 bits of it cross between a 32-bit and a 64-bit process.
inline constexpr std::uint32_t kTag = 0x53540000u;
inline constexpr std::uint32_t kTagMask = 0xFFFF0000u;
inline constexpr std::uint32_t kNumberMask = 0x0000FFFFu;

inline std::string EncodeFields(const std::vector<std::string>& fields) {
    std::string out;
    for (const auto& field : fields) {
        out += std::to_string(field.size());
        out += ':';
        out += field;
    }
    return out;
}

// Nothing when `data` is not a well-formed list.
inline std::optional<std::vector<std::string>> DecodeFields(std::string_view data) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < data.size()) {
        std::size_t length = 0;
        std::size_t digits = 0;
        while (i < data.size() && data[i] >= '0' && data[i] <= '9' && digits < 9) {
            length = length * 10 + static_cast<std::size_t>(data[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || i >= data.size() || data[i] != ':') return std::nullopt;
        ++i;
        if (length > data.size() - i) return std::nullopt;
        fields.emplace_back(data.substr(i, length));
        i += length;
    }
    return fields;
}

}  // namespace standin
