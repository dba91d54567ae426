#include "service/Adoption.h"

#include "config/NameRule.h"
#include "config/TomcatLayout.h"
#include "config/TomcatRelease.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "service/Ownership.h"
#include "service/ProgramDigest.h"
#include "service/ServiceMessages.h"
#include "service/WrapperKind.h"

namespace velmora {

namespace {

// Larger than any service wrapper.
constexpr std::size_t kMaxWrapperBytes = 64u << 20;

std::string notATomcatService(const std::string& name, const std::string& programLine) {
    return "The service \"" + name + "\" runs " + programLine +
           ", which is not a Tomcat service wrapper of a Catalina home: Velmora takes over only those. Nothing was "
           "changed.";
}

AdoptionCheck refused(std::string why) { return {std::nullopt, std::move(why)}; }

AdoptionCheck examine(Platform& platform, ConfigurationStore& store, const std::string& name) {
    const ServiceLookup lookup = platform.services.binaryPath(name);
    if (const Failure* failure = std::get_if<Failure>(&lookup))
        return refused(messages::serviceLookupFailed(name, failure->description));
    const auto& line = std::get<std::optional<std::string>>(lookup);
    if (!line) return refused("No service named \"" + name + "\" is installed on this computer. Nothing was changed.");

    // The wrapper's folder names the home; the line must be the one Velmora itself would give the service there.
    const std::string program = programOfBinaryPath(*line);
    const auto slash = program.find_last_of("\\/");
    if (slash == std::string::npos || !sameName(lastPathPart(program.substr(0, slash)), "bin"))
        return refused(notATomcatService(name, *line));
    const std::string home = installedWrapperOf(*line, platform.files).catalinaHome;
    const TomcatLayout layout = tomcatLayoutOf(home, platform.files);
    const auto kind = wrapperKindFor(layout, platform.files);
    Configuration c;
    c.serviceName = name;
    c.catalinaHome = home;
    if (home.empty() || !sameProgramLine(kind->programLine(c), *line) ||
        !platform.files.fileExists(home + "\\bin\\bootstrap.jar"))
        return refused(notATomcatService(name, *line));
    if (const auto copy = kind->copy(c)) {
        const auto source = platform.files.readBytes(copy->source, kMaxWrapperBytes);
        const auto target = platform.files.readBytes(copy->target, kMaxWrapperBytes);
        if (!source || !target || sha256Hex(*source) != sha256Hex(*target))
            return refused("The service \"" + name + "\" runs " + copy->target + ", which is not a copy of " +
                           copy->source +
                           ": Velmora takes over only a service that runs its home's own wrapper. "
                           "Nothing was changed.");
    }
    if (std::string why = nameRuleViolation(name, home); !why.empty()) return refused(why);

    const StoredConfiguration stored = store.read(name);
    const ServiceFacts facts = lookUpService(platform.services, platform.registry, name);
    const Ownership ownership = ownershipOf(facts, stored.installed, stored.record);
    if (ownership == Ownership::Ours)
        return refused("The service \"" + name + "\" is Velmora's already: the configuration \"" + name +
                       "\" installed it. Nothing was changed.");
    if (ownership == Ownership::Unknown) return refused(messages::serviceLookupFailed(name, facts.failure.description));

    AdoptableService found;
    found.name = name;
    found.programLine = *line;
    found.catalinaHome = home;
    found.tomcatVersion = tomcatVersionOf(home, layout, platform.files).text;
    found.road = kind->roadName();
    found.status = askServiceState(platform.services, name).status;
    found.reason = ownership == Ownership::Unrecorded ? "an older store entry without a record" : "made elsewhere";
    found.stored = store.isStored(name);
    const auto manager = platform.services.configuration(name);
    const auto* configuration = std::get_if<ServiceConfiguration>(&manager);
    found.displayName = configuration ? configuration->displayName : name;
    return {found, {}};
}

}  // namespace

AdoptionCheck checkAdoptable(Platform& platform, ConfigurationStore& store, const std::string& name) {
    // The configuration takes the name as the service manager spells it.
    const auto names = platform.services.serviceNames();
    if (const auto* all = std::get_if<std::vector<std::string>>(&names))
        for (const auto& spelled : *all)
            if (sameName(spelled, name)) return examine(platform, store, spelled);
    return examine(platform, store, name);
}

AdoptableServices adoptableServices(Platform& platform, ConfigurationStore& store) {
    AdoptableServices found;
    const auto names = platform.services.serviceNames();
    if (const Failure* failure = std::get_if<Failure>(&names)) {
        found.failure = *failure;
        return found;
    }
    for (const auto& name : std::get<std::vector<std::string>>(names))
        if (auto check = examine(platform, store, name); check.service)
            found.services.push_back(std::move(*check.service));
    return found;
}

}  // namespace velmora
