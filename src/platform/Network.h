#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/Failure.h"

namespace velmora {

// A socket listening at a TCP port: its local address, as canonicalIpAddress
// spells it ("0.0.0.0" and "::" for every address), and the process that holds it.
struct Listener {
    std::string address;
    std::uint32_t processId = 0;  // 0 when the system does not say
};

// What the machine's TCP stack says of a port, and whether something answers on it.
class Network {
public:
    virtual ~Network() = default;
    // The sockets listening at the TCP port, IPv4 and IPv6; a Failure when
    // the system's table of sockets cannot be read.
    virtual std::variant<std::vector<Listener>, Failure> listenersOn(std::uint16_t port) = 0;
    // Whether a TCP connection to the address (numeric IPv4 or IPv6, or
    // "localhost") and port is accepted within the time.
    virtual std::variant<bool, Failure> accepts(const std::string& address, std::uint16_t port,
                                                std::uint32_t timeoutMs) = 0;
    // The status code of an HTTP GET of the path from the address and port;
    // 0 when no status line came within the time.
    virtual std::variant<int, Failure> httpStatus(const std::string& address, std::uint16_t port,
                                                  const std::string& path, std::uint32_t timeoutMs) = 0;
};

}  // namespace velmora
