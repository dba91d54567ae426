// Moving a service to another Tomcat or JDK: the check before, an upgrade, a rollback.
#include <nlohmann/json.hpp>

#include "config/ConfigurationStore.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;
using Fate = MemoryServices::ScriptedStart::Fate;

namespace {

// Tomcat 10.1 in C:\tomcat-10.1.34 on JDK 17, its base in C:\shop, installed as "shop", running and answering on
// port 8080.
class UpgradeTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        addTomcat(kOld, "10.1.34");
        addTomcat(kNew, "11.0.2");
        addJdk("C:\\jdk-17", "17.0.12");
        useHome(kOld, "C:\\jdk-17");
        for (const char* folder : {"", "\\conf", "\\logs", "\\temp", "\\webapps", "\\work"})
            os.files.addFolder(std::string(kBase) + folder);
        for (const char* file : {"\\conf\\catalina.policy", "\\conf\\logging.properties"})
            os.files.addFile(std::string(kBase) + file, "x");
        os.files.addFile(std::string(kBase) + "\\conf\\server.xml",
                         "<Server port=\"-1\"><Service><Connector port=\"8080\"/></Service></Server>");
        // Each install of a home gets how that Tomcat fares at its start.
        const auto registering = os.processes.onRun;
        os.processes.onRun = [this, registering](const std::string& command) {
            registering(command);
            if (command.find(" //IS//") == std::string::npos) return;
            auto& script = os.services.services["shop"].script.emplace();
            script.fate = Fate::Runs;
            script.opens = {"127.0.0.1:8080"};
            if (command.find(kNew) == std::string::npos) return;
            script.opensAfterMs = newOpensAfterMs;
            if (newPendingForMs) script.fate = Fate::HangsStarting;
            script.pendingForMs = newPendingForMs;
        };
        session.newConfiguration();
        editing.edit(Field::ServiceName, "shop");
        editing.edit(Field::CatalinaBase, kBase);
        ASSERT_TRUE(session.save().done());
        ASSERT_TRUE(session.install().done()) << lastOf(ui.warnings);
        ASSERT_TRUE(session.start().done());
    }
    static constexpr const char* kOld = "C:\\tomcat-10.1.34";
    static constexpr const char* kBase = "C:\\shop";
    static constexpr const char* kNew = "C:\\tomcat-11.0.2";
    std::optional<std::uint32_t> newOpensAfterMs = 0;
    std::optional<std::uint32_t> newPendingForMs;
};

}  // namespace

