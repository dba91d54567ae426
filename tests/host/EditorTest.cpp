// Defaults, the setters' follow-ups and the paths that move with a new home or base.
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

TEST_F(SessionTest, ANewConfigurationDerivesEverythingFromItsFolderAndItsOptionsKeepTheirOrder) {
    // A program whose folders do not exist yet.
    useHome("D:\\tomcat", "C:\\j2sdk");
    session.newConfiguration();
    const Configuration& c = session.configuration();
    EXPECT_EQ(c.serviceName, "SetInstanceName");
    EXPECT_EQ(c.catalinaHome, "D:\\tomcat");
    EXPECT_EQ(c.catalinaBase, "D:\\tomcat");
    EXPECT_EQ(c.systemOut, "D:\\tomcat\\logs");
    EXPECT_EQ(c.securityPolicyFile, "D:\\tomcat\\conf\\catalina.policy");
    EXPECT_EQ(c.tempDirectory, "D:\\tomcat\\temp");
    EXPECT_EQ(c.classPath, "D:\\tomcat\\bin\\bootstrap.jar;D:\\tomcat\\common\\lib;C:\\j2sdk\\lib\\tools.jar");
    EXPECT_TRUE(c.reduceOsSignals);
    EXPECT_FALSE(c.useSecurityManager);
    EXPECT_EQ(c.jvmType, JvmType::Server);
    EXPECT_EQ(ui.askedKinds(), std::vector<QuestionKind>{});
    EXPECT_EQ(ui.warnings, std::vector<std::string>{});
    EXPECT_EQ(os.services.queries, 0);

    // No java_home: the JDK that the registry names current.
    os.environment.variables.clear();
    os.registry.write(kLocalMachine, "SOFTWARE\\JavaSoft\\Java Development Kit",
                      {RegistryWrite::textValue("CurrentVersion", "1.8")});
    os.registry.write(kLocalMachine, "SOFTWARE\\JavaSoft\\Java Development Kit\\1.8",
                      {RegistryWrite::textValue("JavaHome", "C:\\jdk8")});
    // The client JVM chosen in the window stays for the next new configuration.
    editing.edit(Field::JvmType, "client");
    session.newConfiguration();
    EXPECT_EQ(session.configuration().javaHome, "C:\\jdk8");
    EXPECT_EQ(session.configuration().jvmType, JvmType::Client);

    // A program at a drive's root takes the drive for its home.
    os.environment.folder = "C:";
    session.newConfiguration();
    EXPECT_EQ(session.configuration().tempDirectory, "C:\\temp");

    // Options keep the order they were given in (the JVM reads them so), and a Tomcat 10 list cannot carry a quote.
    for (const char* option : {"-Xrs2", "-Dx=1", "-dA", "   "}) editing.addOption(option);
    EXPECT_FALSE(editing.addOption(""));
    EXPECT_FALSE(editing.addOption("-Dx=\x1B[2K"));
    EXPECT_EQ(session.configuration().additionalJvmOptions, (std::vector<std::string>{"-Xrs2", "-Dx=1", "-dA", "   "}));
    EXPECT_EQ(editing.takeOption(1), "-Dx=1");

    useModernLayout();
    // A new configuration asks nothing yet, and still takes no value the wrapper could not pass on; what a new
    // home moves along is judged once moved, not before.
    const std::string programFolder = os.environment.folder;
    os.environment.folder = "C:\\o'neil\\bin";
    session.newConfiguration();
    editing.edit(Field::CatalinaHome, "C:\\tomcat10");
    EXPECT_EQ(session.configuration().catalinaHome, "C:\\tomcat10");
    os.environment.folder = programFolder;
    session.newConfiguration();
    ui.forget();
    EXPECT_FALSE(editing.addOption("-Dx=it's"));
    editing.edit(Field::UseSecurityManager, "1");
    editing.edit(Field::SecurityPolicyFile, "C:\\p's.policy");
    EXPECT_EQ(session.configuration().securityPolicyFile, "C:\\tomcat10\\conf\\catalina.policy");
    EXPECT_EQ(ui.warnings.size(), 2u);
    EXPECT_NE(lastOf(ui.warnings).find("'C:\\p's.policy' (Security Policy File)"), std::string::npos);
    saveNew("t10");
    session.open("t10");
    EXPECT_FALSE(editing.addOption("-Dapp.banner=Don't;-javaagent:C:\\Users\\Public\\agent.jar;'"));
    editing.edit(Field::CatalinaBase, "C:\\srv\\Bob's #2");
    EXPECT_EQ(session.configuration().catalinaBase, "C:\\tomcat10");
    EXPECT_EQ(lastOf(ui.warnings),
              "The Tomcat service wrapper of this Catalina home takes the JVM options and Tomcat's start "
              "parameters as lists in which a single quote (') cannot stand, so 'C:\\srv\\Bob's #2' (Catalina "
              "Base) would not reach the JVM whole. Choose a value without a single quote.");
    editing.edit(Field::TomcatConfigFile, "C:\\tomcat10\\conf\\Bob's.xml");
    EXPECT_EQ(session.configuration().tomcatConfigFile, "C:\\tomcat10\\conf\\server.xml");
    EXPECT_NE(lastOf(ui.warnings).find("'C:\\tomcat10\\conf\\Bob's.xml' (Tomcat Config File)"), std::string::npos);
    EXPECT_TRUE(editing.addOption("-Dshop=a#b;c d"));
    EXPECT_FALSE(editing.addOption("-Dpanel.size=24\""));
    EXPECT_EQ(lastOf(ui.warnings),
              "The Tomcat service wrapper of this Catalina home takes the JVM options and Tomcat's start parameters "
              "as lists in which a double quote (\") opens a part that only the next one closes, so "
              "'-Dpanel.size=24\"' (Additional JVM Options) would swallow the entries after it. Choose a value whose "
              "double quotes come in pairs.");
    EXPECT_TRUE(editing.addOption("-Dtitle=\"A; B\""));
    EXPECT_EQ(session.configuration().additionalJvmOptions,
              (std::vector<std::string>{"-Dshop=a#b;c d", "-Dtitle=\"A; B\""}));
    // The JVM reads its options in the code page for programs that are not Unicode: a character it lacks is
    // refused as it is typed; one it holds is not. One stored past Velmora installs nothing, and the check
    // names it.
    const std::string lacks =
        "The service wrapper hands the JVM its options in the code page Windows uses for programs that are not "
        "Unicode, which has no character for part of 'C:\\Us\xC5\x82ugi' (Catalina Base): the JVM would read '?' "
        "in its place and Tomcat would not find its files. Choose a value in that code page's characters, or change "
        "the system locale (Region, Administrative).";
    EXPECT_TRUE(editing.addOption("-Dcafe=Caf\xC3\xA9"));
    os.files.addFolder("C:\\Us\xC5\x82ugi");
    EXPECT_EQ(editing.edit(Field::CatalinaBase, "C:\\Us\xC5\x82ugi").summary, lacks);
    EXPECT_EQ(session.configuration().catalinaBase, "C:\\tomcat10");
    ASSERT_TRUE(session.save().done());
    put("t10", {RegistryWrite::textValue("catalina.base", "C:\\Us\xC5\x82ugi")});
    ASSERT_TRUE(session.open("t10").done());
    os.processes.ran.clear();
    EXPECT_EQ(session.install().summary, lacks);
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_FALSE(serviceExists("t10"));
    ASSERT_EQ(runCli(os, {"export", "t10", "--out=C:\\t10.json"}).code, 0);
    const CliRun imported = runCli(os, {"import", "C:\\t10.json", "--replace"});
    EXPECT_EQ(imported.code, 3);
    EXPECT_EQ(imported.err, "Import refused, nothing was changed. Configuration \"t10\": " + lacks + "\n");
    const auto lacking = session.checkConfiguration(ReportOpening::Never).report.findings;
    EXPECT_EQ(
        std::count_if(lacking.begin(), lacking.end(), [](const Finding& f) { return f.label == "Catalina Base"; }), 1);
    // One stored past Velmora is the check's finding, named by the field that set takes.
    put("t10", {RegistryWrite::textValue("tomcat.config", "C:\\tomcat10\\conf\\Bob's.xml")});
    ASSERT_TRUE(session.open("t10").done());
    const auto findings = session.checkConfiguration(ReportOpening::Never).report.findings;
    const auto unusable = std::find_if(findings.begin(), findings.end(),
                                       [](const Finding& f) { return f.kind == FindingKind::ValueUnusable; });
    ASSERT_NE(unusable, findings.end());
    EXPECT_EQ(unusable->field, "tomcat.config");
}

