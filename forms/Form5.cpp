#include "forms/Form5.h"

#include "forms/HelpLines.h"

namespace forms {

Form5::Form5(forms::FrontEnd& frontEnd) : Form(frontEnd, "Form5", "mini screen") {
    SetSize(3135, 1455);

    Control picture;
    picture.name = "Picture1";
    picture.kind = ControlKind::PictureBox;
    picture.width = 3135;
    picture.height = 1455;
    Add(std::move(picture));

    Control list;
    list.name = "List1";
    list.kind = ControlKind::ListBox;
    list.container = "Picture1";
    list.left = 120;
    list.top = 120;
    list.width = 2895;
    list.height = 1200;
    list.font = Font{"", 8.25, false};  // the platform's dialog font
    list.items = MiniHelpLines();
    list.dragHandle = true;
    Add(std::move(list));

    Announce();
}

void Form5::Load() {
    if (loaded_) return;
    loaded_ = true;
    // Once: no timer repeats it for this window.
    FrontEnd().SetTopmost(*this);
    SetGradient(Get("Picture1"), true);
}

}  // namespace forms
