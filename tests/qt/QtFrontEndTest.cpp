// The Qt front end on Qt's offscreen platform: the forms' controls as
// widgets (their places, texts, fonts and pixels), what the mouse does
// reaching the forms, and the dialogs. The windows' behaviour itself is
// tested without a toolkit (tests/forms).

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
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "clientsim/SimChatClient.h"
#include "engine/Host.h"
#include "forms/Form1.h"
#include "forms/Form5.h"
#include "platform/sim/SimWindowSystem.h"
#include "tests/support/RecordingPlayer.h"
#include "tests/support/TestRuntime.h"
#include "ui/qt/DogBar.h"
#include "ui/qt/Gradient.h"
#include "ui/qt/KeepOnTop.h"
#include "ui/qt/LocaleSeparators.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/QtFrontEnd.h"
#include "ui/qt/QtRuntime.h"

using namespace std::chrono_literals;
using platform::Millis;

namespace {

const std::string kTitle = "moonrake ruze \u00B2";

using testsupport::RecordingPlayer;

// One run of the program drawn by the Qt front end, on the virtual clock.
struct World {
    World() { client.SignOn(); }

    forms::Form1& Start(const std::string& handle = "bob") {
        runtime.promptAnswers = {handle};
        form = std::make_unique<forms::Form1>(
            services, player, frontEnd,
            forms::Form1Options{[this](const std::string& line) { log.push_back(line); }});
        form->Load();
        runtime.RunUntilIdle();
        return *form;
    }
    QWidget* Window() const { return frontEnd.Window(*form); }
    QWidget* Widget(const QString& name) const {
        return frontEnd.Widget(*form, name.toStdString());
    }
    QLabel* Label(const QString& name) const { return qobject_cast<QLabel*>(Widget(name)); }
    QWidget* MiniWindow() const { return frontEnd.Window(*form->MiniScreen()); }
    QWidget* MiniWidget(const char* name) const {
        return frontEnd.Widget(*form->MiniScreen(), name);
    }

    testsupport::TestRuntime runtime;
    platform::sim::SimWindowSystem sim{runtime};
    clientsim::SimChatClient client{sim, runtime};
    platform::Services services{sim, runtime, runtime.random()};
    RecordingPlayer player;
    QPoint cursor{0, 0};
    ui::QtFrontEnd frontEnd{{[this] { return cursor; }, nullptr}};
    std::vector<std::string> log;
    std::unique_ptr<forms::Form1> form;
};

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

class QtFrontEndTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void layout_data();
    void layout();
    void windows();
    void restoredByTheWindowManager();
    void programIcon();
    void labelsSizedToTheirText();
    void captionsAndToolTips_data();
    void captionsAndToolTips();
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
    void aMouseClickReachesTheForm();
    void changesReachTheWidgets();
    void fileListSelectionReachesTheForm();
    void closingTheWindowUnloads();
    void localeSeparators_data();
    void localeSeparators();
    void labelsShowTextAsTyped_data();
    void labelsShowTextAsTyped();
    void dialogsAreOwnedByTheMainWindow();
    void showingTheWindowsLeavesTheKeyboardWhereItWas();
};

// --- layout ---------------------------------------------------------------------

void QtFrontEndTest::layout_data() {
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

void QtFrontEndTest::layout() {
    QFETCH(QString, control);
    QFETCH(QRect, pixels);
    World world;
    world.Start();
    QWidget* widget = world.Widget(control);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);
    // Labels and the bar stand on the surface, the file list on the window.
    QCOMPARE(
        widget->parentWidget()->objectName(),
        QString(control == "Picture1" || control == "File1" || control == "Label7" ? "Form1"
                                                                                   : "Picture1"));
}

