#pragma once
// The mini screen: a small borderless window with the command help list on
// the grey gradient. It stays above other windows from its load on and is
// moved by dragging the list.

#include <QStringList>
#include <QWidget>
#include <cstdint>

#include "ui/forms/DragToMove.h"
#include "ui/forms/Twips.h"

class QListWidget;

namespace ui {

class PictureSurface;

struct Form5Options {
    CursorSource cursorPos;  // QCursor::pos() when empty
};

class Form5 : public QWidget {
  public:
    explicit Form5(Form5Options options = {});
    ~Form5() override;

    // The load step: topmost once, then the gradient. Runs once; later calls
    // do nothing.
    void Load();
    bool Loaded() const { return loaded_; }

    // The window's place in twips.
    std::int32_t LeftTwips() const { return position_.left; }
    std::int32_t TopTwips() const { return position_.top; }
    void SetLeftTwips(std::int32_t twips);
    void SetTopTwips(std::int32_t twips);

    PictureSurface* Picture1() const { return picture1_; }
    QListWidget* List1() const { return list1_; }
    const DragToMove& Drag() const { return *drag_; }

    // The 63 help lines of List1.
    static QStringList HelpLines();

  protected:
    void moveEvent(QMoveEvent* event) override;

  private:
    PictureSurface* picture1_;
    QListWidget* list1_;
    DragToMove* drag_;
    bool loaded_ = false;
    TwipsPosition position_;
};

}  // namespace ui
