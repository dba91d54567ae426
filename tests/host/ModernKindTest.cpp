#include "service/ModernWrapperCommands.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {
// A Tomcat 10 home and a JDK 21 as they are installed today.
class ModernKindTest : public DoConfigTest {
protected:
    const std::string exe = "C:\\tomcat\\bin\\tomcat10.exe";
    void SetUp() override {
        DoConfigTest::SetUp();
        for (const char* folder : {"", "\\bin", "\\conf", "\\lib", "\\logs", "\\temp", "\\webapps", "\\work"})
            os.files.addFolder("C:\\tomcat" + std::string(folder));
        for (const char* file : {"\\bin\\bootstrap.jar", "\\bin\\tomcat-juli.jar", "\\conf\\server.xml",
                                 "\\conf\\logging.properties"})
            os.files.addFile("C:\\tomcat" + std::string(file), "x");
        os.files.addFile(exe, tinyPe(0x8664));
        os.files.addFolder("C:\\jdk");
        os.files.addFile("C:\\jdk\\bin\\server\\jvm.dll", tinyPe(0x8664));
        os.files.addFile("C:\\jdk\\release", "IMPLEMENTOR_VERSION=\"8\"\nJAVA_VERSION=\"21.0.5\"\n");
        // The wrapper registers a service that runs itself, and deletes it again.
        os.processes.onRun = [this](const std::string& command) {
            const auto at = command.find(" //") + 7;
            const std::string service = command.substr(at, command.find(' ', at) - at);
            if (command.find(" //IS//") != std::string::npos)
                os.services.services[service] = {command.substr(0, at - 7) + " //RS//" + service};
            else if (command.find(" //DS//") != std::string::npos)
                os.services.services.erase(service);
        };
        dc.newConfiguration();
        dc.setServiceName("web");
    }
};
}  // namespace

TEST_F(ModernKindTest, ATomcat10HomeInstallsThroughItsOwnWrapperAndOwnsOnlyItsService) {
    EXPECT_EQ(dc.configuration().classPath, "C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\bin\\tomcat-juli.jar");
    EXPECT_FALSE(dc.writeDiagnosticReport(ReportMode::OnProblems));

    dc.installOrUninstall();
    EXPECT_EQ(os.processes.ran.back(), modernInstallCommand(dc.configuration(), exe, "C:\\jdk\\bin\\server\\jvm.dll"));
    EXPECT_EQ(os.processes.programs.back() + "|" + window.status, exe + "|Installed - Not Running");
    EXPECT_FALSE(reg().keyExists(HKEY_LOCAL_MACHINE_ROOT, "SYSTEM\\CurrentControlSet\\Services\\web\\Parameters") ||
                 os.files.fileExists("C:\\tomcat\\bin\\web.exe"));
    dc.installService(false);  // installed already: the wrapper updates its options
    EXPECT_EQ(os.processes.ran.back(), modernUpdateCommand(dc.configuration(), exe, "C:\\jdk\\bin\\server\\jvm.dll"));
    dc.installOrUninstall();
    EXPECT_EQ(os.processes.ran.back() + "|" + window.status, "\"" + exe + "\" //DS//web|Not installed");

    // The same wrapper running another service is not ours.
    os.services.services["web"] = {"\"" + exe + "\" //RS//web2"};
    boxes().clear();
    const auto ran = os.processes.ran.size();
    dc.installService(true);
    EXPECT_EQ(std::to_string(boxes().size()) + boxes().at(0).title + std::to_string(os.processes.ran.size() - ran), "1Warning0");

    // A 32-bit JVM cannot be loaded by a 64-bit wrapper.
    os.files.addFile("C:\\jdk\\bin\\server\\jvm.dll", tinyPe(0x14C));
    EXPECT_TRUE(dc.writeDiagnosticReport(ReportMode::OnProblems));
    EXPECT_NE(os.files.files["C:\\tomcat\\bin\\quenby-web-debug.html"].find(
                  "'C:\\jdk\\bin\\server\\jvm.dll' is 32-bit but the service wrapper '" + exe + "' is 64-bit"),
              std::string::npos);

    // With bin\tomcat.exe beside it the home is a classic one.
    os.files.addFile("C:\\tomcat\\bin\\tomcat.exe", "x");
    dc.setJavaHome("C:\\jdk");
    EXPECT_EQ(dc.configuration().classPath, "C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\common\\lib");
}