void QtFrontEndTest::windows() {
    World world;
    forms::Form1& form = world.Start();
    QWidget* window = world.Window();
    // Cut down to 4230 x 2175 twips, frameless and on top, shown.
    QCOMPARE(window->size(), QSize(282, 145));
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(window->windowTitle(), QString::fromStdString(kTitle));
    QVERIFY(window->isVisible());
    QCOMPARE(window->pos(),
             QPoint(forms::Pixels(form.LeftTwips()), forms::Pixels(form.TopTwips())));

    // The mp3 command's width, and back.
    form.SetForm1Width(engine::kWideWidth);
    QCOMPARE(window->width(), 490);
    form.SetForm1Width(engine::kNarrowWidth);
    QCOMPARE(window->width(), 282);

    form.HideForm5();
    QWidget* mini = world.MiniWindow();
    QVERIFY(mini);
    QVERIFY(!mini->isVisible());
    QVERIFY(mini->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(mini->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(mini->windowTitle(), QString("mini screen"));
    QCOMPARE(mini->size(), QSize(209, 97));
    form.ShowForm5();
    QVERIFY(mini->isVisible());

    // A state set while hidden takes effect at the show.
    form.HideForm1();
    QVERIFY(!window->isVisible());
    form.SetForm1WindowState(engine::WindowState::Minimized);
    form.ShowForm1();
    QVERIFY(window->isVisible());
    QVERIFY(window->windowState() & Qt::WindowMinimized);
    form.SetForm1WindowState(engine::WindowState::Normal);
    QVERIFY(!(window->windowState() & Qt::WindowMinimized));

    // The main window starts where the form puts it; the mini screen, which
    // sets no place, where the window manager puts a new window.
    QVERIFY(window->testAttribute(Qt::WA_Moved));
    QVERIFY(!mini->testAttribute(Qt::WA_Moved));
}

void QtFrontEndTest::programIcon() {
    const QIcon icon = ui::ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 32, 48}) QVERIFY2(sizes.contains(QSize(size, size)), "a size is missing");
    // Drawn, not blank: the crescent is lighter than the ground around it.
    const QImage image = icon.pixmap(48, 48).toImage();
    QVERIFY(qGray(image.pixel(16, 24)) > qGray(image.pixel(40, 40)));
}

void QtFrontEndTest::restoredByTheWindowManager() {
    World world;
    forms::Form1& form = world.Start();
    QWidget* window = world.Window();
    form.SetForm1WindowState(engine::WindowState::Minimized);
    QVERIFY(window->windowState() & Qt::WindowMinimized);
    // The task bar restores it: the next "min" must minimise it again.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    QCOMPARE(form.Form1WindowState(), engine::WindowState::Normal);
    form.SetForm1WindowState(engine::WindowState::Minimized);
    QVERIFY(window->windowState() & Qt::WindowMinimized);
    // Minimised by the window manager, "res" restores it.
    window->setWindowState(Qt::WindowNoState);
    window->setWindowState(Qt::WindowMinimized);
    form.SetForm1WindowState(engine::WindowState::Normal);
    QVERIFY(!(window->windowState() & Qt::WindowMinimized));
}

void QtFrontEndTest::labelsSizedToTheirText() {
    World world;
    world.Start();
    // Left-aligned labels grow from their left edge, the date from its right.
    QCOMPARE(world.Label("Label3")->pos(), QPoint(8, 112));
    QCOMPARE(world.Label("Label1")->pos(), QPoint(8, 128));
    QCOMPARE(world.Widget("Label11")->pos(), QPoint(0, 160));
    world.runtime.Advance(10ms);
    QLabel* date = world.Label("Label5");
    QCOMPARE(date->geometry().right() + 1, 251 + 22);
    QCOMPARE(date->y(), 112);
    QCOMPARE(date->width(), QFontMetrics(date->font()).horizontalAdvance("01/15/03") + 1);
    QLabel* time = world.Label("Label3");
    QCOMPARE(time->width(), QFontMetrics(time->font()).horizontalAdvance("12:00:00 pm") + 1);
    QLabel* strip = world.Label("Label1");
    QCOMPARE(strip->width(), QFontMetrics(strip->font()).horizontalAdvance(strip->text()) + 1);
    QCOMPARE(world.Label("Label15")->pos(), QPoint(376, 104));
}

void QtFrontEndTest::captionsAndToolTips_data() {
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
    // Webdings captions are drawn as the symbols they stand for.
    QTest::newRow("Label19") << "Label19"
                             << "\u23F5"
                             << "play";
    QTest::newRow("Label20") << "Label20"
                             << "\u23F9"
                             << "stop";
    QTest::newRow("Label26") << "Label26"
                             << "\u23F8"
                             << "pause\\unpause";
    QTest::newRow("Label10") << "Label10" << QString::fromUcs4(U"\U0001F5D8") << "";
    QTest::newRow("Label28") << "Label28"
                             << "\u23EE"
                             << "back a song";
    QTest::newRow("Label27") << "Label27"
                             << "\u23ED"
                             << "next song";
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

void QtFrontEndTest::captionsAndToolTips() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    World world;
    world.Start();
    QWidget* widget = world.Widget(control);
    QVERIFY(widget);
    if (auto* label = qobject_cast<QLabel*>(widget)) QCOMPARE(label->text(), text);
    QCOMPARE(widget->toolTip(), toolTip);
}

