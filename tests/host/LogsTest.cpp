// A configuration's own logs on each road, their bounds, the roll, and the events Velmora writes.
#include <nlohmann/json.hpp>

#include "config/StoreLayout.h"
#include "service/LogFiles.h"
#include "service/ServiceNames.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

using Fate = MemoryServices::ScriptedStart::Fate;
constexpr FileTime kDay = 86400ULL * 10'000'000ULL;

class LogsTest : public SessionTest {
protected:
    CliRun run(const std::vector<std::string>& arguments) { return runCli(os, arguments); }
    std::vector<std::string> namesOf(const std::string& name) {
        session.open(name);
        std::vector<std::string> names;
        for (const auto& file : program.logs.files(session.configuration()))
            names.push_back(file.path.substr(file.path.rfind('\\') + 1) + (file.open ? "*" : ""));
        return names;
    }
    // A file last written so many days before now.
    void addOld(const std::string& path, int daysOld, std::size_t bytes = 10) {
        os.files.addFile(path, std::string(bytes, 'x'));
        os.files.modified[path] = os.clock.now() - static_cast<FileTime>(daysOld) * kDay - 3600ULL * 10'000'000ULL;
    }
};

}  // namespace

TEST(LogRules, AKindIsKnownByItsDatedNameAndTheBoundsCountFromTheNewestKeepingTheOpenFile) {
    const LogKind catalina{"Tomcat's catalina log", "C:\\t\\logs", "catalina.", ".log", true};
    const LogKind out{"System.out", "C:\\t\\logs", "shop_out.log", "", false};
    for (const std::string& name :
         words("catalina.2026-12-07.log CATALINA.2026-12-07.LOG catalina.20261207.log catalina.2026-12-07.2.log"))
        EXPECT_TRUE(isOfKind(name, catalina)) << name;
    for (const std::string& name :
         words("catalina.x_out.log catalina.shop_out.log catalina.2026-1-07.log catalina..log "
               "catalina.2026-12-07.txt catalina.2026-12-07.log.1"))
        EXPECT_FALSE(isOfKind(name, catalina)) << name;
    EXPECT_TRUE(isOfKind("Shop_Out.log", out));
    EXPECT_FALSE(isOfKind("shop_out.2026-12-07.log", out));

    // Newest first: 40, 30, 20 and 10 MB... in bytes below, written 1, 3, 20 and 40 days ago.
    const FileTime now = 1000 * kDay;
    const std::vector<LogFile> files = {
        {"a", "System.err", 3 * kBytesPerMb, now - 1 * kDay, true},
        {"b", "System.err", 2 * kBytesPerMb, now - 3 * kDay, false},
        {"c", "System.err", 2 * kBytesPerMb, now - 20 * kDay, true},
        {"d", "System.err", 1 * kBytesPerMb, now - 40 * kDay, false},
    };
    auto paths = [](const std::vector<LogFile>& beyond) {
        std::string text;
        for (const auto& file : beyond) text += file.path;
        return text;
    };
    EXPECT_EQ(paths(filesBeyondBounds(files, 0, 0, now)), "");
    EXPECT_EQ(paths(filesBeyondBounds(files, 14, 0, now)), "d");  // c is as old, but open
    EXPECT_EQ(paths(filesBeyondBounds(files, 2, 0, now)), "db");
    EXPECT_EQ(paths(filesBeyondBounds(files, 0, 5, now)), "d");   // a and b make 5 MB; c (open) goes over
    EXPECT_EQ(paths(filesBeyondBounds(files, 0, 4, now)), "db");  // a and b make 5 MB already
    EXPECT_EQ(paths(filesBeyondBounds(files, 0, 8, now)), "");
    EXPECT_TRUE(exceedsBounds(files, 14, 0, now));  // the check counts what is open too
    EXPECT_FALSE(exceedsBounds(files, 41, 8, now));

    // An output folder left empty or relative is no folder of the configuration's: nothing there is rolled.
    MemoryPlatform os;
    Configuration c;
    c.serviceName = "shop";
    c.logsMaxMb = 1;
    for (const char* other : {"C:\\shop_out.log", "C:\\users\\admin\\logs\\shop_err.log"})
        os.files.addFile(other, std::string(2 * kBytesPerMb, 'x'));
    c.systemErr = "logs";
    const RollResult rolled = rollOutputs(c, os.files, now);
    EXPECT_TRUE(rolled.rolled.empty() && rolled.failures.empty());
    EXPECT_EQ(os.files.files.size(), 3u);  // net.exe and the two
}

