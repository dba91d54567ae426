#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// An http URL of this machine, as readiness asks it: the loopback address
// by name or number, the port (80 when none is given) and the path ("/" when none).
struct LocalUrl {
    std::string host;  // "localhost", "127.0.0.1", "::1"
    std::uint16_t port = 80;
    std::string path = "/";
};

std::optional<LocalUrl> parseLocalUrl(const std::string& text);

// Why a text is not such a URL; empty when it is, and for no URL at all.
std::string localUrlProblem(const std::string& text);

}  // namespace velmora
