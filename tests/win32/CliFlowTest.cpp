// velmora-cli.exe as a script runs it: against the real registry and service
// manager, with the stand-in wrapper as bin\tomcat.exe, its exit code and
// output read as a caller would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "WindowDriver.h"
#include "e2eSession.h"

namespace velmora::e2e {
namespace {

using Names = std::vector<std::string>;

TEST(CommandLine, OneConfigurationThroughEveryCommand) {
    Session session;
    const std::string name = "VelmoraCli" + std::to_string(GetCurrentProcessId()), q = quoted(name);
    const std::string home = session.home(), account = home + "\\logs\\" + name + "_out.log";
    session.removeServiceAtEnd(name);
    // The service's account of its launch, once it holds the line.
    auto accountWith = [&](const std::string& line) {
        waitUntil([&] { return holds(contentOf(account), line); });
        return contentOf(account);
    };

    // set creates from the defaults; list and show read it back.
    CliRun run = session.cli("set " + name + " max.heap.size=256 additional.jvm.options=-Dcli=1 description=scripted");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "Instance saved as " + q + ".\n");
    EXPECT_EQ(storedText(name, "tomcat.home"), home);
    EXPECT_EQ(storedText(name, "description"), "scripted");
    EXPECT_EQ(storedNumber(name, "max.heap.size"), 256u);
    EXPECT_EQ(storedOptions(name), Names{"-Dcli=1"});
    EXPECT_EQ(session.cli("list").out, name + "\n");
    const CliRun show = session.cli("show " + name);
    EXPECT_TRUE(holds(show.out, "\ntomcat.home = " + home + "\n")) << show.out;
    EXPECT_TRUE(holds(show.out, "\nadditional.jvm.options = -Dcli=1\n")) << show.out;
    EXPECT_TRUE(holds(show.out, "\ninstalled = 0\nstatus = not installed\n")) << show.out;
    run = session.cli("check " + name);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "No problems found; the report is " + session.bin("quenby-" + name + "-debug.html") + "\n");

    // Installed, with the warnings of Wine's service manager, which make it a failure for a script.
    std::string warned;
    for (const std::string& warning : wineSettingsWarnings(name)) warned += "Warning: " + warning + "\n";
    run = session.cli("install " + name);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "Service " + q + " installed.\n");
    EXPECT_EQ(run.err, warned + "A warning came up.\n");
    EXPECT_TRUE(serviceRegistered(name));
    run = session.cli("start " + name);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "Starting the " + q + " service...\nService " + q + " is running.\n");
    // The wrapper started the JVM with the options in their order and the JDK's server JVM.
    const std::string started = accountWith("start: ");
    EXPECT_TRUE(holds(started, "option 0: -Dcatalina.home=" + home + "\r\n")) << started;
    EXPECT_TRUE(holds(started, "option 6: -Xrs\r\noption 7: -Xmx256m\r\noption 8: -Dcli=1\r\nSystem.out: ")) << started;
    EXPECT_TRUE(holds(started, "library: " + session.jdk() + "\\jre\\bin\\server\\jvm.dll\r\n")) << started;

    // A change while it runs is stored only when the question is answered Yes: then it is restarted with it.
    run = session.cli("set " + name + " max.heap.size=300");
    EXPECT_EQ(run.code, 3);
    EXPECT_TRUE(holds(run.err,
                      "Confirm: This configuration is also installed as a running service. To update the "
                      "configuration, the service will be also be stopped and restarted. Continue?\n"
                      "  -> No (--yes answers Yes)\n"))
        << run.err;
    EXPECT_EQ(storedNumber(name, "max.heap.size"), 256u);
    run = session.cli("set " + name + " max.heap.size=300 --yes");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, warned + "A warning came up.\n");
    EXPECT_TRUE(holds(accountWith("option 7: -Xmx300m\r\n"), "option 7: -Xmx300m\r\n"));
    run = session.cli("status " + name + " --json");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "{\n  \"name\": " + q + ",\n  \"status\": \"running\"\n}\n");

    // An installed configuration is deleted only when the question is answered Yes.
    EXPECT_EQ(session.cli("delete " + name).code, 3);
    EXPECT_EQ(storedNameList(), Names{name});

    run = session.cli("stop " + name);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "Stopping the " + q + " service...\nService " + q + " is not running.\n");
    run = session.cli("status " + name);
    EXPECT_EQ(run.code, 5);
    EXPECT_EQ(run.out, name + ": not running\n");
    EXPECT_EQ(session.cli("uninstall " + name).code, 0);
    EXPECT_FALSE(serviceRegistered(name));
    run = session.cli("status " + name);
    EXPECT_EQ(run.code, 6);
    EXPECT_EQ(run.out, name + ": not installed\n");

    // Exported, deleted and imported again, it is as it was.
    const std::string file = session.root() + "\\cli.json";
    EXPECT_EQ(session.cli("export " + name + " --out " + file).code, 0);
    run = session.cli("delete " + name);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "Deleted instance " + q + ".\n");
    run = session.cli("status " + name);
    EXPECT_EQ(run.code, 8);
    EXPECT_EQ(run.err, "No configuration named " + q + " is stored.\n");
    run = session.cli("import " + file);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "Imported 1 configuration(s): " + name + "\n");
    EXPECT_EQ(storedText(name, "description"), "scripted");
    EXPECT_EQ(storedNumber(name, "max.heap.size"), 300u);
    EXPECT_EQ(storedOptions(name), Names{"-Dcli=1"});

    // A value that a check warns about is stored only with --force; the check then finds it.
    const std::string missing = session.root() + "\\missing.xml";
    run = session.cli("set " + name + " tomcat.config=" + missing);
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(holds(run.err, "Warning: '" + missing +
                                   "' is specified for 'Tomcat Config File' but it does not exist. "
                                   "Tomcat may not start without it.\n"))
        << run.err;
    EXPECT_EQ(storedText(name, "tomcat.config"), home + "\\conf\\server.xml");
    EXPECT_EQ(session.cli("set " + name + " tomcat.config=" + missing + " --force").code, 0);
    EXPECT_EQ(storedText(name, "tomcat.config"), missing);
    run = session.cli("check " + name);
    EXPECT_EQ(run.code, 4);
    EXPECT_EQ(run.out, "Problems found; the report is " + session.bin("quenby-" + name + "-debug.html") + "\n");

    // Wrong command lines and refused names change nothing.
    EXPECT_EQ(session.cli("set " + name + " max.heap.size=40000").code, 2);
    EXPECT_EQ(session.cli("frobnicate").code, 2);
    EXPECT_EQ(session.cli("set web\\app description=x").code, 3);
    EXPECT_EQ(storedNumber(name, "max.heap.size"), 300u);
    EXPECT_EQ(storedNameList(), Names{name});

    // Stored as installed while the service manager knows no such service: the state is unknown.
    storeConfiguration(name, {{}, {{"installedaservice", 1}}, {}});
    run = session.cli("status " + name);
    EXPECT_EQ(run.code, 7);
    EXPECT_EQ(run.out, name + ": unknown\n");
}

}  // namespace
}  // namespace velmora::e2e
