// Services made elsewhere taken over on purpose, and drift between a service and the store.
#include <nlohmann/json.hpp>

#include "config/Encodings.h"
#include "config/StoreLayout.h"
#include "service/ServiceNames.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

using Json = nlohmann::ordered_json;
using namespace std::string_literals;
const std::string kBootstrap = "org.apache.catalina.startup.Bootstrap";
const std::string kProcrun = "SOFTWARE\\WOW6432Node\\Apache Software Foundation\\Procrun 2.0\\";

// What service.bat install leaves: the wrapper's options in the 32-bit view, the service manager's record.
class AdoptionTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        addJdk("C:\\jdk-21", "21.0.2");
    }
    void madeByServiceBat(const std::string& name, const std::string& home, const std::string& base,
                          const std::string& version, const std::vector<std::string>& extraOptions,
                          const std::vector<std::string>& options9) {
        const std::string major = version.substr(0, version.find('.'));
        const std::string key = kProcrun + name + "\\Parameters";
        std::vector<std::string> options = {"-Dcatalina.home=" + home, "-Dcatalina.base=" + base};
        options.insert(options.end(), extraOptions.begin(), extraOptions.end());
        for (const std::string& option : {"-Djava.io.tmpdir=" + base + "\\temp",
                                          "-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager"s,
                                          "-Djava.util.logging.config.file=" + base + "\\conf\\logging.properties"})
            options.push_back(option);
        std::string classPath = home + "\\bin\\bootstrap.jar;" + base + "\\bin\\tomcat-juli.jar";
        if (home != base) classPath += ";" + home + "\\bin\\tomcat-juli.jar";
        os.registry.write(kLocalMachine, key + "\\Java",
                          {RegistryWrite::textValue("Jvm", "C:\\jdk-21\\bin\\server\\jvm.dll"),
                           RegistryWrite::textValue("Classpath", classPath),
                           RegistryWrite::listValue("Options", options), RegistryWrite::listValue("Options9", options9),
                           RegistryWrite::numberValue("JvmMs", 128), RegistryWrite::numberValue("JvmMx", 256)});
        for (const std::string verb : {"Start", "Stop"}) {
            const std::string param = verb == "Start" ? "start" : "stop";
            os.registry.write(
                kLocalMachine, key + "\\" + verb,
                {RegistryWrite::textValue("Class", kBootstrap), RegistryWrite::listValue("Params", {param}),
                 RegistryWrite::textValue("Mode", "jvm"), RegistryWrite::textValue("WorkingPath", home)});
        }
        os.registry.write(
            kLocalMachine, key + "\\Log",
            {RegistryWrite::textValue("Path", base + "\\logs"), RegistryWrite::textValue("StdOutput", "auto"),
             RegistryWrite::textValue("StdError", "auto")});
        ServiceConfiguration made;
        made.displayName = "Apache Tomcat " + version.substr(0, version.rfind('.')) + " " + name;
        made.description = "Apache Tomcat " + version + " Server - https://tomcat.apache.org/";
        made.account = "LocalSystem";
        made.dependencies = {"Tcpip", "Afd"};
        os.services.services[name] = {"\"" + home + "\\bin\\tomcat" + major + ".exe\" //RS//" + name, true, made};
    }
    // The printed lines (each ended by a line break) missing from the output.
    static std::string missing(const std::string& out, const std::string& lines) {
        std::string absent;
        for (std::size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1)
            if (out.find(lines.substr(at, end - at + 1)) == std::string::npos) absent += lines.substr(at, end - at + 1);
        return absent;
    }
};

const std::vector<std::string> kOptions9Of90 = {
    "--add-opens=java.base/java.lang=ALL-UNNAMED",         "--add-opens=java.base/java.lang.invoke=ALL-UNNAMED",
    "--add-opens=java.base/java.lang.reflect=ALL-UNNAMED", "--add-opens=java.base/java.io=ALL-UNNAMED",
    "--add-opens=java.base/java.util=ALL-UNNAMED",         "--add-opens=java.base/java.util.concurrent=ALL-UNNAMED",
    "--add-opens=java.rmi/sun.rmi.transport=ALL-UNNAMED",  "-Dsun.io.useCanonCaches=false"};

}  // namespace

