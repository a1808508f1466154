#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

#include "engine/Numbers.h"

namespace {

using engine::LevelFromUserNumber;
using engine::RoundHalfEven;

TEST(Numbers, RoundHalfEven) {
    struct Case {
        double in, out;
    };
    for (const Case& c :
         {Case{0.5, 0.0}, Case{1.5, 2.0}, Case{2.5, 2.0}, Case{-0.5, -0.0}, Case{-1.5, -2.0},
          Case{-1237.5, -1238.0}, Case{-1236.5, -1236.0}, Case{2.4999, 2.0}, Case{2.5001, 3.0},
          Case{-2.6, -3.0}, Case{7.0, 7.0}, Case{4503599627370497.0, 4503599627370497.0}}) {
        EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
    EXPECT_EQ(RoundHalfEven(INFINITY), INFINITY);
}

struct LevelCase {
    std::string text;
    std::optional<std::int32_t> level;
};

void PrintTo(const LevelCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class Level : public ::testing::TestWithParam<LevelCase> {};

TEST_P(Level, FromUserNumber) {
    EXPECT_EQ(LevelFromUserNumber(GetParam().text), GetParam().level) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Level,
    ::testing::Values(
        LevelCase{"100", 0}, LevelCase{"0", -2500}, LevelCase{"200", 2500},
        LevelCase{"50.5", -1238},   // -1237.5 goes to the even neighbour
        LevelCase{"50.54", -1236},  // -1236.5 too
        LevelCase{"  42  ", -1450}, LevelCase{"\t7\t", -2325}, LevelCase{"+1", -2475},
        LevelCase{"-100", -5000}, LevelCase{".5", -2488}, LevelCase{"5.", -2375},
        LevelCase{"1e2", 0}, LevelCase{"1E-1", -2498}, LevelCase{"85899444", 2147483600},
        LevelCase{"85899446",
                  std::nullopt},  // 2147483650 does not fit LevelCase{"-85899245", -2147483625},
        LevelCase{"-85899246", std::nullopt},  // below the smallest 32-bit integer
        LevelCase{"1e400", std::nullopt}, LevelCase{"1e-400", -2500}, LevelCase{"", std::nullopt},
        LevelCase{" ", std::nullopt}, LevelCase{".", std::nullopt}, LevelCase{"-", std::nullopt},
        LevelCase{"1e", std::nullopt}, LevelCase{"abc", std::nullopt},
        LevelCase{"10 0", std::nullopt}, LevelCase{"0x10", std::nullopt},
        LevelCase{"inf", std::nullopt}, LevelCase{"-infinity", std::nullopt},
        LevelCase{"nan", std::nullopt}, LevelCase{"1,5", std::nullopt},
        LevelCase{"++1", std::nullopt}, LevelCase{"5%", std::nullopt}));

}  // namespace
