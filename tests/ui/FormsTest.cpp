// The main window and the mini screen on Qt's offscreen platform, driven by
// the test runtime's virtual clock and the simulated chat client.

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRawFont>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "engine/Host.h"
#include "platform/AnsiText.h"
#include "platform/TestRuntime.h"
#include "platform/sim/SimChatClient.h"
#include "platform/sim/SimWindowSystem.h"
#include "ui/app/QtRuntime.h"
#include "ui/forms/ClickableLabel.h"
#include "ui/forms/Clock.h"
#include "ui/forms/Fonts.h"
#include "ui/forms/Form1.h"
#include "ui/forms/Form5.h"
#include "ui/forms/Gradient.h"
#include "ui/forms/KeepOnTop.h"
#include "ui/media/DogBar.h"

using namespace std::chrono_literals;
using engine::FormTimer;
using platform::Millis;

namespace {

const std::string kTitle = "moonrake ruze \u00B2";

class RecordingPlayer final : public engine::MediaPlayer {
  public:
    void OpenAndPlay(const std::string& path) override { calls.push_back("open " + path); }
    void TogglePause() override { calls.push_back("toggle"); }
    void Stop() override { calls.push_back("stop"); }
    void NextEntry() override { calls.push_back("next"); }
    void SetVolume(std::int32_t v) override { calls.push_back("volume " + std::to_string(v)); }
    void SetBalance(std::int32_t b) override { calls.push_back("balance " + std::to_string(b)); }
    void SetMute(bool m) override { calls.push_back(m ? "mute" : "unmute"); }
    double Length() override { return length; }
    double Position() override { return position; }

    std::vector<std::string> calls;
    double length = 0;
    double position = 0;
};

// The window system as the program sees it, noting each text put into a
// window, so a test can tell when a line was typed relative to other calls.
class NotingWindows final : public platform::WindowApi {
  public:
    NotingWindows(platform::WindowApi& inner, std::vector<std::string>& log)
        : inner_(inner), log_(log) {}
    platform::Hwnd FindWindowA(std::string_view c, std::optional<std::string_view> t) override {
        return inner_.FindWindowA(c, t);
    }
    platform::Hwnd FindWindowExA(platform::Hwnd p, platform::Hwnd a, std::string_view c,
                                 std::optional<std::string_view> t) override {
        return inner_.FindWindowExA(p, a, c, t);
    }
    platform::LResult SendMessageA(platform::Hwnd w, unsigned m, platform::WParam wp,
                                   platform::LParam lp) override {
        if (m == platform::WM_SETTEXT && w != 0) {
            log_.push_back("text " + platform::FromAnsi(reinterpret_cast<const char*>(lp)));
        }
        return inner_.SendMessageA(w, m, wp, lp);
    }
    bool PostMessageA(platform::Hwnd w, unsigned m, platform::WParam wp,
                      platform::LParam lp) override {
        return inner_.PostMessageA(w, m, wp, lp);
    }
    int GetWindowTextLengthA(platform::Hwnd w) override { return inner_.GetWindowTextLengthA(w); }
    int GetWindowTextA(platform::Hwnd w, char* b, int n) override {
        return inner_.GetWindowTextA(w, b, n);
    }
    std::uint64_t AddChangeListener(std::function<void()> f) override {
        return inner_.AddChangeListener(std::move(f));
    }
    void RemoveChangeListener(std::uint64_t id) override { inner_.RemoveChangeListener(id); }

  private:
    platform::WindowApi& inner_;
    std::vector<std::string>& log_;
};

// One run of the program: the runtime, the simulated client signed on in a
// room, and the main window built on them.
struct World {
    explicit World(Millis startOfDay = Millis{12h}) : runtime(startOfDay) { client.SignOn(); }

    // Builds Form1 and runs its load step with `handle` typed at the prompt.
    ui::Form1& Start(const std::string& handle = "bob") {
        runtime.promptAnswers = {handle};
        form = std::make_unique<ui::Form1>(
            services, player,
            ui::Form1Options{[this](const std::string& line) { log.push_back(line); },
                             [this] { return cursor; }});
        form->Load();
        runtime.RunUntilIdle();
        return *form;
    }

    std::vector<std::string> Trace() const {
        std::vector<std::string> trace;
        for (const std::string& line : log) {
            if (line.rfind("text ", 0) != 0) trace.push_back(line);
        }
        return trace;
    }
    std::vector<std::string> RoomTexts() const {
        std::vector<std::string> texts;
        for (const auto& line : client.Transcript()) texts.push_back(line.text);
        return texts;
    }

    platform::TestRuntime runtime;
    platform::sim::SimWindowSystem sim{runtime};
    platform::sim::SimChatClient client{sim, runtime};
    std::vector<std::string> log;  // trace lines and "text ..." window texts, in order
    NotingWindows windows{sim, log};
    platform::Services services{windows, runtime};
    RecordingPlayer player;
    QPoint cursor{0, 0};
    std::unique_ptr<ui::Form1> form;
};

QStringList ToQt(const std::vector<std::string>& lines) {
    QStringList list;
    for (const auto& line : lines) list << QString::fromStdString(line);
    return list;
}

QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

// The grey levels down one column of an image, as runs of equal colour.
std::vector<int> RunsDownColumn(const QImage& image, int x, int fromRow, int toRow) {
    std::vector<int> runs;
    for (int y = fromRow; y < toRow; ++y) {
        const QRgb pixel = image.pixel(x, y);
        if (qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel)) return {};
        if (runs.empty() || runs.back() != qRed(pixel)) runs.push_back(qRed(pixel));
    }
    return runs;
}

std::vector<int> AllBands() {
    std::vector<int> bands;
    for (int grey = 252; grey >= 0; grey -= 4) bands.push_back(grey);
    return bands;
}

