// Install, start, stop and removal through both wrappers, as the service manager and registry see them.
#include <functional>

#include "checks/Rights.h"
#include "config/Encodings.h"
#include "config/ServiceAccount.h"
#include "config/StoreLayout.h"
#include "service/ServiceNames.h"
#include "service/ServiceSettings.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

const std::string kParameters = "SYSTEM\\CurrentControlSet\\Services\\svc\\Parameters";

TEST_F(SessionTest, TheClassicWrapperIsCopiedRegisteredGivenItsValuesAndRemovedWithWhatItLeaves) {
    saveNew("svc");
    editing.edit(Field::UseSecurityManager, "1");
    editing.edit(Field::InitialHeapSize, "64");
    editing.edit(Field::MaxHeapSize, "256");
    editing.edit(Field::ThreadStackSize, "abc");
    editing.addOption("-Dx=y");
    // It hands the JVM no environment of its own: a variable is refused as it is typed.
    EXPECT_EQ(editing.edit(Field::Environment, "TZ=UTC").summary,
              "The classic service wrapper (bin\\tomcat.exe) hands the JVM no environment of its own, so 'TZ=UTC' "
              "(Environment) would never reach Tomcat. Set it for the machine instead, or use a Tomcat 7 or later "
              "home.");
    EXPECT_TRUE(editing.configuration().environment.empty());
    ASSERT_TRUE(session.install().done());

    EXPECT_EQ(os.processes.ran,
              std::vector<std::string>{
                  "C:\\tomcat\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main"});
    EXPECT_EQ(os.files.files["C:\\tomcat\\bin\\svc.exe"], "the classic wrapper");
    auto value = [&](const std::string& name) { return *os.registry.read(kLocalMachine, kParameters, name); };
    auto text = [&](const std::string& name) {
        const RegistryValue v = value(name);
        EXPECT_EQ(v.type, kRegSz) << name;
        EXPECT_EQ(v.text.find('\0'), v.text.size() - 1) << name << ": written with its terminating NUL alone";
        return v.text.substr(0, v.text.size() - 1);
    };
    auto number = [&](const std::string& name) {
        const RegistryValue v = value(name);
        EXPECT_EQ(v.type, kRegDword) << name;
        return v.number;
    };
    std::string texts;
    for (const char* name :
         {"Start Class", "Stop Class", "Start Method", "Start Param Number 0", "Start Param Number 1",
          "Start Param Number 2", "Stop Param Number 0", "System.out File", "System.err File"})
        texts += text(name) + "|";
    EXPECT_EQ(texts,
              "org.apache.catalina.startup.BootstrapService|org.apache.catalina.startup.BootstrapService|main|start|"
              "-config|C:\\tomcat\\conf\\server.xml|stop|C:\\tomcat\\logs\\svc_out.log|C:\\tomcat\\logs\\svc_err.log|");
    EXPECT_EQ(number("Start Param Count"), 3u);
    EXPECT_EQ(number("Stop Param Count"), 1u);
    const std::vector<std::string> options(
        {"-Dcatalina.home=C:\\tomcat", "-Dcatalina.base=C:\\tomcat", "-Djava.io.tmpdir=C:\\tomcat\\temp",
         "-Djava.endorsed.dirs=C:\\tomcat\\common\\endorsed",
         "-Djava.class.path=C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\common\\lib;C:\\jdk\\lib\\tools.jar",
         "-Djava.home=C:\\jdk\\jre", "-Djava.security.manager",
         "-Djava.security.policy=C:\\tomcat\\conf\\catalina.policy", "-Xrs", "-Xms64m", "-Xmx256m", "-Dx=y"});
    for (std::size_t n = 0; n < options.size(); ++n)
        EXPECT_EQ(text("JVM Option Number " + std::to_string(n)), options[n]);
    EXPECT_EQ(number("JVM Option Count"), 12u);
    EXPECT_FALSE(os.registry.read(kLocalMachine, kParameters, "JVM Library"));  // the -install line carried it
    EXPECT_EQ(ui.status, ServiceStatus::NotRunning);

    // Start runs System32's net.
    EXPECT_TRUE(session.start().done());
    EXPECT_EQ(lastOf(os.processes.programs), "C:\\windows\\system32\\net.exe");
    EXPECT_EQ(lastOf(os.processes.ran), "net start \"svc\"");
    EXPECT_EQ(ui.status, ServiceStatus::Running);

    // A wrapper that does not remove its service: nothing more is done.
    os.processes.exitCodes = {{"C:\\tomcat\\bin\\svc.exe -uninstall svc", 5}};
    os.processes.outputs["C:\\tomcat\\bin\\svc.exe -uninstall svc"] = "Access denied.\r\n";
    const auto wrappers = os.processes.onRun;
    os.processes.onRun = nullptr;
    EXPECT_EQ(session.uninstall().summary,
              "The service \"svc\" is still registered: the service wrapper did not remove it (exit code "
              "5). Stop it and try again. svc.exe said: Access denied.");
    EXPECT_TRUE(session.installed());
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\bin\\svc.exe"));

    // Removal stops, unregisters, deletes our copy and the key's leftovers.
    os.processes.onRun = wrappers;
    os.processes.exitCodes.clear();
    const Outcome uninstalled = session.uninstall();
    ASSERT_TRUE(uninstalled.done());
    EXPECT_EQ(lastOf(os.processes.ran), "C:\\tomcat\\bin\\svc.exe -uninstall svc");
    EXPECT_FALSE(serviceExists("svc"));
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\bin\\svc.exe"));
    EXPECT_FALSE(os.registry.keyExists(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\svc"));
    EXPECT_EQ(uninstalled.announcement, "Service \"svc\" has been uninstalled.");
    EXPECT_EQ(ui.status, ServiceStatus::NotInstalled);

    // A copy that stays locked is tried 50001 times and named; a later install takes it as ours.
    ASSERT_TRUE(session.install().done());
    os.files.locked.insert("C:\\tomcat\\bin\\svc.exe");
    os.files.deleteAttempts.clear();
    EXPECT_EQ(
        session.uninstall().warnings,
        std::vector<std::string>{"The service \"svc\" has been removed, but its wrapper copy C:\\tomcat\\bin\\svc.exe "
                                 "could not be deleted: it may still be in use. Delete it once the service's program "
                                 "has ended."});
    EXPECT_EQ(os.files.deleteAttempts["C:\\tomcat\\bin\\svc.exe"], 50001);
    EXPECT_FALSE(session.installed());
    os.files.locked.clear();
    EXPECT_TRUE(session.install().done());

    // A wrapper that registers the service and still fails is named, with what it said.
    ASSERT_TRUE(session.uninstall().done());
    const std::string registering =
        "C:\\tomcat\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main";
    os.processes.onRun = [&](const std::string& command) {
        wrappers(command);
        if (command == registering) os.processes.exitCodes[command] = 3;
    };
    os.processes.outputs[registering] = "Could not write a value.\r\n";
    const Outcome registered = session.install();
    EXPECT_TRUE(registered.done());
    EXPECT_EQ(registered.warnings,
              std::vector<std::string>{"The service \"svc\" was registered, but its wrapper ended "
                                       "with exit code 3. svc.exe said: Could not write a value."});
    EXPECT_TRUE(os.registry.read(kLocalMachine, kParameters, "JVM Option Count"));  // written all the same
}

TEST_F(SessionTest, TheTomcat10WrapperTakesEverySettingOnItsCommandLine) {
    useModernLayout();
    saveNew("svc");
    editing.edit(Field::Description, "Shop \"live\"");
    editing.edit(Field::MaxHeapSize, "512");
    editing.edit(Field::ThreadStackSize, "256");
    editing.addOption("-Dshop=a#b;c d");
    ASSERT_TRUE(session.install().done()) << lastOf(ui.warnings);
    EXPECT_EQ(os.processes.ran.front(),
              "\"C:\\tomcat10\\bin\\tomcat10.exe\" //IS//svc --DisplayName \"svc\" --Description \"Shop \\\"live\\\"\" "
              "--Install \"C:\\tomcat10\\bin\\tomcat10.exe\" --LogPath \"C:\\tomcat10\\logs\" "
              "--Jvm \"C:\\jdk-21\\bin\\server\\jvm.dll\" --StartPath \"C:\\tomcat10\" --StopPath \"C:\\tomcat10\" "
              "--Classpath \"C:\\tomcat10\\bin\\bootstrap.jar;C:\\tomcat10\\bin\\tomcat-juli.jar\" "
              "--StartClass org.apache.catalina.startup.Bootstrap --StopClass org.apache.catalina.startup.Bootstrap "
              "--StartParams start --StopParams stop --StartMode jvm --StopMode jvm "
              "--JvmOptions \"-Dcatalina.home=C:\\tomcat10#-Dcatalina.base=C:\\tomcat10#"
              "-Djava.io.tmpdir=C:\\tomcat10\\temp#-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager#"
              "-Djava.util.logging.config.file=C:\\tomcat10\\conf\\logging.properties#-Xrs#'-Dshop=a#b;c d'\" "
              "--JvmOptions9 \"--add-opens=java.base/java.lang=ALL-UNNAMED#--add-opens=java.base/java.io=ALL-UNNAMED#"
              "--add-opens=java.base/java.util=ALL-UNNAMED#--add-opens=java.base/java.util.concurrent=ALL-UNNAMED#"
              "--add-opens=java.rmi/sun.rmi.transport=ALL-UNNAMED\" "
              "--JvmMx 512 --JvmSs 256 --StdOutput \"C:\\tomcat10\\logs\\svc_out.log\" "
              "--StdError \"C:\\tomcat10\\logs\\svc_err.log\" --StopTimeout 30");
    // Nothing is copied, nothing written under the Parameters key.
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat10\\bin\\svc.exe"));
    EXPECT_FALSE(os.registry.keyExists(kLocalMachine, kParameters));
    // Another server.xml is Bootstrap's to read, for the start and for the stop's shutdown port; read back too.
    os.files.addFile("C:\\tomcat10\\conf\\server blue.xml", "<Server port=\"-1\"/>");
    ASSERT_TRUE(editing.edit(Field::TomcatConfigFile, "C:\\tomcat10\\conf\\server blue.xml").done());
    os.processes.ran.clear();
    ASSERT_TRUE(session.save().done());
    EXPECT_EQ(os.processes.ran,
              std::vector<std::string>{"\"C:\\tomcat10\\bin\\tomcat10.exe\" //US//svc --StartParams "
                                       "\"-config#C:\\tomcat10\\conf\\server blue.xml#start\" --StopParams "
                                       "\"-config#C:\\tomcat10\\conf\\server blue.xml#stop\""});
    // A store that refuses the save after the wrapper took the change: the service is ahead of the store, and it
    // is said.
    os.registry.readOnlyKeys.insert(kStore);
    ASSERT_TRUE(editing.edit(Field::MaxHeapSize, "1024").done());
    const Outcome ahead = session.save();
    EXPECT_EQ(ahead.result, Outcome::Result::Failed);
    EXPECT_NE(ahead.summary.find(" The service \"svc\" runs with the new values already; the stored configuration "
                                 "keeps the old ones until a save succeeds."),
              std::string::npos)
        << ahead.summary;
    os.registry.readOnlyKeys.clear();
    ASSERT_TRUE(session.save().done());
    // Only a right granted before the store refused: nothing is said to run with new values.
    os.accounts.guarded.insert("C:\\tomcat10\\logs");
    os.registry.readOnlyKeys.insert(kStore);
    ASSERT_TRUE(editing.edit(Field::ServiceAccount, "NetworkService").done());
    const Outcome granted = session.save();
    EXPECT_EQ(granted.result, Outcome::Result::Failed);
    ASSERT_FALSE(granted.steps.empty());
    EXPECT_EQ(granted.steps.front().rfind("grant", 0), 0u) << granted.steps.front();
    EXPECT_EQ(granted.summary.find("runs with the new values already"), std::string::npos) << granted.summary;
    os.registry.readOnlyKeys.clear();
    os.accounts.guarded.clear();
    ASSERT_TRUE(session.open("svc").done());
    ASSERT_TRUE(session.uninstall().done());
    EXPECT_EQ(lastOf(os.processes.ran), "\"C:\\tomcat10\\bin\\tomcat10.exe\" //DS//svc");
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat10\\bin\\tomcat10.exe"));

    // A store that refuses the install's last write: the service the install registered goes again.
    const auto wrappers = os.processes.onRun;
    os.processes.onRun = [&](const std::string& command) {
        wrappers(command);
        if (command.find(" //IS//svc ") != std::string::npos) os.registry.readOnlyKeys.insert(kStore);
    };
    const Outcome half = session.install();
    EXPECT_EQ(half.result, Outcome::Result::Failed);
    EXPECT_NE(half.summary.find(". The service it had registered was removed again."), std::string::npos)
        << half.summary;
    EXPECT_FALSE(serviceExists("svc"));
    EXPECT_EQ(lastOf(os.processes.ran), "\"C:\\tomcat10\\bin\\tomcat10.exe\" //DS//svc");
    os.registry.readOnlyKeys.clear();
    os.processes.onRun = wrappers;
}

TEST_F(SessionTest, TheServiceManagerRunsTheServiceAsConfiguredAndAChangeAloneLeavesItRunning) {
    os.services.services["Tcpip"] = {"tcpip", true, {}};
    os.accounts.guarded.insert("C:\\tomcat\\logs");
    saveNew("shop");
    // An account that may not write where the service writes is a finding, and the install offers the right.
    CheckResult check = session.checkConfiguration(ReportOpening::Never);
    ASSERT_EQ(check.report.findings.size(), 1u);
    EXPECT_EQ(check.report.findings[0].message,
              "The account NT SERVICE\\shop cannot modify 'C:\\tomcat\\logs', so the "
              "service would fail with \"Access is denied\".");
    // A base typed with a separator at its end holds the same folder, named once.
    Configuration spelt = session.configuration();
    spelt.catalinaBase = "C:\\tomcat\\";
    spelt.systemOut = "C:\\tomcat\\logs\\";
    const auto missing = missingRights(spelt, {}, os.platform);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].path, "C:\\tomcat\\logs");
    editing.edit(Field::StartupType, "delayed");
    editing.replaceList(Field::Dependencies, {"Tcpip"});
    editing.edit(Field::RecoveryFirst, "30");
    editing.edit(Field::RecoveryLater, "0");
    editing.edit(Field::RecoveryReset, "3600");
    editing.edit(Field::RecoveryOnErrorExit, "0");
    ASSERT_TRUE(session.install().done()) << lastOf(ui.warnings);
    EXPECT_EQ(ui.asked.front().text, "Grant NT SERVICE\\shop modify rights on C:\\tomcat\\logs?");
    // Of a file not there yet nothing can be told, as on Windows.
    EXPECT_EQ(os.accounts.allows("C:\\tomcat\\logs\\catalina.log", "NT SERVICE\\shop", Access::Modify), std::nullopt);
    os.files.addFile("C:\\tomcat\\logs\\catalina.log", "");
    EXPECT_EQ(os.accounts.allows("C:\\tomcat\\logs\\catalina.log", "NT SERVICE\\shop", Access::Modify), true);

    const ServiceConfiguration& held = os.services.services["shop"].configuration;
    EXPECT_TRUE(held.delayedStart);
    EXPECT_EQ(held.dependencies, std::vector<std::string>{"Tcpip"});
    EXPECT_EQ(held.failureActions, (std::vector<FailureAction>{{true, 30000}, {true, 60000}, {false, 0}}));
    EXPECT_EQ(storedNumber("shop", store::kInstalledSettingsApplied), 1u);

    // The start-up type alone, on a running service: changed where it stands, still running.
    ASSERT_TRUE(session.start().done());
    os.processes.ran.clear();
    ui.forget();
    editing.edit(Field::StartupType, "manual");
    const Outcome saved = session.save();
    EXPECT_TRUE(saved.done()) << saved.summary;
    EXPECT_EQ(saved.steps, (std::vector<std::string>{"save", "apply the service settings", "mark installed"}));
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_TRUE(ui.asked.empty());
    EXPECT_TRUE(os.services.services["shop"].started);
    EXPECT_EQ(held.startType, StartType::Manual);
    EXPECT_FALSE(held.delayedStart);

    // What the service manager refuses is named, and the settings count as not applied.
    editing.edit(Field::ServiceAccount, "CORP\\nobody");
    ui.givenPassword = "s3cret-Pa55";
    ui.answers[QuestionKind::GrantLogOnRight] = Answer::No;
    const Outcome refused = session.save();
    EXPECT_EQ(ui.passwordsAskedFor, std::vector<std::string>{"CORP\\nobody"});
    EXPECT_EQ(lastOf(refused.warnings),
              "The service manager refused the account of the service \"shop\": The account name is invalid or does "
              "not exist, or the password is invalid for the account name specified.");
    EXPECT_EQ(storedNumber("shop", store::kInstalledSettingsApplied), 0u);
    EXPECT_EQ(held.account, "NT SERVICE\\shop");

    // A known one with its password: asked once, handed over, and kept nowhere.
    os.services.accounts.insert("CORP\\tomcat");
    editing.edit(Field::ServiceAccount, "CORP\\tomcat");
    ui.answers[QuestionKind::GrantLogOnRight] = Answer::Yes;
    EXPECT_TRUE(session.save().done());
    EXPECT_EQ(held.account, "CORP\\tomcat");
    EXPECT_TRUE(os.accounts.mayLogOnAsService("CORP\\tomcat"));
    // One that may log on as a service through a group: its log-on says so, and that right is not asked for;
    // a change that keeps the account asks nothing of it.
    os.services.accounts.insert("CORP\\web");
    os.accounts.passwords["CORP\\web"] = "s3cret-Pa55";
    os.accounts.serviceLogonThroughGroup.insert("CORP\\web");
    editing.edit(Field::ServiceAccount, "CORP\\web");
    ui.forget();
    EXPECT_TRUE(session.save().done());
    EXPECT_EQ(held.account, "CORP\\web");
    const auto logOnAsked = [&] {
        const auto kinds = ui.askedKinds();
        return std::count(kinds.begin(), kinds.end(), QuestionKind::GrantLogOnRight);
    };
    EXPECT_EQ(logOnAsked(), 0);
    EXPECT_FALSE(os.accounts.mayLogOnAsService("CORP\\web"));
    os.accounts.serviceLogonThroughGroup.clear();
    editing.edit(Field::MaxHeapSize, "640");
    EXPECT_TRUE(session.save().done());
    EXPECT_EQ(logOnAsked(), 0);
    os.environment.arguments = "debug:C:\\log.txt";
    debugLog.start(os.environment);
    session.checkConfiguration(ReportOpening::Never);
    runCli(os, {"export", "--all", "--out=C:\\all.json"});
    expectKeptNowhere("s3cret-Pa55");
}

