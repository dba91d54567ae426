// Why a start failed, read only from what that start left behind.
#include <nlohmann/json.hpp>

#include <functional>
#include <optional>
#include <tuple>

#include "config/Encodings.h"
#include "service/ClassicWrapper.h"
#include "service/LastStop.h"
#include "service/ModernWrapper.h"
#include "service/Readiness.h"
#include "service/ServiceNames.h"
#include "service/StartDiagnosis.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;
using Fate = MemoryServices::ScriptedStart::Fate;

namespace {

// Tomcat 10 in C:\tomcat10 on JDK 21, installed as "shop", stopped; a start opens port 8080 at once.
class StartFailureTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        useModernLayout();
        os.files.addFile("C:\\tomcat10\\conf\\server.xml",
                         "<Server port=\"-1\"><Service><Connector port=\"8080\"/></Service></Server>");
        saveNew("shop");
        editing.addOption("-XX:+UseParNewGC");
        ASSERT_TRUE(session.install().done());
        serving(0);
        ui.forget();
    }
    // The next starts run and open the port so long after the start; never without a time.
    void serving(std::optional<std::uint32_t> afterMs) {
        auto& scripted = os.services.services["shop"].script.emplace();
        scripted.fate = Fate::Runs;
        scripted.opens = {"127.0.0.1:8080"};
        scripted.opensAfterMs = afterMs;
    }
    // How the next starts of "shop" go: see MemoryServices::ScriptedStart.
    void script(Fate fate, std::uint32_t stopsAfterMs, std::uint32_t exitCode, std::uint32_t serviceExitCode,
                std::vector<std::pair<std::string, std::string>> writes = {}, std::string netOutput = {},
                std::vector<ServiceManagerEvent> events = {}) {
        auto& scripted = os.services.services["shop"].script.emplace();
        scripted.fate = fate;
        scripted.stopsAfterMs = stopsAfterMs;
        scripted.exitCode = exitCode;
        scripted.serviceExitCode = serviceExitCode;
        scripted.writes = std::move(writes);
        scripted.events = std::move(events);
        scripted.netOutput = std::move(netOutput);
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
    EXPECT_EQ(os.clock.slept, 0u);  // no wait beyond the port's answer
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
    ASSERT_EQ(check.report.sections.size(), 3u);
    EXPECT_EQ(check.report.sections[0].title, "JVM options for Java 9 and later");
    EXPECT_EQ(check.report.sections[1].title, "Last failed start");
    EXPECT_EQ(check.report.sections[2].lines,
              (std::vector<std::string>{"State: Installed - Not Running",
                                        "Last stop: 2026-12-07T00:01:00Z, graceful after 0.0 s (stop timeout 30 s)"}));
    EXPECT_EQ(
        check.report.sections[1].lines,
        (std::vector<std::string>{"At: 2026-12-07T00:01:00Z", "Cause: a JVM option the JVM rejects (-XX:+UseParNewGC)",
                                  "From: C:\\tomcat10\\logs\\shop_err.log, line 3"}));
    // Only the cause, the file and the line are kept where every local user may read: no log text.
    EXPECT_EQ(velmora::storedList(os.registry.read(kLocalMachine, serviceKey("shop"), "VelmoraLastFailedStart")),
              (std::vector<std::string>{"cause-file-line", "134410752600000000",
                                        "a JVM option the JVM rejects (-XX:+UseParNewGC)",
                                        "C:\\tomcat10\\logs\\shop_err.log", "3"}));
    // A change whose restart fails stands, and the save fails with why Tomcat did not start again.
    serving(0);
    ASSERT_TRUE(session.start().done());
    script(Fate::DiesStarting, 0, 1066, 4, {{errLog, "Unrecognized VM option 'UseParNewGC'\r\n"}});
    ASSERT_TRUE(editing.edit(Field::MaxHeapSize, "1024").done());
    const Outcome saved = session.save();
    EXPECT_EQ(saved.result, Outcome::Result::Failed);
    EXPECT_EQ(saved.summary,
              "Configuration \"shop\" saved. Remove -XX:+UseParNewGC from the additional options: the JVM at "
              "C:\\jdk-21 does not know it (shop_err.log, line 5).");
    EXPECT_TRUE(saved.announcement.empty());
    EXPECT_EQ(storedNumber("shop", "max.heap.size"), 1024u);
    serving(0);
    ASSERT_TRUE(session.start().done());
    ASSERT_TRUE(session.stop().done());
    EXPECT_FALSE(os.registry.read(kLocalMachine, serviceKey("shop"), "VelmoraLastFailedStart"));
    EXPECT_EQ(ui.failedStartCause, "");
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
                  "dropped.\nshop: not running\nLast stop (2026-12-07T00:01:00Z): graceful after 0.0 s\n");
        EXPECT_FALSE(os.registry.read(kLocalMachine, serviceKey("shop"), "VelmoraLastFailedStart"));
    }
}

