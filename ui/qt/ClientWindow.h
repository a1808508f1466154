#pragma once
// The window onto the simulated chat client that runs in this process: the
// room's transcript shown with the faces and colours its lines carry, the
// member list, an input box where the user types as the signed-on screen
// name, a way to speak as another member, and what the client did for the
// program (addresses gone to, instant messages sent, its message boxes).

#include <QWidget>
#include <functional>

#include "clientsim/SimChatClient.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace ui {

class ClientWindow final : public QWidget {
  public:
    // Becomes the client's observer; every event is passed on to `forward`
    // afterwards (the console front end prints them).
    explicit ClientWindow(clientsim::SimChatClient& client, clientsim::ClientObserver forward = {},
                          QWidget* parent = nullptr);
    ~ClientWindow() override;

    // Runs when the user closes this window.
    void SetOnClose(std::function<void()> onClose) { onClose_ = std::move(onClose); }

    // --- for tests and the screenshots ---
    QTextBrowser* Transcript() const { return transcript_; }
    QListWidget* MemberList() const { return members_; }
    QLineEdit* InputBox() const { return input_; }

    static QString CaptionFor(const std::string& roomName);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    void AppendRoomLine(const clientsim::RoomLine& line);
    void RefreshWindows();
    void SendTyped();
    void SendSaid();
    void BringChosenToFront();

    clientsim::SimChatClient& client_;
    clientsim::ClientObserver forward_;
    std::function<void()> onClose_;

    QTextBrowser* transcript_ = nullptr;
    QListWidget* members_ = nullptr;
    QLineEdit* input_ = nullptr;
    QComboBox* speaker_ = nullptr;
    QLineEdit* speech_ = nullptr;
    QComboBox* childWindows_ = nullptr;
    QListWidget* addresses_ = nullptr;
    QListWidget* instantMessages_ = nullptr;
    QListWidget* messageBoxes_ = nullptr;
};

}  // namespace ui
