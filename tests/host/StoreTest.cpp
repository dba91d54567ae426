// The store as the registry holds it, values another program left, export and import.
#include <chrono>

#include "app/Imports.h"
#include "config/ConfigurationDocument.h"
#include "config/ConfigurationStore.h"
#include "config/ConfigurationTransfer.h"
#include "config/Encodings.h"
#include "config/NameList.h"
#include "platform/Text.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;
using namespace std::string_literals;

TEST_F(SessionTest, ASaveWritesEveryValueWithItsTypeOverWhateverTheKeyHeld) {
    saveNew("svc");
    put("svc", {RegistryWrite::textValue("stray", "x")});
    editing.edit(Field::UseSecurityManager, "1");
    editing.edit(Field::MaxHeapSize, "4096");
    // A size box takes whole numbers in range only, and says so for anything else.
    EXPECT_EQ(editing.edit(Field::InitialHeapSize, "128.5").result, Outcome::Result::Refused);
    EXPECT_EQ(lastOf(ui.warnings),
              "The value \"128.5\" was not stored in Initial Heap Size (MB): expected a whole number from 0 to 32767 "
              "(0 or nothing: no size).");
    // A control character would hide what is stored: refused, and shown escaped.
    EXPECT_EQ(editing.edit(Field::Description, "safe\x1B[2K\rx").summary,
              "The value \"safe\\x1B[2K\\x0Dx\" was not stored in Description: a text must not hold a control "
              "character or a bidirectional override (it holds U+001B).");
    EXPECT_EQ(editing.edit(Field::ThreadStackSize, "32768").result, Outcome::Result::Refused);
    // A home found from Velmora's own folder is not the service's: a relative one is refused, its paths stay.
    const Configuration before = editing.configuration();
    EXPECT_EQ(editing.edit(Field::CatalinaHome, "tomcat").result, Outcome::Result::Refused);
    EXPECT_EQ(lastOf(ui.warnings),
              "The value \"tomcat\" was not stored in Catalina Home: expected a full path (C:\\... or "
              "\\\\server\\share\\...): the service would look for a relative one from its own folder.");
    EXPECT_EQ(editing.configuration().catalinaHome, before.catalinaHome);
    EXPECT_EQ(editing.configuration().systemOut, before.systemOut);
    EXPECT_EQ(editing.edit(Field::InitialHeapSize, "700").result, Outcome::Result::Done);
    editing.addOption("-Dx=y");
    // A save whose list cannot be written leaves the configuration as it was, the value it drops included.
    os.registry.valuesBeforeFailure = storeWrites(editing.configuration(), false, {}).size();
    EXPECT_EQ(session.save().result, Outcome::Result::Failed);
    os.registry.valuesBeforeFailure.reset();
    EXPECT_EQ(stored("svc", "stray"), "x");
    EXPECT_EQ(storedNumber("svc", "max.heap.size"), 0u);
    EXPECT_EQ(storedNumber("svc", "java.security.manager"), 0u);
    os.registry.writeLog.clear();
    ASSERT_TRUE(session.save().done());

    std::vector<std::string> order;
    for (const auto& write : os.registry.writeLog) order.push_back(write.substr(write.find('|') + 1));
    EXPECT_EQ(
        order,
        words("tomcat.home system.out system.err tomcat.config catalina.base java.security.manager "
              "java.security.policy jvm java.home java.class.path java.io.tmpdir init.heap.size max.heap.size "
              "description reduce.os.signals thread.stack.size additional.jvm.options service.startup "
              "service.account service.depends.on service.stop.timeout service.recovery.first "
              "service.recovery.second service.recovery.later service.recovery.reset service.recovery.on.error.exit "
              "service.display.name service.environment service.ready.url service.start.timeout "
              "logs.keep.days logs.max.mb "
              "installedaservice installed.program.line installed.mark installed.program.digest "
              "installed.settings.applied installed.adopted created.folders services"));
    auto raw = [&](const std::string& value) { return *os.registry.read(kLocalMachine, kStore + "\\svc", value); };
    EXPECT_EQ(raw("max.heap.size").type, kRegDword);
    EXPECT_EQ(raw("max.heap.size").number, 4096u);
    EXPECT_EQ(raw("jvm").type, kRegSz);
    EXPECT_EQ(raw("jvm").text, "server\0"s);  // with its terminating NUL, as RegSetValueEx asks
    EXPECT_EQ(raw("additional.jvm.options").type, kRegMultiSz);
    EXPECT_EQ(raw("additional.jvm.options").text, "-Dx=y\0"s);
    EXPECT_FALSE(os.registry.read(kLocalMachine, kStore + "\\svc", "stray"));

    // No options: a list of no bytes, which loads as none.
    editing.takeOption(0);
    session.save();
    EXPECT_EQ(raw("additional.jvm.options").text, "");
    session.open("svc");
    EXPECT_TRUE(session.configuration().additionalJvmOptions.empty());
}

