#include "service/Ownership.h"
#include "service/WrapperParameters.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

TEST(WrapperParameters, ConditionalOptionsAreNumberedOnWithoutGaps) {
    Configuration c;
    c.serviceName = "svc";
    c.catalinaHome = "C:\\tc";
    c.securityPolicyFile = "C:\\tc\\p.policy";
    c.useSecurityManager = c.reduceOsSignals = 1;
    c.initialHeapSize = "64";
    c.maxHeapSize = "256";
    c.additionalJvmOptions = {"", "-Dx=y", ""};
    EXPECT_EQ(conditionalJvmOptions(c), (std::vector<std::string>{"-Djava.security.manager", "-Djava.security.policy=C:\\tc"
                                                                  "\\p.policy", "-Xrs", "-Xms64m", "-Xmx256m", "-Dx=y"}));
    const auto values = serviceWrapperParameters(c);
    auto text = [&](std::size_t from) {
        std::string out = values.at(from).key.substr(34) + ":" + values.at(from).name + "=";
        return out + (values[from].data.index() ? std::to_string(std::get<1>(values[from].data)) : std::get<0>(values[from].data));
    };
    EXPECT_EQ(text(0) + "|" + text(11) + "|" + text(16) + "|" + text(17) + "|" + text(values.size() - 2) + "|" + text(values.size() - 1),
              "svc:Description=|svc\\Parameters:System.out File=\\svc_out.log|svc\\Parameters:JVM Option Number 3="
              "-Djava.endorsed.dirs=C:\\tc\\common\\endorsed|svc\\Parameters:JVM Option Number 4=-Djava.class.path=|"
              "svc\\Parameters:JVM Option Number 11=-Dx=y|svc\\Parameters:JVM Option Count=12");

    Configuration plain;
    plain.threadStackSize = "abc";
    EXPECT_EQ(std::get<std::int32_t>(serviceWrapperParameters(plain).back().data), 6);
    plain.threadStackSize = " 128", plain.maxHeapSize = "0";
    EXPECT_EQ(conditionalJvmOptions(plain), std::vector<std::string>{"-Xss 128k"});
}

class ServiceTest : public DoConfigTest {
protected:
    const std::string installLine = "C:\\tomcat\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main",
                      uninstallLine = "C:\\tomcat\\bin\\svc.exe -uninstall svc";
    void SetUp() override {
        DoConfigTest::SetUp();
        addDemoLayout();
        simulateClassicWrapper();
        dc.newConfiguration();
        dc.setServiceName("svc");
        dc.saveConfiguration(false);
        os.processes.ran.clear();
        boxes().clear();
    }
    std::string param(const std::string& name) {
        return reg().queryStringValue(HKEY_LOCAL_MACHINE_ROOT, "SYSTEM\\CurrentControlSet\\Services\\svc\\Parameters", name)
            .value_or("<absent>");
    }
    bool serviceKeyExists() { return reg().keyExists(HKEY_LOCAL_MACHINE_ROOT, "SYSTEM\\CurrentControlSet\\Services\\svc"); }
};

TEST_F(ServiceTest, TheButtonsInstallStartStopAndRemoveAndTheStatusFollowsTheTable) {
    // Not installed: Start is disabled, its caption stays as it was; removal runs nothing.
    window.start = "Stop";
    window.startEnabled = true;
    dc.checkServiceStatus();
    EXPECT_EQ(state(), "Install|Not installed|Stop|off");
    EXPECT_TRUE(dc.uninstallService(true));
    EXPECT_EQ(lastBox(), "Info: Service \"svc\" has been uninstalled.");
    dc.followServiceStatus();
    EXPECT_EQ(os.services.queries + os.processes.ran.size(), 0u);

    dc.setDescription("changed");
    dc.installOrUninstall();
    // Saved first, the wrapper copied from tomcat.exe and run by its full path.
    EXPECT_EQ(stored("svc", "description") + "|" + os.files.files["C:\\tomcat\\bin\\svc.exe"] + "|" +
                  std::to_string(storedDword("svc", "installedaservice")), "changed|x|1");
    EXPECT_EQ(os.processes.programs, std::vector<std::string>{"C:\\tomcat\\bin\\svc.exe"});
    EXPECT_EQ(param("JVM Library") + "|" + param("Start Param Number 2") + "|" + param("JVM Option Number 6"),
              "<absent>|C:\\tomcat\\conf\\server.xml|-Xrs");
    EXPECT_EQ(lastBox() + "|" + state(), "Info: Service \"svc\" installed.|Uninstall|Installed - Not Running|Start|on");

    os.processes.onRun = [&](const std::string& command) { EXPECT_TRUE(window.noticeVisible) << command; };
    dc.startOrStop();
    EXPECT_EQ(window.notices.back() + state(), "Starting the \"svc\" service...Uninstall|Installed - Running|Stop|on");
    EXPECT_EQ(os.processes.programs.back(), "C:\\windows\\system32\\net.exe");
    os.processes.exitCodes["net stop \"svc\""] = 2;  // a failed stop still hides the notice
    dc.startOrStop();
    EXPECT_EQ(window.notices.back() + std::to_string(window.noticeVisible), "Stopping the \"svc\" service...0");
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{installLine, "net start \"svc\"", "net stop \"svc\""}));

    // A failed query is logged and leaves the caption.
    os.services.services.clear();
    dc.checkServiceStatus();
    EXPECT_EQ(state() + std::to_string(dc.serviceRunning()), "Uninstall|Unable to determine|Stop|off1");
    EXPECT_EQ(window.debugLines, (std::vector<std::string>{"Err.Source: OpenServiceA", "Err.Description: The specified "
                                  "service does not exist as an installed service.", "Err.Number: 1060",
                                  "errStatus: check service status"}));
    // Followed between commands, a failure that goes on is logged once; an answer shows at once.
    dc.followServiceStatus();
    EXPECT_EQ(window.debugLines.size(), 4u);
    os.services.services["svc"] = {"C:\\tomcat\\bin\\svc.exe", true};
    dc.followServiceStatus();
    EXPECT_EQ(state(), "Uninstall|Installed - Running|Stop|on");
    os.services.services.clear();

    // No service: neither net stop nor the wrapper runs; our copy goes at once.
    simulateClassicWrapper();
    os.processes.ran.clear();
    dc.installOrUninstall();
    EXPECT_EQ(std::to_string(os.processes.ran.size() * 10 + os.files.deleteAttempts["C:\\tomcat\\bin\\svc.exe"]) + state(),
              "1Install|Not installed|Stop|off");
    os.files.addFile("C:\\tomcat\\bin\\svc.exe", "x");  // a copy left by an earlier install is used
    dc.installService(false);
    EXPECT_TRUE(dc.installedAsService());
}

