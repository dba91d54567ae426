#include "config/Encodings.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

namespace velmora {

std::string encodeMultiString(const std::vector<std::string>& entries) {
    std::string data;
    for (const auto& entry : entries) {
        if (entry.empty()) continue;
        data += entry;
        data += '\0';
    }
    return data;
}

std::vector<std::string> splitAtNul(const std::string& data) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (;;) {
        auto nul = data.find('\0', start);
        pieces.push_back(data.substr(start, nul == std::string::npos ? std::string::npos : nul - start));
        if (nul == std::string::npos) break;
        start = nul + 1;
    }
    return pieces;
}

std::vector<std::string> decodeMultiString(const std::string& data) {
    std::vector<std::string> entries;
    for (auto& piece : splitAtNul(data))
        if (!piece.empty()) entries.push_back(std::move(piece));
    return entries;
}

double leadingNumber(const std::string& text) {
    // Blanks are skipped wherever they stand; the number ends at the first
    // character that cannot continue it.
    std::string digits;
    bool seenDigit = false, seenPoint = false, seenExponent = false;
    for (char c : text) {
        if (c == ' ' || c == '\t') continue;
        const bool atStart = digits.empty() || digits.back() == 'e';
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
            seenDigit = true;
        } else if ((c == '+' || c == '-') && atStart) {
            digits += c;
        } else if (c == '.' && !seenPoint && !seenExponent) {
            digits += c;
            seenPoint = true;
        } else if ((c == 'e' || c == 'E') && seenDigit && !seenExponent) {
            digits += 'e';
            seenExponent = true;
        } else {
            break;
        }
    }
    if (!digits.empty() && (digits.back() == 'e' || digits.back() == '+' || digits.back() == '-'))
        digits.pop_back();
    if (!digits.empty() && digits.back() == 'e') digits.pop_back();
    if (!seenDigit) return 0;
    try {
        return std::stod(digits);
    } catch (...) {
        return 0;  // out of range for a double
    }
}

std::int32_t sizeToDword(const std::string& text) {
    const double rounded = std::nearbyint(leadingNumber(text));  // halves to even
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max()))
        return 0;
    return static_cast<std::int32_t>(rounded);
}

std::string sizeFromDword(std::int32_t value) {
    const auto low = static_cast<std::int16_t>(value & 0xFFFF);
    return low >= 1 ? std::to_string(low) : std::string();
}

}  // namespace velmora
