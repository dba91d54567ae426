#include "service/Ownership.h"
#include "service/WrapperParameters.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {
std::string optionsOf(const std::vector<WrapperValue>& values) {
    std::string out;
    for (const auto& v : values)
        if (v.name.rfind("JVM Option", 0) == 0)
            out += v.name + "=" +
                   (std::holds_alternative<std::string>(v.data) ? std::get<std::string>(v.data)
                                                                : std::to_string(std::get<std::int32_t>(v.data))) + "|";
    return out;
}
}  // namespace

TEST(WrapperParameters, ConditionalOptionsAreNumberedOnWithoutGaps) {
    Configuration c;
    c.serviceName = "svc";
    c.catalinaHome = "C:\\tc";
    c.securityPolicyFile = "C:\\tc\\p.policy";
    c.useSecurityManager = 1;
    c.reduceOsSignals = 1;
    c.initialHeapSize = "64";
    c.maxHeapSize = "256";
    c.additionalJvmOptions = {"", "-Dx=y", ""};
    const auto values = serviceWrapperParameters(c);
    EXPECT_EQ(values.front().name, "Description");
    EXPECT_EQ(values.front().key, "SYSTEM\\CurrentControlSet\\Services\\svc");
    EXPECT_EQ(values[11].name, "System.out File");
    EXPECT_EQ(std::get<std::string>(values[11].data), "\\svc_out.log");
    const std::string options = optionsOf(values);
    EXPECT_NE(options.find("JVM Option Number 3=-Djava.endorsed.dirs=C:\\tc\\common\\endorsed|"), std::string::npos);
    EXPECT_NE(options.find("JVM Option Number 5=-Djava.home=\\jre|JVM Option Number 6=-Djava.security.manager|"
                           "JVM Option Number 7=-Djava.security.policy=C:\\tc\\p.policy|JVM Option Number 8=-Xrs|"
                           "JVM Option Number 9=-Xms64m|JVM Option Number 10=-Xmx256m|JVM Option Number 11=-Dx=y|"
                           "JVM Option Count=12|"),
              std::string::npos) << options;

    Configuration plain;
    plain.threadStackSize = "abc";
    EXPECT_EQ(optionsOf(serviceWrapperParameters(plain)).find("Number 6"), std::string::npos);
    EXPECT_EQ(std::get<std::int32_t>(serviceWrapperParameters(plain).back().data), 6);
    plain.threadStackSize = " 128";
    plain.maxHeapSize = "0";
    EXPECT_EQ(conditionalJvmOptions(plain), std::vector<std::string>{"-Xss 128k"});
}

