#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "platform/Environment.h"
#include "platform/EventLog.h"
#include "platform/Files.h"
#include "platform/Services.h"
#include "service/WrapperKind.h"

namespace velmora {

// A kind of file a start may write to: the wrapper's log, System.out and
// System.err, Catalina's log, a JVM's crash file.
struct EvidenceSource {
    std::string role;
    FilePattern where;
};

inline const std::string kWrapperLogRole = "the wrapper's log";
inline const std::string kCatalinaLogRole = "Catalina's log";
inline const std::string kCrashFileRole = "a JVM crash file";

std::vector<EvidenceSource> evidenceSources(const Configuration& c, const WrapperKind& kind,
                                            const std::string& systemFolder);

// What one file gained during the start, line by line.
struct EvidenceFile {
    std::string path;
    std::string role;
    std::size_t firstLine = 1;  // the line number of lines[0] in the file
    std::vector<std::string> lines;
    FileTime modified = 0;
};

// Everything a start left behind, to tell why it failed.
struct StartEvidence {
    std::string serviceName;
    FileTime startedAt = 0;
    bool reachedRunning = false;  // it ran and then stopped
    bool timedOut = false;        // it was still starting at the bound
    std::string unanswered;       // it ran, but this probe had not answered at the bound
    std::uint32_t boundSeconds = 0;
    ServiceState state;
    std::string netOutput;
    std::vector<EvidenceFile> files;
    std::vector<ServiceManagerEvent> events;
    std::vector<std::string> lookedAt;  // folder\pattern of every source
};

// The sizes of the files before the start, so that only what the start adds
// is read: a line an earlier start wrote is never blamed on this one.
class EvidenceSnapshot {
public:
    static EvidenceSnapshot take(Files& files, const std::vector<EvidenceSource>& sources);
    // The files' new lines, at most the last 256 KB of each.
    // Of the JVM crash files, only the service process's own when its id is known (not 0): every JVM that
    // the service manager runs writes its crash file into System32.
    std::vector<EvidenceFile> newLines(Files& files, Environment& environment, FileTime startedAt,
                                       std::uint32_t processId = 0) const;

private:
    std::vector<EvidenceSource> sources_;
    std::map<std::u16string, std::uint64_t> sizes_;  // by folded path
};

// The service manager's events about the service, by its name or its display name.
std::vector<ServiceManagerEvent> eventsAbout(const std::vector<ServiceManagerEvent>& events,
                                             const std::vector<std::string>& names);

// File bytes as UTF-8: a file that is not UTF-8 is taken as written in the machine's code page for programs that
// are not Unicode, as a JVM run as a service writes its output.
std::string textOfLogBytes(const std::string& bytes, Environment& environment);

}  // namespace velmora
