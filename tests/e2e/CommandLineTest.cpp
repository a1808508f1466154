#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

using app::ParseCommandLine;

TEST(ParseCommandLine, DefaultsAndOptions) {
    auto none = ParseCommandLine({});
    EXPECT_FALSE(none.console);
    EXPECT_EQ(none.screenName, "Moonraker");
    EXPECT_EQ(none.roomName, "Town Square");
    EXPECT_EQ(none.error, "");

    auto all =
        ParseCommandLine({"--console", "--trace", "--screen-name", "Zed", "--room=The Lobby"});
    EXPECT_TRUE(all.console);
    EXPECT_TRUE(all.trace);
    EXPECT_EQ(all.screenName, "Zed");
    EXPECT_EQ(all.roomName, "The Lobby");
    EXPECT_EQ(all.error, "");

    // A value that looks like an option is still the value.
    EXPECT_EQ(ParseCommandLine({"--room", "--console"}).roomName, "--console");
}

TEST(ParseCommandLine, Errors) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                  {"--screen-name"},
                                                                  {"--room"},
                                                                  {"--screen-name="},
                                                                  {"--room", ""},
                                                                  {"--console", "extra"},
                                                                  {"--screen-names=x"}}) {
        EXPECT_NE(ParseCommandLine(args).error, "") << args.front();
    }
}

}  // namespace
