#include "ui/forms/Form5.h"

#include <QListWidget>
#include <QMoveEvent>

#include "ui/forms/Fonts.h"
#include "ui/forms/Gradient.h"
#include "ui/forms/KeepOnTop.h"
#include "ui/forms/ListBoxLook.h"
#include "ui/forms/Twips.h"

namespace ui {

namespace {
const QString kStars(42, QLatin1Char('*'));
}  // namespace

QStringList Form5::HelpLines() {
    return {
        "\t     main ruze",
        kStars,
        "h * - will set handle",
        "tr * - will set trigger",
        "pr * - will enter private room",
        "com * - will enter a .com site",
        "org * - will enter a .org site",
        "net * - will enter a .net site",
        "-con * - will contact zerin",
        "dis - will disable ruze",
        "en - will enable ruze",
        "sms - will show main stats",
        "hms - will hide main stats",
        "disc - will show disclaimer",
        "grt - will show greets",
        "-hlp - will show help screen",
        "hdis - will hide disclaimer",
        "hgrt - will hide greets",
        "-hhlp - will hide help screen",
        "minv - will show just the ruze",
        "fulv - will show main screen",
        "min - will minimze prog",
        "res - will restore prog",
        "e - will exit program",
        kStars,
        "\t     idler ruze",
        kStars,
        "i * - will set you idle",
        "cr * - will cahnge idle reason",
        "sis - will scroll idle stats",
        "is - will show idler stats",
        "his - will hide idler stats",
        kStars,
        "\t     mp3  ruze",
        kStars,
        "d * - will set mp3 directory ",
        "p * - will play a song",
        "b * - will set balance",
        "v * - will set volume",
        "r - will play a random song",
        "-re - will repeat current song",
        "-ran - will play a random song",
        "-pa - will pause song",
        "-up - will unpause song",
        "-mu - will must song",
        "-um - will unmute song",
        "mp3 - will show mp3s",
        "3pm - will hide mp3s",
        "mps - will scroll mp3 stats",
        "-smps - will show mp3 stats",
        "-hmps - will hide mp3 stats",
        kStars,
        "                font\\ascii ruze",
        kStars,
        "-ft * - will set font type",
        "-fc * - will set font color",
        "-ma * - will set middle ascii",
        "-la * - will set left ascii",
        "-ac * - will set ascii color",
        "-dfa - will set default font\\ascii",
        "-fas - will scroll font\\ascii stats",
        "-sfas - will show font ascii stats",
        "-hfas - will hide font ascii stats",
    };
}

Form5::Form5(Form5Options options)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("Form5");
    setWindowTitle("mini screen");
    // A hidden mini screen must never keep the program alive, and closing it
    // alone does not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(Twips(3135), Twips(1455));

    picture1_ = new PictureSurface(this);
    picture1_->setObjectName("Picture1");
    picture1_->setGeometry(0, 0, Twips(3135), Twips(1455));

    list1_ = new QListWidget(picture1_);
    list1_->setObjectName("List1");
    list1_->setGeometry(Twips(120), Twips(120), Twips(2895), Twips(1200));
    list1_->setFont(fonts::DialogFont());
    list1_->addItems(HelpLines());
    UseListBoxLook(list1_);

    drag_ = new DragToMove(
        list1_->viewport(), std::move(options.cursorPos),
        [this](std::int32_t top) { SetTopTwips(top); },
        [this](std::int32_t left) { SetLeftTwips(left); });
}

Form5::~Form5() = default;

void Form5::Load() {
    if (loaded_) return;
    loaded_ = true;
    KeepOnTop(this);
    picture1_->PaintGradientOn();
    picture1_->update();
}

void Form5::SetLeftTwips(std::int32_t twips) {
    position_.left = twips;
    move(Twips(position_.left), Twips(position_.top));
}

void Form5::SetTopTwips(std::int32_t twips) {
    position_.top = twips;
    move(Twips(position_.left), Twips(position_.top));
}

void Form5::moveEvent(QMoveEvent* event) {
    position_.Follow(event->pos().x(), event->pos().y());
    QWidget::moveEvent(event);
}

}  // namespace ui
