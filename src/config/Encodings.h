#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace velmora {

// List data (REG_MULTI_SZ) split at every NUL, empty pieces dropped.
std::vector<std::string> splitList(const std::string& data);

// A stored text as the store accepts it: a REG_SZ without any NUL but one at
// its very end. Anything else is not usable; a missing value is the empty text.
struct StoredText {
    std::string text;
    bool usable = true;
};
StoredText storedText(const std::optional<RegistryValue>& value);
// A stored list: a REG_MULTI_SZ (or a REG_SZ, as one entry); a missing value is none.
std::vector<std::string> storedList(const std::optional<RegistryValue>& value);
// A REG_DWORD; anything else reads as 0.
std::uint32_t storedNumber(const std::optional<RegistryValue>& value);

// Low 16 bits as a signed number: 1..32767 gives its text, anything else "".
std::string sizeFromDword(std::int32_t value);

// Check-box states go to the store sign-extended and come back as the low 16 bits.
inline std::int32_t checkToDword(std::int16_t value) { return value; }
inline std::int16_t checkFromDword(std::int32_t value) { return static_cast<std::int16_t>(value & 0xFFFF); }

inline bool isServerJvm(const std::string& stored) { return stored == "server"; }

}  // namespace velmora