class ServiceTest : public DoConfigTest {
protected:
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

TEST_F(ServiceTest, StatusFollowsTheTableAndAFailedQueryIsLogged) {
    dc.checkServiceStatus();
    dc.followServiceStatus();
    EXPECT_EQ(window.status, "Not installed");
    EXPECT_EQ(os.services.queries, 0);

    dc.installService(false);
    EXPECT_EQ(window.status, "Installed - Not Running");
    EXPECT_EQ(window.start, "Start");
    EXPECT_TRUE(window.startEnabled);
    EXPECT_FALSE(dc.serviceRunning());

    os.services.services.clear();
    window.start = "Stop";
    dc.checkServiceStatus();
    EXPECT_EQ(window.status, "Unable to determine");
    EXPECT_EQ(window.start, "Stop");
    EXPECT_FALSE(window.startEnabled);
    EXPECT_TRUE(dc.serviceRunning());
    ASSERT_EQ(window.debugLines.size(), 4u);
    EXPECT_EQ(window.debugLines[0].rfind("Err.Source: ", 0), 0u);
    EXPECT_EQ(window.debugLines[1].rfind("Err.Description: ", 0), 0u);
    EXPECT_EQ(window.debugLines[2], "Err.Number: 1060");
    EXPECT_EQ(window.debugLines[3], "errStatus: check service status");

    // Followed between commands: a failure that goes on is not logged again; an answer shows at once.
    dc.followServiceStatus();
    EXPECT_EQ(window.debugLines.size(), 4u);
    os.services.services["svc"] = {"C:\\tomcat\\bin\\svc.exe", true};
    dc.followServiceStatus();
    EXPECT_EQ(window.status, "Installed - Running");
    EXPECT_EQ(window.start, "Stop");
    EXPECT_TRUE(window.startEnabled);
}

TEST_F(ServiceTest, StartAndStopRunSystem32sNetBehindTheNotice) {
    dc.installService(false);
    os.processes.ran.clear();
    os.processes.onRun = [&](const std::string& command) { EXPECT_TRUE(window.noticeVisible) << command; };
    dc.startService();
    EXPECT_EQ(window.notices.back(), "Starting the \"svc\" service...");
    EXPECT_EQ(window.status, "Installed - Running");
    EXPECT_EQ(window.start, "Stop");
    os.processes.exitCodes["net stop \"svc\""] = 2;  // a failed stop still hides the notice
    dc.stopService();
    EXPECT_EQ(window.notices.back(), "Stopping the \"svc\" service...");
    EXPECT_FALSE(window.noticeVisible);
    EXPECT_EQ(window.status, "Installed - Running");
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{"net start \"svc\"", "net stop \"svc\""}));
    EXPECT_EQ(os.processes.programs.back(), "C:\\windows\\system32\\net.exe");
}

TEST_F(ServiceTest, FreshInstallCopiesRegistersWritesAndAnnounces) {
    dc.installService(true);
    EXPECT_EQ(os.files.files["C:\\tomcat\\bin\\svc.exe"], "x");  // copied from tomcat.exe
    EXPECT_EQ(os.processes.ran,
              std::vector<std::string>{"C:\\tomcat\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main"});
    EXPECT_EQ(os.processes.programs, std::vector<std::string>{"C:\\tomcat\\bin\\svc.exe"});
    EXPECT_EQ(param("JVM Library"), "<absent>");
    EXPECT_EQ(param("Start Param Number 2"), "C:\\tomcat\\conf\\server.xml");
    EXPECT_EQ(param("JVM Option Number 6"), "-Xrs");
    EXPECT_EQ(storedDword("svc", "installedaservice"), 1);
    EXPECT_EQ(window.install, "Uninstall");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "Service \"svc\" installed.");
    EXPECT_TRUE(dc.installedAsService());
    EXPECT_TRUE(dc.showPrompts());

    // A copy left by an earlier install is used as it is.
    EXPECT_TRUE(dc.uninstallService(false));
    os.files.addFile("C:\\tomcat\\bin\\svc.exe", "x");
    os.files.addFile("C:\\tomcat\\bin\\tomcat.exe", "x");
    dc.installService(false);
    EXPECT_TRUE(dc.installedAsService());
}

TEST_F(ServiceTest, AProblemAsksFirstAndCancelTouchesNothing) {
    os.files.folders.erase("C:\\tomcat\\temp");
    os.messageBoxes.answerByTitle["Missing Folder"] = kIdNo;
    os.messageBoxes.answerByTitle["Confirm"] = kIdCancel;
    const auto writes = reg().writeLog().size();
    dc.installService(true);
    ASSERT_FALSE(boxes().empty());
    EXPECT_EQ(boxes().back().title, "Confirm");
    EXPECT_EQ(boxes().back().buttons, 1);
    EXPECT_EQ(boxes().back().text,
              "A potential configuration error has been detected and a diagnostic report is being launched.  Click 'OK' "
              "to continue anyway or 'Cancel' to abort.\r\n\r\n(Note: if the report does not launch automatically, you "
              "can view it at \"C:\\tomcat\\bin\\quenby-svc-debug.html\"");
    EXPECT_EQ(reg().writeLog().size(), writes);
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_EQ(window.install, "Install");
    EXPECT_FALSE(dc.installedAsService());
}

