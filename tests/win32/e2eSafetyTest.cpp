// The real velmora.exe and velmora-cli.exe beside what they did not make:
// other vendors' services and files, and a wrapper that never returns.
// Each must stay as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

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
    EXPECT_FALSE(machineKeyExists("SOFTWARE\\Apache Software Foundation\\Procrun 2.0\\TC10"));
    EXPECT_EQ(machineText("SYSTEM\\CurrentControlSet\\Services\\TC10", "VelmoraInstallMark"), "<missing>");
    EXPECT_EQ(storedNumber("TC10", "installedaservice"), 0u);
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

    // Marked installed as an earlier Velmora left it, without a record: a save reinstalls, a delete removes.
    storeConfiguration("shop", {{}, {{"installedaservice", 1}}, {}});
    const CliRun save = session.cli("set shop description=newer --yes");
    EXPECT_EQ(save.code, 3) << save.out << save.err;
    EXPECT_TRUE(holds(save.err, "Warning: " + refusal + "\n")) << save.err;
    const CliRun remove = session.cli("delete shop --yes");
    EXPECT_EQ(remove.code, 0) << remove.err;
    EXPECT_EQ(remove.out, "Deleted instance \"shop\".\n");

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
    // Marked installed as an earlier Velmora left it: the line is not the one its wrapper registers.
    storeConfiguration("Foo", {{}, {{"installedaservice", 1}}, {}});
    const std::string notOurs =
        "The service \"Foo\" is not the one Velmora installed for this configuration (it now "
        "runs " +
        line + "), so Velmora neither stops, replaces nor removes it.";
    const CliRun save = session.cli("set Foo description=again --yes");
    EXPECT_EQ(save.code, 3) << save.out << save.err;
    EXPECT_TRUE(holds(save.err, "Warning: " + notOurs + "\n")) << save.err;
    const CliRun remove = session.cli("delete Foo --yes");
    EXPECT_EQ(remove.code, 1) << remove.err;  // done, with the warning
    EXPECT_TRUE(holds(remove.err, "Warning: " + notOurs + "\n")) << remove.err;
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
    EXPECT_TRUE(holds(start.out, "Service \"hy\" is running.\n")) << start.out;
    EXPECT_TRUE(start.pipesEnded);
    EXPECT_TRUE(serviceRunning("hy"));
    // The states a script reads from the service manager, each by its exit code.
    EXPECT_EQ(session.cli("status hy").code, 0);
    const CliRun stop = session.cli("stop hy");
    EXPECT_EQ(stop.out, "Stopping the \"hy\" service...\nService \"hy\" is not running.\n") << stop.err;
    const CliRun stopped = session.cli("status hy");
    EXPECT_EQ(stopped.code, 5);
    EXPECT_EQ(stopped.out, "hy: not running\n");
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

}  // namespace
}  // namespace velmora::e2e
