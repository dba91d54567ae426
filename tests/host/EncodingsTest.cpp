#include <gtest/gtest.h>

#include "config/Encodings.h"

using namespace velmora;
using namespace std::string_literals;

TEST(MultiString, EachEntryEndsInOneNulAndEmptyPiecesAreDropped) {
    EXPECT_EQ(encodeMultiString({"a", "", "bc"}), "a\0bc\0"s);
    EXPECT_EQ(encodeMultiString({}).size(), 0u);
    EXPECT_EQ(decodeMultiString("\0a\0\0b\0"s), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(decodeMultiString("").empty());
    EXPECT_EQ(decodeMultiString(encodeMultiString({"x=1", "-Xrs2"})), (std::vector<std::string>{"x=1", "-Xrs2"}));
    EXPECT_EQ(splitAtNul("a\0\0b"s), (std::vector<std::string>{"a", "", "b"}));
}

TEST(SizeOnSave, LeadingNumberWithBlanksIgnoredRoundsHalvesToEven) {
    EXPECT_EQ(sizeToDword("256"), 256);
    EXPECT_EQ(sizeToDword("128.5"), 128);
    EXPECT_EQ(sizeToDword("129.5"), 130);
    EXPECT_EQ(sizeToDword(" 1 2 8 MB"), 128);
    EXPECT_EQ(sizeToDword("64m"), 64);
    EXPECT_EQ(sizeToDword(""), 0);
    EXPECT_EQ(sizeToDword("abc"), 0);
    EXPECT_EQ(sizeToDword("-12"), -12);
    EXPECT_EQ(sizeToDword("1e3"), 1000);
    EXPECT_EQ(sizeToDword("1e"), 1);
    // Beyond the 32-bit range: stored as 0, which loads as an empty size.
    EXPECT_EQ(sizeToDword("99999999999"), 0);
    EXPECT_EQ(sizeToDword("1e400"), 0);
    EXPECT_EQ(sizeToDword("2147483647"), 2147483647);
}

TEST(SizeOnLoad, LowSixteenBitsSignedOnlyOneTo32767GiveText) {
    EXPECT_EQ(sizeFromDword(256), "256");
    EXPECT_EQ(sizeFromDword(0), "");
    EXPECT_EQ(sizeFromDword(70000), "4464");
    EXPECT_EQ(sizeFromDword(40000), "");
    EXPECT_EQ(sizeFromDword(32767), "32767");
    EXPECT_EQ(sizeFromDword(-1), "");
    for (int size = 1; size <= 32767; size += 997)
        EXPECT_EQ(sizeFromDword(sizeToDword(std::to_string(size))), std::to_string(size));
}

TEST(StoredFlags, CheckBoxesSignExtendAndOtherValuesDecodeExactly) {
    EXPECT_EQ(checkToDword(1), 1);
    EXPECT_EQ(checkToDword(-1), -1);
    EXPECT_EQ(checkFromDword(0x10001), 1);
    EXPECT_EQ(checkFromDword(-1), -1);
    EXPECT_TRUE(installedFromDword(7));
    EXPECT_FALSE(installedFromDword(0));
    EXPECT_TRUE(isServerJvm("server"));
    EXPECT_FALSE(isServerJvm("Server"));
    EXPECT_FALSE(isServerJvm(""));
    EXPECT_DOUBLE_EQ(leadingNumber("  64"), 64);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0);
}
