// The check of the client against the whole client, against one with a
// piece left out, and with none running. The same sources run against the
// simulated client here and the stand-in behind user32 on Windows.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "aol/ClientCheck.h"
#include "tests/support/ClientDriver.h"

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines) all += line + "\n";
    return all;
}

class ClientCheckTest : public ::testing::Test {
  protected:
    void SetUp() override { driver = testsupport::MakeClientDriver(); }
    aol::ClientCheck Check() { return aol::CheckClient(driver->Services().windows); }
    std::unique_ptr<testsupport::ClientDriver> driver;
};

TEST_F(ClientCheckTest, WholeClientIsReadyAndEveryPieceIsNamed) {
    driver->SignOn({"Bob", "Lobby"});
    driver->Say("Pal", "hello there");
    driver->Settle();
    driver->Advance(std::chrono::milliseconds(300));
    driver->Settle();
    const aol::ClientCheck check = Check();
    const std::string all = Joined(check.lines);
    EXPECT_TRUE(check.ready) << all;
    EXPECT_EQ(check.lines.back(), "ready: the commands can reach the client");
    for (const char* expected :
         {"ok  main frame: AOL Frame25 \"America  Online\"\n", "ok  MDI client: MDIClient\n",
          "ok  address box: AOL Toolbar > _AOL_Toolbar > _AOL_Combobox > Edit\n",
          "    AOL Child 1 \"Lobby\": has all four kinds of child\n",
          "    AOL Child 2 \"Welcome, Bob!\": lacks _AOL_Listbox\n",
          "ok  welcome window: screen name \"Bob\"\n", "ok  chat room: \"Lobby\"\n",
          // Two of these lines are split for width, not lists of two.
          // NOLINTNEXTLINE(bugprone-suspicious-missing-comma)
          "ok  foremost window \"Lobby\": input box RICHCNTL, send button the sixth of 8 "
          "_AOL_Icon\n",
          "ok  transcript: RICHCNTL, the room's second, readable; last line \"Pal: hello "
          "there\"\n",
          "-bit program\n"}) {
        EXPECT_NE(all.find(expected), std::string::npos) << expected << "in\n" << all;
    }
    EXPECT_TRUE(driver->Transcript().size() == 1) << "the check sent the room nothing";
}

struct Piece {
    const char* without;
    const char* line;  // the line that says what is wrong
};

void PrintTo(const Piece& piece, std::ostream* os) {
    *os << piece.without;
}

class ClientCheckWithout : public ClientCheckTest, public ::testing::WithParamInterface<Piece> {};

TEST_P(ClientCheckWithout, IsNotReadyAndSaysWhatIsMissing) {
    driver->SignOn({"Bob", "Lobby", testsupport::RichEditGeneration::Later, {GetParam().without}});
    driver->Settle();
    const aol::ClientCheck check = Check();
    const std::string all = Joined(check.lines);
    EXPECT_FALSE(check.ready) << all;
    EXPECT_NE(all.find(GetParam().line), std::string::npos) << all;
    EXPECT_EQ(check.lines.back().rfind("not ready: ", 0), 0u) << all;
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, ClientCheckWithout,
    ::testing::Values(Piece{"address", "--  address box: no AOL Toolbar"},
                      Piece{"welcome", "--  welcome window: no AOL Child"},
                      Piece{"room", "--  chat room: no AOL Child has"},
                      Piece{"transcript", "--  transcript: the chat room has no second RICHCNTL"},
                      Piece{"members", "AOL Child 1 \"Lobby\": lacks _AOL_Listbox"},
                      Piece{"static", "AOL Child 1 \"Lobby\": lacks _AOL_Static"},
                      Piece{"sendicon",
                            "--  foremost window \"Lobby\": only 5 _AOL_Icon, the send button is "
                            "the sixth"}),
    [](const auto& info) { return std::string(info.param.without); });

TEST_F(ClientCheckTest, RoomBehindAnotherWindowIsNotReady) {
    driver->SignOn({"Bob", "Lobby"});
    ASSERT_TRUE(driver->BringToFront("Welcome, Bob!"));
    driver->Settle();
    const aol::ClientCheck check = Check();
    EXPECT_FALSE(check.ready);
    EXPECT_NE(Joined(check.lines)
                  .find("!!  foremost window \"Welcome, Bob!\" is not the chat "
                        "room: replies would go there"),
              std::string::npos)
        << Joined(check.lines);
}

TEST_F(ClientCheckTest, NoClientRunning) {
    const aol::ClientCheck check = Check();
    EXPECT_FALSE(check.ready);
    EXPECT_EQ(check.lines,
              (std::vector<std::string>{
                  "--  main frame: no window of class AOL Frame25 (is the client running?)",
                  "not ready: no client is running"}));
}

}  // namespace