TEST_F(StartFailureTest, TheServiceManagersOwnCodesAndNoKnownCauseStillSayWhatHappened) {
    script(Fate::DiesStarting, 0, 1077, 0, {},
           "System error 1069 has occurred.\r\n\r\nThe service did not start due to a logon failure.\r\n");
    EXPECT_EQ(session.start().summary,
              "The account NT SERVICE\\shop could not log on: check its password and that it may "
              "log on as a service (the service manager, error 1069).");

    // The service manager's event names the display name, in the second the start began (the log keeps
    // whole seconds), and net's words are in another language.
    ASSERT_TRUE(editing.edit(Field::DisplayName, "Shop on Tomcat").done());
    ASSERT_TRUE(session.save().done());
    os.clock.sleep(500);
    script(Fate::DiesStarting, 0, 1077, 0, {}, "Systemfehler 1069 aufgetreten.\r\n",
           {{0, 7038, {"Shop on Tomcat", "NT SERVICE\\shop", "%%1069"}}});
    EXPECT_EQ(session.start().summary.substr(0, 60), "The account NT SERVICE\\shop could not log on: check its pass");
    os.clock.sleep(1000);  // the next start, a second later, does not see that event

    // Never finishing its start: given up at the bound.
    script(Fate::HangsStarting, 0, 0, 0);
    os.clock.slept = 0;
    const Outcome hung = session.start();
    EXPECT_EQ(os.clock.slept, 120000u);
    EXPECT_EQ(hung.summary,
              "The service was still starting after 120 seconds: Tomcat may be slow to start or hang; see "
              "its last lines (the service manager).");
    // Still starting is not stopped: a removal waits as long as a stop may take for the start to end, then fails
    // at its stop, and the service stays registered and recorded.
    // It is asked about as a running one.
    os.processes.ran.clear();
    os.clock.slept = 0;
    ui.forget();
    EXPECT_EQ(session.uninstall().summary,
              "The service \"shop\" did not take the stop; its state: start pending. Nothing more was done. net.exe "
              "said: The service could not be controlled in its present state.");
    EXPECT_EQ(ui.askedKinds(), std::vector<QuestionKind>{QuestionKind::UninstallRunning});
    EXPECT_EQ(os.processes.ran, std::vector<std::string>{"net stop \"shop\""});
    EXPECT_EQ(os.clock.slept, 60000u);
    EXPECT_TRUE(session.installed());
    // A start that ends while the stop waits for it is then stopped.
    os.services.services["shop"].startingUntil = os.clock.now() + 10 * kTicksPerSecond;
    os.clock.slept = 0;
    const Outcome stopped = session.stop();
    EXPECT_TRUE(stopped.done()) << stopped.summary;
    EXPECT_GE(os.clock.slept, 10000u);
    EXPECT_LT(os.clock.slept, 11000u);
    EXPECT_FALSE(os.services.services["shop"].started);
    os.services.services["shop"].started = os.services.services["shop"].starting = false;
    // Waiting for "running" alone, the bound is the service manager's minute.
    ASSERT_TRUE(editing.edit(Field::StartTimeout, "0").done());
    ASSERT_TRUE(session.save().done());
    os.clock.slept = 0;
    EXPECT_EQ(session.start().summary.substr(0, 48), "The service was still starting after 60 seconds:");
    EXPECT_EQ(os.clock.slept, 60000u);
    os.services.services["shop"].started = os.services.services["shop"].starting = false;
    ASSERT_TRUE(editing.edit(Field::StartTimeout, "120").done());
    ASSERT_TRUE(session.save().done());

    // Nothing known: the last lines of the newest file, and every file read.
    std::string lines;
    for (int i = 1; i <= 11; ++i) lines += "line " + std::to_string(i) + "\r\n";
    lines += "line 12\x1B]0;pwned\x07\x1B[2K\r\n";  // a line that would retitle and clear a console
    script(Fate::StopsLater, 500, 1067, 0, {{"C:\\tomcat10\\logs\\shop_out.log", lines}}, {},
           {{0, 7034, {"shop", "1"}}});
    // An earlier start's logon failure, logged in the same whole second just before this start, is not its cause.
    os.events.events.push_back({os.clock.now() - os.clock.now() % kTicksPerSecond, 7000, {"shop", "%%1069"}});
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
    EXPECT_EQ(status["lastFailedStart"]["at"],
              "2026-12-07T00:04:11Z");  // after the hung starts and the stops that waited for them
    os.services.services["shop"].script->writes.clear();
    r = runCli(os, {"start", "shop", "--json"});
    EXPECT_EQ(r.code, 1);
    const auto failed = nlohmann::json::parse(r.out);
    EXPECT_EQ(failed["error"]["startFailure"]["filesRead"].size(), 0u);
    EXPECT_NE(failed["error"]["message"].get<std::string>().find("Nothing was written since the start to any of: "
                                                                 "C:\\tomcat10\\logs\\shop_err.log, "),
              std::string::npos);

    // A lower stop timeout reaches the wrapper when it starts again: the stop before that is timed and judged
    // by the 30 s it runs with, so a 15 s stop is graceful, though the update has written the lower one.
    const auto wrapper = os.processes.onRun;
    const std::string stopKey =
        "SOFTWARE\\WOW6432Node\\Apache Software Foundation\\Procrun 2.0\\shop\\Parameters\\Stop";
    os.processes.onRun = [&, wrapper, stopKey](const std::string& command) {
        if (wrapper) wrapper(command);
        const std::size_t at = command.find(" --StopTimeout ");
        if (command.find(" //DS//shop") != std::string::npos)
            os.registry.deleteKey(kLocalMachine, stopKey);
        else if (at != std::string::npos)
            os.registry.write(kLocalMachine, stopKey,
                              {RegistryWrite::numberValue("Timeout", std::stoul(command.substr(at + 15)))});
    };
    serving(0);
    ASSERT_TRUE(session.start().done());
    os.services.services["shop"].stopScript = {15000, {}};
    ASSERT_TRUE(editing.edit(Field::StopTimeout, "10").done());
    // So is a stop while the lower value is typed and not saved yet.
    const Outcome typed = session.stop();
    ASSERT_TRUE(typed.stopped.has_value());
    EXPECT_TRUE(typed.stopped->graceful) << typed.summary;
    ASSERT_TRUE(session.start().done());
    ui.forget();
    const Outcome lowered = session.save();
    ASSERT_TRUE(lowered.done()) << lowered.summary;
    ASSERT_TRUE(lowered.stopped.has_value());
    EXPECT_TRUE(lowered.stopped->graceful);
    EXPECT_EQ(ui.warnings, std::vector<std::string>{});
    // Typed higher and not saved, the value changes nothing for an uninstall's stop: the 10 s it runs with
    // judge the same 15 s stop forced, also where the wrapper's own values cannot be read and the stored
    // ones stand for them.
    ASSERT_TRUE(editing.edit(Field::StopTimeout, "60").done());
    os.registry.deleteKey(kLocalMachine, stopKey);
    const Outcome removed = session.uninstall();
    ASSERT_TRUE(removed.stopped.has_value()) << removed.summary;
    EXPECT_FALSE(removed.stopped->graceful);
    // Installed again with 60 s and running, then deleted with 10 typed: the 15 s stop is no forced one.
    ASSERT_TRUE(session.install().done());
    serving(0);
    ASSERT_TRUE(session.start().done());
    os.services.services["shop"].stopScript = {15000, {}};
    ASSERT_TRUE(editing.edit(Field::StopTimeout, "10").done());
    os.registry.deleteKey(kLocalMachine, stopKey);
    ui.forget();
    EXPECT_TRUE(session.remove().done());
    EXPECT_EQ(ui.warnings, std::vector<std::string>{});
}

