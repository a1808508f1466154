#pragma once
// Reading the room's styled lines for display. A line carries its own look
// in two tags: "< font . face=NAME>" switches the typeface and
// "< font . color=#RRGGBB>" the colour of the text after it. Everything else
// is plain text, shown as it is. A colour that is not six hexadecimal digits
// after "#" shows black, as the client shows it; a "<" that opens no complete
// tag is plain text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct StyledSpan {
    std::string face;                    // "" until a face tag names one
    std::optional<std::uint32_t> color;  // 0xRRGGBB; nothing until a colour tag
    std::string text;
    bool operator==(const StyledSpan&) const = default;
};

// The runs of text of `line` with the face and colour each is shown in, in
// order; runs without text are left out.
std::vector<StyledSpan> ParseStyledText(std::string_view line);

// "#RRGGBB" (either case) as 0xRRGGBB; nothing for anything else.
std::optional<std::uint32_t> ParseHexColor(std::string_view value);

}  // namespace ui