TEST_F(SessionTest, TheListKeepsTheOrderOfSavesAndOneSpellingPerKey) {
    os.registry.write(kLocalMachine, kStore, {RegistryWrite::listValue("services", {"ab", "a"})});
    os.registry.setRaw(kLocalMachine, kStore, "services", {kRegMultiSz, "\0ab\0\0a\0"s, 0});
    saveNew("a");
    EXPECT_EQ(storedList(), (std::vector<std::string>{"ab", "a"}));
    saveNew("zz");
    session.open("a");
    session.save();
    EXPECT_EQ(storedList(), (std::vector<std::string>{"ab", "zz", "a"}));

    // Another spelling of a stored name asks first, and Yes takes over the one key.
    ui.answers[QuestionKind::ReplaceStored] = Answer::No;
    session.newConfiguration();
    editing.edit(Field::ServiceName, "Zz");
    EXPECT_EQ(session.save().result, Outcome::Result::Declined);
    EXPECT_EQ(lastOf(ui.asked).text, "A configuration named \"zz\" is already stored. Replace it with this one?");
    EXPECT_EQ(storedList(), (std::vector<std::string>{"ab", "zz", "a"}));
    ui.answers.clear();
    saveNew("ZZ");
    EXPECT_EQ(storedList(), (std::vector<std::string>{"ab", "a", "ZZ"}));
    // A key the list does not name is stored all the same.
    put("hidden", {RegistryWrite::textValue("description", "x")});
    ui.forget();
    saveNew("HIDDEN");
    EXPECT_EQ(ui.askedKinds(), std::vector<QuestionKind>{QuestionKind::ReplaceStored});

    session.open("a");
    session.remove();
    EXPECT_EQ(storedList(), (std::vector<std::string>{"ab", "ZZ", "HIDDEN"}));
    EXPECT_FALSE(os.registry.keyExists(kLocalMachine, kStore + "\\a"));

    // A listed name no key can carry leaves the list, and nothing else is touched.
    os.registry.write(kLocalMachine, kStore, {RegistryWrite::listValue("services", {"ab", "x\\ab"})});
    editing.edit(Field::ServiceName, "x\\ab");
    EXPECT_TRUE(session.remove().done());
    EXPECT_EQ(storedList(), std::vector<std::string>{"ab"});
    EXPECT_TRUE(os.registry.keyExists(kLocalMachine, kStore + "\\ZZ"));

    // A list in a type no list is written in: the keys, in their first spelling, are the list, and a save writes
    // it whole again. "ab" had only ever been listed.
    os.registry.setRaw(kLocalMachine, kStore, "services", {kRegBinary, "\x01\x02"s, 0});
    EXPECT_EQ(program.store.names(), (std::vector<std::string>{"hidden", "zz"}));
    saveNew("new");
    EXPECT_EQ(os.registry.read(kLocalMachine, kStore, "services")->type, kRegMultiSz);
    EXPECT_EQ(storedList(), (std::vector<std::string>{"hidden", "zz", "new"}));
}