std::string LoginLine(const std::string& handle, const char* word = " login ") {
    return "< font . face=tahoma>< font . color=#000000>\u00BB\u00B8 < font . color=#AAAAAA>"
           "moonrake ruze< font . color=#000000>\u00B2 \u203A < font . color=#AAAAAA>artist"
           "< font . color=#000000> (< font . color=#AAAAAA>zerin< font . color=#000000>) "
           "\u203A< font . color=#AAAAAA>" +
           std::string(word) + "< font . color=#000000>(< font . color=#AAAAAA>" + handle +
           "< font . color=#000000>)";
}

// What a widget draws of itself, on a transparent ground.
QImage Drawn(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Counts the mouse moves a widget receives.
class MoveCounter : public QObject {
  public:
    int moves = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) ++moves;
        return false;
    }
};

}  // namespace

class FormsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void layout_data();
    void layout();
    void layoutOfLabelsSizedToText();
    void textsAndToolTips_data();
    void textsAndToolTips();
    void helpLists();
    void fontsResolveToInstalledFaces_data();
    void fontsResolveToInstalledFaces();
    void gradientBands_data();
    void gradientBands();
    void gradientOnBothWindows();
    void dragMovesTheWindow_data();
    void dragMovesTheWindow();
    void moveWithoutPressDoesNotDrag_data();
    void moveWithoutPressDoesNotDrag();
    void viewSwitch_data();
    void viewSwitch();
    void startUpOrder_data();
    void startUpOrder();
    void clock_data();
    void clock();
    void localeSeparators_data();
    void localeSeparators();
    void trigger_data();
    void trigger();
    void roomCommandsReachTheWindows();
    void form5LoadsHiddenOnFirstHide();
    void unloadRunsOnce_data();
    void unloadRunsOnce();
    void windowStateWhileHidden();
    void timersRunOnTheRuntime();
    void fileListFollowsTheEngine();
    void panelButtons();
    void volumeAndBalancePrompts_data();
    void volumeAndBalancePrompts();
    void progressAndCheckTimers();
    void labelsShowTextAsTyped_data();
    void labelsShowTextAsTyped();
    void dialogsAreOwnedByTheMainWindow();
};

// --- layout ---------------------------------------------------------------------

void FormsTest::layout_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("pixels");  // relative to the control's parent
    QTest::newRow("Picture1") << "Picture1" << QRect(0, 0, 489, 145);
    QTest::newRow("Label14") << "Label14" << QRect(0, 0, 281, 33);
    QTest::newRow("List6") << "List6" << QRect(48, 32, 185, 80);
    QTest::newRow("Label4") << "Label4" << QRect(144, 128, 57, 17);
    QTest::newRow("Label8") << "Label8" << QRect(200, 128, 25, 17);
    QTest::newRow("Label6") << "Label6" << QRect(216, 128, 33, 17);
    QTest::newRow("Label2") << "Label2" << QRect(248, 128, 25, 17);
    QTest::newRow("Label9") << "Label9" << QRect(272, 128, 9, 17);
    QTest::newRow("Label7") << "Label7" << QRect(0, 208, 65, 25);
    QTest::newRow("File1") << "File1" << QRect(288, 8, 193, 92);
    QTest::newRow("Label19") << "Label19" << QRect(288, 104, 9, 17);
    QTest::newRow("Label20") << "Label20" << QRect(304, 104, 9, 17);
    QTest::newRow("Label26") << "Label26" << QRect(320, 104, 9, 17);
    QTest::newRow("Label10") << "Label10" << QRect(320, 104, 11, 17);
    QTest::newRow("Label28") << "Label28" << QRect(336, 104, 11, 17);
    QTest::newRow("Label27") << "Label27" << QRect(352, 104, 11, 17);
    QTest::newRow("Label25") << "Label25" << QRect(336, 88, 9, 9);
    QTest::newRow("Label23") << "Label23" << QRect(440, 104, 17, 16);
    QTest::newRow("Label24") << "Label24" << QRect(464, 104, 14, 16);
    QTest::newRow("DogBar1") << "DogBar1" << QRect(288, 120, 193, 9);
    QTest::newRow("Label21") << "Label21" << QRect(288, 128, 191, 16);
}

void FormsTest::layout() {
    QFETCH(QString, control);
    QFETCH(QRect, pixels);
    World world;
    ui::Form1& form = world.Start();
    QWidget* widget = form.Control(control);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);

    // Cut down to 4230 x 2175 twips, frameless and on top.
    QCOMPARE(form.size(), QSize(282, 145));
    QCOMPARE(form.Form1Width(), 4230);
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(form.windowTitle(), QString::fromStdString(kTitle));
}

void FormsTest::layoutOfLabelsSizedToText() {
    World world;
    ui::Form1& form = world.Start();
    // Left-aligned labels grow from their left edge, the date from its right.
    QCOMPARE(form.Label3->pos(), QPoint(8, 112));
    QCOMPARE(form.Label1->pos(), QPoint(8, 128));
    QCOMPARE(form.Label11->pos(), QPoint(0, 160));
    QCOMPARE(form.Label15->pos(), QPoint(376, 104));
    world.runtime.Advance(10ms);
    QCOMPARE(form.Label5->geometry().right() + 1, 251 + 22);
    QCOMPARE(form.Label5->y(), 112);
    QVERIFY(form.Label5->width() >=
            QFontMetrics(form.Label5->font()).horizontalAdvance("01/15/03"));
    QVERIFY(form.Label3->width() >=
            QFontMetrics(form.Label3->font()).horizontalAdvance("12:00:00 pm"));
    // The view labels other than Label9 lie outside the window.
    QVERIFY(!form.rect().intersects(form.Label7->geometry()));
    QVERIFY(!form.rect().intersects(form.Label11->geometry()));
}

