// velmora-cli's commands on the in-memory platform: what a script sees on
// its two streams and the exit code.
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/Imports.h"
#include "cli/CliCommands.h"
#include "support/CliRunner.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

using Json = nlohmann::ordered_json;

class CliTest : public ::testing::Test {
protected:
    MemoryPlatform os;
    std::optional<std::string> standardInput;  // what --password-stdin reads
    std::vector<std::string> passwordPrompts;
    CliRun run(const std::vector<std::string>& arguments) {
        return runCli(os, arguments, [this](const std::string& account, bool fromInput) {
            if (fromInput) return standardInput;
            passwordPrompts.push_back(account);
            return std::optional<std::string>();
        });
    }
    void SetUp() override {
        os.environment.variables["JAVA_HOME"] = "C:\\jdk";
        for (const char* folder : {"C:\\tomcat", "C:\\tomcat\\bin", "C:\\tomcat\\conf", "C:\\tomcat\\logs",
                                   "C:\\tomcat\\temp", "C:\\tomcat\\common\\lib", "C:\\jdk", "C:\\jdk\\lib"})
            os.files.addFolder(folder);
        for (const char* file : {"C:\\tomcat\\bin\\tomcat.exe", "C:\\tomcat\\bin\\bootstrap.jar",
                                 "C:\\jdk\\lib\\tools.jar", "C:\\jdk\\jre\\bin\\server\\jvm.dll"})
            os.files.addFile(file, "x");
        os.files.addFile("C:\\tomcat\\conf\\server.xml", kQuietServerXml);
        os.processes.onRun = [this](const std::string& command) {
            if (auto at = command.find(" -install "); at != std::string::npos)
                os.services.services["shop"] = {"\"" + command.substr(0, at) + "\" -service shop", false, {}};
            if (command.find(" -uninstall ") != std::string::npos) os.services.services.erase("shop");
        };
    }
};

}  // namespace