TEST_F(SessionTest, AnOlderVelmorasStoreInThe32BitViewIsReadAndTakenInWholeBeforeTheFirstWrite) {
    // As 64-bit Windows keeps what a 32-bit program wrote to HKLM\SOFTWARE\velmoraconfigs.
    const std::string older = "SOFTWARE\\WOW6432Node\\velmoraconfigs";
    os.registry.write(
        kLocalMachine, older + "\\legacy",
        {RegistryWrite::textValue("tomcat.home", "C:\\tomcat5"), RegistryWrite::numberValue("max.heap.size", 512),
         RegistryWrite::listValue("additional.jvm.options", {"-Da=1", "-Db=2"}),
         RegistryWrite::textValue("stray", "kept as it was")});
    os.registry.write(kLocalMachine, older + "\\Both", {RegistryWrite::textValue("tomcat.home", "C:\\older")});
    os.registry.write(kLocalMachine, older,
                      {RegistryWrite::listValue("services", {"legacy", "Both", "legacy", "gone"})});
    os.registry.write(kLocalMachine, older + "\\gone", {RegistryWrite::textValue("tomcat.home", "C:\\gone")});
    os.registry.write(kLocalMachine, kStore, {RegistryWrite::listValue("services", {"both"})});
    os.registry.write(kLocalMachine, kStore + "\\both", {RegistryWrite::textValue("tomcat.home", "C:\\tomcat")});
    const auto olderValues = os.registry.contents(kLocalMachine, older + "\\legacy")->valueNames;

    // Read along with this store: its names after this store's, a name this store holds in any spelling once.
    EXPECT_EQ(runCli(os, {"list"}).out, "both\nlegacy\ngone\n");
    EXPECT_EQ(storedList(), std::vector<std::string>{"both"});  // nothing written yet
    ASSERT_TRUE(session.open("legacy").done());
    EXPECT_EQ(editing.configuration().catalinaHome, "C:\\tomcat5");
    EXPECT_EQ(editing.configuration().maxHeapSize, 512u);
    EXPECT_EQ(editing.configuration().additionalJvmOptions, (std::vector<std::string>{"-Da=1", "-Db=2"}));
    ASSERT_TRUE(session.open("both").done());
    EXPECT_EQ(editing.configuration().catalinaHome, "C:\\tomcat");

    // A store that cannot take it in writes nothing else either, and still reads it.
    os.registry.readOnlyKeys.insert(kStore);
    session.newConfiguration();
    editing.edit(Field::ServiceName, "fresh");
    EXPECT_EQ(session.save().result, Outcome::Result::Failed);
    os.registry.readOnlyKeys.clear();
    EXPECT_EQ(storedList(), std::vector<std::string>{"both"});
    EXPECT_EQ(runCli(os, {"list"}).out, "both\nlegacy\ngone\n");

    // The first write takes it in whole, exactly as it is there, here another Velmora's delete; the older
    // store stays as it was. This one, which read it before, does not take in again what that one deleted.
    ASSERT_EQ(runCli(os, {"delete", "gone"}).code, 0);
    ASSERT_TRUE(session.save().done());
    EXPECT_EQ(storedList(), (std::vector<std::string>{"both", "legacy", "fresh"}));
    EXPECT_EQ(stored("legacy", "stray"), "kept as it was");
    EXPECT_EQ(storedNumber("legacy", "max.heap.size"), 512u);
    EXPECT_EQ(stored("both", "tomcat.home"), "C:\\tomcat");
    EXPECT_EQ(os.registry.contents(kLocalMachine, older + "\\legacy")->valueNames, olderValues);
    // Once taken in it is not read again: a configuration deleted here does not come back from there.
    ASSERT_TRUE(session.open("legacy").done());
    ASSERT_TRUE(session.remove().done());
    EXPECT_EQ(runCli(os, {"list"}).out, "both\nfresh\n");
    EXPECT_TRUE(os.registry.keyExists(kLocalMachine, older + "\\legacy"));

    // An older store whose names this one all lists is taken in all the same: what is deleted here stays deleted.
    os.registry.deleteValue(kLocalMachine, kStore, "older.store.taken.in");
    os.registry.write(kLocalMachine, older, {RegistryWrite::listValue("services", {"Both"})});
    ASSERT_EQ(runCli(os, {"delete", "both"}).code, 0);
    EXPECT_EQ(runCli(os, {"list"}).out, "fresh\n");
    // One whose key cannot be read is not taken in as empty: nothing is written, and no service touched, until it
    // can be.
    installNew("svc");
    os.registry.deleteValue(kLocalMachine, kStore, "older.store.taken.in");
    os.registry.write(kLocalMachine, older, {RegistryWrite::listValue("services", {"legacy"})});
    os.registry.unreadableKeys.insert(older + "\\legacy");
    const CliRun refused = runCli(os, {"set", "fresh", "max.heap.size=600"});
    EXPECT_NE(refused.err.find("the configuration \"legacy\" of an older Velmora "
                               "(HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\velmoraconfigs\\legacy) could not be "
                               "read. Let administrators read that key, or delete it."),
              std::string::npos)
        << refused.err;
    EXPECT_NE(runCli(os, {"uninstall", "svc", "--yes"}).code, 0);
    EXPECT_TRUE(serviceExists("svc"));
    EXPECT_EQ(storedList(), (std::vector<std::string>{"fresh", "svc"}));
    os.registry.unreadableKeys.clear();
    ASSERT_EQ(runCli(os, {"set", "fresh", "max.heap.size=600"}).code, 0);
    EXPECT_EQ(storedList(), (std::vector<std::string>{"svc", "legacy", "fresh"}));  // a save lists its name last
    EXPECT_EQ(stored("legacy", "tomcat.home"), "C:\\tomcat5");
}

