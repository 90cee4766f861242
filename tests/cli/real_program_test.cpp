// The program's own executable dispatches to the command line before it creates any window.
#include <gtest/gtest.h>

#include "tests/cli/cli_harness.h"

namespace warenkai::test {
namespace {

TEST(RealProgram, AnswersVersionAndWrongCallsWithoutOpeningItsWindow) {
    // Bounded: a program that opened its window instead would be killed here.
    const auto version = RunProgram(WARENKAI_PROGRAM, {"--version"}, {}, {}, false, std::chrono::seconds(30));
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out, std::string("Warenkai ") + WARENKAI_EXPECTED_VERSION + "\n");
    const auto wrong = RunProgram(WARENKAI_PROGRAM, {"artikel"}, {}, {}, false, std::chrono::seconds(30));
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.starts_with("warenkai: Unbekannter Befehl: artikel\n")) << wrong.err;
}

}  // namespace
}  // namespace warenkai::test
