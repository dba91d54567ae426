// How an installed service runs: start-up type, account, dependencies and
// recovery set through the service manager and read back, changed in place,
// the account's rights and password, and a quoted program line.
#include <nlohmann/json.hpp>

#include "config/ConfigurationStore.h"
#include "config/ConfigurationTransfer.h"
#include "config/StoreLayout.h"
#include "service/ServiceSettings.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

TEST_F(SessionTest, TheServiceManagerRunsTheServiceAsConfiguredAndAChangeAloneLeavesItRunning) {
    addClassicLayout();
    simulateWrappers();
    os.services.services["Tcpip"] = {"tcpip", true, {}};
    saveNew("shop");
    session.edit(Field::StartupType, "delayed");
    session.replaceList(Field::Dependencies, {"Tcpip"});
    session.edit(Field::RecoveryFirst, "30");
    session.edit(Field::RecoveryLater, "0");
    session.edit(Field::RecoveryReset, "3600");
    session.edit(Field::RecoveryOnErrorExit, "0");
    ASSERT_TRUE(session.install().done()) << lastOf(ui.warnings);

    const ServiceConfiguration& held = os.services.services["shop"].configuration;
    EXPECT_EQ(held.startType, StartType::Automatic);
    EXPECT_TRUE(held.delayedStart);
    EXPECT_EQ(held.account, "NT SERVICE\\shop");
    EXPECT_EQ(held.dependencies, std::vector<std::string>{"Tcpip"});
    EXPECT_EQ(held.failureActions, (std::vector<FailureAction>{{true, 30000}, {true, 60000}, {false, 0}}));
    EXPECT_EQ(held.resetPeriodSeconds, 3600u);
    EXPECT_FALSE(held.failureActionsOnNonCrash);
    EXPECT_EQ(storedNumber("shop", store::kInstalledSettingsApplied), 1u);

    // The start-up type alone, on a running service: changed where it stands, still running.
    ASSERT_TRUE(session.start().done());
    os.processes.ran.clear();
    ui.forget();
    session.edit(Field::StartupType, "manual");
    const Outcome saved = session.save(true);
    EXPECT_TRUE(saved.done()) << saved.summary;
    EXPECT_EQ(saved.steps, (std::vector<std::string>{"save", "apply the service settings", "mark installed"}));
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_TRUE(ui.asked.empty());
    EXPECT_TRUE(os.services.services["shop"].started);
    EXPECT_EQ(held.startType, StartType::Manual);
    EXPECT_FALSE(held.delayedStart);

    // What the service manager refuses is named, and the settings count as not applied.
    session.edit(Field::ServiceAccount, "CORP\\nobody");
    ui.givenPassword = "s3cret-Pa55";
    ui.answers[QuestionKind::GrantLogOnRight] = Answer::No;
    const Outcome refused = session.save(true);
    EXPECT_EQ(ui.passwordsAskedFor, std::vector<std::string>{"CORP\\nobody"});
    // The right declined, then the refusal.
    EXPECT_EQ(refused.warnings, (std::vector<std::string>{
                                    "The account CORP\\nobody may not log on as a service, so the service could not "
                                    "start. Give it the \"Log on as a service\" right?",
                                    "The service manager refused the account of the service \"shop\": The account name "
                                    "is invalid or does not exist, or the password is invalid for the account name "
                                    "specified."}));
    EXPECT_EQ(storedNumber("shop", store::kInstalledSettingsApplied), 0u);
    EXPECT_EQ(held.account, "NT SERVICE\\shop");

    // A known one with its password: asked once, handed over, and kept nowhere.
    os.services.accounts.insert("CORP\\tomcat");
    session.edit(Field::ServiceAccount, "CORP\\tomcat");
    ui.answers[QuestionKind::GrantLogOnRight] = Answer::Yes;
    EXPECT_TRUE(session.save(true).done());
    EXPECT_EQ(held.account, "CORP\\tomcat");
    EXPECT_TRUE(os.accounts.mayLogOnAsService("CORP\\tomcat"));
    ConfigurationStore store(os.registry);
    ConfigurationTransfer transfer(store, os.files);
    os.environment.arguments = "debug:C:\\log.txt";
    debugLog.start(os.environment);
    session.checkConfiguration(ReportOpening::Never);
    std::string everything = transfer.exportAll().document + os.files.files["C:\\tomcat\\bin\\quenby-shop-debug.html"];
    for (const auto& line : os.processes.ran) everything += line;
    for (const auto& write : os.registry.writeLog) everything += write;
    for (const auto& [path, content] : os.files.files) everything += content;
    EXPECT_EQ(everything.find("s3cret-Pa55"), std::string::npos);
}