TEST_F(ServiceTest, ARunningServiceIsOfferedAReinstallAndRestartedWithoutMessage) {
    dc.installService(false);
    dc.startService();
    os.processes.ran.clear();
    boxes().clear();
    os.messageBoxes.answerByTitle["Confirm"] = kIdNo;
    dc.installService(true);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "Configuration for service \"svc\" has been updated, however the service is currently "
                               "running. To reliably apply the changes the service should be uninstalled and "
                               "reinstalled.\r\n\r\nDo that now?");
    EXPECT_EQ(param("JVM Library"), "C:\\jdk\\jre\\bin\\server\\jvm.dll");  // an update
    EXPECT_EQ(os.processes.ran, std::vector<std::string>{"net start \"svc\""});

    os.messageBoxes.answerByTitle["Confirm"] = kIdYes;
    os.processes.ran.clear();
    dc.installService(true);
    EXPECT_EQ(os.processes.ran.front(), "net stop \"svc\"");
    EXPECT_EQ(os.processes.ran.back(), "net start \"svc\"");
    EXPECT_EQ(window.status, "Installed - Running");
    EXPECT_EQ(boxes().size(), 2u);  // the question only
}

TEST_F(ServiceTest, AWrapperThatRegistersNothingIsReportedAndLeavesNothingBehind) {
    // No tomcat.exe: the copy fails (logged, the install goes on), the copy
    // cannot start, and no service comes of it.
    os.files.files.erase("C:\\tomcat\\bin\\tomcat.exe");
    os.messageBoxes.answerByTitle["Confirm"] = kIdOk;
    dc.installService(true);
    ASSERT_EQ(window.debugLines.size(), 4u);
    EXPECT_EQ(window.debugLines[3], "errStatus: ");
    EXPECT_EQ(boxes().back().title, "Warning");
    EXPECT_NE(boxes().back().text.find("did not register the service \"svc\" (exit code -1)"), std::string::npos);
    EXPECT_FALSE(serviceKeyExists());  // no Description, no Parameters
    EXPECT_EQ(storedDword("svc", "installedaservice"), 0);
    EXPECT_EQ(window.install, "Install");
    EXPECT_FALSE(dc.installedAsService());

    // A wrapper that runs but fails: the copy it was made for goes again.
    os.files.addFile("C:\\tomcat\\bin\\tomcat.exe", "x");
    os.processes.onRun = nullptr;
    os.processes.exitCodes["C:\\tomcat\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main"] = 3;
    dc.installService(true);
    EXPECT_NE(boxes().back().text.find("(exit code 3)"), std::string::npos);
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\bin\\svc.exe"));
    EXPECT_FALSE(serviceKeyExists());
}

TEST_F(ServiceTest, RemovalRetriesALockedCopySaysSoAndClearsWhatItWrote) {
    dc.installService(false);
    os.files.locked.insert("C:\\tomcat\\bin\\svc.exe");
    os.processes.ran.clear();
    EXPECT_TRUE(dc.uninstallService(true));
    EXPECT_EQ(os.files.deleteAttempts["C:\\tomcat\\bin\\svc.exe"], 50001);
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{"net stop \"svc\"", "C:\\tomcat\\bin\\svc.exe -uninstall svc"}));
    EXPECT_EQ(storedDword("svc", "installedaservice"), 0);
    EXPECT_FALSE(serviceKeyExists());  // only the description and parameters were left
    EXPECT_EQ(window.status, "Not installed");
    EXPECT_EQ(window.install, "Install");
    EXPECT_EQ(boxes().back().title, "Warning");
    EXPECT_NE(boxes().back().text.find("C:\\tomcat\\bin\\svc.exe could not be deleted"), std::string::npos);

    // No service: neither net stop nor the wrapper runs; our copy goes at once.
    os.files.locked.clear();
    os.files.deleteAttempts.clear();
    os.processes.ran.clear();
    EXPECT_TRUE(dc.uninstallService(true));
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_EQ(os.files.deleteAttempts["C:\\tomcat\\bin\\svc.exe"], 1);
    EXPECT_EQ(boxes().back().text, "Service \"svc\" has been uninstalled.");

    // A key holding anything Velmora did not write stays.
    dc.installService(false);
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, "SYSTEM\\CurrentControlSet\\Services\\svc", "Type", "x");
    dc.uninstallService(false);
    EXPECT_TRUE(serviceKeyExists());
}

