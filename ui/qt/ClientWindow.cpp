#include "ui/qt/ClientWindow.h"

#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/qt/StyledText.h"

namespace ui {
namespace {

// The transcript keeps the latest lines only, so a long session does not
// grow without end.
constexpr int kTranscriptLimit = 2000;

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A titled list of what the client did, in the strip along the bottom.
QListWidget* AddRecordList(QBoxLayout* row, const QString& title, const char* name) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(new QLabel(title));
    auto* list = new QListWidget;
    list->setObjectName(name);
    column->addWidget(list);
    row->addLayout(column, 1);
    return list;
}

}  // namespace

QString ClientWindow::CaptionFor(const std::string& roomName) {
    return QStringLiteral("chat client (simulated) - ") + Utf8(roomName);
}

ClientWindow::ClientWindow(clientsim::SimChatClient& client, clientsim::ClientObserver forward,
                           QWidget* parent)
    : QWidget(parent), client_(client), forward_(std::move(forward)) {
    setObjectName("ClientWindow");
    BuildLayout();
    for (const auto& line : client_.Transcript()) AppendRoomLine(line);
    for (const auto& address : client_.VisitedAddresses()) addresses_->addItem(Utf8(address));
    RefreshWindows();

    clientsim::ClientObserver observer;
    observer.onRoomLine = [this](const clientsim::RoomLine& line) {
        AppendRoomLine(line);
        if (forward_.onRoomLine) forward_.onRoomLine(line);
    };
    observer.onAddress = [this](const std::string& address) {
        addresses_->addItem(Utf8(address));
        addresses_->scrollToBottom();
        if (forward_.onAddress) forward_.onAddress(address);
    };
    observer.onInstantMessage = [this](const clientsim::InstantMessage& im) {
        instantMessages_->addItem(Utf8(im.to) + ": " + Utf8(im.text));
        instantMessages_->scrollToBottom();
        if (forward_.onInstantMessage) forward_.onInstantMessage(im);
    };
    observer.onMessageBox = [this](const std::string& text) {
        messageBoxes_->addItem(Utf8(text));
        messageBoxes_->scrollToBottom();
        if (forward_.onMessageBox) forward_.onMessageBox(text);
    };
    observer.onWindowsChanged = [this] {
        RefreshWindows();
        if (forward_.onWindowsChanged) forward_.onWindowsChanged();
    };
    client_.SetObserver(std::move(observer));
}

ClientWindow::~ClientWindow() {
    // The client may outlive this window; it must not call into it any more.
    client_.SetObserver(std::move(forward_));
}

