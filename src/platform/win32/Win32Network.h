#pragma once
#include "platform/Network.h"

namespace velmora {

// Reads the system's tables of listening TCP sockets, IPv4 and IPv6, and
// connects to a port to see whether it answers.
class Win32Network : public Network {
public:
    std::variant<std::vector<Listener>, Failure> listenersOn(std::uint16_t port) override;
    std::variant<bool, Failure> accepts(const std::string& address, std::uint16_t port,
                                        std::uint32_t timeoutMs) override;
    std::variant<int, Failure> httpStatus(const std::string& address, std::uint16_t port, const std::string& path,
                                          std::uint32_t timeoutMs) override;
};

}  // namespace velmora
