// The store as the registry holds it: every value of its type and in its
// order, the name list, spellings, and values another program left.
#include "config/ConfigurationStore.h"
#include "config/Encodings.h"
#include "config/NameList.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;
using namespace std::string_literals;

namespace {
const std::string kStore = "SOFTWARE\\velmoraconfigs";
}

TEST_F(SessionTest, ASaveWritesEveryValueWithItsTypeOverWhateverTheKeyHeld) {
    saveNew("svc");
    os.registry.write(kLocalMachine, kStore + "\\svc", {RegistryWrite::textValue("stray", "x")});
    session.edit(Field::UseSecurityManager, "1");
    session.edit(Field::MaxHeapSize, "4096");
    // A size box takes whole numbers in range only, and says so for anything else.
    EXPECT_EQ(session.edit(Field::InitialHeapSize, "128.5").result, Outcome::Result::Refused);
    EXPECT_EQ(lastOf(ui.warnings),
              "The Initial Heap Size (MB) box takes a whole number from 1 to 32767 (MB), or "
              "nothing; \"128.5\" was not stored.");
    EXPECT_EQ(session.edit(Field::ThreadStackSize, "32768").result, Outcome::Result::Refused);
    EXPECT_EQ(session.edit(Field::InitialHeapSize, "700").result, Outcome::Result::Done);
    session.addOption("-Dx=y");
    os.registry.writeLog.clear();
    ASSERT_TRUE(session.save(true).done());

    std::vector<std::string> order;
    for (const auto& write : os.registry.writeLog) order.push_back(write.substr(write.find('|') + 1));
    EXPECT_EQ(order, (std::vector<std::string>{"tomcat.home",
                                               "system.out",
                                               "system.err",
                                               "tomcat.config",
                                               "catalina.base",
                                               "java.security.manager",
                                               "java.security.policy",
                                               "jvm",
                                               "java.home",
                                               "java.class.path",
                                               "java.io.tmpdir",
                                               "init.heap.size",
                                               "max.heap.size",
                                               "description",
                                               "reduce.os.signals",
                                               "thread.stack.size",
                                               "additional.jvm.options",
                                               "service.startup",
                                               "service.account",
                                               "service.depends.on",
                                               "service.stop.timeout",
                                               "service.recovery.first",
                                               "service.recovery.second",
                                               "service.recovery.later",
                                               "service.recovery.reset",
                                               "service.recovery.on.error.exit",
                                               "installedaservice",
                                               "installed.program.line",
                                               "installed.mark",
                                               "installed.program.digest",
                                               "installed.settings.applied",
                                               "services"}));
    auto raw = [&](const std::string& value) { return *os.registry.read(kLocalMachine, kStore + "\\svc", value); };
    EXPECT_EQ(raw("max.heap.size").type, kRegDword);
    EXPECT_EQ(raw("max.heap.size").number, 4096u);
    EXPECT_EQ(raw("init.heap.size").number, 700u);
    EXPECT_EQ(raw("thread.stack.size").number, 0u);
    EXPECT_EQ(raw("java.security.manager").number, 1u);
    EXPECT_EQ(raw("jvm").type, kRegSz);
    EXPECT_EQ(raw("jvm").text, "server");
    EXPECT_EQ(raw("additional.jvm.options").type, kRegMultiSz);
    EXPECT_EQ(raw("additional.jvm.options").text, "-Dx=y\0"s);
    EXPECT_FALSE(os.registry.read(kLocalMachine, kStore + "\\svc", "stray"));
    EXPECT_EQ(lastOf(ui.notices), "Instance saved as \"svc\".");
    EXPECT_TRUE(session.nameLocked());

    // No options: a list of no bytes, which loads as none.
    session.takeOption(0);
    session.save(false);
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
    session.save(false);
    EXPECT_EQ(storedList(), (std::vector<std::string>{"ab", "zz", "a"}));

    // Another spelling of a stored name asks first, and Yes takes over the one key.
    ui.answers[QuestionKind::ReplaceStored] = Answer::No;
    session.newConfiguration();
    session.edit(Field::ServiceName, "Zz");
    EXPECT_EQ(session.save(true).result, Outcome::Result::Declined);
    EXPECT_EQ(lastOf(ui.asked).text, "A configuration named \"zz\" is already stored. Replace it with this one?");
    EXPECT_EQ(storedList(), (std::vector<std::string>{"ab", "zz", "a"}));
    ui.answers.clear();
    saveNew("ZZ");
    EXPECT_EQ(storedList(), (std::vector<std::string>{"ab", "a", "ZZ"}));
    // A key the list does not name is stored all the same.
    os.registry.write(kLocalMachine, kStore + "\\hidden", {RegistryWrite::textValue("description", "x")});
    ui.forget();
    saveNew("HIDDEN");
    EXPECT_EQ(ui.askedKinds(), std::vector<QuestionKind>{QuestionKind::ReplaceStored});

    session.open("a");
    session.remove();
    EXPECT_EQ(storedList(), (std::vector<std::string>{"ab", "ZZ", "HIDDEN"}));
    EXPECT_FALSE(os.registry.keyExists(kLocalMachine, kStore + "\\a"));
    EXPECT_EQ(lastOf(ui.notices), "Deleted instance \"a\".");
    EXPECT_EQ(session.configuration().serviceName, "SetInstanceName");

    // A listed name no key can carry leaves the list, and nothing else is touched.
    os.registry.write(kLocalMachine, kStore, {RegistryWrite::listValue("services", {"ab", "x\\ab"})});
    session.edit(Field::ServiceName, "x\\ab");
    EXPECT_TRUE(session.remove().done());
    EXPECT_EQ(storedList(), std::vector<std::string>{"ab"});
    EXPECT_TRUE(os.registry.keyExists(kLocalMachine, kStore + "\\ZZ"));
}

