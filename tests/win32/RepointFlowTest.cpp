// velmora-cli repoint under Wine: a JDK update took the folder of the JDK an
// installed, running Tomcat 10 service uses; the newest registered JDK of the
// same version takes its place and nothing else changes.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "WindowDriver.h"
#include "e2eSession.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Registry.h"

namespace velmora::e2e {
namespace {

using Lines = std::vector<std::string>;

TEST(Repoint, AGoneJdkIsReplacedByTheNewestOfItsVersionAndNothingElseChanges) {
    Session session(Layout::Modern);
    const std::string name = "Repoint" + std::to_string(GetCurrentProcessId()), home = session.home();
    const std::string old = session.root() + "\\jdk-21.0.4", updated = session.root() + "\\jdk-21.0.6";
    const std::string registered = "SOFTWARE\\JavaSoft\\JDK\\21.0.6";
    const std::string store = std::string(kStoreKey) + "\\" + name,
                      service = "SYSTEM\\CurrentControlSet\\Services\\" + name;
    const std::string wrapperKey = procrunKey(name) + "\\Java";
    session.removeServiceAtEnd(name);
    makeJdk(old, Layout::Modern);
    makeJdk(updated, Layout::Modern);
    Win32Registry().write(kLocalMachine, registered, {RegistryWrite::textValue("JavaHome", updated)});
    const WrapperRuns runs(session.root() + "\\runs.txt");

    ASSERT_EQ(session.cli("set " + name + " java.home=" + old + " max.heap.size=256").code, 0);
    ASSERT_EQ(session.cli("install " + name).code, 1);  // with Wine's warnings of the recovery
    ASSERT_EQ(session.cli("start " + name).code, 0);
    const std::string account = home + "\\logs\\" + name + "_out.log";
    EXPECT_TRUE(holds(contentOf(account), "library: " + old + "\\bin\\server\\jvm.dll\r\n"));
    const auto storedBefore = machineValues(store), wrapperBefore = machineValues(wrapperKey);
    const auto serviceBefore = machineValues(service);
    const std::string line = serviceConfig(name).programLine;
    const std::size_t runsBefore = runs.lines().size();
    const DWORD process = serviceProcessId(name);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(storedBefore.at("java.home"), old);
    EXPECT_EQ(wrapperBefore.at("Jvm"), old + "\\bin\\server\\jvm.dll");

    // The update takes the folder away; repoint finds the registered JDK and restarts the service on it.
    std::filesystem::remove_all(std::filesystem::path(wide(old)));
    CliRun run = session.cli("repoint " + name + " --yes");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "Stopping the " + quoted(name) + " service...\nStarting the " + quoted(name) +
                           " service...\nConfiguration " + quoted(name) + " now uses the JDK at " + updated + ".\n");
    const Lines all = runs.lines();
    EXPECT_EQ(Lines(all.begin() + static_cast<std::ptrdiff_t>(runsBefore), all.end()),
              Lines{quoted(home + "\\bin\\tomcat10.exe") + " //US//" + name + " --Jvm \"" + updated +
                    "\\bin\\server\\jvm.dll\""});
    EXPECT_TRUE(serviceRunning(name));
    EXPECT_NE(serviceProcessId(name), process);
    EXPECT_TRUE(
        waitUntil([&] { return holds(contentOf(account), "library: " + updated + "\\bin\\server\\jvm.dll\r\n"); }));

    // Only the JDK's values differ: the Java home in the store, the JVM library in the wrapper's.
    auto storedAfter = machineValues(store), wrapperAfter = machineValues(wrapperKey);
    EXPECT_EQ(storedAfter.at("java.home"), updated);
    EXPECT_EQ(wrapperAfter.at("Jvm"), updated + "\\bin\\server\\jvm.dll");
    storedAfter["java.home"] = old;
    wrapperAfter["Jvm"] = old + "\\bin\\server\\jvm.dll";
    EXPECT_EQ(storedAfter, storedBefore);
    EXPECT_EQ(wrapperAfter, wrapperBefore);
    auto serviceAfter = machineValues(service);
    EXPECT_EQ(serviceAfter.erase("VelmoraLastStop"), 1u);  // the restart's stop, kept
    EXPECT_EQ(serviceAfter, serviceBefore);
    EXPECT_EQ(serviceConfig(name).programLine, line);

    EXPECT_EQ(session.cli("uninstall " + name + " --yes").code, 0);
    (void)Win32Registry().deleteKey(kLocalMachine, registered);
}

}  // namespace
}  // namespace velmora::e2e
