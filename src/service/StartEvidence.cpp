#include "service/StartEvidence.h"

#include <algorithm>

#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {

constexpr std::size_t kTailBytes = 256 * 1024;
constexpr std::size_t kCountChunk = 1024 * 1024;

std::u16string folded(const std::string& path) { return foldedName(path); }

// Lines before the offset, read in chunks so that a large log costs no memory.
std::size_t linesBefore(Files& files, const std::string& path, std::uint64_t offset) {
    std::size_t lines = 0;
    for (std::uint64_t at = 0; at < offset;) {
        const auto chunk =
            files.readRange(path, at, static_cast<std::size_t>(std::min<std::uint64_t>(kCountChunk, offset - at)));
        if (!chunk || chunk->empty()) break;
        lines += static_cast<std::size_t>(std::count(chunk->begin(), chunk->end(), '\n'));
        at += chunk->size();
    }
    return lines;
}

// A log's control characters are written out, so that no line can redraw a
// console or hide what follows it wherever it is shown.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char ch : text) {
        if (ch == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += ch;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

std::vector<EvidenceSource> evidenceSources(const Configuration& c, const WrapperKind& kind,
                                            const std::string& systemFolder) {
    std::vector<EvidenceSource> sources = {
        {"System.err", {c.systemErr, c.serviceName + "_err.log"}},
        // The Tomcat 7-11 wrapper's file of the day when its output goes "auto",
        // as an adopted service may keep it.
        {"System.err", {c.systemErr, c.serviceName + "-stderr.*.log"}},
        {kWrapperLogRole, kind.ownLog(c)},
        {kCatalinaLogRole, {c.catalinaBase + "\\logs", "catalina.*.log"}},
        {"System.out", {c.systemOut, c.serviceName + "_out.log"}},
        {"System.out", {c.systemOut, c.serviceName + "-stdout.*.log"}},
    };
    // A JVM that crashes writes hs_err_pid<N>.log into its working folder.
    std::vector<std::string> crashFolders;
    for (const std::string& folder : {c.catalinaHome, c.catalinaHome + "\\bin", c.catalinaBase, systemFolder}) {
        const bool known = std::any_of(crashFolders.begin(), crashFolders.end(),
                                       [&](const std::string& seen) { return sameName(seen, folder); });
        if (!folder.empty() && !known) crashFolders.push_back(folder);
    }
    for (const auto& folder : crashFolders) sources.push_back({kCrashFileRole, {folder, "hs_err_pid*.log"}});
    return sources;
}

EvidenceSnapshot EvidenceSnapshot::take(Files& files, const std::vector<EvidenceSource>& sources) {
    EvidenceSnapshot snapshot;
    snapshot.sources_ = sources;
    for (const auto& source : sources)
        if (!source.where.folder.empty())
            for (const auto& file : files.listFiles(source.where.folder, source.where.pattern))
                snapshot.sizes_[folded(file.path)] = file.size;
    return snapshot;
}

std::vector<EvidenceFile> EvidenceSnapshot::newLines(Files& files, Environment& environment, FileTime startedAt,
                                                     std::uint32_t processId) const {
    std::vector<EvidenceFile> found;
    const std::string ownCrashFile = "hs_err_pid" + std::to_string(processId) + ".log";
    for (const auto& source : sources_) {
        if (source.where.folder.empty()) continue;
        std::vector<EvidenceFile> ofSource;
        for (const auto& file : files.listFiles(source.where.folder, source.where.pattern)) {
            if (processId && source.role == kCrashFileRole && !sameName(lastPathPart(file.path), ownCrashFile))
                continue;
            std::uint64_t from = 0;
            if (auto before = sizes_.find(folded(file.path)); before != sizes_.end()) {
                if (file.size > before->second)
                    from = before->second;
                else if (file.size == before->second || file.modified < startedAt)
                    continue;  // nothing new, or a file cut short before the start
            }
            if (file.size - from > kTailBytes) from = file.size - kTailBytes;
            const auto bytes = files.readRange(file.path, from, static_cast<std::size_t>(file.size - from));
            if (!bytes || bytes->empty()) continue;
            EvidenceFile evidence{file.path, source.role, linesBefore(files, file.path, from) + 1,
                                  splitLines(textOfLogBytes(*bytes, environment)), file.modified};
            for (auto& line : evidence.lines) line = visibleText(line);
            ofSource.push_back(std::move(evidence));
        }
        // Files of the day in the order written: a start across midnight leaves its cause in yesterday's.
        std::stable_sort(ofSource.begin(), ofSource.end(),
                         [](const EvidenceFile& a, const EvidenceFile& b) { return a.modified < b.modified; });
        for (auto& file : ofSource) found.push_back(std::move(file));
    }
    return found;
}

std::vector<ServiceManagerEvent> eventsAbout(const std::vector<ServiceManagerEvent>& events,
                                             const std::vector<std::string>& names) {
    std::vector<ServiceManagerEvent> about;
    auto named = [&](const std::string& text) {
        return std::any_of(names.begin(), names.end(), [&](const std::string& name) { return sameName(text, name); });
    };
    // The name is not always the first string: a timeout's comes second.
    for (const auto& event : events)
        if (std::any_of(event.strings.begin(), event.strings.end(), named)) about.push_back(event);
    return about;
}

std::string textOfLogBytes(const std::string& bytes, Environment& environment) {
    return isValidUtf8(bytes) ? bytes : environment.fromAnsiCodePage(bytes);
}

}  // namespace velmora
