#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;
using namespace std::string_literals;

class StoreTest : public DoConfigTest {
protected:
    void SetUp() override {
        DoConfigTest::SetUp();
        dc.newConfiguration();
    }
    void saveAs(const std::string& name) {
        dc.newConfiguration();
        dc.setServiceName(name);
        dc.saveConfiguration(false);
    }
};

TEST_F(StoreTest, PathsUnderADifferentBaseSurviveAnyNumberOfRounds) {
    dc.setServiceName("svc");
    dc.setCatalinaHome("C:\\tc");
    dc.setCatalinaBase("C:\\tc\\b1");
    dc.setSystemOut("C:\\tc\\b1\\logs");
    dc.setTomcatConfigFile("C:\\tc\\b1\\conf\\server.xml");
    dc.setSecurityPolicyFile("C:\\stored\\my.policy");
    dc.setInitialHeapSize("256");
    dc.setThreadStackSize("128.5");
    window.addOption("-Dx=y");
    window.addOption("-Da=b");
    window.serverSelected = false;
    dc.selectJvmFromWindow();
    const Configuration before = dc.configuration();
    for (int round = 0; round < 3; ++round) {
        dc.saveConfiguration(false);
        dc.loadConfiguration("svc");
    }
    const Configuration& c = dc.configuration();
    EXPECT_EQ(c.catalinaHome, "C:\\tc");
    EXPECT_EQ(c.catalinaBase, "C:\\tc\\b1");
    EXPECT_EQ(c.systemOut, "C:\\tc\\b1\\logs");
    EXPECT_EQ(c.systemErr, before.systemErr);
    EXPECT_EQ(c.tomcatConfigFile, "C:\\tc\\b1\\conf\\server.xml");
    EXPECT_EQ(c.classPath, before.classPath);
    EXPECT_EQ(c.tempDirectory, before.tempDirectory);
    EXPECT_EQ(c.initialHeapSize, "256");
    EXPECT_EQ(c.threadStackSize, "128");
    EXPECT_EQ(c.jvmType, "client");
    EXPECT_FALSE(window.serverSelected);
    EXPECT_EQ(window.options, (std::vector<std::string>{"-Da=b", "-Dx=y"}));
    // The security manager is off: the policy shown is the default moved to the stored base.
    EXPECT_EQ(c.securityPolicyFile, "C:\\tc\\b1\\conf\\catalina.policy");
    EXPECT_EQ(stored("svc", "java.security.policy"), "C:\\tc\\b1\\conf\\catalina.policy");
    EXPECT_TRUE(window.serviceNameLocked);
    EXPECT_TRUE(dc.showPrompts());
    EXPECT_EQ(window.status, "Not installed");
}

