#pragma once
#include <cstdint>
#include <variant>

#include "platform/Failure.h"

namespace velmora {

// What the machine's TCP stack says of a port, without opening anything.
class Network {
public:
    virtual ~Network() = default;
    // True when some program listens on the TCP port on any address, IPv4 or
    // IPv6, so that a server asking for it would be refused; a Failure when
    // the system's table of sockets cannot be read.
    virtual std::variant<bool, Failure> portInUse(std::uint16_t port) = 0;
};

}  // namespace velmora
