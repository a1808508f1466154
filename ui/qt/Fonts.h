#pragma once
// The faces the windows were designed with (Tahoma, Webdings, Porky's,
// Palatino Linotype, Small Fonts, Arial) are Windows fonts that no Debian
// package carries. Every control asks for its font here, so the substitutes
// and the reasons for them live in one place (Fonts.cpp).

#include <QFont>
#include <QString>
#include <QStringList>

namespace ui::fonts {

QFont Tahoma(double points);
QFont Arial(double points);
QFont PalatinoLinotype(double points);
QFont Porkys(double points, bool bold);
QFont SmallFonts(double points);
// The face for the transport glyphs; use with WebdingsText.
QFont Webdings(double points);
// The platform's default dialog font (used where a control names no font).
QFont DialogFont();

// The text a Webdings caption stands for, with each symbol character replaced
// by the Unicode symbol that draws the same glyph. Characters with no known
// glyph are kept as they are.
QString WebdingsText(const QString& webdings);

}  // namespace ui::fonts
