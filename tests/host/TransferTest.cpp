// Export and import: the document, its checks, names in any case and script,
// and imports that end early or grow large.
#include <chrono>

#include "app/Imports.h"
#include "config/ConfigurationDocument.h"
#include "config/ConfigurationStore.h"
#include "config/ConfigurationTransfer.h"
#include "platform/Text.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

std::string documentOf(const std::string& entries) { return "{\"configurations\": [" + entries + "]}"; }

std::string entry(const std::string& name, const std::string& more = "") {
    return "{\"name\": \"" + name + "\"" + (more.empty() ? "" : ", " + more) + "}";
}

class TransferTest : public SessionTest {
protected:
    ConfigurationStore store{os.registry};
    ConfigurationTransfer transfer{store, os.files,
                                   [this](const DecodedEntry& e) { return completedEntry(e, os.platform); }};
    std::string refusal(const std::string& document, bool replace = false) {
        return transfer.importDocument(document, replace).error;
    }
};

}  // namespace

TEST_F(TransferTest, AnExportImportsBackToTheSameValues) {
    addClassicLayout();
    saveNew("shop");
    session.edit(Field::Description, "Tömcat 日本");
    session.edit(Field::MaxHeapSize, "512");
    session.edit(Field::ReduceOsSignals, "0");
    session.addOption("-Dshop.env=prod");
    session.save(false);
    const auto exported = transfer.exportNamed({"SHOP"});
    ASSERT_EQ(exported.error, "");
    EXPECT_NE(exported.document.find("      \"description\": \"Tömcat 日本\",\n"), std::string::npos)
        << exported.document;
    EXPECT_NE(exported.document.find("      \"max.heap.size\": 512,\n      \"description\""), std::string::npos);
    EXPECT_NE(exported.document.find("\"additional.jvm.options\": [\n        \"-Dshop.env=prod\"\n      ]"),
              std::string::npos);
    EXPECT_EQ(transfer.exportNamed({"nope"}).error, "No configuration named \"nope\" is stored.");

    const Configuration before = session.configuration();
    session.remove();
    const auto imported = transfer.importDocument(exported.document, false);
    EXPECT_EQ(imported.names, std::vector<std::string>{"shop"});
    session.open("shop");
    EXPECT_EQ(session.configuration(), before);
    EXPECT_EQ(storedNumber("shop", "installedaservice"), 0u);
}

TEST_F(TransferTest, AnyProblemRefusesTheWholeFileBeforeAnythingIsWritten) {
    const std::string prefix = "Import refused, nothing was changed. ";
    EXPECT_EQ(refusal("{\"configurations\": [}"), prefix +
                                                      "The file is not well-formed JSON: parse error at line 1, "
                                                      "column 21: syntax error while parsing value - unexpected '}'; "
                                                      "expected '[', '{', or a literal");
    EXPECT_EQ(refusal("[]"), prefix +
                                 "The file is not a Velmora export: expected one object with one member, "
                                 "\"configurations\", a list of configurations.");
    EXPECT_EQ(refusal(documentOf(entry("a", "\"jvm\": \"server\", \"jvm\": \"client\""))),
              prefix + "The file gives the member \"jvm\" twice in one object; each may stand only once.");
    EXPECT_EQ(refusal(documentOf(entry("a", "\"colour\": 1"))),
              prefix + "Configuration \"a\", field \"colour\": unknown field.");
    EXPECT_EQ(refusal(documentOf(entry("a", "\"max.heap.size\": 32768"))),
              prefix +
                  "Configuration \"a\", field \"max.heap.size\": expected a whole number from 0 to 32767 (0 or "
                  "nothing: no size).");
    EXPECT_EQ(refusal(documentOf(entry("a", "\"max.heap.size\": 32767"))), "");
    EXPECT_EQ(refusal(documentOf(entry("b", "\"reduce.os.signals\": 2"))),
              prefix + "Configuration \"b\", field \"reduce.os.signals\": expected 0 or 1.");
    EXPECT_EQ(refusal(documentOf(entry("b", "\"init.heap.size\": 1.5"))),
              prefix +
                  "Configuration \"b\", field \"init.heap.size\": expected a whole number from 0 to 32767 (0 or "
                  "nothing: no size).");
    EXPECT_EQ(refusal(documentOf(entry("COM1"))),
              prefix +
                  "Configuration \"COM1\", field \"name\": The Service Name \"COM1\" cannot be used: Windows keeps "
                  "this name for a device (CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9), so bin\\COM1.exe would not be "
                  "a file. Enter another name and try again.");
    EXPECT_EQ(refusal(documentOf(entry("bücher") + "," + entry("BÜCHER"))),
              prefix +
                  "Configuration \"BÜCHER\": the name stands twice in the file (\"bücher\"; names that differ only "
                  "in case are one configuration).");
    EXPECT_EQ(storedList(), std::vector<std::string>{"a"});
}

TEST_F(TransferTest, WhatAnEntryLeavesOutTakesANewConfigurationsValue) {
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
    EXPECT_EQ(moved.jvmType, "server");
    EXPECT_EQ(moved.reduceOsSignals, 1);
}