void FormsTest::textsAndToolTips_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("Label14") << "Label14"
                             << "moonrake ruze \u00B2"
                             << "name of progs";
    QTest::newRow("Label1") << "Label1"
                            << "moonrake ruze \u00B2 \u203A log'd in  -  ("
                            << "name of c-ruze.(use this label to move the form around the "
                               "screen)";
    QTest::newRow("Label4") << "Label4"
                            << "bob"
                            << "the handle you are loged in under";
    QTest::newRow("Label8") << "Label8"
                            << ") \u203A"
                            << "";
    QTest::newRow("Label6") << "Label6"
                            << "trig - ("
                            << "";
    QTest::newRow("Label2") << "Label2"
                            << ""
                            << "";
    QTest::newRow("Label9") << "Label9"
                            << ")"
                            << "";
    QTest::newRow("Label3") << "Label3"
                            << "time"
                            << "";
    QTest::newRow("Label5") << "Label5"
                            << "date"
                            << "";
    QTest::newRow("Label11") << "Label11"
                             << "39"
                             << "";
    QTest::newRow("Label7") << "Label7"
                            << ""
                            << "";
    QTest::newRow("Label19") << "Label19"
                             << "\u23F5"
                             << "play";
    QTest::newRow("Label20") << "Label20"
                             << "\u23F9"
                             << "stop";
    QTest::newRow("Label26") << "Label26"
                             << "\u23F8"
                             << "pause\\unpause";
    QTest::newRow("Label28") << "Label28"
                             << "\u23EE"
                             << "back a song";
    QTest::newRow("Label27") << "Label27"
                             << "\u23ED"
                             << "next song";
    QTest::newRow("Label25") << "Label25"
                             << ""
                             << "";
    QTest::newRow("Label15") << "Label15"
                             << "mp3s"
                             << "number of mp3s";
    QTest::newRow("Label23") << "Label23"
                             << "vol"
                             << "volume";
    QTest::newRow("Label24") << "Label24"
                             << "bal"
                             << "balance";
    QTest::newRow("Label21") << "Label21"
                             << "nothing"
                             << "song that is playing";
    QTest::newRow("List6") << "List6"
                           << ""
                           << "list of c-ruze";
    QTest::newRow("File1") << "File1"
                           << ""
                           << "list of mp3s";
    QTest::newRow("DogBar1") << "DogBar1"
                             << ""
                             << "song position how much time left";
}

void FormsTest::textsAndToolTips() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    World world;
    ui::Form1& form = world.Start();
    QWidget* widget = form.Control(control);
    QVERIFY(widget);
    if (auto* label = qobject_cast<QLabel*>(widget)) QCOMPARE(label->text(), text);
    QCOMPARE(widget->toolTip(), toolTip);
}

void FormsTest::helpLists() {
    World world;
    ui::Form1& form = world.Start();
    const QString stars(42, '*');
    const QStringList list6 = Items(form.List6);
    QCOMPARE(list6.size(), 53);
    QCOMPARE(list6[0], QString("\t     main ruze"));
    QCOMPARE(list6[1], stars);
    QCOMPARE(list6[23], QString("\t     mp3  ruze"));
    QCOMPARE(list6[25], QString("d * - will set mp3 directory "));
    QCOMPARE(list6[39], QString("                font\\ascii ruze"));
    QCOMPARE(list6[48], QString("                im ruze"));
    QCOMPARE(list6[52], QString("imof - will turn ims off"));
    QCOMPARE(list6.count(stars), 9);

    form.HideForm5();
    const QStringList list1 = Items(form.MiniScreen()->List1());
    QCOMPARE(list1.size(), 63);
    QCOMPARE(list1[0], QString("\t     main ruze"));
    QCOMPARE(list1[8], QString("-con * - will contact zerin"));
    QCOMPARE(list1[33], QString("\t     mp3  ruze"));
    QCOMPARE(list1[35], QString("d * - will set mp3 directory "));
    QCOMPARE(list1[52], QString("                font\\ascii ruze"));
    QCOMPARE(list1[62], QString("-hfas - will hide font ascii stats"));
    QCOMPARE(list1.count(stars), 7);
    QCOMPARE(form.MiniScreen()->List1()->geometry(), QRect(8, 8, 193, 80));
    QCOMPARE(form.MiniScreen()->size(), QSize(209, 97));
}

void FormsTest::fontsResolveToInstalledFaces_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("family");
    QTest::newRow("Porky's") << "Label14"
                             << "URW Gothic";
    QTest::newRow("Tahoma") << "Label4"
                            << "Liberation Sans";
    QTest::newRow("Palatino Linotype") << "Label15"
                                       << "P052";
    QTest::newRow("Small Fonts") << "Label21"
                                 << "Liberation Sans";
    QTest::newRow("Webdings play") << "Label19"
                                   << "Symbola";
    QTest::newRow("Webdings resume") << "Label10"
                                     << "Symbola";
    QTest::newRow("Webdings next") << "Label27"
                                   << "Symbola";
}

void FormsTest::fontsResolveToInstalledFaces() {
    QFETCH(QString, control);
    QFETCH(QString, family);
    World world;
    ui::Form1& form = world.Start();
    auto* label = qobject_cast<QLabel*>(form.Control(control));
    QVERIFY(label);
    // Where a face is installed twice ("P052 [UKWN]"), Qt adds the foundry.
    QVERIFY2(QFontInfo(label->font()).family().startsWith(family),
             qPrintable(QFontInfo(label->font()).family()));
    // The face really draws the caption (no empty boxes).
    const QRawFont raw = QRawFont::fromFont(label->font());
    for (const uint codePoint : label->text().toUcs4()) {
        QVERIFY2(raw.supportsCharacter(codePoint), qPrintable(QString::number(codePoint, 16)));
    }
}

// --- gradient -------------------------------------------------------------------

void FormsTest::gradientBands_data() {
    QTest::addColumn<int>("height");
    for (int height : {64, 97, 145, 200, 1000}) {
        QTest::newRow(qPrintable(QString::number(height))) << height;
    }
}