TEST_F(LogsTest, EachRoadAndVersionListsItsOwnFilesAndAFolderSharedWithAnotherConfigurationKeepsItsFiles) {
    saveNew("shop");
    saveNew("tea");  // the same base and logs folder as shop, after it by name
    // shop saved again stands last in the store's list; the base's logs stay its own.
    ASSERT_TRUE(session.open("shop").done());
    editing.edit(Field::Description, "again");
    ASSERT_TRUE(session.save().done());
    for (const char* name :
         {"shop_out.log", "shop_err.log", "shop_out.2026-12-01.log", "shop-stdout.2026-12-05.log", "tea_out.log",
          "tea_err.log", "tea_out.2026-12-01.log", "catalina.2026-12-06.log", "admin.2026-12-06.log",
          "host-manager.2026-12-06.log", "jakarta_service_20261206.log", "commons-daemon.2026-12-06.log",
          "localhost_access_log.2026-12-06.txt", "catalina.x_out.log", "shop_out.log.bak", "readme.txt"})
        addOld(std::string("C:\\tomcat\\logs\\") + name, 1);
    addOld("C:\\tomcat\\logs\\catalina.2026-12-02.log", 5);
    os.files.locked.insert("C:\\tomcat\\logs\\shop_err.log");
    EXPECT_EQ(namesOf("shop"), words("admin.2026-12-06.log catalina.2026-12-06.log host-manager.2026-12-06.log "
                                     "jakarta_service_20261206.log localhost_access_log.2026-12-06.txt "
                                     "shop-stdout.2026-12-05.log shop_err.log* shop_out.2026-12-01.log shop_out.log "
                                     "catalina.2026-12-02.log"));
    EXPECT_EQ(namesOf("tea"), words("tea_err.log tea_out.2026-12-01.log tea_out.log"));
    // The same base spelled with a separator at its end is still shop's.
    put("tea", {RegistryWrite::textValue(store::kCatalinaBase, "C:\\tomcat\\")});
    EXPECT_EQ(namesOf("tea"), words("tea_err.log tea_out.2026-12-01.log tea_out.log"));

    // Tomcat 10.1 on the Tomcat 7-11 road: the wrapper's own log is commons-daemon's, and there is no admin log.
    useModernLayout("C:\\tomcat10", "10.1.34");
    saveNew("web");
    for (const char* name : {"web_err.log", "commons-daemon.2026-12-06.log", "jakarta_service_20261206.log",
                             "admin.2026-12-06.log", "manager.2026-12-06.log", "web-stderr.2026-12-06.log"})
        addOld(std::string("C:\\tomcat10\\logs\\") + name, 2);
    EXPECT_EQ(namesOf("web"),
              words("commons-daemon.2026-12-06.log manager.2026-12-06.log web-stderr.2026-12-06.log web_err.log"));
    // Output going "auto" into a log folder of the wrapper's own, which an adopted service holds as its folder.
    os.files.addFolder("C:\\wlogs");
    addOld("C:\\wlogs\\web-stdout.2026-12-06.log", 2);
    ASSERT_EQ(run({"set", "web", "system.out=C:\\wlogs"}).code, 0);
    EXPECT_EQ(namesOf("web"), words("commons-daemon.2026-12-06.log manager.2026-12-06.log web-stderr.2026-12-06.log "
                                    "web_err.log web-stdout.2026-12-06.log"));

    // --tail: the newest System.err, or a named file of the list; lines escaped; never a file not of the list.
    // A file that is not UTF-8 is read in the machine's code page, the JVM's for its output (here Windows-1252).
    os.files.addFile("C:\\tomcat10\\logs\\web_err.log", "one\r\ntwo\x1B[2J\r\nthree \x80 \xE4\r\n");
    CliRun tail = run({"logs", "web", "--tail", "2"});
    EXPECT_EQ(tail.code, 0);
    EXPECT_EQ(tail.out, "two\\x1B[2J\nthree \u20AC \u00E4\n");
    EXPECT_EQ(run({"logs", "web", "--tail", "5", "--file", "C:\\tomcat10\\conf\\server.xml"}).code, 1);
    EXPECT_EQ(run({"logs", "web", "--tail", "0"}).code, 2);
    EXPECT_EQ(run({"logs", "nosuch"}).code, 8);
    const CliRun two = run({"logs", "web", "shop"});
    EXPECT_EQ(two.code, 2);
    EXPECT_EQ(two.err,
              "velmora-cli: logs takes one name; several go with --prune.\nRun \"velmora-cli help\" for the "
              "commands.\n");
}

