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
    Win32Processes processes;
    const std::string program = Win32Environment().programFolder() + "\\exitwith.exe";
    const std::string helper = test::quotedHelper();
};

TEST_F(ProcessesTest, OnlyTheNamedProgramRunsHiddenAndItsExitCodeComesBackAtOnce) {
    const auto start = Clock::now();
    EXPECT_EQ(processes.runHiddenAndWait(program, helper + " -3"), -3);
    EXPECT_LT(millisecondsSince(start), 10000);
    EXPECT_EQ(processes.runHiddenAndWait(program, helper + " showwindow"), SW_HIDE);
    // The command line reaches the program as it is, its first token included.
    EXPECT_EQ(processes.runHiddenAndWait(program, "anything\t6"), 6);

    // Without the program's name, CreateProcess would run C:\velmora.exe for
    // this unquoted path with a blank, which would answer 5.
    const std::string decoy = "C:\\velmora.exe";
    ASSERT_TRUE(CopyFileA(program.c_str(), decoy.c_str(), FALSE));
    ASSERT_EQ(processes.runHiddenAndWait(decoy, "C:\\velmora 5\\x.exe"), 5);
    EXPECT_EQ(processes.runHiddenAndWait("C:\\velmora 5\\x.exe", "C:\\velmora 5\\x.exe"), -1);
    DeleteFileA(decoy.c_str());
    test::TempFolder folder;
    EXPECT_TRUE(processes.openDocument(folder.file("missing.html")).has_value());
}

TEST_F(ProcessesTest, AProgramStillRunningAfterTheWaitGives259AndIsLeftRunning) {
    test::TempFolder folder;
    const auto start = Clock::now();
    EXPECT_EQ(processes.runHiddenAndWait(program, helper + " 0 4000 " + folder.file("done"), 1500), kStillActive);
    const auto waited = millisecondsSince(start);
    EXPECT_TRUE(waited >= 1400 && waited < 3900) << waited;
    // Left running, it finishes its work after the wait.
    for (int i = 0; i < 100 && GetFileAttributesA(folder.file("done").c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    EXPECT_NE(GetFileAttributesA(folder.file("done").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace velmora