TEST_F(SessionTest, StoredValuesLoadAsTheirSettersLeaveThem) {
    put("svc",
        {RegistryWrite::textValue("tomcat.home", "C:\\tc"), RegistryWrite::textValue("catalina.base", "C:\\tc\\b1"),
         RegistryWrite::textValue("java.security.policy", "C:\\stored\\my.policy"),
         RegistryWrite::numberValue("init.heap.size", 70000), RegistryWrite::numberValue("max.heap.size", 40000),
         RegistryWrite::numberValue("java.security.manager", 0), RegistryWrite::numberValue("reduce.os.signals", 5),
         RegistryWrite::textValue("jvm", "Server"), RegistryWrite::textValue("service.startup", "sometimes"),
         RegistryWrite::numberValue("service.recovery.first", 0xFFFFFFFFu)});
    os.registry.setRaw(kLocalMachine, kStore + "\\svc", "description", {kRegSz, "with its NUL\0"s, 0});
    session.open("svc");
    const Configuration& c = session.configuration();
    EXPECT_EQ(c.catalinaHome, "C:\\tc");
    EXPECT_EQ(c.catalinaBase, "C:\\tc\\b1");
    EXPECT_EQ(c.systemErr, "");  // not stored: empty
    // The stored policy is kept with the security manager off; the check box only decides whether it is passed.
    EXPECT_EQ(c.securityPolicyFile, "C:\\stored\\my.policy");
    EXPECT_EQ(c.initialHeapSize, 4464);                // the low 16 bits
    EXPECT_EQ(c.maxHeapSize, 0);                       // negative in 16 bits
    EXPECT_FALSE(c.reduceOsSignals);                   // only 1 is a ticked box
    EXPECT_EQ(c.jvmType, JvmType::Client);             // only exactly "server" is the server JVM
    EXPECT_EQ(c.startupType, StartupType::Automatic);  // a word it does not know opens as the default, and says so
    EXPECT_EQ(c.description, "with its NUL");
    EXPECT_EQ(c.recoveryFirst, 60u);  // seconds that would overflow as milliseconds open as the default too
    EXPECT_EQ(ui.warnings,
              (std::vector<std::string>{"The value \"sometimes\" of \"service.startup\" of the configuration "
                                        "\"svc\" is not one Velmora knows, so it opens as auto.",
                                        "The value \"4294967295\" of \"service.recovery.first\" of the "
                                        "configuration \"svc\" is not one Velmora knows, so it opens as 60."}));

    // A name that is listed but has no key opens empty, with a warning.
    os.registry.write(kLocalMachine, kStore, {RegistryWrite::listValue("services", {"svc", "gone", "old one"})});
    os.registry.write(kLocalMachine, kStore + "\\old one", {RegistryWrite::textValue("description", "a blank")});
    session.open("gone");
    EXPECT_EQ(lastOf(ui.warnings),
              "The configuration \"gone\" is listed, but its values are missing from the registry. It "
              "opens with empty values; use File > Delete to take it off the list.");
    EXPECT_EQ(session.configuration().securityPolicyFile, "");
    EXPECT_FALSE(session.configuration().reduceOsSignals);
    // An export says the same, leaves out what holds no values, and says what an import of it would refuse.
    const CliRun exported = runCli(os, {"export", "--all", "--out", "C:\\all.json"});
    EXPECT_EQ(exported.code, 1);
    EXPECT_EQ(exported.out, "Exported 2 configuration(s) to C:\\all.json.\n");
    EXPECT_EQ(exported.err,
              "Warning: The value \"sometimes\" of \"service.startup\" of the configuration \"svc\" is not one "
              "Velmora knows: it is exported as auto.\nWarning: The value \"4294967295\" of "
              "\"service.recovery.first\" of the configuration \"svc\" is not one Velmora knows: it is exported as "
              "60.\nWarning: The configuration \"gone\" is listed, but its values are missing from the registry: it "
              "was left out of the export.\nWarning: An import of this export would be refused: Configuration \"old "
              "one\", field \"name\": The Service Name \"old one\" cannot be used: a name must not contain blanks "
              "(the service wrapper's command line cannot carry them). Enter another name and try again.\n");
}