TEST_F(StartFailureTest, StartEndsWhenTomcatAnswersAndStatusAndStopSayWhereItStands) {
    // The port opens 2 s after the start: start returns then, and says how long each took.
    serving(2000);
    os.clock.slept = 0;
    CliRun r = runCli(os, {"start", "shop", "--json"});
    EXPECT_EQ(r.code, 0) << r.out;
    auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["runningAfterMs"], 0);
    EXPECT_EQ(json["readyAfterMs"], 2000);
    EXPECT_EQ(json["summary"], "Service \"shop\" is running after 0.0 s, serving after 2.0 s.");
    EXPECT_EQ(os.clock.slept, 2000u);
    r = runCli(os, {"status", "shop"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "shop: running (process 4001, running for 0 min 2 s)\n");

    // A stop that Tomcat finishes in 4.2 s is graceful, with Tomcat's last shutdown line.
    const std::string catalina = "C:\\tomcat10\\logs\\catalina.2026-12-07.log";
    const std::string wrapperLog = "C:\\tomcat10\\logs\\commons-daemon.2026-12-07.log";
    os.services.services["shop"].stopScript = {
        4200,
        {{catalina,
          "INFO [main] org.apache.coyote.AbstractProtocol.destroy Destroying ProtocolHandler "
          "[\"http-nio-8080\"]\r\n"}}};
    r = runCli(os, {"stop", "shop", "--json"});
    EXPECT_EQ(r.code, 0) << r.out;
    json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["stoppedAfterMs"], 4200);
    EXPECT_EQ(json["graceful"], true);
    EXPECT_EQ(json["summary"],
              "Service \"shop\" stopped gracefully after 4.2 s. catalina.2026-12-07.log: INFO [main] "
              "org.apache.coyote.AbstractProtocol.destroy Destroying ProtocolHandler [\"http-nio-8080\"]");

    // Edits not saved yet are not what the service runs with: Start waits for the stored port, not a typed URL.
    editing.edit(Field::ReadyUrl, "http://localhost:9999/never");
    serving(1000);
    EXPECT_EQ(session.start().summary, "Service \"shop\" is running after 0.0 s, serving after 1.0 s.");
    EXPECT_EQ(session.answer(*session.followQuestion()).status, ServiceStatus::Running);
    // A restart tells its stop and its start each on a line; a save that restarts for its change says
    // that Tomcat serves again, as start does.
    r = runCli(os, {"restart", "shop"});
    EXPECT_EQ(r.out,
              "Stopping the \"shop\" service...\nStarting the \"shop\" service...\n"
              "Service \"shop\" stopped gracefully after 4.2 s. catalina.2026-12-07.log: INFO [main] "
              "org.apache.coyote.AbstractProtocol.destroy Destroying ProtocolHandler [\"http-nio-8080\"]\n"
              "Service \"shop\" is running after 0.0 s, serving after 1.0 s.\n");
    r = runCli(os, {"set", "shop", "max.heap.size=512", "--restart"});
    EXPECT_EQ(r.out, "Configuration \"shop\" saved. Service \"shop\" is running after 0.0 s, serving after 1.0 s.\n");
    EXPECT_TRUE(session.stop().done());
    editing.edit(Field::ReadyUrl, "");
    // A start timeout of 0 is done once the service runs, whenever Tomcat answers.
    ASSERT_EQ(runCli(os, {"set", "shop", "service.start.timeout=0"}).code, 0);
    serving(3000);
    r = runCli(os, {"start", "shop"});
    EXPECT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(runCli(os, {"stop", "shop"}).code, 0);
    ASSERT_EQ(runCli(os, {"set", "shop", "service.start.timeout=120"}).code, 0);

    // Never answering: the start fails at the timeout, naming the port and what the log says;
    // status then says the service runs without serving.
    serving(std::nullopt);
    os.services.services["shop"].script->writes = {
        {catalina,
         "SEVERE [main] org.apache.catalina.core.StandardService.initInternal Failed to initialize "
         "connector [Connector[HTTP/1.1-8080]]\r\nCaused by: java.net.BindException: Address already "
         "in use: bind\r\n"}};
    const Outcome deaf = session.start();
    EXPECT_EQ(deaf.result, Outcome::Result::Failed);
    EXPECT_EQ(deaf.summary,
              "Service \"shop\" runs, but port 8080 did not answer within 120 s. Port 8080 is already in use by "
              "another program: stop that program or change the port in C:\\tomcat10\\conf\\server.xml "
              "(catalina.2026-12-07.log, line 7).");
    EXPECT_EQ(ui.failedStartCause, "port 8080 does not answer");
    EXPECT_EQ(os.events.written.back().id, 1101u);  // started, not ready
    // The window's follow, asked and answered apart: an answer is taken only for the service it was asked of.
    const auto asked = session.followQuestion();
    ASSERT_TRUE(asked.has_value());
    EXPECT_EQ(session.answer(*asked).unanswered, "port 8080");
    StatusCheck answering;
    answering.status = ServiceStatus::NotServing;
    answering.unanswered = "port 8443";
    session.takeFollowed({"other", {}}, answering, true);
    EXPECT_EQ(ui.failedStartCause, "port 8080 does not answer");
    session.takeFollowed(*asked, answering, false);  // the same state, for another reason: shown
    EXPECT_EQ(ui.failedStartCause, "port 8443 does not answer");
    session.refresh();
    r = runCli(os, {"status", "shop", "--json"});
    EXPECT_EQ(r.code, 13);
    json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["state"], "not-serving");
    EXPECT_EQ(json["notAnswering"], "port 8080");
    // apply takes a Tomcat that does not serve neither for running nor for one to start over.
    ASSERT_EQ(runCli(os, {"export", "shop", "--out", "C:\\shop.json"}).code, 0);
    json = nlohmann::json::parse(*os.files.readBytes("C:\\shop.json", 1 << 20));
    json["configurations"][0]["state"] = "running";
    os.files.addFile("C:\\shop.json", json.dump());
    os.processes.ran.clear();
    r = runCli(os, {"apply", "C:\\shop.json", "--yes"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out,
              "shop: FAILED\n  The service \"shop\" is running, not serving (port 8080 does not answer): apply "
              "starts only a stopped service and leaves this one as it is. Restart it, or read its logs.\n1 "
              "configuration(s): 0 changed, 0 unchanged, 1 failed.\n");
    EXPECT_TRUE(os.processes.ran.empty());

    // A port another program listened on before the start answers, but not for Tomcat: the start does not serve.
    ASSERT_TRUE(session.stop().done());
    os.network.listening = {{8080, {"0.0.0.0"}}};
    serving(0);
    const Outcome taken = session.start();
    EXPECT_EQ(taken.result, Outcome::Result::Failed);
    EXPECT_EQ(taken.summary.rfind("Service \"shop\" runs, but port 8080 (held by another program before the start) "
                                  "did not answer within 120 s.",
                                  0),
              0u)
        << taken.summary;
    // Status asks whose socket answers: another program's is no sign of this Tomcat; the service's own process,
    // or a JVM that its wrapper started, is. A connection reaches the socket on its own address first, then one
    // on every address of its kind.
    os.network.listening = {{8080, {"0.0.0.0", 900}}};
    r = runCli(os, {"status", "shop", "--json"});
    EXPECT_EQ(r.code, 13);
    EXPECT_EQ(nlohmann::json::parse(r.out)["notAnswering"], "port 8080 (held by another program, process 900)");
    const std::uint32_t tomcat = os.services.services["shop"].processId;
    os.network.listening = {{8080, {"::", 900}}, {8080, {"0.0.0.0", tomcat}}};
    EXPECT_EQ(runCli(os, {"status", "shop"}).code, 0);
    os.network.listening = {{8080, {"0.0.0.0", tomcat}}, {8080, {"127.0.0.1", 900}}};
    EXPECT_EQ(runCli(os, {"status", "shop"}).code, 13);
    os.network.listening = {{8080, {"0.0.0.0", 5120}}};
    os.processes.parents = {{5120, tomcat}, {900, 4}};
    EXPECT_EQ(runCli(os, {"status", "shop"}).code, 0);
    os.network.listening = {{8080, {"0.0.0.0", 900}}};
    EXPECT_EQ(runCli(os, {"status", "shop"}).code, 13);
    os.network.listening.clear();

    // Restart: a stop the wrapper had to end (past the 30 s stop timeout) is a warning with the
    // wrapper's line, then a start whose URL answers with a redirect after 0.3 s, as a health check takes.
    ASSERT_EQ(runCli(os, {"set", "shop", "service.ready.url=http://localhost:8080/health"}).code, 0);
    os.network.answers["localhost:8080/health"] = 302;
    os.network.answerAfterMs["localhost:8080/health"] = 300;
    os.network.accepting["localhost:8080"] = 0;
    serving(0);
    os.services.services["shop"].stopScript = {31000, {{wrapperLog, "[warn] Stop timeout reached, JVM ended\r\n"}}};
    r = runCli(os, {"restart", "shop"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "Warning: Tomcat did not stop within 30 s; the wrapper ended the JVM (the service \"shop\" stopped "
              "after 31.0 s). commons-daemon.2026-12-07.log: [warn] Stop timeout reached, JVM ended\nA warning came "
              "up.\n");
    EXPECT_EQ(r.out,
              "Stopping the \"shop\" service...\nStarting the \"shop\" service...\nService \"shop\" is running "
              "after 0.0 s, serving after 0.3 s.\n");
    EXPECT_EQ(runCli(os, {"status", "shop"}).code, 0);
    EXPECT_EQ(os.events.written.back().id, 1102u);  // the stop the wrapper forced
    EXPECT_EQ(os.events.written.back().strings[1].rfind("Tomcat did not stop within 30 s", 0), 0u);
    // The check warns of the next one: past 80% of the stop timeout, and past Windows' 5 s at shutdown.
    r = runCli(os, {"check", "shop", "--json"});
    EXPECT_EQ(r.code, 4);
    json = nlohmann::json::parse(r.out);
    ASSERT_EQ(json["problems"].size(), 2u);
    EXPECT_EQ(json["problems"][0]["kind"], "slow-stop");
    EXPECT_EQ(json["problems"][0]["field"], "service.stop.timeout");
    EXPECT_EQ(json["problems"][1]["message"],
              "The last stop of the service \"shop\" took 31.0 s, longer than Windows waits for a service when it "
              "shuts down (5.0 s, WaitToKillServiceTimeout): at a shutdown or restart of Windows, Tomcat is ended "
              "before it finishes stopping.");
    r = runCli(os, {"check", "shop"});  // in text, each as its warning
    EXPECT_NE(r.err.find("Warning: The last stop of the service \"shop\" took 31.0 s, longer than Windows waits"),
              std::string::npos)
        << r.err;
    os.registry.write(kLocalMachine, "SYSTEM\\CurrentControlSet\\Control",
                      {RegistryWrite::textValue("WaitToKillServiceTimeout", "40000")});
    EXPECT_EQ(nlohmann::json::parse(runCli(os, {"check", "shop", "--json"}).out)["problems"].size(), 1u);

    // The status gives a URL 5 s for its answer too: one that takes longer does not count.
    os.network.answerAfterMs["localhost:8080/health"] = 5001;
    os.clock.slept = 0;
    r = runCli(os, {"status", "shop"});
    EXPECT_EQ(r.code, 13);
    EXPECT_EQ(r.out.substr(0, r.out.find(" (")),
              "shop: running, not serving: http://localhost:8080/health does not answer");
    EXPECT_EQ(os.clock.slept, 5000u);
    os.network.answerAfterMs.erase("localhost:8080/health");

    // Every other state, and its exit code.
    auto& service = os.services.services["shop"];
    const std::pair<std::function<void()>, std::pair<int, std::string>> states[] = {
        // The URL's answers since the start took their time.
        {[&] { service.paused = true; }, {12, "shop: paused (process 4008, running for 0 min 7 s)"}},
        {[&] { service.stoppingUntil = os.clock.now() + 1; }, {11, "shop: stop pending"}},
        {[&] {
             service = {service.binaryPath, true}, service.starting = true;
         },
         {11, "shop: start pending"}},
        {[&] { os.services.services.erase("shop"); },
         {6, "shop: gone: the service was removed outside Velmora; velmora-cli uninstall shop clears its mark"}},
    };
    for (const auto& [make, expected] : states) {
        make();
        r = runCli(os, {"status", "shop"});
        EXPECT_EQ(r.code, expected.first) << expected.second;
        EXPECT_EQ(r.out.substr(0, r.out.find('\n')), expected.second);
    }
}

// Every JVM the service manager runs writes its crash file into System32: only the service's own is its cause.
TEST_F(StartFailureTest, OnlyTheCrashFileOfTheServicesOwnProcessIsRead) {
    ASSERT_TRUE(session.start().done());
    const std::uint32_t next = os.services.services["shop"].processId + 1;
    ASSERT_TRUE(session.stop().done());
    script(Fate::StopsLater, 500, 1067, 0,
           {{"C:\\windows\\system32\\hs_err_pid" + std::to_string(next) + ".log",
             "# A fatal error has been detected by the Java Runtime Environment:\n"},
            {"C:\\windows\\system32\\hs_err_pid9999.log",
             "# There is insufficient memory for the Java Runtime Environment to continue.\n"}});
    const Outcome died = session.start();
    EXPECT_EQ(died.result, Outcome::Result::Failed);
    EXPECT_EQ(died.summary,
              "Service \"shop\" stopped soon after it started (error 1067: the process terminated unexpectedly). The "
              "last lines of C:\\windows\\system32\\hs_err_pid4002.log follow; read: "
              "C:\\windows\\system32\\hs_err_pid4002.log.");
}

// Windows' net waits for the stop it asks for, and takes a display name for a service's own.
TEST_F(StartFailureTest, NetIsGivenTheTimeAStopTakesAndOnlyTheNameOfAServiceThatIsThere) {
    os.services.netWaits = true;
    ASSERT_TRUE(session.start().done());
    // Past the 30 s stop timeout, and past the 30 s any other program is given: judged as forced.
    os.services.services["shop"].stopScript = {45000, {}};
    EXPECT_EQ(session.stop().warnings,
              std::vector<std::string>{"Tomcat did not stop within 30 s; the wrapper ended "
                                       "the JVM (the service \"shop\" stopped after 45.0 s)."});
    EXPECT_EQ(session.status(), ServiceStatus::NotRunning);
    // A stop still under way past the stop timeout and 30 s more takes no start, and net is not asked.
    ASSERT_TRUE(session.start().done());
    os.services.services["shop"].stoppingUntil = os.clock.now() + 3600 * kTicksPerSecond;
    os.processes.ran.clear();
    const Outcome stillStopping = session.start();
    EXPECT_EQ(stillStopping.summary,
              "The service \"shop\" was still stopping after 60 s: it was not started. Start it once it has stopped.");
    EXPECT_TRUE(os.processes.ran.empty());
    os.clock.sleep(3600 * 1000);
    // A stop timeout of 0 is none to the wrapper, which then waits as long as Tomcat takes: a stop of 20 s
    // is graceful, and the check warns only that Windows waits less at a shutdown.
    auto stopOf = [&](const std::string& name, std::uint32_t takesMs) {
        ASSERT_TRUE(session.open(name).done());
        ASSERT_TRUE(session.start().done());
        os.services.services[name].stopScript = {takesMs, {}};
        const std::size_t events = os.events.written.size();
        const Outcome stopped = session.stop();
        EXPECT_TRUE(stopped.done() && stopped.warnings.empty()) << lastOf(stopped.warnings);
        EXPECT_EQ(os.events.written.size(), events);
        const auto problems = nlohmann::json::parse(runCli(os, {"check", name, "--json"}).out)["problems"];
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0]["message"], "The last stop of the service \"" + name + "\" took " +
                                              std::to_string(takesMs / 1000) +
                                              ".0 s, longer than Windows waits for a service when it shuts down "
                                              "(5.0 s, WaitToKillServiceTimeout): at a shutdown or restart of "
                                              "Windows, Tomcat is ended before it finishes stopping.");
    };
    ASSERT_EQ(runCli(os, {"set", "shop", "service.stop.timeout=0"}).code, 0);
    stopOf("shop", 20000);
    const auto kept = lastStop(os.registry, "shop");
    ASSERT_TRUE(kept.has_value());
    EXPECT_TRUE(kept->graceful);
    EXPECT_EQ(kept->timeoutSeconds, 0u);  // none held it
    ASSERT_EQ(runCli(os, {"set", "shop", "service.stop.timeout=30"}).code, 0);
    ASSERT_TRUE(session.open("shop").done());
    // The wrapper stops by the timeout it holds, one changed past Velmora too: a stop of 90 s under a held
    // 120 s is waited for, and graceful.
    const std::string stopKey =
        "SOFTWARE\\WOW6432Node\\Apache Software Foundation\\Procrun 2.0\\shop\\Parameters\\Stop";
    ASSERT_FALSE(os.registry.write(kLocalMachine, stopKey, {RegistryWrite::numberValue("Timeout", 120)}));
    ASSERT_TRUE(session.start().done());
    os.services.services["shop"].stopScript = {90000, {}};
    const Outcome slow = session.stop();
    EXPECT_TRUE(slow.done() && slow.warnings.empty()) << slow.summary << lastOf(slow.warnings);
    EXPECT_EQ(lastStop(os.registry, "shop")->timeoutSeconds, 120u);
    ASSERT_FALSE(os.registry.write(kLocalMachine, stopKey, {RegistryWrite::numberValue("Timeout", 30)}));

    // A stop net could not hand over is not waited for: here its question about a dependent service.
    ASSERT_TRUE(session.start().done());
    const std::string netStop = "net stop \"shop\"";
    os.processes.exitCodes[netStop] = 2;
    os.processes.outputs[netStop] = "Services depend on shop.\r\nDo you want to continue? (Y/N) [N]:";
    os.clock.slept = 0;
    EXPECT_EQ(session.stop().summary,
              "The service \"shop\" did not take the stop; its state: running. Nothing more was done. net.exe said: "
              "Services depend on shop.\nDo you want to continue? (Y/N) [N]:");
    EXPECT_EQ(os.clock.slept, 0u);
    os.processes.exitCodes.clear();

    // A stop that never ends: the removal stops there, and the service stays registered and recorded.
    os.services.services["shop"].stopScript = {600000, {}};
    os.processes.ran.clear();
    EXPECT_EQ(session.uninstall().summary,
              "The service \"shop\" did not stop within 60 s; its state: stop pending. Nothing more was done.");
    EXPECT_EQ(os.processes.ran, std::vector<std::string>{"net stop \"shop\""});
    EXPECT_EQ(storedNumber("shop", "installedaservice"), 1u);

    // Removed outside Velmora, while another service shows "shop" as its name: net is not run.
    os.services.services.erase("shop");
    os.services.services["Other"] = {"C:\\other\\other.exe"};
    os.services.services["Other"].configuration.displayName = "shop";
    EXPECT_EQ(session.start().summary,
              "The service manager knows no service named \"shop\": it was removed outside Velmora. Nothing was "
              "started.");
    EXPECT_FALSE(os.services.services["Other"].started);
    EXPECT_EQ(session.stop().result, Outcome::Result::Failed);
    EXPECT_EQ(os.processes.ran.size(), 1u);

    // The classic wrapper is given no stop timeout and waits as long as Tomcat takes: a stop of 35 s is graceful.
    useHome("C:\\tomcat", "C:\\jdk");
    installNew("web");
    os.services.services["web"].script.emplace().fate = Fate::Runs;
    stopOf("web", 35000);
}

