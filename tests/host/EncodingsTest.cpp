#include <gtest/gtest.h>

#include "config/Encodings.h"

using namespace velmora;
using namespace std::string_literals;

TEST(MultiString, EachEntryEndsInOneNulAndEmptyPiecesAreDropped) {
    EXPECT_EQ(encodeMultiString({"a", "", "bc"}), "a\0bc\0"s);
    EXPECT_EQ(encodeMultiString({}).size() + decodeMultiString("").size(), 0u);
    EXPECT_EQ(decodeMultiString("\0a\0\0b\0"s), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(splitAtNul("a\0\0b"s), (std::vector<std::string>{"a", "", "b"}));
}

TEST(Sizes, OnSaveTheLeadingNumberRoundsHalvesToEvenAndOnLoadOnlyOneTo32767GiveText) {
    const std::pair<const char*, std::int32_t> saved[] = {
        {"256", 256}, {"128.5", 128}, {"129.5", 130}, {" 1 2 8 MB", 128}, {"64m", 64}, {"", 0}, {"abc", 0},
        {"-12", -12}, {"1e3", 1000}, {"1e", 1}, {"99999999999", 0}, {"1e400", 0}, {"2147483647", 2147483647}};
    for (const auto& [text, dword] : saved) EXPECT_EQ(sizeToDword(text), dword) << text;
    const std::pair<std::int32_t, const char*> loaded[] = {
        {256, "256"}, {0, ""}, {70000, "4464"}, {40000, ""}, {32767, "32767"}, {-1, ""}};
    for (const auto& [dword, text] : loaded) EXPECT_EQ(sizeFromDword(dword), text) << dword;
}

TEST(StoredFlags, CheckBoxesSignExtendAndOtherValuesDecodeExactly) {
    EXPECT_EQ(std::to_string(checkToDword(-1)) + std::to_string(checkFromDword(0x10001)) + std::to_string(checkFromDword(-1)), "-11-1");
    EXPECT_EQ(std::to_string(installedFromDword(7)) + std::to_string(installedFromDword(0)) +
                  std::to_string(isServerJvm("server")) + std::to_string(isServerJvm("Server")), "1010");
}
