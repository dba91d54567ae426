#include <windows.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Processes.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string shown(const ProcessResult& result) {
    switch (result.ending) {
        case ProcessResult::Ending::Exited: return "exited " + std::to_string(result.exitCode);
        case ProcessResult::Ending::NotStarted:
            return "not started: " + result.failure.source + " " + std::to_string(result.failure.number);
        case ProcessResult::Ending::StoppedAtBound: return "stopped at bound";
        case ProcessResult::Ending::LeftRunning: return "left running";
    }
    return "?";
}

class ProcessesTest : public ::testing::Test {
protected:
    Win32Processes processes;
    const std::string program = Win32Environment().programFolder() + "\\exitwith.exe";

    ProcessResult runHelper(const std::string& arguments, unsigned boundMs = kProcessBoundMs) {
        return processes.run({program, test::quotedHelper() + " " + arguments, boundMs});
    }
};

TEST_F(ProcessesTest, OnlyTheNamedProgramRunsHiddenAndItsExitCodePassesThrough) {
    const auto start = Clock::now();
    EXPECT_EQ(shown(runHelper("-3")), "exited 4294967293");
    EXPECT_LT(millisecondsSince(start), 10000);
    EXPECT_EQ(shown(runHelper("windows")), "exited 0");
    // The command line reaches the program as it is, its first token included.
    EXPECT_EQ(shown(processes.run({program, "anything\t6"})), "exited 6");

    // Without the program's name, CreateProcess would run C:\velmora.exe for
    // this unquoted path with a blank, which would answer 5.
    const std::string decoy = "C:\\velmora.exe";
    ASSERT_TRUE(CopyFileW(wide(program).c_str(), wide(decoy).c_str(), FALSE));
    EXPECT_EQ(shown(processes.run({decoy, "C:\\velmora 5\\x.exe"})), "exited 5");
    const ProcessResult missing = processes.run({"C:\\velmora 5\\x.exe", "C:\\velmora 5\\x.exe"});
    DeleteFileW(wide(decoy).c_str());
    EXPECT_EQ(shown(missing).substr(0, 28), "not started: CreateProcessW ");
    EXPECT_NE(missing.failure.number, 0);
    EXPECT_FALSE(missing.failure.description.empty());
    EXPECT_EQ(shown(processes.run({"", "x"})), "not started: CreateProcessW 2");

    test::TempFolder folder;
    EXPECT_EQ(processes.openDocument(folder.file("missing.html")).value_or(Failure{}).source, "ShellExecuteExW");
}

TEST_F(ProcessesTest, WhatAProgramWritesComesBackWithItsEnding) {
    const ProcessResult said = runHelper("say net: the service name is invalid.");
    EXPECT_EQ(shown(said), "exited 3");
    EXPECT_EQ(said.output, "net: the service name is invalid.!");
    EXPECT_EQ(runHelper("0").output, "");
}

TEST_F(ProcessesTest, AProgramStillRunningAtTheBoundIsEnded) {
    test::TempFolder folder;
    const auto start = Clock::now();
    EXPECT_EQ(shown(runHelper("0 4000 " + folder.file("state"), 1500)), "stopped at bound");
    const auto waited = millisecondsSince(start);
    EXPECT_TRUE(waited >= 1400 && waited < 3900) << waited;
    // Past the time it would have finished its work, it has not.
    Sleep(4000);
    EXPECT_EQ(test::contentOf(folder.file("state")), "started");
}

// A caller whose output is a pipe waits for the pipe's end; a child that held
// it would keep that caller waiting as long as the child runs.
TEST_F(ProcessesTest, AChildHoldsNoHandleOfOurs) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    ASSERT_TRUE(CreatePipe(&readRaw, &writeRaw, &inheritable, 0));
    const Handle readEnd(readRaw);
    Handle writeEnd(writeRaw);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE), errors = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, writeEnd.get());
    SetStdHandle(STD_ERROR_HANDLE, writeEnd.get());

    test::TempFolder folder;
    ProcessResult result;
    std::thread child([&] { result = runHelper("7 4000 " + folder.file("state")); });
    const auto started = Clock::now();
    while (test::contentOf(folder.file("state")).empty() && millisecondsSince(started) < 10000) Sleep(20);
    SetStdHandle(STD_OUTPUT_HANDLE, output);
    SetStdHandle(STD_ERROR_HANDLE, errors);
    writeEnd.reset();

    const auto closed = Clock::now();
    char byte = 0;
    DWORD read = 0;
    const bool gotData = ReadFile(readEnd.get(), &byte, 1, &read, nullptr);
    const DWORD error = GetLastError();
    const auto waited = millisecondsSince(closed);
    child.join();
    EXPECT_EQ(test::contentOf(folder.file("state")), "started done");
    EXPECT_FALSE(gotData);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_BROKEN_PIPE));
    EXPECT_LT(waited, 1500) << "the pipe stayed open while the child ran";
    EXPECT_EQ(shown(result), "exited 7");
}

}  // namespace
}  // namespace velmora