void FormsTest::gradientBands() {
    QFETCH(int, height);
    ui::PictureSurface surface;
    surface.resize(12, height);
    surface.PaintGradientOn();
    const QImage image = surface.grab().toImage();
    QCOMPARE(image.height(), height);
    QCOMPARE(RunsDownColumn(image, 0, 0, height), AllBands());
    QCOMPARE(RunsDownColumn(image, 11, 0, height), AllBands());
    QCOMPARE(qRed(image.pixel(5, 0)), 252);
    QCOMPARE(qRed(image.pixel(5, height - 1)), 0);
}

void FormsTest::gradientOnBothWindows() {
    World world;
    ui::Form1& form = world.Start();
    const QImage main = form.Picture1->grab().toImage();
    QCOMPARE(qRed(main.pixel(4, 0)), 252);
    QCOMPARE(qRed(main.pixel(4, 144)), 0);
    // Down to the strip's upper line the column shows nothing but bands.
    const std::vector<int> upper = RunsDownColumn(main, 4, 0, 128);
    QVERIFY(upper.size() > 50);
    QVERIFY(std::equal(upper.begin(), upper.end(), AllBands().begin()));

    form.ShowForm5();
    const QImage mini = form.MiniScreen()->Picture1()->grab().toImage();
    QCOMPARE(RunsDownColumn(mini, 2, 0, 97), AllBands());
}

// --- drag-to-move ----------------------------------------------------------------

void FormsTest::dragMovesTheWindow_data() {
    QTest::addColumn<bool>("mini");
    QTest::newRow("Form1 by Label1") << false;
    QTest::newRow("Form5 by List1") << true;
}

void FormsTest::dragMovesTheWindow() {
    QFETCH(bool, mini);
    World world;
    ui::Form1& form = world.Start();
    if (mini) form.ShowForm5();
    QWidget* window = mini ? static_cast<QWidget*>(form.MiniScreen()) : &form;
    QWidget* handle = mini ? form.MiniScreen()->List1()->viewport() : form.Label1;
    const ui::DragToMove& drag = mini ? form.MiniScreen()->Drag() : form.Drag();
    const auto twips = [&] {
        return mini ? QPoint(form.MiniScreen()->LeftTwips(), form.MiniScreen()->TopTwips())
                    : QPoint(form.LeftTwips(), form.TopTwips());
    };

    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(30, 5));
    QCOMPARE(drag.Dragging(), 1);
    world.cursor = QPoint(400, 300);
    QTest::mouseMove(handle, QPoint(31, 6));
    QCOMPARE(twips(), QPoint(400 * 15 - 30, 300 * 15 - 5));  // 5970, 4495
    QCOMPARE(window->pos(), QPoint(398, 300));

    world.cursor = QPoint(10, 20);
    QTest::mouseMove(handle, QPoint(32, 6));
    QCOMPARE(twips(), QPoint(150 - 30, 300 - 5));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(32, 6));
    QCOMPARE(drag.Dragging(), 0);
}

void FormsTest::moveWithoutPressDoesNotDrag_data() {
    dragMovesTheWindow_data();
}

void FormsTest::moveWithoutPressDoesNotDrag() {
    QFETCH(bool, mini);
    World world;
    ui::Form1& form = world.Start();
    if (mini) form.ShowForm5();
    QWidget* window = mini ? static_cast<QWidget*>(form.MiniScreen()) : &form;
    QWidget* handle = mini ? form.MiniScreen()->List1()->viewport() : form.Label1;
    MoveCounter counter;
    handle->installEventFilter(&counter);
    const QPoint start = window->pos();

    world.cursor = QPoint(400, 300);
    QTest::mouseMove(handle, QPoint(10, 5));
    QTest::mouseMove(handle, QPoint(12, 6));
    QVERIFY(counter.moves > 0);  // the move did reach the handle
    QCOMPARE(window->pos(), start);

    // After a release the next move does not drag either.
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(12, 6));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(12, 6));
    const int movesBefore = counter.moves;
    QTest::mouseMove(handle, QPoint(14, 7));
    QVERIFY(counter.moves > movesBefore);
    QCOMPARE(window->pos(), start);
}

// --- views ----------------------------------------------------------------------

void FormsTest::viewSwitch_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("view");
    QTest::addColumn<QStringList>("scanners");
    QTest::newRow("Label7") << "Label7"
                            << "main c-ruze"
                            << QStringList{"NiteScan1.ScanON", "NiteScan2.ScanOFF",
                                           "NiteScan5.ScanOFF"};
    QTest::newRow("Label9") << "Label9"
                            << "mp3 c-ruze"
                            << QStringList{"NiteScan1.ScanOFF", "NiteScan2.ScanON",
                                           "NiteScan5.ScanOFF"};
    QTest::newRow("Label11") << "Label11"
                             << "other c-ruze"
                             << QStringList{"NiteScan1.ScanOFF", "NiteScan2.ScanOFF",
                                            "NiteScan5.ScanON"};
}

void FormsTest::viewSwitch() {
    QFETCH(QString, label);
    QFETCH(QString, view);
    QFETCH(QStringList, scanners);
    World world;
    ui::Form1& form = world.Start();
    const auto click = [&] {
        world.log.clear();
        if (label == "Label9") {
            QTest::mouseClick(form.Label9, Qt::LeftButton);  // the one a mouse can reach
        } else {
            QVERIFY(form.ClickControl(label));
        }
    };

    click();
    QCOMPARE(ToQt(world.Trace()), scanners);
    QCOMPARE(form.Label6->text(), view);
    QVERIFY(form.Label14->isHidden());
    QVERIFY(world.runtime.messageBoxes.empty());

    click();
    QCOMPARE(ToQt(world.Trace()), scanners);
    QCOMPARE(form.Label6->text(), view);
    QCOMPARE(ToQt(world.runtime.messageBoxes),
             QStringList{QString::fromStdString(kTitle) + "|already viewing " + view});
}