void ClientWindow::BuildLayout() {
    resize(740, 500);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);

    // The room: transcript and the people in it.
    auto* room = new QHBoxLayout;
    transcript_ = new QTextBrowser;
    transcript_->setObjectName("transcript");
    transcript_->setOpenLinks(false);
    // Keys go to the input box; the transcript takes focus only when clicked.
    transcript_->setFocusPolicy(Qt::ClickFocus);
    transcript_->document()->setMaximumBlockCount(kTranscriptLimit);
    room->addWidget(transcript_, 1);
    members_ = new QListWidget;
    members_->setObjectName("members");
    members_->setFocusPolicy(Qt::NoFocus);
    members_->setFixedWidth(120);
    room->addWidget(members_);
    outer->addLayout(room, 3);

    auto* typeRow = new QHBoxLayout;
    input_ = new QLineEdit;
    input_->setObjectName("input");
    input_->setPlaceholderText(QStringLiteral("type here as ") + Utf8(client_.ScreenName()));
    auto* send = new QPushButton(QStringLiteral("Send"));
    send->setObjectName("send");
    typeRow->addWidget(input_, 1);
    typeRow->addWidget(send);
    outer->addLayout(typeRow);

    auto* sayRow = new QHBoxLayout;
    sayRow->addWidget(new QLabel(QStringLiteral("say as")));
    speaker_ = new QComboBox;
    speaker_->setObjectName("speaker");
    speaker_->setEditable(true);
    speaker_->setFixedWidth(110);
    for (const auto& member : client_.Members()) {
        if (member != client_.ScreenName()) speaker_->addItem(Utf8(member));
    }
    speech_ = new QLineEdit;
    speech_->setObjectName("speech");
    auto* say = new QPushButton(QStringLiteral("Say"));
    say->setObjectName("say");
    sayRow->addWidget(speaker_);
    sayRow->addWidget(speech_, 1);
    sayRow->addWidget(say);
    outer->addLayout(sayRow);

    auto* windowsRow = new QHBoxLayout;
    windowsRow->addWidget(new QLabel(QStringLiteral("client windows, front first")));
    childWindows_ = new QComboBox;
    childWindows_->setObjectName("childWindows");
    auto* front = new QPushButton(QStringLiteral("bring to front"));
    front->setObjectName("front");
    windowsRow->addWidget(childWindows_, 1);
    windowsRow->addWidget(front);
    outer->addLayout(windowsRow);

    // What the client did for the program.
    auto* record = new QHBoxLayout;
    addresses_ = AddRecordList(record, QStringLiteral("addresses visited"), "addresses");
    instantMessages_ = AddRecordList(record, QStringLiteral("instant messages"), "ims");
    messageBoxes_ = AddRecordList(record, QStringLiteral("client message boxes"), "boxes");
    outer->addLayout(record, 1);

    // Typing goes to the room as soon as the window has the keyboard.
    input_->setFocus();

    connect(input_, &QLineEdit::returnPressed, this, [this] { SendTyped(); });
    connect(send, &QPushButton::clicked, this, [this] { SendTyped(); });
    connect(speech_, &QLineEdit::returnPressed, this, [this] { SendSaid(); });
    connect(say, &QPushButton::clicked, this, [this] { SendSaid(); });
    connect(front, &QPushButton::clicked, this, [this] { BringChosenToFront(); });
}

void ClientWindow::AppendRoomLine(const clientsim::RoomLine& line) {
    QScrollBar* bar = transcript_->verticalScrollBar();
    bool atBottom = bar->value() >= bar->maximum() - 4;

    QTextCursor cursor(transcript_->document());
    cursor.movePosition(QTextCursor::End);
    if (!transcript_->document()->isEmpty()) cursor.insertBlock();

    QTextCharFormat senderFormat;
    senderFormat.setFontWeight(QFont::Bold);
    cursor.insertText(Utf8(line.sender) + QStringLiteral(":\t"), senderFormat);

    for (const StyledSpan& span : ParseStyledText(line.text)) {
        QTextCharFormat format;
        if (!span.face.empty()) format.setFontFamilies({Utf8(span.face)});
        if (span.color) format.setForeground(QColor::fromRgb(static_cast<QRgb>(*span.color)));
        cursor.insertText(Utf8(span.text), format);
    }
    if (atBottom) bar->setValue(bar->maximum());
}

void ClientWindow::RefreshWindows() {
    setWindowTitle(CaptionFor(client_.RoomName()));

    members_->clear();
    for (const auto& member : client_.Members()) members_->addItem(Utf8(member));

    QString chosen = childWindows_->currentText();
    childWindows_->clear();
    for (const auto& caption : client_.ChildCaptions()) childWindows_->addItem(Utf8(caption));
    int again = childWindows_->findText(chosen);
    if (again >= 0) childWindows_->setCurrentIndex(again);
}

void ClientWindow::SendTyped() {
    std::string text = input_->text().toStdString();
    input_->clear();
    client_.Type(text);
}

void ClientWindow::SendSaid() {
    std::string name = speaker_->currentText().toStdString();
    if (name.empty()) return;
    std::string text = speech_->text().toStdString();
    speech_->clear();
    client_.Say(name, text);
}

void ClientWindow::BringChosenToFront() {
    std::string caption = childWindows_->currentText().toStdString();
    if (!caption.empty()) client_.BringToFront(caption);
}

void ClientWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onClose_) onClose_();
}

}  // namespace ui
