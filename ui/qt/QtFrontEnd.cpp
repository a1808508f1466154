#include "ui/qt/QtFrontEnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QScreen>
#include <algorithm>

#include "ui/qt/DogBar.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/Gradient.h"
#include "ui/qt/KeepOnTop.h"
#include "ui/qt/ListBoxLook.h"
#include "ui/qt/LocaleSeparators.h"
#include "ui/qt/QtRuntime.h"
#include "ui/qt/X11Stacking.h"

namespace ui {

namespace {

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QRect PixelRect(const forms::Control& control) {
    return QRect(forms::Pixels(control.left), forms::Pixels(control.top),
                 forms::Pixels(control.width), forms::Pixels(control.height));
}

QColor QtColorOf(const forms::Color& color) {
    if (!color.system) {
        return QColor((color.rgb >> 16) & 0xFF, (color.rgb >> 8) & 0xFF, color.rgb & 0xFF);
    }
    switch (color.systemColor) {
        case forms::SystemColor::ButtonShadow:
            return QApplication::palette().color(QPalette::Dark);
        case forms::SystemColor::WindowText:
            return QApplication::palette().color(QPalette::WindowText);
    }
    return Qt::black;
}

Qt::Alignment QtAlignmentOf(forms::Alignment alignment) {
    switch (alignment) {
        case forms::Alignment::Right:
            return Qt::AlignRight | Qt::AlignTop;
        case forms::Alignment::Center:
            return Qt::AlignHCenter | Qt::AlignTop;
        case forms::Alignment::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

QStringList QtLines(const std::vector<std::string>& lines) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) list << Q(line);
    return list;
}

// Hands the mouse as it reaches a control's widget to the form, and lets the
// widget go on with it (a list still moves its selection).
class MouseForwarder final : public QObject {
  public:
    MouseForwarder(forms::Form& form, std::string control, QWidget* watched)
        : QObject(watched), form_(form), control_(std::move(control)), watched_(watched) {
        // Without tracking a move with no button held never reaches us, and
        // the "no press, no move" rule of dragging would hold only by accident.
        watched->setMouseTracking(true);
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            // The second press of a quick pair comes as a double click; to
            // the windows it is a press like any other.
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                form_.MouseDown(control_, static_cast<float>(mouse->position().x()),
                                static_cast<float>(mouse->position().y()), ButtonOf(*mouse));
                break;
            }
            case QEvent::MouseMove:
                form_.MouseMove(control_);
                break;
            case QEvent::MouseButtonRelease: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                form_.MouseUp(control_, ButtonOf(*mouse),
                              watched_->rect().contains(mouse->position().toPoint())
                                  ? forms::Release::Over
                                  : forms::Release::Outside);
                break;
            }
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    static forms::MouseButton ButtonOf(const QMouseEvent& mouse) {
        return mouse.button() == Qt::LeftButton ? forms::MouseButton::Left
                                                : forms::MouseButton::Other;
    }

    forms::Form& form_;
    std::string control_;
    QWidget* watched_;
};

}  // namespace

QFont QtFontOf(const forms::Font& font) {
    const std::string& face = font.face;
    if (face.empty()) return fonts::DialogFont();
    if (face == "Tahoma") return fonts::Tahoma(font.points);
    if (face == "Arial") return fonts::Arial(font.points);
    if (face == "Webdings") return fonts::Webdings(font.points);
    if (face == "Porky's") return fonts::Porkys(font.points, font.bold);
    if (face == "Palatino Linotype") return fonts::PalatinoLinotype(font.points);
    if (face == "Small Fonts") return fonts::SmallFonts(font.points);
    QFont other(Q(face));
    other.setPointSizeF(font.points);
    other.setBold(font.bold);
    return other;
}

QString DisplayText(const forms::Font& font, const std::string& caption) {
    if (font.face == "Webdings") return fonts::WebdingsText(Q(caption));
    return Q(caption);
}

// --- one window ------------------------------------------------------------------

