#include "service/LogFiles.h"

#include <algorithm>
#include <set>
#include <utility>

#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {

bool isDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// 2026-12-07 or 20261207, then .N for a later roll of the same day.
bool isDateStamp(const std::string& stamp) {
    const auto dot = stamp.find('.');
    const std::string date = stamp.substr(0, dot);
    if (dot != std::string::npos && !isDigits(stamp.substr(dot + 1))) return false;
    if (date.size() == 8) return isDigits(date);
    return date.size() == 10 && date[4] == '-' && date[7] == '-' && isDigits(date.substr(0, 4)) &&
           isDigits(date.substr(5, 2)) && isDigits(date.substr(8, 2));
}

bool startsWithName(const std::string& text, const std::string& start) {
    return text.size() >= start.size() && sameName(text.substr(0, start.size()), start);
}

bool endsWithName(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && sameName(text.substr(text.size() - end.size()), end);
}

LogKind dated(std::string role, std::string folder, std::string prefix, std::string suffix) {
    return {std::move(role), std::move(folder), std::move(prefix), std::move(suffix), true};
}

// A wrapper's log named by a pattern with one *: the stamp stands there.
LogKind ofPattern(std::string role, const FilePattern& where) {
    const auto star = where.pattern.find('*');
    return dated(std::move(role), where.folder, where.pattern.substr(0, star),
                 star == std::string::npos ? std::string() : where.pattern.substr(star + 1));
}

// A folder that is not a whole path is no folder of the configuration's: Windows
// would take an empty base's \logs from the current drive's root and a relative
// one from the current folder, where another program's files lie.
std::vector<LogKind> ownFolders(std::vector<LogKind> kinds) {
    std::erase_if(kinds, [](const LogKind& kind) { return !isAbsoluteWindowsPath(kind.folder); });
    return kinds;
}

}  // namespace

std::string dateText(FileTime time) { return isoUtcText(time).substr(0, 10); }

bool isOfKind(const std::string& fileName, const LogKind& kind) {
    if (!kind.dated) return sameName(fileName, kind.prefix);
    if (fileName.size() < kind.prefix.size() + kind.suffix.size() || !startsWithName(fileName, kind.prefix) ||
        !endsWithName(fileName, kind.suffix))
        return false;
    return isDateStamp(fileName.substr(kind.prefix.size(), fileName.size() - kind.prefix.size() - kind.suffix.size()));
}

std::vector<LogKind> logKinds(const Configuration& c, const TomcatLayout& layout, const WrapperKind& kind,
                              const TomcatVersion& version, bool ownsBaseLogs) {
    const std::string& name = c.serviceName;
    const std::string logs = c.catalinaBase + "\\logs";
    std::vector<LogKind> kinds = {
        {"System.out", c.systemOut, name + "_out.log", "", false},
        {"System.err", c.systemErr, name + "_err.log", "", false},
        dated("System.out", c.systemOut, name + "_out.", ".log"),
        dated("System.err", c.systemErr, name + "_err.", ".log"),
        // The Tomcat 7-11 wrapper's own names, when its output goes "auto": in its
        // log folder, which an adopted service's configuration holds as these
        // folders, and which Tomcat's own script sets to the base's logs.
        dated("System.out", c.systemOut, name + "-stdout.", ".log"),
        dated("System.err", c.systemErr, name + "-stderr.", ".log"),
        dated("System.out", logs, name + "-stdout.", ".log"),
        dated("System.err", logs, name + "-stderr.", ".log"),
    };
    if (!ownsBaseLogs) return ownFolders(std::move(kinds));
    kinds.push_back(ofPattern("the wrapper's log", kind.ownLog(c)));
    std::vector<std::string> tomcatLogs = {"catalina", "localhost", "manager", "host-manager"};
    // Tomcat 5.5 and before bring the admin application, which logs too;
    // the classic layout is that Tomcat unless its notes say otherwise.
    const bool beforeSix = version.known() ? version.major <= 5 : layout.family == WrapperFamily::Classic;
    if (beforeSix) tomcatLogs.push_back("admin");
    for (const auto& log : tomcatLogs) kinds.push_back(dated("Tomcat's " + log + " log", logs, log + ".", ".log"));
    kinds.push_back(dated("Tomcat's access log", logs, "localhost_access_log.", ".txt"));
    return ownFolders(std::move(kinds));
}

