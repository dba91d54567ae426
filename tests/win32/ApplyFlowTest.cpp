// velmora-cli apply under Wine: a document of desired states brought about
// on an empty machine, a second run that changes nothing, a change that
// touches one configuration, and --check that touches none.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "WindowDriver.h"
#include "e2eSession.h"

namespace velmora::e2e {
namespace {

using Lines = std::vector<std::string>;

// What a run could have written: the store's keys and the services' keys.
std::vector<std::uint64_t> writeTimes(const std::vector<std::string>& keys) {
    std::vector<std::uint64_t> times;
    for (const std::string& key : keys) times.push_back(machineKeyWritten(key));
    return times;
}

TEST(Apply, AFileOfThreeIsBroughtAboutAndOnlyWhatDiffersIsChangedAfterwards) {
    Session session;
    const std::string pid = std::to_string(GetCurrentProcessId());
    const std::string shop = "ApShop" + pid, blog = "ApBlog" + pid, spare = "ApSpare" + pid;
    const std::string file = session.root() + "\\fleet.json";
    for (const std::string& name : {shop, blog}) session.removeServiceAtEnd(name);
    const WrapperRuns runs(session.root() + "\\runs.txt");
    // No recovery after failures: what Wine's service manager keeps, so that it has nothing to refuse.
    const std::string noRecovery =
        ", \"service.recovery.first\": 0, \"service.recovery.second\": 0, \"service.recovery.later\": 0, "
        "\"service.recovery.reset\": 0, \"service.recovery.on.error.exit\": 0";
    auto document = [&](int heap) {
        makeFile(file, "{\"configurations\": [{\"name\": \"" + shop +
                           "\", \"state\": \"running\", \"max.heap.size\": " + std::to_string(heap) + noRecovery +
                           "}, {\"name\": \"" + blog + "\", \"state\": \"running\"" + noRecovery + "}, {\"name\": \"" +
                           spare + "\"}]}");
    };
    // The classic wrapper's command lines, unquoted as it reads them.
    auto installLine = [&](const std::string& name) {
        return session.bin(name + ".exe") + " -install " + name + " " + session.jdk() +
               "\\jre\\bin\\server\\jvm.dll -start main";
    };

    // On an empty machine, in one run: stored, installed and started.
    document(512);
    CliRun run = session.cli("apply " + file + " --yes");
    EXPECT_EQ(run.code, 10) << run.err;
    EXPECT_EQ(run.out, shop + ": changed; values: all (not stored yet); store, install, start\n" + blog +
                           ": changed; values: all (not stored yet); store, install, start\n" + spare +
                           ": changed; values: all (not stored yet); store\n"
                           "3 configuration(s): 3 changed, 0 unchanged, 0 failed.\n");
    EXPECT_EQ(runs.lines(), (Lines{installLine(shop), installLine(blog)}));
    EXPECT_TRUE(serviceRunning(shop));
    EXPECT_TRUE(serviceRunning(blog));
    EXPECT_FALSE(serviceRegistered(spare));
    EXPECT_EQ(storedNameList(), (Lines{shop, blog, spare}));
    EXPECT_EQ(storedNumber(shop, "max.heap.size"), 512u);
    EXPECT_EQ(storedNumber(blog, "installedaservice"), 1u);
    EXPECT_EQ(storedNumber(spare, "installedaservice"), 0u);

    // The same file again: nothing written, no wrapper run, no service started again.
    const std::vector<std::string> keys = {kStoreKey,
                                           std::string(kStoreKey) + "\\" + shop,
                                           std::string(kStoreKey) + "\\" + blog,
                                           std::string(kStoreKey) + "\\" + spare,
                                           "SYSTEM\\CurrentControlSet\\Services\\" + shop,
                                           "SYSTEM\\CurrentControlSet\\Services\\" + shop + "\\Parameters",
                                           "SYSTEM\\CurrentControlSet\\Services\\" + blog,
                                           "SYSTEM\\CurrentControlSet\\Services\\" + blog + "\\Parameters"};
    const std::vector<std::uint64_t> written = writeTimes(keys);
    EXPECT_EQ(std::count(written.begin(), written.end(), 0u), 0);  // every key is there
    const auto blogValues = machineValues(keys[2]);
    const DWORD shopProcess = serviceProcessId(shop), blogProcess = serviceProcessId(blog);
    ASSERT_NE(shopProcess, 0u);
    ASSERT_NE(blogProcess, 0u);
    Sleep(50);  // a write now would get a later time than the ones read
    run = session.cli("apply " + file + " --yes");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, shop + ": unchanged\n" + blog + ": unchanged\n" + spare +
                           ": unchanged\n3 configuration(s): 0 changed, 3 unchanged, 0 failed.\n");
    EXPECT_EQ(writeTimes(keys), written);
    EXPECT_EQ(runs.lines().size(), 2u);
    EXPECT_EQ(serviceProcessId(shop), shopProcess);
    EXPECT_EQ(serviceProcessId(blog), blogProcess);

    // A changed heap size: exactly that configuration's start-up value is changed in place, no wrapper runs, and
    // with --yes it is restarted to take it; the other two keep their values and their service.
    document(1024);
    run = session.cli("apply " + file + " --yes");
    EXPECT_EQ(run.code, 10) << run.err;
    EXPECT_EQ(run.out,
              shop + ": changed; values: max.heap.size; store, change the service in place (takes a restart)\n" + blog +
                  ": unchanged\n" + spare + ": unchanged\n3 configuration(s): 1 changed, 2 unchanged, 0 failed.\n");
    EXPECT_EQ(runs.lines(), (Lines{installLine(shop), installLine(blog)}));
    EXPECT_EQ(storedNumber(shop, "max.heap.size"), 1024u);
    EXPECT_EQ(machineText(keys[5], "JVM Option Number 7"), "-Xmx1024m");
    EXPECT_TRUE(serviceRunning(shop));
    EXPECT_NE(serviceProcessId(shop), shopProcess);
    EXPECT_EQ(serviceProcessId(blog), blogProcess);
    EXPECT_EQ(machineValues(keys[2]), blogValues);
    EXPECT_EQ(machineKeyWritten(keys[3]), written[3]);
    EXPECT_EQ(machineKeyWritten(keys[6]), written[6]);
}

}  // namespace
}  // namespace velmora::e2e
