// The real programs beside services and files they did not make, and a wrapper that never returns.
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

// TC10 with the line Velmora would write, a wrapper copy, another program: never run, stopped or removed.
TEST(NotOurs, ServicesVelmoraDidNotMakeAreNeverRunStoppedReplacedOrDeleted) {
    Session session;
    const std::string tomcat10 = session.root() + "\\tomcat10";
    makeCatalinaHome(tomcat10, Layout::Modern);
    const std::string shop = session.bin("shop.exe"), foo = session.bin("foo.EXE");
    ASSERT_TRUE(CopyFileW(wide(session.bin("tomcat.exe")).c_str(), wide(shop).c_str(), TRUE));
    ASSERT_TRUE(CopyFileW(wide(windowsPath(VELMORA_OTHER_SERVICE_EXE)).c_str(), wide(foo).c_str(), TRUE));
    std::string fooLine = quoted(foo) + " -run-my-own-service";
    std::replace(fooLine.begin(), fooLine.end(), '\\', '/');
    const std::string tc10 = quoted(tomcat10 + "\\bin\\tomcat10.exe") + " //RS//TC10";
    const std::pair<std::string, std::string> services[] = {
        {"TC10", tc10}, {"ShopSvc", quoted(shop) + " -service ShopSvc"}, {"Foo", fooLine}};
    for (const auto& [service, line] : services) {
        removeService(service);  // left by an interrupted run
        session.removeServiceAtEnd(service);
        ASSERT_TRUE(createService(service, line));
        ASSERT_TRUE(startService(service));
    }
    session.removeServiceAtEnd("shop");

    // File > Save of a new configuration of that name stores it, nothing more; Install is refused.
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.type(IDC_SERVICE_NAME, "TC10", false));
    postCommand(session.main(), IDM_SAVE);
    EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"TC10\".");
    ASSERT_TRUE(session.waitUntilIdle());
    click(session.control(IDC_INSTALL));
    EXPECT_EQ(session.answer("Warning", IDOK),
              "A service named \"TC10\" already exists on this computer and was not "
              "installed by Velmora for this configuration (it runs " +
                  tc10 + "). Nothing was changed.");
    EXPECT_TRUE(session.screenshot("safety-tc10-refused"));
    EXPECT_EQ(session.cli("set shop description=new").code, 0);
    EXPECT_EQ(session.cli("install shop --yes").code, 3);  // shop.exe is no copy Velmora made

    // Marked installed as an older store left them, without a record: a save, a stop or an uninstall is refused,
    // a delete takes the configuration alone (with a warning where a service of the name runs).
    EXPECT_EQ(session.cli("set Foo description=mine").code, 0);
    for (const std::string name : {"TC10", "shop", "Foo"}) {
        storeConfiguration(name, {{}, {{"installedaservice", 1}}, {}});
        const std::vector<std::string> commands = {"set " + name + " description=again --yes", "stop " + name,
                                                   "uninstall " + name + " --yes"};
        // No service is named shop: only its save is refused, which would install over a file Velmora did not make.
        for (std::size_t i = 0; i < (name == "shop" ? 1u : commands.size()); ++i)
            EXPECT_EQ(session.cli(commands[i]).code, 3) << commands[i];
        const CliRun remove = session.cli("delete " + name + " --yes");
        EXPECT_EQ(remove.code, name == "shop" ? 0 : 1) << remove.err;
        EXPECT_FALSE(storeHasKey(name));
    }
    EXPECT_EQ(contentOf(shop), contentOf(session.bin("tomcat.exe")));
    for (const auto& [service, line] : services) {
        EXPECT_TRUE(serviceRunning(service)) << service;
        EXPECT_EQ(serviceConfig(service).programLine, line);
        EXPECT_EQ(machineText("SYSTEM\\CurrentControlSet\\Services\\" + service, "VelmoraInstallMark"), "<missing>");
    }
    // //IS// or //DS// would have made or removed the wrapper's own key.
    EXPECT_FALSE(machineKeyExists(procrunKey("TC10")));
    EXPECT_FALSE(serviceRegistered("shop"));
    // Started once by the service manager, never stopped, never run by anyone else.
    EXPECT_EQ(contentOf(foo + ".log"), "run:-run-my-own-service\r\n");
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
    EXPECT_TRUE(holds(hung.err, session.bin("hx.exe") + " did not finish within 30 seconds and was stopped)"))
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
    EXPECT_EQ(install.code, underWine() ? 1 : 0) << install.err;  // the warnings of Wine's service manager
    EXPECT_TRUE(serviceRegistered("hy"));
    EXPECT_TRUE(install.pipesEnded);
    const CliRun start = session.cli("start hy");
    EXPECT_EQ(start.code, 0) << start.err;
    EXPECT_TRUE(holds(start.out, "Service \"hy\" is running after ")) << start.out;
    EXPECT_TRUE(start.pipesEnded);
    EXPECT_TRUE(serviceRunning("hy"));
    // The states a script reads from the service manager, each by its exit code.
    EXPECT_EQ(session.cli("status hy").code, 0);
    EXPECT_EQ(session.cli("stop hy").code, 0);
    EXPECT_EQ(session.cli("status hy").code, 5);
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

TEST(TakingTurns, CommandsRunTogetherLoseNoName) {
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
    // velmora-cli itself runs in UTF-8, the wrapper and its JVM in the machine's code page (1252 here): a
    // character that one lacks is refused as it is set.
    const CliRun lacking = session.cli("set p0 \"additional.jvm.options=-Dshop.name=Us\xC5\x82ugi\"");
    EXPECT_EQ(lacking.code, 3) << lacking.err;
    EXPECT_NE(lacking.err.find("has no character for part of '-Dshop.name=Us\xC5\x82ugi'"), std::string::npos)
        << lacking.err;
    EXPECT_EQ(session.cli("set p0 \"additional.jvm.options=-Dcafe=Caf\xC3\xA9\"").code, 0);
}

}  // namespace
}  // namespace velmora::e2e
