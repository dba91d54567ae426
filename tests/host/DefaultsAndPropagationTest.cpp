#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

class DefaultsTest : public DoConfigTest {};

TEST_F(DefaultsTest, NewConfigurationDerivesEveryPathFromTheProgramsFolder) {
    os.environment.variables["JAVA_HOME"] = "C:\\j2sdk";  // the name's case does not matter
    dc.loadConfiguration("old");  // prompts on: New turns them off before it sets anything
    boxes().clear();
    window.serverSelected = false;  // the window's choice stays
    dc.newConfiguration();
    const Configuration& c = dc.configuration();
    EXPECT_EQ(c.catalinaHome + "|" + c.catalinaBase + "|" + c.systemOut + "|" + c.systemErr + "|" + c.tomcatConfigFile +
                  "|" + c.securityPolicyFile + "|" + c.tempDirectory + "|" + c.classPath,
              "C:\\tomcat|C:\\tomcat|C:\\tomcat\\logs|C:\\tomcat\\logs|C:\\tomcat\\conf\\server.xml|"
              "C:\\tomcat\\conf\\catalina.policy|C:\\tomcat\\temp|"
              "C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\common\\lib;C:\\j2sdk\\lib\\tools.jar");
    EXPECT_EQ(window.fieldText(FieldControl::Text5) + "|" + window.fieldText(FieldControl::Text1) + "|" + c.jvmType + "|" +
                  std::to_string(c.reduceOsSignals * 10 + c.useSecurityManager) + "|" + state() + "|" +
                  std::to_string(window.serviceNameLocked) + std::to_string(dc.showPrompts()),
              "SetInstanceName|C:\\tomcat|client|10|Install|Not installed|Start|off|00");
    EXPECT_EQ(boxes().size() + os.services.queries, 0u);  // no folder exists, yet nothing is asked
}

TEST_F(DefaultsTest, JavaHomeComesFromTheVariableElseFromTheJdksKeysOfYesterdayAndToday) {
    os.environment.variables.clear();
    const auto found = [&] {
        dc.newConfiguration();
        return dc.configuration().javaHome;
    };
    EXPECT_EQ(found(), "");
    EXPECT_EQ(dc.configuration().classPath, "C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\common\\lib;\\lib\\tools.jar");
    // Each key found is overruled by the next one set, which comes earlier in the lookup.
    const std::tuple<const char*, const char*, const char*> keys[] = {
        {"SOFTWARE\\JavaSoft\\Java Development Kit|CurrentVersion", "1.4", ""},
        {"SOFTWARE\\JavaSoft\\Java Development Kit\\1.4|JavaHome", "C:\\j2sdk1.4", "C:\\j2sdk1.4"},
        {"SOFTWARE\\JavaSoft\\Java Development Kit\\1.4|JavaHome", "", ""},
        {"SOFTWARE\\WOW6432Node\\Azul Systems\\Zulu\\zulu-17|InstallationPath", "C:\\zulu17\\", "C:\\zulu17"},
        {"SOFTWARE\\Azul Systems\\Zulu\\zulu-8|InstallationPath", "C:\\zulu8", "C:\\zulu8"},  // the other view first
        {"SOFTWARE\\Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI|Path", "C:\\ms17", "C:\\ms17"},
        {"SOFTWARE\\Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI|Path", "C:\\temurin21\\", "C:\\temurin21"},
        {"SOFTWARE\\Eclipse Adoptium\\JDK\\8.0.392.8\\hotspot\\MSI|Path", "C:\\temurin8", "C:\\temurin21"},
        {"SOFTWARE\\WOW6432Node\\JavaSoft\\Java Development Kit|CurrentVersion", "1.8", "C:\\temurin21"},
        {"SOFTWARE\\WOW6432Node\\JavaSoft\\Java Development Kit\\1.8|JavaHome", "C:\\jdk8x86", "C:\\jdk8x86"},
        {"SOFTWARE\\WOW6432Node\\JavaSoft\\JDK|CurrentVersion", "11", "C:\\jdk8x86"},
        {"SOFTWARE\\WOW6432Node\\JavaSoft\\JDK\\11|JavaHome", "C:\\jdk11x86", "C:\\jdk11x86"},
        {"SOFTWARE\\JavaSoft\\JDK|CurrentVersion", "21", "C:\\jdk11x86"},
        {"SOFTWARE\\JavaSoft\\JDK\\21|JavaHome", "C:\\jdk21", "C:\\jdk21"}};
    for (const auto& [path, data, home] : keys) {
        const std::string key = path;
        reg().setStringValue(HKEY_LOCAL_MACHINE_ROOT, key.substr(0, key.find('|')), key.substr(key.find('|') + 1), data);
        EXPECT_EQ(found(), home) << key;
    }
    os.environment.variables["java_home"] = "C:\\nowhere";  // set wins even when missing
    EXPECT_EQ(found(), "C:\\nowhere");
    os.environment.folder = "C:";  // a program at the root gives C: alone
    EXPECT_EQ(found() + "|" + dc.configuration().catalinaHome, "C:\\nowhere|C:");
    os.environment.folder = "C:\\tomcat\\bin";
    found();

    // A JDK 8 without tools.jar keeps it on the class path.
    addDemoLayout("C:\\tomcat", "C:\\jdk8");
    os.files.files.erase("C:\\jdk8\\lib\\tools.jar");
    os.files.addFile("C:\\jdk8\\release", "JAVA_VERSION=\"1.8.0_392\"\n");
    dc.setJavaHome("C:\\jdk8");
    EXPECT_EQ(dc.configuration().classPath, "C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\common\\lib;C:\\jdk8\\lib\\tools.jar");
}

