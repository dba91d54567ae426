#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// REG_MULTI_SZ data: each non-empty entry followed by one NUL, nothing more.
std::string encodeMultiString(const std::vector<std::string>& entries);
// Splits at every NUL and drops the empty pieces.
std::vector<std::string> decodeMultiString(const std::string& data);
// Splits at every NUL and keeps every piece, empty ones too.
std::vector<std::string> splitAtNul(const std::string& data);

// The leading decimal number of a size text, blanks ignored, halves to even.
// A number beyond the 32-bit signed range is stored as 0, which loads as an
// empty size: such a size is meaningless to the JVM anyway.
std::int32_t sizeToDword(const std::string& text);
// Low 16 bits as a signed number: 1..32767 gives its text, anything else "".
std::string sizeFromDword(std::int32_t value);

// Check-box states go to the store sign-extended and come back as the low 16 bits.
inline std::int32_t checkToDword(std::int16_t value) { return value; }
inline std::int16_t checkFromDword(std::int32_t value) { return static_cast<std::int16_t>(value & 0xFFFF); }

inline bool installedFromDword(std::int32_t value) { return value != 0; }
inline bool isServerJvm(const std::string& stored) { return stored == "server"; }

// The leading decimal number of a text, leading blanks skipped; 0 when none.
// Used to decide whether a size option is written.
double leadingNumber(const std::string& text);

}  // namespace velmora
