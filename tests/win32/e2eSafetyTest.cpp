// The real velmora.exe and velmora-cli.exe beside what they did not make:
// other vendors' services and files, and a wrapper that never returns.
// Each must stay as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "WindowDriver.h"
#include "e2eSession.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ResourceIds.h"

namespace velmora::e2e {
namespace {

TEST(NotOurs, TomcatsOwnServiceOfTheSameNameKeepsRunningAndInstallIsRefused) {
    Session session(Layout::Modern);
    const std::string line = quoted(session.bin("tomcat10.exe")) + " //RS//TC10";
    removeService("TC10");  // left by an interrupted run
    session.removeServiceAtEnd("TC10");
    ASSERT_TRUE(createService("TC10", line));
    ASSERT_TRUE(startService("TC10"));
    const std::string refusal =
        "A service named \"TC10\" already exists on this computer and was not installed by "
        "Velmora for this configuration (it runs " +
        line + "). Nothing was changed.";

    // File > Save of a new configuration of that name stores it, nothing more; Install is refused.
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.type(IDC_SERVICE_NAME, "TC10", false));
    postCommand(session.main(), IDM_SAVE);
    EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"TC10\".");
    ASSERT_TRUE(session.waitUntilIdle());
    click(session.control(IDC_INSTALL));
    EXPECT_EQ(session.answer("Warning", IDOK), refusal);
    EXPECT_TRUE(session.screenshot("safety-tc10-refused"));

    EXPECT_TRUE(serviceRegistered("TC10"));
    EXPECT_TRUE(serviceRunning("TC10"));
    EXPECT_EQ(serviceConfig("TC10").programLine, line);
    // //IS// or //DS// would have made or removed the wrapper's own key.
    EXPECT_FALSE(machineKeyExists(procrunKey("TC10")));
    EXPECT_EQ(machineText("SYSTEM\\CurrentControlSet\\Services\\TC10", "VelmoraInstallMark"), "<missing>");
    EXPECT_EQ(storedNumber("TC10", "installedaservice"), 0u);

    // An older store (or a restored backup) says TC10 is installed, with no record: still not Velmora's.
    storeConfiguration("TC10", {{}, {{"installedaservice", 1}}, {}});
    const std::string notRecorded =
        "Warning: The configuration \"TC10\" is marked as installed but keeps no record of what Velmora installed (an "
        "older store or a restored backup), so the service \"TC10\" (it runs " +
        line +
        ") is not taken for Velmora's: Velmora neither stops, changes nor removes it. Nothing was changed. To manage "
        "it with Velmora, take it over on purpose: velmora-cli adopt TC10 --replace (File > Adopt... in the window). "
        "Deleting "
        "the configuration leaves the service as it is.\n";
    for (const char* command : {"stop TC10", "uninstall TC10 --yes", "set TC10 max.heap.size=512 --yes"}) {
        const CliRun refused = session.cli(command);
        EXPECT_EQ(refused.code, 3) << command << refused.out << refused.err;
        EXPECT_EQ(refused.err, notRecorded) << command;
    }
    const CliRun deleted = session.cli("delete TC10 --yes");
    EXPECT_EQ(deleted.code, 1) << deleted.err;
    EXPECT_TRUE(serviceRunning("TC10"));
    EXPECT_EQ(serviceConfig("TC10").programLine, line);
    EXPECT_EQ(machineText("SYSTEM\\CurrentControlSet\\Services\\TC10", "VelmoraInstallMark"), "<missing>");
    EXPECT_FALSE(storeHasKey("TC10"));
}

TEST(NotOurs, AnExactCopyOfTheWrapperThatAnotherServiceRunsIsNeitherRunNorDeleted) {
    Session session;
    const std::string shop = session.bin("shop.exe");
    ASSERT_TRUE(CopyFileW(wide(session.bin("tomcat.exe")).c_str(), wide(shop).c_str(), TRUE));
    const std::string line = quoted(shop) + " -service ShopSvc";
    removeService("ShopSvc");
    session.removeServiceAtEnd("ShopSvc");
    session.removeServiceAtEnd("shop");
    ASSERT_TRUE(createService("ShopSvc", line));
    ASSERT_TRUE(startService("ShopSvc"));

    EXPECT_EQ(session.cli("set shop description=new").code, 0);
    const std::string refusal =
        "The file " + shop + " is not a copy of " + session.bin("tomcat.exe") +
        " made by Velmora, so Velmora neither runs, replaces nor deletes it. Nothing was changed.";
    const CliRun install = session.cli("install shop --yes");
    EXPECT_EQ(install.code, 3);
    EXPECT_TRUE(holds(install.err, "Warning: " + refusal + "\n")) << install.err;

    // Marked installed as an older store left it, without a record; no service "shop" is there, so a save would
    // install one and a delete removes what Velmora made: neither runs or deletes the file.
    storeConfiguration("shop", {{}, {{"installedaservice", 1}}, {}});
    const CliRun save = session.cli("set shop description=newer --yes");
    EXPECT_EQ(save.code, 3) << save.out << save.err;
    EXPECT_TRUE(holds(save.err, "Warning: " + refusal + "\n")) << save.err;
    const CliRun remove = session.cli("delete shop --yes");
    EXPECT_EQ(remove.code, 0) << remove.err;
    EXPECT_EQ(remove.out, "Configuration \"shop\" deleted.\n");

    EXPECT_EQ(contentOf(shop), contentOf(session.bin("tomcat.exe")));
    EXPECT_TRUE(serviceRunning("ShopSvc"));
    EXPECT_EQ(serviceConfig("ShopSvc").programLine, line);
    EXPECT_FALSE(serviceRegistered("shop"));
    EXPECT_FALSE(storeHasKey("shop"));
}

