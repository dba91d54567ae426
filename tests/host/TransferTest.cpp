#include "config/ConfigurationTransfer.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

class TransferTest : public DoConfigTest {
protected:
    ConfigurationTransfer transfer{os.registry, unchangedText()};

    void SetUp() override {
        DoConfigTest::SetUp();
        addDemoLayout();
        dc.newConfiguration();
        dc.setServiceName("alpha");
        dc.setDescription("first \"one\" & <two>");
        dc.setMaxHeapSize("512");
        dc.setThreadStackSize("128");
        dc.setUseSecurityManager(1);
        window.addToList1("-Da=1");
        window.addToList1("-Xbatch");
        dc.saveConfiguration(false);
        dc.newConfiguration();
        dc.setServiceName("Beta");
        dc.setJvmType(false);
        dc.setReduceOsSignals(0);
        dc.setInitialHeapSize("64");
        dc.saveConfiguration(false);
    }

    // Every value of the named configurations with its type, and the list.
    std::vector<std::string> snapshot(std::initializer_list<const char*> names) {
        std::vector<std::string> values{storedList()};
        for (const std::string name : names) {
            const std::string key = "SOFTWARE\\velmoraconfigs\\" + name;
            const auto contents = reg().keyContents(HKEY_LOCAL_MACHINE_ROOT, key);
            for (const auto& value : contents ? contents->valueNames : std::vector<std::string>{})
                values.push_back(value + "=" + std::to_string(reg().rawValue(HKEY_LOCAL_MACHINE_ROOT, key, value)->type) +
                                 ":" + reg().rawValue(HKEY_LOCAL_MACHINE_ROOT, key, value)->data);
        }
        return values;
    }

    std::string importRefusal(const std::string& document, bool replace = false) {
        const auto writes = reg().writeLog().size();
        const auto result = transfer.importDocument(document, replace);
        EXPECT_EQ(reg().writeLog().size(), writes) << document;
        return result.error;
    }
};

TEST_F(TransferTest, ExportDeleteImportGivesBackEveryStoredValueByteForByte) {
    const auto before = snapshot({"alpha", "Beta"});
    const auto exported = transfer.exportAll();
    ASSERT_EQ(exported.error + std::to_string(exported.document.find("\"max.heap.size\": 512") != std::string::npos), "1");
    EXPECT_NE(exported.document.find("\"additional.jvm.options\": [\n        \"-Da=1\",\n        \"-Xbatch\"\n"),
              std::string::npos);
    EXPECT_EQ(exported.document.find("installedaservice"), std::string::npos);
    // Beta's values go in as a save writes them, in the same order.
    auto betaWrites = [&](std::size_t from) {
        std::vector<std::string> found;
        std::copy_if(reg().writeLog().begin() + static_cast<long>(from), reg().writeLog().end(), std::back_inserter(found),
                     [](const std::string& write) { return write.rfind("SOFTWARE\\velmoraconfigs\\Beta|", 0) == 0; });
        return found;
    };
    const auto saved = betaWrites(0);
    for (const char* name : {"alpha", "Beta"}) reg().deleteKey(HKEY_LOCAL_MACHINE_ROOT, std::string("SOFTWARE\\velmoraconfigs\\") + name);
    reg().setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs", "services", "");
    const auto writes = reg().writeLog().size();
    const auto imported = transfer.importDocument(exported.document, false);
    EXPECT_EQ(imported.error + imported.names.at(0) + imported.names.at(1), "alphaBeta");
    EXPECT_EQ(snapshot({"alpha", "Beta"}), before);
    EXPECT_EQ(transfer.exportAll().document, exported.document);
    const auto stored = betaWrites(writes);
    ASSERT_EQ(stored.size(), 18u);
    EXPECT_EQ(stored, std::vector<std::string>(saved.end() - 18, saved.end()));
}

TEST_F(TransferTest, ImportRefusesABadFileWholeNamingWhereAndChangesNothing) {
    const std::string good = transfer.exportNamed({"alpha"}).document;
    auto file = [](const std::string& entries) { return "{\"configurations\": [{\"name\": \"new1\"}, " + entries + "]}"; };
    auto has = [](const std::string& error, const std::string& part) {
        return error.rfind("Import refused, nothing was changed. ", 0) == 0 && error.find(part) != std::string::npos;
    };
    const auto before = snapshot({"alpha", "Beta", "new1", "new2"});

    EXPECT_PRED2(has, importRefusal(good.substr(0, good.size() / 2)), "not well-formed JSON: parse error at line");
    EXPECT_PRED2(has, importRefusal("[]"), "expected one object with one member, \"configurations\"");
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"new2\", \"colour\": \"red\"}")),
                 "Configuration \"new2\", field \"colour\": unknown field.");
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"new2\", \"max.heap.size\": \"512\"}")),
                 "Configuration \"new2\", field \"max.heap.size\": expected a whole number from 0 to 32767");
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"new2\", \"init.heap.size\": 128.5}")), "\"init.heap.size\"");
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"new2\", \"thread.stack.size\": 40000}")), "0 to 32767");
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"new2\", \"jvm\": \"hotspot\"}")), "\"jvm\": expected");
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"new2\", \"additional.jvm.options\": \"-Xrs\"}")), "a list");
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"web app\"}")), "\"web app\", field \"name\"");
    EXPECT_PRED2(has, importRefusal(file("{\"description\": \"no name\"}")), "has no \"name\"");
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"NEW1\"}")), "\"NEW1\": the name stands twice");
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"ALPHA\"}")), "\"ALPHA\" is already stored");
    EXPECT_EQ(snapshot({"alpha", "Beta", "new1", "new2"}), before);

    // With replace the stored one gives way, unless it is installed.
    reg().setDwordValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\Beta", "installedaservice", 1);
    EXPECT_PRED2(has, importRefusal(file("{\"name\": \"beta\"}"), true), "\"beta\" is installed as a service");
    ASSERT_EQ(transfer.importDocument(file("{\"name\": \"ALPHA\", \"max.heap.size\": 1024}"), true).error, "");
    EXPECT_EQ(std::to_string(storedDword("alpha", "max.heap.size")) + stored("alpha", "description"), "1024");
    EXPECT_EQ(storedList(), std::string("Beta\0new1\0ALPHA\0", 16));
}

}  // namespace