TEST_F(LogsTest, PruneDeletesTheOldestBeyondEitherBoundKeepsWhatIsOpenAndCheckOrApplyCheckDeletesNothing) {
    saveNew("shop");
    for (int day = 0; day < 20; ++day) {
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "2026-11-%02d", 30 - day);
        addOld(std::string("C:\\tomcat\\logs\\catalina.") + stamp + ".log", day, 100);
    }
    addOld("C:\\tomcat\\logs\\shop_err.log", 30, 100);  // written to by the running service, however old
    os.files.locked.insert("C:\\tomcat\\logs\\shop_err.log");
    addOld("C:\\tomcat\\logs\\other.2026-11-01.log", 30);                   // no kind of shop's
    os.files.readOnly.insert("C:\\tomcat\\logs\\catalina.2026-11-11.log");  // marked to be kept
    ASSERT_EQ(run({"set", "shop", "logs.keep.days=14"}).code, 0);
    EXPECT_EQ(storedNumber("shop", "logs.keep.days"), 14u);
    EXPECT_EQ(run({"set", "shop", "logs.max.mb=40000"}).code, 2);

    const std::size_t before = os.files.files.size();
    CliRun check = run({"logs", "shop", "--prune", "--check"});
    EXPECT_EQ(check.code, 10);
    EXPECT_EQ(os.files.files.size(), before);
    EXPECT_NE(check.out.find("Would delete 5 log file(s) of \"shop\" (500 bytes)."), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("C:\\tomcat\\logs\\shop_err.log is in use and was kept."), std::string::npos);
    EXPECT_NE(check.out.find("C:\\tomcat\\logs\\catalina.2026-11-11.log is read-only and was kept."),
              std::string::npos);

    // A name that is not stored ends the command before any file goes, wherever it stands.
    EXPECT_EQ(run({"logs", "shop", "shpo", "--prune"}).code, 8);
    EXPECT_EQ(os.files.files.size(), before);

    CliRun pruned = run({"logs", "--all", "--prune", "--json"});
    EXPECT_EQ(pruned.code, 10);
    const auto json = nlohmann::json::parse(pruned.out);
    EXPECT_EQ(json["configurations"][0]["deleted"].size(), 5u);
    EXPECT_EQ(json["configurations"][0]["deleted"][0], "C:\\tomcat\\logs\\catalina.2026-11-12.log");  // oldest first
    EXPECT_EQ(json["configurations"][0]["inUse"][0], "C:\\tomcat\\logs\\shop_err.log");
    EXPECT_EQ(json["configurations"][0]["readOnly"],
              nlohmann::json::array({"C:\\tomcat\\logs\\catalina.2026-11-11.log"}));
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\logs\\catalina.2026-11-11.log"));
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\logs\\catalina.2026-11-17.log"));  // 13 days old
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\logs\\catalina.2026-11-16.log"));
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\logs\\shop_err.log"));
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\logs\\other.2026-11-01.log"));
    EXPECT_EQ(os.events.written.back().id, 1006u);
    // Nothing more to delete, but what was kept is still beyond the bounds.
    const CliRun again = run({"logs", "shop", "--prune"});
    EXPECT_EQ(again.code, 0);
    EXPECT_EQ(again.out.substr(0, again.out.find('\n')), "Deleted 0 log file(s) of \"shop\" (0 bytes).");

    // By size: 1 MB in all; the newest files stay, the oldest go. apply --check lists and deletes nothing.
    for (int i = 0; i < 3; ++i)
        addOld("C:\\tomcat\\logs\\localhost.2026-12-0" + std::to_string(i + 1) + ".log", 3 - i, 400 * 1024);
    os.files.addFile("C:\\fleet.json", R"({"configurations": [{"name": "shop", "logs.max.mb": 1,
        "logs.keep.days": 14}]})");
    const std::size_t kept = os.files.files.size();
    CliRun applyCheck = run({"apply", "C:\\fleet.json", "--check"});
    EXPECT_EQ(applyCheck.code, 10);
    EXPECT_EQ(os.files.files.size(), kept);
    EXPECT_NE(applyCheck.out.find("would delete C:\\tomcat\\logs\\localhost.2026-12-01.log"), std::string::npos)
        << applyCheck.out;
    EXPECT_EQ(run({"apply", "C:\\fleet.json"}).code, 10);
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\logs\\localhost.2026-12-01.log"));
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\logs\\localhost.2026-12-02.log"));
    EXPECT_EQ(run({"apply", "C:\\fleet.json"}).code, 0);

    // The check warns of logs beyond a bound and of a disk almost full.
    os.files.disks["C:"] = {100 * kBytesPerMb, 9 * kBytesPerMb};
    addOld("C:\\tomcat\\logs\\localhost.2026-11-01.log", 20);
    CliRun checked = run({"check", "shop", "--json"});
    EXPECT_EQ(checked.code, 4);
    const auto problems = nlohmann::json::parse(checked.out)["problems"];
    std::vector<std::string> kinds;
    for (const auto& problem : problems) kinds.push_back(problem["kind"]);
    EXPECT_EQ(kinds, words("logs-beyond-bounds disk-almost-full"));

    // A base left empty or relative names no folder of shop's own: Windows would take \logs on the current
    // drive and logs beside the current folder, where another Tomcat's files lie. They stay.
    for (const char* other : {"C:\\logs\\catalina.2020-01-01.log", "C:\\logs\\jakarta_service_20200101.log",
                              "C:\\users\\admin\\tomcat\\logs\\catalina.2020-01-01.log"})
        addOld(other, 2000);
    for (const std::string base : {"", "tomcat"}) {
        // Empty, it is stored with --force, and the warnings that it names no folder make it exit 1. Relative,
        // set refuses it, and only a hand or another program can store it.
        CliRun s = run({"set", "shop", "catalina.base=" + base, "--force", "--yes"});
        if (base.empty()) {
            ASSERT_EQ(s.code, 1) << s.out << s.err;
        } else {
            EXPECT_EQ(s.code, 2);
            EXPECT_EQ(
                s.err,
                "velmora-cli set: field \"catalina.base\": expected a full path (C:\\... or \\\\server\\share\\...): "
                "the service would look for a relative one from its own folder.\n");
            EXPECT_EQ(stored("shop", "catalina.base"), "");
            os.registry.write(kLocalMachine, kStore + "\\shop", {RegistryWrite::textValue("catalina.base", base)});
        }
        ASSERT_EQ(stored("shop", "catalina.base"), base);
        const std::size_t before = os.files.files.size();
        CliRun none = run({"logs", "--all", "--prune"});
        EXPECT_EQ(none.code, 0) << base;
        EXPECT_EQ(none.out, "No log file of \"shop\" is beyond its bounds.\n") << base;
        EXPECT_EQ(os.files.files.size(), before) << base;
    }
    EXPECT_TRUE(os.files.fileExists("C:\\logs\\catalina.2020-01-01.log"));
    EXPECT_TRUE(os.files.fileExists("C:\\users\\admin\\tomcat\\logs\\catalina.2020-01-01.log"));
}

