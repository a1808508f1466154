#include "ui/qt/PlaceBeside.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace ui {

void PlaceBeside(QWidget& window, const QWidget& mainWindow, int widestMainWidth) {
    constexpr int kGap = 16;
    constexpr int kNarrowest = 460;
    QRect main = mainWindow.frameGeometry();
    QScreen* screen = mainWindow.screen() ? mainWindow.screen() : QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    QSize size = window.frameGeometry().size();
    QSize frame = size - window.size();
    int wideRight = main.left() + widestMainWidth + (main.width() - mainWindow.width());

    int roomLeft = main.left() - kGap - area.left();
    int roomRight = area.right() - std::max(main.right(), wideRight) - kGap;
    int top = std::clamp(main.center().y() - size.height() / 2, area.top(),
                         std::max(area.top(), area.bottom() - size.height()));
    bool left = roomLeft >= std::min(size.width(), kNarrowest) || roomLeft >= roomRight;
    int room = left ? roomLeft : roomRight;
    if (room >= kNarrowest) {
        int width = std::min(size.width(), room);
        window.resize(width - frame.width(), window.height());
        window.move(left ? main.left() - kGap - width : area.right() - room + 1, top);
        return;
    }
    int below = std::min(main.bottom() + kGap, std::max(area.top(), area.bottom() - size.height()));
    window.move(std::max(area.left(), main.center().x() - size.width() / 2), below);
}

}  // namespace ui