class PropagationTest : public DoConfigTest {
protected:
    void SetUp() override {
        DoConfigTest::SetUp();
        os.environment.folder = "C:\\tc\\bin";
        dc.newConfiguration();
        dc.setCatalinaBase("C:\\tc\\base");  // silent: prompts are off after New
    }
};

TEST_F(PropagationTest, SilentAfterNewMovesBaseClassPathAndPathsUnderTheBaseOnly) {
    const Configuration& c = dc.configuration();
    EXPECT_EQ(c.systemOut + "|" + c.tomcatConfigFile, "C:\\tc\\base\\logs|C:\\tc\\base\\conf\\server.xml");
    dc.setCatalinaHome("D:\\tomcat");
    EXPECT_EQ(c.catalinaBase + "|" + c.classPath + "|" + c.systemErr + "|" + c.tempDirectory + "|" + c.securityPolicyFile,
              "D:\\tomcat\\base|D:\\tomcat\\bin\\bootstrap.jar;D:\\tomcat\\common\\lib;C:\\jdk\\lib\\tools.jar|"
              "D:\\tomcat\\base\\logs|D:\\tomcat\\base\\temp|D:\\tomcat\\base\\conf\\catalina.policy");
    EXPECT_EQ(window.fieldText(FieldControl::Text8) + std::to_string(boxes().size()), "D:\\tomcat\\base0");

    // The home is replaced wherever it stands; a base folder only with its separator.
    dc.setCatalinaBase("D:\\tomcatbase");
    dc.setSystemOut("D:\\tomcatbase");
    dc.setCatalinaHome("E:\\t");
    EXPECT_EQ(c.catalinaBase + "|" + c.systemOut, "E:\\tbase|D:\\tomcatbase");
    dc.setCatalinaBase("X:\\other");
    dc.setCatalinaHome("F:\\t");  // a base without the old home stays
    EXPECT_EQ(c.catalinaBase, "X:\\other");
}

TEST_F(PropagationTest, YesAsksHomeThenBaseNoKeepsFieldsAndACaseOnlyChangeIsAChange) {
    dc.installService(false);  // leaves prompts on
    auto questions = [&] {
        std::vector<std::string> asked;
        for (const auto& box : boxes())
            if (box.title == "Change Detected") asked.push_back(box.text);
        boxes().clear();
        return asked;
    };
    questions();
    os.messageBoxes.answerByTitle["Change Detected"] = kIdYes;
    dc.setCatalinaHome("D:\\tomcat");
    EXPECT_EQ(questions(), (std::vector<std::string>{
                               "Your Catalina Home appears to have changed. Do you want to update your Catalina Base "
                               "and Classpath to reflect this change?",
                               "Your Catalina Base appears to have changed. Do you want to update the paths to "
                               "'/conf', '/log', and '/temp' to reflect this change?"}));
    EXPECT_EQ(dc.configuration().systemOut, "D:\\tomcat\\base\\logs");

    os.messageBoxes.answerByTitle["Change Detected"] = kIdNo;
    dc.setCatalinaHome("d:\\TOMCAT");
    EXPECT_EQ(std::to_string(questions().size()) + dc.configuration().catalinaBase + "|" + dc.lastCatalinaHome(), "1D:\\tomcat\\base|d:\\TOMCAT");
    dc.setCatalinaHome("E:\\t");
    EXPECT_EQ(questions().size(), 1u);
    dc.setCatalinaHome("E:\\t");  // unchanged: only the folder warning
    EXPECT_EQ(std::to_string(boxes().size()) + boxes().at(0).text, "1'E:\\t' is specified for 'Catalina Home' but it does not exist. Tomcat may not start without it.");
}
