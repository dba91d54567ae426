#pragma once
#include <charconv>
#include <optional>
#include <string_view>

namespace velmora {

// A whole number written as decimal digits alone (no sign, blank or point)
// that fits the type; nothing otherwise. Numbers from the registry, files and
// logs come through here, so that none can end the program by being too large.
template <typename Number>
std::optional<Number> wholeNumber(std::string_view text) {
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

}  // namespace velmora
