#include "platform/IpAddress.h"

#include <vector>

namespace velmora {

namespace {

std::optional<std::array<std::uint8_t, 4>> parseIpv4(const std::string& text) {
    std::array<std::uint8_t, 4> bytes{};
    std::size_t part = 0, digits = 0;
    unsigned value = 0;
    for (const char c : text + ".") {
        if (c >= '0' && c <= '9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(c - '0');
            ++digits;
        } else if (c == '.' && digits > 0 && value <= 255 && part < 4) {
            bytes[part++] = static_cast<std::uint8_t>(value);
            value = 0;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (part != 4) return std::nullopt;
    return bytes;
}

// Groups of one to four hex digits apart by ':', the last perhaps an IPv4 address when the text ends the address.
std::optional<std::vector<std::uint16_t>> parseGroups(const std::string& text, bool endsAddress) {
    std::vector<std::uint16_t> groups;
    if (text.empty()) return groups;
    std::size_t from = 0;
    for (;;) {
        const std::size_t colon = text.find(':', from);
        const std::string group = text.substr(from, colon == std::string::npos ? std::string::npos : colon - from);
        if (endsAddress && colon == std::string::npos && group.find('.') != std::string::npos) {
            const auto v4 = parseIpv4(group);
            if (!v4) return std::nullopt;
            groups.push_back(static_cast<std::uint16_t>((*v4)[0] << 8 | (*v4)[1]));
            groups.push_back(static_cast<std::uint16_t>((*v4)[2] << 8 | (*v4)[3]));
            return groups;
        }
        if (group.empty() || group.size() > 4) return std::nullopt;
        unsigned value = 0;
        for (const char c : group) {
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        groups.push_back(static_cast<std::uint16_t>(value));
        if (colon == std::string::npos) return groups;
        from = colon + 1;
    }
}

std::optional<std::array<std::uint8_t, 16>> parseIpv6(const std::string& text) {
    const std::size_t gap = text.find("::");
    const auto head = parseGroups(gap == std::string::npos ? text : text.substr(0, gap), gap == std::string::npos);
    const auto tail = parseGroups(gap == std::string::npos ? std::string() : text.substr(gap + 2), true);
    if (!head || !tail) return std::nullopt;
    const std::size_t given = head->size() + tail->size();
    if (gap == std::string::npos ? given != 8 : given > 7) return std::nullopt;
    std::vector<std::uint16_t> groups = *head;
    groups.resize(8 - tail->size(), 0);
    groups.insert(groups.end(), tail->begin(), tail->end());
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < 8; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(groups[i] >> 8);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(groups[i] & 0xFF);
    }
    return bytes;
}

}  // namespace

std::string ipv4Text(const std::array<std::uint8_t, 4>& bytes) {
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) + "." +
           std::to_string(bytes[3]);
}

std::string ipv6Text(const std::array<std::uint8_t, 16>& bytes) {
    std::uint16_t groups[8];
    for (std::size_t i = 0; i < 8; ++i) groups[i] = static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    // The longest run of zero groups, the first of equal ones; a single zero group stays "0".
    std::size_t runAt = 8, runLength = 1;
    for (std::size_t i = 0; i < 8;) {
        std::size_t end = i;
        while (end < 8 && groups[end] == 0) ++end;
        if (end - i > runLength) {
            runAt = i;
            runLength = end - i;
        }
        i = end > i ? end : i + 1;
    }
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < 8; ++i) {
        if (i == runAt) {
            text += "::";
            i += runLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':') text += ':';
        bool leading = true;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const int digit = (groups[i] >> shift) & 0xF;
            if (leading && digit == 0 && shift > 0) continue;
            leading = false;
            text += kHex[digit];
        }
    }
    return text;
}

std::optional<std::string> canonicalIpAddress(const std::string& text) {
    const bool bracketed = text.size() > 2 && text.front() == '[' && text.back() == ']';
    const std::string bare = bracketed ? text.substr(1, text.size() - 2) : text;
    if (!bracketed)
        if (const auto v4 = parseIpv4(bare)) return ipv4Text(*v4);
    if (const auto v6 = parseIpv6(bare)) return ipv6Text(*v6);
    return std::nullopt;
}

}  // namespace velmora