TEST_F(SessionTest, AProgramLineWithABlankIsQuotedForAServiceThatIsOurs) {
    addClassicLayout("C:\\Program Files\\tomcat");
    os.environment.folder = "C:\\Program Files\\tomcat\\bin";
    // A wrapper that registers its program without quotes.
    os.processes.onRun = [this](const std::string& command) {
        if (auto at = command.find(" -install "); at != std::string::npos)
            os.services.services["svc"] = {command.substr(0, at) + " -service svc", false, {}};
    };
    installNew("svc");
    EXPECT_EQ(os.services.services["svc"].binaryPath, "\"C:\\Program Files\\tomcat\\bin\\svc.exe\" -service svc");
    EXPECT_EQ(stored("svc", store::kInstalledProgramLine), "\"C:\\Program Files\\tomcat\\bin\\svc.exe\" -service svc");
    EXPECT_TRUE(session.stop().done());  // still ours by its recorded line
}

// The status shown cannot be asked for a name with a quote; what Velmora does goes by the service manager's word.
TEST_F(SessionTest, AServiceWhoseStatusCannotBeShownIsStillStartedStoppedAndRemoved) {
    installNew("o'neil");
    EXPECT_EQ(session.status(), ServiceStatus::Unknown);
    const Outcome started = session.start();
    EXPECT_TRUE(started.done()) << started.summary;
    EXPECT_TRUE(running("o'neil"));
    const Outcome stopped = session.stop();
    EXPECT_TRUE(stopped.done()) << stopped.summary;
    EXPECT_FALSE(running("o'neil"));
    ASSERT_TRUE(session.start().done());
    ui.answers[QuestionKind::DeleteInstalled] = Answer::Yes;
    const Outcome deleted = session.remove();
    EXPECT_TRUE(deleted.done()) << deleted.summary;
    EXPECT_EQ(deleted.steps, (std::vector<std::string>{"stop",
                                                       "uninstall :C:\\tomcat\\bin\\o'neil.exe -uninstall "
                                                       "o'neil",
                                                       "delete the wrapper copy", "mark not installed", "delete"}));
    EXPECT_FALSE(serviceExists("o'neil"));
    EXPECT_EQ(storedList(), std::vector<std::string>{});
}

