#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "app/Journal.h"
#include "app/Outcome.h"
#include "checks/Findings.h"
#include "config/ConfigurationStore.h"
#include "platform/Platform.h"
#include "service/LogFiles.h"
#include "service/Plan.h"

namespace velmora {

// The last lines of one log file, their control characters written out.
struct LogTail {
    std::string path;
    std::vector<std::string> lines;
};

// What pruning the logs of a configuration did, or would do.
struct PruneRun {
    Outcome outcome;
    std::vector<LogFile> deleted;   // with checkOnly: what would be deleted
    std::vector<LogFile> inUse;     // beyond a bound, and kept as a program writes to it
    std::vector<LogFile> readOnly;  // beyond a bound, and kept as someone marked it read-only
    std::uint64_t freed = 0;        // bytes
};

// A configuration's log files: which they are, their last lines, keeping
// them within the configuration's bounds, and what the check says of them.
// Only files of the configuration's own kinds in its own folders are ever
// touched; the Tomcat logs of a base several configurations share belong to
// the first of them by name.
class LogKeeper {
public:
    LogKeeper(Platform& platform, ConfigurationStore& store, Journal& journal)
        : platform_(platform), store_(store), journal_(journal) {}

    // Newest first, with whether each is open for writing.
    std::vector<LogFile> files(const Configuration& c);
    // The last lines of the named file of the list (its name or path), or of
    // the newest System.err when none is named; why not, as text.
    std::variant<LogTail, std::string> tail(const Configuration& c, const std::string& file, std::size_t lines);
    // Deletes the files beyond either bound, oldest first, never one that is
    // open for writing; with checkOnly deletes nothing and says what it would.
    PruneRun prune(const Configuration& c, bool checkOnly);
    // The step a stop is followed by: System.out and System.err above the size bound are rolled.
    Step rollAfterStop(const Configuration& c);
    // The check's findings: logs beyond a bound, a disk of the logs almost full.
    std::vector<Finding> findings(const Configuration& c);

private:
    std::vector<LogKind> kindsOf(const Configuration& c);
    bool ownsBaseLogs(const Configuration& c);

    Platform& platform_;
    ConfigurationStore& store_;
    Journal& journal_;
};

// A number of bytes as a person reads it: 512 bytes, 12.3 KB, 4.0 MB.
std::string sizeText(std::uint64_t bytes);

}  // namespace velmora
