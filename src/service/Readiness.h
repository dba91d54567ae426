#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "config/ServerPorts.h"
#include "platform/Files.h"
#include "platform/Network.h"
#include "platform/Processes.h"

namespace velmora {

// One thing that must answer before Tomcat counts as serving: a connector's
// port, or the configuration's URL (which must answer 2xx or 3xx).
struct ReadinessProbe {
    std::string address;  // what is connected to
    std::uint16_t port = 0;
    std::string path;  // for the URL: what is asked; empty for a port
    std::string name;  // "port 8080", "http://localhost:8080/health"
    // Another program listened where it asks before the start: what answers there is not this Tomcat.
    bool heldBefore = false;
};

// Every connector port with a number, on the connector's address or, when it
// takes every address, the loopback; each once; then the URL when one is given.
std::vector<ReadinessProbe> readinessProbes(const std::vector<DeclaredPort>& ports, const std::string& readyUrl);
// The same from the configuration's server.xml; a file that cannot be read gives no ports.
std::vector<ReadinessProbe> readinessProbesOf(const Configuration& c, Files& files);

// Marks, before a start, the probes that another program would answer: one
// listens on their port at the address asked or at every address. A table of
// sockets that cannot be read marks none.
void markHeldBeforeStart(std::vector<ReadinessProbe>& probes, Network& network);

// The process that holds the socket a probe reaches, when the system names
// one that is neither the service's process nor started by it: what answered
// there is another program (IIS on 8080 while Tomcat failed to open it), not
// this Tomcat.
std::optional<std::uint32_t> otherProgramAnswering(Network& network, Processes& processes, const ReadinessProbe& probe,
                                                   std::uint32_t serviceProcessId);

// How long one look may wait. A port on this machine answers or refuses at
// once; a URL is answered by the application, whose health check may take a
// while, so it has a time of its own: kUrlAnswerMilliseconds, within a start's bound.
struct ProbeTimes {
    std::uint32_t portMs = 0;
    std::uint32_t urlMs = 0;
};
constexpr std::uint32_t kUrlAnswerMilliseconds = 5000;

// One look, waiting at most the probe's time: whether it answers now.
std::variant<bool, Failure> answers(Network& network, const ReadinessProbe& probe, ProbeTimes times);

}  // namespace velmora
