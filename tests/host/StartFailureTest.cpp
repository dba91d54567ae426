// Why a start failed, read out of what that start, and no earlier one, left
// behind: the causes Velmora knows and the lines they come from.
#include <nlohmann/json.hpp>

#include "config/Encodings.h"
#include "service/ServiceNames.h"
#include "service/StartDiagnosis.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;
using Fate = MemoryServices::ScriptedStart::Fate;

namespace {

// Tomcat 10 in C:\tomcat10 on JDK 21, installed as "shop" and stopped.
class StartFailureTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        useModernLayout();
        saveNew("shop");
        editing.addOption("-XX:+UseParNewGC");
        ASSERT_TRUE(session.install().done());
        ui.forget();
    }
    // How the next starts of "shop" go: see MemoryServices::ScriptedStart.
    void script(Fate fate, std::uint32_t stopsAfterMs, std::uint32_t exitCode, std::uint32_t serviceExitCode,
                std::vector<std::pair<std::string, std::string>> writes = {}, std::string netOutput = {},
                std::vector<ServiceManagerEvent> events = {}) {
        os.services.services["shop"].script = {
            fate, stopsAfterMs, exitCode, serviceExitCode, std::move(writes), std::move(events), std::move(netOutput)};
    }
};

}  // namespace

TEST_F(StartFailureTest, AStartThatStaysUpCostsOnlyTheWaitAndAFailedOneSaysWhyFromItsOwnLines) {
    const std::string errLog = "C:\\tomcat10\\logs\\shop_err.log";
    // An earlier start's lines stay in the file; they are never blamed again.
    // The most telling cause of all stands there, so blaming it would show.
    os.files.addFile(errLog,
                     "Error: A command line option has attempted to allow or enable the Security Manager.\r\n"
                     "Error: Could not create the Java Virtual Machine.\r\n");
    os.clock.sleep(60000);

    os.clock.slept = 0;
    ASSERT_TRUE(session.start().done());
    EXPECT_EQ(os.clock.slept, 3000u);  // the stay-up wait and nothing more
    ASSERT_TRUE(session.stop().done());

    script(Fate::DiesStarting, 0, 1066, 4,
           {{errLog, "Unrecognized VM option 'UseParNewGC'\r\nError: Could not create the Java Virtual Machine.\r\n"},
            {"C:\\tomcat10\\logs\\commons-daemon.2026-12-07.log",
             "[2026-12-07 00:01:00] [error] [ 4242] Failed creating Java C:\\jdk-21\\bin\\server\\jvm.dll\r\n"}},
           "The shop service could not be started.\r\n\r\nA service specific error occurred: 4.\r\n");
    const Outcome started = session.start();
    ASSERT_TRUE(started.startFailure);
    EXPECT_EQ(started.summary,
              "Remove -XX:+UseParNewGC from the additional options: the JVM at C:\\jdk-21 does not know "
              "it (shop_err.log, line 3).");
    EXPECT_EQ(started.startFailure->file, errLog);
    EXPECT_EQ(started.startFailure->line, 3u);
    EXPECT_EQ(started.startFailure->filesRead,
              (std::vector<std::string>{errLog, "C:\\tomcat10\\logs\\commons-daemon.2026-12-07.log"}));
    EXPECT_EQ(ui.warnings, std::vector<std::string>{started.summary + "\r\n\r\nUnrecognized VM option 'UseParNewGC'"});
    EXPECT_EQ(ui.failedStartCause, "a JVM option the JVM rejects (-XX:+UseParNewGC)");

    // The cause stays with the service, for the report and another process, until a start succeeds.
    CheckResult check = session.checkConfiguration(ReportOpening::Never);
    ASSERT_EQ(check.report.sections.size(), 2u);
    EXPECT_EQ(check.report.sections[0].title, "JVM options for Java 9 and later");
    EXPECT_EQ(check.report.sections[1].title, "Last failed start");
    EXPECT_EQ(
        check.report.sections[1].lines,
        (std::vector<std::string>{"At: 2026-12-07T00:01:03Z", "Cause: a JVM option the JVM rejects (-XX:+UseParNewGC)",
                                  "From: C:\\tomcat10\\logs\\shop_err.log, line 3"}));
    // Only the cause, the file and the line are kept where every local user may read: no log text.
    EXPECT_EQ(velmora::storedList(os.registry.read(kLocalMachine, serviceKey("shop"), "VelmoraLastFailedStart")),
              (std::vector<std::string>{"cause-file-line", "134410752630000000",
                                        "a JVM option the JVM rejects (-XX:+UseParNewGC)",
                                        "C:\\tomcat10\\logs\\shop_err.log", "3"}));
    // What does not parse (numbers out of range, an earlier form with log lines) is dropped with a notice.
    for (const std::vector<std::string>& kept :
         {std::vector<std::string>{"cause-file-line", "99999999999999999999999", "x", "-", "1"},
          std::vector<std::string>{"134410752600000000", "x", "sentence", "-", "18446744073709551616", "0", "log"}}) {
        os.registry.write(kLocalMachine, serviceKey("shop"),
                          {RegistryWrite::listValue("VelmoraLastFailedStart", kept)});
        const CliRun status = runCli(os, {"status", "shop"});
        EXPECT_EQ(status.code, 5);
        EXPECT_EQ(status.out,
                  "What was kept of the last failed start of the service \"shop\" could not be read, and was "
                  "dropped.\nshop: not running\n");
        EXPECT_FALSE(os.registry.read(kLocalMachine, serviceKey("shop"), "VelmoraLastFailedStart"));
    }
    os.services.services["shop"].script.reset();
    ASSERT_TRUE(session.start().done());
    ASSERT_TRUE(session.stop().done());
    EXPECT_FALSE(session.lastFailedStart());
    EXPECT_EQ(ui.failedStartCause, "");
}

