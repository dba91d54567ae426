// What a Tomcat and JDK allow, a JDK an update took away, ports taken, an ignored setenv.bat.
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/CliCommands.h"
#include "config/SetenvScript.h"
#include "config/StoreLayout.h"
#include "config/TomcatRelease.h"
#include "service/ModernWrapper.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

class VersionRulesTest : public SessionTest {
protected:
    std::string optionsForJava9() {
        const std::string& line = os.processes.ran.front();
        const auto at = line.find("--JvmOptions9 \"") + 15;
        return line.substr(at, line.find('"', at) - at);
    }
};

}  // namespace

TEST_F(VersionRulesTest, EachBranchGetsItsOwnJavaOptionsAndTheHomesOwnScriptWins) {
    addJdk("C:\\jdk-17", "17.0.12");
    // A home whose own service script passes other options: those.
    os.files.addFile("C:\\tomcat-10.1.99\\bin\\service.bat",
                     "rem --JvmOptions9 \"-javaagent:C:\\Users\\Public\\agent.jar\"\r\n"
                     "\"%EXECUTABLE%\" //IS//%SERVICE_NAME% ^\r\n    --StartMode jvm ^\r\n"
                     "    --JvmOptions \"-Dcatalina.home=%CATALINA_HOME%;-Dfuture.flag=on;%JvmArgs%\" ^\r\n"
                     "    --JvmOptions9 "
                     "\"--add-opens=java.base/java.lang=ALL-UNNAMED#--add-opens=java.base/java.net=ALL-UNNAMED\" ^\r\n"
                     "    --JvmMs \"%JvmMs%\"\r\n");
    // The five opens every branch gives, then what each branch adds, as its own service.bat does.
    const std::string lang = "--add-opens=java.base/java.lang=ALL-UNNAMED#";
    const std::string rest =
        "--add-opens=java.base/java.io=ALL-UNNAMED#--add-opens=java.base/java.util=ALL-UNNAMED#"
        "--add-opens=java.base/java.util.concurrent=ALL-UNNAMED#"
        "--add-opens=java.rmi/sun.rmi.transport=ALL-UNNAMED";
    const std::string invoke = "--add-opens=java.base/java.lang.invoke=ALL-UNNAMED#";
    const std::string reflect = "--add-opens=java.base/java.lang.reflect=ALL-UNNAMED#";
    const std::pair<const char*, std::string> branches[] = {
        {"7.0.109", lang + rest},
        {"8.5.100", lang + rest},
        {"9.0.98", lang + invoke + reflect + rest + "#-Dsun.io.useCanonCaches=false"},
        {"10.0.27", lang + rest},
        {"10.1.34", lang + reflect + rest + "#-Dsun.io.useCanonCaches=false"},
        {"11.0.2", lang + reflect + rest + "#--enable-native-access=ALL-UNNAMED"},
        {"12.0.0", lang + rest + "#--enable-native-access=ALL-UNNAMED"},
        {"10.1.99",
         "--add-opens=java.base/java.lang=ALL-UNNAMED#--add-opens=java.base/java.net=ALL-UNNAMED#-Dfuture.flag=on"},
    };
    Outcome installed;
    for (const auto& [version, expected] : branches) {
        const std::string home = std::string("C:\\tomcat-") + version;
        addTomcat(home, version);
        useHome(home, "C:\\jdk-17");
        os.processes.ran.clear();
        saveNew(std::string("t") + version);
        installed = session.install();
        EXPECT_EQ(optionsForJava9(), expected) << version;
        EXPECT_EQ(ui.tomcatVersion, version);
    }
    // What a script of the home hands the JVM is said; an entry that must not reach it refuses the install.
    EXPECT_EQ(lastOf(installed.notices),
              "The JVM options for Java 9 and later that the service was given:\r\nFrom "
              "C:\\tomcat-10.1.99\\bin\\service.bat, its install command:\r\n  "
              "--add-opens=java.base/java.lang=ALL-UNNAMED\r\n  --add-opens=java.base/java.net=ALL-UNNAMED\r\n  "
              "-Dfuture.flag=on");
    os.files.addFile("C:\\tomcat-10.1.99\\bin\\service.bat",
                     "\"%EXECUTABLE%\" //IS//%SERVICE_NAME% --JvmOptions9 \"-Dagent=\x1B[2K\"\r\n");
    os.processes.ran.clear();
    saveNew("t2");
    EXPECT_EQ(session.install().summary,
              "The JVM option \"-Dagent=\\x1B[2K\" that C:\\tomcat-10.1.99\\bin\\service.bat passes to the service "
              "wrapper holds U+001B, a control character, which Velmora does not pass on to the JVM: correct the "
              "script. Nothing is installed until then.");
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_EQ(session.checkConfiguration(ReportOpening::Never).report.findings.at(0).label,
              "JVM options for Java 9 and later");
}

