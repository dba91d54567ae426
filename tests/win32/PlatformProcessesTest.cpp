#include <windows.h>

#include <chrono>

#include <gtest/gtest.h>

#include "e2eSession.h"
#include "platform/win32/WideText.h"
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
        default: return "stopped";
    }
}

class ProcessesTest : public ::testing::Test {
protected:
    Win32Processes processes;
    const std::string program = e2e::windowsPath(VELMORA_EXITWITH_EXE);

    ProcessResult runHelper(const std::string& arguments) {
        return processes.run({program, e2e::quoted(program) + " " + arguments});
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

    e2e::TempFolder folder;
    EXPECT_EQ(processes.openDocument(folder.file("missing.html")).value_or(Failure{}).source, "ShellExecuteExW");

    // A process this one started names it as its parent while it runs, and nothing once it has ended.
    std::wstring line = wide(e2e::quoted(program) + " 0");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessW(wide(program).c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                               nullptr, &startup, &child));
    EXPECT_EQ(processes.parentOf(child.dwProcessId), std::optional<std::uint32_t>(GetCurrentProcessId()));
    TerminateProcess(child.hProcess, 1);
    WaitForSingleObject(child.hProcess, 10000);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    EXPECT_EQ(processes.parentOf(child.dwProcessId), std::nullopt);
}

TEST_F(ProcessesTest, WhatAProgramWritesComesBackWithItsEnding) {
    const ProcessResult said = runHelper("say net: the service name is invalid.");
    EXPECT_EQ(shown(said), "exited 3");
    EXPECT_EQ(said.output, "net: the service name is invalid.!");
    EXPECT_EQ(runHelper("0").output, "");
    // Java writes into a pipe in the Windows code page, net.exe in the console's.
    if (GetACP() == 1252 && GetOEMCP() == 437) {
        EXPECT_EQ(processes.run({program, e2e::quoted(program) + " ansi", kProcessBoundMs, true}).output,
                  "J\xC3\xBCrgen");
        EXPECT_EQ(runHelper("ansi").output, "J\xE2\x81\xBFrgen");  // ⁿ in code page 437
    }

    // A grandchild that keeps writing into the output after the program ended is not waited for.
    const auto start = Clock::now();
    const ProcessResult left = runHelper("leave");
    EXPECT_EQ(shown(left), "exited 0");
    EXPECT_LT(millisecondsSince(start), 5000);
    EXPECT_NE(left.output.find("xx"), std::string::npos);
}

}  // namespace
}  // namespace velmora
