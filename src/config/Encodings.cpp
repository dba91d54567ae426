#include "config/Encodings.h"

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

std::string sizeFromDword(std::int32_t value) {
    const auto low = static_cast<std::int16_t>(value & 0xFFFF);
    return low >= 1 ? std::to_string(low) : std::string();
}

}  // namespace velmora