void QtFrontEndTest::helpLists() {
    World world;
    forms::Form1& form = world.Start();
    const QStringList list6 = Items(qobject_cast<QListWidget*>(world.Widget("List6")));
    QCOMPARE(list6.size(), 53);
    QCOMPARE(list6[0], QString("\t     main ruze"));
    QCOMPARE(list6[52], QString("imof - will turn ims off"));
    form.HideForm5();
    auto* list1 = qobject_cast<QListWidget*>(world.MiniWidget("List1"));
    QVERIFY(list1);
    QCOMPARE(Items(list1).size(), 63);
    QCOMPARE(list1->geometry(), QRect(8, 8, 193, 80));
}

void QtFrontEndTest::fontsResolveToInstalledFaces_data() {
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

void QtFrontEndTest::fontsResolveToInstalledFaces() {
    QFETCH(QString, control);
    QFETCH(QString, family);
    World world;
    world.Start();
    QLabel* label = world.Label(control);
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

void QtFrontEndTest::gradientBands_data() {
    QTest::addColumn<int>("height");
    for (int height : {64, 97, 145, 200, 1000}) {
        QTest::newRow(qPrintable(QString::number(height))) << height;
    }
}

void QtFrontEndTest::gradientBands() {
    QFETCH(int, height);
    ui::PictureSurface surface;
    surface.resize(12, height);
    surface.SetGradient(true);
    const QImage image = surface.grab().toImage();
    QCOMPARE(image.height(), height);
    QCOMPARE(RunsDownColumn(image, 0, 0, height), AllBands());
    QCOMPARE(RunsDownColumn(image, 11, 0, height), AllBands());
    QCOMPARE(qRed(image.pixel(5, 0)), 252);
    QCOMPARE(qRed(image.pixel(5, height - 1)), 0);
}

void QtFrontEndTest::gradientOnBothWindows() {
    World world;
    forms::Form1& form = world.Start();
    const QImage main = world.Widget("Picture1")->grab().toImage();
    QCOMPARE(qRed(main.pixel(4, 0)), 252);
    QCOMPARE(qRed(main.pixel(4, 144)), 0);
    // Down to the strip's upper line the column shows nothing but bands.
    const std::vector<int> upper = RunsDownColumn(main, 4, 0, 128);
    QVERIFY(upper.size() > 50);
    QVERIFY(std::equal(upper.begin(), upper.end(), AllBands().begin()));

    form.ShowForm5();
    const QImage mini = world.MiniWidget("Picture1")->grab().toImage();
    QCOMPARE(RunsDownColumn(mini, 2, 0, 97), AllBands());
}

// --- the mouse --------------------------------------------------------------------

void QtFrontEndTest::dragMovesTheWindow_data() {
    QTest::addColumn<bool>("mini");
    QTest::newRow("Form1 by Label1") << false;
    QTest::newRow("Form5 by List1") << true;
}

void QtFrontEndTest::dragMovesTheWindow() {
    QFETCH(bool, mini);
    World world;
    forms::Form1& form = world.Start();
    if (mini) form.ShowForm5();
    forms::Form& model = mini ? static_cast<forms::Form&>(*form.MiniScreen()) : form;
    QWidget* window = mini ? world.MiniWindow() : world.Window();
    QWidget* handle = mini ? qobject_cast<QListWidget*>(world.MiniWidget("List1"))->viewport()
                           : world.Widget("Label1");

    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(30, 5));
    QCOMPARE(int(model.Dragging()), 1);
    world.cursor = QPoint(400, 300);
    QTest::mouseMove(handle, QPoint(31, 6));
    QCOMPARE(QPoint(model.LeftTwips(), model.TopTwips()), QPoint(5970, 4495));
    QCOMPARE(window->pos(), QPoint(398, 300));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(31, 6));
    QCOMPARE(int(model.Dragging()), 0);
}

void QtFrontEndTest::moveWithoutPressDoesNotDrag_data() {
    dragMovesTheWindow_data();
}

