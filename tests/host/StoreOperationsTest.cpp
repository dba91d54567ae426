#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;
using namespace std::string_literals;

class StoreTest : public DoConfigTest {
protected:
    const std::string store = "SOFTWARE\\velmoraconfigs";
    void SetUp() override {
        DoConfigTest::SetUp();
        dc.newConfiguration();
    }
    void saveAs(const std::string& name) {
        dc.newConfiguration();
        dc.setServiceName(name);
        dc.saveConfiguration(false);
    }
    void setList(const std::string& data) { reg().setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, store, "services", data); }
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
    window.addToList1("-Dx=y");
    window.addToList1("-Da=b");
    window.serverSelected = false;
    dc.selectJvmFromWindow();
    const Configuration before = dc.configuration();
    for (int round = 0; round < 3; ++round) {
        dc.saveConfiguration(false);
        dc.loadConfiguration("svc");
    }
    const Configuration& c = dc.configuration();
    for (auto field : {&Configuration::catalinaHome, &Configuration::catalinaBase, &Configuration::systemOut,
                       &Configuration::systemErr, &Configuration::tomcatConfigFile, &Configuration::classPath,
                       &Configuration::tempDirectory, &Configuration::initialHeapSize, &Configuration::jvmType})
        EXPECT_EQ(c.*field, before.*field);
    EXPECT_EQ(c.threadStackSize + std::to_string(window.serverSelected) + "|" + window.options.at(0) + "|" + window.options.at(1) +
                  std::to_string(window.options.size()), "1280|-Da=b|-Dx=y2");
    // The security manager is off: the policy shown is the default moved to the stored base.
    EXPECT_EQ(c.securityPolicyFile + "|" + stored("svc", "java.security.policy"),
              "C:\\tc\\b1\\conf\\catalina.policy|C:\\tc\\b1\\conf\\catalina.policy");
    EXPECT_EQ(std::to_string(window.serviceNameLocked && dc.showPrompts()) + state(), "1Install|Not installed|Start|off");
}

TEST_F(StoreTest, SaveWritesEveryValueInOrderWithItsTypeAndAnnouncesOnRequest) {
    dc.setServiceName("svc");
    dc.setUseSecurityManager(1);
    dc.setMaxHeapSize("129.5");
    const auto writes = reg().writeLog().size();
    dc.saveConfiguration(true);
    std::string order;
    for (auto at = reg().writeLog().begin() + static_cast<long>(writes); at != reg().writeLog().end(); ++at)
        order += at->substr(at->find('|') + 1) + " ";
    EXPECT_EQ(order, "installedaservice services tomcat.home system.out system.err tomcat.config catalina.base java.security.manager "
                     "java.security.policy jvm java.home java.class.path java.io.tmpdir init.heap.size max.heap.size "
                     "description reduce.os.signals thread.stack.size services installedaservice additional.jvm.options ");
    auto raw = [&](const char* name) {
        const auto value = reg().rawValue(HKEY_LOCAL_MACHINE_ROOT, store + "\\svc", name);
        return value ? std::to_string(value->type) + ":" + value->data : "<absent>";
    };
    EXPECT_EQ(raw("max.heap.size") + "|" + raw("java.security.manager") + "|" + raw("jvm") + "|" + raw("additional.jvm.options"),
              "4:\x82\0\0\0|4:\x01\0\0\0|1:server|7:"s);
    EXPECT_EQ(lastBox() + std::to_string(boxes().back().buttons), "Info: Instance saved as \"svc\".64");

    // The zero-length list loads as no option, and the next save writes it so again, from scratch.
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, store + "\\svc", "stray", "x");
    dc.loadConfiguration("svc");
    EXPECT_TRUE(window.options.empty());
    dc.saveConfiguration(false);
    EXPECT_EQ(raw("additional.jvm.options") + "|" + raw("stray"), "7:|<absent>");
}

TEST_F(StoreTest, TheListKeepsSaveOrderWithoutDuplicatesOrEmptyEntries) {
    EXPECT_TRUE(dc.storedConfigurationNames().empty());  // no list yet
    for (const std::string& list : {""s, "\0"s, "\0\0"s}) {
        setList(list);
        EXPECT_TRUE(dc.storedConfigurationNames().empty());
    }
    setList("\0ab\0\0a\0"s);
    EXPECT_EQ(dc.storedConfigurationNames(), (std::vector<std::string>{"ab", "a"}));
    saveAs("a");
    EXPECT_EQ(storedList(), "ab\0a\0"s);
    saveAs("c");
    saveAs("a");
    EXPECT_EQ(storedList(), "ab\0c\0a\0"s);
    setList("\0ab\0\0c\0a\0\0"s);
    dc.deleteConfiguration(false);
    EXPECT_EQ(storedList(), "ab\0c\0"s);
    EXPECT_EQ(reg().keyContents(HKEY_LOCAL_MACHINE_ROOT, store)->subkeyNames, std::vector<std::string>{"c"});
    EXPECT_EQ(boxes().back().text + dc.configuration().serviceName, "Deleted instance \"a\".SetInstanceName");
}

