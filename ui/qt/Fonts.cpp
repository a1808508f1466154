#include "ui/qt/Fonts.h"

namespace ui::fonts {

namespace {

QFont Face(const QString& family, double points, QFont::StyleHint hint,
           QFont::Weight weight = QFont::Normal) {
    QFont font;
    font.setFamilies(QStringList{family});
    font.setStyleHint(hint);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

}  // namespace

// Tahoma and Arial: Liberation Sans (fonts-liberation2) has Arial's metrics,
// and Tahoma is a close enough humanist sans at these small sizes that the
// strip and the help list keep their line breaks and widths.
QFont Tahoma(double points) {
    return Face("Liberation Sans", points, QFont::SansSerif);
}
QFont Arial(double points) {
    return Face("Liberation Sans", points, QFont::SansSerif);
}

// Palatino Linotype: P052 (fonts-urw-base35) is the URW clone of Palatino.
QFont PalatinoLinotype(double points) {
    return Face("P052", points, QFont::Serif);
}

// Porky's is a heavy rounded display face used only for the product title.
// URW Gothic Demi (fonts-urw-base35) is the nearest bold geometric display
// sans on the machine; it ships only Book and Demi, so "bold" picks Demi.
QFont Porkys(double points, bool bold) {
    return Face("URW Gothic", points, QFont::SansSerif, bold ? QFont::DemiBold : QFont::Normal);
}

// Small Fonts is a bitmap face for tiny sizes; a scalable sans at the same
// point size reads better than any bitmap stand-in and keeps the list rows
// the height the layout expects.
QFont SmallFonts(double points) {
    return Face("Liberation Sans", points, QFont::SansSerif);
}

// Webdings draws pictures for ordinary characters. Symbola (fonts-symbola)
// has the Unicode transport symbols; the stock DejaVu faces draw empty boxes
// for them.
QFont Webdings(double points) {
    return Face("Symbola", points, QFont::AnyStyle);
}

// The default dialog face of the platform is a plain sans at 8 points.
QFont DialogFont() {
    return Face("Liberation Sans", 8.25, QFont::SansSerif);
}

QString WebdingsText(const QString& webdings) {
    QString text;
    for (const QChar c : webdings) {
        switch (c.unicode()) {
            case '4':
                text += QChar(0x23F5);
                break;  // play
            case '=':
                text += QChar(0x23F9);
                break;  // stop
            case ';':
                text += QChar(0x23F8);
                break;  // pause
            // Webdings "q" is the pair of circling arrows of the resume button.
            case 'q':
                text += QString::fromUcs4(U"\U0001F5D8");
                break;
            case '7':
                text += QChar(0x23EE);
                break;  // back a song
            case '8':
                text += QChar(0x23ED);
                break;  // next song
            default:
                text += c;
                break;
        }
    }
    return text;
}

}  // namespace ui::fonts
