// How the service runs, under Wine: the settings set through velmora-cli and
// through the window's Service Settings dialog, read back from Wine's service
// manager (which keeps the start type, the account and the program line and
// not the rest), changed in place on a running service, and a named account's
// password looked for everywhere it must not be.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "WindowDriver.h"
#include "e2eSession.h"
#include "ui/win32/ResourceIds.h"

namespace velmora::e2e {
namespace {

using Lines = std::vector<std::string>;

// What Wine 8's service manager does with delayed start, a dependency and
// recovery: it refuses delayed start and the flag for error exits, and keeps
// neither the dependency nor the failure actions; an install says so.
Lines wineWarnings(const std::string& name, bool delayedToo) {
    Lines warnings = wineSettingsWarnings(name);
    warnings.insert(warnings.begin() + 1,
                    "The dependencies of the service " + quoted(name) + " reads back other than it was set.");
    if (delayedToo)
        warnings.insert(warnings.begin(), "The service manager refused the delayed start of the service " +
                                              quoted(name) + ": Invalid level.");
    return warnings;
}

std::string printedWarnings(const Lines& warnings) {
    std::string printed;
    for (const std::string& warning : warnings) printed += "Warning: " + warning + "\n";
    return printed + "A warning came up.\n";
}

// What Wine keeps of the settings: the start type and the account.
void expectWineKept(const std::string& name, const std::string& account) {
    const ServiceConfig kept = serviceConfig(name);
    EXPECT_EQ(kept.startType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(kept.account, account);
}

TEST(ServiceSettings, SetInstalledAndChangedInPlaceThroughTheCommandLine) {
    Session session;
    const std::string pid = std::to_string(GetCurrentProcessId()), name = "Settings" + pid;
    const std::string home = session.root() + "\\Tomcat Home", copy = home + "\\bin\\" + name + ".exe";
    const std::string password = "Pw" + pid + "-never-shown";
    session.removeServiceAtEnd(name);
    makeCatalinaHome(home, Layout::Classic);
    const WrapperRuns runs(session.root() + "\\runs.txt");
    std::string printed;  // everything velmora-cli printed
    auto cli = [&](const std::string& arguments, const std::string& input = "") {
        const CliRun run = session.cli(arguments, input);
        printed += run.out + run.err;
        return run;
    };

    CliRun run = cli("set " + name + " tomcat.home=\"" + home + "\" service.startup=delayed service.depends.on=RpcSs " +
                     "service.recovery.first=30 service.recovery.second=90 service.recovery.later=600 " +
                     "service.recovery.reset=3600 service.account=.\\tomcatsvc --yes");
    EXPECT_EQ(run.code, 0) << run.err;
    run = cli("install " + name + " --yes --password-stdin", password + "\n");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, printedWarnings(wineWarnings(name, true)));
    EXPECT_EQ(run.out, "Service " + quoted(name) + " installed.\n");
    // A home with a blank: the classic wrapper's unquoted path is quoted.
    EXPECT_EQ(serviceConfig(name).programLine, quoted(copy) + " -service " + name);
    expectWineKept(name, ".\\tomcatsvc");
    const auto stored = machineValues(std::string(kStoreKey) + "\\" + name);
    EXPECT_EQ(stored.at("service.startup"), "delayed");
    EXPECT_EQ(stored.at("service.depends.on"), "RpcSs|");
    EXPECT_EQ(stored.at("service.recovery.later"), "600");
    EXPECT_EQ(stored.at("service.recovery.reset"), "3600");
    EXPECT_EQ(stored.at("installed.settings.applied"), "0");

    // Only the start-up type changed on the running service: set in place, the same process runs on.
    run = cli("start " + name);
    ASSERT_EQ(run.code, 0) << run.err;
    const DWORD process = serviceProcessId(name);
    const std::size_t wrapperRuns = runs.lines().size();
    run = cli("set " + name + " service.startup=manual --password-stdin", password + "\n");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, printedWarnings(wineWarnings(name, false)));  // the ones not kept, set again
    EXPECT_EQ(serviceConfig(name).startType, static_cast<DWORD>(SERVICE_DEMAND_START));
    EXPECT_TRUE(serviceRunning(name));
    EXPECT_EQ(serviceProcessId(name), process);
    EXPECT_EQ(runs.lines().size(), wrapperRuns);