TEST_F(StartFailureTest, TheServiceManagersOwnCodesTodaysCatalinaLogAndNoKnownCauseStillSayWhatHappened) {
    script(Fate::DiesStarting, 0, 1077, 0, {},
           "System error 1069 has occurred.\r\n\r\nThe service did not start due to a logon failure.\r\n");
    EXPECT_EQ(session.start().summary,
              "The account NT SERVICE\\shop could not log on: check its password and that it may "
              "log on as a service (the service manager, error 1069).");

    // Never finishing its start: given up at the bound.
    script(Fate::HangsStarting, 0, 0, 0);
    os.clock.slept = 0;
    const Outcome hung = session.start();
    EXPECT_EQ(os.clock.slept, 60000u);
    EXPECT_EQ(hung.summary,
              "The service was still starting after 60 seconds: Tomcat may be slow to start or hang; see "
              "its last lines (the service manager).");
    os.services.services["shop"].started = os.services.services["shop"].starting = false;

    // Nothing known: the last lines of the newest file, and every file read.
    std::string lines;
    for (int i = 1; i <= 11; ++i) lines += "line " + std::to_string(i) + "\r\n";
    lines += "line 12\x1B]0;pwned\x07\x1B[2K\r\n";  // a line that would retitle and clear a console
    script(Fate::StopsLater, 500, 1067, 0, {{"C:\\tomcat10\\logs\\shop_out.log", lines}}, {},
           {{0, 7034, {"shop", "1"}}});
    const Outcome unknown = session.start();
    ASSERT_TRUE(unknown.startFailure);
    EXPECT_EQ(unknown.summary,
              "Service \"shop\" stopped soon after it started (error 1067: the process terminated "
              "unexpectedly). The last lines of C:\\tomcat10\\logs\\shop_out.log follow; read: "
              "C:\\tomcat10\\logs\\shop_out.log.");
    EXPECT_EQ(unknown.startFailure->line, 3u);
    EXPECT_EQ(unknown.startFailure->evidence.front(), "line 3");
    EXPECT_EQ(lastOf(unknown.startFailure->evidence), "line 12\\x1B]0;pwned\\x07\\x1B[2K");

    // velmora-cli: exit code 1, the cause as data, and status carries it.
    CliRun r = runCli(os, {"status", "shop", "--json"});
    EXPECT_EQ(r.code, 5);
    const auto status = nlohmann::json::parse(r.out);
    EXPECT_EQ(status["lastFailedStart"]["cause"], "it stopped after starting");
    EXPECT_EQ(status["lastFailedStart"]["line"], 3);
    EXPECT_EQ(status["lastFailedStart"]["at"], "2026-12-07T00:01:00Z");  // after the hung start's minute
    os.services.services["shop"].script->writes.clear();
    r = runCli(os, {"start", "shop", "--json"});
    EXPECT_EQ(r.code, 1);
    const auto failed = nlohmann::json::parse(r.out);
    EXPECT_EQ(failed["error"]["startFailure"]["filesRead"].size(), 0u);
    EXPECT_NE(failed["error"]["message"].get<std::string>().find("Nothing was written since the start to any of: "
                                                                 "C:\\tomcat10\\logs\\shop_err.log, "),
              std::string::npos);

    // A Tomcat that stops soon after its start: today's catalina log says why, not yesterday's.
    os.files.addFile("C:\\tomcat10\\logs\\catalina.2026-12-06.log",
                     "SEVERE [main] org.apache.tomcat.util.digester.Digester.fatalError Parse fatal error at line [12] "
                     "column [5]\r\n");
    os.clock.sleep(1000);
    script(Fate::StopsLater, 1500, 0, 0,
           {{"C:\\tomcat10\\logs\\catalina.2026-12-07.log",
             "07-Dec-2026 00:00:01.200 INFO [main] org.apache.catalina.startup.Catalina.load Server initialization\r\n"
             "07-Dec-2026 00:00:01.300 SEVERE [main] org.apache.catalina.core.StandardService.initInternal Failed to "
             "initialize connector [Connector[HTTP/1.1-8080]]\r\n"
             "\torg.apache.catalina.LifecycleException: Protocol handler initialization failed\r\n"
             "Caused by: java.net.BindException: Address already in use: bind\r\n"}});
    const Outcome started = session.start();
    ASSERT_TRUE(started.startFailure);
    EXPECT_EQ(started.summary,
              "Port 8080 is already in use by another program: stop that program or change the port in "
              "C:\\tomcat10\\conf\\server.xml (catalina.2026-12-07.log, line 4).");
    EXPECT_EQ(ui.failedStartCause, "port 8080 is in use");
}