TEST_F(StoreTest, SaveWritesEveryValueWithItsTypeAndAnnouncesOnRequest) {
    dc.setServiceName("svc");
    dc.setUseSecurityManager(1);
    dc.setMaxHeapSize("129.5");
    dc.saveConfiguration(true);
    EXPECT_EQ(reg().rawValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\svc", "max.heap.size")->type, kRegDword);
    EXPECT_EQ(storedDword("svc", "max.heap.size"), 130);
    EXPECT_EQ(storedDword("svc", "java.security.manager"), 1);
    EXPECT_EQ(storedDword("svc", "reduce.os.signals"), 1);
    EXPECT_EQ(storedDword("svc", "installedaservice"), 0);
    EXPECT_EQ(stored("svc", "jvm"), "server");
    auto options = reg().rawValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\svc", "additional.jvm.options");
    ASSERT_TRUE(options);
    EXPECT_EQ(options->type, kRegMultiSz);
    EXPECT_EQ(options->data.size(), 0u);
    ASSERT_FALSE(boxes().empty());
    EXPECT_EQ(boxes().back().text, "Instance saved as \"svc\".");
    EXPECT_EQ(boxes().back().title, "Info");
    EXPECT_EQ(boxes().back().buttons, 64);
    EXPECT_GE(window.serviceNameFocused, 1);

    // A later save writes from scratch: nothing of the old values survives.
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\svc", "stray", "x");
    dc.saveConfiguration(false);
    EXPECT_EQ(stored("svc", "stray"), "<absent>");
}

TEST_F(StoreTest, TheListKeepsSaveOrderWithoutDuplicatesOrEmptyEntries) {
    saveAs("ab");
    reg().setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs", "services", "\0ab\0\0a\0"s);
    saveAs("a");
    EXPECT_EQ(storedList(), "ab\0a\0"s);
    saveAs("c");
    saveAs("a");
    EXPECT_EQ(storedList(), "ab\0c\0a\0"s);
    dc.deleteConfiguration(false);
    EXPECT_EQ(storedList(), "ab\0c\0"s);
    EXPECT_FALSE(reg().keyExists(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\a"));
    EXPECT_TRUE(reg().keyExists(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\ab"));
    EXPECT_EQ(boxes().back().text, "Deleted instance \"a\".");
    EXPECT_EQ(dc.configuration().serviceName, "SetInstanceName");
    EXPECT_EQ(dc.storedConfigurationNames(), (std::vector<std::string>{"ab", "c"}));
}

TEST_F(StoreTest, NamesDifferingInCaseAreOneConfigurationThatANewOneReplacesOnlyWhenAsked) {
    saveAs("prod");
    dc.setDescription("first");
    dc.saveConfiguration(false);  // a loaded or saved one is replaced without a question
    EXPECT_TRUE(boxes().empty());
    os.messageBoxes.answerByTitle["Confirm"] = kIdNo;
    saveAs("PROD");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "A configuration named \"prod\" is already stored. Replace it with this one?");
    EXPECT_EQ(boxes()[0].buttons, 4);
    EXPECT_EQ(stored("prod", "description"), "first");
    EXPECT_FALSE(window.serviceNameLocked);

    os.messageBoxes.answerByTitle["Confirm"] = kIdYes;
    dc.saveConfiguration(false);
    EXPECT_EQ(stored("prod", "description"), "");
    EXPECT_EQ(storedList(), "PROD\0"s);
    dc.deleteConfiguration(true);
    EXPECT_FALSE(reg().keyExists(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\prod"));
    EXPECT_EQ(storedList(), ""s);

    // A listed name whose key has gone opens with a warning; Delete takes it off the list.
    reg().setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs", "services", "lost\0"s);
    boxes().clear();
    dc.loadConfiguration("lost");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].title, "Warning");
    dc.deleteConfiguration(true);
    EXPECT_EQ(storedList(), ""s);
}

TEST_F(StoreTest, ANameThatIsNotStoredLoadsAbsentValues) {
    dc.loadConfiguration("ghost");
    const Configuration& c = dc.configuration();
    EXPECT_EQ(c.serviceName, "ghost");
    EXPECT_TRUE(window.serviceNameLocked);
    EXPECT_EQ(c.catalinaHome, "");
    EXPECT_EQ(c.catalinaBase, "");
    EXPECT_EQ(c.systemOut, "");
    EXPECT_EQ(c.classPath, "");
    EXPECT_EQ(c.securityPolicyFile, "\\conf\\catalina.policy");
    EXPECT_EQ(c.jvmType, "client");
    EXPECT_EQ(c.reduceOsSignals, 0);
    EXPECT_TRUE(window.options.empty());
    EXPECT_EQ(window.install, "Install");
    EXPECT_TRUE(boxes().empty());  // the load itself is silent
}

TEST_F(StoreTest, LoadShowsStoredSizesFlagsAndServiceState) {
    const std::string key = "SOFTWARE\\velmoraconfigs\\svc";
    reg().setDwordValue(HKEY_LOCAL_MACHINE_ROOT, key, "init.heap.size", 70000);
    reg().setDwordValue(HKEY_LOCAL_MACHINE_ROOT, key, "max.heap.size", 40000);
    reg().setDwordValue(HKEY_LOCAL_MACHINE_ROOT, key, "java.security.manager", 1);
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, key, "java.security.policy", "C:\\p.policy");
    reg().setDwordValue(HKEY_LOCAL_MACHINE_ROOT, key, "installedaservice", 5);
    reg().setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, key, "additional.jvm.options", "\0-Xb\0\0-Xa\0"s);
    os.services.services["svc"] = {"C:\\tomcat\\bin\\svc.exe", true};
    dc.loadConfiguration("svc");
    EXPECT_EQ(dc.configuration().initialHeapSize, "4464");
    EXPECT_EQ(dc.configuration().maxHeapSize, "");
    EXPECT_EQ(dc.configuration().securityPolicyFile, "C:\\p.policy");
    EXPECT_TRUE(window.policyRowEnabled);
    EXPECT_EQ(window.options, (std::vector<std::string>{"-Xa", "-Xb"}));
    EXPECT_TRUE(dc.installedAsService());
    EXPECT_EQ(window.install, "Uninstall");
    EXPECT_EQ(window.status, "Installed - Running");
    EXPECT_EQ(window.start, "Stop");
}

TEST_F(StoreTest, SavingARunningServiceAsksFirstAndRestartsOnYes) {
    addDemoLayout();
    simulateClassicWrapper();
    saveAs("svc");
    dc.installService(false);
    dc.startService();
    ASSERT_EQ(window.status, "Installed - Running");

    const auto writesBefore = reg().writeLog().size();
    boxes().clear();
    os.messageBoxes.answerByTitle["Confirm"] = kIdNo;
    dc.saveConfiguration(true);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "This configuration is also installed as a running service. To update the configuration, "
                               "the service will be also be stopped and restarted. Continue?");
    EXPECT_EQ(boxes()[0].buttons, 4);
    EXPECT_EQ(reg().writeLog().size(), writesBefore);

    os.messageBoxes.answerByTitle["Confirm"] = kIdYes;
    os.processes.ran.clear();
    dc.saveConfiguration(false);
    EXPECT_EQ(os.processes.ran.front(), "net stop \"svc\"");
    EXPECT_EQ(os.processes.ran.back(), "net start \"svc\"");
    EXPECT_EQ(storedDword("svc", "installedaservice"), 1);
    EXPECT_EQ(window.install, "Uninstall");
}

TEST_F(StoreTest, DeleteOfAnInstalledConfigurationAsksAndNoKeepsEverything) {
    addDemoLayout();
    simulateClassicWrapper();
    saveAs("svc");
    dc.installService(false);
    boxes().clear();
    os.messageBoxes.answerByTitle["Confirm"] = kIdNo;
    dc.deleteConfiguration(false);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "This configuration is also installed as a service. If you delete the configuration, "
                               "the service will be also be deleted. Continue?");
    EXPECT_EQ(storedList(), "svc\0"s);
    EXPECT_TRUE(dc.installedAsService());
}

