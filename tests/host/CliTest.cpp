// velmora-cli's commands, apply among them: both streams and the exit code.
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "app/Version.h"
#include "cli/CliArguments.h"
#include "config/ConfigurationFields.h"
#include "config/StoreLayout.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

using Json = nlohmann::ordered_json;
using namespace std::string_literals;

class CliTest : public SessionTest {
protected:
    std::optional<std::string> standardInput;  // what --password-stdin reads
    std::optional<std::string> typed;          // what is typed at the prompt
    std::vector<std::string> passwordPrompts;
    CliRun run(const std::vector<std::string>& arguments) {
        return runCli(os, arguments, [this](const std::string& account, bool fromInput) {
            if (fromInput) return standardInput;
            passwordPrompts.push_back(account);
            return typed;
        });
    }
    // velmora-cli apply --yes of a document with these entries.
    void writeDocument(const std::string& entries) {
        os.files.addFile("C:\\fleet.json", "{\"configurations\": [" + entries + "]}");
    }
    CliRun apply(std::vector<std::string> more = {}) {
        std::vector<std::string> arguments = {"apply", "C:\\fleet.json", "--yes"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return run(arguments);
    }
};

}  // namespace

TEST_F(CliTest, AScriptCreatesInstallsRunsAndRemovesAConfigurationAndGivesItsServiceAnAccount) {
    CliRun r = run({"set", "shop", "description=Shop", "max.heap.size=512", "additional.jvm.options=-Da=1",
                    "additional.jvm.options=-Db=2"});
    EXPECT_EQ(r.out, "Configuration \"shop\" saved.\n");
    EXPECT_EQ(run({"list", "--status"}).out, "shop\tnot installed\n");
    EXPECT_NE(run({"show", "shop"}).out.find("additional.jvm.options = -Da=1\nadditional.jvm.options = -Db=2\n"),
              std::string::npos);
    // JSON on standard output is ASCII, as Windows PowerShell reads it in the console's code page.
    ASSERT_EQ(run({"set", "shop", "description=Caf\xC3\xA9 du Port"}).code, 0);
    for (const std::vector<std::string>& shown :
         {std::vector<std::string>{"show", "shop", "--json"}, {"export", "shop"}})
        EXPECT_NE(run(shown).out.find("\"description\": \"Caf\\u00e9 du Port\""), std::string::npos) << shown[0];
    ASSERT_EQ(run({"set", "shop", "description=Shop"}).code, 0);
    EXPECT_EQ(run({"install", "shop"}).out, "Service \"shop\" installed.\n");
    r = run({"start", "shop"});
    EXPECT_EQ(r.out, "Starting the \"shop\" service...\nService \"shop\" is running after 0.0 s.\n");
    EXPECT_EQ(run({"status", "shop"}).code, 0);

    // A change is made where the service stands: a heap is the JVM's, so the running service restarts for it only
    // with --restart (or --yes), else at its next start.
    os.processes.ran.clear();
    r = run({"set", "shop", "max.heap.size=1024"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err,
              "Confirm: The service \"shop\" runs with the values it started with until it restarts. Restart it "
              "now?\n  -> No (--restart or --yes answers Yes)\n");
    EXPECT_EQ(r.out,
              "Configuration \"shop\" saved. The running service \"shop\" takes the change at its next start.\n");
    EXPECT_TRUE(os.processes.ran.empty()) << lastOf(os.processes.ran);
    r = run({"set", "shop", "max.heap.size=2048", "--restart"});
    EXPECT_EQ(os.processes.ran, (std::vector<std::string>{"net stop \"shop\"", "net start \"shop\""}));
    EXPECT_TRUE(os.services.services["shop"].started);
    // Uninstalling or deleting a running service asks first, as a delete does.
    EXPECT_EQ(run({"uninstall", "shop"}).code, 3);
    EXPECT_EQ(run({"delete", "shop"}).code, 3);
    EXPECT_EQ(run({"delete", "shop", "--yes"}).out, "Configuration \"shop\" deleted, and its service removed.\n");
    EXPECT_TRUE(os.services.services.empty());
    EXPECT_EQ(run({"show", "shop"}).err, "No configuration named \"shop\" is stored.\n");

    // Service settings are fields like the others; a password comes only from where it was asked for.
    os.services.services["Tcpip"] = {"tcpip", true, {}};
    os.services.accounts.insert("CORP\\tomcat");
    os.accounts.guarded.insert("C:\\tomcat\\logs");
    r = run({"set", "shop", "service.startup=delayed", "service.account=CORP\\tomcat", "service.depends.on=Tcpip",
             "service.recovery.first=10", "service.recovery.on.error.exit=0"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = run({"show", "shop"});
    EXPECT_NE(r.out.find("service.startup = delayed\nservice.account = CORP\\tomcat\nservice.depends.on = Tcpip\n"
                         "service.stop.timeout = 30\nservice.recovery.first = 10\n"),
              std::string::npos)
        << r.out;
    r = run({"set", "shop", "service.startup=sometimes"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "velmora-cli set: field \"service.startup\": expected one of auto, delayed, manual, disabled.\n");

    // apply --check asks for the password as the run would, and fails where the run would fail.
    writeDocument(R"({"name": "shop", "state": "installed", "service.account": "CORP\\tomcat"})");
    r = run({"apply", "C:\\fleet.json", "--check", "--yes"});
    EXPECT_EQ(r.code, 1);
    const std::string wouldInstall =
        "shop: FAILED; values: service.startup, service.depends.on, service.recovery.first, "
        "service.recovery.on.error.exit; would store, install\n  ";
    EXPECT_EQ(r.out, wouldInstall +
                         "No password was given for CORP\\tomcat; nothing was changed.\n"
                         "1 configuration(s): 0 would change, 0 unchanged, 1 failed.\n");
    EXPECT_EQ(passwordPrompts, std::vector<std::string>{"CORP\\tomcat"});
    typed = "not-it";
    os.accounts.passwords["CORP\\tomcat"] = "pa55-from-stdin";
    r = run({"apply", "C:\\fleet.json", "--check", "--yes"});
    EXPECT_EQ(r.out, wouldInstall +
                         "Windows did not take the password for CORP\\tomcat: The user name or password is incorrect. "
                         "Nothing was changed.\n1 configuration(s): 0 would change, 0 unchanged, 1 failed.\n");
    EXPECT_TRUE(os.services.services.count("shop") == 0 && passwordPrompts.size() == 2u);
    typed.reset();
    passwordPrompts.clear();

    // No password given: asked for at the prompt, none typed, nothing installed.
    r = run({"install", "shop", "--yes"});
    EXPECT_NE(r.code, 0);
    EXPECT_EQ(passwordPrompts, std::vector<std::string>{"CORP\\tomcat"});
    EXPECT_EQ(os.services.services.count("shop"), 0u);
    EXPECT_NE(r.err.find("Warning: CORP\\tomcat logs on with a password, and none was given"), std::string::npos);

    // Nothing typed is no password either; an empty line, bytes that are not UTF-8 or a NUL on standard input
    // are refused before anything.
    passwordPrompts.clear();
    typed = "";
    EXPECT_EQ(run({"install", "shop", "--yes"}).code, 3);
    typed.reset();
    for (const std::string& given : {""s, "pa\xE4ss"s, "pa55\0tail"s}) {
        standardInput = given;
        r = run({"install", "shop", "--yes", "--password-stdin"});
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_EQ(os.services.services.count("shop"), 0u);
    }
    EXPECT_EQ(r.err, "--password-stdin: the password holds a NUL character, which Windows would cut it at.\n");

    // --yes alone does not grant rights; --grant-rights does, and --password-stdin reads the password (a
    // byte-order mark before it, as PowerShell set to UTF-8 sends one, is no part of it).
    os.accounts.passwords["CORP\\tomcat"] = "pa55-from-stdin";
    standardInput = "\xEF\xBB\xBFpa55-from-stdin";
    r = run({"install", "shop", "--yes", "--password-stdin"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(os.accounts.allows("C:\\tomcat\\logs", "CORP\\tomcat", Access::Modify), false);
    EXPECT_EQ(os.services.services["shop"].configuration.account, "CORP\\tomcat");
    EXPECT_TRUE(os.services.services["shop"].configuration.delayedStart);
    // A value refused leaves no folder made for another behind; a value stored keeps each level it made.
    r = run({"set", "shop", "system.out=C:\\new\\logs", "tomcat.home=C:\\nowhere", "--yes"});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_FALSE(os.files.folderExists("C:\\new\\logs") || os.files.folderExists("C:\\new"));
    EXPECT_EQ(stored("shop", store::kSystemOut), "C:\\tomcat\\logs");
    EXPECT_EQ(run({"set", "spare", "system.out=C:\\new\\logs", "--yes"}).code, 0);
    r = run({"set", "spare", "system.err=C:\\new\\err", "tomcat.home=C:\\nowhere", "--yes"});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_TRUE(os.files.folderExists("C:\\new\\logs") && !os.files.folderExists("C:\\new\\err"));
    EXPECT_EQ(run({"delete", "spare"}).code, 0);
    // A value only Velmora reads asks nothing of the service's account.
    r = run({"set", "shop", "logs.keep.days=14"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "Configuration \"shop\" saved.\n");
    r = run({"set", "shop", "service.stop.timeout=90", "--yes", "--grant-rights", "--password-stdin"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(os.accounts.allows("C:\\tomcat\\logs", "CORP\\tomcat", Access::Modify), true);
    EXPECT_EQ(passwordPrompts.size(), 1u);
    // A check of another account for the installed service asks for its password once the change's questions
    // are answered, as the save does.
    os.services.accounts.insert("CORP\\web");
    writeDocument(R"({"name": "shop", "state": "installed", "service.account": "CORP\\web"})");
    r = run({"apply", "C:\\fleet.json", "--check", "--yes"});
    EXPECT_NE(
        r.out.find("; would store, change the service in place (takes a restart)\n  No password was given for "
                   "CORP\\web; nothing was changed.\n1 configuration(s): 0 would change, 0 unchanged, 1 failed.\n"),
        std::string::npos)
        << r.out;
    EXPECT_EQ(passwordPrompts, (std::vector<std::string>{"CORP\\tomcat", "CORP\\web"}));
    // What the service manager refuses, as Windows: a service that depends on itself, the start of a disabled one.
    r = run({"set", "shop", "service.depends.on=shop", "service.startup=disabled"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "Warning: The service manager refused the dependencies of the service \"shop\": Circular service "
              "dependency was specified.\nA warning came up.\n");
    r = run({"start", "shop"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "Warning: The service's start-up type is Disabled: choose Automatic or Manual in Service Settings (the "
              "service manager, error 1058).\n");
    // A service removed outside Velmora is installed anew by the next save, which needs the password again.
    auto removed = os.services.services.extract("shop");
    passwordPrompts.clear();
    r = run({"set", "shop", "logs.keep.days=7", "--yes"});
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_EQ(passwordPrompts, std::vector<std::string>{"CORP\\tomcat"});
    EXPECT_EQ(os.services.services.count("shop"), 0u);
    os.services.services.insert(std::move(removed));
    run({"export", "--all", "--out=C:\\all.json"});
    EXPECT_EQ(run({"show", "shop", "--json"}).out.find("pa55-from-stdin"), std::string::npos);
    expectKeptNowhere("pa55-from-stdin");
}

TEST_F(CliTest, EveryOtherExitCodeMeansWhatTheHelpSays) {
    CliRun r = run({"frobnicate"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "velmora-cli: unknown command \"frobnicate\".\nRun \"velmora-cli help\" for the commands.\n");
    EXPECT_EQ(run({"set", "x", "colour=red"}).code, 2);
    // A name a script left empty, and a field given twice: nothing is taken for what it is not.
    EXPECT_EQ(run({"set", "max.heap.size=512"}).err,
              "velmora-cli: set takes the NAME first; \"max.heap.size=512\" is FIELD=VALUE.\nRun \"velmora-cli help\" "
              "for the commands.\n");
    EXPECT_EQ(run({"set", "x", "max.heap.size=512", "max.heap.size=2048"}).err,
              "velmora-cli set: field \"max.heap.size\" is given twice.\n");
    EXPECT_EQ(run({"set", "x", "service.environment=JAVA_TOOL_OPTIONS"}).err,
              "velmora-cli set: field \"service.environment\": expected NAME=VALUE.\n");
    // The refusal of an unknown field points to set's help, which must name every field.
    std::istringstream setHelp(run({"set", "--help"}).out);
    const std::set<std::string> helpWords{std::istream_iterator<std::string>(setHelp), {}};
    for (const StoredField& field : storedFields()) EXPECT_EQ(helpWords.count(field.name), 1u) << field.name;
    EXPECT_EQ(run({"--version"}).out, "Velmora " VELMORA_VERSION_TEXT " (beta)\n");
    EXPECT_EQ(run({"status", "-h"}).out.substr(0, 31), "usage: velmora-cli status NAME\n");
    r = run({"show", "nope", "--json"});
    EXPECT_EQ(r.code, 8);
    EXPECT_EQ(r.out,
              "{\n  \"error\": {\n    \"exitCode\": 8,\n    \"kind\": \"not-stored\",\n    \"message\": "
              "\"No configuration named \\\"nope\\\" is stored.\"\n  }\n}\n");
    // What every command takes may stand before the command, as scripts often write it.
    EXPECT_EQ(run({"--json", "show", "nope"}).out, r.out);
    EXPECT_EQ(run({"-q", "--verbose"}).err,
              "velmora-cli: no command given.\nRun \"velmora-cli help\" for the commands.\n");
    // A stored value that could not be read is never saved over: set refuses it unless --force, the rest always.
    ASSERT_EQ(run({"set", "old"}).code, 0);
    put("old", {RegistryWrite::textValue(store::kStartupType, "demand")});
    EXPECT_EQ(run({"set", "old", "description=x"}).code, 1);
    EXPECT_EQ(run({"install", "old"}).code, 3);
    writeDocument(R"({"name": "old", "description": "y"})");
    r = apply();
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("is not one Velmora knows, so it opens as auto. Nothing was changed for it"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(stored("old", store::kDescription), "");
    EXPECT_EQ(stored("old", store::kStartupType), "demand");
    EXPECT_EQ(run({"set", "old", "service.startup=manual", "--force"}).code, 1);  // the warning still counts
    EXPECT_EQ(stored("old", store::kStartupType), "manual");
    EXPECT_EQ(run({"set", "old", "description=x"}).code, 0);
    ASSERT_EQ(run({"delete", "old", "--yes"}).code, 0);
    // Changes need an elevated prompt; looking does not.
    const std::pair<const char*, bool> commands[] = {
        {"list", false},         {"show x", false},         {"status x", false},
        {"export --all", false}, {"logs x", false},         {"logs x --prune --check", false},
        {"adopt --list", false}, {"help", false},           {"--version", false},
        {"set x a=b", true},     {"check x", true},         {"install x", true},
        {"uninstall x", true},   {"start x", true},         {"stop x", true},
        {"restart x", true},     {"delete x", true},        {"import f", true},
        {"repoint x", true},     {"import-setenv x", true}, {"apply f", true},
        {"adopt x", true},       {"logs x --prune", true},  {"logs --all --prune", true}};
    for (const auto& [line, changes] : commands)
        EXPECT_EQ(cli::changesTheSystem(cli::parseArguments(words(line)).invocation), changes) << line;
    // An option that takes a value is given once, --set once per field; an option has two dashes.
    const std::pair<const char*, const char*> malformed[] = {
        {"upgrade shop --home C:\\a --home C:\\b", "--home is given twice."},
        {"repoint shop --jdk C:\\a --jdk=C:\\b", "--jdk is given twice."},
        {"export --all --out=a.json --out b.json", "--out is given twice."},
        {"logs shop --tail 5 --tail 10", "--tail is given twice."},
        {"logs shop --tail 5 --file a.log --file b.log", "--file is given twice."},
        {"check shop --report a.html --report a.html", "--report is given twice."},
        {"apply f --set a=1 --set b=2", ""},
        {"export -all",
         "-all is not an option: did you mean --all? (A name that starts with \"-\" goes after \"--\".)"},
        {"export -- -all", ""},
        {"set shop -json",
         "-json is not an option: did you mean --json? (A name that starts with \"-\" goes after "
         "\"--\".)"},
        {"show -x", ""}};
    for (const auto& [line, why] : malformed) EXPECT_EQ(cli::parseArguments(words(line)).error, why) << line;
    EXPECT_EQ(cli::parseArguments(words("apply f --set a=1 --set a=2")).invocation.sets,
              (std::vector<std::string>{"a=1", "a=2"}));
    r = run({"upgrade", "shop", "--home", "C:\\a", "--home", "C:\\b", "--yes"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "velmora-cli: --home is given twice.\nRun \"velmora-cli help\" for the commands.\n");
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
    // A new home and a new JDK each check the class path: what both find is said and counted once.
    r = run({"set", "web", "tomcat.home=C:\\gone", "java.home=C:\\nowhere", "--yes"});
    const std::string notThere = "' but it does not exist. Tomcat may not start without it.\nWarning: '";
    EXPECT_EQ(r.err, "Warning: 'C:\\gone' is specified for 'Catalina Home" + notThere +
                         "c:\\gone\\bin\\bootstrap.jar' is specified for 'Classpath" + notThere +
                         "c:\\gone\\common\\lib' is specified for 'Classpath" + notThere +
                         "C:\\gone' is specified for 'Catalina Base" + notThere +
                         "C:\\gone\\conf\\server.xml' is specified for 'Tomcat Config File" + notThere +
                         "c:\\nowhere\\lib\\tools.jar' is specified for 'Classpath' but it does not exist. Tomcat "
                         "may not start without it.\nNothing was stored: 6 warning(s) came up; --force stores the "
                         "configuration all the same.\n");
    EXPECT_EQ(run({"set", "web", "java.home=C:\\nowhere", "--force", "-q"}).out, "");
    // With --force it is stored, and the warning still counts: exit 1, done, the warning listed.
    r = run({"set", "web", "java.home=C:\\nowhere", "description=forced", "--force", "--json"});
    EXPECT_EQ(r.code, 1);
    Json forced = Json::parse(r.out);
    EXPECT_EQ(forced["result"], "done");
    EXPECT_EQ(forced["exitCode"], 1);
    EXPECT_EQ(forced["warnings"], Json::parse(R"(["'c:\\nowhere\\lib\\tools.jar' is specified for 'Classpath' but it )"
                                              R"(does not exist. Tomcat may not start without it."])"));
    EXPECT_EQ(stored("web", "description"), "forced");
    r = run({"set", "web", "catalina.base=C:\\base", "--force"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err.substr(r.err.rfind("Nothing")),
              "Nothing was stored: the paths that follow the new Catalina home or "
              "base were not moved; --yes moves them.\n");

    // check: 4 with problems, the findings as data, the report where asked.
    os.files.addFolder("C:\\reports");
    r = run({"check", "web", "--json", "--report=C:\\reports\\web.html"});
    EXPECT_EQ(r.code, 4);
    const Json check = Json::parse(r.out);
    EXPECT_EQ(check["report"], "C:\\reports\\web.html");
    EXPECT_EQ(
        check["problems"][0],
        (Json{{"field", "java.home"},
              {"label", "Java home"},
              {"kind", "folder-missing"},
              {"path", "C:\\nowhere"},
              {"message",
               "'C:\\nowhere' is specified for 'Java home' but it does not exist. Tomcat may not start without it."}}));
    EXPECT_TRUE(os.files.fileExists("C:\\reports\\web.html"));
    // The report opens only when asked; --verbose prints the questions --yes answered.
    EXPECT_TRUE(os.processes.opened.empty());
    run({"check", "web", "--open"});
    EXPECT_EQ(os.processes.opened, (std::vector<std::string>{"C:\\tomcat\\bin\\quenby-web-debug.html"}));
    r = run({"set", "web", "catalina.base=C:\\base", "--yes", "--verbose"});
    EXPECT_NE(r.err.find("\nChange Detected: The Catalina base has changed. Move the Tomcat config file, the "
                         "System.out and System.err folders, the temp folder and the policy file that lie below the "
                         "old base along with it?\n  -> Yes\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(run({"set", "web", "catalina.base=C:\\base2", "--yes"}).err.find("-> Yes"), std::string::npos);
    // status: 6 and the way out when the service was removed outside Velmora.
    put("web", {RegistryWrite::numberValue("installedaservice", 1)});
    r = run({"status", "web"});
    EXPECT_EQ(r.code, 6);
    EXPECT_EQ(r.out, "web: gone: the service was removed outside Velmora; velmora-cli uninstall web clears its mark\n");
    put("it's", {RegistryWrite::numberValue("installedaservice", 1)});
    EXPECT_EQ(run({"status", "it's"}).code, 7);  // a name the service manager cannot be asked for

    // export and import: a refused import is 3, names its option and changes nothing.
    r = run({"export", "--all", "--out=C:\\backup.json"});
    EXPECT_EQ(r.out, "Exported 1 configuration(s) to C:\\backup.json.\n");
    // --json asks for JSON only as an option of its own: not after "--", not as another option's value.
    r = run({"show", "--", "--json"});
    EXPECT_EQ(r.code, 8);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "No configuration named \"--json\" is stored.\n");
    r = run({"export", "--all", "--out", "--json"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Exported 1 configuration(s) to --json.\n");
    r = run({"logs", "web", "--tail", "--json"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err,
              "velmora-cli: --tail needs a number of lines from 1 to 100000.\nRun \"velmora-cli help\" for the "
              "commands.\n");
    r = run({"import", "C:\\backup.json"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Import refused, nothing was changed. Configuration \"web\" is already stored and is replaced only "
              "on request. Give --replace to replace it.\n");
}

// Refusals: 2 wrong input, 3 a rule or a No, 1 tried and failed, 8 no such configuration; none stores anything.
TEST_F(CliTest, EveryCommandSpeaksJsonWhenAskedAndEachRefusalHasItsCode) {
    addTomcat("C:\\tomcat10", "10.1.34");
    addJdk("C:\\jdk-24", "24");  // refuses the security manager
    useHome("C:\\tomcat10", "C:\\jdk-24");
    os.files.addFile("C:\\bad.json", "{\"configurations\": [{\"name\": \"COM1\"}]}");
    // repoint: the JDK is there; import-setenv: there is no setenv.bat; apply: stored as the file gives it.
    // Each command line after its exit code, apart by "; ".
    const std::string table =
        "0 set shop description=Shop; 0 list --status; 0 show shop; 0 check shop; 0 install shop; "
        "0 start shop; 0 stop shop; 0 uninstall shop; 0 export --all --out C:\\all.json; 0 export shop; "
        "0 export shop SHOP --out C:\\twice.json; 1 start shop; 1 show shop --service; 0 delete shop; "
        "0 import C:\\twice.json; 0 delete shop; 0 import C:\\all.json; 0 help; 0 status shop --help; 0 --version; "
        "0 set fresh; 0 show fresh; "
        "2 bogus; 1 import C:\\none.json; 3 repoint shop; 3 import-setenv shop; "
        "0 apply C:\\all.json --check; 2 set shop max.heap.size=abc; 2 set shop installedaservice=1; "
        "2 logs shop --tail 0; 2 apply C:\\bad.json --set nothing; 3 set COM1 description=x; "
        "3 set shop java.security.manager=1; 3 import C:\\bad.json; 3 apply C:\\bad.json; 3 adopt nothing; "
        "8 install nothing; 8 check nothing";
    for (std::size_t at = 0, end = 0; end != std::string::npos; at = end + 2) {
        end = table.find("; ", at);
        const std::string entry = table.substr(at, end - at), line = entry.substr(2);
        const int code = entry[0] - '0';
        std::vector<std::string> arguments = words(line);
        arguments.push_back("--json");
        const std::size_t writes = os.registry.writeLog.size();
        const CliRun r = run(arguments);
        EXPECT_EQ(r.code, code) << line << ": " << r.out << r.err;
        Json parsed;
        EXPECT_NO_THROW(parsed = Json::parse(r.out)) << line << ": " << r.out;
        EXPECT_EQ(parsed.contains("error"), code != 0) << line;
        EXPECT_TRUE(code < 2 || os.registry.writeLog.size() == writes) << line;
    }
}

TEST_F(CliTest, ASecondApplyOfTheSameFileChangesNothingAndAChangeTouchesOnlyItsConfiguration) {
    writeDocument(R"({"name": "shop", "state": "running", "max.heap.size": 512},
                     {"name": "blog", "state": "running"}, {"name": "spare"})");
    CliRun r = apply();
    EXPECT_EQ(r.code, 10) << r.out << r.err;
    EXPECT_TRUE(running("shop"));
    EXPECT_TRUE(running("blog"));
    EXPECT_FALSE(serviceExists("spare"));
    EXPECT_EQ(storedList(), (std::vector<std::string>{"shop", "blog", "spare"}));
    EXPECT_EQ(storedNumber("shop", "max.heap.size"), 512u);

    const std::size_t writes = os.registry.writeLog.size(), runs = os.processes.ran.size();
    r = apply({"--json"});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(os.registry.writeLog.size(), writes);
    EXPECT_EQ(os.processes.ran.size(), runs);
    const auto report = nlohmann::json::parse(r.out);
    EXPECT_EQ(report["summary"], "3 configuration(s): 0 changed, 3 unchanged, 0 failed.");

    // A heap size changed on one running configuration: that one is changed where it stands, and restarted with --yes.
    writeDocument(R"({"name": "shop", "state": "running", "max.heap.size": 1024},
                     {"name": "blog", "state": "running"}, {"name": "spare"})");
    r = apply({"--check"});
    EXPECT_EQ(r.code, 10);
    EXPECT_EQ(r.out,
              "shop: would change; values: max.heap.size; would store, change the service in place (takes a restart)\n"
              "blog: unchanged\nspare: unchanged\n3 configuration(s): 1 would change, 2 unchanged, 0 failed.\n");
    EXPECT_EQ(os.registry.writeLog.size(), writes);
    EXPECT_EQ(os.processes.ran.size(), runs);
    r = apply();
    EXPECT_EQ(r.code, 10) << r.err;
    EXPECT_EQ(storedNumber("shop", "max.heap.size"), 1024u);
    EXPECT_TRUE(running("shop"));
    EXPECT_EQ(
        std::vector<std::string>(os.processes.ran.begin() + static_cast<std::ptrdiff_t>(runs), os.processes.ran.end()),
        (std::vector<std::string>{"net stop \"shop\"", "net start \"shop\""}));
    // A policy file while the security manager is off is given to no wrapper: stored alone, nothing restarted.
    os.files.addFile("C:\\p.policy", "grant {};");
    writeDocument(
        R"({"name": "shop", "state": "running", "max.heap.size": 1024, "java.security.policy": "C:\\p.policy"},
                     {"name": "blog", "state": "running"}, {"name": "spare"})");
    r = apply({"--check"});
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "shop: would change; values: java.security.policy; would store");
    const std::size_t ranBefore = os.processes.ran.size();
    ASSERT_EQ(apply().code, 10);
    EXPECT_EQ(os.processes.ran.size(), ranBefore);
    EXPECT_EQ(stored("shop", "java.security.policy"), "C:\\p.policy");

    // Another Catalina home takes a reinstall, whose stop and start --restart agrees to as well. Without it, the
    // check ends where the run would, at the question.
    addClassicLayout("C:\\tomcat-b");
    writeDocument(R"({"name": "shop", "state": "running", "max.heap.size": 1024},
                     {"name": "blog", "state": "running", "tomcat.home": "C:\\tomcat-b"}, {"name": "spare"})");
    r = run({"apply", "C:\\fleet.json", "--check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("blog: FAILED; values: tomcat.home, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("; would store, reinstall the service\n  Nothing would be changed: the change stops and "
                         "starts its running service, which is asked first, and the answer is No.\nspare: unchanged"),
              std::string::npos);
    EXPECT_NE(r.err.find("-> No (--restart or --yes answers Yes)"), std::string::npos) << r.err;
    EXPECT_EQ(run({"apply", "C:\\fleet.json"}).code, 1);
    EXPECT_EQ(os.services.services["blog"].binaryPath, "\"C:\\tomcat\\bin\\blog.exe\" -service blog");
    EXPECT_EQ(run({"apply", "C:\\fleet.json", "--check", "--restart"}).code, 10);
    r = run({"apply", "C:\\fleet.json", "--restart"});
    EXPECT_EQ(r.code, 10) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(running("blog"));
    EXPECT_EQ(os.services.services["blog"].binaryPath, "\"C:\\tomcat-b\\bin\\blog.exe\" -service blog");
    writeDocument(R"({"name": "shop", "state": "running", "max.heap.size": 1024},
                     {"name": "blog", "state": "running"}, {"name": "spare"})");
    ASSERT_EQ(run({"apply", "C:\\fleet.json", "--restart"}).code, 10);
    EXPECT_TRUE(running("blog"));
    EXPECT_EQ(os.services.services["blog"].binaryPath, "\"C:\\tomcat\\bin\\blog.exe\" -service blog");

    // A setting the service manager changes in place: no program runs. A running one stopped first, and then
    // changed without a restart; one deleted.
    const std::size_t before = os.processes.ran.size();
    writeDocument(R"({"name": "shop", "state": "stopped", "max.heap.size": 2048},
                     {"name": "blog", "state": "running", "service.startup": "manual"},
                     {"name": "spare", "state": "absent"})");
    r = apply();
    EXPECT_EQ(r.out,
              "shop: changed; values: max.heap.size; stop, store, change the service in place (takes a restart)\n"
              "blog: changed; values: service.startup; store, change the service in place\n"
              "spare: changed; delete\n3 configuration(s): 3 changed, 0 unchanged, 0 failed.\n");
    EXPECT_EQ(std::vector<std::string>(os.processes.ran.begin() + static_cast<std::ptrdiff_t>(before),
                                       os.processes.ran.end()),
              std::vector<std::string>{"net stop \"shop\""});
    EXPECT_FALSE(running("shop"));
    EXPECT_TRUE(serviceExists("shop"));
    EXPECT_EQ(os.services.services["blog"].configuration.startType, StartType::Manual);
    EXPECT_EQ(storedList(), (std::vector<std::string>{"shop", "blog"}));

    // Deleting an installed one removes its service, which only --yes agrees to: the check says so first.
    writeDocument(R"({"name": "shop", "state": "absent"})");
    r = run({"apply", "C:\\fleet.json", "--check"});
    EXPECT_EQ(r.out,
              "shop: FAILED; would uninstall and delete\n  Nothing would be changed: deleting it removes its service "
              "too, which is asked first, and the answer is No.\n1 configuration(s): 0 would change, 0 unchanged, 1 "
              "failed.\n");
    EXPECT_EQ(run({"apply", "C:\\fleet.json"}).code, 1);
    EXPECT_EQ(apply({"--check"}).out,
              "shop: would change; would uninstall and delete\n1 configuration(s): 1 would "
              "change, 0 unchanged, 0 failed.\n");
    EXPECT_TRUE(serviceExists("shop"));
    EXPECT_EQ(storedList(), (std::vector<std::string>{"shop", "blog"}));
    // A name stored before today's rule (a blank) can still be named for its removal, beside the others.
    put("Shop Test", {RegistryWrite::textValue("description", "old")});
    writeDocument(R"({"name": "Shop Test", "state": "absent"}, {"name": "blog", "state": "running",
                     "service.startup": "manual"})");
    r = apply();
    EXPECT_EQ(r.out,
              "Shop Test: changed; delete\nblog: unchanged\n2 configuration(s): 1 changed, 1 unchanged, 0 failed.\n")
        << r.err;
    EXPECT_EQ(stored("Shop Test", "description"), "<absent>");
    writeDocument(R"({"name": "Shop Test", "state": "stored"})");
    EXPECT_EQ(apply().code, 3);

    // Registered again past Velmora and stopped: the check fails where start and delete would, in their words.
    os.services.services["blog"] = {"\"C:\\other\\blog.exe\" //RS//blog", false, {}};
    for (const char* state : {"running", "absent"}) {
        writeDocument(R"({"name": "blog", "service.startup": "manual", "state": ")" + std::string(state) + "\"}");
        for (const bool checkOnly : {true, false}) {
            const CliRun one = checkOnly ? apply({"--check", "--json"}) : apply({"--json"});
            EXPECT_EQ(one.code, 1) << state << checkOnly;
            const auto entry = nlohmann::json::parse(one.out)["configurations"][0];
            EXPECT_EQ(entry.value("error", std::string()),
                      "The service \"blog\" is not the one Velmora installed for this configuration (it now runs "
                      "\"C:\\other\\blog.exe\" //RS//blog), so Velmora neither stops, replaces nor removes it.")
                << state << checkOnly;
        }
    }
    EXPECT_EQ(storedList(), std::vector<std::string>{"shop"});
    EXPECT_TRUE(serviceExists("blog"));
}

// The window's open configuration while velmora-cli works beside it, and a service removed outside both.
TEST_F(CliTest, EachCommandSeesWhatTheOneBeforeLeftAndAServiceRemovedElsewhereIsInstalledAgain) {
    installNew("shop");
    ASSERT_EQ(run({"uninstall", "shop", "--yes"}).code, 0);
    ASSERT_EQ(run({"install", "shop", "--yes"}).code, 0);  // a new install mark
    EXPECT_TRUE(session.uninstall().done());
    EXPECT_FALSE(serviceExists("shop"));
    // Edits not saved would reach the store but not the service.
    ASSERT_EQ(run({"install", "shop", "--yes"}).code, 0);
    editing.edit(Field::MaxHeapSize, "777");
    EXPECT_EQ(session.repoint("C:\\jdk").summary,
              "The configuration \"shop\" has changes that are not saved: save them first, or open it again. Nothing "
              "was changed.");

    os.services.services.erase("shop");
    EXPECT_EQ(run({"install", "shop", "--yes"}).code, 0);
    EXPECT_TRUE(serviceExists("shop"));
    os.services.services.erase("shop");
    writeDocument(R"({"name": "shop", "state": "installed", "additional.jvm.options": ["-Da=1"]})");
    EXPECT_EQ(apply({"--set", "additional.jvm.options=-Db=2"}).out,
              "shop: changed; values: additional.jvm.options; store, reinstall the service\n"
              "1 configuration(s): 1 changed, 0 unchanged, 0 failed.\n");
    EXPECT_TRUE(serviceExists("shop"));
    ASSERT_TRUE(session.open("shop").done());
    EXPECT_EQ(session.configuration().additionalJvmOptions, std::vector<std::string>{"-Db=2"});
    // Only stored, the check says what the save does: it installs the service again.
    os.services.services.erase("shop");
    writeDocument(R"({"name": "shop", "logs.keep.days": 7})");
    EXPECT_EQ(run({"apply", "C:\\fleet.json", "--check"}).out,
              "shop: would change; values: additional.jvm.options, logs.keep.days; would store, reinstall the "
              "service\n1 configuration(s): 1 would change, 0 unchanged, 0 failed.\n");
    EXPECT_EQ(apply().out,
              "shop: changed; values: additional.jvm.options, logs.keep.days; store, reinstall the service\n"
              "1 configuration(s): 1 changed, 0 unchanged, 0 failed.\n");
    EXPECT_TRUE(serviceExists("shop"));
    // Nothing to store, and installed again all the same.
    os.services.services.erase("shop");
    ASSERT_EQ(run({"export", "shop", "--out", "C:\\shop.json"}).code, 0);
    auto document = nlohmann::json::parse(*os.files.readBytes("C:\\shop.json", 1 << 20));
    document["configurations"][0]["state"] = "installed";
    os.files.addFile("C:\\fleet.json", document.dump());
    EXPECT_EQ(apply().out, "shop: changed; install\n1 configuration(s): 1 changed, 0 unchanged, 0 failed.\n");
    EXPECT_TRUE(serviceExists("shop"));
    // Stored, then its install declined for what the check found: changed all the same. The check foresees it.
    writeDocument(R"({"name": "web", "state": "installed", "java.io.tmpdir": "C:\\nowhere"})");
    const CliRun checked = run({"apply", "C:\\fleet.json", "--check", "--json"});
    EXPECT_EQ(nlohmann::json::parse(checked.out)["configurations"][0]["error"],
              "The configuration would be saved and its service not installed: the check before it finds problems "
              "(velmora-cli check shows them) and asks whether to go on, and the answer is No.");
    EXPECT_EQ(nlohmann::json::parse(checked.out)["configurations"][0]["changed"], true);
    // A new one lists no field a script could take for one of its own: it says that it is new.
    EXPECT_EQ(nlohmann::json::parse(checked.out)["configurations"][0]["new"], true);
    EXPECT_TRUE(nlohmann::json::parse(checked.out)["configurations"][0]["changedFields"].empty());
    EXPECT_EQ(apply({"--check"}).code, 10);
    EXPECT_FALSE(os.files.folderExists("C:\\nowhere"));
    const CliRun r = run({"apply", "C:\\fleet.json", "--json"});
    EXPECT_EQ(nlohmann::json::parse(r.out)["configurations"][0]["changed"], true) << r.out;
    // Installed, then removed outside Velmora with its temp folder: the reinstall's check asks before anything
    // is stored, in the check as in the run.
    ASSERT_EQ(apply().code, 10);
    os.services.services.erase("web");
    os.files.folders.erase("C:\\nowhere");
    for (bool checkOnly : {true, false}) {
        const CliRun again = run(checkOnly ? std::vector<std::string>{"apply", "C:\\fleet.json", "--check", "--json"}
                                           : std::vector<std::string>{"apply", "C:\\fleet.json", "--json"});
        EXPECT_EQ(nlohmann::json::parse(again.out)["configurations"][0]["changed"], false) << again.out;
    }
}

TEST_F(CliTest, AFailureStopsOnlyItsConfigurationAndTheNextRunGoesOnFromThere) {
    // An entry a save would refuse refuses the whole document first: shop, before it, is not stored either.
    writeDocument(R"({"name": "shop", "max.heap.size": 2048}, {"name": "blog", "init.heap.size": 1024,
                      "max.heap.size": 512})");
    CliRun refused = apply();
    EXPECT_EQ(refused.code, 3);
    EXPECT_EQ(refused.err,
              "Nothing was changed: Configuration \"blog\": The initial heap size (1024 MB) is larger than the "
              "maximum heap size (512 MB): the JVM would not start. Make the initial heap size no larger than the "
              "maximum.\n");
    EXPECT_TRUE(storedList().empty());
    // This server's own values count as they are applied.
    refused = apply({"--set", "max.heap.size=4096", "--check"});
    EXPECT_EQ(refused.code, 10) << refused.out << refused.err;
    // --check changes nothing, --yes or not: a folder a value names is not made.
    refused = apply({"--set", "max.heap.size=4096", "--set", "system.out=C:\\newlogs", "--check"});
    EXPECT_EQ(refused.code, 10) << refused.out << refused.err;
    EXPECT_FALSE(os.files.folderExists("C:\\newlogs"));
    EXPECT_NE(refused.err.find("-> No (Yes in the run; --check makes no folder)"), std::string::npos) << refused.err;
    // Without --yes the folder is not made: the value is refused, as set refuses it, and nothing is stored. Any
    // other warning of a value fails the check as it fails the run, --yes or not, and takes back the folders
    // --yes made for the others.
    writeDocument(R"({"name": "shop"})");
    for (const std::vector<std::string>& more :
         {std::vector<std::string>{"--set", "catalina.base=D:\\sites\\shop", "--yes"},
          {"--set", "system.out=C:\\newlogs"},
          {"--set", "system.out=C:\\newlogs\\shop", "--set", "catalina.base=D:\\sites\\shop", "--yes"}}) {
        for (const bool checkOnly : {true, false}) {
            std::vector<std::string> arguments = {"apply", "C:\\fleet.json"};
            arguments.insert(arguments.end(), more.begin(), more.end());
            if (checkOnly) arguments.push_back("--check");
            const CliRun r = run(arguments);
            EXPECT_EQ(r.code, 1) << more[1] << checkOnly;
            EXPECT_NE(r.out.find(": FAILED\n  --set: "), std::string::npos) << more[1] << checkOnly << r.out;
        }
    }
    EXPECT_FALSE(os.files.folderExists("C:\\newlogs"));
    EXPECT_TRUE(storedList().empty());
    EXPECT_EQ(nlohmann::json::parse(run({"apply", "C:\\fleet.json", "--set", "system.out=C:\\newlogs", "--json"})
                                        .out)["configurations"][0]["new"],
              true);
    writeDocument(R"({"name": "shop", "state": "running"}, {"name": "blog", "state": "stopped"})");
    // shop's wrapper cannot register it this time.
    const auto wrappers = os.processes.onRun;
    os.processes.onRun = [&](const std::string& command) {
        if (command.find(" -install shop ") == std::string::npos) wrappers(command);
    };
    CliRun r = apply({"--json"});
    EXPECT_EQ(r.code, 1);
    auto report = nlohmann::json::parse(r.out);
    EXPECT_EQ(report["configurations"][0]["failed"], true);
    EXPECT_EQ(report["configurations"][0]["actions"], nlohmann::json::parse(R"(["store, install"])"));
    // What it changed before it failed: the values are stored.
    EXPECT_EQ(report["configurations"][0]["changed"], true);
    EXPECT_EQ(report["configurations"][0]["stepsDone"], nlohmann::json::parse(R"(["save", "copy the wrapper"])"));
    EXPECT_EQ(report["configurations"][1]["failed"], false);
    // A configuration that failed counts as failed, whatever it did before; the run as a whole changed something.
    EXPECT_EQ(report["summary"], "2 configuration(s): 1 changed, 0 unchanged, 1 failed.");
    EXPECT_EQ(report["changed"], true);
    EXPECT_TRUE(serviceExists("blog"));
    EXPECT_FALSE(running("blog"));
    EXPECT_FALSE(serviceExists("shop"));

    // Registered, but its wrapper's values refused: the step that failed is not done, what undid it is.
    os.processes.onRun = wrappers;
    os.registry.readOnlyKeys.insert("SYSTEM\\CurrentControlSet\\Services\\shop\\Parameters");
    report = nlohmann::json::parse(apply({"--json"}).out);
    EXPECT_EQ(report["configurations"][0]["stepsDone"], nlohmann::json::parse(R"(["save", "copy the wrapper",
                "install :C:\\tomcat\\bin\\shop.exe -install shop C:\\jdk\\jre\\bin\\server\\jvm.dll -start main",
                "quote the program line", "stop", "uninstall :C:\\tomcat\\bin\\shop.exe -uninstall shop",
                "delete the wrapper copy", "mark not installed"])"));
    EXPECT_FALSE(serviceExists("shop"));
    // In text too, what it changed before it failed.
    r = apply();
    EXPECT_NE(r.out.find("\n  Done before it failed: save, copy the wrapper, install :"), std::string::npos) << r.out;
    // An undo that fails at a step of its own: that step is not done either.
    os.processes.onRun = [&](const std::string& command) {
        if (command.find(" -uninstall shop") == std::string::npos) wrappers(command);
    };
    os.processes.exitCodes["C:\\tomcat\\bin\\shop.exe -uninstall shop"] = 1;
    report = nlohmann::json::parse(apply({"--json"}).out);
    EXPECT_EQ(report["configurations"][0]["stepsDone"], nlohmann::json::parse(R"(["save", "copy the wrapper",
                "install :C:\\tomcat\\bin\\shop.exe -install shop C:\\jdk\\jre\\bin\\server\\jvm.dll -start main",
                "quote the program line", "stop"])"));
    os.processes.exitCodes.clear();
    os.processes.onRun = wrappers;
    os.services.services.erase("shop");  // as an administrator would clear up what the failed undo left
    os.files.files.erase("C:\\tomcat\\bin\\shop.exe");
    os.registry.readOnlyKeys.clear();

    r = apply({"--json"});
    EXPECT_EQ(r.code, 10) << r.out;
    report = nlohmann::json::parse(r.out);
    EXPECT_EQ(report["configurations"][0]["actions"], nlohmann::json::parse(R"(["install", "start"])"));
    EXPECT_EQ(report["configurations"][1]["changed"], false);
    EXPECT_TRUE(running("shop"));

    // A named account: refused without its password (nothing changed), then installed with the password from
    // standard input, and a second run asks for none.
    os.services.accounts.insert("CORP\\tomcat");
    os.accounts.serviceLogon.insert("CORP\\tomcat");
    writeDocument(R"({"name": "acct", "state": "installed", "service.account": "CORP\\tomcat"})");
    r = apply({"--json"});
    EXPECT_EQ(r.code, 1);
    report = nlohmann::json::parse(r.out);
    EXPECT_EQ(report["configurations"][0]["changed"], false);
    EXPECT_EQ(report["changed"], false);
    EXPECT_EQ(storedList(), (std::vector<std::string>{"blog", "shop"}));
    standardInput = "CORP\\tomcat=pa55\r\nCORP\\other=x\r\n";
    r = apply({"--password-stdin"});
    EXPECT_EQ(r.code, 10) << r.out << r.err;
    EXPECT_EQ(os.services.services["acct"].configuration.account, "CORP\\tomcat");
    EXPECT_EQ(apply({"--password-stdin"}).code, 0);
    passwordPrompts.clear();
    EXPECT_EQ(apply().code, 0);
    EXPECT_TRUE(passwordPrompts.empty());
    // A password given alone is not shown back, not even in JSON, whatever its bytes.
    standardInput = "CORP\\tomcat=pa55\nWinter-2026\n";
    r = apply({"--password-stdin"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "--password-stdin: expected one ACCOUNT=password line per named account; line 2 is not one.\n");
    standardInput = "p\xE4ss\n";
    r = apply({"--password-stdin", "--json"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(nlohmann::json::parse(r.out)["error"]["message"],
              "--password-stdin: the standard input is not UTF-8 (in Windows PowerShell, set $OutputEncoding = "
              "[Text.UTF8Encoding]::new($false) first).");

    // What an entry leaves out is what an import gives it, whatever the entry before it chose.
    os.files.addFile("C:\\jdk\\jre\\bin\\client\\jvm.dll", "client");
    writeDocument(R"({"name": "c1", "jvm": "client"}, {"name": "c2"})");
    ASSERT_EQ(apply().code, 10);
    EXPECT_EQ(stored("c1", "jvm"), "client");
    EXPECT_EQ(stored("c2", "jvm"), "server");

    // A service whose state cannot be asked is neither running nor stopped: its entry fails, the service as it is.
    writeDocument(R"({"name": "blog", "state": "stopped"})");
    os.services.stateFailure = Failure{"QueryServiceStatusEx", "Access is denied.", 5};
    r = apply();
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.substr(0, r.out.find("\n1 configuration")),
              "blog: FAILED\n  The state of the service \"blog\" could not be determined (Access is denied.): apply "
              "leaves it as it is.");
    os.services.stateFailure.reset();

    // A document with one bad entry changes nothing at all.
    writeDocument(R"({"name": "shop", "state": "gone"})");
    r = apply();
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Nothing was changed: Configuration \"shop\", field \"state\": expected one of absent, stored, "
              "installed, running, stopped.\n");
}
