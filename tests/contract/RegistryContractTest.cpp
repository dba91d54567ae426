#include <gtest/gtest.h>

#include <algorithm>

#include "RegistryFixture.h"

namespace velmora {
namespace {

using namespace std::string_literals;

constexpr RootKey HKLM = kLocalMachine;

// "type:text", "type#number" for a DWORD, "<absent>" for no value.
std::string shown(const std::optional<RegistryValue>& value) {
    if (!value) return "<absent>";
    if (value->type == kRegDword) return std::to_string(value->type) + "#" + std::to_string(value->number);
    return std::to_string(value->type) + ":" + value->text;
}

std::string failureShown(const MaybeFailure& failure) {
    return failure ? failure->source + " " + std::to_string(failure->number) : "none";
}

class RegistryContract : public ::testing::Test {
protected:
    std::unique_ptr<RegistryFixture> fixture = makeRegistryFixture();
    Registry& registry = fixture->registry();
    const std::string scratch = fixture->scratch();

    std::string key(const std::string& relative) const { return scratch + "\\" + relative; }
    bool keyExists(const std::string& path) { return registry.contents(HKLM, path).has_value(); }
    std::vector<std::string> subkeys(const std::string& path) {
        auto names = registry.contents(HKLM, path).value_or(KeyContents{}).subkeyNames;
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RegistryContract, ValuesReadBackAsTheRegistryHoldsThem) {
    const std::string longText(3000, 'x');
    ASSERT_EQ(failureShown(registry.write(
                  HKLM, key("cfg"),
                  {RegistryWrite::textValue("path", "C:\\tomcat"), RegistryWrite::textValue("empty", ""),
                   RegistryWrite::textValue("long", longText), RegistryWrite::listValue("list", {"a", "b"}),
                   RegistryWrite::listValue("none", {}), RegistryWrite::numberValue("number", 0xFFFFFFFBu)})),
              "none");
    // As other programs leave them: a terminating NUL, a NUL inside, other types.
    fixture->writeRaw(key("cfg"), "terminated", {kRegSz, "abc\0"s, 0});
    fixture->writeRaw(key("cfg"), "embedded", {kRegSz, "ab\0cd"s, 0});
    fixture->writeRaw(key("cfg"), "expand", {kRegExpandSz, "%TEMP%\\x\0"s, 0});
    fixture->writeRaw(key("cfg"), "binary", {kRegBinary, "\x01\x00\xff"s, 0});

    const std::vector<std::string> names{"path",       "empty",    "long",   "list",   "none",   "number",
                                         "terminated", "embedded", "expand", "binary", "missing"};
    const auto many = registry.readMany(HKLM, key("cfg"), names);
    ASSERT_EQ(many.size(), names.size());
    const std::vector<std::string> expected{
        "1:C:\\tomcat\0"s, "1:\0"s,     "1:" + longText + "\0"s, "7:a\0b\0"s,       "7:",      "4#4294967291",
        "1:abc\0"s,        "1:ab\0cd"s, "2:%TEMP%\\x\0"s,        "3:\x01\x00\xff"s, "<absent>"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(shown(many[i]), expected[i]) << names[i] << " read with the others";
        EXPECT_EQ(shown(registry.read(HKLM, key("cfg"), names[i])), expected[i]) << names[i] << " read alone";
    }
    // Each written back exactly as it was read, of whatever type, reads the same again.
    std::vector<RegistryWrite> copies;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) copies.push_back(RegistryWrite::exactValue(names[i], *many[i]));
    ASSERT_EQ(failureShown(registry.write(HKLM, key("copy"), copies)), "none");
    for (std::size_t i = 0; i + 1 < names.size(); ++i)
        EXPECT_EQ(shown(registry.read(HKLM, key("copy"), names[i])), expected[i]) << names[i] << " written back";
    EXPECT_EQ(shown(registry.read(HKLM, key("nokey"), "path")), "<absent>");
    EXPECT_EQ(shown(registry.readMany(HKLM, key("nokey"), {"path"}).at(0)), "<absent>");