TEST_F(ServiceTest, AProblemAsksFirstAndCancelTouchesNothing) {
    os.files.folders.erase("C:\\tomcat\\temp");
    os.messageBoxes.answerByTitle = {{"Missing Folder", kIdNo}, {"Confirm", kIdCancel}};
    const auto writes = reg().writeLog().size();
    dc.installService(true);
    EXPECT_EQ(std::to_string(boxes().back().buttons) + lastBox(),
              "1Confirm: A potential configuration error has been detected and a diagnostic report is being launched.  "
              "Click 'OK' to continue anyway or 'Cancel' to abort.\r\n\r\n(Note: if the report does not launch "
              "automatically, you can view it at \"C:\\tomcat\\bin\\quenby-svc-debug.html\"");
    EXPECT_EQ(reg().writeLog().size() + os.processes.ran.size() + dc.installedAsService(), writes);
}

TEST_F(ServiceTest, AnInstalledOrRunningServiceIsAskedAboutBeforeADeleteASaveOrAReinstall) {
    dc.installService(false);
    os.messageBoxes.answerByTitle["Confirm"] = kIdNo;
    dc.deleteConfiguration(false);
    EXPECT_EQ(lastBox(), "Confirm: This configuration is also installed as a service. If you delete the "
                         "configuration, the service will be also be deleted. Continue?");
    EXPECT_EQ(storedList(), std::string("svc\0", 4));

    dc.startService();
    const auto writes = reg().writeLog().size();
    dc.saveConfiguration(true);
    EXPECT_EQ(lastBox(), "Confirm: This configuration is also installed as a running service. To update the "
                         "configuration, the service will be also be stopped and restarted. Continue?");
    EXPECT_EQ(reg().writeLog().size(), writes);
    os.processes.ran.clear();
    dc.installService(true);
    EXPECT_EQ(lastBox(), "Confirm: Configuration for service \"svc\" has been updated, however the service is "
                         "currently running. To reliably apply the changes the service should be uninstalled and "
                         "reinstalled.\r\n\r\nDo that now?");
    EXPECT_EQ(param("JVM Library"), "C:\\jdk\\jre\\bin\\server\\jvm.dll");  // an update
    EXPECT_EQ(os.processes.ran, std::vector<std::string>{"net start \"svc\""});

    // Yes: stopped, written or reinstalled, started again, without a message of its own.
    os.messageBoxes.answerByTitle["Confirm"] = kIdYes;
    for (bool save : {true, false}) {
        os.processes.ran.clear();
        boxes().clear();
        save ? (void)dc.saveConfiguration(false) : dc.installService(true);
        // The question is the only box.
        EXPECT_EQ(os.processes.ran.front() + "|" + os.processes.ran.back() + "|" + state() + "|" +
                      std::to_string(storedDword("svc", "installedaservice") * 10 + static_cast<int>(boxes().size())),
                  "net stop \"svc\"|net start \"svc\"|Uninstall|Installed - Running|Stop|on|11");
    }
}

