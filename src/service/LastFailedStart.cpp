#include "service/LastFailedStart.h"

#include "config/Encodings.h"
#include "service/ServiceNames.h"

namespace velmora {

namespace {

const std::string kValueName = "VelmoraLastFailedStart";
// Entries: the moment, the cause, the sentence, the file, the line, the
// files read as one entry each after a count, then the evidence.
constexpr std::size_t kFixedEntries = 6;

bool allDigits(const std::string& text) {
    return !text.empty() && text.size() <= 20 && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

MaybeFailure keepLastFailedStart(Registry& registry, const std::string& serviceName, const StartDiagnosis& diagnosis) {
    std::vector<std::string> entries = {std::to_string(diagnosis.at),
                                        diagnosis.cause,
                                        diagnosis.sentence,
                                        diagnosis.file,
                                        std::to_string(diagnosis.line),
                                        std::to_string(diagnosis.filesRead.size())};
    // A list entry cannot be empty without ending the list early.
    for (auto& entry : entries)
        if (entry.empty()) entry.push_back('-');
    for (const auto& file : diagnosis.filesRead) entries.push_back(file);
    for (const auto& line : diagnosis.evidence) entries.push_back(line);
    for (std::size_t i = kFixedEntries; i < entries.size(); ++i)
        if (entries[i].empty()) entries[i].push_back(' ');
    return registry.write(kLocalMachine, serviceKey(serviceName), {RegistryWrite::listValue(kValueName, entries)});
}

MaybeFailure forgetLastFailedStart(Registry& registry, const std::string& serviceName) {
    return registry.deleteValue(kLocalMachine, serviceKey(serviceName), kValueName);
}

std::optional<StartDiagnosis> lastFailedStart(Registry& registry, const std::string& serviceName) {
    const std::vector<std::string> entries =
        storedList(registry.read(kLocalMachine, serviceKey(serviceName), kValueName));
    if (entries.size() < kFixedEntries || !allDigits(entries[0]) || !allDigits(entries[4]) || !allDigits(entries[5]))
        return std::nullopt;
    const std::size_t filesRead = std::stoul(entries[5]);
    if (entries.size() < kFixedEntries + filesRead) return std::nullopt;
    auto text = [](const std::string& stored) { return stored == "-" ? std::string() : stored; };
    StartDiagnosis diagnosis;
    diagnosis.at = std::stoull(entries[0]);
    diagnosis.cause = text(entries[1]);
    diagnosis.sentence = text(entries[2]);
    diagnosis.file = text(entries[3]);
    diagnosis.line = std::stoul(entries[4]);
    for (std::size_t i = 0; i < filesRead; ++i) diagnosis.filesRead.push_back(entries[kFixedEntries + i]);
    diagnosis.evidence.assign(entries.begin() + static_cast<std::ptrdiff_t>(kFixedEntries + filesRead), entries.end());
    return diagnosis;
}

}  // namespace velmora
