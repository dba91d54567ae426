#include "service/Readiness.h"

#include <algorithm>

#include "config/LocalUrl.h"
#include "config/TomcatRelease.h"

namespace velmora {

namespace {

// A connector that takes every address is reached on the loopback.
std::string addressToAsk(const std::string& declared) {
    return takesEveryAddress(declared) ? "127.0.0.1" : bareAddress(declared);
}

}  // namespace

std::vector<ReadinessProbe> readinessProbes(const std::vector<DeclaredPort>& ports, const std::string& readyUrl) {
    std::vector<ReadinessProbe> probes;
    for (const DeclaredPort& port : ports) {
        if (port.role == PortRole::Shutdown || port.value != PortValue::Number) continue;
        ReadinessProbe probe{addressToAsk(port.address), port.number, {}, "port " + std::to_string(port.number)};
        if (!port.address.empty() && probe.address != "127.0.0.1") probe.name += " on " + port.address;
        const bool known = std::any_of(probes.begin(), probes.end(), [&](const ReadinessProbe& p) {
            return p.port == probe.port && p.address == probe.address;
        });
        if (!known) probes.push_back(std::move(probe));
    }
    if (const auto url = parseLocalUrl(readyUrl)) probes.push_back({url->host, url->port, url->path, readyUrl});
    return probes;
}

std::vector<ReadinessProbe> readinessProbesOf(const Configuration& c, Files& files) {
    const auto read = readServerPorts(files, c.tomcatConfigFile, tomcatVersionAt(c.catalinaHome, files));
    const auto* ports = std::get_if<std::vector<DeclaredPort>>(&read);
    return readinessProbes(ports ? *ports : std::vector<DeclaredPort>{}, c.readyUrl);
}

void markHeldBeforeStart(std::vector<ReadinessProbe>& probes, Network& network) {
    for (ReadinessProbe& probe : probes) {
        if (!listenedOn(network, probe.address, probe.port)) continue;
        probe.heldBefore = true;
        probe.name += " (held by another program before the start)";
    }
}

std::optional<std::uint32_t> otherProgramAnswering(Network& network, Processes& processes, const ReadinessProbe& probe,
                                                   std::uint32_t serviceProcessId) {
    const auto listeners = network.listenersOn(probe.port);
    const auto* found = std::get_if<std::vector<Listener>>(&listeners);
    const auto reached = found ? reachedListener(*found, probe.address) : std::nullopt;
    if (!reached || !reached->processId || !serviceProcessId || reached->processId == serviceProcessId)
        return std::nullopt;
    // A wrapper that runs Java in a process of its own: the JVM is its child.
    if (processes.parentOf(reached->processId) == serviceProcessId) return std::nullopt;
    return reached->processId;
}

std::variant<bool, Failure> answers(Network& network, const ReadinessProbe& probe, ProbeTimes times) {
    if (probe.path.empty()) return network.accepts(probe.address, probe.port, times.portMs);
    const auto status = network.httpStatus(probe.address, probe.port, probe.path, times.urlMs);
    if (const auto* failure = std::get_if<Failure>(&status)) return *failure;
    const int code = std::get<int>(status);
    return code >= 200 && code < 400;
}

}  // namespace velmora