// --- start-up ---------------------------------------------------------------------

void FormsTest::startUpOrder_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("bob") << "bob";
    QTest::newRow("cancelled") << "";
}

void FormsTest::startUpOrder() {
    QFETCH(QString, answer);
    World world;
    ui::Form1& form = world.Start(answer.toStdString());
    const std::string login = LoginLine(answer.toStdString());

    QCOMPARE(ToQt(world.runtime.prompts),
             QStringList{QString::fromStdString(kTitle) + "|enter your handle"});
    QCOMPARE(QString::fromStdString(form.State().handle), answer);
    QCOMPARE(form.Label4->text(), answer);
    QVERIFY(form.Label10->isHidden());
    QVERIFY(!form.Label26->isHidden());
    QVERIFY(form.File1Widget->isHidden());
    QVERIFY(!form.File1().Visible());
    QVERIFY(form.isVisible());

    // The login line is typed before any scanner is switched on, then the
    // scanners in their order, then the window shows.
    QCOMPARE(
        ToQt(world.log),
        (QStringList{"Form1.Width 4230", QString::fromStdString("text " + login),
                     "NiteScan5.ScanON", "NiteScan1.ScanON", "NiteScan2.ScanOFF", "Form1.Show"}));
    QCOMPARE(ToQt(world.RoomTexts()), QStringList{QString::fromStdString(login)});

    // The clock starts with the load.
    world.runtime.Advance(10ms);
    QCOMPARE(form.Label3->text(), QString("12:00:00 pm"));
    // A line the user types now reaches the command engine.
    world.client.Type("h carl");
    world.runtime.Advance(1s);
    QCOMPARE(QString::fromStdString(form.State().handle), QString("carl"));
    QCOMPARE(form.Label4->text(), QString("carl"));
}

// --- clock ------------------------------------------------------------------------

void FormsTest::clock_data() {
    QTest::addColumn<int>("secondsSinceMidnight");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale finnish(QLocale::Finnish, QLocale::Finland);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("afternoon") << 15 * 3600 + 7 * 60 + 9 << us << "3:07:09 pm"
                               << "01/15/03";
    QTest::newRow("half past midnight") << 30 * 60 << us << "12:30:00 am"
                                        << "01/15/03";
    QTest::newRow("noon") << 12 * 3600 << us << "12:00:00 pm"
                          << "01/15/03";
    QTest::newRow("morning") << 9 * 3600 + 5 << us << "9:00:05 am"
                             << "01/15/03";
    QTest::newRow("last second") << 24 * 3600 - 1 << us << "11:59:59 pm"
                                 << "01/15/03";
    QTest::newRow("next day") << 24 * 3600 + 60 << us << "12:01:00 am"
                              << "01/16/03";
    QTest::newRow("german separators") << 15 * 3600 + 7 * 60 + 9 << german << "3:07:09 pm"
                                       << "01.15.03";
    QTest::newRow("finnish separators") << 15 * 3600 + 7 * 60 + 9 << finnish << "3.07.09 pm"
                                        << "01.15.03";
}

void FormsTest::clock() {
    QFETCH(int, secondsSinceMidnight);
    QFETCH(QLocale, locale);
    QFETCH(QString, time);
    QFETCH(QString, date);
    const QLocale saved;
    QLocale::setDefault(locale);
    World world(Millis{std::int64_t{secondsSinceMidnight} * 1000});
    ui::Form1& form = world.Start();
    QLocale::setDefault(saved);
    QCOMPARE(form.Label3->text(), QString("time"));
    world.runtime.Advance(10ms);
    QCOMPARE(form.Label3->text(), time);
    QCOMPARE(form.Label5->text(), date);
}

void FormsTest::localeSeparators_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "/"
                           << ":";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "."
                           << ":";
    QTest::newRow("fi_FI") << QLocale(QLocale::Finnish, QLocale::Finland) << "."
                           << ".";
    QTest::newRow("sv_SE") << QLocale(QLocale::Swedish, QLocale::Sweden) << "-"
                           << ":";
}

void FormsTest::localeSeparators() {
    QFETCH(QLocale, locale);
    QFETCH(QString, date);
    QFETCH(QString, time);
    const ui::ClockSeparators separators = ui::SeparatorsOf(locale);
    QCOMPARE(separators.date, date);
    QCOMPARE(separators.time, time);
}

void FormsTest::trigger_data() {
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("after");
    QTest::newRow("one blank is cleared") << " "
                                          << "";
    QTest::newRow("two blanks stay") << "  "
                                     << "  ";
    QTest::newRow("dash shows") << "-"
                                << "-";
    QTest::newRow("empty") << ""
                           << "";
}

void FormsTest::trigger() {
    QFETCH(QString, trigger);
    QFETCH(QString, after);
    World world;
    ui::Form1& form = world.Start();
    world.runtime.Advance(10ms);
    form.State().trigger = trigger.toStdString();
    world.runtime.Advance(10ms);
    QCOMPARE(QString::fromStdString(form.State().trigger), after);
    QCOMPARE(form.Label2->text(), after);
}

// --- windows through the engine ------------------------------------------------------

void FormsTest::roomCommandsReachTheWindows() {
    World world;
    ui::Form1& form = world.Start();
    world.log.clear();
    world.client.Type("minv");
    world.runtime.Advance(1s);
    QCOMPARE(ToQt(world.Trace()), (QStringList{"Form5.Show", "Form1.Hide"}));
    QVERIFY(form.MiniScreen()->isVisible());
    QVERIFY(!form.isVisible());
    // Hidden, the main window keeps listening.
    world.log.clear();
    world.client.Type("fulv");
    world.runtime.Advance(1s);
    QCOMPARE(ToQt(world.Trace()), (QStringList{"Form5.Hide", "Form1.Show"}));
    QVERIFY(form.isVisible());
    QVERIFY(!form.MiniScreen()->isVisible());
    // "dis" shows in Label7, which mirrors ruzeSwitch.
    world.client.Type("dis");
    world.runtime.Advance(1s);
    QCOMPARE(form.Label7->text(), QString("off"));
}

