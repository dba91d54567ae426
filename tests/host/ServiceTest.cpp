// Install, start, stop, status and removal through both wrappers, as the
// service manager and the wrapper's registry values see them.
#include "service/ServiceNames.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {
const std::string kParameters = "SYSTEM\\CurrentControlSet\\Services\\svc\\Parameters";
}

TEST_F(SessionTest, TheClassicWrapperIsCopiedRegisteredAndGivenItsValues) {
    addClassicLayout();
    simulateWrappers();
    os.environment.arguments = "debug:C:\\log.txt";
    ASSERT_EQ(debugLog.start(os.environment), "");
    saveNew("svc");
    session.edit(Field::UseSecurityManager, "1");
    session.edit(Field::InitialHeapSize, "64");
    session.edit(Field::MaxHeapSize, "256");
    session.edit(Field::ThreadStackSize, "abc");
    session.addOption("-Dx=y");
    ASSERT_TRUE(session.install().done());

    EXPECT_EQ(os.processes.ran,
              std::vector<std::string>{
                  "C:\\tomcat\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main"});
    EXPECT_EQ(os.processes.programs, std::vector<std::string>{"C:\\tomcat\\bin\\svc.exe"});
    EXPECT_EQ(os.files.files["C:\\tomcat\\bin\\svc.exe"], "the classic wrapper");
    auto value = [&](const std::string& name) { return *os.registry.read(kLocalMachine, kParameters, name); };
    auto text = [&](const std::string& name) {
        const RegistryValue v = value(name);
        EXPECT_EQ(v.type, kRegSz) << name;
        return v.text;
    };
    auto number = [&](const std::string& name) {
        const RegistryValue v = value(name);
        EXPECT_EQ(v.type, kRegDword) << name;
        return v.number;
    };
    EXPECT_EQ(text("Start Class"), "org.apache.catalina.startup.BootstrapService");
    EXPECT_EQ(text("Stop Class"), "org.apache.catalina.startup.BootstrapService");
    EXPECT_EQ(text("Start Method"), "main");
    EXPECT_EQ(number("Start Param Count"), 3u);
    EXPECT_EQ(text("Start Param Number 0"), "start");
    EXPECT_EQ(text("Start Param Number 1"), "-config");
    EXPECT_EQ(text("Start Param Number 2"), "C:\\tomcat\\conf\\server.xml");
    EXPECT_EQ(number("Stop Param Count"), 1u);
    EXPECT_EQ(text("Stop Param Number 0"), "stop");
    EXPECT_EQ(text("System.out File"), "C:\\tomcat\\logs\\svc_out.log");
    EXPECT_EQ(text("System.err File"), "C:\\tomcat\\logs\\svc_err.log");
    const std::vector<std::string> options = {
        "-Dcatalina.home=C:\\tomcat",
        "-Dcatalina.base=C:\\tomcat",
        "-Djava.io.tmpdir=C:\\tomcat\\temp",
        "-Djava.endorsed.dirs=C:\\tomcat\\common\\endorsed",
        "-Djava.class.path=C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\common\\lib;C:\\jdk\\lib\\tools.jar",
        "-Djava.home=C:\\jdk\\jre",
        "-Djava.security.manager",
        "-Djava.security.policy=C:\\tomcat\\conf\\catalina.policy",
        "-Xrs",
        "-Xms64m",
        "-Xmx256m",
        "-Dx=y"};
    for (std::size_t n = 0; n < options.size(); ++n)
        EXPECT_EQ(text("JVM Option Number " + std::to_string(n)), options[n]);
    EXPECT_EQ(number("JVM Option Count"), 12u);
    EXPECT_FALSE(os.registry.read(kLocalMachine, kParameters, "JVM Option Number 12"));
    EXPECT_FALSE(os.registry.read(kLocalMachine, kParameters, "JVM Library"));  // the -install line carried it
    EXPECT_EQ(lastOf(ui.notices), "Service \"svc\" installed.");
    EXPECT_TRUE(ui.installed);
    EXPECT_EQ(ui.status, ServiceStatus::NotRunning);

    // Start and stop run System32's net, the notice up meanwhile; a failed stop still hides it.
    EXPECT_TRUE(session.start().done());
    EXPECT_EQ(lastOf(ui.progress), "Starting the \"svc\" service...");
    EXPECT_EQ(lastOf(os.processes.programs), "C:\\windows\\system32\\net.exe");
    EXPECT_EQ(lastOf(os.processes.ran), "net start \"svc\"");
    EXPECT_EQ(ui.status, ServiceStatus::Running);
    os.processes.exitCodes["net stop \"svc\""] = 2;
    os.processes.outputs["net stop \"svc\""] = "The service could not be controlled in its present state.\r\n";
    const Outcome stop = session.stop();
    EXPECT_EQ(stop.summary,
              "Service \"svc\" did not stop; its state: Installed - Running. net.exe said: The service "
              "could not be controlled in its present state.");
    EXPECT_FALSE(ui.busy);

    // A failed status query is logged once and reads "Unable to determine".
    const auto service = os.services.services["svc"];
    os.services.services.clear();
    session.refresh();
    session.follow();
    EXPECT_EQ(ui.status, ServiceStatus::Unknown);
    EXPECT_EQ(os.files.files["C:\\log.txt"],
              "Err.Source: OpenServiceW\r\nErr.Description: The specified service does not "
              "exist as an installed service.\r\nErr.Number: 1060\r\nerrStatus: check "
              "service status\r\n");
    os.services.services["svc"] = service;
    session.follow();
    EXPECT_EQ(ui.status, ServiceStatus::Running);

    // Removal stops, unregisters, deletes our copy and the key's leftovers.
    os.processes.exitCodes.clear();
    ASSERT_TRUE(session.uninstall().done());
    EXPECT_EQ(lastOf(os.processes.ran), "C:\\tomcat\\bin\\svc.exe -uninstall svc");
    EXPECT_FALSE(serviceExists("svc"));
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\bin\\svc.exe"));
    EXPECT_FALSE(os.registry.keyExists(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\svc"));
    EXPECT_EQ(lastOf(ui.notices), "Service \"svc\" has been uninstalled.");
    EXPECT_EQ(ui.status, ServiceStatus::NotInstalled);
}

TEST_F(SessionTest, ARemovalThatCannotFinishSaysWhatIsLeft) {
    addClassicLayout();
    simulateWrappers();
    saveNew("svc");
    ASSERT_TRUE(session.install().done());
    // A wrapper that does not remove its service: nothing more is done.
    os.processes.exitCodes["C:\\tomcat\\bin\\svc.exe -uninstall svc"] = 5;
    os.processes.outputs["C:\\tomcat\\bin\\svc.exe -uninstall svc"] = "Access denied.\r\n";
    os.processes.onRun = nullptr;
    Outcome outcome = session.uninstall();
    EXPECT_EQ(outcome.summary,
              "The service \"svc\" is still registered: the service wrapper did not remove it (exit code "
              "5). Stop it and try again. svc.exe said: Access denied.");
    EXPECT_TRUE(session.installed());
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\bin\\svc.exe"));

    // A copy that stays locked is tried 50001 times and named; a later install takes it as ours.
    simulateWrappers();
    os.processes.exitCodes.clear();
    os.files.locked.insert("C:\\tomcat\\bin\\svc.exe");
    outcome = session.uninstall();
    EXPECT_EQ(os.files.deleteAttempts["C:\\tomcat\\bin\\svc.exe"], 50001);
    EXPECT_EQ(
        outcome.warnings,
        std::vector<std::string>{"The service \"svc\" has been removed, but its wrapper copy C:\\tomcat\\bin\\svc.exe "
                                 "could not be deleted: it may still be in use. Delete it once the service's program "
                                 "has ended."});
    EXPECT_FALSE(session.installed());
    os.files.locked.clear();
    EXPECT_TRUE(session.install().done());
}

TEST_F(SessionTest, TheTomcat10WrapperTakesEverySettingOnItsCommandLine) {
    addModernLayout("C:\\Program Files\\Tomcat 10");
    os.environment.folder = "C:\\Program Files\\Tomcat 10\\bin";
    os.environment.variables["JAVA_HOME"] = "C:\\jdk-21";
    simulateWrappers();
    saveNew("svc");
    session.edit(Field::Description, "Shop \"live\"");
    session.edit(Field::MaxHeapSize, "512");
    session.edit(Field::ThreadStackSize, "256");
    session.addOption("-Dshop=a#b;c d");
    ASSERT_TRUE(session.install().done()) << lastOf(ui.warnings);
    const std::string h = "C:\\Program Files\\Tomcat 10";
    EXPECT_EQ(os.processes.programs.front(), h + "\\bin\\tomcat10.exe");
    EXPECT_EQ(
        os.processes.ran.front(),
        "\"" + h +
            "\\bin\\tomcat10.exe\" //IS//svc --DisplayName \"svc\" --Description \"Shop \\\"live\\\"\" "
            "--Install \"" +
            h + "\\bin\\tomcat10.exe\" --LogPath \"" + h +
            "\\logs\" "
            "--Jvm \"C:\\jdk-21\\bin\\server\\jvm.dll\" --StartPath \"" +
            h + "\" --StopPath \"" + h +
            "\" "
            "--Classpath \"" +
            h + "\\bin\\bootstrap.jar;" + h +
            "\\bin\\tomcat-juli.jar\" "
            "--StartClass org.apache.catalina.startup.Bootstrap --StopClass org.apache.catalina.startup.Bootstrap "
            "--StartParams start --StopParams stop --StartMode jvm --StopMode jvm "
            "--JvmOptions \"-Dcatalina.home=" +
            h + "#-Dcatalina.base=" + h + "#-Djava.io.tmpdir=" + h +
            "\\temp#"
            "-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager#"
            "-Djava.util.logging.config.file=" +
            h +
            "\\conf\\logging.properties#-Xrs#'-Dshop=a#b;c d'\" "
            "--JvmOptions9 \"--add-opens=java.base/java.lang=ALL-UNNAMED#--add-opens=java.base/java.io=ALL-UNNAMED#"
            "--add-opens=java.base/java.util=ALL-UNNAMED#--add-opens=java.base/java.util.concurrent=ALL-UNNAMED#"
            "--add-opens=java.rmi/sun.rmi.transport=ALL-UNNAMED\" "
            "--JvmMx 512 --JvmSs 256 --StdOutput \"" +
            h + "\\logs\\svc_out.log\" --StdError \"" + h +
            "\\logs\\svc_err.log\" "
            "--StopTimeout 30");
    // Nothing is copied, nothing written under the Parameters key.
    EXPECT_FALSE(os.files.fileExists(h + "\\bin\\svc.exe"));
    EXPECT_FALSE(os.registry.keyExists(kLocalMachine, kParameters));
    ASSERT_TRUE(session.uninstall().done());
    EXPECT_EQ(lastOf(os.processes.ran), "\"" + h + "\\bin\\tomcat10.exe\" //DS//svc");
    EXPECT_TRUE(os.files.fileExists(h + "\\bin\\tomcat10.exe"));
}