void QtFrontEndTest::moveWithoutPressDoesNotDrag() {
    QFETCH(bool, mini);
    World world;
    forms::Form1& form = world.Start();
    if (mini) form.ShowForm5();
    QWidget* window = mini ? world.MiniWindow() : world.Window();
    QWidget* handle = mini ? qobject_cast<QListWidget*>(world.MiniWidget("List1"))->viewport()
                           : world.Widget("Label1");
    MoveCounter counter;
    handle->installEventFilter(&counter);
    const QPoint start = window->pos();

    world.cursor = QPoint(400, 300);
    QTest::mouseMove(handle, QPoint(10, 5));
    QTest::mouseMove(handle, QPoint(12, 6));
    QVERIFY(counter.moves > 0);  // the move did reach the handle
    QCOMPARE(window->pos(), start);
}

void QtFrontEndTest::aMouseClickReachesTheForm() {
    World world;
    forms::Form1& form = world.Start();
    world.log.clear();
    QTest::mouseClick(world.Widget("Label9"), Qt::LeftButton);  // the view a mouse can reach
    QCOMPARE(QString::fromStdString(form.CaptionOf("Label6")), QString("mp3 c-ruze"));
    QCOMPARE(world.Label("Label6")->text(), QString("mp3 c-ruze"));
    QVERIFY(world.Label("Label14")->isHidden());
    // A right click is no click.
    QTest::mouseClick(world.Widget("Label9"), Qt::RightButton);
    QVERIFY(world.runtime.messageBoxes.empty());
    QTest::mouseClick(world.Widget("Label9"), Qt::LeftButton);
    QCOMPARE(world.runtime.messageBoxes.size(), std::size_t{1});
    // Two quick clicks are two clicks, although the second press comes as a
    // double click.
    QWidget* label9 = world.Widget("Label9");
    const QPointF at(2, 2);
    const auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent event(type, at, label9->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(label9, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    QCOMPARE(world.runtime.messageBoxes.size(), std::size_t{3});
    // The glyph buttons.
    QTest::mouseClick(world.Widget("Label26"), Qt::LeftButton);
    QVERIFY(world.Widget("Label26")->isHidden());
    QVERIFY(!world.Widget("Label10")->isHidden());
    QCOMPARE(world.player.calls, std::vector<std::string>{"toggle"});
}

void QtFrontEndTest::changesReachTheWidgets() {
    World world;
    forms::Form1& form = world.Start();
    world.client.Type("h carl");
    world.runtime.Advance(1s);
    QCOMPARE(world.Label("Label4")->text(), QString("carl"));
    form.State().trigger = "!";
    world.runtime.Advance(10ms);
    QCOMPARE(world.Label("Label2")->text(), QString("!"));
    form.SetSongCaption("tone.mp3");
    QCOMPARE(world.Label("Label21")->text(), QString("tone.mp3"));
    auto* bar = qobject_cast<ui::DogBar*>(world.Widget("DogBar1"));
    QVERIFY(bar);
    world.player.length = 10;
    world.player.position = 5;
    form.SetTimerEnabled(engine::FormTimer::Timer2, true);
    world.runtime.Advance(10ms);
    QCOMPARE(bar->Barmax(), 10);
    QCOMPARE(int(bar->Barvalue()), 5);
    QCOMPARE(bar->FillWidth(), 96);  // 96.5, halves to even
    form.File1().SetVisible(true);
    QVERIFY(!world.Widget("File1")->isHidden());
}

void QtFrontEndTest::fileListSelectionReachesTheForm() {
    QTemporaryDir folder;
    for (const char* name : {"a.mp3", "b.mp3"}) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    World world;
    forms::Form1& form = world.Start();
    QVERIFY(form.File1().SetPath(folder.path().toStdString()));
    auto* list = qobject_cast<QListWidget*>(world.Widget("File1"));
    QCOMPARE(Items(list), (QStringList{"a.mp3", "b.mp3"}));
    form.File1().SetListIndex(1);
    QCOMPARE(list->currentRow(), 1);
    list->setCurrentRow(0);  // the user picks the first
    QCOMPARE(form.File1().ListIndex(), 0);
    QCOMPARE(QString::fromStdString(form.File1().FileName()), QString("a.mp3"));
}

void QtFrontEndTest::closingTheWindowUnloads() {
    World world;
    forms::Form1& form = world.Start();
    world.Window()->close();
    QVERIFY(form.Unloaded());
    QVERIFY(world.runtime.QuitRequested());
    QVERIFY(!world.Window()->isVisible());
}

void QtFrontEndTest::localeSeparators_data() {
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

void QtFrontEndTest::localeSeparators() {
    QFETCH(QLocale, locale);
    QFETCH(QString, date);
    QFETCH(QString, time);
    const forms::ClockSeparators separators = ui::SeparatorsOf(locale);
    QCOMPARE(QString::fromStdString(separators.date), date);
    QCOMPARE(QString::fromStdString(separators.time), time);
    // The front end reads the locale once, and the clock writes with it.
    const QLocale saved;
    QLocale::setDefault(locale);
    World world;
    world.Start();
    QLocale::setDefault(saved);
    world.runtime.Advance(10ms);
    QCOMPARE(world.Label("Label5")->text(), "01" + date + "15" + date + "03");
}

// --- text as text ------------------------------------------------------------------

void QtFrontEndTest::labelsShowTextAsTyped_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("underline") << "<u>dave</u>";
    QTest::newRow("bold and ampersand") << "<b>x</b> & y";
    QTest::newRow("entity") << "a &amp; b &lt;";
    QTest::newRow("image tag") << "<img src=nothing.png>";
    QTest::newRow("html document") << "<html><body><h1>big</h1></body></html>";
    QTest::newRow("lone brackets") << "<<>>";
}

void QtFrontEndTest::labelsShowTextAsTyped() {
    QFETCH(QString, text);
    World world;
    forms::Form1& form = world.Start();
    // Each label that shows a text the user (or a file name) chose.
    world.client.Type("h " + text.toStdString());
    world.runtime.Advance(1s);
    form.State().trigger = text.toStdString();
    form.SetSongCaption(text.toStdString());
    world.runtime.Advance(10ms);
    QCOMPARE(world.Label("Label4")->text(), text);
    QCOMPARE(world.Label("Label2")->text(), text);
    QCOMPARE(world.Label("Label21")->text(), text);

    for (QLabel* label : world.Window()->findChildren<QLabel*>()) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
    // What is drawn is the characters, not what they would mark up: the
    // label draws exactly as a label that holds the same text as plain text.
    for (QLabel* label : {world.Label("Label4"), world.Label("Label2"), world.Label("Label21")}) {
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
void QtFrontEndTest::dialogsAreOwnedByTheMainWindow() {
    ui::QtRuntime runtime;
    platform::sim::SimWindowSystem sim{runtime};
    clientsim::SimChatClient client{sim, runtime};
    client.SignOn();
    platform::Random random{runtime};
    platform::Services services{sim, runtime, random};
    RecordingPlayer player;
    ui::QtFrontEnd frontEnd({{}, &runtime});
    forms::Form1 model(services, player, frontEnd);
    QWidget& form = *frontEnd.Window(model);

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
    model.Load();
    QWidget* label9 = frontEnd.Widget(model, "Label9");
    QTimer::singleShot(0, inspect);
    QTest::mouseClick(label9, Qt::LeftButton);
    QTest::mouseClick(label9, Qt::LeftButton);  // already viewing: the box
    QTimer::singleShot(0, inspect);
    QVERIFY(model.Click("Label23"));  // the volume prompt
    QTimer::singleShot(0, inspect);
    model.MessageBox("ruze already disabled");

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
    QCOMPARE(QString::fromStdString(model.State().handle), QString("bob"));
    QCOMPARE(player.calls, (std::vector<std::string>{"volume 0"}));
}

QTEST_MAIN(QtFrontEndTest)
#include "QtFrontEndTest.moc"

// minv, fulv, min and res show, swap and restore the windows while the user
// types in the chat: the window that has the keyboard keeps it.
// The offscreen platform activates every window it shows, whatever it is
// asked; scripts/test-desktop runs this on a real display.
void QtFrontEndTest::showingTheWindowsLeavesTheKeyboardWhereItWas() {
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QSKIP("the offscreen platform activates every window it shows");
    }
    World world;
    world.Start();
    QWidget chat;
    chat.setWindowTitle("chat");
    chat.show();
    chat.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &chat);
    for (const char* command : {"minv", "fulv", "min", "res", "minv", "fulv"}) {
        world.client.Type(command);
        world.runtime.Advance(1s);
        QCoreApplication::processEvents();
        QWidget* active = QApplication::activeWindow();
        const std::string which = active ? active->objectName().toStdString() : "none";
        QVERIFY2(active == &chat, (std::string(command) + " left " + which + " active").c_str());
    }
    QVERIFY(world.Window()->isVisible());
}