    EXPECT_EQ(failureShown(registry.deleteValue(HKLM, key("cfg"), "path")), "none");
    EXPECT_EQ(failureShown(registry.deleteValue(HKLM, key("cfg"), "path")), "none");
    EXPECT_EQ(failureShown(registry.deleteValue(HKLM, key("nokey"), "path")), "none");
    EXPECT_EQ(shown(registry.read(HKLM, key("cfg"), "path")), "<absent>");
}

TEST_F(RegistryContract, KeysAreCreatedWithTheirPathAndDeletedOnlyWithoutSubkeys) {
    EXPECT_EQ(failureShown(registry.write(HKLM, key("d1\\d2\\d3"), {RegistryWrite::numberValue("v", 7)})), "none");
    EXPECT_EQ(failureShown(registry.createKey(HKLM, key("k1\\k2"))), "none");
    EXPECT_EQ(subkeys(scratch), (std::vector<std::string>{"d1", "k1"}));
    EXPECT_EQ(shown(registry.read(HKLM, key("d1\\d2\\d3"), "v")), "4#7");

    EXPECT_EQ(failureShown(registry.deleteKey(HKLM, key("d1"))), "RegDeleteKeyW 5");
    EXPECT_EQ(shown(registry.read(HKLM, key("d1\\d2\\d3"), "v")), "4#7");
    EXPECT_EQ(failureShown(registry.deleteKey(HKLM, key("missing\\deeper"))), "none");
    for (const char* path : {"d1\\d2\\d3", "d1\\d2", "d1"})
        EXPECT_EQ(failureShown(registry.deleteKey(HKLM, key(path))), "none") << path;
    EXPECT_EQ(subkeys(scratch), std::vector<std::string>{"k1"});

    // A trailing "\" names the key itself, runs of "\" count as one; the
    // root is never deleted.
    EXPECT_EQ(failureShown(registry.write(HKLM, key("svc\\\\Parameters\\"), {RegistryWrite::numberValue("n", 3)})),
              "none");
    EXPECT_EQ(shown(registry.read(HKLM, key("svc\\Parameters"), "n")), "4#3");
    EXPECT_EQ(failureShown(registry.deleteKey(HKLM, key("svc\\\\Parameters\\"))), "none");
    EXPECT_EQ(subkeys(key("svc")), std::vector<std::string>{});
    EXPECT_TRUE(registry.deleteKey(HKLM, ""));
    EXPECT_TRUE(keyExists(scratch));
}

TEST_F(RegistryContract, NamesInAnyScriptIgnoreCaseAndKeepTheirFirstSpelling) {
    const std::string home = "C:\\Prögramme\\Tömcat 10";
    const std::string japanese = "日本語の設定";
    ASSERT_EQ(failureShown(
                  registry.write(HKLM, key("café\\" + japanese),
                                 {RegistryWrite::textValue("Bücher", home), RegistryWrite::textValue("ü", japanese)})),
              "none");
    EXPECT_EQ(failureShown(registry.write(HKLM, key("bücher"), {RegistryWrite::numberValue("é", 1)})), "none");
    // Other spellings of the same names reach the same keys and values.
    EXPECT_EQ(shown(registry.read(HKLM, key("CAFÉ\\" + japanese), "BÜCHER")), "1:" + home + "\0"s);
    EXPECT_EQ(shown(registry.read(HKLM, key("Café\\" + japanese), "Ü")), "1:" + japanese + "\0"s);
    EXPECT_EQ(failureShown(registry.write(HKLM, key("BÜCHER"), {RegistryWrite::numberValue("É", 2)})), "none");
    EXPECT_EQ(shown(registry.read(HKLM, key("bücher"), "é")), "4#2");
    EXPECT_EQ(subkeys(scratch), (std::vector<std::string>{"bücher", "café"}));
    EXPECT_EQ(subkeys(key("CAFÉ")), std::vector<std::string>{japanese});
    EXPECT_EQ(registry.contents(HKLM, key("BÜCHER")).value_or(KeyContents{}).valueNames, std::vector<std::string>{"é"});

    EXPECT_EQ(failureShown(registry.deleteKey(HKLM, key("CAFÉ\\" + japanese))), "none");
    EXPECT_EQ(failureShown(registry.deleteKey(HKLM, key("CAFÉ"))), "none");
    EXPECT_EQ(failureShown(registry.deleteKey(HKLM, key("BÜCHER"))), "none");
    EXPECT_EQ(subkeys(scratch), std::vector<std::string>{});
}

TEST_F(RegistryContract, AWriteWithoutTheRightsFailsAndSaysSo) {
    if (!fixture->refuseWritesBelow(key("locked"))) GTEST_SKIP() << "this registry cannot refuse a write";
    const MaybeFailure refused = registry.write(HKLM, key("locked"), {RegistryWrite::textValue("v", "x")});
    EXPECT_EQ(failureShown(refused), "RegCreateKeyExW 5");
    EXPECT_FALSE(refused && refused->description.empty());
    EXPECT_EQ(shown(registry.read(HKLM, key("locked"), "v")), "<absent>");
    EXPECT_EQ(failureShown(registry.write(HKLM, key("LOCKED"), {RegistryWrite::textValue("v", "x")})),
              "RegCreateKeyExW 5");
    EXPECT_EQ(failureShown(registry.write(HKLM, key("locked2"), {RegistryWrite::textValue("v", "x")})), "none");
    EXPECT_EQ(failureShown(registry.deleteValue(HKLM, key("locked"), "v")), "RegOpenKeyExW 5");
    if (!fixture->checksRightsOnKeys())
        GTEST_SKIP() << "the rest: a delete or a create below a key that refuses it, which Wine 8 does not check";
    EXPECT_EQ(failureShown(registry.deleteKey(HKLM, key("locked"))), "RegDeleteKeyW 5");
    EXPECT_TRUE(keyExists(key("locked")));
    EXPECT_EQ(failureShown(registry.createKey(HKLM, key("locked\\child"))), "RegCreateKeyExW 5");
}

TEST_F(RegistryContract, ViewReadsFindTheKeysOfEitherViewOfSoftware) {
    // The scratch key's 32-bit twin lives below WOW6432Node.
    const std::string twin = "SOFTWARE\\WOW6432Node\\" + scratch.substr(scratch.find('\\') + 1);
    ASSERT_EQ(failureShown(registry.write(HKLM, key("JDK\\21"), {RegistryWrite::textValue("JavaHome", "C:\\jdk64")})),
              "none");
    ASSERT_EQ(failureShown(registry.write(HKLM, twin + "\\JDK\\17", {RegistryWrite::numberValue("Micro", 1)})), "none");
    fixture->writeRaw(twin + "\\JDK\\17", "JavaHome", {kRegSz, "C:\\jdk32\0"s, 0});

    auto read = [&](const char* below, const char* name, RegistryView view) {
        return registry.readTextInView(HKLM, key(below), name, view).value_or("<absent>");
    };
    EXPECT_EQ(read("JDK\\21", "JavaHome", RegistryView::Bits64), "C:\\jdk64");
    EXPECT_EQ(read("JDK\\17", "JavaHome", RegistryView::Bits32), "C:\\jdk32");
    EXPECT_EQ(read("JDK\\17", "JavaHome", RegistryView::Bits64), "<absent>");
    EXPECT_EQ(read("JDK\\17", "Micro", RegistryView::Bits32), "<absent>");  // a number is no text
    EXPECT_EQ(registry.subkeysInView(HKLM, key("JDK"), RegistryView::Bits64), std::vector<std::string>{"21"});
    EXPECT_EQ(registry.subkeysInView(HKLM, key("JDK"), RegistryView::Bits32), std::vector<std::string>{"17"});
    EXPECT_TRUE(registry.subkeysInView(HKLM, key("none"), RegistryView::Bits64).empty());
    for (const char* below : {"\\JDK\\17", "\\JDK", ""}) registry.deleteKey(HKLM, twin + below);
}

}  // namespace
}  // namespace velmora