TEST_F(StoreTest, AQuietDeleteLeavesTheWindowAlone) {
    saveAs("svc");
    dc.setDescription("kept");
    boxes().clear();
    dc.deleteConfiguration(true);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(window.text(FieldControl::Text11), "kept");
    EXPECT_TRUE(os.processes.ran.empty());  // no service of that name: nothing to stop or remove
}

TEST_F(StoreTest, NamesBreakingTheNameRuleAreRefusedAndTouchNothing) {
    addDemoLayout();
    simulateClassicWrapper();
    saveAs("a");
    saveAs("b");
    // Stored before the rule: it opens, but only the store may lose it.
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\old name", "tomcat.home", "C:\\tomcat");
    const std::string list = storedList();
    const auto writes = reg().writeLog().size();
    const auto files = os.files.files;
    const std::vector<std::string> names = {"", "a\\", "\\", "web app", "x/../tomcat", "tomcat", "ToMcAt", "..", ".",
                                            "a:b", "a*", "tab\tname", std::string(256, 'n'), std::string(250, 'n')};
    for (const std::string& name : names) {
        dc.newConfiguration();
        dc.setServiceName(name);
        boxes().clear();
        dc.saveConfiguration(true);
        dc.installService(true);
        dc.uninstallService(true);
        dc.installOrUninstall();
        ASSERT_EQ(boxes().size(), 4u) << name;
        for (const auto& box : boxes()) {
            EXPECT_EQ(box.title, "Warning");
            EXPECT_EQ(box.buttons, 48);
            EXPECT_NE(box.text.find(name.empty() ? "empty" : "cannot be used"), std::string::npos) << box.text;
        }
    }
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_EQ(reg().writeLog().size(), writes);
    EXPECT_EQ(storedList(), list);
    EXPECT_EQ(os.files.files, files);
    EXPECT_EQ(reg().keyContents(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs")->subkeyNames,
              (std::vector<std::string>{"a", "b", "old name"}));

    boxes().clear();
    dc.loadConfiguration("old name");
    EXPECT_EQ(dc.configuration().catalinaHome, "C:\\tomcat");
    dc.deleteConfiguration(false);
    EXPECT_EQ(reg().keyContents(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs")->subkeyNames,
              (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_EQ(boxes().back().text, "Deleted instance \"old name\".");
    dc.loadConfiguration("a\\b");
    EXPECT_EQ(boxes().back().title, "Warning");
}