TEST_F(ServiceTest, AWrapperThatRegistersNothingIsReportedAndLeavesNothingBehind) {
    // No tomcat.exe: the copy fails (logged, the install goes on), the copy
    // cannot start, and no service comes of it.
    os.files.files.erase("C:\\tomcat\\bin\\tomcat.exe");
    os.messageBoxes.answerByTitle["Confirm"] = kIdOk;
    dc.installService(true);
    EXPECT_EQ(window.debugLines.back() + std::to_string(window.debugLines.size()), "errStatus: 4");
    EXPECT_NE(lastBox().find("Warning: The service wrapper did not register the service \"svc\" (exit code -1)"),
              std::string::npos) << lastBox();
    // No Description, no Parameters.
    EXPECT_EQ(std::to_string(serviceKeyExists() + storedDword("svc", "installedaservice")) + state(), "0Install|Not installed|Start|off");

    // A wrapper that runs but fails, within the wait: the copy it was made for goes again.
    os.files.addFile("C:\\tomcat\\bin\\tomcat.exe", "x");
    os.processes.onRun = nullptr;
    os.processes.exitCodes[installLine] = 3;
    os.processes.runsForMs[installLine] = 29000;
    dc.installService(true);
    EXPECT_NE(lastBox().find("(exit code 3)"), std::string::npos) << lastBox();
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\bin\\svc.exe") || serviceKeyExists());
}

TEST_F(ServiceTest, RemovalRetriesALockedCopySaysSoAndClearsWhatItWrote) {
    dc.installService(false);
    os.files.locked.insert("C:\\tomcat\\bin\\svc.exe");
    os.processes.ran.clear();
    EXPECT_TRUE(dc.uninstallService(true));
    EXPECT_EQ(os.files.deleteAttempts["C:\\tomcat\\bin\\svc.exe"], 50001);
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{"net stop \"svc\"", uninstallLine}));
    // Only the description and parameters were left in the key.
    EXPECT_EQ(std::to_string(serviceKeyExists() + storedDword("svc", "installedaservice")) + state(), "0Install|Not installed|Start|off");
    EXPECT_NE(lastBox().find("Warning: The service \"svc\" has been removed, but its wrapper copy C:\\tomcat\\bin\\svc.exe could "),
              std::string::npos) << lastBox();

    // A wrapper that cannot remove the service, within the wait: it stays installed and says so.
    os.files.locked.clear();
    dc.installService(false);
    os.processes.exitCodes[uninstallLine] = 5;
    os.processes.runsForMs[uninstallLine] = 29000;
    auto onRun = os.processes.onRun;
    os.processes.onRun = nullptr;
    EXPECT_FALSE(dc.uninstallService(true));
    EXPECT_EQ(lastBox(), "Warning: The service \"svc\" is still registered: the service wrapper did not remove it "
                         "(exit code 5). Stop it and try again.");
    EXPECT_EQ(std::to_string(dc.installedAsService() + storedDword("svc", "installedaservice") +
                             os.files.fileExists("C:\\tomcat\\bin\\svc.exe")) + state(), "3Uninstall|Installed - Not Running|Start|on");

    // A key holding anything Velmora did not write stays.
    os.processes.exitCodes.clear();
    os.processes.onRun = onRun;
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, "SYSTEM\\CurrentControlSet\\Services\\svc", "Type", "x");
    dc.uninstallService(false);
    EXPECT_TRUE(serviceKeyExists());
}

TEST_F(ServiceTest, WhatIsNotOursIsNeverStoppedRunOverwrittenOrDeleted) {
    // A system service of the same name: every operation refuses up front.
    os.services.services["svc"] = {"C:\\WINDOWS\\system32\\spoolsv.exe", true};
    os.files.addFile("C:\\tomcat\\bin\\svc.exe", "someone else's program");
    const auto writes = reg().writeLog().size();
    const auto files = os.files.files;
    dc.setDescription("changed");
    dc.saveConfiguration(true);
    dc.installService(true);
    dc.uninstallService(true);
    dc.deleteConfiguration(false);
    dc.installOrUninstall();
    EXPECT_EQ(boxes().size(), 5u);
    for (const auto& box : boxes())
        EXPECT_EQ(box.title + ": " + box.text, "Warning: A service named \"svc\" already exists on this computer "
                                               "and was not installed by Velmora for this configuration (it runs "
                                               "C:\\WINDOWS\\system32\\spoolsv.exe). Nothing was changed.");
    EXPECT_EQ(reg().writeLog().size() + os.processes.ran.size(), writes);
    EXPECT_EQ(os.files.files, files);
    EXPECT_TRUE(os.services.services["svc"].started);

    // A service's program is the binary path's first token, quoted or not.
    EXPECT_EQ(programOfBinaryPath("\"C:\\tom cat\\bin\\a.exe\" -x") + "|" + programOfBinaryPath("C:\\tom cat\\bin\\a.exe -x y.exe"),
              "C:\\tom cat\\bin\\a.exe|C:\\tom cat\\bin\\a.exe");

    // No service, but a file in the copy's place that is not a copy of tomcat.exe.
    os.services.services.clear();
    dc.installService(false);
    EXPECT_NE(lastBox().find("is not a copy of C:\\tomcat\\bin\\tomcat.exe"), std::string::npos) << lastBox();
    dc.uninstallService(false);
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_EQ(os.files.files, files);
}