TEST_F(SessionTest, TheAccountGetsTheRightsItLacksWhenTheUserAgrees) {
    addClassicLayout();
    simulateWrappers();
    os.accounts.guarded.insert("C:\\tomcat\\logs");
    saveNew("shop");
    CheckResult check = session.checkConfiguration(ReportOpening::Never);
    ASSERT_EQ(check.report.findings.size(), 1u);
    EXPECT_EQ(check.report.findings[0].kind, FindingKind::RightsMissing);
    EXPECT_EQ(check.report.findings[0].message,
              "The account NT SERVICE\\shop cannot modify 'C:\\tomcat\\logs', so the "
              "service would fail with \"Access is denied\".");
    ui.forget();
    ASSERT_TRUE(session.install().done());
    EXPECT_EQ(ui.asked.front().text, "Grant NT SERVICE\\shop modify rights on C:\\tomcat\\logs?");
    EXPECT_EQ(lookOf(ui.asked.front().kind).title, std::string("Account Rights"));
    EXPECT_EQ(os.accounts.allows("C:\\tomcat\\logs\\catalina.log", "NT SERVICE\\shop", Access::Modify), true);
    check = session.checkConfiguration(ReportOpening::Never);
    EXPECT_TRUE(check.report.findings.empty());
}

TEST_F(SessionTest, AProgramLineWithABlankIsQuotedForAServiceThatIsOurs) {
    addClassicLayout("C:\\Program Files\\tomcat");
    os.environment.folder = "C:\\Program Files\\tomcat\\bin";
    // A wrapper that registers its program without quotes.
    os.processes.onRun = [this](const std::string& command) {
        if (auto at = command.find(" -install "); at != std::string::npos)
            os.services.services["svc"] = {command.substr(0, at) + " -service svc", false, {}};
    };
    saveNew("svc");
    ASSERT_TRUE(session.install().done());
    EXPECT_EQ(os.services.services["svc"].binaryPath, "\"C:\\Program Files\\tomcat\\bin\\svc.exe\" -service svc");
    EXPECT_EQ(stored("svc", store::kInstalledProgramLine), "\"C:\\Program Files\\tomcat\\bin\\svc.exe\" -service svc");
    EXPECT_TRUE(session.stop().done());  // still ours by its recorded line
}

TEST(ServiceSettingsRule, TheDefaultsAndWhatDiffersAsTheServiceManagerComparesIt) {
    Configuration c;
    c.serviceName = "shop";
    const ServiceConfiguration wanted = wantedServiceConfiguration(c);
    EXPECT_EQ(wanted.startType, StartType::Automatic);
    EXPECT_FALSE(wanted.delayedStart);
    EXPECT_EQ(wanted.account, "NT SERVICE\\shop");
    EXPECT_EQ(wanted.resetPeriodSeconds, 86400u);
    EXPECT_TRUE(wanted.failureActionsOnNonCrash) << "a stop with an error exit counts as a failure by default";

    ServiceConfiguration found = wanted;
    found.account = "nt service\\SHOP";
    found.dependencies = {};
    EXPECT_EQ(differingSettings(wanted, found), std::vector<ServiceSetting>{}) << "account names ignore case";
    ServiceConfiguration noRecovery = wanted;
    noRecovery.failureActions = {{}, {}, {}};
    found.failureActions = {};
    EXPECT_EQ(differingSettings(noRecovery, found), std::vector<ServiceSetting>{})
        << "no actions are three actions of none";
    found.resetPeriodSeconds = 3600;
    EXPECT_EQ(differingSettings(noRecovery, found), std::vector<ServiceSetting>{ServiceSetting::FailureActions})
        << "the reset period belongs to the failure actions";
}
