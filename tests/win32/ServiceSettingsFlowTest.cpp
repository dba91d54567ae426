// How the service runs, set from both front ends, read back from the service manager, changed in place.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "WindowDriver.h"
#include "e2eSession.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Registry.h"
#include "ui/win32/ResourceIds.h"

namespace velmora::e2e {
namespace {

using Lines = std::vector<std::string>;

// What an install says Wine 8 refused (delayed start, the error-exit flag, dependency, failure actions).
Lines refusedSettings(const std::string& name, bool delayedToo) {
    Lines warnings = settingsWarnings(name);
    if (warnings.empty()) return warnings;
    warnings.insert(warnings.begin() + 1,
                    "The dependencies of the service " + quoted(name) + " reads back other than it was set.");
    if (delayedToo)
        warnings.insert(warnings.begin(), "The service manager refused the delayed start of the service " +
                                              quoted(name) + ": Invalid level.");
    return warnings;
}

// A file's last write stamped then, while it is open too.
bool writtenAt(const std::string& path, FILETIME stamp) {
    const Handle file(CreateFileW(wide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    return file && SetFileTime(file.get(), nullptr, nullptr, &stamp);
}

// A path as a JSON document writes it: each backslash doubled.
std::string inJson(const std::string& text) {
    std::string escaped;
    for (char c : text) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

std::string printedWarnings(const Lines& warnings) {
    std::string printed;
    for (const std::string& warning : warnings) printed += "Warning: " + warning + "\n";
    return printed.empty() ? printed : printed + "A warning came up.\n";
}

// A delayed start on RpcSs with these restarts as kept: Wine 8 the start type and account alone.
void expectKept(const std::string& name, const std::string& account, const std::vector<DWORD>& restarts,
                DWORD resetSeconds) {
    const ServiceConfig kept = serviceConfig(name);
    EXPECT_EQ(kept.startType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(kept.account, account);
    if (underWine()) return;
    EXPECT_TRUE(kept.delayed);
    EXPECT_EQ(kept.dependencies, Lines{"RpcSs"});
    EXPECT_EQ(kept.restartDelays, restarts);
    EXPECT_EQ(kept.resetSeconds, resetSeconds);
    EXPECT_TRUE(kept.actionsOnErrorExit);
}

TEST(ServiceSettings, SetInstalledAndChangedInPlaceThroughTheCommandLine) {
    Session session;
    const std::string pid = std::to_string(GetCurrentProcessId()), name = "Settings" + pid;
    const std::string home = session.root() + "\\Tomcat Home", copy = home + "\\bin\\" + name + ".exe";
    const std::string password = "Pw" + pid + "-never-shown";
    const LocalAccount account("tomcatsvc", password);
    session.removeServiceAtEnd(name);
    makeCatalinaHome(home, Layout::Classic);
    // A folder another installer made that the account may not change: Windows' check names it and
    // --grant-rights gives the account its rights there; Wine 8 reads no access list and asks nothing.
    ASSERT_TRUE(underWine() || onlyAdministratorsMayWrite(home + "\\work"));
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
    run = cli("install " + name + " --yes --grant-rights --password-stdin", password + "\n");
    EXPECT_EQ(run.code, underWine() ? 1 : 0) << run.err;
    if (underWine()) {
        EXPECT_EQ(run.err, printedWarnings(refusedSettings(name, true)));
    }
    EXPECT_TRUE(holds(run.out, "Service " + quoted(name) + " installed.\n")) << run.out;
    EXPECT_EQ(holds(run.out, "Granted .\\tomcatsvc modify rights on " + home + "\\work"), !underWine()) << run.out;
    // A home with a blank: the classic wrapper's unquoted path is quoted.
    EXPECT_EQ(serviceConfig(name).programLine, quoted(copy) + " -service " + name);
    expectKept(name, ".\\tomcatsvc", {30000, 90000, 600000}, 3600);
    const auto stored = machineValues(std::string(kStoreKey) + "\\" + name);
    EXPECT_EQ(stored.at("service.depends.on") + " " + stored.at("installed.settings.applied"),
              underWine() ? "RpcSs| 0" : "RpcSs| 1");

    // Only the start-up type changed on the running service: set in place, the same process runs on.
    run = cli("start " + name);
    ASSERT_EQ(run.code, 0) << run.err;
    const DWORD process = serviceProcessId(name);
    const std::size_t wrapperRuns = runs.lines().size();
    run = cli("set " + name + " service.startup=manual --password-stdin", password + "\n");
    EXPECT_EQ(run.code, underWine() ? 1 : 0);
    EXPECT_EQ(run.err, printedWarnings(refusedSettings(name, false)));  // the ones not kept, set again
    EXPECT_EQ(serviceConfig(name).startType, static_cast<DWORD>(SERVICE_DEMAND_START));
    EXPECT_FALSE(serviceConfig(name).delayed);
    EXPECT_TRUE(serviceRunning(name));
    EXPECT_EQ(serviceProcessId(name), process);
    EXPECT_EQ(runs.lines().size(), wrapperRuns);

    // The password went to the service manager and nowhere else; the account has every right it needs.
    EXPECT_EQ(cli("check " + name).code, 0);
    EXPECT_TRUE(holds(cli("export " + name).out, "\"service.account\": \".\\\\tomcatsvc\""));
    for (const std::string& key :
         {std::string(kStoreKey) + "\\" + name, "SYSTEM\\CurrentControlSet\\Services\\" + name})
        for (const auto& [value, text] : machineValues(key)) EXPECT_FALSE(holds(text, password)) << value;
    EXPECT_FALSE(holds(contentOf(session.bin("quenby-" + name + "-debug.html")), password));
    EXPECT_FALSE(holds(printed, password)) << printed;
    EXPECT_EQ(runs.lines().size(), 1u);
    for (const std::string& line : runs.lines()) EXPECT_FALSE(holds(line, password)) << line;
    EXPECT_EQ(cli("uninstall " + name + " --yes").code, 0);
}

// A running Tomcat 10 changed in place, restarted only when told; its logs pruned; a JDK update taken.
TEST(ServiceSettings, ChangesOfARunningTomcat10ServiceAreMadeInPlace) {
    Session session(Layout::Modern);
    const std::string pid = std::to_string(GetCurrentProcessId()), name = "InPlace" + pid;
    const std::string serviceKey = "SYSTEM\\CurrentControlSet\\Services\\" + name;
    const std::string update = quoted(session.bin("tomcat10.exe")) + " //US//" + name;
    const std::string password = "Pw" + pid + "-in-place";
    const LocalAccount account("tomcatweb", password);
    session.removeServiceAtEnd(name);
    const WrapperRuns runs(session.root() + "\\runs.txt");
    // No recovery after failures: what Wine's service manager keeps, so that it has nothing to refuse.
    // The home's own service script: its install command gives the JVM options for Java 9, never its remark or echo.
    makeFile(session.bin("service.bat"),
             "rem --JvmOptions9 \"-javaagent:C:\\Users\\Public\\agent.jar\"\r\n"
             "echo \"%EXECUTABLE%\" //IS//%SERVICE_NAME% --JvmOptions9 \"-javaagent:C:\\echo.jar\"\r\n"
             "\"%EXECUTABLE%\" //IS//%SERVICE_NAME% --JvmOptions9 "
             "\"--add-opens=java.base/java.lang=ALL-UNNAMED#-Dscript.flag=on\"\r\n");
    // A JDK whose folder says its version, as an update that takes the folder away leaves it to be known by.
    const std::string jdk = session.root() + "\\jdk-21.0.4";
    makeJdk(jdk, Layout::Modern);
    ASSERT_EQ(session.cli("set " + name + " java.home=" + jdk + " description=\"Shop front\"" + kNoRecovery).code, 0);
    CliRun run = session.cli("install " + name);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(machineValues(procrunKey(name) + "\\Java").at("Options9"),
              "--add-opens=java.base/java.lang=ALL-UNNAMED|-Dscript.flag=on|");
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
    const std::string options = machineValues(procrunKey(name) + "\\Java").at("Options");
    EXPECT_EQ(options.substr(options.size() - 19), "|-Dz=1|-Dm=3|-Da=2|");
    EXPECT_EQ(machineText(serviceKey, "VelmoraInstallMark"), mark);
    EXPECT_EQ(serviceProcessId(name), process);

    // With --restart the next change is taken at once.
    run = session.cli("set " + name + " additional.jvm.options=-Dz=1 additional.jvm.options=-Da=2 --restart");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(serviceRunning(name));
    EXPECT_NE(serviceProcessId(name), process);
    EXPECT_EQ(runs.lines().size(), 3u);

    // 40 dated files of each kind, one a day back from 23 hours ago, and an open System.err made to look old:
    // apply --check deletes nothing; --prune keeps the 14 newest of each kind and every open file.
    const std::string logs = session.home() + "\\logs\\", err = logs + name + "_err.log";
    const std::vector<std::pair<std::string, std::string>> kinds = {{"catalina.", ".log"},
                                                                    {"localhost.", ".log"},
                                                                    {"manager.", ".log"},
                                                                    {"host-manager.", ".log"},
                                                                    {"localhost_access_log.", ".txt"},
                                                                    {"commons-daemon.", ".log"},
                                                                    {name + "_out.", ".log"}};
    auto dated = [&](const auto& kind, int day) { return logs + kind.first + localDate(day) + kind.second; };
    for (const auto& kind : kinds)
        for (int day = 1; day <= 40; ++day) {
            makeFile(dated(kind, day), "a day\r\n");
            ASSERT_TRUE(writtenAt(dated(kind, day), hoursAgo(24 * day - 1)));
        }
    ASSERT_TRUE(writtenAt(err, hoursAgo(24 * 30)));
    const std::string fleet = session.root() + "\\fleet.json";
    makeFile(fleet, "{\"configurations\": [{\"name\": \"" + name + "\", \"logs.keep.days\": 14}]}");
    run = session.cli("apply " + fleet + " --check");
    EXPECT_TRUE(holds(run.out, "prune logs (182 file(s)")) << run.out << run.err;
    EXPECT_TRUE(fileExists(dated(kinds[0], 40)));
    ASSERT_EQ(session.cli("set " + name + " logs.keep.days=14").code, 0);
    run = session.cli("logs " + name + " --prune");
    EXPECT_EQ(run.code, 10) << run.err;
    EXPECT_TRUE(holds(run.out, "Deleted 182 log file(s) of \"" + name + "\"")) << run.out;
    for (const auto& kind : kinds)
        for (int day = 1; day <= 40; ++day) EXPECT_EQ(fileExists(dated(kind, day)), day <= 14) << dated(kind, day);
    EXPECT_TRUE(fileExists(err));
    ASSERT_TRUE(writtenAt(err, hoursAgo(0)));  // as its next line would; the check counts it

    // Windows knows the service's own account and reads a folder's access list: a work folder only
    // administrators may change is named, and --grant-rights gives NT SERVICE\<name> its rights there with the
    // next change. Wine 8 knows no NT SERVICE account and reads no access list: there the check finds nothing.
    const std::string work = session.home() + "\\work";
    ASSERT_TRUE(underWine() || onlyAdministratorsMayWrite(work));
    run = session.cli("check " + name);
    EXPECT_EQ(run.code, underWine() ? 0 : 4) << run.err;
    EXPECT_EQ(holds(run.err, "The account NT SERVICE\\" + name + " cannot modify '" + work + "'"), !underWine());

    // The description goes to the service manager, and stays there after a change of a setting.
    EXPECT_EQ(serviceDescription(name), "Shop front");
    ASSERT_EQ(session.cli("set " + name + " description=\"Shop back office\" --yes --grant-rights").code, 0);
    EXPECT_EQ(serviceDescription(name), "Shop back office");
    EXPECT_EQ(session.cli("check " + name).code, 0);
    ASSERT_TRUE(underWine() || onlyAdministratorsMayWrite(work, false));
    ASSERT_EQ(session.cli("set " + name + " service.startup=manual").code, 0);
    EXPECT_EQ(serviceConfig(name).startType, static_cast<DWORD>(SERVICE_DEMAND_START));
    EXPECT_EQ(serviceDescription(name), "Shop back office");

    // apply with a named account: its password from standard input when the account changes, none asked after.
    const std::string file = session.root() + "\\state.json";
    // What the entry leaves out takes a new configuration's value: it says what was set above.
    makeFile(file, "{\"configurations\": [{\"name\": \"" + name +
                       "\", \"state\": \"running\", \"logs.keep.days\": 14, \"description\": \"Shop back office\", "
                       "\"java.home\": \"" +
                       inJson(jdk) +
                       "\", "
                       "\"additional.jvm.options\": [\"-Dz=1\", \"-Da=2\"], \"service.startup\": \"manual\", "
                       "\"service.recovery.first\": 0, \"service.recovery.second\": 0, \"service.recovery.later\": 0, "
                       "\"service.recovery.reset\": 0, \"service.recovery.on.error.exit\": 0, "
                       "\"service.account\": \".\\\\tomcatweb\"}]}");
    run = session.cli("apply " + file + " --password-stdin", ".\\tomcatweb=" + password + "\n");
    EXPECT_EQ(run.code, 10) << run.err;
    EXPECT_EQ(run.out, name +
                           ": changed; values: service.account; store, change the service in place (takes a restart)\n"
                           "1 configuration(s): 1 changed, 0 unchanged, 0 failed.\n");
    EXPECT_EQ(serviceConfig(name).account, ".\\tomcatweb");
    // Run again, it finds everything in its state and writes nothing anywhere.
    const std::string store = std::string(kStoreKey) + "\\" + name, java = procrunKey(name) + "\\Java";
    auto written = [&] {
        return std::vector<std::uint64_t>{machineKeyWritten(store), machineKeyWritten(serviceKey),
                                          machineKeyWritten(java)};
    };
    const auto writtenBefore = written();
    Sleep(50);  // a write now would get a later time than the ones read
    run = session.cli("apply " + file + " --password-stdin", ".\\tomcatweb=" + password + "\n");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(written(), writtenBefore);
    EXPECT_EQ(run.out, name + ": unchanged\n1 configuration(s): 0 changed, 1 unchanged, 0 failed.\n");
    EXPECT_FALSE(holds(contentOf(session.root() + "\\runs.txt"), password));
    EXPECT_EQ(runs.lines().size(), 3u);  // the service manager took the description, start-up type and account
    EXPECT_EQ(machineText(serviceKey, "VelmoraInstallMark"), mark);

    // A JDK update takes the folder of the JDK away: repoint finds the newest registered JDK of its version,
    // updates the JVM library alone where the service stands (--yes: and restarts it), and nothing else changes.
    const std::string updated = session.root() + "\\jdk-21.0.6", registered = "SOFTWARE\\JavaSoft\\JDK\\21.0.6";
    makeJdk(updated, Layout::Modern);
    Win32Registry().write(kLocalMachine, registered, {RegistryWrite::textValue("JavaHome", updated)});
    const auto storedBefore = machineValues(store), wrapperBefore = machineValues(java);
    const auto serviceBefore = machineValues(serviceKey);
    const std::string line = serviceConfig(name).programLine, outLog = session.home() + "\\logs\\" + name + "_out.log";
    const DWORD restarted = serviceProcessId(name);
    EXPECT_TRUE(holds(contentOf(outLog), "library: " + jdk + "\\bin\\server\\jvm.dll\r\n"));
    std::filesystem::remove_all(std::filesystem::path(wide(jdk)));
    run = session.cli("repoint " + name + " --yes");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(holds(run.out, "Configuration " + quoted(name) + " now uses the JDK at " + updated + ".\n"));
    EXPECT_EQ(runs.lines().back(), update + " --Jvm \"" + updated + "\\bin\\server\\jvm.dll\"");
    EXPECT_NE(serviceProcessId(name), restarted);
    EXPECT_TRUE(waitUntil([&] { return holds(contentOf(outLog), "library: " + updated + "\\bin\\server\\jvm.dll"); }));
    auto storedAfter = machineValues(store), wrapperAfter = machineValues(java),
         serviceAfter = machineValues(serviceKey);
    EXPECT_EQ(storedAfter.at("java.home"), updated);
    EXPECT_EQ(wrapperAfter.at("Jvm"), updated + "\\bin\\server\\jvm.dll");
    storedAfter["java.home"] = storedBefore.at("java.home");
    wrapperAfter["Jvm"] = wrapperBefore.at("Jvm");
    serviceAfter["VelmoraLastStop"] = serviceBefore.at("VelmoraLastStop");  // the restart's stop, kept
    EXPECT_EQ(storedAfter, storedBefore);
    EXPECT_EQ(wrapperAfter, wrapperBefore);
    EXPECT_EQ(serviceAfter, serviceBefore);
    EXPECT_EQ(serviceConfig(name).programLine, line);
    EXPECT_EQ(session.cli("uninstall " + name + " --yes").code, 0);
    (void)Win32Registry().deleteKey(kLocalMachine, registered);
}

TEST(ServiceSettings, SetInTheWindowsDialogAndInstalled) {
    Session session;
    const std::string pid = std::to_string(GetCurrentProcessId()), name = "Dialog" + pid;
    const std::string password = "Pw" + pid + "-typed-once";
    const LocalAccount account("tomcatweb", password);
    session.removeServiceAtEnd(name);
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.type(IDC_SERVICE_NAME, name));

    // The Open dialog beside the window takes no input while the settings are up: another configuration
    // opened under them would take their values.
    postCommand(session.main(), IDM_OPEN);
    HWND open = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (open = findTopWindow(session.processId(), "Open Config")) != nullptr; }));
    postCommand(session.main(), IDM_SERVICE_SETTINGS);
    HWND dialog = nullptr;
    ASSERT_TRUE(
        waitUntil([&] { return (dialog = findTopWindow(session.processId(), "Service Settings")) != nullptr; }));
    EXPECT_FALSE(IsWindowEnabled(open));
    EXPECT_EQ(comboItems(GetDlgItem(dialog, IDC_SETTINGS_STARTUP)),
              (Lines{"Automatic", "Automatic (Delayed Start)", "Manual", "Disabled"}));
    // One refused value changes nothing: the dialog stays with what was typed, and Cancel keeps it all as it was.
    SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_STARTUP), CB_SETCURSEL, 2, 0);
    setWindowText(GetDlgItem(dialog, IDC_SETTINGS_RECOVERY_RESET), "soon");
    click(GetDlgItem(dialog, IDOK));
    HWND box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = findTopWindow(session.processId(), "Warning")) != nullptr; }));
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);  // so the dialog takes no second OK while the box waits
    EXPECT_NE(session.answer("Warning", IDOK).find("soon"), std::string::npos);
    EXPECT_TRUE(IsWindowVisible(dialog));
    click(GetDlgItem(dialog, IDCANCEL));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(dialog); }));
    EXPECT_TRUE(IsWindowEnabled(open));
    click(GetDlgItem(open, IDC_OPEN_CANCEL));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(open); }));
    postCommand(session.main(), IDM_SERVICE_SETTINGS);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_STARTUP), CB_GETCURSEL, 0, 0), 0);

    SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_STARTUP), CB_SETCURSEL, 1, 0);
    setWindowText(GetDlgItem(dialog, IDC_SETTINGS_ACCOUNT), ".\\tomcatweb");
    setWindowText(GetDlgItem(dialog, IDC_SETTINGS_DEPENDENCIES), "RpcSs");
    setWindowText(GetDlgItem(dialog, IDC_SETTINGS_RECOVERY_FIRST), "30");
    setWindowText(GetDlgItem(dialog, IDC_SETTINGS_RECOVERY_RESET), "3600");
    EXPECT_TRUE(session.screenshot("service-settings"));
    click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(dialog); }));

    click(session.control(IDC_INSTALL));
    // Windows knows the account, which may not log on as a service yet; Wine 8 cannot tell, and asks nothing.
    if (!underWine()) {
        EXPECT_EQ(session.answer("Account Rights", IDYES),
                  "The account .\\tomcatweb may not log on as a service, so the service could not start. Give it the "
                  "\"Log on as a service\" right?");
    }
    HWND prompt = nullptr;
    ASSERT_TRUE(
        waitUntil([&] { return (prompt = findTopWindow(session.processId(), "Account Password")) != nullptr; }));
    setWindowText(GetDlgItem(prompt, IDC_PASSWORD_TEXT), password);
    click(GetDlgItem(prompt, IDOK));
    // What the service manager refused, each in its box, then the notice. The command waits for none of them: it
    // has let go of its turn while the first is up.
    ASSERT_TRUE(waitUntil([&] { return findTopWindow(session.processId(), "Warning") != nullptr; }));
    EXPECT_TRUE(waitUntil([] {
        const HANDLE turn = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, L"Global\\VelmoraCommandLock");
        if (!turn) return GetLastError() == ERROR_FILE_NOT_FOUND;
        const DWORD taken = WaitForSingleObject(turn, 0);
        if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) ReleaseMutex(turn);
        CloseHandle(turn);
        return taken != WAIT_TIMEOUT;
    }));
    Lines shown;
    for (std::size_t i = 0; i < refusedSettings(name, true).size(); ++i)
        shown.push_back(session.answer("Warning", IDOK));
    EXPECT_EQ(shown, refusedSettings(name, true));
    EXPECT_EQ(session.answer("Info", IDOK), "Service " + quoted(name) + " installed.");
    ASSERT_TRUE(session.waitUntilIdle());
    expectKept(name, ".\\tomcatweb", {30000, 60000, 300000}, 3600);
    const auto stored = machineValues(std::string(kStoreKey) + "\\" + name);
    EXPECT_EQ(stored.at("service.startup") + " " + stored.at("service.recovery.first"), "delayed 30");

    PostMessageW(session.main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(session.exited(10000));
}

}  // namespace
}  // namespace velmora::e2e
