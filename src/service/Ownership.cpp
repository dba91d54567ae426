#include "service/Ownership.h"

#include <algorithm>
#include <cctype>

#include "service/ServiceMessages.h"

namespace velmora {

namespace {
// Larger than any service wrapper; a file this size is not one we copied.
constexpr std::size_t kMaxWrapperBytes = 64u << 20;

char foldedPathChar(unsigned char c) { return c == '/' ? '\\' : static_cast<char>(std::tolower(c)); }
}  // namespace

std::string programOfBinaryPath(const std::string& binaryPath) {
    const auto start = binaryPath.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    if (binaryPath[start] == '"') {
        const auto close = binaryPath.find('"', start + 1);
        return binaryPath.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
    }
    // Unquoted, a path with blanks is cut at the ".exe" that ends a token.
    std::string lower(binaryPath.size(), ' ');
    std::transform(binaryPath.begin(), binaryPath.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (auto at = lower.find(".exe", start); at != std::string::npos; at = lower.find(".exe", at + 1))
        if (at + 4 == lower.size() || lower[at + 4] == ' ' || lower[at + 4] == '\t')
            return binaryPath.substr(start, at + 4 - start);
    const auto blank = binaryPath.find_first_of(" \t", start);
    return binaryPath.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
}

bool samePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return foldedPathChar(x) == foldedPathChar(y);
           });
}

Ownership::Ownership(Platform& platform, const WrapperKind& kind, const Configuration& c)
    : platform_(platform), kind_(kind), config_(c) {}

void Ownership::lookUp() {
    if (!looked_) lookup_ = platform_.services.binaryPath(config_.serviceName);
    looked_ = true;
}

std::string Ownership::serviceRefusal() {
    lookUp();
    if (const Failure* failure = std::get_if<Failure>(&lookup_))
        return messages::serviceLookupFailed(config_.serviceName, failure->description);
    const auto& binary = std::get<std::optional<std::string>>(lookup_);
    if (binary && !kind_.ownsService(config_, *binary)) return messages::foreignService(config_.serviceName, *binary);
    return {};
}

bool Ownership::serviceExists() {
    lookUp();
    const auto* binary = std::get_if<std::optional<std::string>>(&lookup_);
    return binary && binary->has_value();
}

bool Ownership::copyIsOurs() {
    const auto copy = kind_.copy(config_);
    if (!copy || !platform_.files.fileExists(copy->target)) return false;
    lookUp();
    if (const auto* binary = std::get_if<std::optional<std::string>>(&lookup_); binary && *binary &&
        kind_.ownsService(config_, **binary) && samePath(programOfBinaryPath(**binary), copy->target))
        return true;
    const auto ours = platform_.files.readBytes(copy->target, kMaxWrapperBytes);
    const auto source = platform_.files.readBytes(copy->source, kMaxWrapperBytes);
    return ours && source && *ours == *source;
}

std::string Ownership::copyRefusal() {
    const auto copy = kind_.copy(config_);
    if (!copy || !platform_.files.fileExists(copy->target) || copyIsOurs()) return {};
    return messages::foreignWrapperCopy(copy->target, copy->source);
}

}  // namespace velmora
