// adopt under Wine: a running service Tomcat's script made is taken over, changed and put back in step.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "WindowDriver.h"
#include "e2eSession.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ResourceIds.h"

namespace velmora::e2e {
namespace {

// A program run to its end, as a script runs it; its exit code.
DWORD runProgram(const std::string& program, const std::string& arguments) {
    std::wstring commandLine = wide(quoted(program) + " " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(wide(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &started))
        return GetLastError();
    const Handle process(started.hProcess), thread(started.hThread);
    WaitForSingleObject(process.get(), 30000);
    DWORD code = 255;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

// What "sc config NAME start= disabled" does.
bool disable(const std::string& name) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const ServiceHandle service(manager ? OpenServiceW(manager.get(), wide(name).c_str(), SERVICE_CHANGE_CONFIG)
                                        : nullptr);
    return service && ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, SERVICE_DISABLED, SERVICE_NO_CHANGE,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

TEST(Adopt, AServiceTomcatsScriptRegisteredIsTakenOverRunningAndKeptInStep) {
    Session session(Layout::Modern);
    const std::string name = "Tc" + std::to_string(GetCurrentProcessId()), home = session.home();
    const std::string wrapper = session.bin("tomcat10.exe"), java = procrunKey(name) + "\\Java";
    session.removeServiceAtEnd(name);

    // As bin\service.bat install registers it, then started.
    const std::string base = "-Dcatalina.home=" + home + ";-Dcatalina.base=" + home + ";-Djava.io.tmpdir=" + home +
                             "\\temp;-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager;-Djava.util."
                             "logging.config.file=" +
                             home + "\\conf\\logging.properties";
    ASSERT_EQ(
        runProgram(wrapper,
                   "//IS//" + name + " --Description \"Apache Tomcat 10.1 Server - https://tomcat.apache.org/\"" +
                       " --DisplayName \"Apache Tomcat 10.1 " + name + "\" --Install " + quoted(wrapper) +
                       " --LogPath " + quoted(home + "\\logs") + " --StdOutput auto --StdError auto" + " --Classpath " +
                       quoted(home + "\\bin\\bootstrap.jar;" + home + "\\bin\\tomcat-juli.jar") + " --Jvm " +
                       quoted(session.jdk() + "\\bin\\server\\jvm.dll") +
                       " --StartMode jvm --StopMode jvm --StartPath " + quoted(home) + " --StopPath " + quoted(home) +
                       " --StartClass org.apache.catalina.startup.Bootstrap" +
                       " --StopClass org.apache.catalina.startup.Bootstrap --StartParams start --StopParams stop" +
                       " --JvmOptions " + quoted(base) +
                       " --JvmOptions9 \"--add-opens=java.base/java.lang=ALL-UNNAMED\" --Startup manual" +
                       " --JvmMs 128 --JvmMx 256"),
        0u);
    EXPECT_EQ(machineValues(java).at("Options").substr(0, 17 + home.size()), "-Dcatalina.home=" + home + "|");
    EXPECT_EQ(machineValues(java).at("JvmMx"), "256");
    EXPECT_EQ(machineValues(procrunKey(name) + "\\Log").at("StdOutput"), "auto");
    ASSERT_TRUE(startService(name));
    const DWORD process = serviceProcessId(name);
    ASSERT_NE(process, 0u);
    // "auto" is the log folder's file of the day, named after the service in lower case.
    const std::string dayFile =
        home + "\\logs\\tc" + std::to_string(GetCurrentProcessId()) + "-stdout." + localDate() + ".log";
    const auto dayFiles = [&] { return contentOf(dayFile); };
    EXPECT_TRUE(
        waitUntil([&] { return holds(dayFiles(), "start: org.apache.catalina.startup.Bootstrap.main(start)"); }));

    // File > Adopt... lists it and shows what it would store; the question names the service and its program.
    ASSERT_TRUE(session.start());
    postCommand(session.main(), IDM_ADOPT);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (dialog = findTopWindow(session.processId(), "Adopt Service")) != nullptr; }));
    HWND list = GetDlgItem(dialog, IDC_ADOPT_LIST);
    // Among whatever else this machine runs, as a service an earlier run left behind.
    const auto listed = listItems(list);
    const auto at = std::find_if(listed.begin(), listed.end(),
                                 [&](const std::string& line) { return line.rfind(name + "\t", 0) == 0; });
    ASSERT_NE(at, listed.end());
    EXPECT_EQ(*at, name + "\trunning\t10\tmade elsewhere");
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(at - listed.begin()), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ADOPT_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(
        waitUntil([&] { return holds(windowText(GetDlgItem(dialog, IDC_ADOPT_PREVIEW)), "max.heap.size = 256"); }));
    EXPECT_TRUE(session.screenshot("adopt-dialog"));
    click(GetDlgItem(dialog, IDOK));
    EXPECT_TRUE(holds(session.answer("Confirm", IDNO), "Take over the service " + quoted(name) + " (it runs " +
                                                           quoted(wrapper) + " //RS//" + name + ")"));
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_FALSE(storeHasKey(name));
    PostMessageW(session.main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(session.exited(10000));

    // Listed, and taken over: stored, marked, and the same process runs on.
    CliRun run = session.cli("adopt --list");
    EXPECT_TRUE(holds(run.out, name + " (\"Apache Tomcat 10.1 " + name + "\"), running: Tomcat 10 in " + home))
        << run.out;
    run = session.cli("adopt " + name + " --yes");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(serviceProcessId(name), process);
    EXPECT_EQ(storedNumber(name, "installedaservice"), 1u);
    EXPECT_EQ(storedNumber(name, "installed.adopted"), 1u);
    run = session.cli("logs " + name);
    EXPECT_TRUE(holds(run.out, dayFile)) << run.out;  // its "auto" files are among its logs
    EXPECT_EQ(machineText("SYSTEM\\CurrentControlSet\\Services\\" + name, "VelmoraInstallMark"),
              storedText(name, "installed.mark"));

    // A change of Velmora's own goes to the wrapper where the service stands.
    run = session.cli("set " + name + " max.heap.size=512");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(machineValues(java).at("JvmMx"), "512");
    EXPECT_EQ(serviceProcessId(name), process);

    // Behind Velmora's back: the wrapper's own update raises the heap, the service manager disables the service.
    ASSERT_EQ(runProgram(wrapper, "//US//" + name + " --JvmMx 2048"), 0u);
    ASSERT_TRUE(disable(name));
    run = session.cli("show " + name + " --service");
    EXPECT_TRUE(holds(run.out, "max.heap.size = 2048    <- differs from the stored 512\n")) << run.out;
    EXPECT_TRUE(holds(run.out, "service.startup = disabled    <- differs from the stored manual\n")) << run.out;
    EXPECT_EQ(session.cli("check " + name).code, 4);

    // apply gives the service the stored values again, and says so.
    const std::string file = session.root() + "\\adopted.json";
    ASSERT_EQ(session.cli("export " + name + " --out " + file).code, 0);
    run = session.cli("apply " + file);
    EXPECT_EQ(run.code, 10) << run.err;
    EXPECT_EQ(machineValues(java).at("JvmMx"), "512");
    EXPECT_EQ(serviceConfig(name).startType, static_cast<DWORD>(SERVICE_DEMAND_START));
    EXPECT_TRUE(holds(session.cli("show " + name + " --service").out, "The service holds the stored values.\n"));
    EXPECT_EQ(session.cli("apply " + file).code, 0);

    EXPECT_EQ(session.cli("uninstall " + name + " --yes").code, 0);
    EXPECT_FALSE(serviceRegistered(name));
    EXPECT_FALSE(machineKeyExists(procrunKey(name)));
}

}  // namespace
}  // namespace velmora::e2e