namespace {

std::string documentOf(const std::string& entries) { return "{\"configurations\": [" + entries + "]}"; }

std::string entry(const std::string& name, const std::string& more = "") {
    return "{\"name\": \"" + name + "\"" + (more.empty() ? "" : ", " + more) + "}";
}

class TransferTest : public SessionTest {
protected:
    ConfigurationTransfer& transfer = program.transfer;
    // Why an import is refused, after the words every refusal starts with.
    std::string refusal(const std::string& document, bool replace = false) {
        const std::string error = transfer.importDocument(document, replace).error;
        const std::string prefix = "Import refused, nothing was changed. ";
        if (error.empty()) return error;
        EXPECT_EQ(error.substr(0, prefix.size()), prefix);
        return error.substr(prefix.size());
    }
};

}  // namespace

TEST_F(TransferTest, AnExportImportsBackToTheSameValuesAndWhatAnEntryLeavesOutIsANewConfigurations) {
    saveNew("shop");
    editing.edit(Field::Description, "Tömcat 日本");
    editing.edit(Field::MaxHeapSize, "512");
    editing.edit(Field::ReduceOsSignals, "0");
    editing.addOption("-Dshop.env=prod");
    session.save();
    const auto exported = transfer.exportNamed({"SHOP"});
    ASSERT_EQ(exported.error, "");
    EXPECT_NE(exported.document.find("      \"description\": \"Tömcat 日本\",\n"), std::string::npos)
        << exported.document;
    EXPECT_NE(exported.document.find("\"additional.jvm.options\": [\n        \"-Dshop.env=prod\"\n      ]"),
              std::string::npos);

    const Configuration before = session.configuration();
    session.remove();
    EXPECT_EQ(refusal(exported.document), "");
    session.open("shop");
    EXPECT_EQ(session.configuration(), before);
    EXPECT_EQ(storedNumber("shop", "installedaservice"), 0u);

    // What an entry leaves out takes a new configuration's value.
    EXPECT_EQ(refusal(documentOf(entry("minimal") + "," +
                                 entry("moved", "\"tomcat.home\": \"D:\\\\tc\", \"system.err\": \"E:\\\\err\""))),
              "");
    session.open("minimal");
    Configuration expected = session.configuration();
    session.newConfiguration();
    expected.serviceName = "SetInstanceName";
    EXPECT_EQ(session.configuration(), expected);
    session.open("moved");
    const Configuration& moved = session.configuration();
    EXPECT_EQ(moved.catalinaBase, "D:\\tc");
    EXPECT_EQ(moved.systemOut, "D:\\tc\\logs");
    EXPECT_EQ(moved.systemErr, "E:\\err");
    EXPECT_EQ(moved.classPath, "D:\\tc\\bin\\bootstrap.jar;D:\\tc\\common\\lib;C:\\jdk\\lib\\tools.jar");
}