TEST_F(LogsTest, AStopByVelmoraRollsAnOutputAboveTheSizeBoundAndEveryEventIsWrittenWithItsIdAndNoPassword) {
    os.services.accounts.insert("CORP\\tomcat");
    ui.givenPassword = "S3cret!pw";
    os.services.unsupported.insert(ServiceSetting::DelayedStart);
    saveNew("shop");
    editing.edit(Field::ServiceAccount, "CORP\\tomcat");
    editing.edit(Field::StartupType, "delayed");
    editing.edit(Field::LogsMaxMb, "1");
    (void)session.install();  // done, with the refused setting as its warning
    ASSERT_TRUE(session.installed());
    // Its outputs are let go only once it has stopped: the roll comes after the stop.
    os.services.services["shop"].holds = {"C:\\tomcat\\logs\\shop_out.log", "C:\\tomcat\\logs\\shop_err.log"};
    ASSERT_TRUE(session.start().done());
    os.files.addFile("C:\\tomcat\\logs\\shop_out.log", std::string(kBytesPerMb + 1, 'o'));
    os.files.addFile("C:\\tomcat\\logs\\shop_out.2026-12-07.log", "an earlier roll today");
    os.files.addFile("C:\\tomcat\\logs\\shop_err.log", "small");
    const Outcome stopped = session.stop();
    EXPECT_EQ(stopped.notices, std::vector<std::string>{"Rolled C:\\tomcat\\logs\\shop_out.log -> "
                                                        "C:\\tomcat\\logs\\shop_out.2026-12-07.1.log."});
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\logs\\shop_out.log"));
    EXPECT_EQ(os.files.files["C:\\tomcat\\logs\\shop_out.2026-12-07.1.log"].size(), kBytesPerMb + 1);
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\logs\\shop_err.log"));
    // So does the restart that gives the service back a value changed past Velmora.
    ASSERT_TRUE(session.start().done());
    os.registry.write(kLocalMachine, parametersKey("shop"),
                      {RegistryWrite::textValue("JVM Option Number 6", "-Xmx64m")});
    os.files.addFile("C:\\tomcat\\logs\\shop_out.log", std::string(kBytesPerMb + 1, 'o'));
    EXPECT_EQ(session.bringServiceBack().notices,
              std::vector<std::string>{
                  "Rolled C:\\tomcat\\logs\\shop_out.log -> C:\\tomcat\\logs\\shop_out.2026-12-07.2.log."});
    ASSERT_TRUE(session.stop().done());

    editing.edit(Field::MaxHeapSize, "512");
    editing.edit(Field::StartTimeout, "90");  // Velmora's own: no change of the service
    ASSERT_TRUE(session.save().done());
    os.services.services["shop"].script = {Fate::DiesStarting,
                                           0,
                                           1067,
                                           0,
                                           {{"C:\\tomcat\\logs\\shop_err.log",
                                             "Error occurred during initialization of VM\r\n"
                                             "Could not reserve enough space for object heap\r\n"}},
                                           {},
                                           {}};
    EXPECT_FALSE(session.start().done());
    ASSERT_TRUE(session.uninstall().done());
    // What comes later writes with one call of its own.
    program.journal.write(JournalEvent::NotReady, "shop", {"Tomcat did not answer on port 8080."});

    std::vector<std::uint32_t> ids;
    std::vector<EventLevel> levels;
    for (const auto& event : os.events.written) {
        ids.push_back(event.id);
        levels.push_back(event.level);
        EXPECT_EQ(event.strings.at(0), "shop");
        for (const auto& text : event.strings) EXPECT_EQ(text.find("S3cret!pw"), std::string::npos) << text;
    }
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{1103, 1000, 1003, 1003, 1100, 1001, 1101}));
    EXPECT_EQ(levels, (std::vector<EventLevel>{EventLevel::Warning, EventLevel::Information, EventLevel::Information,
                                               EventLevel::Information, EventLevel::Error, EventLevel::Information,
                                               EventLevel::Error}));
    ASSERT_EQ(os.events.written.size(), 7u);
    EXPECT_NE(os.events.written[0].strings[1].find("refused the delayed start"), std::string::npos)
        << os.events.written[0].strings[1];
    EXPECT_EQ(
        os.events.written[3].strings[1],
        "Configuration \"shop\" saved.\r\nChanged: max.heap.size; change the service in place (takes a restart).");
    EXPECT_EQ(os.events.written[4].strings,
              (std::vector<std::string>{"shop",
                                        "Lower the maximum heap size (512 MB): the JVM could not reserve that much "
                                        "memory (shop_err.log, line 2).",
                                        "C:\\tomcat\\logs\\shop_err.log", "2"}));
    // A change of the log bounds alone leaves the service and the event log alone.
    installNew("blog");
    const std::size_t written = os.events.written.size();
    const std::size_t ran = os.processes.ran.size();
    editing.edit(Field::LogsKeepDays, "30");
    EXPECT_TRUE(session.save().done());
    EXPECT_EQ(os.events.written.size(), written);
    EXPECT_EQ(os.processes.ran.size(), ran);
}
