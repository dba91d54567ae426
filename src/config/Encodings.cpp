#include "config/Encodings.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace velmora {

std::vector<std::string> splitList(const std::string& data) {
    std::vector<std::string> entries;
    std::string::size_type start = 0;
    while (start <= data.size()) {
        auto nul = data.find('\0', start);
        if (nul == std::string::npos) nul = data.size();
        if (nul > start) entries.push_back(data.substr(start, nul - start));
        start = nul + 1;
    }
    return entries;
}

StoredText storedText(const std::optional<RegistryValue>& value) {
    if (!value) return {};
    if (value->type != kRegSz) return {{}, false};
    std::string text = value->text;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    if (text.find('\0') != std::string::npos) return {{}, false};
    return {text, true};
}

std::vector<std::string> storedList(const std::optional<RegistryValue>& value) {
    if (!value || (value->type != kRegMultiSz && value->type != kRegSz)) return {};
    return splitList(value->type == kRegSz ? std::string(value->text.c_str()) : value->text);
}

std::uint32_t storedNumber(const std::optional<RegistryValue>& value) {
    return value && value->type == kRegDword ? value->number : 0;
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
    if (!digits.empty() && (digits.back() == 'e' || digits.back() == '+' || digits.back() == '-')) digits.pop_back();
    if (!digits.empty() && digits.back() == 'e') digits.pop_back();
    if (!seenDigit) return 0;
    // from_chars takes no leading "+"; a number beyond a double's range reads as 0.
    const bool plus = digits.front() == '+';
    double number = 0;
    const auto [end, error] = std::from_chars(digits.data() + (plus ? 1 : 0), digits.data() + digits.size(), number);
    return error == std::errc() ? number : 0;
}

std::int32_t sizeToDword(const std::string& text) {
    const double rounded = std::nearbyint(leadingNumber(text));  // halves to even
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max()))
        return 0;
    return static_cast<std::int32_t>(rounded);
}

std::string sizeFromDword(std::int32_t value) {
    const auto low = static_cast<std::int16_t>(value & 0xFFFF);
    return low >= 1 ? std::to_string(low) : std::string();
}

}  // namespace velmora
