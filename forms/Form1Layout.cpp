// Form1 as it was designed: its size and every control, each with its
// caption, place, size, font, tooltip and what it does with the mouse, as
// they stand before the load step. The behaviour is in Form1.cpp.

#include "forms/Form1.h"

#include <string>
#include <utility>

#include "forms/HelpLines.h"

namespace forms {

namespace {

constexpr int kDesignWidthTwips = 7335;
constexpr int kDesignHeightTwips = 5580;

const Font kTahoma{"Tahoma", 8.25, false};
const Font kDialogFont{"", 8.25, false};
const Font kWebdings{"Webdings", 8.25, false};
const Font kPalatino{"Palatino Linotype", 8.25, false};
const Font kSmallFonts{"Small Fonts", 6, false};

Control Label(const char* name, const char* container, int left, int top, int width, int height,
              std::string caption, const Font& font, Alignment alignment,
              const char* toolTip = nullptr) {
    Control label;
    label.name = name;
    label.kind = ControlKind::Label;
    label.container = container;
    label.left = left;
    label.top = top;
    label.width = width;
    label.height = height;
    label.caption = std::move(caption);
    label.font = font;
    label.alignment = alignment;
    if (toolTip) label.toolTip = toolTip;
    return label;
}

}  // namespace

void Form1::BuildControls() {
    SetSize(kDesignWidthTwips, kDesignHeightTwips);
    BuildLeftPanel();
    BuildMp3Panel();
}

void Form1::BuildLeftPanel() {
    Control picture;
    picture.name = "Picture1";
    picture.kind = ControlKind::PictureBox;
    picture.width = kDesignWidthTwips;
    picture.height = kStripHeightTwips;
    picture.lines = {{"Line3", 0, 1920, 4200, 1920},
                     {"Line1", 4200, 1920, 3600, 1920},
                     {"Line4", 0, 2160, 4200, 2160},
                     {"Line2", 4200, 2160, 4200, -120},
                     {"Line5", 4200, 2160, 7320, 2160}};
    Add(std::move(picture));

    Control& title = Add(Label("Label14", "Picture1", 0, 0, 4215, 495, kAppTitle,
                               Font{"Porky's", 20.25, true}, Alignment::Center, "name of progs"));
    title.foreColor = Color::System(SystemColor::WindowText);

    Control list;
    list.name = "List6";
    list.kind = ControlKind::ListBox;
    list.container = "Picture1";
    list.left = 720;
    list.top = 480;
    list.width = 2775;
    list.height = 1200;
    list.font = kTahoma;
    list.toolTip = "list of c-ruze";
    list.items = MainHelpLines();
    Add(std::move(list));

    Add(Label("Label3", "Picture1", 120, 1680, 300, 195, "time", kTahoma, Alignment::Left))
        .autoSize = true;
    Add(Label("Label5", "Picture1", 3765, 1680, 330, 195, "date", kTahoma, Alignment::Right))
        .autoSize = true;
    Control& strip =
        Add(Label("Label1", "Picture1", 120, 1920, 2070, 195,
                  "moonrake ruze \u00B2 \u203A log'd in  -  (", kTahoma, Alignment::Left,
                  "name of c-ruze.(use this label to move the form around the screen)"));
    strip.autoSize = true;
    strip.dragHandle = true;
    SizeToText(strip);
    Add(Label("Label4", "Picture1", 2160, 1920, 855, 255, state_.handle, kTahoma, Alignment::Center,
              "the handle you are loged in under"));
    Add(Label("Label8", "Picture1", 3000, 1920, 375, 255, ") \u203A", kTahoma, Alignment::Left))
        .clickable = true;
    Add(Label("Label6", "Picture1", 3240, 1920, 495, 255, "trig - (", kTahoma, Alignment::Center));
    Add(Label("Label2", "Picture1", 3720, 1920, 375, 255, "", kTahoma, Alignment::Center));
    Add(Label("Label9", "Picture1", 4080, 1920, 135, 255, ")", kTahoma, Alignment::Left))
        .clickable = true;

    // Below the window's height: never seen, but they are the view labels
    // and Label7 mirrors ruzeSwitch.
    Control& other =
        Add(Label("Label11", "", 0, 2400, 180, 195, "39", kDialogFont, Alignment::Left));
    other.autoSize = true;
    other.clickable = true;
    SizeToText(other);
    Add(Label("Label7", "", 0, 3120, 975, 375, state_.ruzeSwitch, kDialogFont, Alignment::Left))
        .clickable = true;
}

void Form1::BuildMp3Panel() {
    const auto glyph = [this](const char* name, int left, int top, int width, int height,
                              const char* text, const char* toolTip) {
        Add(Label(name, "Picture1", left, top, width, height, text, kWebdings, Alignment::Center,
                  toolTip))
            .clickable = true;
    };
    glyph("Label19", 4320, 1560, 135, 255, "4", "play");
    glyph("Label20", 4560, 1560, 135, 255, "=", "stop");
    glyph("Label26", 4800, 1560, 135, 255, ";", "pause\\unpause");
    glyph("Label10", 4800, 1560, 165, 255, "q", nullptr);
    glyph("Label28", 5040, 1560, 165, 255, "7", "back a song");
    glyph("Label27", 5280, 1560, 165, 255, "8", "next song");
    glyph("Label25", 5040, 1320, 135, 135, "", nullptr);

    Add(Label("Label15", "Picture1", 5640, 1560, 390, 240, "mp3s", kPalatino, Alignment::Left,
              "number of mp3s"))
        .autoSize = true;
    Add(Label("Label23", "Picture1", 6600, 1560, 255, 240, "vol", kPalatino, Alignment::Left,
              "volume"))
        .clickable = true;
    Add(Label("Label24", "Picture1", 6960, 1560, 210, 240, "bal", kPalatino, Alignment::Left,
              "balance"))
        .clickable = true;

    Control bar;
    bar.name = "DogBar1";
    bar.kind = ControlKind::ProgressBar;
    bar.container = "Picture1";
    bar.left = 4320;
    bar.top = 1800;
    bar.width = 2895;
    bar.height = 135;
    bar.toolTip = "song position how much time left";
    bar.bar.barstyle = 0;
    bar.bar.barcolor1 = 0xFFFFFF;
    bar.bar.backcolor = 0x808080;
    Add(std::move(bar));

    Add(Label("Label21", "Picture1", 4320, 1920, 2865, 240, "nothing", kSmallFonts, Alignment::Left,
              "song that is playing"));

    // The file list sits on the window itself, in front of the surface.
    Control files;
    files.name = "File1";
    files.kind = ControlKind::FileListBox;
    files.left = 4320;
    files.top = 120;
    files.width = 2895;
    files.height = 1380;
    files.font = kSmallFonts;
    files.toolTip = "list of mp3s";
    Add(std::move(files));
}

}  // namespace forms