TEST(NotOurs, AServiceRunningAProgramOfTheConfigurationsNameIsNeverStoppedOrRun) {
    Session session;
    const std::string program = session.bin("foo.EXE");
    ASSERT_TRUE(CopyFileW(wide(windowsPath(VELMORA_OTHER_SERVICE_EXE)).c_str(), wide(program).c_str(), TRUE));
    std::string line = quoted(program) + " -run-my-own-service";
    std::replace(line.begin(), line.end(), '\\', '/');
    removeService("Foo");
    session.removeServiceAtEnd("Foo");
    ASSERT_TRUE(createService("Foo", line));
    ASSERT_TRUE(startService("Foo"));

    EXPECT_EQ(session.cli("set Foo description=mine").code, 0);
    // Marked installed as an older store left it, without a record: not Velmora's.
    storeConfiguration("Foo", {{}, {{"installedaservice", 1}}, {}});
    const CliRun save = session.cli("set Foo description=again --yes");
    EXPECT_EQ(save.code, 3) << save.out << save.err;
    EXPECT_TRUE(holds(save.err, "is not taken for Velmora's: Velmora neither stops, changes nor removes it."))
        << save.err;
    const CliRun remove = session.cli("delete Foo --yes");
    EXPECT_EQ(remove.code, 1) << remove.err;  // done, with the warning
    EXPECT_TRUE(holds(remove.err,
                      "Warning: The configuration \"Foo\" keeps no record of what Velmora installed (an older "
                      "store or a restored backup), so the service \"Foo\" (it runs " +
                          line + ") is not taken for Velmora's and stays as it is.\n"))
        << remove.err;
    EXPECT_FALSE(storeHasKey("Foo"));

    EXPECT_TRUE(serviceRunning("Foo"));
    EXPECT_EQ(serviceConfig("Foo").programLine, line);
    // Started once by the service manager, never stopped, never run by anyone else.
    EXPECT_EQ(contentOf(program + ".log"), "run:-run-my-own-service\r\n");
}

TEST(NotOurs, AHungWrapperIsEndedAtTheBoundAndNoChildHoldsTheOutput) {
    Session session;
    session.removeServiceAtEnd("hx");
    session.removeServiceAtEnd("hy");
    ASSERT_EQ(session.cli("set hx description=hangs").code, 0);
    CliRun hung;
    {
        ScopedVariable hang("VELMORA_TEST_WRAPPER_HANGS", "1");
        hung = session.cli("install hx --yes");
    }
    EXPECT_EQ(hung.code, 1);
    EXPECT_TRUE(
        holds(hung.err, "Warning: The service wrapper did not register the service \"hx\" (" + session.bin("hx.exe") +
                            " did not finish within 30 seconds and was stopped). The service is not installed; see "
                            "the diagnostic report and the wrapper's own log for the reason.\n"))
        << hung.err;
    EXPECT_GE(hung.ms, 30000u);
    EXPECT_LT(hung.ms, 50000u);
    EXPECT_TRUE(hung.pipesEnded);
    EXPECT_FALSE(processRuns("hx.exe"));
    EXPECT_FALSE(fileExists(session.bin("hx.exe")));
    EXPECT_FALSE(serviceRegistered("hx"));
    EXPECT_EQ(storedNumber("hx", "installedaservice"), 0u);

    // A service that keeps running holds none of the output either.
    ASSERT_EQ(session.cli("set hy description=runs").code, 0);
    const CliRun install = session.cli("install hy --yes");
    EXPECT_EQ(install.code, 1) << install.err;  // the warnings of Wine's service manager
    EXPECT_TRUE(serviceRegistered("hy"));
    EXPECT_TRUE(install.pipesEnded);
    const CliRun start = session.cli("start hy");
    EXPECT_EQ(start.code, 0) << start.err;
    EXPECT_TRUE(holds(start.out, "Service \"hy\" is running after ")) << start.out;
    EXPECT_TRUE(start.pipesEnded);
    EXPECT_TRUE(serviceRunning("hy"));
    // The states a script reads from the service manager, each by its exit code.
    EXPECT_EQ(session.cli("status hy").code, 0);
    const CliRun stop = session.cli("stop hy");
    EXPECT_EQ(stop.out.rfind("Stopping the \"hy\" service...\nService \"hy\" stopped gracefully after ", 0), 0u)
        << stop.out << stop.err;
    const CliRun stopped = session.cli("status hy");
    EXPECT_EQ(stopped.code, 5);
    EXPECT_EQ(stopped.out.rfind("hy: not running\nLast stop (", 0), 0u) << stopped.out;
    EXPECT_EQ(session.cli("uninstall hy").code, 0);
    EXPECT_FALSE(serviceRegistered("hy"));
    EXPECT_EQ(session.cli("status hy").code, 6);

    // Without bin\tomcat.exe there is nothing to copy, and nothing is registered.
    DeleteFileW(wide(session.bin("tomcat.exe")).c_str());
    session.removeServiceAtEnd("hz");
    ASSERT_EQ(session.cli("set hz description=none").code, 0);
    const CliRun missing = session.cli("install hz --yes");
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(holds(missing.err, "The service wrapper " + session.bin("tomcat.exe") + " could not be copied to " +
                                       session.bin("hz.exe") + ": "))
        << missing.err;
    EXPECT_FALSE(serviceRegistered("hz"));
    EXPECT_EQ(storedNumber("hz", "installedaservice"), 0u);
}