    // The password went to the service manager and nowhere else.
    const std::string report = session.root() + "\\report.html";
    EXPECT_EQ(cli("check " + name + " --report " + report).code, 0);
    const CliRun exported = cli("export " + name);
    EXPECT_TRUE(holds(exported.out, "\"service.account\": \".\\\\tomcatsvc\"")) << exported.out;
    EXPECT_TRUE(holds(contentOf(report), ".\\tomcatsvc"));
    for (const auto& [value, text] : machineValues(std::string(kStoreKey) + "\\" + name))
        EXPECT_FALSE(holds(text, password)) << value;
    for (const auto& [value, text] : machineValues("SYSTEM\\CurrentControlSet\\Services\\" + name))
        EXPECT_FALSE(holds(text, password)) << value;
    EXPECT_FALSE(holds(contentOf(report), password));
    EXPECT_FALSE(holds(contentOf(session.bin("quenby-" + name + "-debug.html")), password));
    EXPECT_FALSE(holds(printed, password)) << printed;
    EXPECT_EQ(runs.lines().size(), 1u);
    for (const std::string& line : runs.lines()) EXPECT_FALSE(holds(line, password)) << line;
    EXPECT_EQ(cli("uninstall " + name + " --yes").code, 0);
}

// A Tomcat 10 service changed while it runs: an option is an update of the
// wrapper's values, not a reinstall; the service is restarted only when told
// to; the description stays with the service manager; a named account's
// password is needed only when the account changes.
TEST(ServiceSettings, ChangesOfARunningTomcat10ServiceAreMadeInPlace) {
    Session session(Layout::Modern);
    const std::string pid = std::to_string(GetCurrentProcessId()), name = "InPlace" + pid;
    const std::string serviceKey = "SYSTEM\\CurrentControlSet\\Services\\" + name;
    const std::string update = quoted(session.bin("tomcat10.exe")) + " //US//" + name;
    session.removeServiceAtEnd(name);
    const WrapperRuns runs(session.root() + "\\runs.txt");
    // No recovery after failures: what Wine's service manager keeps, so that it has nothing to refuse.
    const std::string noRecovery =
        " service.recovery.first=0 service.recovery.second=0 service.recovery.later=0 service.recovery.reset=0"
        " service.recovery.on.error.exit=0";
    ASSERT_EQ(session.cli("set " + name + " description=\"Shop front\"" + noRecovery).code, 0);
    CliRun run = session.cli("install " + name);
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(session.cli("start " + name).code, 0);
    const DWORD process = serviceProcessId(name);
    ASSERT_NE(process, 0u);
    const std::string mark = machineText(serviceKey, "VelmoraInstallMark");
    ASSERT_EQ(runs.lines().size(), 1u);

    // Three options, in the order given: //US// with just them, the JVM keeps running until told.
    run = session.cli("set " + name +
                      " additional.jvm.options=-Dz=1 additional.jvm.options=-Dm=3 additional.jvm.options=-Da=2");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(holds(run.out, "The running service " + quoted(name) + " takes the change at its next start."))
        << run.out;
    Lines lines = runs.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[1].rfind(update + " --JvmOptions \"", 0) == 0) << lines[1];
    EXPECT_TRUE(holds(lines[1], "#-Dz=1#-Dm=3#-Da=2\"")) << lines[1];
    EXPECT_FALSE(holds(lines[1], "--Jvm ")) << lines[1];
    const std::string options = machineValues(procrunKey(name) + "\\Java").at("Options");
    EXPECT_EQ(options.substr(options.size() - 19), "|-Dz=1|-Dm=3|-Da=2|");
    EXPECT_EQ(storedOptions(name), (Lines{"-Dz=1", "-Dm=3", "-Da=2"}));
    EXPECT_EQ(machineText(serviceKey, "VelmoraInstallMark"), mark);
    EXPECT_EQ(serviceProcessId(name), process);

    // With --restart the next change is taken at once.
    run = session.cli("set " + name + " additional.jvm.options=-Dz=1 additional.jvm.options=-Da=2 --restart");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(serviceRunning(name));
    EXPECT_NE(serviceProcessId(name), process);
    EXPECT_EQ(runs.lines().size(), 3u);

    // The description goes to the service manager, and stays there after a change of a setting.
    EXPECT_EQ(serviceDescription(name), "Shop front");
    ASSERT_EQ(session.cli("set " + name + " description=\"Shop back office\"").code, 0);
    EXPECT_EQ(serviceDescription(name), "Shop back office");
    ASSERT_EQ(session.cli("set " + name + " service.startup=manual").code, 0);
    EXPECT_EQ(serviceConfig(name).startType, static_cast<DWORD>(SERVICE_DEMAND_START));
    EXPECT_EQ(serviceDescription(name), "Shop back office");