// Once net or the wrapper ran, a service manager that cannot be asked leaves unknown what they did: so it is said.
TEST_F(StartFailureTest, WhatNetOrTheWrapperDidIsNeverToldAsDoneOrAsNothingWhenTheServiceManagerCannotBeAsked) {
    const Failure denied{"OpenServiceW", "Access is denied.", 5};
    const auto wrappers = os.processes.onRun;
    std::string failsAfter;  // the command after which the service manager can no longer be asked
    os.processes.onRun = [&](const std::string& command) {
        if (wrappers) wrappers(command);
        if (failsAfter.empty() || command.find(failsAfter) == std::string::npos) return;
        os.services.stateFailure = denied;
        os.services.lookupFailure = denied;
    };
    auto canBeAskedAgain = [&] {
        failsAfter.clear();
        os.services.stateFailure.reset();
        os.services.lookupFailure.reset();
    };

    // net.exe that cannot be run starts nothing: no start is told as done.
    const std::string net = os.environment.systemFolder() + "\\net.exe";
    os.files.files.erase(net);
    const Outcome notRun = session.start();
    EXPECT_EQ(notRun.result, Outcome::Result::Failed);
    EXPECT_EQ(notRun.summary, "\"net start\" for the service \"shop\" did not run as it should: " + net +
                                  " could not be started: The system cannot find the file specified.");
    os.files.addFile(net, "net");

    failsAfter = "net start";
    CliRun r = runCli(os, {"start", "shop"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("The service \"shop\" was asked to start, but the service manager could not be asked how "
                         "that went: Access is denied. Whether it runs is not known."),
              std::string::npos)
        << r.err;
    canBeAskedAgain();
    ASSERT_TRUE(running("shop"));

    // A stop whose end is not known: nothing that would follow it runs.
    failsAfter = "net stop";
    os.processes.ran.clear();
    const Outcome removal = session.uninstall();
    EXPECT_EQ(removal.result, Outcome::Result::Failed);
    EXPECT_EQ(os.processes.ran, std::vector<std::string>{"net stop \"shop\""});
    EXPECT_NE(lastOf(removal.warnings).find("was asked to stop, but the service manager could not be asked"),
              std::string::npos)
        << lastOf(removal.warnings);
    EXPECT_EQ(storedNumber("shop", "installedaservice"), 1u);
    canBeAskedAgain();

    const std::string unknown =
        "The service wrapper ran, but the service manager could not be asked about the service \"shop\" afterwards: "
        "Access is denied. Whether it is registered is not known: look at it in the Services console before you try "
        "again.";
    failsAfter = "//DS//shop";
    EXPECT_EQ(lastOf(session.uninstall().warnings), unknown);
    canBeAskedAgain();
    ASSERT_FALSE(serviceExists("shop"));
    ASSERT_TRUE(session.uninstall().done());
    failsAfter = "//IS//shop";
    EXPECT_EQ(lastOf(session.install().warnings), unknown);
}

TEST(StartEvidence, OnlyWhatTheStartAddedIsReadFromEveryDailyFileItWroteTo) {
    MemoryPlatform os;
    Configuration c;
    c.serviceName = "shop";
    c.catalinaHome = "C:\\tc";
    c.catalinaBase = "c:\\TC";  // the home again: its crash folder is looked at once
    c.systemOut = "C:\\out";
    c.systemErr = "C:\\err";
    const ModernWrapper kind(os.files, "C:\\tc\\bin\\tomcat10.exe");
    const auto sources = evidenceSources(c, kind, "C:\\windows\\system32");
    std::vector<std::string> where;
    for (const auto& source : sources)
        where.push_back(source.role + "|" + source.where.folder + "\\" + source.where.pattern);
    EXPECT_EQ(where,
              (std::vector<std::string>{
                  "System.err|C:\\err\\shop_err.log", "System.err|C:\\err\\shop-stderr.*.log",
                  "the wrapper's log|c:\\TC\\logs\\commons-daemon.*.log", "Catalina's log|c:\\TC\\logs\\catalina.*.log",
                  "System.out|C:\\out\\shop_out.log", "System.out|C:\\out\\shop-stdout.*.log",
                  "a JVM crash file|C:\\tc\\hs_err_pid*.log", "a JVM crash file|C:\\tc\\bin\\hs_err_pid*.log",
                  "a JVM crash file|C:\\windows\\system32\\hs_err_pid*.log"}));

    const std::string tail(256 * 1024 - 1, 'x');  // with its line end, exactly the 256 KB read of a file
    os.files.addFile("C:\\err\\shop_err.log", "old 1\r\nold 2\r\n");
    os.files.addFile("C:\\out\\shop_out.log", "kept\n");
    os.files.addFile("C:\\tc\\logs\\commons-daemon.2026-12-06.log", "yesterday\n");
    os.files.addFile("C:\\tc\\logs\\catalina.2026-12-05.log", "long before the start\n");
    os.files.addFile("C:\\tc\\logs\\catalina.2026-12-06.log", "rotated away after the start\n");
    os.files.addFile("C:\\tc\\bin\\hs_err_pid7.log", "an earlier crash\n");
    os.files.addFile("C:\\err\\shop-stderr.2026-12-06.log", "yesterday's auto\n");
    const EvidenceSnapshot snapshot = EvidenceSnapshot::take(os.files, sources);
    os.files.files["C:\\tc\\logs\\catalina.2026-12-05.log"] = "cut";  // short, before the start
    os.clock.sleep(1000);
    const FileTime startedAt = os.clock.now();
    os.clock.sleep(1000);
    os.files.appendText("C:\\err\\shop_err.log", "new 3\r\nnew 4");
    os.files.appendText("C:\\err\\shop-stderr.2026-12-07.log", "auto today\n");
    os.files.appendText("C:\\tc\\logs\\commons-daemon.2026-12-06.log", "late line\n");
    os.clock.sleep(1000);
    os.files.appendText("C:\\tc\\logs\\commons-daemon.2026-12-07.log", "today\n");
    os.files.writeText("C:\\tc\\logs\\catalina.2026-12-06.log", "cut short\n");  // short, since the start
    os.files.appendText("C:\\tc\\bin\\hs_err_pid7.log", "x\n" + tail + "\n");
    os.files.appendText("C:\\windows\\system32\\hs_err_pid8.log", "# A fatal error\n");
    std::vector<std::string> read;
    for (const EvidenceFile& file : snapshot.newLines(os.files, os.environment, startedAt)) {
        read.push_back(file.role + "|" + file.path + "|" + std::to_string(file.firstLine) + "|" +
                       file.lines.front().substr(0, 16) + "|" + std::to_string(file.lines.size()));
    }
    EXPECT_EQ(read, (std::vector<std::string>{"System.err|C:\\err\\shop_err.log|3|new 3|2",
                                              "System.err|C:\\err\\shop-stderr.2026-12-07.log|1|auto today|1",
                                              // Rolled at midnight during the start: both days, in order.
                                              "the wrapper's log|C:\\tc\\logs\\commons-daemon.2026-12-06.log|2|late "
                                              "line|1",
                                              "the wrapper's log|C:\\tc\\logs\\commons-daemon.2026-12-07.log|1|today|1",
                                              "Catalina's log|C:\\tc\\logs\\catalina.2026-12-06.log|1|cut short|1",
                                              "a JVM crash file|C:\\tc\\bin\\hs_err_pid7.log|3|xxxxxxxxxxxxxxxx|1",
                                              "a JVM crash file|C:\\windows\\system32\\hs_err_pid8.log|1|# A fatal "
                                              "error|1"}));
    // Of the crash files, only the service process's own once its id is known: another JVM's is not its cause.
    std::vector<std::string> crashes;
    for (const EvidenceFile& file : snapshot.newLines(os.files, os.environment, startedAt, 8))
        if (file.role == kCrashFileRole) crashes.push_back(file.path);
    EXPECT_EQ(crashes, std::vector<std::string>{"C:\\windows\\system32\\hs_err_pid8.log"});
}

TEST(StartDiagnosis, EveryCodeOfTheServiceManagerAndEveryWayALineSaysWhy) {
    Configuration c;
    c.javaHome = "C:\\jdk-24";
    c.tomcatConfigFile = "C:\\tc\\conf\\server.xml";
    const DiagnosisContext context{c, "NT SERVICE\\shop", "C:\\jdk-24\\bin\\server\\jvm.dll", true};
    auto diagnosed = [&](const std::vector<std::string>& lines) {
        StartEvidence evidence;
        evidence.serviceName = "shop";
        evidence.files = {{"C:\\tc\\logs\\some.log", "System.err", 7, lines, 0}};
        return diagnoseStart(evidence, context);
    };
    // Causes in other spellings, told by their short cause; two by their whole sentence.
    const std::pair<const char*, const char*> spellings[] = {
        {"Unrecognized option: -Xfoo", "a JVM option the JVM rejects (-Xfoo)"},
        {"java.lang.NoClassDefFoundError: org/apache/catalina/startup/Bootstrap", "the start class was not found"},
        {"java.nio.file.AccessDeniedException: C:\\tc\\work\\Catalina", "access denied on C:\\tc\\work"},
        {"SEVERE [main] Digester.fatalError Parse Fatal Error at line [12] column [5]",
         "the Tomcat config file does not parse"},
    };
    for (const auto& [line, cause] : spellings) EXPECT_EQ(diagnosed({"first", line}).cause, cause) << line;
    EXPECT_EQ(
        diagnosed({"x", "java.lang.ClassNotFoundException: org/apache/catalina/startup/BootstrapService"}).sentence,
        "The start class org.apache.catalina.startup.BootstrapService was not found through the class path: check "
        "the class path (Tomcat's bin\\bootstrap.jar belongs on it) (some.log, line 8).");
    EXPECT_EQ(diagnosed({"org.xml.sax.SAXParseException; lineNumber: 4; columnNumber: 3; The element type \"Service\" "
                         "must be terminated by the matching end-tag \"</Service>\"."})
                  .sentence,
              "The Tomcat config file C:\\tc\\conf\\server.xml does not parse at line 4 (The element type \"Service\" "
              "must be terminated by the matching end-tag \"</Service>\".): correct it (some.log, line 7).");
    EXPECT_EQ(diagnosed({"SEVERE [main] Digester.fatalError Parse Fatal Error at line [12] column [5]: The entity "
                         "name must immediately follow the '&' in the entity reference."})
                  .sentence,
              "The Tomcat config file C:\\tc\\conf\\server.xml does not parse at line 12 (The entity name must "
              "immediately follow the '&' in the entity reference.): correct it (some.log, line 7).");
    // A port three lines before or after the exception is named; four away, it is not.
    const std::string bind = "java.net.BindException: Address already in use: bind";
    const std::string connector = "Failed to initialize connector [Connector[HTTP/1.1-8080]]";
    EXPECT_EQ(diagnosed({connector, "a", "b", bind}).cause, "port 8080 is in use");
    EXPECT_EQ(diagnosed({connector, "a", "b", "c", bind}).cause, "a port is in use");
    EXPECT_EQ(diagnosed({bind, "a", "b", "create[localhost:8005]"}).cause, "port 8005 is in use");
    EXPECT_EQ(diagnosed({bind, "a", "b", "c", "create[localhost:8005]"}).cause, "a port is in use");
    EXPECT_EQ(diagnosed({"x", bind, "at bind <null>:8443"}).line, 8u);

    // Each code the service manager gives, wherever it gives it: its state, net's words or its events.
    auto fromCode = [&](std::uint32_t state, const std::string& net, std::vector<ServiceManagerEvent> events,
                        bool libraryThere = true) {
        StartEvidence evidence;
        evidence.serviceName = "shop";
        evidence.state = {RunState::Stopped, state, 4};
        evidence.netOutput = net;
        evidence.events = std::move(events);
        const StartDiagnosis found = diagnoseStart(evidence, {c, "NT SERVICE\\shop", "C:\\jvm.dll", libraryThere});
        return found.cause + " (" + found.sentence.substr(found.sentence.rfind('(') + 1);
    };
    const std::pair<std::string, std::string> codes[] = {
        {fromCode(1069, "", {}), "the account could not log on (the service manager, error 1069)."},
        {fromCode(1067, "System error 1072 has occurred.", {}),
         "the service is marked for deletion (the service manager, error 1072)."},
        {fromCode(0, "", {{0, 7000, {"shop", "%%1058"}}}),
         "the service is disabled (the service manager, error 1058)."},
        {fromCode(193, "", {}), "the JVM library cannot be loaded (the service manager, error 193)."},
        {fromCode(193, "", {}, false), "the JVM library is missing (the service manager, error 193)."},
        {fromCode(0, "", {{0, 7009, {"30000", "shop"}}}), "the start timed out (the service manager, error 1053)."},
        {fromCode(5, "", {}),
         "it did not start (error 5: access is denied). Nothing was written since the start to any of: ."},
        {fromCode(1066, "", {}),
         "it did not start (service-specific error 4). Nothing was written since the start to any of: ."},
        {fromCode(0, "", {}), "it did not start (no error code). Nothing was written since the start to any of: ."},
    };
    for (const auto& [sentence, expected] : codes) EXPECT_EQ(sentence, expected);
    std::string texts;
    for (std::uint32_t code : {5, 193, 1053, 1058, 1067, 1069, 1072, 1077, 1234})
        texts += serviceErrorText(code) + "; ";
    EXPECT_EQ(texts,
              "access is denied; the program is not a valid application for this machine; the service did not respond "
              "to the start in time; the service is disabled; the process terminated unexpectedly; the service did not "
              "start due to a logon failure; the service has been marked for deletion; the service has not been "
              "started since the computer started; error 1234; ");
}

TEST(Readiness, WhatIsAskedAndWhenALastStopIsWorthAWarning) {
    // Every connector once, on its own address or the loopback for every address; the URL last.
    auto connector = [](std::uint16_t port, const std::string& address) {
        DeclaredPort declared;
        declared.role = PortRole::Connector;
        declared.value = PortValue::Number;
        declared.number = port;
        declared.address = address;
        return declared;
    };
    DeclaredPort shutdown = connector(8005, "");
    shutdown.role = PortRole::Shutdown;
    DeclaredPort placeholder = connector(0, "");
    placeholder.value = PortValue::Unknown;
    DeclaredPort anyFree = connector(0, "");  // port="0": whichever port Tomcat takes cannot be asked
    anyFree.value = PortValue::AnyFree;
    const auto probes = readinessProbes(
        {shutdown, connector(8080, ""), connector(8443, "0.0.0.0"), connector(8009, "::"), connector(8081, "[::1]"),
         connector(8082, "192.168.1.5"), connector(8080, ""), placeholder, anyFree},
        "http://localhost:8080/health");
    std::vector<std::string> asked;
    for (const auto& probe : probes)
        asked.push_back(probe.address + " " + std::to_string(probe.port) + " " + probe.name);
    EXPECT_EQ(asked, (std::vector<std::string>{"127.0.0.1 8080 port 8080", "127.0.0.1 8443 port 8443",
                                               "127.0.0.1 8009 port 8009", "::1 8081 port 8081 on [::1]",
                                               "192.168.1.5 8082 port 8082 on 192.168.1.5",
                                               "localhost 8080 http://localhost:8080/health"}));
    // The URL answers with 2xx or 3xx, nothing else.
    MemoryNetwork network;
    network.accepting["localhost:8080"] = 0;
    for (const auto& [status, answered] : std::vector<std::pair<int, bool>>{
             {200, true}, {204, true}, {302, true}, {399, true}, {199, false}, {404, false}, {500, false}}) {
        network.answers["localhost:8080/health"] = status;
        EXPECT_EQ(std::get<bool>(answers(network, probes.back(), {100, 100})), answered) << status;
    }
    // A start gives the URL 5 s for each answer, never past its bound: an answer after 4.9 s serves;
    // one after 5.1 s never does, and the start ends at its 120 s.
    MemoryPlatform os;
    os.services.services["shop"] = {"C:\\tomcat10\\bin\\tomcat10.exe", true};
    os.network.accepting["localhost:8080"] = 0;
    os.network.answers["localhost:8080/health"] = 200;
    for (const auto& [takesMs, end, tookMs] : std::vector<std::tuple<std::uint32_t, StartWatch::End, FileTime>>{
             {4900, StartWatch::End::Serving, 4900}, {5001, StartWatch::End::NotServing, 120000}}) {
        os.network.answerAfterMs["localhost:8080/health"] = takesMs;
        const FileTime at = os.clock.now();
        const StartWatch watch = watchStart(os.services, os.network, os.clock, "shop", {probes.back()}, at, 120);
        EXPECT_EQ(watch.end, end) << takesMs;
        EXPECT_EQ((os.clock.now() - at) / kTicksPerMillisecond, tookMs) << takesMs;
    }
    // A probe that cannot be asked (a host name no one resolves) holds no other back, nor stands for it.
    os.network.unresolvable.insert("web01");
    const FileTime at = os.clock.now();
    const StartWatch unresolved =
        watchStart(os.services, os.network, os.clock, "shop",
                   {{"web01", 8443, "", "port 8443 on web01"}, {"127.0.0.1", 9090, "", "port 9090"}}, at, 120);
    EXPECT_EQ(unresolved.end, StartWatch::End::NotServing);
    EXPECT_EQ(unresolved.unanswered, "port 9090");
    EXPECT_EQ(unresolved.probeFailure.value_or(Failure{}).source, "getaddrinfo");
    // A last stop of 30 s's timeout: a warning beyond 80% of it, another beyond Windows' wait at shutdown.
    StopEvidence last;
    for (const auto& [ms, shutdownWait, count] : std::vector<std::tuple<std::uint64_t, std::uint32_t, std::size_t>>{
             {24000, 30000, 0}, {24001, 30000, 1}, {5000, 5000, 0}, {5001, 5000, 1}, {31000, 5000, 2}}) {
        last.stoppedAfterMs = ms;
        EXPECT_EQ(slowStopWarnings("shop", last, 30, shutdownWait).size(), count) << ms;
    }
    EXPECT_EQ(slowStopWarnings("shop", last, 0, 5000).size(), 1u);  // no timeout held: only Windows' wait
    // Only the Tomcat 7-11 wrapper is handed the stop timeout, and takes 0 for none.
    EXPECT_EQ(heldStopTimeout(ModernWrapper(os.files, "C:\\tc\\bin\\tomcat10.exe"), 30), 30u);
    EXPECT_EQ(heldStopTimeout(ModernWrapper(os.files, "C:\\tc\\bin\\tomcat10.exe"), 0), 0u);
    EXPECT_EQ(heldStopTimeout(ClassicWrapper(os.files), 30), 0u);
}