void FormsTest::form5LoadsHiddenOnFirstHide() {
    World world;
    ui::Form1& form = world.Start();
    QVERIFY(!form.MiniScreen());
    form.HideForm5();
    ui::Form5* mini = form.MiniScreen();
    QVERIFY(mini);
    QVERIFY(mini->Loaded());
    QVERIFY(!mini->isVisible());
    QVERIFY(mini->Picture1()->GradientPainted());
    QVERIFY(mini->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(mini->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(mini->windowTitle(), QString("mini screen"));
    form.ShowForm5();
    QCOMPARE(form.MiniScreen(), mini);
    QVERIFY(mini->isVisible());
    const std::vector<std::string> trace = world.Trace();
    QCOMPARE(ToQt({trace.end() - 2, trace.end()}), (QStringList{"Form5.Hide", "Form5.Show"}));
}

void FormsTest::unloadRunsOnce_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("window closed") << "close";
    QTest::newRow("UnloadAndEnd") << "unload";
    QTest::newRow("exit command") << "e";
}

void FormsTest::unloadRunsOnce() {
    QFETCH(QString, how);
    World world;
    ui::Form1& form = world.Start();
    form.ShowForm5();
    form.State().handle = "dave";  // read again at unload
    if (how == "close") form.close();
    if (how == "unload") form.UnloadAndEnd();
    if (how == "e") {
        world.client.Type("e");
        world.runtime.Advance(1s);
    }
    QVERIFY(world.runtime.QuitRequested());
    QVERIFY(!form.isVisible());
    QVERIFY(!form.MiniScreen()->isVisible());
    // Closing again, by any means, sends nothing more.
    form.close();
    form.UnloadAndEnd();
    world.sim.Drain();
    const std::vector<std::string> room = world.RoomTexts();
    QCOMPARE(ToQt(room).last(), QString::fromStdString(LoginLine("dave", " logout ")));
    QCOMPARE(int(std::count_if(room.begin(), room.end(),
                               [](const std::string& l) { return l.find(" logout ") != l.npos; })),
             1);
    const std::vector<std::string> trace = world.Trace();
    QCOMPARE(int(std::count(trace.begin(), trace.end(), "Form1.Unload")), 1);
}

void FormsTest::windowStateWhileHidden() {
    World world;
    ui::Form1& form = world.Start();
    form.HideForm1();
    form.SetForm1WindowState(engine::WindowState::Minimized);
    QVERIFY(!form.isVisible());
    QVERIFY(form.Form1WindowState() == engine::WindowState::Minimized);
    form.ShowForm1();
    QVERIFY(form.isVisible());
    QVERIFY(form.windowState() & Qt::WindowMinimized);
    form.SetForm1WindowState(engine::WindowState::Normal);
    QVERIFY(!(form.windowState() & Qt::WindowMinimized));
    const std::vector<std::string> trace = world.Trace();
    QCOMPARE(ToQt({trace.end() - 4, trace.end()}),
             (QStringList{"Form1.Hide", "Form1.WindowState minimized", "Form1.Show",
                          "Form1.WindowState normal"}));
}

// --- timers and the mp3 panel ---------------------------------------------------------

void FormsTest::timersRunOnTheRuntime() {
    World world;
    ui::Form1& form = world.Start();
    form.SetSongCaption("abcd");
    form.SetTimerEnabled(FormTimer::Timer3, true);
    world.runtime.Advance(60ms);
    QCOMPARE(form.Label21->text(), QString("abcd"));
    // Enabling a running timer does not restart its interval.
    form.SetTimerEnabled(FormTimer::Timer3, true);
    world.runtime.Advance(40ms);
    QCOMPARE(form.Label21->text(), QString("bcda"));
    form.SetTimerEnabled(FormTimer::Timer3, false);
    world.runtime.Advance(1s);
    QCOMPARE(form.Label21->text(), QString("bcda"));
    QVERIFY(!form.TimerEnabled(FormTimer::Timer3));

    // The scroll keeps characters whole.
    form.SetSongCaption("\U0001F3B5x\u00E9");
    form.SetTimerEnabled(FormTimer::Timer3, true);
    world.runtime.Advance(100ms);
    QCOMPARE(form.Label21->text(), QString::fromUtf8("x\u00E9\U0001F3B5"));
    form.SetTimerEnabled(FormTimer::Timer3, false);

    // Timer4 is the idle notice.
    const std::size_t before = world.client.Transcript().size();
    form.SetTimerEnabled(FormTimer::Timer4, true);
    world.runtime.Advance(59s);
    QCOMPARE(world.client.Transcript().size(), before);
    world.runtime.Advance(3s);
    QVERIFY(world.client.Transcript().size() >= before + 2);
    QVERIFY(world.RoomTexts()[before].find("is idle") != std::string::npos);
}

void FormsTest::fileListFollowsTheEngine() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const char* name : {"b.mp3", "a.mp3", "c.MP3", "notes.txt"}) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    World world;
    ui::Form1& form = world.Start();
    engine::FileList& list = form.File1();
    QVERIFY(list.SetPath(folder.path().toStdString()));
    QCOMPARE(list.Count(), 3);
    QCOMPARE(Items(form.File1Widget), (QStringList{"a.mp3", "b.mp3", "c.MP3"}));
    list.SetListIndex(1);
    QCOMPARE(form.File1Widget->currentRow(), 1);
    form.File1Widget->setCurrentRow(2);
    QCOMPARE(QString::fromStdString(list.FileName()), QString("c.MP3"));
    list.SetVisible(true);
    QVERIFY(!form.File1Widget->isHidden());
    QVERIFY(!list.SetPath(folder.filePath("missing").toStdString()));
    QCOMPARE(form.File1Widget->count(), 3);

    form.SetTimerEnabled(FormTimer::Timer5, true);
    world.runtime.Advance(10ms);
    QCOMPARE(form.Label15->text(), QString("mp3s - 3"));
}

