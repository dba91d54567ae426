#pragma once
#include "platform/Network.h"

namespace velmora {

// Reads the system's tables of listening TCP sockets, IPv4 and IPv6.
class Win32Network : public Network {
public:
    std::variant<bool, Failure> portInUse(std::uint16_t port) override;
};

}  // namespace velmora
