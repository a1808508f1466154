#include "ui/qt/ListBoxLook.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QStyledItemDelegate>

namespace ui {

namespace {

class TabStopDelegate final : public QStyledItemDelegate {
  public:
    TabStopDelegate(const QFont& font, QObject* parent)
        : QStyledItemDelegate(parent), metrics_(font) {}

    QString displayText(const QVariant& value, const QLocale& locale) const override {
        QString text = QStyledItemDelegate::displayText(value, locale);
        if (!text.contains(QLatin1Char('\t'))) return text;
        const int stop = std::max(1, 8 * metrics_.averageCharWidth());
        const int blank = std::max(1, metrics_.horizontalAdvance(QLatin1Char(' ')));
        QString expanded;
        for (const QChar c : text) {
            if (c != QLatin1Char('\t')) {
                expanded += c;
                continue;
            }
            const int width = metrics_.horizontalAdvance(expanded);
            const int next = (width / stop + 1) * stop;
            expanded += QString((next - width + blank - 1) / blank, QLatin1Char(' '));
        }
        return expanded;
    }

  private:
    QFontMetrics metrics_;
};

}  // namespace

void UseListBoxLook(QListWidget* list) {
    list->setItemDelegate(new TabStopDelegate(list->font(), list));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideNone);
}

}  // namespace ui