TEST_F(TransferTest, AnExportRedirectedByWindowsPowerShellImports) {
    // "> backup.json" in Windows PowerShell 5.1 writes UTF-16 LE with a byte-order mark.
    auto utf16 = [](const std::string& utf8, bool little) {
        std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t unit : toUtf16(utf8)) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += little ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    };
    EXPECT_EQ(transfer.importDocument(utf16(documentOf(entry("wide-é")), true), false).names,
              std::vector<std::string>{"wide-é"});
    EXPECT_EQ(transfer.importDocument(utf16(documentOf(entry("big-日本")), false), false).names,
              std::vector<std::string>{"big-日本"});
    EXPECT_EQ(transfer.importDocument("\xEF\xBB\xBF" + documentOf(entry("marked")), false).names,
              std::vector<std::string>{"marked"});
    EXPECT_EQ(refusal(utf16(documentOf(entry("x")), true).substr(2)),
              "Import refused, nothing was changed. The file looks like UTF-16 without a byte-order mark; save it as "
              "UTF-8, or as UTF-16 with one.");
    EXPECT_EQ(
        refusal(documentOf(entry("caf\xE9"))),
        "Import refused, nothing was changed. The file is neither UTF-8 nor UTF-16 with a byte-order mark (a code "
        "page such as Windows-1252?); save it as UTF-8.");
}

TEST_F(TransferTest, AStoredNameInAnyCaseIsReplacedOnlyOnRequestAndNeverWhenInstalled) {
    addClassicLayout();
    simulateWrappers();
    saveNew("café");
    ASSERT_TRUE(session.install().done());
    saveNew("plain");
    const std::string prefix = "Import refused, nothing was changed. ";
    EXPECT_EQ(refusal(documentOf(entry("CAFÉ"))),
              prefix + "Configuration \"café\" is already stored and is replaced only on request.");
    EXPECT_EQ(refusal(documentOf(entry("CAFÉ")), true),
              prefix + "Configuration \"café\" is installed as a service; uninstall it before replacing it.");
    // A key the list does not name counts as stored too.
    os.registry.write(kLocalMachine, "SOFTWARE\\velmoraconfigs\\Hidden", {RegistryWrite::textValue("jvm", "client")});
    EXPECT_EQ(refusal(documentOf(entry("hidden"))),
              prefix + "Configuration \"hidden\" is already stored and is replaced only on request.");
    EXPECT_EQ(refusal(documentOf(entry("PLAIN", "\"description\": \"new\"")), true), "");
    EXPECT_EQ(storedList(), (std::vector<std::string>{"café", "PLAIN"}));
    EXPECT_EQ(stored("plain", "description"), "new");
    EXPECT_EQ(storedNumber("café", "installedaservice"), 1u);

    // A Tomcat 10 home cannot pass an option with a quote: refused as in the window.
    addModernLayout();
    EXPECT_EQ(refusal(documentOf(entry("t10",
                                       "\"tomcat.home\": \"C:\\\\tomcat10\", "
                                       "\"additional.jvm.options\": [\"-Dx=it's\"]"))),
              prefix +
                  "Configuration \"t10\": The Tomcat service wrapper of this Catalina home takes the JVM options as "
                  "one list in which a single quote (') cannot stand, so '-Dx=it's' (Additional JVM Options) would "
                  "not reach the JVM whole. Choose a value without a single quote.");
}

TEST_F(TransferTest, AnImportGrowsLinearlyAndAnEarlyEndLeavesNoKeyOffTheList) {
    auto documentFor = [](int count) {
        std::string entries;
        for (int i = 0; i < count; ++i)
            entries += (i ? "," : "") + entry("c" + std::to_string(i), "\"jvm\": \"server\"");
        return documentOf(entries);
    };
    auto secondsFor = [&](int count) {
        const std::string document = documentFor(count);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(transfer.importDocument(document, true).error, "");
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    // Eight times the entries: about eight times the time; sixty-four would be quadratic.
    const double small = secondsFor(1000);
    const double large = secondsFor(8000);
    EXPECT_LT(large, small * 24) << small << " s for 1,000, " << large << " s for 8,000";
    EXPECT_EQ(storedList().size(), 8000u);

    // Writes refused part way: every key written is one the list names.
    MemoryRegistry fresh;
    ConfigurationStore freshStore(fresh);
    ConfigurationTransfer freshTransfer(freshStore, os.files);
    fresh.readOnlyKeys.insert("SOFTWARE\\velmoraconfigs\\c3");
    EXPECT_NE(freshTransfer.importDocument(documentFor(6), false).error, "");
    fresh.readOnlyKeys.clear();
    const auto listed = freshStore.names();
    const auto keys = fresh.contents(kLocalMachine, "SOFTWARE\\velmoraconfigs")->subkeyNames;
    for (const auto& key : keys) EXPECT_TRUE(std::find(listed.begin(), listed.end(), key) != listed.end()) << key;
    EXPECT_EQ(keys, (std::vector<std::string>{"c0", "c1", "c2"}));
}