TEST(StartDiagnosis, OtherSpellingsOfACauseAndCodesWineNeverGivesAreNamed) {
    Configuration c;
    c.javaHome = "C:\\jdk-24";
    c.tomcatConfigFile = "C:\\tc\\conf\\server.xml";
    auto diagnosed = [&](const std::string& line) {
        StartEvidence evidence;
        evidence.serviceName = "shop";
        evidence.files = {{"C:\\tc\\logs\\some.log", "System.err", 7, {"first", line}, 0}};
        return diagnoseStart(evidence, {c, "NT SERVICE\\shop", "C:\\jdk-24\\bin\\server\\jvm.dll", true});
    };
    // Other spellings of causes the Wine tests meet in one spelling, told by their short cause.
    const std::pair<const char*, const char*> spellings[] = {
        {"Unrecognized option: -Xfoo", "a JVM option the JVM rejects (-Xfoo)"},
        {"java.lang.NoClassDefFoundError: org/apache/catalina/startup/Bootstrap", "the start class was not found"},
        {"java.nio.file.AccessDeniedException: C:\\tc\\work\\Catalina", "access denied on C:\\tc\\work"},
        {"SEVERE [main] Digester.fatalError Parse Fatal Error at line [12] column [5]",
         "the Tomcat config file does not parse"},
    };
    for (const auto& [line, cause] : spellings) EXPECT_EQ(diagnosed(line).cause, cause) << line;

    StartEvidence deleted;
    deleted.serviceName = "shop";
    deleted.state.exitCode = 1072;
    EXPECT_EQ(diagnoseStart(deleted, {c, "NT SERVICE\\shop", "", true}).sentence,
              "The service is marked for deletion: close the Services console and any other program that has it open, "
              "or restart Windows, then install it again (the service manager, error 1072).");
}