    // apply with a named account: its password from standard input when the account changes, none asked after.
    const std::string file = session.root() + "\\state.json";
    // What the entry leaves out takes a new configuration's value: it says what was set above.
    makeFile(file, "{\"configurations\": [{\"name\": \"" + name +
                       "\", \"state\": \"running\", \"description\": \"Shop back office\", "
                       "\"additional.jvm.options\": [\"-Dz=1\", \"-Da=2\"], \"service.startup\": \"manual\", "
                       "\"service.recovery.first\": 0, \"service.recovery.second\": 0, \"service.recovery.later\": 0, "
                       "\"service.recovery.reset\": 0, \"service.recovery.on.error.exit\": 0, "
                       "\"service.account\": \".\\\\tomcatweb\"}]}");
    run = session.cli("apply " + file + " --password-stdin", ".\\tomcatweb=Pw" + pid + "\n");
    EXPECT_EQ(run.code, 10) << run.err;
    EXPECT_EQ(run.out, name +
                           ": changed; values: service.account; store, change the service in place (takes a restart)\n"
                           "1 configuration(s): 1 changed, 0 unchanged, 0 failed.\n");
    EXPECT_EQ(serviceConfig(name).account, ".\\tomcatweb");
    run = session.cli("apply " + file + " --password-stdin", ".\\tomcatweb=Pw" + pid + "\n");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, name + ": unchanged\n1 configuration(s): 0 changed, 1 unchanged, 0 failed.\n");
    EXPECT_FALSE(holds(contentOf(session.root() + "\\runs.txt"), "Pw" + pid));
    EXPECT_EQ(runs.lines().size(), 3u);  // the service manager took the description, start-up type and account
    EXPECT_EQ(machineText(serviceKey, "VelmoraInstallMark"), mark);
    EXPECT_EQ(session.cli("uninstall " + name + " --yes").code, 0);
}

TEST(ServiceSettings, SetInTheWindowsDialogAndInstalled) {
    Session session;
    const std::string pid = std::to_string(GetCurrentProcessId()), name = "Dialog" + pid;
    const std::string password = "Pw" + pid + "-typed-once", log = session.root() + "\\debug.log";
    session.removeServiceAtEnd(name);
    const WrapperRuns runs(session.root() + "\\runs.txt");
    ASSERT_TRUE(session.start("debug:" + log));
    ASSERT_TRUE(session.type(IDC_SERVICE_NAME, name));

    postCommand(session.main(), IDM_SERVICE_SETTINGS);
    HWND dialog = nullptr;
    ASSERT_TRUE(
        waitUntil([&] { return (dialog = findTopWindow(session.processId(), "Service Settings")) != nullptr; }));
    EXPECT_EQ(comboItems(GetDlgItem(dialog, IDC_SETTINGS_STARTUP)),
              (Lines{"Automatic", "Automatic (Delayed Start)", "Manual", "Disabled"}));
    SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_STARTUP), CB_SETCURSEL, 1, 0);
    setWindowText(GetDlgItem(dialog, IDC_SETTINGS_ACCOUNT), ".\\tomcatweb");
    setWindowText(GetDlgItem(dialog, IDC_SETTINGS_DEPENDENCIES), "RpcSs");
    setWindowText(GetDlgItem(dialog, IDC_SETTINGS_RECOVERY_FIRST), "30");
    setWindowText(GetDlgItem(dialog, IDC_SETTINGS_RECOVERY_RESET), "3600");
    EXPECT_TRUE(session.screenshot("service-settings"));
    click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(dialog); }));

    click(session.control(IDC_INSTALL));
    HWND prompt = nullptr;
    ASSERT_TRUE(
        waitUntil([&] { return (prompt = findTopWindow(session.processId(), "Account Password")) != nullptr; }));
    setWindowText(GetDlgItem(prompt, IDC_PASSWORD_TEXT), password);
    click(GetDlgItem(prompt, IDOK));
    // Wine's warnings, each in its box, then the notice.
    Lines shown;
    for (std::size_t i = 0; i < wineWarnings(name, true).size(); ++i) shown.push_back(session.answer("Warning", IDOK));
    EXPECT_EQ(shown, wineWarnings(name, true));
    EXPECT_EQ(session.answer("Info", IDOK), "Service " + quoted(name) + " installed.");
    ASSERT_TRUE(session.waitUntilIdle());
    expectWineKept(name, ".\\tomcatweb");
    const auto stored = machineValues(std::string(kStoreKey) + "\\" + name);
    EXPECT_EQ(stored.at("service.startup"), "delayed");
    EXPECT_EQ(stored.at("service.account"), ".\\tomcatweb");
    EXPECT_EQ(stored.at("service.depends.on"), "RpcSs|");
    EXPECT_EQ(stored.at("service.recovery.first"), "30");
    EXPECT_EQ(stored.at("service.recovery.reset"), "3600");

    // The failures went to the debug log, the password did not, nor to a command line.
    const std::string logged = contentOf(log);
    EXPECT_TRUE(holds(logged, "Err.Source: ")) << logged;
    EXPECT_FALSE(holds(logged, password)) << logged;
    for (const std::string& line : runs.lines()) EXPECT_FALSE(holds(line, password)) << line;
    PostMessageW(session.main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(session.exited(10000));
}

}  // namespace
}  // namespace velmora::e2e
