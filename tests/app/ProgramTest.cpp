// The program as every start-up builds it: on the window system it is given,
// with the trace the command line asks for.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/SimulatedClient.h"
#include "tests/support/FakeFrontEnd.h"
#include "tests/support/TestRuntime.h"

namespace {

using Lines = std::vector<std::string>;
using platform::Millis;

// Loads the main window with `handle` typed at the prompt, types `line` into
// the room and lets the client and the program answer.
void LogInAndType(testsupport::TestRuntime& runtime, app::Program& program,
                  app::SimulatedClient& client, const std::string& line) {
    runtime.promptAnswers = {"bob"};
    program.Load();
    runtime.Advance(Millis{1000});
    client.Client().Type(line);
    runtime.Advance(Millis{1000});
}

TEST(Program, AnswersInTheRoomOfTheWindowSystemItIsGiven) {
    testsupport::TestRuntime runtime;
    app::SimulatedClient elsewhere(runtime, "Moonraker", "Lobby");
    app::SimulatedClient driven(runtime, "Moonraker", "Town Square");
    testsupport::FakeFrontEnd frontEnd;
    app::Program program(runtime, driven.Windows(), frontEnd, {});

    LogInAndType(runtime, program, driven, "h al");

    const auto& transcript = driven.Client().Transcript();
    ASSERT_FALSE(transcript.empty());
    EXPECT_NE(transcript.back().text.find("handle changed"), std::string::npos);
    EXPECT_TRUE(elsewhere.Client().Transcript().empty());
}

TEST(Program, TracesOnlyWhenTheCommandLineAsksAndMarksEveryLine) {
    for (const bool trace : {false, true}) {
        SCOPED_TRACE(trace ? "--trace" : "no --trace");
        testsupport::TestRuntime runtime;
        app::SimulatedClient client(runtime, "Moonraker", "Town Square");
        testsupport::FakeFrontEnd frontEnd;
        app::CommandLine commandLine;
        commandLine.trace = trace;
        Lines printed;
        app::Program program(runtime, client.Windows(), frontEnd,
                             app::OptionsFor(commandLine, [&](const std::string& line) {
                                 printed.push_back(line);
                             }));

        LogInAndType(runtime, program, client, "h al");

        if (!trace) {
            EXPECT_TRUE(printed.empty());
            continue;
        }
        EXPECT_NE(std::find(printed.begin(), printed.end(), "[trace] Form1.Show"), printed.end());
        for (const std::string& line : printed) EXPECT_EQ(line.rfind("[trace] ", 0), 0u) << line;
    }
}

TEST(SimulatedClient, TheUserIsFirstInTheRoomAndNobodyTwice) {
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"Moonraker", {"Moonraker", "KarenK", "slickrick", "mistyblue"}},
        {"slickrick", {"slickrick", "KarenK", "mistyblue"}},
    };
    for (const auto& [screenName, members] : cases) {
        EXPECT_EQ(app::RoomMembers(screenName), members) << screenName;
    }
}

}  // namespace
