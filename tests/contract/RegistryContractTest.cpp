#include <gtest/gtest.h>

#include "RegistryFixture.h"

namespace velmora {
namespace {

using namespace std::string_literals;

constexpr RootKey HKLM = HKEY_LOCAL_MACHINE_ROOT;

class RegistryContract : public ::testing::Test {
protected:
    std::unique_ptr<RegistryFixture> fixture = makeRegistryFixture();
    Registry& registry = fixture->registry();
    const std::string scratch = fixture->scratch();

    std::string key(const std::string& relative) const { return scratch + "\\" + relative; }
    std::optional<std::string> text(const std::string& name) { return registry.queryStringValue(HKLM, key("cfg"), name); }
    bool keyExists(const std::string& subkey) { return registry.keyContents(HKLM, subkey).has_value(); }
};

TEST_F(RegistryContract, ValuesReadBackAsWindowsKeepsThem) {
    registry.setStringValue(HKLM, key("cfg"), "written", "C:\\tomcat");
    registry.setStringValue(HKLM, key("cfg"), "empty", "");
    fixture->writeRaw(key("cfg"), "withoutNul", kRegSz, "abc");
    fixture->writeRaw(key("cfg"), "twoParts", kRegSz, "ab\0cd\0"s);
    fixture->writeRaw(key("cfg"), "expand", kRegExpandSz, "%TEMP%\\x\0"s);
    registry.setMultiStringValue(HKLM, key("cfg"), "list", "a\0b\0"s);
    fixture->writeRaw(key("cfg"), "emptyList", kRegMultiSz, "");
    registry.setMultiStringValue(HKLM, key("cfg"), "writtenEmptyList", "");
    registry.setMultiStringValue(HKLM, key("cfg"), "unterminatedList", "a\0b"s);
    registry.setDwordValue(HKLM, key("cfg"), "number", 0x2A);
    registry.setDwordValue(HKLM, key("cfg"), "negative", -5);

    // REG_SZ up to its first NUL, other types whole.
    const std::pair<const char*, std::string> expected[] = {
        {"written", "C:\\tomcat"}, {"empty", ""}, {"withoutNul", "abc"}, {"twoParts", "ab"},
        {"expand", "%TEMP%\\x\0"s}, {"list", "a\0b\0"s}, {"emptyList", ""}, {"writtenEmptyList", ""},
        {"unterminatedList", "a\0b\0"s}, {"number", "\x2A\0\0\0"s}};
    for (const auto& [name, data] : expected) EXPECT_EQ(text(name), data) << name;
    // DWORDs only from DWORD values; absent is not empty.
    EXPECT_EQ(registry.queryDwordValue(HKLM, key("cfg"), "negative") * 10 + registry.queryDwordValue(HKLM, key("cfg"), "written") +
                  registry.queryDwordValue(HKLM, key("nokey"), "missing"), -50);
    EXPECT_FALSE(text("missing") || registry.queryStringValue(HKLM, key("nokey"), "missing"));
}

TEST_F(RegistryContract, ManyValuesAtOnceAsOneByOne) {
    registry.setValues(HKLM, key("many"), {{"text", kRegSz, "ab\0cd"s},
                                           {"long", kRegSz, std::string(3000, 'x')},
                                           {"list", kRegMultiSz, "a\0b\0"s},
                                           {"number", kRegDword, {}, -5}});
    fixture->writeRaw(key("many"), "expand", kRegExpandSz, "%TEMP%\0"s);
    const std::vector<std::string> names{"text", "long", "list", "number", "expand", "missing"};
    const auto texts = registry.queryStringValues(HKLM, key("many"), names);
    const auto numbers = registry.queryDwordValues(HKLM, key("many"), names);
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(std::make_pair(texts[i], numbers[i]), std::make_pair(registry.queryStringValue(HKLM, key("many"), names[i]),
                                                                        registry.queryDwordValue(HKLM, key("many"), names[i])));
    EXPECT_EQ(texts[0].value_or("") + "|" + std::to_string(texts[1].value_or("").size()) + "|" + std::to_string(numbers[3]), "ab|3000|-5");
    EXPECT_EQ(registry.queryStringValues(HKLM, key("nokey"), {"text"}), std::vector<std::optional<std::string>>(1));
}

TEST_F(RegistryContract, ViewReadsFindTheKeysOfEitherViewOfSoftware) {
    // The scratch key's 32-bit twin lives below WOW6432Node.
    const std::string twin = "SOFTWARE\\WOW6432Node\\" + scratch.substr(scratch.find('\\') + 1);
    registry.setStringValue(HKLM, key("JDK\\21"), "JavaHome", "C:\\jdk64");
    registry.setStringValue(HKLM, twin + "\\JDK\\17", "JavaHome", "C:\\jdk32");
    registry.setDwordValue(HKLM, twin + "\\JDK\\17", "Micro", 1);

    auto read = [&](const char* below, const char* name, RegistryView view) {
        return registry.queryStringValueInView(HKLM, key(below), name, view).value_or("<absent>");
    };
    EXPECT_EQ(read("JDK\\21", "JavaHome", RegistryView::Bits64) + "|" + read("JDK\\17", "JavaHome", RegistryView::Bits32) +
                  "|" + read("JDK\\17", "JavaHome", RegistryView::Bits64) + "|" + read("JDK\\17", "Micro", RegistryView::Bits32),
              "C:\\jdk64|C:\\jdk32|<absent>|<absent>");
    EXPECT_EQ(registry.subkeyNamesInView(HKLM, key("JDK"), RegistryView::Bits64), std::vector<std::string>{"21"});
    EXPECT_EQ(registry.subkeyNamesInView(HKLM, key("JDK"), RegistryView::Bits32), std::vector<std::string>{"17"});
    EXPECT_TRUE(registry.subkeyNamesInView(HKLM, key("none"), RegistryView::Bits64).empty());
    for (const char* below : {"\\JDK\\17", "\\JDK", ""}) registry.deleteKey(HKLM, twin + below);
}

TEST_F(RegistryContract, WritesCreateEveryMissingKeyAndDeleteTakesOnlyAKeyWithoutSubkeys) {
    registry.setDwordValue(HKLM, key("d1\\d2\\d3"), "v", 7);
    registry.createKey(HKLM, key("k1\\k2\\k3"));
    EXPECT_EQ(registry.queryDwordValue(HKLM, key("d1\\d2\\d3"), "v"), 7);
    EXPECT_TRUE(keyExists(key("k1\\k2\\k3")));

    registry.setStringValue(HKLM, key("parent\\child"), "v", "child");
    registry.setStringValue(HKLM, key("parent"), "v", "parent");
    registry.deleteKey(HKLM, key("missing\\deeper\\still"));
    EXPECT_FALSE(keyExists(key("missing")));
    registry.deleteKey(HKLM, key("parent"));
    EXPECT_EQ(registry.queryStringValue(HKLM, key("parent"), "v"), "parent");
    registry.deleteKey(HKLM, key("parent\\child"));
    EXPECT_FALSE(keyExists(key("parent\\child")));
    registry.deleteKey(HKLM, key("parent"));
    EXPECT_EQ(std::to_string(keyExists(key("parent"))) + std::to_string(keyExists(scratch)), "01");
}

// The paths below are what a configuration name that is empty, ends in "\"
// or differs only in case turns into.
TEST_F(RegistryContract, BackslashesAndCaseInNamesActAsWindowsReadsThem) {
    registry.setStringValue(HKLM, key("cfg\\"), "v", "trailing");  // the key itself
    EXPECT_EQ(text("v"), "trailing");
    registry.deleteKey(HKLM, key("cfg\\"));
    EXPECT_FALSE(keyExists(key("cfg")));

    registry.setDwordValue(HKLM, key("svc\\\\Parameters"), "v", 3);  // runs count as one
    EXPECT_EQ(registry.queryDwordValue(HKLM, key("svc\\\\\\Parameters\\\\"), "v"), 3);
    registry.deleteKey(HKLM, key("svc\\\\Parameters"));
    EXPECT_FALSE(keyExists(key("svc\\Parameters")));
    EXPECT_TRUE(keyExists(key("svc")));

    EXPECT_EQ(registry.queryStringValue(HKLM, "", "VelmoraContractNoSuchValue"), std::nullopt);
    registry.deleteKey(HKLM, "");  // the root is never deleted
    EXPECT_TRUE(keyExists(scratch));

    registry.setStringValue(HKLM, key("MixedCase"), "Value", "first");
    registry.setStringValue(HKLM, key("MIXEDCASE"), "VALUE", "second");
    EXPECT_EQ(registry.queryStringValue(HKLM, key("mixedcase"), "value"), "second");
    registry.setDwordValue(HKLM, key("mixedcase\\Parameters"), "n", 1);
    const auto contents = registry.keyContents(HKLM, key("MIXEDcase")).value_or(Registry::KeyContents{});
    EXPECT_EQ(contents.valueNames.at(0) + "|" + contents.subkeyNames.at(0), "Value|Parameters");  // the first spelling stays
    EXPECT_EQ(registry.keyContents(HKLM, key("MixedCase\\missing")), std::nullopt);
    registry.deleteKey(HKLM, key("mixedCASE\\parameters"));
    registry.deleteKey(HKLM, key("mixedCASE"));
    EXPECT_FALSE(keyExists(key("MixedCase")));
}

}  // namespace
}  // namespace velmora