TEST_F(TransferTest, AnyProblemRefusesTheWholeFileAndAnEarlyEndLeavesNoKeyOffTheList) {
    EXPECT_EQ(refusal("{\"configurations\": [}"),
              "The file is not well-formed JSON: parse error at line 1, "
              "column 21: syntax error while parsing value - unexpected '}'; "
              "expected '[', '{', or a literal");
    EXPECT_EQ(refusal("{\"configurations\": [{\"name\": \"a\", \"max.heap.size\": 1e400}]}"),
              "The file cannot be read: number overflow parsing '1e400'");
    // Every member the file may not have, each refused with what was expected.
    const std::string notExport =
        "The file is not a Velmora export: expected one object with one member, \"configurations\", a list of "
        "configurations.";
    const std::string size =
        "Configuration \"a\", field \"max.heap.size\": expected a whole number from 0 to 32767 (0 or nothing: no "
        "size).";
    const std::pair<std::string, std::string> refused[] = {
        {"[]", notExport},
        {"{\"configurations\": [], \"comment\": \"x\"}", notExport},
        {"{\"configurations\": {}}", notExport},
        {"{\"Configurations\": []}", notExport},
        {documentOf("1"), "A configuration: expected an object with a \"name\" and the stored values."},
        {documentOf("{\"description\": \"x\"}"), "A configuration: has no \"name\"."},
        {documentOf("{\"name\": 7}"), "A configuration, field \"name\": expected a text."},
        {documentOf(entry("a", "\"jvm\": \"server\", \"jvm\": \"client\"")),
         "The file gives the member \"jvm\" twice in one object; each may stand only once."},
        {documentOf(entry("a", "\"colour\": 1")), "Configuration \"a\", field \"colour\": unknown field."},
        {documentOf(entry("a", "\"state\": \"running\"")), "Configuration \"a\", field \"state\": unknown field."},
        {documentOf(entry("a", "\"description\": 5")), "Configuration \"a\", field \"description\": expected a text."},
        {documentOf(entry("a", "\"description\": \"x\\u001b[2K\"")),
         "Configuration \"a\", field \"description\": a text must not hold a control character or a bidirectional "
         "override (it holds U+001B)."},
        {documentOf(entry("a", "\"max.heap.size\": 32768")), size},
        {documentOf(entry("a", "\"max.heap.size\": \"512\"")), size},
        {documentOf(entry("a", "\"max.heap.size\": 512.5")), size},
        {documentOf(entry("b", "\"reduce.os.signals\": 2")),
         "Configuration \"b\", field \"reduce.os.signals\": expected 0 or 1."},
        {documentOf(entry("b", "\"reduce.os.signals\": true")),
         "Configuration \"b\", field \"reduce.os.signals\": expected 0 or 1."},
        {documentOf(entry("b", "\"service.stop.timeout\": -1")),
         "Configuration \"b\", field \"service.stop.timeout\": expected a whole number of seconds from 0 to 4294967."},
        {documentOf(entry("b", "\"java.home\": \"jdk-21\"")),
         "Configuration \"b\", field \"java.home\": expected a full path (C:\\... or \\\\server\\share\\...): the "
         "service would look for a relative one from its own folder."},
        {documentOf(entry("b", "\"service.startup\": \"sometimes\"")),
         "Configuration \"b\", field \"service.startup\": expected one of auto, delayed, manual, disabled."},
        {documentOf(entry("b", "\"additional.jvm.options\": \"-Dx=1\"")),
         "Configuration \"b\", field \"additional.jvm.options\": expected a list of texts."},
        {documentOf(entry("b", "\"additional.jvm.options\": [\"-Dx=1\", \"\"]")),
         "Configuration \"b\", field \"additional.jvm.options\": an entry must not be empty."},
        {documentOf(entry("b", "\"service.depends.on\": [1]")),
         "Configuration \"b\", field \"service.depends.on\": expected a text."},
        {documentOf(entry("b", "\"service.environment\": [\"TZ=UTC\", \"tz=GMT\"]")),
         "Configuration \"b\", field \"service.environment\": the variable tz is given twice."},
        {documentOf(entry("COM1")),
         "Configuration \"COM1\", field \"name\": The Service Name \"COM1\" cannot be used: Windows keeps this name "
         "for a device (CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9), so bin\\COM1.exe would not be a file. Enter "
         "another name and try again."},
        {documentOf(entry("b", "\"init.heap.size\": 2048, \"max.heap.size\": 1024")),
         "Configuration \"b\": The initial heap size (2048 MB) is larger than the maximum heap size (1024 MB): the "
         "JVM would not start. Make the initial heap size no larger than the maximum."},
        {documentOf(entry("bücher") + "," + entry("BÜCHER")),
         "Configuration \"BÜCHER\": the name stands twice in the file (\"bücher\"; names that differ only in case "
         "are one configuration)."},
    };
    for (const auto& [document, why] : refused) EXPECT_EQ(refusal(document), why) << document;
    EXPECT_EQ(refusal(documentOf(entry("a", "\"max.heap.size\": 32767"))), "");
    EXPECT_EQ(storedList(), std::vector<std::string>{"a"});

    // Writes refused part way: every key written is one the list names.
    std::string entries;
    for (int i = 0; i < 6; ++i) entries += (i ? "," : "") + entry("c" + std::to_string(i));
    os.registry.readOnlyKeys.insert(kStore + "\\c3");
    os.files.addFile("C:\\six.json", documentOf(entries));
    const CliRun stopped = runCli(os, {"import", "C:\\six.json"});
    EXPECT_EQ(stopped.code, 1);
    EXPECT_EQ(stopped.err,
              "Import stopped: the registry refused a write (Access is denied.). Imported before it stopped: \"c0\", "
              "\"c1\", \"c2\". Run Velmora as an administrator and import the file again, replacing them.\n");
    os.registry.readOnlyKeys.clear();
    const std::vector<std::string> keys = os.registry.contents(kLocalMachine, kStore)->subkeyNames;
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "c0", "c1", "c2"}));
    EXPECT_EQ(storedList(), keys);

    // A registry that fails part way through a key (a full registry) leaves no key half-written: a replaced
    // one holds again exactly what it held (a value Velmora does not write, none that it lacked), a new one is gone.
    os.registry.setRaw(kLocalMachine, kStore + "\\a", "notes", {kRegBinary, "\x01\x02"s, 0});
    ASSERT_FALSE(os.registry.deleteValue(kLocalMachine, kStore + "\\a", "tomcat.home"));  // as an older one left it
    const auto keyOfA = [&] {
        std::vector<std::string> held;
        const auto key = os.registry.readKeyInView(kLocalMachine, kStore + "\\a", {});
        for (const auto& [name, value] : key->values)
            held.push_back(name + "=" + std::to_string(value.type) + ":" + value.text + "#" +
                           std::to_string(value.number));
        return held;
    };
    const auto before = keyOfA();
    ASSERT_EQ(before.size(), 32u);  // imported new: its fields, no record (none reads as none); the note
    EXPECT_NE(std::find(before.begin(), before.end(), "notes=3:\x01\x02#0"s), before.end());
    os.files.addFile("C:\\a.json", documentOf(entry("a", "\"max.heap.size\": 1024") + "," + entry("d0")));
    os.files.addFile("C:\\d.json", documentOf(entry("d0") + "," + entry("a", "\"max.heap.size\": 1024")));
    for (const char* file : {"C:\\a.json", "C:\\d.json"}) {
        os.registry.valuesBeforeFailure = 1 + 5;  // the list, then five values of the first key
        const CliRun full = runCli(os, {"import", file, "--replace"});
        EXPECT_EQ(full.code, 1) << file;
        EXPECT_EQ(full.err,
                  "Import stopped: the registry refused a write (Not enough quota is available to process this "
                  "command.). Nothing was imported. Run Velmora as an administrator and import the file again.\n")
            << file;
        EXPECT_EQ(keyOfA(), before) << file;
        EXPECT_FALSE(os.registry.keyExists(kLocalMachine, kStore + "\\d0")) << file;
        EXPECT_EQ(storedList(), keys) << file;
    }
    os.registry.valuesBeforeFailure = 3;
    const CliRun set = runCli(os, {"set", "a", "max.heap.size=1024"});
    EXPECT_EQ(set.code, 1) << set.out << set.err;
    EXPECT_EQ(keyOfA(), before);
    // A registry that stays full refuses the old values too, and the failure says what that leaves.
    os.registry.valuesBeforeFailure = 3;
    os.registry.writesRefused = 2;
    const CliRun mixed = runCli(os, {"set", "a", "max.heap.size=1024"});
    EXPECT_EQ(mixed.code, 1);
    EXPECT_EQ(mixed.err,
              "Warning: The configuration \"a\" could not be written to the registry: Not enough quota is available "
              "to process this command. Putting the old values back failed too (Not enough quota is available to "
              "process this command.): the configuration may hold some of the new ones. Run Velmora as an "
              "administrator.\n");
    // A new configuration whose values went in but that the list refused goes again, as the failure says.
    os.registry.valuesBeforeFailure = 39;
    session.newConfiguration();
    editing.edit(Field::ServiceName, "e0");
    EXPECT_EQ(session.save().summary,
              "The configuration \"e0\" could not be written to the registry: Not enough quota is available to "
              "process this command. Run Velmora as an administrator.");
    EXPECT_FALSE(os.registry.keyExists(kLocalMachine, kStore + "\\e0"));
    EXPECT_EQ(storedList(), keys);
    // Stopped in the second key: the first was imported, and moves to the list's end as a save moves it.
    os.registry.valuesBeforeFailure = 1 + 39 + 5;
    EXPECT_EQ(runCli(os, {"import", "C:\\a.json", "--replace"}).code, 1);
    EXPECT_EQ(storedNumber("a", "max.heap.size"), 1024u);
    EXPECT_FALSE(os.registry.keyExists(kLocalMachine, kStore + "\\d0"));
    EXPECT_EQ(storedList(), (std::vector<std::string>{"c0", "c1", "c2", "a"}));
    // A list that cannot be put right either is told, and names the one not imported.
    os.registry.valuesBeforeFailure = 1 + 39 + 5;
    os.registry.writesRefused = 2;
    const CliRun unlisted = runCli(os, {"import", "C:\\a.json", "--replace"});
    EXPECT_EQ(unlisted.code, 1);
    EXPECT_EQ(unlisted.err,
              "Import stopped: the registry refused a write (Not enough quota is available to process this command.). "
              "Imported before it stopped: \"a\". The list of stored configurations could not be put right either "
              "(Not enough quota is available to process this command.): it may name some that were not imported. "
              "Run Velmora as an administrator and import the file again, replacing them.\n");
    EXPECT_FALSE(os.registry.keyExists(kLocalMachine, kStore + "\\d0"));
    EXPECT_EQ(storedList(), (std::vector<std::string>{"c0", "c1", "c2", "a", "d0"}));

    // An export redirected by Windows PowerShell imports; a file in another encoding is refused.
    // "> backup.json" in Windows PowerShell 5.1 writes UTF-16 LE with a byte-order mark.
    auto utf16 = [](const std::string& utf8, bool little) {
        std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t unit : toUtf16(utf8)) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += little ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    };
    for (bool little : {true, false}) {
        EXPECT_EQ(documentText(utf16(documentOf(entry("wide-é𝄞")), little)).text, documentOf(entry("wide-é𝄞")));
        EXPECT_EQ(documentText(utf16("{}", little) + "x").error,
                  "The file starts as UTF-16 but has an odd number of bytes.");
    }
    EXPECT_EQ(transfer.importDocument(utf16(documentOf(entry("wide-é")), false), false).names,
              std::vector<std::string>{"wide-é"});
    EXPECT_EQ(transfer.importDocument("\xEF\xBB\xBF" + documentOf(entry("marked")), false).names,
              std::vector<std::string>{"marked"});
    for (const std::string& unmarked : {utf16("{}", true).substr(2), utf16("{}", false).substr(2)})
        EXPECT_EQ(refusal(unmarked),
                  "The file looks like UTF-16 without a byte-order mark; save it as UTF-8, or as UTF-16 with one.");
    EXPECT_EQ(refusal(documentOf(entry("caf\xE9"))),
              "The file is neither UTF-8 nor UTF-16 with a byte-order mark (a code "
              "page such as Windows-1252?); save it as UTF-8.");
}