std::vector<LogFile> listLogFiles(const std::vector<LogKind>& kinds, Files& files, bool markOpen) {
    std::vector<LogFile> found;
    std::set<std::u16string> seen;
    for (const auto& kind : kinds) {
        if (kind.folder.empty()) continue;
        const std::string pattern = kind.dated ? kind.prefix + "*" + kind.suffix : kind.prefix;
        for (const auto& file : files.listFiles(kind.folder, pattern)) {
            const std::string fileName = file.path.substr(file.path.find_last_of('\\') + 1);
            if (!isOfKind(fileName, kind) || !seen.insert(foldedName(file.path)).second) continue;
            found.push_back({file.path, kind.role, file.size, file.modified, false, file.readOnly});
        }
    }
    std::sort(found.begin(), found.end(), [](const LogFile& a, const LogFile& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.path < b.path;
    });
    if (markOpen)
        for (auto& file : found) file.open = files.openForWriting(file.path);
    return found;
}

std::vector<LogFile> filesBeyondBounds(const std::vector<LogFile>& newestFirst, std::uint16_t keepDays,
                                       std::uint16_t maxMb, FileTime now) {
    const FileTime oldestKept = keepDays && now > keepDays * kTicksPerDay ? now - keepDays * kTicksPerDay : 0;
    const std::uint64_t largest = std::uint64_t{maxMb} * kBytesPerMb;
    std::vector<LogFile> beyond;
    std::uint64_t total = 0;
    bool overSize = false;
    for (const auto& file : newestFirst) {
        total += file.size;
        overSize = overSize || (maxMb && total > largest);
        if (file.open) continue;
        if (overSize || (keepDays && file.modified < oldestKept)) beyond.push_back(file);
    }
    std::reverse(beyond.begin(), beyond.end());
    return beyond;
}

bool exceedsBounds(const std::vector<LogFile>& files, std::uint16_t keepDays, std::uint16_t maxMb, FileTime now) {
    std::vector<LogFile> all = files;
    for (auto& file : all) file.open = false;
    return !filesBeyondBounds(all, keepDays, maxMb, now).empty();
}

std::string rolledPath(const std::string& path, FileTime now, Files& files) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('\\');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = hasExtension ? path.substr(0, dot) : path;
    const std::string extension = hasExtension ? path.substr(dot) : std::string();
    const std::string date = dateText(now);
    for (int roll = 0; roll < 1000; ++roll) {
        const std::string candidate = stem + "." + date + (roll ? "." + std::to_string(roll) : "") + extension;
        if (!files.fileExists(candidate)) return candidate;
    }
    return {};
}

RollResult rollOutputs(const Configuration& c, Files& files, FileTime now) {
    RollResult result;
    if (!c.logsMaxMb) return result;
    const std::uint64_t largest = std::uint64_t{c.logsMaxMb} * kBytesPerMb;
    std::set<std::u16string> seen;
    for (const auto& [folder, path] : {std::pair{c.systemOut, systemOutFile(c)}, {c.systemErr, systemErrFile(c)}}) {
        if (!isAbsoluteWindowsPath(folder) || !seen.insert(foldedName(path)).second) continue;
        const auto listed = files.listFiles(folderPart(path), lastPathPart(path));
        if (listed.empty() || listed.front().size <= largest) continue;
        const std::string target = rolledPath(path, now, files);
        if (files.openForWriting(path)) {
            result.failures.push_back(path + " is in use and was not rolled.");
        } else if (auto failure = target.empty() ? MaybeFailure(Failure{"MoveFileExW", "no free name", 183})
                                                 : files.moveFile(path, target)) {
            result.failures.push_back(path + " could not be rolled: " + failure->description);
        } else {
            result.rolled.push_back(path + " -> " + target);
        }
    }
    return result;
}

}  // namespace velmora
