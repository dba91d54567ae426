#include "service/LastFailedStart.h"

#include "config/Encodings.h"
#include "platform/Numbers.h"
#include "service/ServiceNames.h"

namespace velmora {

namespace {

// The list's first entry names its form, so that an earlier form (which kept
// log lines) is recognised and dropped.
const std::string kForm = "cause-file-line";

}  // namespace

MaybeFailure keepLastFailedStart(Registry& registry, const std::string& serviceName, const StartDiagnosis& diagnosis) {
    // A list entry cannot be empty without ending the list early.
    const auto entry = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    const std::vector<std::string> entries = {kForm, std::to_string(diagnosis.at), entry(diagnosis.cause),
                                              entry(diagnosis.file), std::to_string(diagnosis.line)};
    return registry.write(kLocalMachine, serviceKey(serviceName),
                          {RegistryWrite::listValue(kLastFailedStartValue, entries)});
}

MaybeFailure forgetLastFailedStart(Registry& registry, const std::string& serviceName) {
    return registry.deleteValue(kLocalMachine, serviceKey(serviceName), kLastFailedStartValue);
}

KeptFailedStart lastFailedStart(Registry& registry, const std::string& serviceName) {
    const auto value = registry.read(kLocalMachine, serviceKey(serviceName), kLastFailedStartValue);
    if (!value) return {};
    const std::vector<std::string> entries = storedList(value);
    const auto at = entries.size() == 5 ? wholeNumber<FileTime>(entries[1]) : std::nullopt;
    const auto line = entries.size() == 5 ? wholeNumber<std::size_t>(entries[4]) : std::nullopt;
    if (value->type != kRegMultiSz || entries.size() != 5 || entries[0] != kForm || !at || !line)
        return {std::nullopt, true};
    auto text = [](const std::string& stored) { return stored == "-" ? std::string() : stored; };
    StartDiagnosis diagnosis;
    diagnosis.at = *at;
    diagnosis.cause = text(entries[2]);
    diagnosis.file = text(entries[3]);
    diagnosis.line = *line;
    return {diagnosis, false};
}

}  // namespace velmora
