// velmora-cli logs under Wine: a base with 40 dated files of each kind and a
// running stand-in service holding its current files open; --prune keeps the
// 14 newest of each kind and every open file, apply --check deletes nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "e2eSession.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace velmora::e2e {
namespace {

constexpr ULONGLONG kHour = 3600ULL * 10'000'000ULL;
constexpr ULONGLONG kDay = 24 * kHour;

ULONGLONG now() {
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// The date of a moment as a log's name carries it, with or without dashes.
std::string dateOf(ULONGLONG time, bool dashes) {
    FILETIME file{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SYSTEMTIME day;
    FileTimeToSystemTime(&file, &day);
    char text[16];
    snprintf(text, sizeof text, dashes ? "%04u-%02u-%02u" : "%04u%02u%02u", day.wYear, day.wMonth, day.wDay);
    return text;
}

// Stamps the file's last write, also while another program writes to it.
bool setWritten(const std::string& path, ULONGLONG time) {
    const Handle file(CreateFileW(wide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    FILETIME stamp{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    return file && SetFileTime(file.get(), nullptr, nullptr, &stamp);
}

TEST(Logs, PruneKeepsTheFourteenNewestOfEachKindAndTheOpenFilesAndCheckDeletesNothing) {
    Session session;
    const std::string name = "LgShop" + std::to_string(GetCurrentProcessId());
    session.removeServiceAtEnd(name);
    const std::string noRecovery =
        " service.recovery.first=0 service.recovery.second=0 service.recovery.later=0 service.recovery.reset=0 "
        "service.recovery.on.error.exit=0";
    CliRun run = session.cli("set " + name + " logs.keep.days=14" + noRecovery);
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(session.cli("install " + name + " --yes").code, 0);
    run = session.cli("start " + name);
    ASSERT_EQ(run.code, 0) << run.err;

    // 40 files of each kind, one a day from yesterday back: the 14th is 13 days and 23 hours old.
    const std::string logs = session.home() + "\\logs\\";
    struct Kind {
        std::string prefix, suffix;
        bool dashes;
    };
    const std::vector<Kind> kinds = {
        {"catalina.", ".log", true},         {"localhost.", ".log", true},   {"manager.", ".log", true},
        {"host-manager.", ".log", true},     {"admin.", ".log", true},       {"localhost_access_log.", ".txt", true},
        {"jakarta_service_", ".log", false}, {name + "_out.", ".log", true}, {name + "_err.", ".log", true},
    };
    const ULONGLONG start = now();
    auto pathOf = [&](const Kind& kind, int daysAgo) {
        return logs + kind.prefix + dateOf(start - daysAgo * kDay, kind.dashes) + kind.suffix;
    };
    for (const Kind& kind : kinds)
        for (int day = 1; day <= 40; ++day) {
            makeFile(pathOf(kind, day), "a day of " + kind.prefix + "\r\n");
            ASSERT_TRUE(setWritten(pathOf(kind, day), start - day * kDay + kHour));
        }
    makeFile(logs + "notes.2020-01-01.log", "not a log of Tomcat's\r\n");
    // The running service's current files: open for writing, and one of them made to look old.
    const std::vector<std::string> open = {logs + name + "_out.log", logs + name + "_err.log",
                                           logs + "catalina." + dateOf(start, true) + ".log"};
    for (const auto& path : open) ASSERT_TRUE(fileExists(path)) << path;
    ASSERT_TRUE(setWritten(logs + name + "_err.log", start - 30 * kDay));

    run = session.cli("logs " + name);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(holds(run.out, logs + name + "_err.log  (in use)\n")) << run.out;

    // apply --check lists what it would delete and deletes nothing.
    const std::string file = session.root() + "\\fleet.json";
    makeFile(file, "{\"configurations\": [{\"name\": \"" + name +
                       "\", \"state\": \"running\", \"logs.keep.days\": 14, \"service.recovery.first\": 0, "
                       "\"service.recovery.second\": 0, \"service.recovery.later\": 0, \"service.recovery.reset\": 0, "
                       "\"service.recovery.on.error.exit\": 0}]}");
    run = session.cli("apply " + file + " --check");
    EXPECT_EQ(run.code, 10) << run.err;
    EXPECT_TRUE(holds(run.out, name + ": would change; would prune logs (234 file(s)")) << run.out;
    for (const Kind& kind : kinds) EXPECT_TRUE(fileExists(pathOf(kind, 40))) << kind.prefix;

    run = session.cli("logs " + name + " --prune");
    EXPECT_EQ(run.code, 10) << run.err;
    EXPECT_TRUE(holds(run.out, "Deleted 234 log file(s) of \"" + name + "\"")) << run.out;
    for (const Kind& kind : kinds)
        for (int day = 1; day <= 40; ++day) EXPECT_EQ(fileExists(pathOf(kind, day)), day <= 14) << pathOf(kind, day);
    for (const auto& path : open) EXPECT_TRUE(fileExists(path)) << path;
    EXPECT_TRUE(fileExists(logs + "notes.2020-01-01.log"));
    EXPECT_EQ(session.cli("logs " + name + " --prune").code, 0);

    // Let go by a stop, the old System.err is no longer spared.
    ASSERT_EQ(session.cli("stop " + name).code, 0);
    EXPECT_EQ(session.cli("logs " + name + " --prune").code, 10);
    EXPECT_FALSE(fileExists(logs + name + "_err.log"));
}

}  // namespace
}  // namespace velmora::e2e
