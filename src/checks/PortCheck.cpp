#include "checks/PortCheck.h"

#include <unordered_map>

#include <algorithm>
#include <variant>

#include "config/ServerPorts.h"
#include "config/TomcatRelease.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {

const char* roleName(PortRole role) {
    switch (role) {
        case PortRole::Shutdown: return "shutdown";
        case PortRole::Ajp: return "AJP";
        case PortRole::Connector: break;
    }
    return "connector";
}

std::string portName(const DeclaredPort& port) {
    return "Port " + std::to_string(port.number) + " (" + roleName(port.role) + ")";
}

}  // namespace

PortReview reviewPorts(const Configuration& c, const std::vector<OtherConfiguration>& others, bool serviceRunning,
                       Platform& platform) {
    PortReview review;
    const std::string& file = c.tomcatConfigFile;
    const auto parsed = readServerPorts(platform.files, file, tomcatVersionAt(c.catalinaHome, platform.files));
    if (const auto* error = std::get_if<ServerXmlError>(&parsed)) {
        // The service's account may well read what this user cannot: nothing is known to be wrong.
        if (error->description == kServerXmlUnreadable) {
            review.notices.push_back("The Tomcat config file " + file +
                                     " could not be read by this user: its ports were not checked.");
            return review;
        }
        const std::string why = error->description == kServerXmlTooLarge
                                    ? " is too large to read (more than 4 MB); Velmora does not look at its ports."
                                    : " does not parse: " + errorText(*error) + ". Tomcat would not start.";
        review.findings.push_back(
            {FindingKind::ValueUnusable, "Tomcat config file", file, "The Tomcat config file " + file + why});
        return review;
    }
    const auto& ports = std::get<std::vector<DeclaredPort>>(parsed);

    // A <Service> copied with its connectors, or a shutdown port on a connector's: each port once.
    for (std::size_t later = 1; later < ports.size(); ++later) {
        const auto earlier =
            std::find_if(ports.begin(), ports.begin() + static_cast<std::ptrdiff_t>(later),
                         [&](const DeclaredPort& port) { return sameListeningPort(port, ports[later]); });
        if (earlier == ports.begin() + static_cast<std::ptrdiff_t>(later)) continue;
        Finding twice{FindingKind::PortConflict, "Tomcat config file", file,
                      portName(ports[later]) + " of " + file + " is declared twice in it (" + roleName(earlier->role) +
                          " and " + roleName(ports[later].role) +
                          "): Tomcat can open it only once, and what the other is for fails."};
        twice.port = ports[later].number;
        review.findings.push_back(std::move(twice));
    }

    std::unordered_map<std::u16string, std::variant<std::vector<DeclaredPort>, ServerXmlError>> theirsByFile;
    for (const auto& other : others) {
        const bool opensPorts = std::any_of(ports.begin(), ports.end(),
                                            [](const DeclaredPort& port) { return port.value == PortValue::Number; });
        if (samePlace(other.tomcatConfigFile, file)) {
            if (!opensPorts) continue;
            Finding shared{FindingKind::PortConflict, "Tomcat config file", file,
                           "The stored configuration \"" + other.name + "\" uses the same Tomcat config file " + file +
                               ": its ports are this one's, and only one of the two services can start."};
            shared.otherConfiguration = other.name;
            review.findings.push_back(std::move(shared));
            continue;
        }
        // Many configurations may share a server.xml and a home: each pair is read once.
        const std::u16string key = foldedName(other.tomcatConfigFile) + u'|' + foldedName(other.catalinaHome);
        auto read = theirsByFile.find(key);
        if (read == theirsByFile.end())
            read = theirsByFile
                       .emplace(key, readServerPorts(platform.files, other.tomcatConfigFile,
                                                     tomcatVersionAt(other.catalinaHome, platform.files)))
                       .first;
        const auto* theirPorts = std::get_if<std::vector<DeclaredPort>>(&read->second);
        if (!theirPorts) continue;
        for (const auto& port : ports)
            for (const auto& their : *theirPorts)
                if (sameListeningPort(port, their)) {
                    Finding twice{FindingKind::PortConflict, "Tomcat config file", file,
                                  portName(port) + " of " + file + " is also in the stored configuration \"" +
                                      other.name + "\" (" + other.tomcatConfigFile +
                                      "): only one of the two services can start."};
                    twice.port = port.number;
                    twice.otherConfiguration = other.name;
                    review.findings.push_back(std::move(twice));
                }
    }

    for (const auto& port : ports) {
        if (port.value == PortValue::NotAPort)
            review.findings.push_back({FindingKind::ValueUnusable, "Tomcat config file", file,
                                       "The " + std::string(roleName(port.role)) + " port \"" + port.text + "\" of " +
                                           file +
                                           " is not a port from 1 to 65535 (portOffset included): Tomcat would not "
                                           "start."});
        // A free port of Tomcat's choosing takes the shutdown word all the same.
        if (port.role == PortRole::Shutdown && (port.value == PortValue::Number || port.value == PortValue::AnyFree))
            review.notices.push_back("The shutdown port " + std::to_string(port.number) + " of " + file +
                                     " is enabled: a program on this machine that sends the shutdown word to it stops "
                                     "Tomcat. A service is stopped through the service manager; set port=\"-1\" to "
                                     "close it.");
        if (port.value != PortValue::Number || serviceRunning) continue;
        if (listenedOn(platform.network, port.address, port.number)) {
            Finding held{FindingKind::PortConflict, "Tomcat config file", file,
                         portName(port) + " of " + file +
                             " is already taken by another program on this machine: the service would fail to start."};
            held.port = port.number;
            held.heldByProgram = true;
            review.findings.push_back(std::move(held));
        }
    }
    return review;
}

}  // namespace velmora
