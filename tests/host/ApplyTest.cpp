// velmora-cli apply: a document of desired states, brought about by changing
// only what differs, and a second run that changes nothing.
#include <nlohmann/json.hpp>

#include "support/CliRunner.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

class ApplyTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        addClassicLayout();
        simulateWrappers();
    }
    void writeDocument(const std::string& entries) {
        os.files.addFile("C:\\fleet.json", "{\"configurations\": [" + entries + "]}");
    }
    CliRun apply(std::vector<std::string> more = {}) {
        std::vector<std::string> arguments = {"apply", "C:\\fleet.json", "--yes"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return runCli(os, arguments);
    }
    bool running(const std::string& name) { return serviceExists(name) && os.services.services[name].started; }
};

const char* const kThree = R"({"name": "shop", "state": "running", "max.heap.size": 512},
                              {"name": "blog", "state": "running"},
                              {"name": "spare"})";

}  // namespace

TEST_F(ApplyTest, ASecondApplyOfTheSameFileChangesNothingAndAChangeTouchesOnlyItsConfiguration) {
    writeDocument(kThree);
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
    EXPECT_EQ(report["changed"], false);
    EXPECT_EQ(report["summary"], "3 configuration(s): 0 changed, 3 unchanged, 0 failed.");
    EXPECT_EQ(report["configurations"][1]["actions"].size(), 0u);

    // A heap size changed on one running configuration: that one is reinstalled and running again.
    writeDocument(R"({"name": "shop", "state": "running", "max.heap.size": 1024},
                     {"name": "blog", "state": "running"}, {"name": "spare"})");
    r = apply({"--check"});
    EXPECT_EQ(r.code, 10);
    EXPECT_EQ(r.out,
              "shop: would change; values: max.heap.size; would store, reinstall the service\n"
              "blog: unchanged\nspare: unchanged\n3 configuration(s): 1 would change, 2 unchanged, 0 failed.\n");
    EXPECT_EQ(os.registry.writeLog.size(), writes);
    EXPECT_EQ(os.processes.ran.size(), runs);
    r = apply();
    EXPECT_EQ(r.code, 10) << r.err;
    EXPECT_EQ(storedNumber("shop", "max.heap.size"), 1024u);
    EXPECT_TRUE(running("shop"));
    EXPECT_EQ(std::count(os.processes.ran.begin() + static_cast<std::ptrdiff_t>(runs), os.processes.ran.end(),
                         "net start \"blog\""),
              0);

    // A setting the service manager changes in place: no program runs. A running one stopped; one deleted.
    const std::size_t before = os.processes.ran.size();
    writeDocument(R"({"name": "shop", "state": "stopped", "max.heap.size": 1024},
                     {"name": "blog", "state": "running", "service.startup": "manual"},
                     {"name": "spare", "state": "absent"})");
    r = apply();
    EXPECT_EQ(r.out,
              "shop: changed; stop\n"
              "blog: changed; values: service.startup; store, change the service's settings in place\n"
              "spare: changed; delete\n3 configuration(s): 3 changed, 0 unchanged, 0 failed.\n");
    EXPECT_EQ(std::vector<std::string>(os.processes.ran.begin() + static_cast<std::ptrdiff_t>(before),
                                       os.processes.ran.end()),
              std::vector<std::string>{"net stop \"shop\""});
    EXPECT_FALSE(running("shop"));
    EXPECT_TRUE(serviceExists("shop"));
    EXPECT_EQ(os.services.services["blog"].configuration.startType, StartType::Manual);
    EXPECT_EQ(storedList(), (std::vector<std::string>{"shop", "blog"}));
}

TEST_F(ApplyTest, AFailureStopsOnlyItsConfigurationAndTheNextRunGoesOnFromThere) {
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
    EXPECT_EQ(report["configurations"][0]["actions"], nlohmann::json::parse(R"(["store", "install"])"));
    EXPECT_EQ(report["configurations"][1]["failed"], false);
    EXPECT_TRUE(serviceExists("blog"));
    EXPECT_FALSE(running("blog"));
    EXPECT_FALSE(serviceExists("shop"));

    os.processes.onRun = wrappers;
    r = apply({"--json"});
    EXPECT_EQ(r.code, 10) << r.out;
    report = nlohmann::json::parse(r.out);
    EXPECT_EQ(report["configurations"][0]["actions"], nlohmann::json::parse(R"(["install", "start"])"));
    EXPECT_EQ(report["configurations"][1]["changed"], false);
    EXPECT_TRUE(running("shop"));

    // A document with one bad entry changes nothing at all.
    writeDocument(R"({"name": "shop", "state": "gone"})");
    r = apply();
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Nothing was changed: Configuration \"shop\", field \"state\": expected one of absent, stored, "
              "installed, running, stopped.\n");
}