TEST_F(VersionRulesTest, WhatCannotRunIsRefusedAndAJdkThatAnUpdateTookAwayIsReplacedByTheNewestOfItsVersion) {
    useModernLayout("C:\\tomcat11", "11.0.2");
    saveNew("eleven");
    Outcome refused = editing.edit(Field::UseSecurityManager, "1");
    EXPECT_EQ(refused.result, Outcome::Result::Refused);
    EXPECT_EQ(lastOf(ui.warnings),
              "Tomcat 11.0.2 no longer supports the security manager: the service would not start. "
              "Use Security Manager stays off.");
    EXPECT_FALSE(ui.shown.useSecurityManager);
    EXPECT_EQ(editing.edit(Field::JvmType, "client").result, Outcome::Result::Refused);
    EXPECT_EQ(ui.shown.jvmType, JvmType::Server);
    // Nor are they taken from a document, by an import or by apply.
    ASSERT_EQ(runCli(os, {"export", "eleven", "--out=C:\\eleven.json"}).code, 0);
    const std::string exported = os.files.files["C:\\eleven.json"];
    const std::pair<std::string, std::string> changes[] = {
        {"\"java.security.manager\": 0", "\"java.security.manager\": 1"},
        {"\"jvm\": \"server\"", "\"jvm\": \"client\""}};
    const std::string why[] = {
        "Tomcat 11.0.2 no longer supports the security manager: the service would not start.",
        "The JDK at C:\\jdk-21 has no client JVM (64-bit JDKs bring only the server JVM): the service could not "
        "load it."};
    for (int i = 0; i < 2; ++i) {
        const auto& [from, to] = changes[i];
        std::string& document = os.files.files["C:\\eleven.json"] = exported;
        ASSERT_NE(document.find(from), std::string::npos) << document;
        document.replace(document.find(from), from.size(), to);
        const CliRun imported = runCli(os, {"import", "C:\\eleven.json", "--replace"});
        EXPECT_EQ(imported.code, 3);
        EXPECT_EQ(imported.err, "Import refused, nothing was changed. Configuration \"eleven\": " + why[i] + "\n");
        const CliRun applied = runCli(os, {"apply", "C:\\eleven.json", "--yes"});
        EXPECT_EQ(applied.code, 3);
        EXPECT_EQ(applied.err, "Nothing was changed: Configuration \"eleven\": " + why[i] + "\n");
    }
    EXPECT_EQ(storedNumber("eleven", store::kSecurityManager), 0u);
    EXPECT_EQ(stored("eleven", "jvm"), "server");

    // Tomcat 10.1 on JDK 24: the JDK refuses it. A stored value is kept, and the check fails on it.
    addTomcat("C:\\tomcat10", "10.1.34");
    addJdk("C:\\jdk-24", "24");
    useHome("C:\\tomcat10", "C:\\jdk-24");
    saveNew("ten");
    EXPECT_EQ(
        editing.edit(Field::UseSecurityManager, "1").summary,
        "The JDK at C:\\jdk-24 (Java 24) refuses to start with the security manager: the service would not start. "
        "Use Security Manager stays off.");
    put("ten", {RegistryWrite::numberValue(store::kSecurityManager, 1)});
    ASSERT_TRUE(session.open("ten").done());
    EXPECT_TRUE(session.configuration().useSecurityManager);
    const CheckResult check = session.checkConfiguration(ReportOpening::Never);
    ASSERT_FALSE(check.report.findings.empty());
    EXPECT_EQ(check.report.findings[0].label, "Use Security Manager");
    // The classic wrapper of an old home starts every JVM with java.endorsed.dirs, which Java 9 and later refuse.
    useHome("C:\\tomcat", "C:\\jdk-24");
    saveNew("classic");
    const auto classic = session.checkConfiguration(ReportOpening::Never).report.findings;
    ASSERT_FALSE(classic.empty());
    EXPECT_EQ(classic[0].message,
              "The classic service wrapper (bin\\tomcat.exe) of C:\\tomcat starts the JVM with java.endorsed.dirs, "
              "which Java 9 and later refuse: the JDK at C:\\jdk-24 (Java 24) could not start Tomcat. Choose a Java 8 "
              "JDK, or a Tomcat 7 or later home.");
    EXPECT_EQ(classic[0].label, "Java Home");
    // A finding, not a refusal: the JDK may be chosen before the home, and a document may carry it.
    ASSERT_EQ(runCli(os, {"export", "classic", "--out=C:\\classic.json"}).code, 0);
    EXPECT_EQ(runCli(os, {"import", "C:\\classic.json", "--replace"}).code, 0);

    // A JDK that an update took away is replaced by the newest of its version.
    const std::string old = "C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot";
    const std::string updated = "C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.12.7-hotspot";
    addJdk(old, "17.0.9");
    useHome("C:\\tomcat10", old);
    saveNew("shop");
    editing.edit(Field::MaxHeapSize, "1024");
    ASSERT_TRUE(session.install().done());
    ASSERT_TRUE(session.start().done());
    const Configuration before = session.configuration();

    // The update: the old folder goes, the new one is registered beside a JDK 21.
    for (auto it = os.files.files.begin(); it != os.files.files.end();)
        it = it->first.rfind(old, 0) == 0 ? os.files.files.erase(it) : std::next(it);
    os.files.folders.erase(old);
    addJdk(updated, "17.0.12");
    addJdk("C:\\jdk-21", "21.0.5");
    auto adoptium = [&](const std::string& version, const std::string& path) {
        os.registry.write(kLocalMachine, "SOFTWARE\\Eclipse Adoptium\\JDK\\" + version + "\\hotspot\\MSI",
                          {RegistryWrite::textValue("Path", path + "\\")});
    };
    adoptium("17.0.12.7", updated);
    adoptium("21.0.5.11", "C:\\jdk-21");
    const CheckResult gone = session.checkConfiguration(ReportOpening::Never);
    ASSERT_TRUE(gone.replacement);
    // A new configuration given the stored one's name takes the JDK in the window only: the stored one stays.
    session.newConfiguration();
    editing.edit(Field::ServiceName, "shop");
    editing.edit(Field::JavaHome, old);
    const Outcome unsaved = session.offerRepoint(*gone.replacement);
    EXPECT_TRUE(unsaved.done()) << unsaved.summary;
    EXPECT_EQ(session.configuration().javaHome, updated);
    EXPECT_EQ(stored("shop", store::kJavaHome), old);
    EXPECT_EQ(storedNumber("shop", "installedaservice"), 1u);
    ASSERT_TRUE(session.open("shop").done());
    EXPECT_EQ(gone.replacement->javaHome, updated);
    EXPECT_EQ(lastOf(gone.report.findings).message,
              "The JDK at " + old +
                  " is gone (a JDK update removes the folder of the one before). The newest registered "
                  "JDK of the same version is " +
                  updated + " (17.0.12.7): switch to it with \"velmora-cli repoint shop\".");

    // velmora-cli repoint: the JDK's paths change, nothing else; the running service restarts only with --yes.
    os.processes.ran.clear();
    CliRun r = runCli(os, {"repoint", "shop"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{"\"" + updated + "\\bin\\java.exe\" -Xrs -Xmx1024m -version",
                                                          "\"C:\\tomcat10\\bin\\tomcat10.exe\" //US//shop --Jvm \"" +
                                                              updated + "\\bin\\server\\jvm.dll\""}));
    ASSERT_TRUE(session.open("shop").done());
    Configuration expected = before;
    expected.javaHome = updated;
    EXPECT_EQ(session.configuration(), expected);
    EXPECT_TRUE(session.installed());
    EXPECT_EQ(session.status(), ServiceStatus::Running);
    EXPECT_EQ(runCli(os, {"repoint", "shop", "--jdk", "C:\\nowhere"}).code, 3);
}

