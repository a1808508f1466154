// The window onto the simulated client, on Qt's offscreen platform and the
// virtual clock.

#include <gtest/gtest.h>

#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextFragment>

#include "aol/modAolTools.h"
#include "clientsim/SimChatClient.h"
#include "platform/sim/SimWindowSystem.h"
#include "tests/support/TestRuntime.h"
#include "ui/qt/ClientWindow.h"

namespace {

using clientsim::RoomLine;

struct Fragment {
    QString text;
    QTextCharFormat format;
};

std::vector<Fragment> FragmentsOfLastLine(QTextBrowser* transcript) {
    std::vector<Fragment> fragments;
    QTextBlock block = transcript->document()->lastBlock();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        fragments.push_back({it.fragment().text(), it.fragment().charFormat()});
    }
    return fragments;
}

class ClientWindowTest : public testing::Test {
  protected:
    ClientWindowTest() {
        client.SignOn();
        runtime.RunUntilIdle();
    }

    testsupport::TestRuntime runtime;
    platform::sim::SimWindowSystem windows{runtime};
    clientsim::SimChatClient client{windows, runtime};
    std::vector<RoomLine> forwarded;
    std::vector<std::string> forwardedAddresses;
    ui::ClientWindow window{
        client, [this] {
            clientsim::ClientObserver o;
            o.onRoomLine = [this](const RoomLine& l) { forwarded.push_back(l); };
            o.onAddress = [this](const std::string& a) { forwardedAddresses.push_back(a); };
            return o;
        }()};
};

TEST_F(ClientWindowTest, ShowsTheStyledLineWithItsFacesAndColours) {
    client.Say("KarenK",
               "< font . face=Liberation Serif>< font . color=#FF0000>red<b>& "
               "< font . color=#nope>dark ");
    runtime.RunUntilIdle();

    auto fragments = FragmentsOfLastLine(window.Transcript());
    ASSERT_EQ(fragments.size(), 3u);
    EXPECT_EQ(fragments[0].text, "KarenK:\t");
    EXPECT_EQ(fragments[1].text, "red<b>& ");
    EXPECT_EQ(fragments[1].format.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(fragments[1].format.fontFamilies().toStringList(), QStringList{"Liberation Serif"});
    EXPECT_EQ(fragments[2].text, "dark ");
    EXPECT_EQ(fragments[2].format.foreground().color(), QColor(0, 0, 0));
    // The markup-looking text stayed text.
    EXPECT_TRUE(window.Transcript()->toPlainText().contains("red<b>& dark "));
    EXPECT_EQ(forwarded.back(), (RoomLine{"KarenK",
                                          "< font . face=Liberation Serif>< font . "
                                          "color=#FF0000>red<b>& < font . color=#nope>dark "}));
}

TEST_F(ClientWindowTest, TypingInTheInputBoxSpeaksAsTheUser) {
    window.InputBox()->setText("h bob");
    emit window.InputBox()->returnPressed();
    runtime.RunUntilIdle();
    ASSERT_FALSE(client.Transcript().empty());
    EXPECT_EQ(client.Transcript().back(), (RoomLine{"Moonraker", "h bob"}));
    EXPECT_TRUE(window.InputBox()->text().isEmpty());
}

TEST_F(ClientWindowTest, SpeaksAsAnotherMember) {
    auto* speaker = window.findChild<QComboBox*>("speaker");
    auto* speech = window.findChild<QLineEdit*>("speech");
    auto* say = window.findChild<QPushButton*>("say");
    ASSERT_TRUE(speaker && speech && say);
    speaker->setCurrentText("slickrick");
    speech->setText("yo ");
    say->click();
    runtime.RunUntilIdle();
    EXPECT_EQ(client.Transcript().back(), (RoomLine{"slickrick", "yo "}));
}

TEST_F(ClientWindowTest, CaptionAndListsFollowTheClient) {
    EXPECT_EQ(window.windowTitle(), "chat client (simulated) - Town Square");
    QStringList members;
    for (int i = 0; i < window.MemberList()->count(); ++i) {
        members << window.MemberList()->item(i)->text();
    }
    EXPECT_EQ(members, (QStringList{"Moonraker", "KarenK", "slickrick"}));

    modAolTools::GotoKeyword(windows, "aol://2719:2-2-secret");
    runtime.RunUntilIdle();
    EXPECT_EQ(window.windowTitle(), "chat client (simulated) - secret");
    auto* addresses = window.findChild<QListWidget*>("addresses");
    ASSERT_NE(addresses, nullptr);
    ASSERT_EQ(addresses->count(), 1);
    EXPECT_EQ(addresses->item(0)->text(), "aol://2719:2-2-secret");
    EXPECT_EQ(forwardedAddresses, std::vector<std::string>{"aol://2719:2-2-secret"});

    auto* front = window.findChild<QComboBox*>("childWindows");
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(front->itemText(0), "secret");
}

TEST_F(ClientWindowTest, ClosingTheWindowTellsTheProgram) {
    bool closed = false;
    window.SetOnClose([&] { closed = true; });
    window.close();
    EXPECT_TRUE(closed);
}

TEST(ClientWindowLifetime, ClientOutlivingTheWindowReachesOnlyTheForward) {
    testsupport::TestRuntime runtime;
    platform::sim::SimWindowSystem windows{runtime};
    clientsim::SimChatClient client{windows, runtime};
    client.SignOn();
    int forwarded = 0;
    {
        clientsim::ClientObserver o;
        o.onRoomLine = [&](const RoomLine&) { ++forwarded; };
        ui::ClientWindow window(client, o);
    }
    client.Say("KarenK", "still here");
    runtime.RunUntilIdle();
    EXPECT_EQ(forwarded, 1);
}

}  // namespace
