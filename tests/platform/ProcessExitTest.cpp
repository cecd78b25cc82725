#include "platform/ProcessExit.h"
#include "platform/Console.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
void writeCleanupMarker()
{
    std::fputs("clean-up ran", stderr);
}

[[noreturn]] void exitAfterRegisteringCleanup()
{
    std::atexit(writeCleanupMarker);
    std::fputs("before", stderr);
    terminateProcessNow();
}
} // namespace

TEST(ProcessExitTest, EndsAtOnceWithoutRunningExitHandlers)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Output written before the end is flushed; the exit handler never runs.
    EXPECT_EXIT(exitAfterRegisteringCleanup(), ::testing::ExitedWithCode(0), "^before$");
}

TEST(ConsoleTest, StandardErrorOfATestIsNoTerminal)
{
    // ctest captures the output, so no progress bar is drawn and the width falls back to 80.
    if (standardErrorIsTerminal())
        GTEST_SKIP() << "run from a terminal";
    EXPECT_EQ(terminalColumns(), 80);
}