TEST_F(StoreTest, NamesDifferingInCaseAreOneConfigurationThatANewOneReplacesOnlyWhenAsked) {
    saveAs("prod");
    dc.setDescription("first");
    dc.saveConfiguration(false);  // a loaded or saved one is replaced without a question
    EXPECT_TRUE(boxes().empty());
    os.messageBoxes.answerByTitle["Confirm"] = kIdNo;
    saveAs("PROD");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text + std::to_string(boxes()[0].buttons),
              "A configuration named \"prod\" is already stored. Replace it with this one?4");
    EXPECT_EQ(stored("prod", "description") + std::to_string(window.serviceNameLocked), "first0");

    os.messageBoxes.answerByTitle["Confirm"] = kIdYes;
    dc.saveConfiguration(false);
    EXPECT_EQ(stored("prod", "description") + "|" + storedList(), "|PROD\0"s);
    dc.setDescription("kept");
    boxes().clear();
    dc.deleteConfiguration(true);  // quiet: no box, the window stays
    EXPECT_EQ(std::to_string(boxes().size() + reg().keyExists(HKEY_LOCAL_MACHINE_ROOT, store + "\\prod")) +
                  window.fieldText(FieldControl::Text11) + storedList(), "0kept");

    // A listed name whose key has gone opens with a warning; Delete takes it off the list.
    setList("lost\0"s);
    dc.loadConfiguration("lost");
    EXPECT_EQ(std::to_string(boxes().size()) + boxes()[0].title, "1Warning");
    dc.deleteConfiguration(true);
    EXPECT_EQ(storedList(), ""s);
}

TEST_F(StoreTest, LoadShowsStoredSizesFlagsAndServiceStateAndAbsentValuesForAnUnstoredName) {
    const std::string key = store + "\\svc";
    reg().setDwordValue(HKEY_LOCAL_MACHINE_ROOT, key, "init.heap.size", 70000);
    reg().setDwordValue(HKEY_LOCAL_MACHINE_ROOT, key, "max.heap.size", 40000);
    reg().setDwordValue(HKEY_LOCAL_MACHINE_ROOT, key, "java.security.manager", 1);
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, key, "java.security.policy", "C:\\p.policy");
    reg().setDwordValue(HKEY_LOCAL_MACHINE_ROOT, key, "installedaservice", 5);
    reg().setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, key, "additional.jvm.options", "\0-Xb\0\0-Xa\0"s);
    os.services.services["svc"] = {"C:\\tomcat\\bin\\svc.exe", true};
    dc.loadConfiguration("svc");
    EXPECT_EQ(dc.configuration().initialHeapSize + "|" + dc.configuration().maxHeapSize + "|" +
                  dc.configuration().securityPolicyFile, "4464||C:\\p.policy");
    EXPECT_EQ(std::to_string(window.checks[CheckControl::Check1]) + window.options.at(0) + window.options.at(1) + state(),
              "1-Xa-XbUninstall|Installed - Running|Stop|on");

    // Home equal to base with the manager off: the policy is the one under that base.
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, store + "\\same", "tomcat.home", "C:\\tc");
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, store + "\\same", "catalina.base", "C:\\tc");
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, store + "\\same", "java.security.policy", "C:\\p.policy");
    dc.loadConfiguration("same");
    EXPECT_EQ(dc.configuration().securityPolicyFile + std::to_string(window.checks[CheckControl::Check1]), "C:\\tc\\conf\\catalina.policy0");

    // A typed name that is not stored opens silently with absent values.
    boxes().clear();
    dc.loadConfiguration("ghost");
    const Configuration& c = dc.configuration();
    EXPECT_EQ(c.serviceName + "|" + c.catalinaHome + "|" + c.catalinaBase + "|" + c.systemOut + "|" + c.classPath + "|" +
                  c.securityPolicyFile + "|" + c.jvmType + "|" + std::to_string(c.reduceOsSignals),
              "ghost|||||\\conf\\catalina.policy|client|0");
    EXPECT_TRUE(window.options.empty() && window.serviceNameLocked && boxes().empty());
    EXPECT_EQ(state(), "Install|Not installed|Stop|off");
}

TEST_F(StoreTest, NamesBreakingTheNameRuleAreRefusedAndTouchNothing) {
    addDemoLayout();
    simulateClassicWrapper();
    saveAs("a");
    saveAs("b");
    // Stored before the rule: it opens, but only the store may lose it.
    reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, store + "\\old name", "tomcat.home", "C:\\tomcat");
    const std::string list = storedList();
    const auto writes = reg().writeLog().size();
    const auto files = os.files.files;
    for (const std::string& name : {""s, "a\\"s, "\\"s, "web app"s, "x/../tomcat"s, "tomcat"s, "ToMcAt"s, ".."s, "."s,
                                    "a:b"s, "a*"s, "tab\tname"s, std::string(256, 'n'), std::string(250, 'n')}) {
        dc.newConfiguration();
        dc.setServiceName(name);
        boxes().clear();
        dc.saveConfiguration(true);
        dc.installService(true);
        dc.uninstallService(true);
        dc.installOrUninstall();
        ASSERT_EQ(boxes().size(), 4u) << name;
        for (const auto& box : boxes())
            EXPECT_EQ(box.title + std::to_string(box.buttons) + std::to_string(box.text.find(name.empty() ? "empty" : "cannot be used") != std::string::npos),
                      "Warning481") << box.text;
    }
    EXPECT_EQ(reg().writeLog().size() + os.processes.ran.size(), writes);
    EXPECT_EQ(storedList(), list);
    EXPECT_EQ(os.files.files, files);

    boxes().clear();
    dc.loadConfiguration("old name");
    EXPECT_EQ(dc.configuration().catalinaHome, "C:\\tomcat");
    dc.deleteConfiguration(false);
    EXPECT_EQ(reg().keyContents(HKEY_LOCAL_MACHINE_ROOT, store)->subkeyNames, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(boxes().back().text + std::to_string(os.processes.ran.size()), "Deleted instance \"old name\".0");
    dc.loadConfiguration("a\\b");
    EXPECT_EQ(boxes().back().title, "Warning");
}