TEST(ServiceSettingsRule, EachValueMapsToWhatTheServiceManagerKeepsAndEachPartDiffersOnItsOwn) {
    Configuration c;
    c.serviceName = "shop";
    // Every start-up type, as a start type and the delayed flag.
    const std::tuple<const char*, StartType, bool> startups[] = {{"auto", StartType::Automatic, false},
                                                                 {"delayed", StartType::Automatic, true},
                                                                 {"manual", StartType::Manual, false},
                                                                 {"disabled", StartType::Disabled, false}};
    for (const auto& [word, type, delayed] : startups) {
        setFieldText(c, storedField(Field::StartupType), word);
        EXPECT_EQ(wantedServiceConfiguration(c).startType, type) << word;
        EXPECT_EQ(wantedServiceConfiguration(c).delayedStart, delayed) << word;
    }
    // Every kind of account: as the service manager names it, whether it needs the log-on right and a password.
    const std::tuple<const char*, const char*, bool, bool> accounts[] = {
        {"LocalSystem", "LocalSystem", false, false},
        {"LocalService", "NT AUTHORITY\\LocalService", false, false},
        {"NetworkService", "NT AUTHORITY\\NetworkService", false, false},
        {"virtual", "NT SERVICE\\shop", false, false},
        {"CORP\\tomcat", "CORP\\tomcat", true, true},
        {".\\tomcat", ".\\tomcat", true, true},
        {"CORP\\tomcat$", "CORP\\tomcat$", true, false}};
    for (const auto& [stored, managed, named, password] : accounts) {
        c.serviceAccount = stored;
        EXPECT_EQ(wantedServiceConfiguration(c).account, managed) << stored;
        EXPECT_EQ(isNamedAccount(c), named) << stored;
        EXPECT_EQ(accountNeedsPassword(c), password) << stored;
    }
    // Recovery: 0 is no action; the rest, the name for a display name, the description and the dependencies as given.
    c.recoveryFirst = 0, c.recoverySecond = 45, c.recoveryLater = 600, c.recoveryReset = 86400;
    c.recoveryOnErrorExit = false;
    c.dependencies = {"Tcpip", "RpcSs"};
    c.description = "Shop";
    ServiceConfiguration wanted = wantedServiceConfiguration(c);
    EXPECT_EQ(wanted.failureActions, (std::vector<FailureAction>{{false, 0}, {true, 45000}, {true, 600000}}));
    EXPECT_EQ(wanted.resetPeriodSeconds, 86400u);
    EXPECT_FALSE(wanted.failureActionsOnNonCrash);
    EXPECT_EQ(wanted.dependencies, (std::vector<std::string>{"Tcpip", "RpcSs"}));
    EXPECT_EQ(wanted.displayName, "shop");
    EXPECT_EQ(wanted.description, "Shop");
    c.displayName = "Shop Tomcat";
    wanted = wantedServiceConfiguration(c);
    EXPECT_EQ(wanted.displayName, "Shop Tomcat");

    // As the service manager reads back: names ignore case, no actions are three of none; one part changed is
    // that part alone.
    ServiceConfiguration found = wanted;
    found.account = "corp\\TOMCAT$";
    found.dependencies = {"TCPIP", "rpcss"};
    found.failureActions.push_back({});
    EXPECT_EQ(differingSettings(wanted, found), std::vector<ServiceSetting>{});
    using Change = std::function<void(ServiceConfiguration&)>;
    const std::pair<Change, ServiceSetting> changes[] = {
        {[](ServiceConfiguration& s) { s.startType = StartType::Manual; }, ServiceSetting::StartType},
        {[](ServiceConfiguration& s) { s.delayedStart = true; }, ServiceSetting::DelayedStart},
        {[](ServiceConfiguration& s) { s.account = "CORP\\other$"; }, ServiceSetting::Account},
        {[](ServiceConfiguration& s) {
             s.dependencies = {"RpcSs", "Tcpip"};
         },
         ServiceSetting::Dependencies},
        {[](ServiceConfiguration& s) { s.dependencies.pop_back(); }, ServiceSetting::Dependencies},
        {[](ServiceConfiguration& s) { s.dependencies.push_back("Afd"); }, ServiceSetting::Dependencies},
        {[](ServiceConfiguration& s) { s.failureActions[1].delayMs = 46000; }, ServiceSetting::FailureActions},
        {[](ServiceConfiguration& s) {
             s.failureActions[0] = {true, 0};
         },
         ServiceSetting::FailureActions},
        {[](ServiceConfiguration& s) { s.resetPeriodSeconds = 3600; }, ServiceSetting::FailureActions},
        {[](ServiceConfiguration& s) { s.failureActionsOnNonCrash = true; }, ServiceSetting::FailureActionsOnNonCrash},
        {[](ServiceConfiguration& s) { s.displayName = "shop tomcat"; }, ServiceSetting::DisplayName},
        {[](ServiceConfiguration& s) { s.description = "Shop "; }, ServiceSetting::Description},
    };
    for (const auto& [change, setting] : changes) {
        ServiceConfiguration other = wanted;
        change(other);
        EXPECT_EQ(differingSettings(wanted, other), std::vector<ServiceSetting>{setting}) << settingName(setting);
    }

    // Which fields the service manager keeps (the stop timeout goes with them).
    std::vector<std::string> settings;
    for (const StoredField& field : storedFields())
        if (isServiceSetting(field.field)) settings.push_back(field.name);
    EXPECT_EQ(settings, words("description service.startup service.account service.depends.on service.stop.timeout "
                              "service.recovery.first service.recovery.second service.recovery.later "
                              "service.recovery.reset service.recovery.on.error.exit service.display.name"));
}

