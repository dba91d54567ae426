#include <windows.h>

#include <chrono>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Processes.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class ProcessesTest : public ::testing::Test {
protected:
    void TearDown() override { test::endRunningChildren("exitwith.exe"); }

    Win32Processes processes;
    const std::string helper = test::quotedHelper();
};

TEST_F(ProcessesTest, ReturnsTheExitCodeAsSoonAsTheProgramEnds) {
    const auto start = Clock::now();
    EXPECT_EQ(processes.runHiddenAndWait(helper + " 2"), 2);
    EXPECT_LT(millisecondsSince(start), 10000);
    EXPECT_EQ(processes.runHiddenAndWait(helper + " 0"), 0);
    EXPECT_EQ(processes.runHiddenAndWait(helper + " -3"), -3);
}

TEST_F(ProcessesTest, AProgramThatCannotStartGivesMinusOneAtOnce) {
    const auto start = Clock::now();
    EXPECT_EQ(processes.runHiddenAndWait("C:\\velmora-missing\\nothing.exe -install"), -1);
    EXPECT_EQ(processes.runHiddenAndWait("velmora-no-such-program-anywhere"), -1);
    EXPECT_LT(millisecondsSince(start), 5000);
}

TEST_F(ProcessesTest, AProgramStillRunningAfterTheWaitGives259AndIsLeftRunning) {
    const auto start = Clock::now();
    EXPECT_EQ(processes.runHiddenAndWait(helper + " 0 60000", 1500), kStillActive);
    const auto waited = millisecondsSince(start);
    EXPECT_GE(waited, 1400);
    EXPECT_LT(waited, 15000);
    EXPECT_EQ(test::endRunningChildren("exitwith.exe"), 1);
}

TEST_F(ProcessesTest, ProgramsStartWithAHiddenWindow) {
    EXPECT_EQ(processes.runHiddenAndWait(helper + " showwindow"), SW_HIDE);
}

TEST_F(ProcessesTest, TheProgramPathIsFoundQuotedOrNot) {
    const std::string unquoted = Win32Environment().programFolder() + "\\exitwith.exe";
    ASSERT_EQ(unquoted.find(' '), std::string::npos) << "the build folder must not contain blanks";
    EXPECT_EQ(processes.runHiddenAndWait(unquoted + "   5"), 5);
    EXPECT_EQ(processes.runHiddenAndWait(helper + "\t6"), 6);
}

TEST_F(ProcessesTest, StartHiddenReturnsAtOnceAndRunsInTheGivenFolder) {
    test::TempFolder folder;
    const auto start = Clock::now();
    processes.startHidden(helper + " 0 60000 marker.txt", folder.path());
    EXPECT_LT(millisecondsSince(start), 10000);

    Win32Files files;
    for (int i = 0; i < 100 && !files.fileExists(folder.file("marker.txt")); ++i) Sleep(100);
    EXPECT_TRUE(files.fileExists(folder.file("marker.txt")));
    EXPECT_EQ(test::endRunningChildren("exitwith.exe"), 1);

    processes.startHidden("C:\\velmora-missing\\nothing.exe", folder.path());
}

}  // namespace
}  // namespace velmora
