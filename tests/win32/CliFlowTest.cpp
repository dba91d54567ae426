// velmora-cli.exe as a script runs it: against the real registry and service
// manager, with the stand-in wrapper as bin\tomcat.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "e2eSession.h"

namespace velmora::e2e {
namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// Runs the program from <home>\bin with its output in files, as a console would take it.
CliRun runCli(const Session& session, const std::string& arguments) {
    const std::string program = session.home() + "\\bin\\velmora-cli.exe";
    // Files of their own for each run: Wine's console host may hold the last run's a moment longer.
    static int runs = 0;
    const std::string stem = session.root() + "\\cli-" + std::to_string(++runs);
    const std::string outPath = stem + "-out.txt", errPath = stem + "-err.txt";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::string commandLine = "\"" + program + "\" " + arguments;
    PROCESS_INFORMATION process{};
    DWORD code = 255;
    if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       session.root().c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, 120000);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(out);
    CloseHandle(err);
    CliRun run{static_cast<int>(code), contentOf(outPath), contentOf(errPath)};
    for (std::string* text : {&run.out, &run.err}) text->erase(std::remove(text->begin(), text->end(), '\r'), text->end());
    return run;
}

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CommandLine, SetInstallStartStatusStopUninstallDelete) {
    Session session;
    SetEnvironmentVariableA("java_home", session.jdk().c_str());
    std::string cli = VELMORA_CLI_EXE;
    std::replace(cli.begin(), cli.end(), '/', '\\');
    ASSERT_TRUE(CopyFileA(("Z:" + cli).c_str(), (session.home() + "\\bin\\velmora-cli.exe").c_str(), FALSE));
    const std::string name = "VelmoraCli" + std::to_string(GetCurrentProcessId()), quoted = "\"" + name + "\"";
    session.removeServiceAtEnd(name);

    // A run that succeeds with one of its lines; net and the wrapper print into the same console.
    auto succeeds = [&](const std::string& arguments, const std::string& line) {
        const CliRun run = runCli(session, arguments);
        EXPECT_EQ(run.code, 0) << arguments << run.err;
        EXPECT_TRUE(holds(run.out, line + "\n")) << run.out;
    };
    succeeds("set " + name + " max.heap.size=256 additional.jvm.options=-Dcli=1 description=scripted",
             "Instance saved as " + quoted + ".");
    EXPECT_EQ(storedText(name, "tomcat.home") + "|" + storedText(name, "description") + "|" +
                  std::to_string(storedNumber(name, "max.heap.size")) + "|" + storedOptions(name).at(0) + std::to_string(storedOptions(name).size()),
              session.home() + "|scripted|256|-Dcli=11");
    succeeds("install " + name, "Service " + quoted + " installed.");
    EXPECT_TRUE(serviceRegistered(name));
    succeeds("start " + name, "Service " + quoted + " is running.");
    // The wrapper started with the options in their order and the JDK's server JVM.
    auto accountWith = [&](const std::string& line) {
        std::string account;
        for (int i = 0; i < 100 && !holds(account = contentOf(session.home() + "\\logs\\" + name + "_out.log"), line); ++i)
            Sleep(100);
        return account;
    };
    std::string account = accountWith("start: ");
    EXPECT_TRUE(holds(account, "option 0: -Dcatalina.home=" + session.home() + "\r\n")) << account;
    EXPECT_TRUE(holds(account, "option 6: -Xrs\r\noption 7: -Xmx256m\r\noption 8: -Dcli=1\r\nSystem.out: ")) << account;
    EXPECT_TRUE(holds(account, "library: " + session.jdk() + "\\jre\\bin\\server\\jvm.dll\r\n")) << account;
    // A change while it runs: stopped, written, reinstalled and started again.
    succeeds("set " + name + " max.heap.size=300 --yes", "");
    EXPECT_TRUE(holds(accountWith("option 7: -Xmx300m\r\n"), "option 7: -Xmx300m\r\n"));
    auto status = [&](const std::string& arguments) {
        const CliRun run = runCli(session, "status " + name + arguments);
        return std::to_string(run.code) + "|" + run.out + run.err;
    };
    EXPECT_EQ(status(" --json"), "0|{\n  \"name\": " + quoted + ",\n  \"status\": \"running\"\n}\n");

    // An installed configuration is deleted only when the question is answered Yes.
    CliRun run = runCli(session, "delete " + name);
    EXPECT_EQ(run.code, 3);
    EXPECT_TRUE(holds(run.err, "Refused: a \"Confirm\" question was not answered Yes")) << run.err;
    EXPECT_EQ(storedNameList(), std::vector<std::string>{name});

    succeeds("stop " + name, "Service " + quoted + " is not running.");
    EXPECT_EQ(status("").substr(0, 2), "5|");

    succeeds("uninstall " + name, "Service " + quoted + " has been uninstalled.");
    EXPECT_FALSE(serviceRegistered(name));
    EXPECT_EQ(status(""), "6|" + name + ": not installed\n");

    succeeds("delete " + name, "Deleted instance " + quoted + ".");
    EXPECT_FALSE(storeHasKey(std::string(kStoreKey) + "\\" + name));

    EXPECT_EQ(status(""), "1|No configuration named " + quoted + " is stored.\n");
    EXPECT_EQ(runCli(session, "set " + name + " max.heap.size=40000").code * 10 + runCli(session, "set web\\app description=x").code, 23);
    EXPECT_TRUE(storedNameList().empty());
}

}  // namespace
}  // namespace velmora::e2e
