#pragma once
// The controls of the program's windows as data. A front end draws them from
// these properties and nothing else; the windows' behaviour (forms::Form1,
// forms::Form5) changes them and tells the front end what changed.
//
// Geometry is in twips, 15 to a screen pixel, relative to the control's
// container (the form, or the picture surface it stands on). Texts are UTF-8.

#include <cstdint>
#include <string>
#include <vector>

namespace forms {

inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel (every place in the layout is a whole
// number of pixels, so this only matters for values set at run time).
constexpr int Pixels(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

enum class ControlKind {
    PictureBox,   // the gradient surface the other controls stand on
    Label,        // a text (or glyph) on a transparent ground; some act on a click
    ListBox,      // a read-only list of lines
    FileListBox,  // the mp3 file list: lines and a single selection
    ProgressBar,  // DogBar1
};

enum class Alignment { Left, Right, Center };

// The system colours the layout names; a front end resolves them.
enum class SystemColor {
    ButtonShadow,  // a mid grey: the labels' text
    WindowText,    // the title and the lines
};

struct Color {
    bool system = true;
    SystemColor systemColor = SystemColor::ButtonShadow;
    std::uint32_t rgb = 0;  // 0xRRGGBB when not a system colour

    static constexpr Color System(SystemColor color) { return {true, color, 0}; }
    static constexpr Color Rgb(std::uint32_t rgb) {
        return {false, SystemColor::ButtonShadow, rgb};
    }
    friend bool operator==(const Color&, const Color&) = default;
};

// A font by face name. The empty face is the platform's default dialog font.
struct Font {
    std::string face;
    double points = 8.25;
    bool bold = false;
    friend bool operator==(const Font&, const Font&) = default;
};

// A straight line on a picture surface, in twips relative to the surface.
struct Line {
    std::string name;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// DogBar1's properties: the fill position and full scale the progress timer
// writes, and the three stored settings of its look.
struct ProgressBar {
    std::int16_t barvalue = 0;
    std::int32_t barmax = 0;
    int barstyle = 0;
    std::uint32_t barcolor1 = 0xFFFFFF;
    std::uint32_t backcolor = 0x808080;

    // The width of the fill in pixels on a bar `widthPixels` wide: in
    // proportion to barvalue / barmax, nothing when either is not positive,
    // the full width from barmax up.
    int FillWidth(int widthPixels) const;
};

// What changed, as a set of these bits.
namespace Changed {
inline constexpr unsigned Caption = 1u << 0;
inline constexpr unsigned Visible = 1u << 1;
inline constexpr unsigned Geometry = 1u << 2;
inline constexpr unsigned Items = 1u << 3;
inline constexpr unsigned ListIndex = 1u << 4;
inline constexpr unsigned Bar = 1u << 5;
inline constexpr unsigned Surface = 1u << 6;  // gradient switched on, lines
}  // namespace Changed

struct Control {
    std::string name;
    ControlKind kind = ControlKind::Label;
    // The control it stands on ("Picture1"), or "" for the form itself.
    std::string container;

    std::string caption;
    bool visible = true;
    int left = 0, top = 0, width = 0, height = 0;  // twips

    Font font;
    Color foreColor = Color::System(SystemColor::ButtonShadow);
    Alignment alignment = Alignment::Left;
    bool autoSize = false;  // the label's width follows its text
    std::string toolTip;
    bool clickable = false;   // acts on a single click
    bool dragHandle = false;  // pressing and moving it moves the window

    // Lists.
    std::vector<std::string> items;
    int listIndex = -1;

    ProgressBar bar;

    // Picture surfaces.
    bool gradient = false;  // the 64 grey bands are painted on it
    std::vector<Line> lines;
    Color lineColor = Color::System(SystemColor::WindowText);
};

}  // namespace forms