TEST(NotOurs, ARemarkInTheHomesServiceScriptNeverReachesTheJvm) {
    Session session(Layout::Modern);
    session.removeServiceAtEnd("s9");
    makeFile(session.bin("service.bat"),
             "@echo off\r\n"
             "rem --JvmOptions9 \"-javaagent:C:\\Users\\Public\\agent.jar\"\r\n"
             "echo \"%EXECUTABLE%\" //IS//%SERVICE_NAME% --JvmOptions9 \"-javaagent:C:\\echo.jar\"\r\n"
             "\"%EXECUTABLE%\" //IS//%SERVICE_NAME% ^\r\n"
             "    --JvmOptions9 \"--add-opens=java.base/java.lang=ALL-UNNAMED#-Dscript.flag=on\" ^\r\n"
             "    --StartMode jvm\r\n");
    ASSERT_EQ(session.cli("set s9 description=script").code, 0);
    const CliRun install = session.cli("install s9 --yes");
    EXPECT_TRUE(serviceRegistered("s9")) << install.err;
    EXPECT_TRUE(holds(install.out, "The JVM options for Java 9 and later that the service was given:\nFrom " +
                                       session.bin("service.bat") +
                                       ", its install command:\n  --add-opens=java.base/java.lang=ALL-UNNAMED\n  "
                                       "-Dscript.flag=on\n"))
        << install.out;
    // What the wrapper keeps for the JVM: the script's install command, nothing of its remark or echo.
    EXPECT_EQ(machineValues(procrunKey("s9") + "\\Java").at("Options9"),
              "--add-opens=java.base/java.lang=ALL-UNNAMED|-Dscript.flag=on|");
    EXPECT_EQ(session.cli("uninstall s9 --yes").code, 0);
}

TEST(TakingTurns, CommandsRunTogetherLoseNoNameAndLeaveNoOrphan) {
    Session session;
    // Eight deployment tasks side by side: every name is on the list afterwards.
    std::vector<std::thread> tasks;
    std::vector<CliRun> runs(8);
    for (int i = 0; i < 8; ++i)
        tasks.emplace_back([&, i] { runs[i] = session.cli("set p" + std::to_string(i) + " description=task"); });
    for (auto& task : tasks) task.join();
    std::vector<std::string> names = storedNameList();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"p0", "p1", "p2", "p3", "p4", "p5", "p6", "p7"}));
    for (const auto& run : runs) EXPECT_EQ(run.code, 0) << run.err;

    // An install racing a delete: whichever goes first, the other sees what it left, and nothing is orphaned.
    session.removeServiceAtEnd("x");
    ASSERT_EQ(session.cli("set x description=race").code, 0);
    CliRun install, removal;
    std::thread installing([&] { install = session.cli("install x --yes"); });
    Sleep(100);
    removal = session.cli("delete x --yes");
    installing.join();
    EXPECT_TRUE(install.code == 8 || removal.code == 0) << install.err << removal.err;
    EXPECT_FALSE(serviceRegistered("x"));
    EXPECT_FALSE(fileExists(session.bin("x.exe")));
    EXPECT_FALSE(storeHasKey("x"));
}

}  // namespace
}  // namespace velmora::e2e
