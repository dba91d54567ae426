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
        dc.newConfiguration();
        dc.setServiceName("svc");
        dc.saveConfiguration(false);
        os.processes.ran.clear();
        boxes().clear();
        // The wrapper registers and removes its service.
        os.processes.onRun = [this](const std::string& command) {
            if (command.find(" -install svc ") != std::string::npos) os.services.started["svc"] = false;
            if (command.find(" -uninstall svc") != std::string::npos) os.services.started.erase("svc");
        };
    }
    std::string param(const std::string& name) {
        return reg().queryStringValue(HKEY_LOCAL_MACHINE_ROOT, "SYSTEM\\CurrentControlSet\\Services\\svc\\Parameters", name)
            .value_or("<absent>");
    }
};

TEST_F(ServiceTest, StatusFollowsTheTableAndAFailedQueryIsLogged) {
    dc.checkServiceStatus();
    dc.followServiceStatus();
    EXPECT_EQ(window.status, "Not installed");
    EXPECT_EQ(os.services.queries, 0);

    dc.installService(false);
    os.services.started["svc"] = false;
    dc.checkServiceStatus();
    EXPECT_EQ(window.status, "Installed - Not Running");
    EXPECT_EQ(window.start, "Start");
    EXPECT_TRUE(window.startEnabled);
    EXPECT_FALSE(dc.serviceRunning());

    os.services.started.clear();
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
    os.services.started["svc"] = true;
    dc.followServiceStatus();
    EXPECT_EQ(window.status, "Installed - Running");
    EXPECT_EQ(window.start, "Stop");
    EXPECT_TRUE(window.startEnabled);
}

TEST_F(ServiceTest, ANameWithAQuoteCannotBeAskedAbout) {
    dc.setServiceName("it's");
    dc.saveConfiguration(false);
    dc.installService(false);
    os.services.started["it's"] = true;
    dc.checkServiceStatus();
    EXPECT_EQ(window.status, "Unable to determine");
    const std::size_t logged = window.debugLines.size();
    dc.followServiceStatus();
    EXPECT_EQ(window.debugLines.size(), logged);
}

TEST_F(ServiceTest, StartAndStopShowTheNoticeRunNetAndHideItAgain) {
    dc.installService(false);
    os.services.started["svc"] = false;
    os.processes.ran.clear();
    os.processes.onRun = [&](const std::string& command) {
        EXPECT_TRUE(window.noticeVisible) << command;
        if (command == "net start \"svc\"") os.services.started["svc"] = true;
    };
    dc.startService();
    EXPECT_EQ(window.notices.back(), "Starting the \"svc\" service...");
    EXPECT_EQ(window.status, "Installed - Running");
    EXPECT_EQ(window.start, "Stop");
    os.processes.exitCodes["net stop \"svc\""] = 2;  // a failed stop still hides the notice
    dc.stopService();
    EXPECT_EQ(window.notices.back(), "Stopping the \"svc\" service...");
    EXPECT_FALSE(window.noticeVisible);
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{"net start \"svc\"", "net stop \"svc\""}));
}

TEST_F(ServiceTest, FreshInstallCopiesRegistersWritesAndAnnounces) {
    os.files.addFile("C:\\tomcat\\bin\\svc.exe", "older copy");
    dc.installService(true);
    EXPECT_EQ(os.files.files["C:\\tomcat\\bin\\svc.exe"], "older copy");  // an existing copy stays
    EXPECT_EQ(os.processes.ran,
              std::vector<std::string>{"C:\\tomcat\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main"});
    EXPECT_EQ(param("JVM Library"), "<absent>");
    EXPECT_EQ(param("Start Param Number 2"), "C:\\tomcat\\conf\\server.xml");
    EXPECT_EQ(param("JVM Option Number 6"), "-Xrs");
    EXPECT_EQ(storedDword("svc", "installedaservice"), 1);
    EXPECT_EQ(window.install, "Uninstall");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "Service \"svc\" installed.");
    EXPECT_TRUE(dc.installedAsService());
    EXPECT_TRUE(dc.showPrompts());

    os.files.files.erase("C:\\tomcat\\bin\\svc.exe");
    dc.uninstallService(false);
    dc.installService(false);
    EXPECT_EQ(os.files.files["C:\\tomcat\\bin\\svc.exe"], "x");  // copied from tomcat.exe
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
    os.services.started["svc"] = true;
    dc.checkServiceStatus();
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
    EXPECT_EQ(boxes().size(), 2u);  // the question only
}

TEST_F(ServiceTest, AFailedCopyIsLoggedAndTheInstallGoesOn) {
    os.files.files.erase("C:\\tomcat\\bin\\tomcat.exe");
    os.messageBoxes.answerByTitle["Confirm"] = kIdOk;
    dc.installService(true);
    ASSERT_EQ(window.debugLines.size(), 4u);
    EXPECT_EQ(window.debugLines[3], "errStatus: ");
    EXPECT_EQ(param("Start Class"), "org.apache.catalina.startup.BootstrapService");
    EXPECT_EQ(boxes().back().text, "Service \"svc\" installed.");

    os.files.locked.insert("C:\\tomcat\\bin\\quenby-svc-debug.html");
    window.debugLines.clear();
    dc.uninstallService(false);
    dc.installService(false);
    EXPECT_EQ(window.debugLines.size(), 8u);  // the report and the copy
}

TEST_F(ServiceTest, RemovalRetriesALockedCopyAndClearsEverything) {
    dc.installService(false);
    os.files.addFile("C:\\tomcat\\bin\\svc.exe");
    os.files.locked.insert("C:\\tomcat\\bin\\svc.exe");
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, "SYSTEM\\CurrentControlSet\\Services\\svc", "Type", "x");
    os.processes.ran.clear();
    dc.uninstallService(true);
    EXPECT_EQ(os.files.deleteAttempts["C:\\tomcat\\bin\\svc.exe"], 50001);
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{"net stop \"svc\"", "C:\\tomcat\\bin\\svc.exe -uninstall svc"}));
    EXPECT_EQ(storedDword("svc", "installedaservice"), 0);
    EXPECT_TRUE(reg().keyExists(HKEY_LOCAL_MACHINE_ROOT, "SYSTEM\\CurrentControlSet\\Services\\svc"));  // has Parameters
    EXPECT_EQ(window.status, "Not installed");
    EXPECT_EQ(window.install, "Install");
    EXPECT_EQ(boxes().back().text, "Service \"svc\" has been uninstalled.");

    os.files.locked.clear();
    os.files.deleteAttempts.clear();
    dc.uninstallService(false);
    EXPECT_EQ(os.files.deleteAttempts["C:\\tomcat\\bin\\svc.exe"], 1);
    os.files.deleteAttempts.clear();
    dc.uninstallService(false);
    EXPECT_EQ(os.files.deleteAttempts.count("C:\\tomcat\\bin\\svc.exe"), 0u);
}

TEST_F(ServiceTest, TheServiceButtonsActOnTheirCaptions) {
    dc.setDescription("changed");
    dc.installOrUninstall();
    EXPECT_EQ(stored("svc", "description"), "changed");  // saved first
    EXPECT_EQ(window.install, "Uninstall");
    EXPECT_TRUE(window.startEnabled);
    dc.startOrStop();
    EXPECT_EQ(os.processes.ran.back(), "net start \"svc\"");
    window.start = "Stop";
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
