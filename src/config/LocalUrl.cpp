#include "config/LocalUrl.h"

#include "platform/Numbers.h"
#include "platform/Text.h"

namespace velmora {

namespace {

bool isLoopback(const std::string& host) {
    if (sameName(host, "localhost") || host == "::1") return true;
    // 127.0.0.0/8, written as four numbers.
    if (host.rfind("127.", 0) != 0) return false;
    int parts = 0;
    for (std::size_t start = 0; start <= host.size(); ++parts) {
        auto dot = host.find('.', start);
        if (dot == std::string::npos) dot = host.size();
        const auto part = wholeNumber<unsigned>(host.substr(start, dot - start));
        if (!part || *part > 255 || dot == start || dot - start > 3) return false;
        start = dot + 1;
    }
    return parts == 4;
}

}  // namespace

std::optional<LocalUrl> parseLocalUrl(const std::string& text) {
    const std::string scheme = "http://";
    if (text.size() <= scheme.size() || !sameName(text.substr(0, scheme.size()), scheme)) return std::nullopt;
    if (text.find_first_of(" \t\"<>\\") != std::string::npos || firstHiddenCharacter(text)) return std::nullopt;
    const auto slash = text.find('/', scheme.size());
    const std::string authority = text.substr(scheme.size(), slash - scheme.size());
    LocalUrl url;
    if (slash != std::string::npos) url.path = text.substr(slash);
    std::string portText;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string::npos) return std::nullopt;
        url.host = authority.substr(1, close - 1);
        const std::string rest = authority.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') return std::nullopt;
        if (!rest.empty()) portText = rest.substr(1);
        if (rest == ":") return std::nullopt;
    } else {
        const auto colon = authority.find(':');
        url.host = authority.substr(0, colon);
        if (colon != std::string::npos) {
            portText = authority.substr(colon + 1);
            if (portText.empty()) return std::nullopt;
        }
    }
    if (!portText.empty()) {
        const auto port = wholeNumber<unsigned>(portText);
        if (!port || *port == 0 || *port > 65535) return std::nullopt;
        url.port = static_cast<std::uint16_t>(*port);
    }
    if (!isLoopback(url.host) || url.path.find('#') != std::string::npos) return std::nullopt;
    return url;
}

std::string localUrlProblem(const std::string& text) {
    if (text.empty() || parseLocalUrl(text)) return {};
    return "expected an http URL of this machine, such as http://localhost:8080/ (the host localhost, 127.0.0.1 "
           "or [::1], then an optional port and path)";
}

}  // namespace velmora
