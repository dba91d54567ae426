#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "config/TomcatRelease.h"
#include "platform/Files.h"
#include "service/WrapperKind.h"

namespace velmora {

// One kind of log file of a configuration: the files in a folder named
// <prefix><stamp><suffix>, the stamp a date (2026-12-07 or 20261207, with .N
// for a second roll of one day); an undated kind is the one file <prefix>.
struct LogKind {
    std::string role;
    std::string folder;
    std::string prefix;
    std::string suffix;
    bool dated = true;
};

// Whether a file name is of the kind, compared as Windows compares names.
bool isOfKind(const std::string& fileName, const LogKind& kind);

// The kinds that belong to a configuration: its System.out and System.err
// files, as the wrapper writes them, as Velmora rolls them and in the
// wrapper's dated form; the wrapper's own log; and Tomcat's logs of its
// version in the base's logs folder. The last two are a base's, not a name's:
// only the configuration that owns the base's logs has them. A kind whose
// folder is not a whole path (an empty or relative base or output folder) is left out.
std::vector<LogKind> logKinds(const Configuration& c, const TomcatLayout& layout, const WrapperKind& kind,
                              const TomcatVersion& version, bool ownsBaseLogs);

struct LogFile {
    std::string path;
    std::string role;
    std::uint64_t size = 0;
    FileTime modified = 0;
    bool open = false;      // held open for writing: the running service's current file
    bool readOnly = false;  // marked so by someone who wants it kept
};

// The files of those kinds, newest first, each once; whether each is open is
// asked only when markOpen is given.
std::vector<LogFile> listLogFiles(const std::vector<LogKind>& kinds, Files& files, bool markOpen);

constexpr FileTime kTicksPerDay = 86400 * kTicksPerSecond;
constexpr std::uint64_t kBytesPerMb = 1024 * 1024;

// Of files listed newest first, those beyond a bound, oldest first: last
// written more than keepDays before now, or beyond maxMb counted from the
// newest (an open file counts, and stays). A bound of 0 is none.
std::vector<LogFile> filesBeyondBounds(const std::vector<LogFile>& newestFirst, std::uint16_t keepDays,
                                       std::uint16_t maxMb, FileTime now);

// Whether the files exceed a bound, for the check.
bool exceedsBounds(const std::vector<LogFile>& files, std::uint16_t keepDays, std::uint16_t maxMb, FileTime now);

// The name a file that never rolls by itself is given when Velmora rolls it:
// <name>_out.log becomes <name>_out.2026-12-07.log (.1, .2, ... after a first
// roll that day); empty when no free name is left.
std::string rolledPath(const std::string& path, FileTime now, Files& files);

// The System.out and System.err files above the size bound, while nothing
// holds them open: as a stop leaves them, they are rolled; never one in a
// folder that is not a whole path. What was rolled
// and what could not be is told as text.
struct RollResult {
    std::vector<std::string> rolled;    // "old -> new"
    std::vector<std::string> failures;  // why a file stayed
};
RollResult rollOutputs(const Configuration& c, Files& files, FileTime now);

// The date of a moment in UTC: 2026-12-07.
std::string dateText(FileTime time);

}  // namespace velmora