void FormsTest::panelButtons() {
    QTemporaryDir folder;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const std::string dir = folder.path().toStdString();
    World world;
    ui::Form1& form = world.Start();
    form.File1().SetPath(dir);
    form.File1().SetListIndex(1);
    form.SetForm1Width(engine::kWideWidth);  // the panel in view
    world.log.clear();

    QVERIFY(form.ClickControl("Label19"));  // play
    QCOMPARE(form.Label21->text(), QString("b.mp3"));
    for (FormTimer timer : {FormTimer::Timer2, FormTimer::Timer3, FormTimer::Timer7}) {
        QVERIFY(form.TimerEnabled(timer));
    }
    QVERIFY(form.ClickControl("Label26"));  // pause
    QVERIFY(form.Label26->isHidden());
    QVERIFY(!form.Label10->isHidden());
    QVERIFY(form.ClickControl("Label10"));  // resume
    QVERIFY(!form.Label26->isHidden());
    QVERIFY(form.Label10->isHidden());
    QVERIFY(form.ClickControl("Label25"));  // hotspot: no glyph change
    QVERIFY(!form.Label26->isHidden());
    QVERIFY(form.ClickControl("Label27"));  // next
    QVERIFY(form.ClickControl("Label28"));  // back: the entry above the selection
    QVERIFY(form.ClickControl("Label8"));   // the strip's stop
    QCOMPARE(form.Label21->text(), QString("b.mp3"));
    QVERIFY(form.TimerEnabled(FormTimer::Timer2));
    form.DogBar1->SetBarvalue(40);
    QVERIFY(form.ClickControl("Label20"));  // stop
    QCOMPARE(int(form.DogBar1->Barvalue()), 0);
    QCOMPARE(form.Label21->text(), QString("nothing"));
    QVERIFY(!form.TimerEnabled(FormTimer::Timer2));
    QVERIFY(!form.TimerEnabled(FormTimer::Timer3));

    QCOMPARE(ToQt(world.Trace()),
             (QStringList{QString::fromStdString("MediaPlayer1.OpenAndPlay " + dir + "/b.mp3"),
                          "MediaPlayer1.TogglePause", "MediaPlayer1.TogglePause",
                          "MediaPlayer1.TogglePause", "MediaPlayer1.NextEntry",
                          QString::fromStdString("MediaPlayer1.OpenAndPlay " + dir + "/a.mp3"),
                          "MediaPlayer1.Stop", "MediaPlayer1.Stop"}));
    QCOMPARE(world.player.calls.size(), std::size_t{8});
    QVERIFY(!form.ClickControl("Label4"));  // not a button
    QVERIFY(!form.ClickControl("NoSuchLabel"));

    // Play with nothing selected asks for the folder itself.
    form.File1().SetListIndex(-1);
    world.log.clear();
    QTest::mouseClick(form.Label19, Qt::LeftButton);
    QCOMPARE(ToQt(world.Trace()),
             QStringList{QString::fromStdString("MediaPlayer1.OpenAndPlay " + dir + "/")});
    QCOMPARE(form.Label21->text(), QString(""));
}

void FormsTest::volumeAndBalancePrompts_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("trace");
    QTest::newRow("volume 50.5") << "Label23"
                                 << "50.5" << QStringList{"MediaPlayer1.Volume -1238"};
    QTest::newRow("volume 0") << "Label23"
                              << "0" << QStringList{"MediaPlayer1.Volume -2500"};
    QTest::newRow("balance 200") << "Label24"
                                 << "200" << QStringList{"MediaPlayer1.Balance 2500"};
    QTest::newRow("balance 100") << "Label24"
                                 << "100" << QStringList{"MediaPlayer1.Balance 0"};
    QTest::newRow("cancelled") << "Label23"
                               << "" << QStringList{};
    QTest::newRow("not a number") << "Label24"
                                  << "loud" << QStringList{};
    QTest::newRow("too large") << "Label23"
                               << "1e12" << QStringList{};
}

void FormsTest::volumeAndBalancePrompts() {
    QFETCH(QString, label);
    QFETCH(QString, answer);
    QFETCH(QStringList, trace);
    World world;
    ui::Form1& form = world.Start();
    world.log.clear();
    world.runtime.prompts.clear();
    world.runtime.promptAnswers = {answer.toStdString()};
    QVERIFY(form.ClickControl(label));
    QCOMPARE(ToQt(world.Trace()), trace);
    const QString prompt = label == "Label23" ? "set volume" : "set balance";
    QCOMPARE(ToQt(world.runtime.prompts),
             QStringList{QString::fromStdString(kTitle) + "|" + prompt});
}

void FormsTest::progressAndCheckTimers() {
    World world;
    ui::Form1& form = world.Start();
    world.player.length = 183.5;
    world.player.position = 60.5;
    form.SetTimerEnabled(FormTimer::Timer2, true);
    world.runtime.Advance(10ms);
    QCOMPARE(int(form.DogBar1->Barmax()), 184);  // halves to even
    QCOMPARE(int(form.DogBar1->Barvalue()), 60);
    world.player.position = 1e6;  // past 16 bits: held full, not wrapped
    world.runtime.Advance(10ms);
    QCOMPARE(int(form.DogBar1->Barvalue()), 32767);

    // A song with a length keeps its caption through the check.
    QVERIFY(form.ClickControl("Label19"));
    QVERIFY(form.TimerEnabled(FormTimer::Timer7));
    world.runtime.Advance(20010ms);
    QVERIFY(form.Label21->text() != QString("nothing"));
    QVERIFY(!form.TimerEnabled(FormTimer::Timer7));

    // Nothing with a length: the caption says "nothing" at 20 s, not before.
    world.player.length = 0;
    QVERIFY(form.ClickControl("Label19"));
    world.runtime.Advance(19990ms);
    QVERIFY(form.Label21->text() != QString("nothing"));
    world.runtime.Advance(20ms);
    QCOMPARE(form.Label21->text(), QString("nothing"));
    QVERIFY(!form.TimerEnabled(FormTimer::Timer7));
}