TEST_F(AdoptionTest, OnlyTomcatServicesThatAreNotVelmorasAreListedWithWhyNotAndWhatEachWouldBeStoredAs) {
    addTomcat("C:\\tomcat9", "9.0.85");
    addTomcat("C:\\tomcat10", "10.1.34");
    addTomcat("C:\\tomcat11", "11.0.2");
    madeByServiceBat("Tomcat9", "C:\\tomcat9", "C:\\tomcat9", "9.0.85",
                     {"-Dignore.endorsed.dirs=C:\\tomcat9\\endorsed"}, kOptions9Of90);
    madeByServiceBat("Tomcat10", "C:\\tomcat10", "C:\\tomcat10", "10.1.34", {},
                     {"--add-opens=java.base/java.lang=ALL-UNNAMED", "-Dextra.given.in.the.monitor=1"});
    // Tomcat 11 with a base of its own, changed since in the wrapper's monitor and the Services console.
    madeByServiceBat("Tomcat11", "C:\\tomcat11", "D:\\sites\\shop", "11.0.2", {"-Xss512k", "-Dshop=a#b"}, {});
    os.registry.write(kLocalMachine, kProcrun + "Tomcat11\\Parameters\\Log",
                      {RegistryWrite::textValue("StdOutput", "D:\\sites\\shop\\logs\\console.log"),
                       RegistryWrite::textValue("Level", "Debug")});
    os.registry.write(kLocalMachine, kProcrun + "Tomcat11\\Parameters\\Java",
                      {RegistryWrite::textValue("Jvm", "auto"), RegistryWrite::numberValue("JvmMx", 65536)});
    os.registry.write(kLocalMachine, kProcrun + "Tomcat11\\Parameters\\Stop",
                      {RegistryWrite::numberValue("Timeout", 45)});
    for (const std::string verb : {"Start", "Stop"})
        os.registry.write(kLocalMachine, kProcrun + "Tomcat11\\Parameters\\" + verb,
                          {RegistryWrite::listValue("Params", {"-config", "D:\\sites\\shop\\conf\\shop.xml",
                                                               verb == "Start" ? "start" : "stop"})});
    ServiceConfiguration& eleven = os.services.services["Tomcat11"].configuration;
    eleven.startType = StartType::Automatic;
    eleven.delayedStart = true;
    eleven.failureActions = {{true, 60000}, {true, 120000}, {false, 0}};
    eleven.resetPeriodSeconds = 3600;
    os.services.services["Tomcat11"].started = false;
    // The classic wrapper's copy, as its own installer made it (unquoted), and an older store's entry for it
    // without a record.
    os.files.addFile("C:\\tomcat\\bin\\shop.exe", "the classic wrapper");
    os.services.services["shop"] = {"C:\\tomcat\\bin\\shop.exe -service shop", false, {}};
    saveNew("shop");
    put("shop", {RegistryWrite::numberValue(store::kInstalled, 1)});
    // Not Tomcat services, not of a Catalina home, or not as its wrapper: never listed.
    os.services.services["agent"] = {"\"C:\\vendor\\bin\\agent.exe\" -run", true, {}};
    os.files.addFile("C:\\tomcat\\bin\\edited.exe", "a wrapper someone changed");
    os.services.services["edited"] = {"\"C:\\tomcat\\bin\\edited.exe\" -service edited", false, {}};
    os.services.services["renamed"] = {"\"C:\\tomcat9\\bin\\tomcat9.exe\" //RS//Tomcat9", false, {}};
    os.services.services["Tomcat"] = {"\"C:\\tomcat11\\bin\\tomcat11.exe\" //RS//Tomcat", false, {}};
    installNew("mine");  // Velmora's own

    const CliRun list = runCli(os, {"adopt", "--list"});
    EXPECT_EQ(list.code, 0) << list.err;
    EXPECT_EQ(list.out,
              "shop (\"shop\"), not running: Tomcat of unknown version in C:\\tomcat, classic wrapper copy; an older "
              "store entry without a record\n"
              "Tomcat10 (\"Apache Tomcat 10.1 Tomcat10\"), running: Tomcat 10.1.34 in C:\\tomcat10, Tomcat 7-11 "
              "wrapper (//RS//); made elsewhere\n"
              "Tomcat11 (\"Apache Tomcat 11.0 Tomcat11\"), not running: Tomcat 11.0.2 in C:\\tomcat11, Tomcat 7-11 "
              "wrapper (//RS//); made elsewhere\n"
              "Tomcat9 (\"Apache Tomcat 9.0 Tomcat9\"), running: Tomcat 9.0.85 in C:\\tomcat9, Tomcat 7-11 wrapper "
              "(//RS//); made elsewhere\n");
    const Json json = Json::parse(runCli(os, {"adopt", "--list", "--json"}).out);
    ASSERT_EQ(json.size(), 4u);
    EXPECT_EQ(json[1]["programLine"], "\"C:\\tomcat10\\bin\\tomcat10.exe\" //RS//Tomcat10");
    EXPECT_EQ(json[1]["stored"], false);
    EXPECT_EQ(json[0]["stored"], true);

    // Asked for by name, each that is not listed says why.
    const std::pair<const char*, const char*> refusals[] = {
        {"agent",
         "The service \"agent\" runs \"C:\\vendor\\bin\\agent.exe\" -run, which is not a Tomcat service "
         "wrapper of a Catalina home: Velmora takes over only those. Nothing was changed.\n"},
        {"edited",
         "The service \"edited\" runs C:\\tomcat\\bin\\edited.exe, which is not a copy of "
         "C:\\tomcat\\bin\\tomcat.exe: Velmora takes over only a service that runs its home's own wrapper. "
         "Nothing was changed.\n"},
        {"renamed",
         "The service \"renamed\" runs \"C:\\tomcat9\\bin\\tomcat9.exe\" //RS//Tomcat9, which is not a "
         "Tomcat service wrapper of a Catalina home: Velmora takes over only those. Nothing was changed.\n"},
        {"mine",
         "The service \"mine\" is Velmora's already: the configuration \"mine\" installed it. Nothing was "
         "changed.\n"},
        {"nothere", "No service named \"nothere\" is installed on this computer. Nothing was changed.\n"}};
    for (const auto& [name, why] : refusals) {
        const CliRun refused = runCli(os, {"adopt", name, "--yes"});
        EXPECT_EQ(refused.code, 3) << name;
        EXPECT_EQ(refused.err, why);
    }
    EXPECT_NE(runCli(os, {"adopt", "Tomcat", "--yes"}).err.find("The Service Name \"Tomcat\" cannot be used"),
              std::string::npos);

    // What each would be stored as: its own base and the paths below it, and what no configuration keeps.
    EXPECT_EQ(
        missing(runCli(os, {"adopt", "Tomcat10"}).out,
                "catalina.base = C:\\tomcat10\njava.class.path = "
                "C:\\tomcat10\\bin\\bootstrap.jar;C:\\tomcat10\\bin\\tomcat-juli.jar\nNot kept: The wrapper keeps "
                "--add-opens=java.base/java.lang=ALL-UNNAMED#-Dextra.given.in.the.monitor=1 as Java\\Options9, which "
                "the configuration cannot keep: Velmora gives "
                "--add-opens=java.base/java.lang=ALL-UNNAMED#--add-opens=java.base/"
                "java.lang.reflect=ALL-UNNAMED#--add-opens=java.base/java.io=ALL-UNNAMED#--add-opens=java.base/"
                "java.util=ALL-UNNAMED#--add-opens=java.base/java.util.concurrent=ALL-UNNAMED#--add-opens=java.rmi/"
                "sun.rmi.transport=ALL-UNNAMED#-Dsun.io.useCanonCaches=false when it sets that value.\n"),
        "");
    // Its JDK is a new configuration's, as "auto" names none.
    EXPECT_EQ(
        missing(runCli(os, {"adopt", "Tomcat11"}).out,
                "tomcat.home = C:\\tomcat11\nsystem.out = D:\\sites\\shop\\logs\nsystem.err = "
                "D:\\sites\\shop\\logs\ntomcat.config = D:\\sites\\shop\\conf\\shop.xml\ncatalina.base = "
                "D:\\sites\\shop\njava.security.policy = D:\\sites\\shop\\conf\\catalina.policy\njava.home = "
                "C:\\jdk\njava.class.path = "
                "C:\\tomcat11\\bin\\bootstrap.jar;D:\\sites\\shop\\bin\\tomcat-juli.jar;C:\\tomcat11\\bin\\tomcat-juli."
                "jar\njava.io.tmpdir = D:\\sites\\shop\\temp\ninit.heap.size = 128\nmax.heap.size = "
                "\nadditional.jvm.options = -Xss512k\nadditional.jvm.options = -Dshop=a#b\nservice.startup = "
                "delayed\nservice.stop.timeout = 45\nservice.recovery.first = 60\nservice.recovery.second = "
                "120\nservice.recovery.later = 0\nservice.recovery.reset = 3600\nNot kept: The service loads the JVM "
                "library auto, which is not a JDK's bin\\server, bin\\client, jre\\bin\\server or jre\\bin\\client "
                "jvm.dll: Java Home and JVM are not taken from it.\nNot kept: The service holds 65536 as Max Heap Size "
                "(MB) (max.heap.size), which a configuration cannot keep: expected a whole number from 0 to 32767 (0 "
                "or nothing: no size).\nNot kept: The wrapper keeps D:\\sites\\shop\\logs\\console.log as "
                "Log\\StdOutput, which the configuration cannot keep: Velmora gives "
                "D:\\sites\\shop\\logs\\Tomcat11_out.log when it sets that value.\nNot kept: The wrapper keeps Debug "
                "as Log\\Level, which is no value of a configuration: Velmora neither reads nor sets it.\n"),
        "");
    EXPECT_EQ(os.processes.ran.size(), 1u);  // mine's install, and nothing since
    EXPECT_EQ(storedList(), (std::vector<std::string>{"shop", "mine"}));

    // A classic service taken over keeps the wrapper copy its installer made: an uninstall removes the service only.
    CliRun run = runCli(os, {"adopt", "shop", "--yes", "--replace"});
    ASSERT_EQ(run.code, 0) << run.err;
    run = runCli(os, {"uninstall", "shop", "--yes"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(os.services.services.count("shop"), 0u);
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\bin\\shop.exe"));
    // Nor is it taken for Velmora's own by a later install, which leaves a file it did not make alone.
    EXPECT_NE(runCli(os, {"install", "shop", "--yes"}).code, 0);
    EXPECT_EQ(*os.files.readBytes("C:\\tomcat\\bin\\shop.exe", 100), "the classic wrapper");
}

TEST_F(AdoptionTest, AServiceMadeByServiceBatIsTakenOverAsItHoldsItAndThenWorkedOnAsVelmorasOwn) {
    addTomcat("C:\\tomcat9", "9.0.85");
    madeByServiceBat("Tomcat9", "C:\\tomcat9", "C:\\tomcat9", "9.0.85",
                     {"-Dignore.endorsed.dirs=C:\\tomcat9\\endorsed"}, kOptions9Of90);
    os.registry.writeLog.clear();
    const std::string preview =
        "Service Tomcat9 (\"Apache Tomcat 9.0 Tomcat9\"), running: Tomcat 9.0.85 in C:\\tomcat9, Tomcat 7-11 wrapper "
        "(//RS//); made elsewhere\n"
        "It runs \"C:\\tomcat9\\bin\\tomcat9.exe\" //RS//Tomcat9\n"
        "The configuration it would be stored as:\n"
        "name = Tomcat9\ntomcat.home = C:\\tomcat9\nsystem.out = C:\\tomcat9\\logs\nsystem.err = C:\\tomcat9\\logs\n"
        "tomcat.config = C:\\tomcat9\\conf\\server.xml\ncatalina.base = C:\\tomcat9\njava.security.manager = 0\n"
        "java.security.policy = C:\\tomcat9\\conf\\catalina.policy\njvm = server\njava.home = C:\\jdk-21\n"
        "java.class.path = C:\\tomcat9\\bin\\bootstrap.jar;C:\\tomcat9\\bin\\tomcat-juli.jar\n"
        "java.io.tmpdir = C:\\tomcat9\\temp\ninit.heap.size = 128\nmax.heap.size = 256\n"
        "description = Apache Tomcat 9.0.85 Server - https://tomcat.apache.org/\nreduce.os.signals = 0\n"
        "thread.stack.size = \nadditional.jvm.options = -Dignore.endorsed.dirs=C:\\tomcat9\\endorsed\n"
        "service.startup = manual\nservice.account = LocalSystem\nservice.depends.on = Tcpip\n"
        "service.depends.on = Afd\nservice.stop.timeout = 30\nservice.recovery.first = 0\n"
        "service.recovery.second = 0\nservice.recovery.later = 0\nservice.recovery.reset = 0\n"
        "service.recovery.on.error.exit = 0\nservice.display.name = Apache Tomcat 9.0 Tomcat9\nservice.ready.url = \n"
        "service.start.timeout = 120\nlogs.keep.days = \nlogs.max.mb = \n"
        "Not kept: The wrapper keeps the entries of Java\\Options in another order (-Dcatalina.home=C:\\tomcat9#"
        "-Dcatalina.base=C:\\tomcat9#-Dignore.endorsed.dirs=C:\\tomcat9\\endorsed#-Djava.io.tmpdir=C:\\tomcat9\\temp#"
        "-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager#-Djava.util.logging.config.file=C:\\tomcat9"
        "\\conf\\logging.properties): Velmora gives them in its own (-Dcatalina.home=C:\\tomcat9#-Dcatalina.base=C:\\"
        "tomcat9#-Djava.io.tmpdir=C:\\tomcat9\\temp#-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager#"
        "-Djava.util.logging.config.file=C:\\tomcat9\\conf\\logging.properties#-Dignore.endorsed.dirs=C:\\tomcat9\\"
        "endorsed) when it sets that value.\n"
        "Not kept: The wrapper keeps auto as Log\\StdOutput, which the configuration cannot keep: Velmora gives "
        "C:\\tomcat9\\logs\\Tomcat9_out.log when it sets that value.\n"
        "Not kept: The wrapper keeps auto as Log\\StdError, which the configuration cannot keep: Velmora gives "
        "C:\\tomcat9\\logs\\Tomcat9_err.log when it sets that value.\n"
        "Not kept: The wrapper keeps nothing as Stop\\Timeout, which the configuration cannot keep: Velmora gives 30 "
        "when it sets that value.\n";

    // Without --yes: shown, asked, answered No; nothing stored, nothing run.
    CliRun run = runCli(os, {"adopt", "tomcat9"});
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.out, preview);
    EXPECT_EQ(run.err,
              "Confirm: Take over the service \"Tomcat9\" (it runs \"C:\\tomcat9\\bin\\tomcat9.exe\" //RS//Tomcat9) as "
              "Velmora's? Velmora stores the configuration \"Tomcat9\" with the values the service holds now and marks "
              "the service as its own; the service itself does not change and keeps running. From then on Velmora "
              "changes, restarts and removes it as it does a service it installed. 4 value(s) the service holds cannot "
              "be kept in the configuration (shown with it); Velmora gives its own when it sets them. Continue?\n"
              "  -> No (--yes answers Yes)\nNothing was changed.\n");
    EXPECT_EQ(storedList(), std::vector<std::string>{});

    // One that is made over for another home while the question waits is not taken over; nor one that goes.
    const MemoryServices::Service made = os.services.services["Tomcat9"];
    addTomcat("C:\\tomcat10", "10.1.34");
    const std::string other = "\"C:\\tomcat10\\bin\\tomcat10.exe\" //RS//Tomcat9";
    ui.whileAsking = [&](const Question& q) {
        if (q.kind == QuestionKind::TakeOverService) os.services.services["Tomcat9"].binaryPath = other;
    };
    EXPECT_EQ(session.adopt("Tomcat9", false).summary,
              "The service \"Tomcat9\" changed while the question waited: it now runs " + other +
                  ". Nothing was changed; look at it again before taking it over.");
    ui.whileAsking = [&](const Question&) { os.services.services.erase("Tomcat9"); };
    EXPECT_EQ(session.adopt("Tomcat9", false).result, Outcome::Result::Refused);
    ui.whileAsking = nullptr;
    os.services.services["Tomcat9"] = made;
    EXPECT_FALSE(os.registry.read(kLocalMachine, serviceKey("Tomcat9"), kInstallMarkValue).has_value());
    EXPECT_EQ(storedList(), std::vector<std::string>{});

    // A store that cannot be written: the mark comes off the service again.
    os.registry.readOnlyKeys.insert(kStore);
    run = runCli(os, {"adopt", "tomcat9", "--yes"});
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(os.registry.read(kLocalMachine, serviceKey("Tomcat9"), kInstallMarkValue).has_value());
    os.registry.readOnlyKeys.clear();
    os.registry.writeLog.clear();

    // With --yes: stored under the service's spelling with the record of what it runs; the service stays as it was.
    run = runCli(os, {"adopt", "tomcat9", "--yes"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, preview +
                           "The service \"Tomcat9\" is Velmora's now, stored as the configuration \"Tomcat9\"; it "
                           "runs as it did.\n");
    EXPECT_TRUE(os.processes.ran.empty()) << lastOf(os.processes.ran);
    EXPECT_TRUE(running("Tomcat9"));
    ASSERT_FALSE(os.events.written.empty());
    EXPECT_EQ(os.events.written.back().id, 1002u);  // the take-over, for monitoring
    // Written: the store and Velmora's mark in the service's key, nothing else.
    for (const std::string& written : os.registry.writeLog)
        EXPECT_TRUE(written.rfind(kStore + "\\", 0) == 0 || written.rfind(kStore + "|", 0) == 0 ||
                    written == serviceKey("Tomcat9") + "|" + kInstallMarkValue)
            << written;
    EXPECT_EQ(os.services.services["Tomcat9"].binaryPath, "\"C:\\tomcat9\\bin\\tomcat9.exe\" //RS//Tomcat9");
    EXPECT_EQ(storedList(), std::vector<std::string>{"Tomcat9"});
    EXPECT_EQ(stored("Tomcat9", store::kInstalledProgramLine), "\"C:\\tomcat9\\bin\\tomcat9.exe\" //RS//Tomcat9");
    EXPECT_EQ(storedNumber("Tomcat9", store::kInstalledAdopted), 1u);
    EXPECT_EQ(storedText(os.registry.read(kLocalMachine, serviceKey("Tomcat9"), kInstallMarkValue)).text,
              stored("Tomcat9", store::kInstalledMark));
    const std::string shown = runCli(os, {"show", "Tomcat9"}).out;
    EXPECT_EQ(shown, preview.substr(preview.find("name = "), preview.find("Not kept") - preview.find("name = ")) +
                         "installed = 1\nstatus = running\ntomcat.version = 9.0.85\n");
    EXPECT_EQ(runCli(os, {"adopt", "Tomcat9", "--yes"}).code, 3);  // Velmora's now
    run = runCli(os, {"show", "Tomcat9", "--service"});
    EXPECT_NE(run.out.find("The service holds the stored values.\n"), std::string::npos) << run.out;

    // From now on it is Velmora's: stop, start, a change where it stands, and an uninstall that says whose it was.
    // Its wrapper holds no stop timeout and waits for Tomcat: a stop of 35 s is no forced one.
    os.services.services["Tomcat9"].stopScript = {35000, {}};
    run = runCli(os, {"stop", "Tomcat9"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(runCli(os, {"start", "Tomcat9"}).code, 0);
    os.processes.ran.clear();
    run = runCli(os, {"set", "Tomcat9", "max.heap.size=1024"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(os.processes.ran,
              std::vector<std::string>{"\"C:\\tomcat9\\bin\\tomcat9.exe\" //US//Tomcat9 --JvmMx 1024"});
    run = runCli(os, {"uninstall", "Tomcat9"});
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.err,
              "Confirm: The service \"Tomcat9\" was not created by Velmora: it was made elsewhere and taken over as it "
              "was. Uninstalling stops Tomcat and removes the service. Continue?\n  -> No (--yes answers Yes)\n"
              "Nothing was changed.\n");
    EXPECT_TRUE(running("Tomcat9"));
    EXPECT_EQ(runCli(os, {"uninstall", "Tomcat9", "--yes"}).code, 0);
    EXPECT_EQ(lastOf(os.processes.ran), "\"C:\\tomcat9\\bin\\tomcat9.exe\" //DS//Tomcat9");
    EXPECT_EQ(storedNumber("Tomcat9", store::kInstalled), 0u);
}

TEST_F(AdoptionTest, AChangeMadePastVelmoraShowsInTheServiceAndTheCheckAndApplyGivesTheStoredValuesBack) {
    saveNew("svc");
    editing.edit(Field::MaxHeapSize, "512");
    editing.addOption("-Dx=y");
    ASSERT_TRUE(session.install().done());
    const std::string parameters = parametersKey("svc");
    // As the classic wrapper's -install leaves it.
    os.registry.write(kLocalMachine, parameters,
                      {RegistryWrite::textValue("JVM Library", "C:\\jdk\\jre\\bin\\server\\jvm.dll")});
    const std::string before = runCli(os, {"show", "svc"}).out;
    CliRun run = runCli(os, {"show", "svc", "--service"});
    EXPECT_EQ(run.out.find("differs"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("name = svc\ntomcat.home = C:\\tomcat\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("max.heap.size = 512\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("additional.jvm.options = -Dx=y\n"), std::string::npos) << run.out;
    EXPECT_NE(
        run.out.find("The service holds no value of: java.security.policy, service.stop.timeout, "
                     "service.environment, service.ready.url, service.start.timeout, logs.keep.days, logs.max.mb.\n"
                     "The service holds the stored values.\n"),
        std::string::npos)
        << run.out;

    // Someone raises the heap in the wrapper's values and disables the service with the service manager.
    os.registry.write(kLocalMachine, parameters, {RegistryWrite::textValue("JVM Option Number 7", "-Xmx2048m")});
    os.services.services["svc"].configuration.startType = StartType::Disabled;
    run = runCli(os, {"show", "svc", "--service"});
    EXPECT_NE(run.out.find("max.heap.size = 2048    <- differs from the stored 512\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("service.startup = disabled    <- differs from the stored auto\n"), std::string::npos);
    EXPECT_NE(run.out.find("2 field(s) differ from the stored configuration; apply gives the service the stored "
                           "values again.\n"),
              std::string::npos);
    EXPECT_EQ(Json::parse(runCli(os, {"show", "svc", "--service", "--json"}).out)["drift"].dump(),
              R"([{"field":"max.heap.size","stored":512,"service":2048},)"
              R"({"field":"service.startup","stored":"auto","service":"disabled"}])");
    run = runCli(os, {"check", "svc", "--json"});
    EXPECT_EQ(run.code, 4);
    const Json problems = Json::parse(run.out)["problems"];
    ASSERT_EQ(problems.size(), 2u) << run.out;
    EXPECT_EQ(problems[0].dump(),
              Json({{"field", "max.heap.size"},
                    {"label", "Max Heap Size (MB)"},
                    {"kind", "service-differs"},
                    {"path", ""},
                    {"message",
                     "The service \"svc\" holds \"2048\" as Max Heap Size (MB) (max.heap.size), the stored "
                     "configuration \"512\": it was changed past Velmora. velmora-cli apply gives the "
                     "service the stored value again."},
                    {"stored", "512"},
                    {"service", "2048"}})
                  .dump());
    EXPECT_EQ(problems[1]["field"], "service.startup");

    // apply puts the stored values back, and counts that as a change; a second run finds nothing to do.
    ASSERT_EQ(runCli(os, {"export", "svc", "--out", "C:\\svc.json"}).code, 0);
    // A save changes the service from what it holds: with the heap it holds, only the start-up type is set.
    run = runCli(os, {"apply", "C:\\svc.json", "--check", "--set", "max.heap.size=2048"});
    EXPECT_EQ(run.out,
              "svc: would change; values: max.heap.size; would store, change the service in place and give back "
              "service.startup, changed past Velmora\n1 configuration(s): 1 would change, 0 unchanged, 0 failed.\n");
    // A save that changes nothing the service holds leaves what was changed past Velmora to apply.
    ASSERT_TRUE(session.open("svc").done());
    ui.forget();
    ASSERT_TRUE(session.save().done());
    EXPECT_EQ(os.services.services["svc"].configuration.startType, StartType::Disabled);
    EXPECT_TRUE(ui.askedKinds().empty());
    run = runCli(os, {"apply", "C:\\svc.json", "--yes"});
    EXPECT_EQ(run.code, 10) << run.err;
    EXPECT_EQ(run.out,
              "svc: changed; give the service the stored values again (max.heap.size, service.startup)\n"
              "1 configuration(s): 1 changed, 0 unchanged, 0 failed.\n");
    EXPECT_EQ(storedText(os.registry.read(kLocalMachine, parameters, "JVM Option Number 7")).text, "-Xmx512m");
    EXPECT_EQ(os.services.services["svc"].configuration.startType, StartType::Automatic);
    ASSERT_EQ(os.events.written.back().id, 1003u);
    EXPECT_EQ(
        os.events.written.back().strings,
        (std::vector<std::string>{
            "svc",
            "The service \"svc\" holds the stored values again (max.heap.size, "
            "service.startup).\r\nGiven back: max.heap.size, service.startup; change the service in place (takes a "
            "restart)."}));
    EXPECT_EQ(runCli(os, {"apply", "C:\\svc.json", "--yes"}).code, 0);
    // An option slot changed past Velmora is written again by a save that changes another option, as foreseen.
    os.registry.write(kLocalMachine, parameters, {RegistryWrite::textValue("JVM Option Number 7", "-Xmx2048m")});
    run = runCli(os, {"apply", "C:\\svc.json", "--check", "--set", "additional.jvm.options=-Dx=1"});
    EXPECT_EQ(run.out,
              "svc: would change; values: additional.jvm.options; would store, change the service in place (takes a "
              "restart) and give back max.heap.size, changed past Velmora\n"
              "1 configuration(s): 1 would change, 0 unchanged, 0 failed.\n");
    run = runCli(os, {"apply", "C:\\svc.json", "--yes", "--set", "additional.jvm.options=-Dx=1"});
    EXPECT_EQ(run.out,
              "svc: changed; values: additional.jvm.options; store, change the service in place (takes a restart) and "
              "give back max.heap.size, changed past Velmora\n1 configuration(s): 1 changed, 0 unchanged, 0 failed.\n");
    EXPECT_EQ(storedText(os.registry.read(kLocalMachine, parameters, "JVM Option Number 7")).text, "-Xmx512m");
    // set says so too.
    os.registry.write(kLocalMachine, parameters, {RegistryWrite::textValue("JVM Option Number 7", "-Xmx2048m")});
    run = runCli(os, {"set", "svc", "additional.jvm.options=-Dx=2"});
    EXPECT_NE(run.out.find("The service \"svc\" held other values than the stored ones for max.heap.size, changed "
                           "past Velmora: they were set back with this change.\n"),
              std::string::npos)
        << run.out;
    // Additional options that look like a flag's or the policy's are still the ones Velmora gave, and a display
    // name given as the service's own name is the one it shows.
    run =
        runCli(os, {"set", "svc", "reduce.os.signals=0", "additional.jvm.options=-Xrs",
                    "additional.jvm.options=-Djava.security.policy=C:\\p.policy", "service.display.name=svc", "--yes"});
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(runCli(os, {"export", "svc", "--out", "C:\\svc.json"}).code, 0);
    os.processes.ran.clear();
    run = runCli(os, {"apply", "C:\\svc.json", "--yes"});
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_TRUE(os.processes.ran.empty());
    ASSERT_EQ(runCli(os, {"set", "svc", "reduce.os.signals=1", "additional.jvm.options=-Dx=y", "--yes"}).code, 0);

    // An older store's entry without a record is taken over only on purpose, replacing it with what the service holds.
    put("svc", {RegistryWrite::textValue(store::kInstalledProgramLine, ""),
                RegistryWrite::textValue(store::kInstalledMark, "")});
    EXPECT_EQ(runCli(os, {"start", "svc"}).code, 3);
    run = runCli(os, {"adopt", "svc", "--yes"});
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.err,
              "A configuration named \"svc\" is already stored; --replace replaces it with the service's. "
              "Nothing was changed.\n");
    run = runCli(os, {"adopt", "svc", "--yes", "--replace"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.find("Not kept"), std::string::npos) << run.out;
    EXPECT_EQ(runCli(os, {"show", "svc"}).out, before);
    EXPECT_NE(before.find("tomcat.config = C:\\tomcat\\conf\\server.xml\n"), std::string::npos);
    EXPECT_NE(before.find("java.class.path = C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\common\\lib;C:\\jdk\\lib\\"
                          "tools.jar\n"),
              std::string::npos);
    EXPECT_EQ(runCli(os, {"start", "svc"}).code, 0);
}