TEST_F(CliTest, AScriptCreatesInstallsRunsAndRemovesAConfiguration) {
    CliRun r = run({"set", "shop", "description=Shop", "max.heap.size=512", "additional.jvm.options=-Da=1",
                    "additional.jvm.options=-Db=2"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Instance saved as \"shop\".\n");
    r = run({"list", "--status"});
    EXPECT_EQ(r.out, "shop\tnot installed\n");
    r = run({"show", "shop"});
    EXPECT_NE(r.out.find("description = Shop\n"), std::string::npos);
    EXPECT_NE(r.out.find("additional.jvm.options = -Da=1\nadditional.jvm.options = -Db=2\n"), std::string::npos);
    EXPECT_NE(r.out.find("installed = 0\nstatus = not installed\n"), std::string::npos);
    EXPECT_EQ(run({"status", "shop"}).code, 6);

    r = run({"install", "shop"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Service \"shop\" installed.\n");
    EXPECT_EQ(run({"status", "shop"}).code, 5);
    r = run({"start", "shop"});
    EXPECT_EQ(r.out, "Starting the \"shop\" service...\nService \"shop\" is running.\n");
    r = run({"status", "shop", "--json"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "{\n  \"name\": \"shop\",\n  \"status\": \"running\"\n}\n");

    // A save of the running service asks first; without --yes the command is refused and nothing changes.
    r = run({"set", "shop", "description=Changed"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "Confirm: This configuration is also installed as a running service. To update the configuration, the "
              "service will be also be stopped and restarted. Continue?");
    EXPECT_NE(r.err.find("  -> No (--yes answers Yes)\n"), std::string::npos);
    EXPECT_TRUE(os.services.services["shop"].started);
    r = run({"delete", "shop"});
    EXPECT_EQ(r.code, 3);
    r = run({"delete", "shop", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Deleted instance \"shop\".\n");
    EXPECT_TRUE(os.services.services.empty());
    r = run({"show", "shop"});
    EXPECT_EQ(r.code, 8);
    EXPECT_EQ(r.err, "No configuration named \"shop\" is stored.\n");
}

TEST_F(CliTest, ServiceSettingsAreFieldsLikeTheOthersAndAPasswordComesOnlyFromWhereItWasAskedFor) {
    os.services.services["Tcpip"] = {"tcpip", true, {}};
    os.services.accounts.insert("CORP\\tomcat");
    os.accounts.guarded.insert("C:\\tomcat\\logs");
    CliRun r = run({"set", "shop", "service.startup=delayed", "service.account=CORP\\tomcat",
                    "service.depends.on=Tcpip", "service.recovery.first=10", "service.recovery.on.error.exit=0"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = run({"show", "shop"});
    EXPECT_NE(r.out.find(
                  "service.startup = delayed\nservice.account = CORP\\tomcat\nservice.depends.on = Tcpip\n"
                  "service.stop.timeout = 30\nservice.recovery.first = 10\nservice.recovery.second = 60\n"
                  "service.recovery.later = 300\nservice.recovery.reset = 86400\nservice.recovery.on.error.exit = 0\n"),
              std::string::npos)
        << r.out;
    r = run({"set", "shop", "service.startup=sometimes"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "velmora-cli set: field \"service.startup\": expected one of auto, delayed, manual, disabled.\n");

    // No password given: asked for at the prompt, none typed, nothing installed.
    r = run({"install", "shop", "--yes"});
    EXPECT_NE(r.code, 0);
    EXPECT_EQ(passwordPrompts, std::vector<std::string>{"CORP\\tomcat"});
    EXPECT_EQ(os.services.services.count("shop"), 0u);
    EXPECT_NE(r.err.find("Warning: CORP\\tomcat logs on with a password, and none was given"), std::string::npos);

    // --yes alone does not grant rights; --grant-rights does, and --password-stdin reads the password.
    standardInput = "pa55-from-stdin";
    r = run({"install", "shop", "--yes", "--password-stdin"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(os.accounts.allows("C:\\tomcat\\logs", "CORP\\tomcat", Access::Modify), false);
    EXPECT_EQ(os.services.services["shop"].configuration.account, "CORP\\tomcat");
    EXPECT_TRUE(os.services.services["shop"].configuration.delayedStart);
    r = run({"set", "shop", "service.stop.timeout=90", "--yes", "--grant-rights", "--password-stdin"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(os.accounts.allows("C:\\tomcat\\logs", "CORP\\tomcat", Access::Modify), true);
    EXPECT_EQ(passwordPrompts.size(), 1u);
    std::string everything = run({"export", "--out=C:\\all.json"}).out + run({"show", "shop", "--json"}).out +
                             os.files.files["C:\\all.json"];
    for (const auto& write : os.registry.writeLog) everything += write;
    for (const auto& line : os.processes.ran) everything += line;
    EXPECT_EQ(everything.find("pa55-from-stdin"), std::string::npos);
}

TEST_F(CliTest, EveryOtherExitCodeMeansWhatTheHelpSays) {
    CliRun r = run({"frobnicate"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "velmora-cli: unknown command \"frobnicate\".\nRun \"velmora-cli help\" for the commands.\n");
    EXPECT_EQ(run({"set", "x", "colour=red"}).code, 2);
    EXPECT_EQ(run({"set", "x", "max.heap.size=40000"}).code, 2);
    EXPECT_EQ(run({"list", "--yes"}).code, 2);
    EXPECT_EQ(run({"export", "--all", "--out="}).code, 2);
    r = run({"set", "COM1", "description=x"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(os.registry.contents(kLocalMachine, "SOFTWARE\\velmoraconfigs"), std::nullopt);
    EXPECT_EQ(run({"--version"}).out, "Velmora 0.2.5 (beta)\n");
    r = run({"status", "-h"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "usage: velmora-cli status NAME");
    r = run({"show", "nope", "--json"});
    EXPECT_EQ(r.code, 8);
    EXPECT_EQ(r.out,
              "{\n  \"error\": {\n    \"exitCode\": 8,\n    \"kind\": \"not-stored\",\n    \"message\": "
              "\"No configuration named \\\"nope\\\" is stored.\"\n  }\n}\n");
    // Changes need an elevated prompt; looking does not.
    os.environment.isElevated = false;
    r = run({"set", "web", "description=x"});
    EXPECT_EQ(r.code, 9);
    EXPECT_EQ(r.err.substr(0, 56), "velmora-cli set changes the system and needs an elevated");
    EXPECT_EQ(run({"list"}).code, 0);
    os.environment.isElevated = true;

    // A warning stores nothing unless --force; a move of the paths declined stores nothing either.
    r = run({"set", "web", "java.home=C:\\nowhere"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "Warning: 'c:\\nowhere\\lib\\tools.jar' is specified for 'Classpath' but it does not exist. Tomcat "
              "may not start without it.\nNothing was stored: 1 warning(s) came up; --force stores the "
              "configuration all the same.\n");
    EXPECT_EQ(run({"list"}).out, "");
    r = run({"set", "web", "java.home=C:\\nowhere", "--force", "-q"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    r = run({"set", "web", "catalina.base=C:\\base", "--force"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err.substr(r.err.rfind("Nothing")),
              "Nothing was stored: the paths that follow the new Catalina home or "
              "base were not moved; --yes moves them.\n");
    os.files.addFolder("C:\\base");
    os.files.addFolder("C:\\base\\conf");
    r = run({"set", "web", "catalina.base=C:\\base", "--yes", "--force", "--json"});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(Json::parse(r.out)["result"], "done");
    r = run({"show", "web", "--json"});
    EXPECT_EQ(Json::parse(r.out)["system.out"], "C:\\base\\logs");

    // check: 4 with problems, the findings as data, the report where asked.
    r = run({"check", "web", "--json", "--report=C:\\reports\\web.html"});
    EXPECT_EQ(r.code, 4);
    const Json check = Json::parse(r.out);
    EXPECT_EQ(check["report"], "C:\\reports\\web.html");
    EXPECT_EQ(
        check["problems"][0],
        (Json{{"field", "Tomcat config file"}, {"kind", "file-missing"}, {"path", "C:\\base\\conf\\server.xml"}}));
    EXPECT_TRUE(os.files.fileExists("C:\\reports\\web.html"));
    // status: 7 when the service manager cannot tell.
    os.registry.write(kLocalMachine, "SOFTWARE\\velmoraconfigs\\web",
                      {RegistryWrite::numberValue("installedaservice", 1)});
    EXPECT_EQ(run({"status", "web"}).code, 7);

    // export and import: a refused import is 3, names its option and changes nothing.
    r = run({"export", "--all", "--out=C:\\backup.json"});
    EXPECT_EQ(r.out, "Exported 1 configuration(s) to C:\\backup.json.\n");
    r = run({"import", "C:\\backup.json"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Import refused, nothing was changed. Configuration \"web\" is already stored and is replaced only "
              "on request. Give --replace to replace it.\n");
    os.files.files["C:\\two.json"] = "{\"configurations\": [{\"name\": \"a\"}, {\"name\": \"b\"}]}";
    r = run({"import", "C:\\two.json", "--json"});
    EXPECT_EQ(Json::parse(r.out), (Json{{"imported", {"a", "b"}}}));
    EXPECT_EQ(run({"list"}).out, "web\na\nb\n");
    EXPECT_EQ(run({"export", "nope"}).code, 8);
}

TEST_F(CliTest, EveryCommandSpeaksJsonWhenAsked) {
    const std::vector<std::vector<std::string>> commands = {{"set", "shop", "description=Shop"},
                                                            {"list", "--status"},
                                                            {"show", "shop"},
                                                            {"check", "shop"},
                                                            {"install", "shop"},
                                                            {"status", "shop"},
                                                            {"start", "shop"},
                                                            {"stop", "shop"},
                                                            {"uninstall", "shop"},
                                                            {"export", "--all", "--out", "C:\\all.json"},
                                                            {"export", "shop"},
                                                            {"delete", "shop"},
                                                            {"import", "C:\\all.json"},
                                                            {"help"},
                                                            {"--version"},
                                                            {"show", "nope"},
                                                            {"bogus"},
                                                            {"import", "C:\\none.json"},
                                                            {"repoint", "shop"},
                                                            {"import-setenv", "shop"},
                                                            {"apply", "C:\\all.json", "--check"},
                                                            {"apply", "C:\\all.json"}};
    // repoint: the JDK is there; import-setenv: there is no setenv.bat; apply: stored as the file gives it.
    const std::vector<int> codes = {0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 2, 1, 3, 3, 0, 0};
    for (std::size_t i = 0; i < commands.size(); ++i) {
        std::vector<std::string> arguments = commands[i];
        arguments.push_back("--json");
        const CliRun r = run(arguments);
        EXPECT_EQ(r.code, codes[i]) << arguments[0] << " " << r.out << r.err;
        Json parsed;
        EXPECT_NO_THROW(parsed = Json::parse(r.out)) << arguments[0] << ": " << r.out;
        EXPECT_EQ(parsed.contains("error"), codes[i] != 0 && codes[i] != 5) << arguments[0];
    }
}