class QtFrontEnd::FormWindow final : public QWidget {
  public:
    explicit FormWindow(forms::Form& form)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
          form_(form) {
        setObjectName(Q(form.Name()));
        setWindowTitle(Q(form.Caption()));
        // A hidden window must never keep the program alive; only the main
        // window's unload ends it.
        setAttribute(Qt::WA_QuitOnClose, false);
        // Commands and ticks show, restore and raise it while the user types
        // in the chat; the keyboard stays there. Nothing on it takes keys,
        // so it never asks for them: a window manager that restores a
        // minimised window would otherwise hand it the keyboard.
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
        // A form that sets no place of its own (the mini screen) is placed
        // by the window manager, as any new window; moveEvent tells the form.
        if (form.Placed()) move(forms::Pixels(form.LeftTwips()), forms::Pixels(form.TopTwips()));
        ApplySize();
        for (const auto& control : form.Controls()) Make(*control);
    }

    QWidget* Widget(const std::string& name) const {
        if (name == form_.Name()) return const_cast<FormWindow*>(this);
        auto it = widgets_.find(name);
        return it == widgets_.end() ? nullptr : it->second;
    }

    void ApplyForm(unsigned what) {
        if (what & forms::FormChange::Closed) {
            closed_ = true;
            hide();
            return;
        }
        if (what & forms::FormChange::Size) ApplySize();
        if (what & forms::FormChange::Position) {
            move(forms::Pixels(form_.LeftTwips()), forms::Pixels(form_.TopTwips()));
        }
        if (what & forms::FormChange::WindowState) {
            // On a hidden window Qt keeps the state for the next show and
            // shows nothing now.
            setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
                           QtStateOf(form_.ShownState()));
        }
        if (what & forms::FormChange::Visible) {
            if (!form_.Visible()) {
                hide();
            } else {
                // A state set while hidden takes effect now.
                switch (form_.ShownState()) {
                    case forms::WindowState::Minimized:
                        showMinimized();
                        break;
                    case forms::WindowState::Maximized:
                        showMaximized();
                        break;
                    case forms::WindowState::Normal:
                        show();
                        break;
                }
            }
        }
    }

    void Apply(const forms::Control& control, unsigned what) {
        QWidget* widget = Widget(control.name);
        if (!widget) return;
        if (what & forms::Changed::Geometry) widget->setGeometry(PixelRect(control));
        if (what & forms::Changed::Visible) widget->setVisible(control.visible);
        if (what & forms::Changed::Caption) {
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                label->setText(DisplayText(control.font, control.caption));
            }
        }
        if (what & (forms::Changed::Items | forms::Changed::ListIndex)) ShowList(control, widget);
        if (what & forms::Changed::Bar) {
            if (auto* bar = qobject_cast<DogBar*>(widget)) {
                bar->SetBarmax(control.bar.barmax);
                bar->SetBarvalue(control.bar.barvalue);
            }
        }
        if (what & forms::Changed::Surface) {
            if (auto* surface = dynamic_cast<PictureSurface*>(widget)) {
                surface->SetGradient(control.gradient);
                surface->SetLines(control.lines, QtColorOf(control.lineColor));
            }
        }
    }

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (!closed_) form_.Close();
        event->accept();
    }
    void moveEvent(QMoveEvent* event) override {
        form_.FollowMove(event->pos().x(), event->pos().y());
        QWidget::moveEvent(event);
    }
    void changeEvent(QEvent* event) override {
        // The window manager minimised or restored the window (its task
        // bar, a key): the form follows, or its next "min" would change
        // nothing. A hidden window's state is the form's to keep.
        if (event->type() == QEvent::WindowStateChange && isVisible() && !closed_) {
            form_.FollowState(FormStateOf(windowState()));
        }
        QWidget::changeEvent(event);
    }

  private:
    static Qt::WindowStates QtStateOf(forms::WindowState state) {
        switch (state) {
            case forms::WindowState::Minimized:
                return Qt::WindowMinimized;
            case forms::WindowState::Maximized:
                return Qt::WindowMaximized;
            case forms::WindowState::Normal:
                break;
        }
        return Qt::WindowNoState;
    }

    static forms::WindowState FormStateOf(Qt::WindowStates state) {
        if (state & Qt::WindowMinimized) return forms::WindowState::Minimized;
        if (state & Qt::WindowMaximized) return forms::WindowState::Maximized;
        return forms::WindowState::Normal;
    }

    void ApplySize() {
        setFixedSize(std::max(1, forms::Pixels(form_.WidthTwips())),
                     std::max(1, forms::Pixels(form_.HeightTwips())));
    }

    void Make(const forms::Control& control) {
        QWidget* parent = control.container.empty() ? this : Widget(control.container);
        if (!parent) parent = this;
        QWidget* widget = nullptr;
        switch (control.kind) {
            case forms::ControlKind::PictureBox: {
                auto* surface = new PictureSurface(parent);
                surface->SetLines(control.lines, QtColorOf(control.lineColor));
                surface->SetGradient(control.gradient);
                widget = surface;
                break;
            }
            case forms::ControlKind::Label: {
                auto* label = new QLabel(parent);
                // A caption is the characters it holds: a handle or file name
                // that looks like markup must not be drawn as rich text.
                label->setTextFormat(Qt::PlainText);
                label->setFont(QtFontOf(control.font));
                label->setAlignment(QtAlignmentOf(control.alignment));
                QPalette palette = label->palette();
                palette.setColor(QPalette::WindowText, QtColorOf(control.foreColor));
                label->setPalette(palette);
                label->setText(DisplayText(control.font, control.caption));
                widget = label;
                break;
            }
            case forms::ControlKind::ListBox:
            case forms::ControlKind::FileListBox: {
                auto* list = new QListWidget(parent);
                list->setFont(QtFontOf(control.font));
                UseListBoxLook(list);
                widget = list;
                break;
            }
            case forms::ControlKind::ProgressBar: {
                auto* bar = new DogBar(parent);
                bar->SetBarstyle(control.bar.barstyle);
                const auto rgb = [](std::uint32_t c) {
                    return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
                };
                bar->SetBarcolor1(rgb(control.bar.barcolor1));
                bar->SetBackcolor(rgb(control.bar.backcolor));
                bar->SetBarmax(control.bar.barmax);
                bar->SetBarvalue(control.bar.barvalue);
                widget = bar;
                break;
            }
        }
        widget->setObjectName(Q(control.name));
        widget->setGeometry(PixelRect(control));
        if (!control.toolTip.empty()) widget->setToolTip(Q(control.toolTip));
        widgets_[control.name] = widget;
        if (auto* list = qobject_cast<QListWidget*>(widget)) {
            ShowList(control, list);
            if (control.kind == forms::ControlKind::FileListBox) {
                list->setSelectionMode(QAbstractItemView::SingleSelection);
                QObject::connect(list, &QListWidget::currentRowChanged, list,
                                 [this, list](int row) {
                                     if (!updating_)
                                         form_.SelectItem(list->objectName().toStdString(), row);
                                 });
            }
        }
        if (control.clickable || control.dragHandle) {
            auto* list = qobject_cast<QListWidget*>(widget);
            new MouseForwarder(form_, control.name, list ? list->viewport() : widget);
        }
        widget->setVisible(control.visible);
    }

    void ShowList(const forms::Control& control, QWidget* widget) {
        auto* list = qobject_cast<QListWidget*>(widget);
        if (!list) return;
        updating_ = true;
        if (ItemsDiffer(list, control.items)) {
            list->clear();
            list->addItems(QtLines(control.items));
        }
        if (control.listIndex < 0) {
            list->clearSelection();
            list->setCurrentRow(-1);
        } else if (list->currentRow() != control.listIndex) {
            list->setCurrentRow(control.listIndex, QItemSelectionModel::ClearAndSelect);
        }
        updating_ = false;
    }

    static bool ItemsDiffer(const QListWidget* list, const std::vector<std::string>& items) {
        if (list->count() != static_cast<int>(items.size())) return true;
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text() != Q(items[static_cast<std::size_t>(i)])) return true;
        }
        return false;
    }

    forms::Form& form_;
    std::map<std::string, QWidget*> widgets_;
    bool closed_ = false;
    bool updating_ = false;
};