TEST_F(SessionTest, StoredValuesLoadAsTheirSettersLeaveThem) {
    ConfigurationStore store(os.registry);
    auto put = [&](std::vector<RegistryWrite> values) { os.registry.write(kLocalMachine, kStore + "\\svc", values); };
    put({RegistryWrite::textValue("tomcat.home", "C:\\tc"), RegistryWrite::textValue("catalina.base", "C:\\tc\\b1"),
         RegistryWrite::textValue("system.out", "C:\\tc\\b1\\logs"),
         RegistryWrite::textValue("tomcat.config", "C:\\tc\\b1\\conf\\server.xml"),
         RegistryWrite::textValue("java.security.policy", "C:\\stored\\my.policy"),
         RegistryWrite::numberValue("init.heap.size", 70000), RegistryWrite::numberValue("max.heap.size", 40000),
         RegistryWrite::numberValue("thread.stack.size", 256), RegistryWrite::numberValue("java.security.manager", 0),
         RegistryWrite::numberValue("reduce.os.signals", 5), RegistryWrite::textValue("jvm", "Server")});
    os.registry.setRaw(kLocalMachine, kStore + "\\svc", "description", {kRegSz, "with its NUL\0"s, 0});
    session.open("svc");
    const Configuration& c = session.configuration();
    EXPECT_EQ(c.catalinaHome, "C:\\tc");
    EXPECT_EQ(c.catalinaBase, "C:\\tc\\b1");
    EXPECT_EQ(c.systemOut, "C:\\tc\\b1\\logs");
    EXPECT_EQ(c.tomcatConfigFile, "C:\\tc\\b1\\conf\\server.xml");
    EXPECT_EQ(c.systemErr, "");  // not stored: empty
    // The stored policy is kept with the security manager off; the check box only decides whether it is passed.
    EXPECT_EQ(c.securityPolicyFile, "C:\\stored\\my.policy");
    EXPECT_EQ(c.initialHeapSize, "4464");  // the low 16 bits
    EXPECT_EQ(c.maxHeapSize, "");          // negative in 16 bits
    EXPECT_EQ(c.threadStackSize, "256");
    EXPECT_EQ(c.reduceOsSignals, 5);  // handed over unchanged; only 1 passes -Xrs
    EXPECT_EQ(c.jvmType, "client");   // only exactly "server" is the server JVM
    EXPECT_EQ(c.description, "with its NUL");
    EXPECT_TRUE(session.nameLocked());
    EXPECT_TRUE(ui.warnings.empty());

    // A name that is listed but has no key opens empty, with a warning.
    os.registry.write(kLocalMachine, kStore, {RegistryWrite::listValue("services", {"gone"})});
    session.open("gone");
    EXPECT_EQ(lastOf(ui.warnings),
              "The configuration \"gone\" is listed, but its values are missing from the registry. It "
              "opens with empty values; use File > Delete to take it off the list.");
    EXPECT_EQ(session.configuration().securityPolicyFile, "");
    EXPECT_EQ(session.configuration().jvmType, "client");
    EXPECT_EQ(session.configuration().reduceOsSignals, 0);
}