TEST_F(SessionTest, ANewHomeOrBaseMovesThePathsBelowItWhenAgreedAndANewJdkOnlyItsOwnClassPathEntry) {
    saveNew("svc");
    session.open("svc");
    editing.edit(Field::CatalinaBase, "C:\\tomcat\\base");
    ASSERT_EQ(session.configuration().systemOut, "C:\\tomcat\\base\\logs");
    ui.forget();
    ui.answers[QuestionKind::CreateMissingFolder] = Answer::No;

    editing.edit(Field::CatalinaHome, "D:\\tc");
    const Configuration& c = session.configuration();
    EXPECT_EQ(c.classPath, "D:\\tc\\bin\\bootstrap.jar;D:\\tc\\common\\lib;C:\\jdk\\lib\\tools.jar");
    EXPECT_EQ(c.catalinaBase, "D:\\tc\\base");
    EXPECT_EQ(c.tomcatConfigFile, "D:\\tc\\base\\conf\\server.xml");
    EXPECT_EQ(c.tempDirectory, "D:\\tc\\base\\temp");
    EXPECT_EQ(ui.askedKinds(),
              (std::vector<QuestionKind>{QuestionKind::MoveWithHome, QuestionKind::MoveWithBase,
                                         QuestionKind::CreateMissingFolder, QuestionKind::CreateMissingFolder,
                                         QuestionKind::CreateMissingFolder}));
    EXPECT_EQ(ui.warnings.front(),
              "'D:\\tc' is specified for 'Catalina Home' but it does not exist. Tomcat may not start "
              "without it.");

    // No leaves everything as it was; the refused value is the last seen, so leaving again asks nothing.
    ui.forget();
    ui.answers[QuestionKind::MoveWithBase] = Answer::No;
    editing.edit(Field::CatalinaBase, "E:\\b");
    EXPECT_EQ(c.systemOut, "D:\\tc\\base\\logs");
    editing.edit(Field::CatalinaBase, "E:\\b");
    EXPECT_EQ(ui.askedKinds(), std::vector<QuestionKind>{QuestionKind::MoveWithBase});

    // The home is replaced in the base without regard to separators; a field equal to the old base stays.
    ui.answers.clear();
    editing.edit(Field::CatalinaBase, "D:\\tcbase");
    editing.edit(Field::SystemOut, "D:\\tcbase");
    editing.edit(Field::CatalinaHome, "F:\\x");
    EXPECT_EQ(c.catalinaBase, "F:\\xbase");
    EXPECT_EQ(c.systemOut, "D:\\tcbase");
    // A change of case alone counts.
    ui.forget();
    editing.edit(Field::CatalinaHome, "f:\\X");
    EXPECT_EQ(ui.askedKinds().front(), QuestionKind::MoveWithHome);

    // A setter checks what it sets.
    ui.answers[QuestionKind::CreateMissingFolder] = Answer::Yes;
    editing.edit(Field::TempDirectory, "C:\\new\\temp");
    EXPECT_TRUE(os.files.folderExists("C:\\new\\temp"));
    EXPECT_TRUE(os.files.folderExists("C:\\new"));
    // A policy file is looked for only while the security manager is on.
    ui.forget();
    editing.edit(Field::SecurityPolicyFile, "C:\\none.policy");
    EXPECT_TRUE(ui.warnings.empty());
    editing.edit(Field::UseSecurityManager, "1");
    editing.edit(Field::SecurityPolicyFile, "C:\\none.policy");
    EXPECT_EQ(lastOf(ui.warnings),
              "'C:\\none.policy' is specified for 'Security Policy File' but it does not exist. "
              "Tomcat may not start without it.");
    editing.edit(Field::UseSecurityManager, "0");
    editing.edit(Field::ClassPath, "C:\\A.JAR;;x;c:\\;D:\\lib");
    EXPECT_EQ(lastOf(ui.warnings),
              "'d:\\lib' is specified for 'Classpath' but it does not exist. Tomcat may not start "
              "without it.");
    // A new JDK changes only what comes from the JDK: its tools.jar, in its place.
    editing.edit(Field::ClassPath, "C:\\tomcat\\bin\\bootstrap.jar;C:\\jdk\\lib\\tools.jar;C:\\tomcat\\lib\\extra.jar");
    editing.edit(Field::JavaHome, "C:\\jdk");
    EXPECT_EQ(session.configuration().classPath,
              "C:\\tomcat\\bin\\bootstrap.jar;C:\\jdk\\lib\\tools.jar;C:\\tomcat\\lib\\extra.jar");
    // A JDK 9 or later without tools.jar takes it off; an older one puts its own in.
    os.files.addFile("C:\\jdk-17\\release", "IMPLEMENTOR_VERSION=\"x\"\nJAVA_VERSION=\"17.0.9\"\n");
    editing.edit(Field::JavaHome, "C:\\jdk-17");
    EXPECT_EQ(session.configuration().classPath, "C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\lib\\extra.jar");
    os.files.addFile("C:\\jdk-8\\release", "JAVA_VERSION=\"1.8.0_392\"\n");
    editing.edit(Field::JavaHome, "C:\\jdk-8");
    EXPECT_EQ(session.configuration().classPath,
              "C:\\tomcat\\bin\\bootstrap.jar;C:\\tomcat\\lib\\extra.jar;C:\\jdk-8\\lib\\tools.jar");
    // Tomcat 7 and later take no tools.jar, whatever JDK; a JDK without a release file and without a jre folder is
    // one of 9 or later.
    useModernLayout();
    saveNew("modern");
    os.files.addFolder("C:\\jdk-x");
    editing.edit(Field::JavaHome, "C:\\jdk-8");
    EXPECT_EQ(session.configuration().classPath, "C:\\tomcat10\\bin\\bootstrap.jar;C:\\tomcat10\\bin\\tomcat-juli.jar");
    EXPECT_FALSE(jdkOffersToolsJar("C:\\jdk-x", os.files));
}
