#include "service/Ownership.h"

#include <chrono>
#include <random>

#include "config/Encodings.h"
#include "platform/WindowsPaths.h"
#include "service/ServiceNames.h"

namespace velmora {

ServiceFacts lookUpService(Services& services, Registry& registry, const std::string& name) {
    ServiceFacts facts;
    const ServiceLookup lookup = services.binaryPath(name);
    if (const Failure* failure = std::get_if<Failure>(&lookup)) {
        facts.presence = ServiceFacts::Presence::Unknown;
        facts.failure = *failure;
        return facts;
    }
    const auto& line = std::get<std::optional<std::string>>(lookup);
    if (!line) return facts;
    facts.presence = ServiceFacts::Presence::Present;
    facts.programLine = *line;
    facts.mark = storedText(registry.read(kLocalMachine, serviceKey(name), kInstallMarkValue)).text;
    return facts;
}

Ownership ownershipOf(const ServiceFacts& facts, bool installed, const InstallRecord& record) {
    switch (facts.presence) {
        case ServiceFacts::Presence::Unknown: return Ownership::Unknown;
        case ServiceFacts::Presence::Absent: return Ownership::NoService;
        case ServiceFacts::Presence::Present: break;
    }
    if (!installed) return Ownership::Foreign;
    if (record.empty() || !record.readable) return Ownership::Unrecorded;
    const bool sameLine = samePath(record.programLine, facts.programLine);
    const bool marked = !record.mark.empty() && record.mark == facts.mark;
    return sameLine && marked ? Ownership::Ours : Ownership::Foreign;
}

std::string newInstallMark() {
    std::random_device device;
    std::mt19937_64 mix(device() ^
                        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static const char* digits = "0123456789abcdef";
    std::string mark = "velmora-";
    for (int i = 0; i < 32; ++i) mark += digits[mix() & 0xF];
    return mark;
}

}  // namespace velmora
