#include "app/LogKeeper.h"

#include <algorithm>
#include <cstdio>

#include "config/StoreLayout.h"
#include "config/TomcatLayout.h"
#include "config/TomcatRelease.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "service/StartEvidence.h"

namespace velmora {

namespace {

constexpr std::size_t kTailBytes = 256 * 1024;

}  // namespace

std::string sizeText(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " bytes";
    char text[32];
    const bool megabytes = bytes >= kBytesPerMb;
    std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(bytes) / (megabytes ? kBytesPerMb : 1024.0),
                  megabytes ? "MB" : "KB");
    return text;
}

// The first by name of the configurations on the base owns its logs: an
// order that no save changes, as the store's list order does.
bool LogKeeper::ownsBaseLogs(const Configuration& c) {
    const std::u16string own = foldedName(c.serviceName);
    for (const auto& name : store_.names())
        if (foldedName(name) < own && samePlace(store_.readText(name, store::kCatalinaBase), c.catalinaBase))
            return false;
    return true;
}

std::vector<LogKind> LogKeeper::kindsOf(const Configuration& c) {
    const TomcatLayout layout = tomcatLayoutOf(c.catalinaHome, platform_.files);
    const auto kind = wrapperKindFor(layout, platform_.files);
    return logKinds(c, layout, *kind, tomcatVersionOf(c.catalinaHome, layout, platform_.files), ownsBaseLogs(c));
}

std::vector<LogFile> LogKeeper::files(const Configuration& c) {
    return listLogFiles(kindsOf(c), platform_.files, true);
}

std::variant<LogTail, std::string> LogKeeper::tail(const Configuration& c, const std::string& file, std::size_t lines) {
    const auto listed = listLogFiles(kindsOf(c), platform_.files, false);
    auto chosen = std::find_if(listed.begin(), listed.end(), [&](const LogFile& f) {
        return file.empty() ? f.role == "System.err" : sameName(lastPathPart(f.path), file) || samePath(f.path, file);
    });
    if (chosen == listed.end())
        return file.empty()
                   ? "The configuration \"" + c.serviceName + "\" has no System.err file yet."
                   : visibleText(file) + " is not one of the log files of the configuration \"" + c.serviceName + "\".";
    const std::uint64_t from = chosen->size > kTailBytes ? chosen->size - kTailBytes : 0;
    const auto bytes = platform_.files.readRange(chosen->path, from, kTailBytes);
    if (!bytes) return chosen->path + " could not be read.";
    std::vector<std::string> all;
    std::string text = textOfLogBytes(*bytes, platform_.environment);
    // A cut at the front leaves part of a line: it is not shown.
    std::size_t at = from > 0 ? text.find('\n') + 1 : 0;
    for (std::size_t end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        all.push_back(visibleText(line));
    }
    LogTail tail{chosen->path, {}};
    tail.lines.assign(all.end() - static_cast<std::ptrdiff_t>(std::min(lines, all.size())), all.end());
    return tail;
}

PruneRun LogKeeper::prune(const Configuration& c, bool checkOnly) {
    PruneRun run;
    const auto listed = listLogFiles(kindsOf(c), platform_.files, false);
    std::vector<std::string> failures;
    for (const LogFile& file : filesBeyondBounds(listed, c.logsKeepDays, c.logsMaxMb, platform_.clock.now())) {
        // The running service's current files are written to; they stay, whatever their age.
        if (platform_.files.openForWriting(file.path)) {
            run.inUse.push_back(file);
            continue;
        }
        // Marked read-only, it is kept as Windows' own del keeps it.
        if (file.readOnly) {
            run.readOnly.push_back(file);
            continue;
        }
        if (!checkOnly)
            if (auto failure = platform_.files.deleteFile(file.path)) {
                failures.push_back(file.path + " could not be deleted: " + failure->description);
                continue;
            }
        run.deleted.push_back(file);
        run.freed += file.size;
    }
    const std::string count =
        std::to_string(run.deleted.size()) + " log file(s) of \"" + c.serviceName + "\" (" + sizeText(run.freed) + ")";
    // Files kept or not deleted are beyond the bounds all the same: "none beyond" only when there are none.
    const bool noneBeyond = run.deleted.empty() && run.inUse.empty() && run.readOnly.empty() && failures.empty();
    run.outcome.summary = noneBeyond  ? "No log file of \"" + c.serviceName + "\" is beyond its bounds."
                          : checkOnly ? "Would delete " + count + "."
                                      : "Deleted " + count + ".";
    for (const auto& file : run.inUse) run.outcome.notices.push_back(file.path + " is in use and was kept.");
    for (const auto& file : run.readOnly) run.outcome.notices.push_back(file.path + " is read-only and was kept.");
    if (!failures.empty()) {
        run.outcome.result = Outcome::Result::Failed;
        run.outcome.warnings = failures;
    }
    if (!checkOnly && !run.deleted.empty())
        journal_.write(JournalEvent::LogsPruned, c.serviceName,
                       {run.outcome.summary, "Kept: " + std::to_string(c.logsKeepDays) + " day(s), " +
                                                 std::to_string(c.logsMaxMb) + " MB at most (0: no bound)."});
    return run;
}

Step LogKeeper::rollAfterStop(const Configuration& c) {
    return {"roll the System.out and System.err files", [this, c] {
                StepResult step;
                const RollResult rolled = rollOutputs(c, platform_.files, platform_.clock.now());
                for (const auto& moved : rolled.rolled) step.notices.push_back("Rolled " + moved + ".");
                for (const auto& failure : rolled.failures) step.warn(failure);
                return step;
            }};
}

std::vector<Finding> LogKeeper::findings(const Configuration& c) {
    std::vector<Finding> found;
    const auto listed = listLogFiles(kindsOf(c), platform_.files, false);
    if (exceedsBounds(listed, c.logsKeepDays, c.logsMaxMb, platform_.clock.now())) {
        std::uint64_t total = 0;
        for (const auto& file : listed) total += file.size;
        found.push_back({FindingKind::LogsBeyondBounds, "Logs", c.catalinaBase + "\\logs",
                         "The logs of \"" + c.serviceName + "\" (" + std::to_string(listed.size()) + " files, " +
                             sizeText(total) + ") go beyond what it keeps (" + std::to_string(c.logsKeepDays) +
                             " days, " + std::to_string(c.logsMaxMb) + " MB; 0: no bound): velmora-cli logs " +
                             c.serviceName + " --prune deletes the oldest.",
                         store::kLogsKeepDays});
    }
    std::vector<std::string> folders;
    for (const std::string& folder : {c.catalinaBase + "\\logs", c.systemOut, c.systemErr}) {
        if (folder.empty() || std::any_of(folders.begin(), folders.end(), [&](const std::string& seen) {
                return sameName(seen.substr(0, 2), folder.substr(0, 2));
            }))
            continue;
        folders.push_back(folder);
        const auto space = platform_.files.diskSpace(folder);
        if (space && space->total > 0 && space->free * 10 < space->total)
            found.push_back({FindingKind::DiskAlmostFull, "Logs", folder,
                             "The disk that holds " + folder + " has less than 10% free (" + sizeText(space->free) +
                                 " of " + sizeText(space->total) + ")."});
    }
    return found;
}

}  // namespace velmora