// --- the front end ----------------------------------------------------------------

QtFrontEnd::QtFrontEnd(QtFrontEndOptions options)
    : options_(std::move(options)), separators_(SeparatorsOf(QLocale())) {}

QtFrontEnd::~QtFrontEnd() = default;

QtFrontEnd::FormWindow* QtFrontEnd::WindowOf(const forms::Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

QWidget* QtFrontEnd::Window(const forms::Form& form) const {
    return WindowOf(form);
}

QWidget* QtFrontEnd::Widget(const forms::Form& form, const std::string& control) const {
    FormWindow* window = WindowOf(form);
    return window ? window->Widget(control) : nullptr;
}

void QtFrontEnd::FormCreated(forms::Form& form) {
    auto window = std::make_unique<FormWindow>(form);
    if (form.Name() == "Form1" && options_.runtime) options_.runtime->SetDialogOwner(window.get());
    windows_[&form] = std::move(window);
}

void QtFrontEnd::FormChanged(forms::Form& form, unsigned what) {
    FormWindow* window = WindowOf(form);
    if (!window) return;
    window->ApplyForm(what);
    if ((what & forms::FormChange::Visible) && form.Visible()) {
        // A box of ours may be open (a command can run while it waits): a
        // window shown now must not cover it.
        for (const auto& [other, owner] : windows_) RaiseOwnedWindows(owner.get());
    }
}

void QtFrontEnd::ControlChanged(forms::Form& form, const forms::Control& control, unsigned what) {
    if (FormWindow* window = WindowOf(form)) window->Apply(control, what);
}

forms::Point QtFrontEnd::CursorPos() {
    const QPoint pos = options_.cursorPos ? options_.cursorPos() : QCursor::pos();
    return {pos.x(), pos.y()};
}

void QtFrontEnd::SetTopmost(forms::Form& form) {
    QWidget* window = WindowOf(form);
    if (!stackingWatch_) {
        KeepOnTop(window);
        return;
    }
    // The clock asks once a second. Unless a window has been shown, moved
    // or restacked since the last look, the answer is the same: asking the
    // server would only wake us (and the X connection's thread) for it.
    if (window == keptOnTop_ && stackingWatch_->Generation() == keptAt_) return;
    // Another program that puts its window back on top whenever ours comes
    // above it (a second copy of this one does) would trade places with us
    // as fast as the server allows: take a turn at most this often, and
    // look again once the time is up.
    constexpr auto kTurn = std::chrono::milliseconds(200);
    const auto now = std::chrono::steady_clock::now();
    if (raisedAt_ && now - *raisedAt_ < kTurn) {
        stackingWatch_->CallAgainIn(
            std::chrono::ceil<std::chrono::milliseconds>(*raisedAt_ + kTurn - now));
        return;
    }
    if (KeepOnTop(window)) raisedAt_ = now;
    keptOnTop_ = window;
    keptAt_ = stackingWatch_->Generation();
}

forms::StackingWatch QtFrontEnd::WatchStacking(std::function<void()> changed) {
    // Headless (offscreen, minimal), nothing stacks, but nothing tells
    // either: the clock goes on asking at every tick, as the tests that
    // drive these windows expect, and each ask costs a comparison.
    if (!PlatformStacksWindows()) return forms::StackingWatch::None;
    stackingWatch_.reset();
    keptOnTop_ = nullptr;
    if (!OnX11()) return forms::StackingWatch::None;
    auto watch =
        std::make_unique<X11StackingWatch>([this] { return OwnWindows(); }, std::move(changed));
    if (!watch->Active()) return forms::StackingWatch::None;
    stackingWatch_ = std::move(watch);
    return forms::StackingWatch::Notifies;
}

std::vector<QWidget*> QtFrontEnd::OwnWindows() const {
    std::vector<QWidget*> own;
    for (const auto& [form, window] : windows_) {
        for (QWidget* member : WindowFamily(window.get())) own.push_back(member);
    }
    return own;
}

forms::Rect QtFrontEnd::WorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, 1024, 768};
    const QRect area = screen->availableGeometry();
    return {area.left(), area.top(), area.width(), area.height()};
}

int QtFrontEnd::TextWidth(const forms::Font& font, const std::string& text) {
    return QFontMetrics(QtFontOf(font)).horizontalAdvance(DisplayText(font, text));
}

forms::ClockSeparators QtFrontEnd::Separators() {
    return separators_;
}

}  // namespace ui