TEST_F(TransferTest, AStoredNameInAnyCaseIsReplacedOnlyOnRequestAndNeverWhenInstalled) {
    installNew("café");
    saveNew("plain");
    EXPECT_EQ(refusal(documentOf(entry("CAFÉ"))),
              "Configuration \"café\" is already stored and is replaced only on request.");
    EXPECT_EQ(refusal(documentOf(entry("CAFÉ")), true),
              "Configuration \"café\" is installed as a service; uninstall it before replacing it.");
    // A key the list does not name counts as stored too.
    put("Hidden", {RegistryWrite::textValue("jvm", "client")});
    EXPECT_EQ(refusal(documentOf(entry("hidden"))),
              "Configuration \"hidden\" is already stored and is replaced only on request.");
    // What Velmora made for it stays with it: here a wrapper copy an uninstall could not delete.
    put("plain", {RegistryWrite::textValue("installed.program.digest", "c0ffee")});
    EXPECT_EQ(refusal(documentOf(entry("PLAIN", "\"description\": \"new\"")), true), "");
    EXPECT_EQ(stored("plain", "installed.program.digest"), "c0ffee");
    EXPECT_EQ(storedList(), (std::vector<std::string>{"café", "PLAIN"}));
    EXPECT_EQ(stored("plain", "description"), "new");
    EXPECT_EQ(storedNumber("café", "installedaservice"), 1u);

    // A name checked against the home the entry is completed with: C:\\tomcat\\bin\\<245>.exe is too long.
    const std::string longName(245, 'n');
    EXPECT_EQ(refusal(documentOf(entry(longName))).substr(0, 15 + 245 + 3), "Configuration \"" + longName + "\": ");
    // A Tomcat 10 home cannot pass an option with a quote: refused as in the window.
    addTomcat("C:\\tomcat10");
    EXPECT_EQ(refusal(documentOf(entry("t10",
                                       "\"tomcat.home\": \"C:\\\\tomcat10\", "
                                       "\"additional.jvm.options\": [\"-Dx=it's\"]"))),
              "Configuration \"t10\": The Tomcat service wrapper of this Catalina home takes the JVM options and "
              "Tomcat's start parameters as lists in which a single quote (') cannot stand, so '-Dx=it's' "
              "(Additional JVM Options) would not reach the JVM whole. Choose a value without a single quote.");
}

TEST_F(SessionTest, AHundredThousandOptionsImportInUnderTwoSeconds) {
    std::string options;
    for (int i = 0; i < 100000; ++i) options += (i ? ",\"-Dopt." : "\"-Dopt.") + std::to_string(i) + "=x\"";
    os.files.addFile("C:\\many.json",
                     "{\"configurations\": [{\"name\": \"many\", \"additional.jvm.options\": [" + options + "]}]}");
    const auto started = std::chrono::steady_clock::now();
    const CliRun imported = runCli(os, {"import", "C:\\many.json"});
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_LT(took, std::chrono::seconds(2));
    session.open("many");
    ASSERT_EQ(session.configuration().additionalJvmOptions.size(), 100000u);
    EXPECT_EQ(session.configuration().additionalJvmOptions[99999], "-Dopt.99999=x");
}