// --- text as text ------------------------------------------------------------------

void FormsTest::labelsShowTextAsTyped_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("underline") << "<u>dave</u>";
    QTest::newRow("bold and ampersand") << "<b>x</b> & y";
    QTest::newRow("entity") << "a &amp; b &lt;";
    QTest::newRow("image tag") << "<img src=nothing.png>";
    QTest::newRow("html document") << "<html><body><h1>big</h1></body></html>";
    QTest::newRow("lone brackets") << "<<>>";
}

void FormsTest::labelsShowTextAsTyped() {
    QFETCH(QString, text);
    World world;
    ui::Form1& form = world.Start();
    form.resize(form.width(), form.height());
    // Each label that shows a text the user (or a file name) chose.
    world.client.Type("h " + text.toStdString());
    world.runtime.Advance(1s);
    form.State().trigger = text.toStdString();
    form.SetSongCaption(text.toStdString());
    world.runtime.Advance(10ms);
    QCOMPARE(form.Label4->text(), text);
    QCOMPARE(form.Label2->text(), text);
    QCOMPARE(form.Label21->text(), text);

    for (QLabel* label : form.findChildren<QLabel*>()) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
    // What is drawn is the characters, not what they would mark up: the
    // label draws exactly as a label that holds the same text as plain text.
    for (QLabel* label : {form.Label4, form.Label2, form.Label21}) {
        label->resize(400, label->height());
        const QImage shown = Drawn(label);
        QLabel reference;
        reference.setTextFormat(Qt::PlainText);
        reference.setFont(label->font());
        reference.setPalette(label->palette());
        reference.setAlignment(label->alignment());
        reference.setText(label->text());
        reference.resize(label->size());
        QCOMPARE(Drawn(&reference), shown);
        // The same text as rich text would not draw the same (or the
        // comparison above proves nothing).
        reference.setTextFormat(Qt::RichText);
        reference.setText(label->text());
        if (Drawn(&reference) == shown) {
            QFAIL(qPrintable("rich and plain text draw alike for " + text));
        }
    }
}

// --- dialogs -----------------------------------------------------------------------

// On a real runtime, every prompt and box opens as a dialog of the main
// window: owned by it, modal, on top, with the keyboard focus, and raised
// again right after the main window whenever the clock keeps it on top.
void FormsTest::dialogsAreOwnedByTheMainWindow() {
    ui::QtRuntime runtime;
    platform::sim::SimWindowSystem sim{runtime};
    platform::sim::SimChatClient client{sim, runtime};
    client.SignOn();
    platform::Services services{sim, runtime};
    RecordingPlayer player;
    ui::Form1 form(services, player);
    runtime.SetDialogOwner(&form);

    struct Seen {
        QString kind, text, title;
        QWidget* parent = nullptr;
        bool modal = false, dialogFlag = false, onTop = false, focused = false,
             transientForForm = false, plain = false;
    };
    std::vector<Seen> seen;
    QStringList answers{"bob", "100"};
    // Looks at the open dialog once it has been shown and had its first
    // turn, then answers it.
    std::function<void()> inspect = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            QTimer::singleShot(5, inspect);
            return;
        }
        QCoreApplication::processEvents();
        Seen s;
        s.parent = modal->parentWidget();
        s.modal = modal->isModal();
        s.dialogFlag = (modal->windowFlags() & Qt::Dialog) == Qt::Dialog;
        s.onTop = modal->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        s.title = modal->windowTitle();
        s.transientForForm = modal->windowHandle() && form.windowHandle() &&
                             modal->windowHandle()->transientParent() == form.windowHandle();
        QWidget* focus = QApplication::focusWidget();
        s.focused = focus && focus->window() == modal;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            s.kind = "box";
            s.text = box->text();
            s.plain = box->textFormat() == Qt::PlainText;
            // Keeping the main window on top must not hide its box.
            ui::KeepOnTop(&form);
            box->accept();
        } else if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
            s.kind = "prompt";
            s.text = prompt->labelText();
            s.plain = true;
            prompt->setTextValue(answers.takeFirst());
            prompt->accept();
        }
        seen.push_back(s);
    };

    QTimer::singleShot(0, inspect);
    form.Load();
    QTimer::singleShot(0, inspect);
    QTest::mouseClick(form.Label9, Qt::LeftButton);
    QTest::mouseClick(form.Label9, Qt::LeftButton);  // already viewing: the box
    QTimer::singleShot(0, inspect);
    QVERIFY(form.ClickControl("Label23"));  // the volume prompt
    QTimer::singleShot(0, inspect);
    form.MessageBox("ruze already disabled");

    QCOMPARE(seen.size(), std::size_t{4});
    const QStringList texts{"enter your handle", "already viewing mp3 c-ruze", "set volume",
                            "ruze already disabled"};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const Seen& s = seen[i];
        QCOMPARE(s.text, texts[static_cast<int>(i)]);
        QCOMPARE(s.title, QString::fromStdString(kTitle));
        QCOMPARE(s.parent, static_cast<QWidget*>(&form));
        QVERIFY(s.modal);
        QVERIFY(s.dialogFlag);
        QVERIFY(s.onTop);
        QVERIFY(s.plain);
        QVERIFY2(s.transientForForm, qPrintable(s.text));
        QVERIFY2(s.focused, qPrintable(s.text));
    }
    QCOMPARE(QString::fromStdString(form.State().handle), QString("bob"));
    QCOMPARE(player.calls, (std::vector<std::string>{"volume 0"}));
}

QTEST_MAIN(FormsTest)
#include "FormsTest.moc"