// Each change of a running installed service and its least step; a restart only for what the JVM took.
TEST_F(SessionTest, EachChangeOfAnInstalledServiceTakesItsLeastStepAndARestartOnlyWhereTheJvmNeedsIt) {
    useModernLayout();
    addJdk("C:\\jdk-21.0.6", "21.0.6");
    os.services.services["Tcpip"] = {"tcpip", true, {}};
    installNew("shop");
    os.services.services["shop"].started = true;
    ui.answers[QuestionKind::RestartAfterChange] = Answer::No;
    const std::string update = "\"C:\\tomcat10\\bin\\tomcat10.exe\" //US//shop ";
    const std::string options =
        "--JvmOptions \"-Dcatalina.home=C:\\tomcat10#-Dcatalina.base=C:\\tomcat10#"
        "-Djava.io.tmpdir=C:\\tomcat10\\temp#"
        "-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager#"
        "-Djava.util.logging.config.file=C:\\tomcat10\\conf\\logging.properties#";
    struct Row {
        Field field;
        const char* value;
        std::string ran;  // the wrapper's update; empty: no program runs
        bool restart;
    };
    const Row rows[] = {
        {Field::Description, "Shop", "", false},
        {Field::DisplayName, "Shop Tomcat", "", false},
        {Field::StartupType, "manual", "", false},
        {Field::StopTimeout, "90", update + "--StopTimeout 90", true},  // the wrapper reads it when it starts
        {Field::RecoveryFirst, "0", "", false},
        {Field::MaxHeapSize, "1024", update + "--JvmMx 1024", true},
        {Field::InitialHeapSize, "256", update + "--JvmMs 256", true},
        {Field::MaxHeapSize, "", update + "--JvmMx 0", true},
        {Field::ThreadStackSize, "512", update + "--JvmSs 512", true},
        {Field::AdditionalOptions, "-Dlast=wins", update + options + "-Xrs#-Dlast=wins\"", true},
        {Field::ReduceOsSignals, "0", update + options + "-Dlast=wins\"", true},
        {Field::Dependencies, "Tcpip", "", false},
        {Field::Environment, "TZ=UTC", update + "--Environment \"TZ=UTC\"", true},
        {Field::Environment, "TZ=GMT", update + "--Environment \"TZ=GMT\"", true},  // a list given replaces it
        {Field::SystemErr, "C:\\tomcat10\\temp", update + "--StdError \"C:\\tomcat10\\temp\\shop_err.log\"", true},
        {Field::JavaHome, "C:\\jdk-21.0.6", update + "--Jvm \"C:\\jdk-21.0.6\\bin\\server\\jvm.dll\"", true},
    };
    for (const Row& row : rows) {
        os.processes.ran.clear();
        if (storedField(row.field).list)
            editing.replaceList(row.field, {row.value});
        else
            ASSERT_TRUE(editing.edit(row.field, row.value).done()) << row.value;
        const Outcome saved = session.save();
        ASSERT_TRUE(saved.done()) << row.value << ": " << saved.summary;
        EXPECT_EQ(lastOf(os.processes.ran), row.ran) << row.value;
        // Never a reinstall, never a restart without a Yes; a new JDK's java is asked first.
        EXPECT_LE(os.processes.ran.size(), row.field == Field::JavaHome ? 2u : 1u) << row.value;
        EXPECT_EQ(saved.summary.find("takes the change at its next start") != std::string::npos, row.restart)
            << row.value;
        EXPECT_TRUE(os.services.services["shop"].started);
    }
    // A wrapper that refuses the update stops the change there: nothing stored, no restart, and the next save tries
    // again.
    os.processes.exitCodes[update + "--JvmMx 2048"] = 1;
    ui.answers[QuestionKind::RestartAfterChange] = Answer::Yes;
    ASSERT_TRUE(editing.edit(Field::MaxHeapSize, "2048").done());
    os.processes.ran.clear();
    const Outcome refused = session.save();
    EXPECT_EQ(refused.result, Outcome::Result::Failed);
    EXPECT_EQ(refused.summary, "The start-up values of the service \"shop\" were not changed (exit code 1).");
    EXPECT_EQ(os.processes.ran, std::vector<std::string>{update + "--JvmMx 2048"});
    EXPECT_EQ(program.store.read("shop").values.maxHeapSize, 0u);
    os.processes.exitCodes.clear();
    // The service manager stops answering while the restart is asked: whose the service is, is not known then, and
    // the wrapper is not run over it.
    ui.whileAsking = [&](const Question&) {
        os.services.lookupFailure = Failure{"OpenServiceW", "Access is denied.", 5};
    };
    os.processes.ran.clear();
    EXPECT_EQ(session.save().summary,
              "The service manager could not be asked about the service \"shop\": Access is denied. Nothing was "
              "changed.");
    EXPECT_TRUE(os.processes.ran.empty());
    ui.whileAsking = nullptr;
    os.services.lookupFailure.reset();
    // Removed by someone else while the restart is asked: the wrapper's update would register a service of its
    // own making under that name, so it is not run.
    const auto removed = os.services.services["shop"];
    ui.whileAsking = [&](const Question&) { os.services.services.erase("shop"); };
    os.processes.ran.clear();
    EXPECT_EQ(session.save().summary,
              "The service \"shop\" is no longer installed, so its start-up values were not changed. Save again to "
              "install it anew.");
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_FALSE(serviceExists("shop"));
    EXPECT_EQ(program.store.read("shop").values.maxHeapSize, 0u);
    ui.whileAsking = nullptr;
    os.services.services["shop"] = removed;
    EXPECT_TRUE(session.save().done());
    EXPECT_EQ(program.store.read("shop").values.maxHeapSize, 2048u);
    const ServiceConfiguration& held = os.services.services["shop"].configuration;
    EXPECT_EQ(held.description, "Shop");
    EXPECT_EQ(held.displayName, "Shop Tomcat");
    EXPECT_EQ(held.startType, StartType::Manual);
    EXPECT_EQ(held.dependencies, std::vector<std::string>{"Tcpip"});  // no other list replaced with one
    // A wrapper whose update drops the start's delay: the service manager's record is set back as it held it
    // before the update.
    ASSERT_TRUE(editing.edit(Field::StartupType, "delayed").done());
    ASSERT_TRUE(session.save().done());
    const auto wrapper = os.processes.onRun;
    os.processes.onRun = [&, wrapper](const std::string& line) {
        wrapper(line);
        if (line.find("//US//") != std::string::npos) os.services.services["shop"].configuration.delayedStart = false;
    };
    ASSERT_TRUE(editing.edit(Field::MaxHeapSize, "768").done());
    EXPECT_EQ(session.save().steps,
              (std::vector<std::string>{"update :" + update + "--JvmMx 768", "save", "mark installed", "stop",
                                        "roll the System.out and System.err files", "start"}));
    EXPECT_TRUE(os.services.services["shop"].configuration.delayedStart);
    os.processes.onRun = wrapper;

    // The classic road writes just the changed start-up values; a named account's password is asked once.
    useHome("C:\\tomcat", "C:\\jdk");
    os.services.accounts.insert("CORP\\tomcat");
    ui.givenPassword = "secret";
    installNew("old");
    editing.edit(Field::ServiceAccount, "CORP\\tomcat");
    ASSERT_TRUE(session.save().done());
    EXPECT_EQ(ui.passwordsAskedFor, std::vector<std::string>{"CORP\\tomcat"});
    os.registry.writeLog.clear();
    editing.edit(Field::MaxHeapSize, "768");
    ASSERT_TRUE(session.save().done());
    EXPECT_EQ(ui.passwordsAskedFor.size(), 1u);
    const std::string parameters = "SYSTEM\\CurrentControlSet\\Services\\old\\Parameters|";
    EXPECT_NE(std::find(os.registry.writeLog.begin(), os.registry.writeLog.end(), parameters + "JVM Option Number 7"),
              os.registry.writeLog.end());
    EXPECT_EQ(std::find(os.registry.writeLog.begin(), os.registry.writeLog.end(), parameters + "JVM Option Number 0"),
              os.registry.writeLog.end());
    EXPECT_EQ(storedText(os.registry.read(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\old\\Parameters",
                                          "JVM Option Number 7"))
                  .text,
              "-Xmx768m");
    // It holds no stop timeout: a new one is Velmora's own wait, and the running service is not restarted for it.
    os.services.services["old"].started = true;
    ui.forget();
    os.processes.ran.clear();
    ASSERT_TRUE(editing.edit(Field::StopTimeout, "90").done());
    const Outcome longer = session.save();
    EXPECT_TRUE(longer.done()) << longer.summary;
    EXPECT_TRUE(ui.asked.empty());
    EXPECT_TRUE(os.processes.ran.empty());
    // Gone while its restart is asked: no values are written for a service that is not there.
    ui.whileAsking = [&](const Question&) { os.services.services.erase("old"); };
    ASSERT_TRUE(editing.edit(Field::MaxHeapSize, "640").done());
    EXPECT_EQ(session.save().summary,
              "The service \"old\" is no longer installed, so its start-up values were not changed. Save again to "
              "install it anew.");
    EXPECT_EQ(storedText(os.registry.read(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\old\\Parameters",
                                          "JVM Option Number 7"))
                  .text,
              "-Xmx768m");
    ui.whileAsking = nullptr;
}