TEST_F(VersionRulesTest, APortThatAnotherConfigurationOrProgramHasAndASetenvTheServiceIgnoresAreNamed) {
    useModernLayout("C:\\tomcat10", "10.1.34");
    // b moves its shutdown port away and its connectors by an offset of 1: 8081 and 8010; c starts on a's base.
    const std::pair<const char*, const char*> bases[] = {
        {"a",
         "<Server port=\"8005\" shutdown=\"SHUTDOWN\"><Service name=\"Catalina\"><Connector port=\"8080\" "
         "protocol=\"HTTP/1.1\"/><Connector port=\"8009\" protocol=\"AJP/1.3\"/></Service></Server>"},
        {"b",
         "<Server port=\"-1\" portOffset=\"1\"><Service name=\"Catalina\"><Connector port=\"8080\"/>"
         "<Connector port=\"8009\" protocol=\"AJP/1.3\"/></Service></Server>"},
        {"c",
         "<Server port=\"-1\"><Service name=\"Catalina\"><Connector port=\"8080\"/>"
         "<Connector port=\"8009\" protocol=\"AJP/1.3\" address=\"10.0.0.5\"/></Service></Server>"}};
    for (const auto& [name, xml] : bases) {
        const std::string base = std::string("C:\\bases\\") + name;
        for (const char* folder : {"", "\\conf", "\\logs", "\\temp", "\\work"}) os.files.addFolder(base + folder);
        os.files.addFile(base + "\\conf\\logging.properties", "x");
        os.files.addFile(base + "\\conf\\server.xml", xml);
        saveNew(name);
        editing.edit(Field::CatalinaBase, *name == 'c' ? "C:\\bases\\a" : base);
        ASSERT_TRUE(session.save().done());
    }
    // Programs on 8005 and 8009 at other addresses leave a's shutdown and AJP ports alone: Tomcat 10 opens both
    // on localhost.
    os.network.listening = {{8010, {"0.0.0.0"}}, {8005, {"10.0.0.5"}}, {8009, {"10.0.0.7"}}};

    CliRun r = runCli(os, {"check", "b", "--json"});
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(r.err,
              "Warning: Port 8010 (AJP) of C:\\bases\\b\\conf\\server.xml is already taken by another program "
              "on this machine: the service would fail to start.\n");
    // The document names the port, that a program holds it, and the field as set takes it.
    const auto held = nlohmann::json::parse(r.out)["problems"][0];
    EXPECT_EQ(held["field"], "tomcat.config");
    EXPECT_EQ(held["port"], 8010);
    EXPECT_EQ(held["heldByProgram"], true);
    // a and c share every port of a's server.xml.
    r = runCli(os, {"check", "a", "--json"});
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(nlohmann::json::parse(r.out)["problems"][0]["configuration"], "c");
    EXPECT_EQ(r.err,
              "Warning: The stored configuration \"c\" uses the same Tomcat config file "
              "C:\\bases\\a\\conf\\server.xml: its ports are this one's, and only one of the two services can "
              "start.\n");
    editing.edit(Field::CatalinaBase, "C:\\bases\\c");
    ASSERT_TRUE(session.save().done());
    const CheckResult check = session.checkConfiguration(ReportOpening::Never);
    ASSERT_EQ(check.report.findings.size(), 1u);  // its AJP port at 10.0.0.5 is not a's, on localhost
    EXPECT_EQ(check.report.findings[0].message,
              "Port 8080 (connector) of C:\\bases\\c\\conf\\server.xml is also in the "
              "stored configuration \"a\" (C:\\bases\\a\\conf\\server.xml): only one of "
              "the two services can start.");
    ASSERT_TRUE(session.open("a").done());
    EXPECT_EQ(
        session.checkConfiguration(ReportOpening::Never).report.notices,
        std::vector<std::string>{"The shutdown port 8005 of C:\\bases\\a\\conf\\server.xml is enabled: a program on "
                                 "this machine that sends the shutdown word to it stops Tomcat. A service is stopped "
                                 "through the service manager; set port=\"-1\" to close it."});
    // velmora-cli prints it as a notice; -q hides notices only.
    EXPECT_NE(runCli(os, {"check", "a"}).out.find("\nNotice: The shutdown port 8005 of "), std::string::npos);
    EXPECT_EQ(runCli(os, {"check", "a", "-q"}).out, "");

    // A port an offset pushes past 65535 fails the check; a file too large is said so.
    os.files.addFile("C:\\bases\\b\\conf\\server.xml", "<Server port=\"65000\" portOffset=\"600\"/>");
    os.network.listening.clear();
    r = runCli(os, {"check", "b"});
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(r.err,
              "Warning: The shutdown port \"65000\" of C:\\bases\\b\\conf\\server.xml is not a port from 1 to 65535 "
              "(portOffset included): Tomcat would not start.\n");
    os.files.addFile("C:\\bases\\b\\conf\\server.xml",
                     "<Server port=\"-1\">" + std::string(4 << 20, ' ') + "</Server>");
    EXPECT_EQ(runCli(os, {"check", "b"}).err,
              "Warning: The Tomcat config file C:\\bases\\b\\conf\\server.xml is too large to read (more than 4 MB); "
              "Velmora does not look at its ports.\n");
    // A <Service> copied with its connector opens 8080 twice; a bare ampersand in a JDBC URL stops Tomcat's
    // parser; a file this user may not read is said so, and nothing more.
    os.files.addFile("C:\\bases\\b\\conf\\server.xml",
                     "<Server port=\"-1\"><Service name=\"Catalina\"><Connector port=\"8181\"/></Service>"
                     "<Service name=\"Copy\"><Connector port=\"8181\"/></Service></Server>");
    r = runCli(os, {"check", "b", "--json"});
    EXPECT_EQ(r.err,
              "Warning: Port 8181 (connector) of C:\\bases\\b\\conf\\server.xml is declared twice in it (connector "
              "and connector): Tomcat can open it only once, and what the other is for fails.\n");
    EXPECT_EQ(nlohmann::json::parse(r.out)["problems"][0]["port"], 8181);
    os.files.addFile("C:\\bases\\b\\conf\\server.xml",
                     "<Server port=\"-1\">\n<GlobalNamingResources><Resource name=\"db\" "
                     "url=\"jdbc:mysql://db/app?useSSL=false&serverTimezone=UTC\"/></GlobalNamingResources></Server>");
    EXPECT_EQ(runCli(os, {"check", "b"}).err,
              "Warning: The Tomcat config file C:\\bases\\b\\conf\\server.xml does not parse: An ampersand (&) starts "
              "no reference: Tomcat's parser stops at it (write it as &amp;) (line 2, column 81, offset 99). Tomcat "
              "would not start.\n");
    os.files.unreadable.insert("C:\\bases\\b\\conf\\server.xml");
    r = runCli(os, {"check", "b"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "No problems found; the report is C:\\tomcat10\\bin\\quenby-b-debug.html\n"
              "Notice: The Tomcat config file C:\\bases\\b\\conf\\server.xml could not be read by this user: its "
              "ports were not checked.\n");

    // A setenv.bat the service never reads is named and taken over on request.
    os.files.addFile(
        "C:\\tomcat10\\bin\\setenv.bat",
        "@echo off\r\nrem set CATALINA_OPTS=-Xmx1m\r\nset \"CATALINA_OPTS=%CATALINA_OPTS% -Xms512m -Xmx2g "
        "-Dfile.encoding=UTF-8\"\r\nset JAVA_OPTS=-Xss1m -Xmx1g -Dlog.dir=\"C:\\my logs\"\r\nset CLASSPATH=x\r\n"
        "if defined DEBUG set JAVA_OPTS=%JAVA_OPTS% -Ddebug=1\r\n");
    saveNew("shop");
    const Report report = session.checkConfiguration(ReportOpening::Never).report;
    EXPECT_EQ(report.notices,
              std::vector<std::string>{"Line 6 of C:\\tomcat10\\bin\\setenv.bat (if defined DEBUG set "
                                       "JAVA_OPTS=%JAVA_OPTS% -Ddebug=1) sets CATALINA_OPTS or JAVA_OPTS in a way "
                                       "that only cmd can follow when it runs the script: what it sets is neither "
                                       "named here nor taken over."});
    const auto& setenv = report.findings;
    // catalina.bat gives the JVM JAVA_OPTS first, and CATALINA_OPTS' heap after it wins.
    ASSERT_EQ(setenv.size(), 2u);
    EXPECT_EQ(setenv[1].message,
              "C:\\tomcat10\\bin\\setenv.bat sets CATALINA_OPTS (-Xms512m -Xmx2g -Dfile.encoding=UTF-8), which the "
              "service never reads: \"velmora-cli import-setenv shop\" takes them over into the configuration.");

    r = runCli(os, {"import-setenv", "shop"});
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("\n  Max Heap Size (MB): 2048\n"), std::string::npos) << r.err;
    EXPECT_EQ(stored("shop", store::kMaxHeap), "");
    r = runCli(os, {"import-setenv", "shop", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err;
    ASSERT_TRUE(session.open("shop").done());
    EXPECT_EQ(session.configuration().initialHeapSize, 512);
    EXPECT_EQ(session.configuration().maxHeapSize, 2048);
    EXPECT_EQ(session.configuration().threadStackSize, 1024);
    EXPECT_EQ(session.configuration().additionalJvmOptions,
              (std::vector<std::string>{"-Dlog.dir=C:\\my logs", "-Dfile.encoding=UTF-8"}));
    EXPECT_EQ(sizeIn("1536k", 1024 * 1024), "2");
    // Run again, it finds everything taken already and changes nothing.
    os.registry.writeLog.clear();
    r = runCli(os, {"import-setenv", "shop", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(
        r.out.rfind("The configuration \"shop\" holds every option of setenv.bat already; nothing was changed.", 0),
        0u);
    EXPECT_TRUE(os.registry.writeLog.empty());
    // Nor does the check recommend it any longer.
    r = runCli(os, {"check", "shop", "--json"});
    EXPECT_EQ(r.out.find("options-ignored"), std::string::npos) << r.out;
    // A heap no size field can hold is not taken over, and so still named.
    os.files.addFile("C:\\tomcat10\\bin\\setenv.bat", "set \"CATALINA_OPTS=-Xmx40g\"\r\n");
    r = runCli(os, {"check", "shop", "--json"});
    EXPECT_NE(r.out.find("options-ignored"), std::string::npos) << r.out;

    // Terminal control text in an option is shown written out, and never stored.
    os.files.addFile("C:\\tomcat10\\bin\\setenv.bat",
                     "set CATALINA_OPTS=-javaagent:C:\\a.jar\x1B[2K\r-Dsafe.flag=1\r\n");
    r = runCli(os, {"import-setenv", "shop"});
    EXPECT_NE(r.err.find("Additional JVM option: -javaagent:C:\\a.jar\\x1B[2K"), std::string::npos) << r.err;
    r = runCli(os, {"import-setenv", "shop", "--yes"});
    EXPECT_EQ(r.code, 3);
    ASSERT_TRUE(session.open("shop").done());
    EXPECT_EQ(session.configuration().additionalJvmOptions.size(), 2u);

    // A base with a setenv.bat of its own: catalina.bat calls that one, and never the home's.
    os.files.addFile("C:\\base10\\bin\\setenv.bat", "set CATALINA_OPTS=-Dbase.only=1\r\n");
    Configuration based = session.configuration();
    based.catalinaBase = "C:\\base10";
    const auto read = setenvOptions(based, os.files).variables;
    EXPECT_EQ(read.size() == 1 ? read[0].script + " " + read[0].options.at(0) : "",
              "C:\\base10\\bin\\setenv.bat -Dbase.only=1");
}

TEST(TomcatVersion, TheWrappersNameOverrulesReleaseNotesThatClaimAnotherMajorVersion) {
    MemoryPlatform os;
    auto home = [&](const std::string& path, const std::string& wrapper, const std::string& notes) {
        os.files.addFile(path + "\\bin\\" + wrapper, "the Tomcat wrapper");
        os.files.addFile(path + "\\RELEASE-NOTES", notes);
        return tomcatVersionOf(path, tomcatLayoutOf(path, os.files), os.files);
    };
    // Notes copied in from Tomcat 11 do not take a Tomcat 10's security manager away.
    TomcatVersion version = home("C:\\claims11", "tomcat10.exe", "  Apache Tomcat Version 11.0.0\n");
    EXPECT_EQ(version.major, 10);
    EXPECT_EQ(version.minor, -1);
    EXPECT_EQ(version.text, "10");
    EXPECT_EQ(securityManagerRefusal(version, 21, "C:\\jdk-21"), "");
    version = home("C:\\tomcat10", "tomcat10.exe", "  Apache Tomcat Version 10.1.34\n");
    EXPECT_EQ(version.major, 10);
    EXPECT_EQ(version.minor, 1);
    EXPECT_EQ(version.text, "10.1.34");
    // What follows the number in the file never reaches the screen.
    EXPECT_EQ(home("C:\\escape", "tomcat10.exe", "Apache Tomcat Version 10.1.34\x1B]0;pwned\x07\n").text, "10.1.34");
    // Tomcat 12 ships bin\tomcat12.exe beside its monitor tomcat12w.exe.
    os.files.addFile("C:\\tomcat12\\bin\\tomcat12w.exe", "the monitor");
    version = home("C:\\tomcat12", "tomcat12.exe", "Apache Tomcat Version 12.0.1\n");
    const TomcatLayout twelve = tomcatLayoutOf("C:\\tomcat12", os.files);
    EXPECT_EQ(twelve.family, WrapperFamily::Modern);
    EXPECT_EQ(twelve.wrapperProgram, "C:\\tomcat12\\bin\\tomcat12.exe");
    EXPECT_EQ(version.text, "12.0.1");
    // The classic wrapper believes only notes of the old Catalina layout.
    EXPECT_EQ(home("C:\\tomcat55", "tomcat.exe", "Apache Tomcat Version 5.5.36\n").text, "5.5.36");
    EXPECT_FALSE(home("C:\\classic", "tomcat.exe", "Apache Tomcat Version 10.1.34\n").known());
}

TEST(ServiceScript, OnlyItsInstallCommandFeedsTheJvmAndEntriesTheWrapperCannotPassAreNamed) {
    MemoryPlatform os;
    os.files.addFile("C:\\tomcat10\\bin\\service.bat",
                     "@echo off\r\n"
                     "rem --JvmOptions9 \"-javaagent:C:\\Users\\Public\\agent.jar\"\r\n"
                     "echo //IS//%SERVICE_NAME% --JvmOptions9 \"-Decho=1\"\r\n"
                     ":: \"%EXECUTABLE%\" //IS//%SERVICE_NAME% --JvmOptions9 \"-Dlabel=1\"\r\n"
                     "rem \"a caret between quotes joins no line ^\r\n"
                     "\"%EXECUTABLE%\" //IS//%SERVICE_NAME% ^\r\n"
                     "    --Description \"Apache Tomcat\" ^\r\n"
                     "    --JvmOptions \"-Dcatalina.home=%CATALINA_HOME%;-Dfixed=on;%JvmArgs%\" ^\r\n"
                     "    --JvmOptions9 \"--add-opens=java.base/java.lang=ALL-UNNAMED#-Dname=O'Brien#"
                     "-Dcolour=\x1B[31m\" ^\r\n"
                     "    --JvmMs \"%JvmMs%\"\r\n"
                     "\"%EXECUTABLE%\" //US//%SERVICE_NAME% --JvmOptions9 \"-Dupdate=1\"\r\n");
    const JvmOptions9 options = jvmOptions9For("C:\\tomcat10", {10, 1, "10.1.34"}, os.files);
    EXPECT_EQ(options.options, (std::vector<std::string>{"--add-opens=java.base/java.lang=ALL-UNNAMED",
                                                         "-Dname=O'Brien", "-Dcolour=\x1B[31m", "-Dfixed=on"}));
    EXPECT_EQ(options.script, "C:\\tomcat10\\bin\\service.bat");
    EXPECT_EQ(unusableScriptOptions(options), (std::vector<std::string>{"-Dname=O'Brien", "-Dcolour=\x1B[31m"}));
    EXPECT_EQ(unusableScriptOptionMessage("-Dname=O'Brien", options.script),
              "The JVM option \"-Dname=O'Brien\" that C:\\tomcat10\\bin\\service.bat passes to the service wrapper "
              "holds a single quote ('), which the wrapper cannot pass to the JVM whole: correct the script. Nothing "
              "is installed until then.");
    // Paired double quotes stay within their entry; one alone would take the options after it along.
    EXPECT_EQ(unusableScriptOptions({{"-Dtitle=\"A; B\"", "-Dsize=24\""}, options.script}),
              std::vector<std::string>{"-Dsize=24\""});
    EXPECT_EQ(unusableScriptOptionMessage("-Dsize=24\"", options.script),
              "The JVM option \"-Dsize=24\"\" that C:\\tomcat10\\bin\\service.bat passes to the service wrapper "
              "holds a double quote (\") without its pair, which would take the options after it along: correct the "
              "script. Nothing is installed until then.");
    EXPECT_EQ(unusableScriptOptionMessage("-Dcolour=\x1B[31m", options.script),
              "The JVM option \"-Dcolour=\\x1B[31m\" that C:\\tomcat10\\bin\\service.bat passes to the service "
              "wrapper holds U+001B, a control character, which Velmora does not pass on to the JVM: correct the "
              "script. Nothing is installed until then.");

    // An agent named only in a remark feeds nothing: the branch's own list applies.
    os.files.addFile("C:\\tomcat10\\bin\\service.bat",
                     "rem \"%EXECUTABLE%\" //IS//%SERVICE_NAME% --JvmOptions9 \"-javaagent:C:\\agent.jar\"\r\n"
                     "\"%EXECUTABLE%\" //IS//%SERVICE_NAME% --StartMode jvm\r\n");
    EXPECT_EQ(serviceScriptJvmOptions9(*os.files.readBytes("C:\\tomcat10\\bin\\service.bat", 4096)), std::nullopt);
    const JvmOptions9 branch = jvmOptions9For("C:\\tomcat10", {10, 0, "10.0.27"}, os.files);
    EXPECT_EQ(branch.script, "");
    EXPECT_EQ(branch.options.front(), "--add-opens=java.base/java.lang=ALL-UNNAMED");
    EXPECT_EQ(unusableScriptOptions(branch), std::vector<std::string>{});
}

TEST(SetenvScript, IsReadAsCmdReadsItUpToItsEndAndTheLinesItCannotFollowAreNamed) {
    // Line 4 keeps its caret between quotes, which catalina.bat would read again: not followed.
    const std::string script =
        "@echo off\r\n"                                                                                  // 1
        ":: set CATALINA_OPTS=-Dcommented=1\r\n"                                                         // 2
        "set CATALINA_OPTS=-Xmx512m -Duser.timezone=\"Europe/Berlin\" -Dpath=%CATALINA_BASE%\\logs\r\n"  // 3
        "set \"CATALINA_OPTS=%CATALINA_OPTS% -Da=b^&c\"\r\n"                                             // 4
        "if defined X set CATALINA_OPTS=-Dnever=1\r\n"                                                   // 5
        "set JAVA_OPTS=-Dreplaced=1\r\n"                                                                 // 6
        "set JAVA_OPTS=%OTHER% -Dz=1\r\n"                                                                // 7
        "Set Java_Opts=-Xss512k ^\r\n"                                                                   // 8
        "    -Ddir=\"%JAVA_HOME%\\\\\" -Dshare=100%% -Dre=\"a^b\"\r\n"                                   // 9
        "set CATALINA_OPTS=%CATALINA_OPTS% -Dsep=a^|b\r\n"                                               // 10
        "echo Using CATALINA_OPTS: \"%CATALINA_OPTS%\"\r\n"                                              // 11
        "if \"%JPDA%\" == \"\" (\r\n"                                                                    // 12
        "    set \"CATALINA_OPTS=%CATALINA_OPTS% -Dinblock=1\"\r\n"                                      // 13
        ")\r\n"                                                                                          // 14
        "call set \"JAVA_OPTS=-Dcolour=\x1B[31m\"\r\n"                                                   // 15
        "set \"CATALINA_OPTS=%CATALINA_OPTS% -Dlast=1\"\r\n"                                             // 16
        "set \"CATALINA_OPTS=-Dredirected=1\" > nul\r\n"                                                 // 17
        "set CATALINA_OPTS=!EXTRA_OPTS! -Ddelayed=1\r\n"                                                 // 18
        "set CATALINA_OPTS =-Dblank=1\r\n"                                                               // 19
        "set /p JAVA_OPTS=Options? \r\n"                                                                 // 20
        "setlocal\r\n"                                                                                   // 21
        "set CATALINA_OPTS=-Dlocal=1\r\n"                                                                // 22
        "goto :eof\r\n"                                                                                  // 23
        "set CATALINA_OPTS=-Dafter=1\r\n";                                                               // 24
    const std::string path = "C:\\base\\bin\\setenv.bat";
    const SetenvScriptReading reading = setenvOptionsOf(script, path, {"C:\\tomcat10", "C:\\base", "C:\\jdk-21"});
    ASSERT_EQ(reading.variables.size(), 2u);
    // In the order the JVM gets them, whatever the script sets first.
    EXPECT_EQ(reading.variables[1].variable, "CATALINA_OPTS");
    EXPECT_EQ(reading.variables[1].script, path);
    EXPECT_EQ(reading.variables[1].options, (std::vector<std::string>{"-Xmx512m", "-Duser.timezone=Europe/Berlin",
                                                                      "-Dpath=C:\\base\\logs", "-Dlast=1"}));
    EXPECT_EQ(reading.variables[0].variable, "JAVA_OPTS");
    EXPECT_EQ(reading.variables[0].options,
              (std::vector<std::string>{"-Xss512k", "-Ddir=C:\\jdk-21\\", "-Dshare=100%", "-Dre=a^b"}));
    std::vector<std::string> notFollowed;
    for (const auto& line : reading.notFollowed)
        notFollowed.push_back(line.script + ":" + std::to_string(line.line) + ": " + line.text);
    EXPECT_EQ(notFollowed, (std::vector<std::string>{
                               "C:\\base\\bin\\setenv.bat:4: set \"CATALINA_OPTS=%CATALINA_OPTS% -Da=b^&c\"",
                               "C:\\base\\bin\\setenv.bat:5: if defined X set CATALINA_OPTS=-Dnever=1",
                               "C:\\base\\bin\\setenv.bat:7: set JAVA_OPTS=%OTHER% -Dz=1",
                               "C:\\base\\bin\\setenv.bat:10: set CATALINA_OPTS=%CATALINA_OPTS% -Dsep=a^|b",
                               "C:\\base\\bin\\setenv.bat:13: set \"CATALINA_OPTS=%CATALINA_OPTS% -Dinblock=1\"",
                               "C:\\base\\bin\\setenv.bat:15: call set \"JAVA_OPTS=-Dcolour=\\x1B[31m\"",
                               "C:\\base\\bin\\setenv.bat:17: set \"CATALINA_OPTS=-Dredirected=1\" > nul",
                               "C:\\base\\bin\\setenv.bat:18: set CATALINA_OPTS=!EXTRA_OPTS! -Ddelayed=1",
                               "C:\\base\\bin\\setenv.bat:19: set CATALINA_OPTS =-Dblank=1",
                               "C:\\base\\bin\\setenv.bat:20: set /p JAVA_OPTS=Options?",
                               "C:\\base\\bin\\setenv.bat:22: set CATALINA_OPTS=-Dlocal=1",
                           }));
    EXPECT_EQ(setenvNotFollowedMessage(reading.notFollowed[1]),
              "Line 5 of C:\\base\\bin\\setenv.bat (if defined X set CATALINA_OPTS=-Dnever=1) sets CATALINA_OPTS or "
              "JAVA_OPTS in a way that only cmd can follow when it runs the script: what it sets is neither named "
              "here nor taken over.");
    // Only a top-level goto :eof or exit ends the script.
    const SetenvScriptReading ended = setenvOptionsOf(
        "set JAVA_OPTS=-Da=1\r\nif errorlevel 1 goto :eof\r\nset JAVA_OPTS=%JAVA_OPTS% -Db=1\r\nEXIT /B 0\r\n"
        "set JAVA_OPTS=-Dafter=1\r\n",
        path, {});
    ASSERT_EQ(ended.variables.size(), 1u);
    EXPECT_EQ(ended.variables[0].options, (std::vector<std::string>{"-Da=1", "-Db=1"}));
    EXPECT_TRUE(ended.notFollowed.empty());

    // A size the field cannot hold is neither taken nor changed into another.
    EXPECT_EQ(sizeIn("2g", 1024 * 1024), "2048");
    EXPECT_EQ(sizeIn("32767m", 1024 * 1024), "32767");
    EXPECT_EQ(sizeIn("32768m", 1024 * 1024), "");
    EXPECT_EQ(sizeIn("64g", 1024 * 1024), "");
    EXPECT_EQ(sizeIn("17179869185g", 1024 * 1024), "");
    EXPECT_EQ(sizeIn("99999999999999999999", 1024), "");
    const SetenvTakeOver takeOver =
        setenvTakeOver({{path, "JAVA_OPTS", {"-Xss64m", "-Dkept=1"}},
                        {path, "CATALINA_OPTS", {"-Xms2g", "-Xmx1g", "-Xmx17179869185g", "-Xss512k", "-Xmslots"}}},
                       Configuration{});
    EXPECT_EQ(takeOver.initialHeapSize, "");
    EXPECT_EQ(takeOver.maxHeapSize, "");
    EXPECT_EQ(takeOver.threadStackSize, "512");
    EXPECT_EQ(takeOver.options, std::vector<std::string>{"-Dkept=1"});
    // The stack size JAVA_OPTS gives is beyond the field, but CATALINA_OPTS' comes after it and counts.
    EXPECT_EQ(takeOver.notTaken,
              (std::vector<NotTakenOption>{{"-Xmx17179869185g", "larger than 32767 MB"}, {"-Xmslots", "not a size"}}));
}