TEST_F(ServiceTest, AServiceTheWrapperCannotRemoveStaysInstalledAndSaysSo) {
    dc.installService(false);
    os.processes.onRun = nullptr;
    os.processes.exitCodes["C:\\tomcat\\bin\\svc.exe -uninstall svc"] = 5;
    boxes().clear();
    EXPECT_FALSE(dc.uninstallService(true));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].text.find("\"svc\" is still registered"), std::string::npos);
    EXPECT_NE(boxes()[0].text.find("(exit code 5)"), std::string::npos);
    EXPECT_TRUE(dc.installedAsService());
    EXPECT_EQ(storedDword("svc", "installedaservice"), 1);
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\bin\\svc.exe"));
    EXPECT_EQ(window.install, "Uninstall");
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
    for (const auto& box : boxes()) {
        EXPECT_EQ(box.title, "Warning");
        EXPECT_NE(box.text.find("\"svc\" already exists"), std::string::npos);
        EXPECT_NE(box.text.find("spoolsv.exe"), std::string::npos);
        EXPECT_NE(box.text.find("Nothing was changed."), std::string::npos);
    }
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_EQ(reg().writeLog().size(), writes);
    EXPECT_EQ(os.files.files, files);
    EXPECT_EQ(stored("svc", "description"), "");
    EXPECT_TRUE(os.services.services["svc"].started);

    // Our own service whose binary is quoted and carries arguments is ours.
    os.services.services["svc"] = {"\"c:/TOMCAT/bin/SVC.exe\" -service", false};
    EXPECT_EQ(programOfBinaryPath("\"C:\\tom cat\\bin\\a.exe\" -x"), "C:\\tom cat\\bin\\a.exe");
    EXPECT_EQ(programOfBinaryPath("C:\\tom cat\\bin\\a.exe -x y.exe"), "C:\\tom cat\\bin\\a.exe");

    // No service, but a file in the copy's place that is not a copy of tomcat.exe.
    os.services.services.clear();
    boxes().clear();
    dc.installService(false);
    EXPECT_NE(boxes().back().text.find("is not a copy of C:\\tomcat\\bin\\tomcat.exe"), std::string::npos);
    dc.uninstallService(false);
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_EQ(os.files.files, files);
}

TEST_F(ServiceTest, TheServiceButtonsActOnTheirCaptions) {
    dc.setDescription("changed");
    dc.installOrUninstall();
    EXPECT_EQ(stored("svc", "description"), "changed");  // saved first
    EXPECT_EQ(window.install, "Uninstall");
    EXPECT_TRUE(window.startEnabled);
    dc.startOrStop();
    EXPECT_EQ(os.processes.ran.back(), "net start \"svc\"");
    EXPECT_EQ(window.start, "Stop");
    dc.startOrStop();
    EXPECT_EQ(os.processes.ran.back(), "net stop \"svc\"");
    dc.installOrUninstall();
    EXPECT_EQ(window.install, "Install");
    EXPECT_FALSE(window.startEnabled);
    EXPECT_EQ(boxes().back().text, "Service \"svc\" has been uninstalled.");

    dc.newConfiguration();
    dc.setServiceName("");
    boxes().clear();
    dc.installOrUninstall();
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_FALSE(window.startEnabled);
}