TEST_F(UpgradeTest, TheCheckBeforeAMoveNamesWhatTheTargetWouldNotRunAndNothingStops) {
    addTomcat("C:\\tomcat-12.0.0", "12.0.0");
    addJdk("C:\\jdk-24", "24.0.1");
    addJdk("C:\\jdk-32bit", "17.0.9");
    os.files.addFile("C:\\jdk-32bit\\bin\\server\\jvm.dll", tinyPe(0x14C));
    addJdk("C:\\jdk-21-nojvm", "21.0.5");
    os.files.files.erase("C:\\jdk-21-nojvm\\bin\\server\\jvm.dll");
    os.files.addFile(std::string(kOld) + "\\bin\\tomcat10.exe", tinyPe(0x8664));
    const CliRun aot = runCli(os, {"set", "shop", "additional.jvm.options=-XX:AOTCache=C:\\shop.aot"});
    ASSERT_EQ(aot.code, 0) << aot.out << aot.err;
    const std::string options = " -Xrs -XX:AOTCache=C:\\shop.aot -version";
    os.processes.outputs["\"C:\\jdk-24\\bin\\java.exe\"" + options] =
        "Error: Could not create the Java Virtual Machine.\r\nUnrecognized VM option 'AOTCache=C:\\shop.aot'\r\n";
    os.processes.exitCodes["\"C:\\jdk-24\\bin\\java.exe\"" + options] = 1;
    os.processes.ran.clear();

    // Each rule with its field: the branch's Java baseline, the machine types, what java says, the archive.
    struct Row {
        std::vector<std::string> arguments;
        std::vector<std::pair<std::string, std::string>> problems;  // field, message
    };
    const Row rows[] = {
        {{"upgrade", "shop", "--home", "C:\\tomcat-12.0.0", "--check"},
         {{"java.home",
           "Tomcat 12.0.0 needs Java 21 or later; the JDK at C:\\jdk-17 is Java 17: choose a JDK of "
           "Java 21 or later."}}},
        {{"upgrade", "shop", "--home", kNew, "--jdk", "C:\\jdk-21-nojvm", "--check"},
         {{"java.home",
           "The JDK at C:\\jdk-21-nojvm has no server JVM library (C:\\jdk-21-nojvm\\bin\\server\\jvm.dll): the "
           "service could not load its JVM. Choose a JDK that has one."},
          {"additional.jvm.options",
           "The option -XX:AOTCache=C:\\shop.aot names an archive the JDK at C:\\jdk-17 "
           "made for itself; the JDK at C:\\jdk-21-nojvm does not take it: make the archive "
           "again with the new JDK, or remove the option."}}},
        {{"repoint", "shop", "--jdk", "C:\\jdk-32bit", "--check"},
         {{"java.home",
           "The JVM library 'C:\\jdk-32bit\\bin\\server\\jvm.dll' is 32-bit but the service wrapper "
           "'C:\\tomcat-10.1.34\\bin\\tomcat10.exe' is 64-bit, so the service cannot load that JVM. "
           "Choose a JDK or a wrapper of the same kind."},
          {"additional.jvm.options",
           "The option -XX:AOTCache=C:\\shop.aot names an archive the JDK at C:\\jdk-17 "
           "made for itself; the JDK at C:\\jdk-32bit does not take it: make the archive "
           "again with the new JDK, or remove the option."}}},
        {{"repoint", "shop", "--jdk", "C:\\jdk-24", "--check"},
         {{"additional.jvm.options",
           "Remove -XX:AOTCache=C:\\shop.aot from the additional options: the JVM at "
           "C:\\jdk-24 does not know it."},
          {"additional.jvm.options",
           "The option -XX:AOTCache=C:\\shop.aot names an archive the JDK at C:\\jdk-17 "
           "made for itself; the JDK at C:\\jdk-24 does not take it: make the archive "
           "again with the new JDK, or remove the option."}}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> arguments = row.arguments;
        arguments.push_back("--json");
        const CliRun run = runCli(os, arguments);
        EXPECT_EQ(run.code, 4) << run.out << run.err;
        const auto problems = nlohmann::json::parse(run.out)["problems"];
        ASSERT_EQ(problems.size(), row.problems.size()) << run.out;
        for (std::size_t i = 0; i < row.problems.size(); ++i) {
            EXPECT_EQ(problems[i]["field"], row.problems[i].first) << run.out;
            EXPECT_EQ(problems[i]["message"], row.problems[i].second) << run.out;
        }
    }
    // Nothing stopped, nothing was written to the service: java was asked, and only java.
    for (const std::string& ran : os.processes.ran) EXPECT_NE(ran.find("\\bin\\java.exe\""), std::string::npos) << ran;
    EXPECT_TRUE(os.services.services["shop"].started);
    // Without --check, the JDK without its JVM is refused before Tomcat stops.
    CliRun run = runCli(os, {"upgrade", "shop", "--home", kNew, "--jdk", "C:\\jdk-21-nojvm", "--yes"});
    EXPECT_EQ(run.code, 3) << run.out << run.err;
    EXPECT_EQ(run.err, std::string("Warning: Nothing was changed: The upgrade of \"shop\" to ") + kNew +
                           " with the JDK at C:\\jdk-21-nojvm would meet 2 problem(s):\nThe JDK at C:\\jdk-21-nojvm "
                           "has no server JVM library (C:\\jdk-21-nojvm\\bin\\server\\jvm.dll): the service could "
                           "not load its JVM. Choose a JDK that has one.\nThe option -XX:AOTCache=C:\\shop.aot "
                           "names an archive the JDK at C:\\jdk-17 made for itself; the JDK at C:\\jdk-21-nojvm does "
                           "not take it: make the archive again with the new JDK, or remove the option.\n");
    for (const std::string& ran : os.processes.ran) EXPECT_EQ(ran.find("net "), std::string::npos) << ran;
    EXPECT_TRUE(os.services.services["shop"].started);
    EXPECT_EQ(stored("shop", "java.home"), "C:\\jdk-17");

    // apply's check foresees the save's refusal of a move to a home the JDK cannot run, in the save's words.
    ASSERT_EQ(runCli(os, {"export", "shop", "--out", "C:\\shop.json"}).code, 0);
    const CliRun foreseen =
        runCli(os, {"apply", "C:\\shop.json", "--check", "--yes", "--set", "tomcat.home=C:\\tomcat-12.0.0"});
    run = runCli(os, {"apply", "C:\\shop.json", "--yes", "--set", "tomcat.home=C:\\tomcat-12.0.0"});
    const std::string refusal =
        "  Nothing was changed: the change of \"shop\" would meet 1 problem(s):\nTomcat 12.0.0 needs Java 21 or "
        "later; the JDK at C:\\jdk-17 is Java 17: choose a JDK of Java 21 or later.\n";
    EXPECT_EQ(foreseen.out, "shop: FAILED; values: tomcat.home, java.class.path; would store\n" + refusal +
                                "1 configuration(s): 0 would change, 0 unchanged, 1 failed.\n");
    EXPECT_EQ(run.out, "shop: FAILED; values: tomcat.home, java.class.path; store\n" + refusal +
                           "1 configuration(s): 0 changed, 0 unchanged, 1 failed.\n");
    EXPECT_EQ(foreseen.code, 1);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(stored("shop", "tomcat.home"), kOld);

    // The security manager on Java 24, said by the JVM itself; without --check the move is refused.
    ASSERT_EQ(runCli(os, {"set", "shop", "additional.jvm.options=", "java.security.manager=1"}).code, 0);
    os.processes.outputs
        ["\"C:\\jdk-24\\bin\\java.exe\" -Djava.security.manager "
         "-Djava.security.policy=C:\\shop\\conf\\catalina.policy -Xrs -version"] =
        "Error occurred during initialization of VM\r\njava.lang.Error: A command line option has attempted to allow "
        "or enable the Security Manager. Enabling a Security Manager is not supported.\r\n";
    os.processes.exitCodes
        ["\"C:\\jdk-24\\bin\\java.exe\" -Djava.security.manager "
         "-Djava.security.policy=C:\\shop\\conf\\catalina.policy -Xrs -version"] = 1;
    run = runCli(os, {"repoint", "shop", "--jdk", "C:\\jdk-24", "--yes", "--json"});
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(nlohmann::json::parse(run.out)["error"]["problems"][0]["field"], "java.security.manager");
    // A relative path, and the JDK already in use.
    EXPECT_EQ(runCli(os, {"repoint", "shop", "--jdk", "jdk-24", "--yes"}).code, 3);
    run = runCli(os, {"repoint", "shop", "--jdk", "C:\\JDK-17", "--yes"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "Configuration \"shop\" uses the JDK at C:\\JDK-17 already; nothing was changed.\n");
    EXPECT_EQ(stored("shop", "java.home"), "C:\\jdk-17");

    // A base that is the old home puts the old Tomcat's classes first: the check names it, the move is refused.
    ASSERT_EQ(runCli(os, {"set", "shop", std::string("catalina.base=") + kOld, "--yes"}).code, 0);
    os.processes.ran.clear();
    run = runCli(os, {"upgrade", "shop", "--home", kNew, "--check", "--json"});
    EXPECT_EQ(run.code, 4) << run.out << run.err;
    const auto base = nlohmann::json::parse(run.out)["problems"];
    ASSERT_EQ(base.size(), 1u) << run.out;
    EXPECT_EQ(base[0]["field"], "catalina.base");
    EXPECT_EQ(base[0]["message"],
              "The Catalina base C:\\tomcat-10.1.34 holds Tomcat's own classes "
              "(C:\\tomcat-10.1.34\\lib\\catalina.jar), which Tomcat loads before those of C:\\tomcat-11.0.2: the "
              "service would still run the Tomcat of that base. Give the configuration a Catalina base of its own "
              "first: a folder that holds copies of the base's conf, webapps and work folders, and no Tomcat classes.");
    EXPECT_EQ(runCli(os, {"upgrade", "shop", "--home", kNew, "--yes"}).code, 3);
    for (const std::string& ran : os.processes.ran) EXPECT_EQ(ran.find("net "), std::string::npos) << ran;
    EXPECT_TRUE(os.services.services["shop"].started);
    EXPECT_EQ(stored("shop", "tomcat.home"), kOld);
    // A base that is the new home, typed there with its separator at the end, is that home: not refused.
    ASSERT_EQ(runCli(os, {"set", "shop", std::string("catalina.base=") + kNew, "--yes"}).code, 0);
    run = runCli(os, {"upgrade", "shop", "--home", std::string(kNew) + "\\", "--check"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "No problems found: The upgrade of \"shop\" to C:\\tomcat-11.0.2\\ can go ahead.\n");
    ASSERT_EQ(runCli(os, {"set", "shop", std::string("catalina.base=") + kBase, "--yes"}).code, 0);

    // A named account's password typed wrong is told before Tomcat stops, not by a service that cannot log on.
    ASSERT_EQ(runCli(os, {"set", "shop", "java.security.manager=0"}).code, 0);
    os.services.accounts.insert("CORP\\tomcat");
    os.accounts.serviceLogon.insert("CORP\\tomcat");
    os.accounts.passwords["CORP\\tomcat"] = "Winter-2026";
    const auto typed = [](const char* password) {
        return [password](const std::string&, bool) { return std::optional<std::string>(password); };
    };
    ASSERT_EQ(runCli(os, {"set", "shop", "service.account=CORP\\tomcat"}, typed("Winter-2026")).code, 0);
    os.processes.ran.clear();
    run = runCli(os, {"upgrade", "shop", "--home", kNew, "--yes"}, typed("Wniter-2026"));
    EXPECT_EQ(run.code, 3) << run.out << run.err;
    EXPECT_EQ(run.err,
              "Warning: Windows did not take the password for CORP\\tomcat: The user name or password is "
              "incorrect. Nothing was changed.\n");
    for (const std::string& ran : os.processes.ran) EXPECT_EQ(ran.find("net "), std::string::npos) << ran;
    EXPECT_TRUE(os.services.services["shop"].started);
    EXPECT_EQ(stored("shop", "tomcat.home"), kOld);
}

TEST_F(UpgradeTest, AnUpgradeMovesOnlyTheHomeAndWhenTomcatDoesNotAnswerPutsTheServiceBackAsItWas) {
    addJdk("C:\\jdk-21", "21.0.5");
    ASSERT_EQ(runCli(os, {"set", "shop", "service.start.timeout=5"}).code, 0);
    ASSERT_TRUE(session.open("shop").done());
    const Configuration before = session.configuration();
    const std::string oldLine = std::string("\"") + kOld + "\\bin\\tomcat10.exe\" //RS//shop";
    const std::string oldRemoval = std::string("\"") + kOld + "\\bin\\tomcat10.exe\" //DS//shop";

    // The old wrapper does not remove the service: it stands as it was, stopped, and is only started again.
    const auto wrappers = os.processes.onRun;
    os.processes.onRun = [&](const std::string& command) {
        if (command != oldRemoval) wrappers(command);
    };
    os.processes.exitCodes[oldRemoval] = 1;
    os.processes.ran.clear();
    CliRun run = runCli(os, {"upgrade", "shop", "--home", kNew, "--yes", "--json"});
    EXPECT_EQ(run.code, 1) << run.out;
    auto error = nlohmann::json::parse(run.out)["error"];
    EXPECT_EQ(error["message"], std::string("The upgrade of \"shop\" to ") + kNew +
                                    " failed: The service \"shop\" is still registered: the service wrapper did not "
                                    "remove it (exit code 1). Stop it and try again. It was rolled back: the service "
                                    "runs on " +
                                    kOld + " as it did. Tomcat was down 3.0 s.");
    EXPECT_EQ(error["steps"].back(), "roll back: start");
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{"\"C:\\jdk-17\\bin\\java.exe\" -Xrs -version",
                                                          "net stop \"shop\"", oldRemoval, "net start \"shop\""}));
    EXPECT_EQ(os.services.services["shop"].binaryPath, oldLine);
    EXPECT_TRUE(os.services.services["shop"].started);
    ASSERT_TRUE(session.open("shop").done());
    EXPECT_EQ(session.configuration(), before);
    EXPECT_TRUE(session.installed());
    // One that says it removed the service, which another program holds open: marked for deletion, the service
    // is no rollback to stand on and takes no start.
    os.processes.exitCodes.erase(oldRemoval);
    os.processes.ran.clear();
    run = runCli(os, {"upgrade", "shop", "--home", kNew, "--yes", "--json"});
    EXPECT_EQ(run.code, 1) << run.out;
    const std::string heldOpen = nlohmann::json::parse(run.out)["error"]["message"];
    EXPECT_NE(heldOpen.find(" Rolling it back failed too: The service \"shop\" was removed by its wrapper but is "
                            "still registered: a program that has it open"),
              std::string::npos)
        << heldOpen;
    EXPECT_EQ(os.processes.ran.back(), oldRemoval);
    os.processes.onRun = wrappers;
    ASSERT_TRUE(session.start().done());

    // Tomcat 11 never answers: the start fails at the timeout, and the service is put back on 10.1 and answers.
    newOpensAfterMs.reset();
    os.processes.ran.clear();
    run = runCli(os, {"upgrade", "shop", "--home", kNew, "--yes", "--json"});
    EXPECT_EQ(run.code, 1) << run.out;
    error = nlohmann::json::parse(run.out)["error"];
    const std::string message = error["message"];
    EXPECT_EQ(message.rfind(std::string("The upgrade of \"shop\" to ") + kNew +
                                " failed: Service \"shop\" runs, but port 8080 did not answer within 5 s. ",
                            0),
              0u)
        << message;
    EXPECT_EQ(message.substr(message.find(" It was rolled back")),
              std::string(" It was rolled back: the service runs on ") + kOld + " as it did. Tomcat was down 5.0 s.");
    EXPECT_EQ(error["downtimeMs"], 5000);
    EXPECT_EQ(error["steps"].back(), "roll back: start");
    EXPECT_EQ(os.processes.ran,
              (std::vector<std::string>{"\"C:\\jdk-17\\bin\\java.exe\" -Xrs -version", "net stop \"shop\"",
                                        oldLine.substr(0, oldLine.size() - 10) + "//DS//shop", os.processes.ran[3],
                                        "net start \"shop\"", "net stop \"shop\"",
                                        std::string("\"") + kNew + "\\bin\\tomcat11.exe\" //DS//shop",
                                        os.processes.ran[7], "net start \"shop\""}));
    EXPECT_EQ(os.processes.ran[3].rfind(std::string("\"") + kNew + "\\bin\\tomcat11.exe\" //IS//shop", 0), 0u);
    EXPECT_EQ(os.processes.ran[7].rfind(oldLine.substr(0, oldLine.size() - 10) + "//IS//shop", 0), 0u);
    EXPECT_EQ(os.services.services["shop"].binaryPath, oldLine);
    EXPECT_TRUE(os.services.services["shop"].started);
    ASSERT_GE(os.events.written.size(), 2u);
    EXPECT_EQ(os.events.written[os.events.written.size() - 2].id, 1101u);  // Tomcat 11 ran but never answered
    EXPECT_EQ(os.events.written.back().id, 1005u);
    ASSERT_TRUE(session.open("shop").done());
    EXPECT_EQ(session.configuration(), before);
    EXPECT_TRUE(session.installed());

    // Tomcat 11 still starting at the timeout, running 3 s later: the rollback lets its start end, stops it and
    // puts 10.1 back.
    newOpensAfterMs = 0;
    newPendingForMs = 8000;
    os.processes.ran.clear();
    run = runCli(os, {"upgrade", "shop", "--home", kNew, "--yes", "--json"});
    EXPECT_EQ(run.code, 1) << run.out;
    error = nlohmann::json::parse(run.out)["error"];
    const std::string pending = error["message"];
    EXPECT_EQ(pending.substr(pending.find(" It was rolled back")),
              std::string(" It was rolled back: the service runs on ") + kOld + " as it did. Tomcat was down 8.0 s.")
        << pending;
    EXPECT_EQ(os.processes.ran[5], "net stop \"shop\"");
    EXPECT_EQ(os.processes.ran.back(), "net start \"shop\"");
    EXPECT_EQ(os.services.services["shop"].binaryPath, oldLine);
    EXPECT_TRUE(os.services.services["shop"].started);
    newPendingForMs.reset();

    // Tomcat 10.1 takes 70 s to stop, past the 60 s a stop waits: the upgrade fails there, and the service is
    // started again once its stop has ended.
    os.services.services["shop"].stopScript = MemoryServices::ScriptedStop{70000, {}};
    os.processes.ran.clear();
    run = runCli(os, {"upgrade", "shop", "--home", kNew, "--yes", "--json"});
    EXPECT_EQ(run.code, 1) << run.out;
    error = nlohmann::json::parse(run.out)["error"];
    EXPECT_EQ(error["message"], std::string("The upgrade of \"shop\" to ") + kNew +
                                    " failed: The service \"shop\" did not stop within 60 s; its state: stop pending. "
                                    "Nothing more was done. net.exe said: The shop service is stopping. It was rolled "
                                    "back: the service runs on " +
                                    kOld + " as it did. Tomcat was down 70.0 s.");
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{"\"C:\\jdk-17\\bin\\java.exe\" -Xrs -version",
                                                          "net stop \"shop\"", "net start \"shop\""}));
    EXPECT_EQ(os.services.services["shop"].binaryPath, oldLine);
    EXPECT_TRUE(os.services.services["shop"].started);
    os.services.services["shop"].stopScript.reset();

    // Tomcat 11's service registers but cannot take Velmora's mark: the rollback removes it, though unrecorded,
    // before 10.1 goes back (Windows would refuse a second service of the name).
    const std::string serviceKey = "SYSTEM\\CurrentControlSet\\Services\\shop";
    const auto marking = os.processes.onRun;
    os.processes.onRun = [&](const std::string& command) {
        marking(command);
        if (command.find(" //IS//") != std::string::npos && command.find(kNew) != std::string::npos)
            os.registry.readOnlyKeys.insert(serviceKey);
        if (command.find(" //DS//") != std::string::npos) os.registry.readOnlyKeys.erase(serviceKey);
    };
    os.processes.ran.clear();
    run = runCli(os, {"upgrade", "shop", "--home", kNew, "--yes", "--json"});
    EXPECT_EQ(run.code, 1) << run.out;
    error = nlohmann::json::parse(run.out)["error"];
    const std::string unmarked = error["message"];
    ASSERT_NE(unmarked.find(" It was rolled back"), std::string::npos) << unmarked;
    EXPECT_EQ(unmarked.substr(unmarked.find(" It was rolled back")),
              std::string(" It was rolled back: the service runs on ") + kOld + " as it did. Tomcat was down 0.0 s.")
        << unmarked;
    EXPECT_EQ(os.processes.ran[5], std::string("\"") + kNew + "\\bin\\tomcat11.exe\" //DS//shop") << unmarked;
    EXPECT_EQ(os.services.services["shop"].binaryPath, oldLine);
    EXPECT_TRUE(os.services.services["shop"].started);
    ASSERT_TRUE(session.open("shop").done());
    EXPECT_TRUE(session.installed());
    os.processes.onRun = marking;

    // The service manager cannot be asked how Tomcat 11's start went: that is no upgrade, and 10.1 goes back.
    const auto asking = os.processes.onRun;
    os.processes.onRun = [&](const std::string& command) {
        asking(command);
        if (command == "net start \"shop\"" && os.services.services["shop"].binaryPath != oldLine) {
            os.services.stateFailure = Failure{"QueryServiceStatusEx", "Access is denied.", 5};
            os.services.stateFailuresLeft = 1;
        }
    };
    run = runCli(os, {"upgrade", "shop", "--home", kNew, "--yes", "--json"});
    EXPECT_EQ(run.code, 1) << run.out;
    const std::string unwatched = nlohmann::json::parse(run.out)["error"]["message"];
    EXPECT_NE(unwatched.find("could not be asked how that went: Access is denied."), std::string::npos) << unwatched;
    ASSERT_NE(unwatched.find(" It was rolled back"), std::string::npos) << unwatched;
    EXPECT_EQ(os.services.services["shop"].binaryPath, oldLine);
    EXPECT_TRUE(os.services.services["shop"].started);
    os.processes.onRun = asking;
    os.services.stateFailure.reset();

    // Tomcat 11 that answers, with JDK 21: only the home, the JDK and the class path change.
    os.processes.ran.clear();
    run = runCli(os, {"upgrade", "shop", "--home", kNew, "--jdk", "C:\\jdk-21", "--yes", "--json"});
    ASSERT_EQ(run.code, 0) << run.out << run.err;
    auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["summary"], std::string("Service \"shop\" upgraded from ") + kOld + " to " + kNew +
                                   " with the JDK at C:\\jdk-21. Tomcat was down 0.0 s.");
    EXPECT_EQ(json["settingsApplied"], true);
    // java asked, Tomcat stopped, the old wrapper removes, the new one installs with its branch's options, started.
    ASSERT_EQ(os.processes.ran.size(), 5u);
    EXPECT_EQ(os.processes.ran[0], "\"C:\\jdk-21\\bin\\java.exe\" -Xrs -version");
    EXPECT_NE(os.processes.ran[3].find("--JvmOptions9 \"--add-opens=java.base/java.lang=ALL-UNNAMED#--add-opens="
                                       "java.base/java.lang.reflect=ALL-UNNAMED#"),
              std::string::npos);
    EXPECT_NE(os.processes.ran[3].find("#--enable-native-access=ALL-UNNAMED\""), std::string::npos);
    EXPECT_EQ(os.events.written.back().id, 1004u);
    // Every other field as it was: the base stays where it was.
    ASSERT_TRUE(session.open("shop").done());
    Configuration expected = before;
    expected.catalinaHome = kNew;
    expected.javaHome = "C:\\jdk-21";
    expected.classPath = std::string(kNew) + "\\bin\\bootstrap.jar;" + kNew + "\\bin\\tomcat-juli.jar";
    EXPECT_EQ(session.configuration(), expected);
    EXPECT_EQ(session.configuration().catalinaBase, kBase);
}
