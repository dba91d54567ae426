// upgrade under Wine: a running Tomcat 10.1 moves to 11, then to a home that never answers and back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WindowDriver.h"
#include "e2eSession.h"
#include "platform/win32/WideText.h"

namespace velmora::e2e {
namespace {

TEST(Upgrade, ARunningServiceMovesToTheNewHomeAndBackWhenTomcatDoesNotAnswer) {
    Session session(Layout::Modern);
    const std::string pid = std::to_string(GetCurrentProcessId()), name = "Upgrade" + pid;
    const std::string port = std::to_string(20000 + GetCurrentProcessId() % 20000);
    session.removeServiceAtEnd(name);
    // Three homes of the stand-in wrapper, each declaring its version, and a base of the service's own with a
    // connector on the port.
    auto makeHome = [&](const std::string& version, const std::string& major) {
        const std::string home = session.root() + "\\tomcat-" + version;
        makeCatalinaHome(home, Layout::Modern);
        CopyFileW(wide(session.bin("tomcat10.exe")).c_str(), wide(home + "\\bin\\tomcat" + major + ".exe").c_str(),
                  FALSE);
        if (major != "10") DeleteFileW(wide(home + "\\bin\\tomcat10.exe").c_str());
        makeFile(home + "\\RELEASE-NOTES", "                     Apache Tomcat Version " + version + "\r\n");
        return home;
    };
    const std::string base = session.root() + "\\base-" + pid;
    for (const char* folder : {"\\conf", "\\logs", "\\temp", "\\webapps", "\\work"}) makeFolders(base + folder);
    for (const char* file : {"\\conf\\catalina.policy", "\\conf\\logging.properties"}) makeFile(base + file);
    makeFile(base + "\\conf\\server.xml",
             "<?xml version=\"1.0\"?>\r\n<Server port=\"-1\" shutdown=\"SHUTDOWN\">"
             "<Service name=\"Catalina\"><Connector port=\"" +
                 port + "\"/></Service></Server>\r\n");
    const std::string old = makeHome("10.1.34", "10"), next = makeHome("11.0.2", "11"), deaf = makeHome("11.0.3", "11");
    makeFile(deaf + "\\bin\\standin-connectors.txt", "never");
    const CliRun made = session.cli("set " + name + " tomcat.home=" + old + " catalina.base=" + base + kNoRecovery +
                                    " service.start.timeout=4 --yes");
    ASSERT_EQ(made.code, 0) << made.out << made.err;
    ASSERT_EQ(session.cli("install " + name).code, 0);
    ASSERT_EQ(session.cli("start " + name).code, 0);

    // The check alone: the JDK's own java.exe refuses an option its version removed, and nothing stops.
    ASSERT_EQ(session.cli("set " + name + " additional.jvm.options=-XX:+UseParNewGC").code, 0);
    CliRun run = session.cli("upgrade " + name + " --home " + next + " --check");
    EXPECT_EQ(run.code, 4) << run.out << run.err;
    EXPECT_TRUE(holds(run.out, "Problem: Remove -XX:+UseParNewGC from the additional options")) << run.out;
    run = session.cli("set " + name + " additional.jvm.options=");
    ASSERT_EQ(run.code, 0) << run.out << run.err;
    EXPECT_TRUE(serviceRunning(name));

    run = session.cli("upgrade " + name + " --home " + next + " --yes");
    EXPECT_EQ(run.code, 0) << run.out << run.err;
    EXPECT_TRUE(holds(run.out, "Service \"" + name + "\" upgraded from " + old + " to " + next + ". Tomcat was down "))
        << run.out;
    EXPECT_EQ(serviceConfig(name).programLine, quoted(next + "\\bin\\tomcat11.exe") + " //RS//" + name);
    EXPECT_EQ(session.cli("status " + name).code, 0);

    run = session.cli("upgrade " + name + " --home " + deaf + " --yes");
    EXPECT_EQ(run.code, 1) << run.out << run.err;
    EXPECT_TRUE(
        holds(run.err, "failed: Service \"" + name + "\" runs, but port " + port + " did not answer within 4 s."))
        << run.err;
    EXPECT_TRUE(holds(run.err, "It was rolled back: the service runs on " + next + " as it did.")) << run.err;
    EXPECT_EQ(serviceConfig(name).programLine, quoted(next + "\\bin\\tomcat11.exe") + " //RS//" + name);
    EXPECT_TRUE(serviceRunning(name));
    EXPECT_EQ(session.cli("status " + name).code, 0);  // running and answering on the old home
    EXPECT_EQ(storedText(name, "tomcat.home"), next);
    EXPECT_EQ(session.cli("uninstall " + name + " --yes").code, 0);
}

}  // namespace
}  // namespace velmora::e2e
