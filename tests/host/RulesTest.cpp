// The pure rules: names and text as Windows treats them, the store's
// encodings, the pickers' buffers, the debug log's path, the JDK lookup.
#include "app/DebugLog.h"
#include "config/ConfigurationFields.h"
#include "config/Encodings.h"
#include "config/NameRule.h"
#include "config/NewConfiguration.h"
#include "config/ServiceAccount.h"
#include "config/TomcatLayout.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "platform/memory/MemoryPlatform.h"
#include "service/ModernWrapper.h"
#include "service/ProgramDigest.h"
#include "support/Fixture.h"
#include "ui/Pickers.h"

using namespace velmora;
using namespace std::string_literals;

TEST(Names, CompareAsWindowsComparesKeysAndServices) {
    EXPECT_TRUE(sameName("café", "CAFÉ"));
    EXPECT_TRUE(sameName("bücher", "BÜCHER"));
    EXPECT_TRUE(sameName("мир", "МИР"));
    EXPECT_TRUE(sameName("σοφία", "ΣΟΦΊΑ"));
    EXPECT_FALSE(sameName("straße", "STRASSE"));  // no letter becomes two
    EXPECT_FALSE(sameName("ı", "I"));             // dotless i has no upper case of its own to fold to
    EXPECT_FALSE(sameName("cafe", "café"));
    EXPECT_EQ(utf16Length("日本"), 2u);
    EXPECT_EQ(utf16Length("𝄞"), 2u);
    EXPECT_TRUE(samePath("C:/TOMCAT/bin/Foo.EXE", "c:\\tomcat\\BIN\\foo.exe"));

    for (const char* device : {"CON", "con.txt", "Nul", "AUX.exe", "prn", "COM1", "com9.exe", "LPT0", "COM¹",
                               "lpt³.log", "CONIN$", "conout$", "COM1 .txt"})
        EXPECT_TRUE(isDeviceName(device)) << device;
    for (const char* name : {"COM10", "CONSOLE", "COMA", "xCON", "LPT", "com⁴"})
        EXPECT_FALSE(isDeviceName(name)) << name;
    EXPECT_TRUE(isDevicePath("C:\\tomcat\\bin\\COM1.exe"));
}

TEST(ServiceAccounts, BuiltInAccountsHoweverWrittenAreStoredByTheirShortName) {
    EXPECT_EQ(storedAccountSpelling("nt authority\\network service", "shop"), "NetworkService");
    EXPECT_EQ(storedAccountSpelling("NT AUTHORITY\\SYSTEM", "shop"), "LocalSystem");
    EXPECT_EQ(storedAccountSpelling("localservice", "shop"), "LocalService");
    EXPECT_EQ(storedAccountSpelling("nt service\\SHOP", "shop"), "virtual");
    EXPECT_EQ(storedAccountSpelling("NT SERVICE\\other", "shop"),
              "NT SERVICE\\other");  // another service's own account
    EXPECT_EQ(storedAccountSpelling("CORP\\tomcat$", "shop"), "CORP\\tomcat$");
    EXPECT_TRUE(accountValueProblem("networkservice").empty());
    EXPECT_FALSE(accountValueProblem("tomcat").empty());  // a named account needs its domain, or a dot for this machine

    Configuration c;
    c.serviceName = "shop";
    c.serviceAccount = "CORP\\tomcat$";
    EXPECT_TRUE(isNamedAccount(c));
    EXPECT_FALSE(accountNeedsPassword(c));  // a managed service account's password is Windows' own
    c.serviceAccount = ".\\tomcat";
    EXPECT_TRUE(accountNeedsPassword(c));
    c.serviceAccount = "virtual";
    EXPECT_EQ(serviceAccountName(c), "NT SERVICE\\shop");
    EXPECT_FALSE(accountNeedsPassword(c));
}

TEST(NameRule, RefusesWhatCannotBeAKeyAServiceAndAFileOnAnUnquotedLine) {
    const std::string home = "C:\\tc";
    auto why = [&](const std::string& name) {
        const std::string reason = nameRuleViolation(name, home);
        const auto colon = reason.find("cannot be used: ");
        return colon == std::string::npos ? reason : reason.substr(colon + 16);
    };
    const std::string forbidden =
        "a name must not contain any of \\ / : * ? \" < > |. Enter another name and try again.";
    for (const char* name : {"a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"})
        EXPECT_EQ(why(name), forbidden) << name;
    EXPECT_EQ(why("a\\b"),
              "a configuration or service name must not contain a backslash (\\). Enter another name and try again.");
    EXPECT_EQ(why("a b"),
              "a name must not contain blanks (the service wrapper's command line cannot carry them). Enter "
              "another name and try again.");
    for (const char* name : {"a\tb",
                             "a\x7F"
                             "b",
                             "a\x01"})
        EXPECT_EQ(why(name), "a name must not contain control characters. Enter another name and try again.") << name;
    EXPECT_EQ(why(".."), "\".\" and \"..\" name folders, not services. Enter another name and try again.");
    EXPECT_EQ(why("TomCat"),
              "\"tomcat\" is the name of the container's own service wrapper (bin\\tomcat.exe). Enter "
              "another name and try again.");
    EXPECT_EQ(nameRuleViolation("", home),
              "The Service Name is empty. A configuration and its service need a name: enter "
              "one in the Service Name box and try again.");
    EXPECT_EQ(why("café-日本"), "");

    // Past 255 characters, counted as Windows counts them, the key's own limit is the one named.
    EXPECT_EQ(why(std::string(256, 'n')), "a name may have at most 255 characters. Enter another name and try again.");
    EXPECT_EQ(why(std::string(255, 'n')).substr(0, 34), "the wrapper copy bin\\nnnnnnnnnnnnn");
    std::string wide;
    for (int i = 0; i < 128; ++i) wide += "é";  // 256 bytes, 128 characters
    EXPECT_EQ(why(wide), "");
    // <home>\bin\<name>.exe must stay under 260 characters.
    const std::string longHome = "C:\\" + std::string(200, 'h');
    EXPECT_EQ(nameRuleViolation(std::string(47, 'n'), longHome), "");  // 259 characters
    EXPECT_NE(nameRuleViolation(std::string(48, 'n'), longHome).find("longer than Windows allows (260 characters)"),
              std::string::npos);
}

TEST(Encodings, SizesListsAndCheckBoxesAsTheStoreKeepsThem) {
    const std::pair<const char*, std::int32_t> saved[] = {{"256", 256},
                                                          {"128.5", 128},
                                                          {"129.5", 130},
                                                          {" 1 2 8 MB", 128},
                                                          {"64m", 64},
                                                          {"", 0},
                                                          {"abc", 0},
                                                          {"-12", -12},
                                                          {"1e3", 1000},
                                                          {"1e", 1},
                                                          {"99999999999", 0},
                                                          {"1e400", 0},
                                                          {"2147483647", 2147483647}};
    for (const auto& [text, dword] : saved) EXPECT_EQ(sizeToDword(text), dword) << text;
    const std::pair<std::int32_t, const char*> loaded[] = {{256, "256"}, {0, ""},          {70000, "4464"},
                                                           {40000, ""},  {32767, "32767"}, {-1, ""}};
    for (const auto& [dword, text] : loaded) EXPECT_EQ(sizeFromDword(dword), text) << dword;
    EXPECT_EQ(checkToDword(-1), -1);
    EXPECT_EQ(checkFromDword(0x10001), 1);
    EXPECT_EQ(splitList("\0a\0\0b\0"s), (std::vector<std::string>{"a", "b"}));

    // A stored text is a REG_SZ whose only NUL ends it.
    EXPECT_EQ(storedText(RegistryValue{kRegSz, "C:\\tc\0"s, 0}).text, "C:\\tc");
    EXPECT_FALSE(storedText(RegistryValue{kRegSz, "C:\\a\0b"s, 0}).usable);
    EXPECT_FALSE(storedText(RegistryValue{kRegExpandSz, "C:\\tc"s, 0}).usable);
    EXPECT_TRUE(storedText(std::nullopt).usable);
    EXPECT_EQ(storedNumber(RegistryValue{kRegSz, "7", 7}), 0u);
}

TEST(Pickers, FilterListsAndBuffersKeepTheirNulsAndDefaults) {
    const std::string xml = AddFilterItem("", "XML Documments (*.xml)", "*.XML");
    EXPECT_EQ(AddFilterItem(xml, "All Files (*.*)"), "XML Documments (*.xml)\0*.XML\0All Files (*.*)\0*.*\0"s);
    EXPECT_EQ(TrimAtNul("C:\\a.xml\0junk\0"s), "C:\\a.xml");
    EXPECT_EQ(TrimAtNul("C:\\a.xml"), "C:\\a.xml");
    EXPECT_EQ(fileDialogBuffer("server.xml"), "server.xml" + std::string(246, '\0'));
    EXPECT_EQ(fileDialogBuffer(std::string(300, 'n')), std::string(256, 'n'));
    const FileDialogCall call = prepareFileDialogCall(FileDialogRequest{}, "C:\\work");
    EXPECT_EQ(call.flags, 0);
    EXPECT_EQ(call.filterIndex, 1);
    EXPECT_TRUE(call.openMode);
    EXPECT_EQ(call.initialFolder, "C:\\work");
    EXPECT_EQ(call.filter, "\0"s);
}

TEST(DebugLog, StartsOnceAtAnAbsolutePathOrSaysWhyNot) {
    const std::pair<const char*, const char*> asked[] = {{"debug:C:\\Temp\\My Log.txt", "c:\\temp\\mylog.txt"},
                                                         {"Debug", "debug"},
                                                         {"-nodebug", "-nodebug"},
                                                         {" d e b u g : x", "x"},
                                                         {"debug:", ""},
                                                         {"debug:c:\\x.log", "c:\\x.log"}};
    for (const auto& [arguments, path] : asked) EXPECT_EQ(debugLogPathFromArguments(arguments), path) << arguments;
    EXPECT_FALSE(debugLogPathFromArguments("/verbose:c:\\x"));

    MemoryPlatform os;
    DebugLog relative(os.files);
    os.environment.arguments = "debug:logs\\v.log";
    EXPECT_EQ(relative.start(os.environment), "");
    os.environment.currentFolder = "C:\\elsewhere";
    relative.logFailure({"OpenServiceW", "gone", 1060}, "check service status");
    EXPECT_EQ(
        os.files.files["C:\\users\\admin\\logs\\v.log"],
        "Err.Source: OpenServiceW\r\nErr.Description: gone\r\nErr.Number: 1060\r\nerrStatus: check service status\r\n");
    os.files.locked.insert("c:\\locked.log");
    DebugLog locked(os.files);
    os.environment.arguments = "debug:c:\\locked.log";
    EXPECT_EQ(locked.start(os.environment),
              "The debug log c:\\locked.log could not be created: Access is denied. Velmora "
              "runs without a debug log.");
    EXPECT_EQ(locked.path(), "");
}

TEST(JdkLookup, TheVariableWinsThenTheJdkKeysOfYesterdayAndToday) {
    MemoryPlatform os;
    auto found = [&] { return defaultJavaHome(os.environment, os.registry); };
    EXPECT_EQ(found(), "");
    // Each key found is overruled by the next one set, which comes earlier in the lookup.
    const std::tuple<const char*, const char*, const char*, const char*> keys[] = {
        {"SOFTWARE\\WOW6432Node\\Azul Systems\\Zulu\\zulu-17", "InstallationPath", "C:\\zulu17\\", "C:\\zulu17"},
        {"SOFTWARE\\Azul Systems\\Zulu\\zulu-8", "InstallationPath", "C:\\zulu8", "C:\\zulu8"},
        {"SOFTWARE\\Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI", "Path", "C:\\ms17", "C:\\ms17"},
        {"SOFTWARE\\Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI", "Path", "C:\\temurin21\\", "C:\\temurin21"},
        {"SOFTWARE\\Eclipse Adoptium\\JDK\\8.0.392.8\\hotspot\\MSI", "Path", "C:\\temurin8", "C:\\temurin21"},
        {"SOFTWARE\\WOW6432Node\\JavaSoft\\Java Development Kit", "CurrentVersion", "1.8", "C:\\temurin21"},
        {"SOFTWARE\\WOW6432Node\\JavaSoft\\Java Development Kit\\1.8", "JavaHome", "C:\\jdk8x86", "C:\\jdk8x86"},
        {"SOFTWARE\\JavaSoft\\JDK", "CurrentVersion", "21", "C:\\jdk8x86"},
        {"SOFTWARE\\JavaSoft\\JDK\\21", "JavaHome", "C:\\jdk21", "C:\\jdk21"},
        {"SOFTWARE\\JavaSoft\\Java Development Kit", "CurrentVersion", "1.4", "C:\\jdk21"},
        {"SOFTWARE\\JavaSoft\\Java Development Kit\\1.4", "JavaHome", "C:\\j2sdk1.4", "C:\\j2sdk1.4"}};
    for (const auto& [key, name, data, home] : keys) {
        os.registry.write(kLocalMachine, key, {RegistryWrite::textValue(name, data)});
        EXPECT_EQ(found(), home) << key;
    }
    os.environment.variables["java_home"] = "C:\\nowhere";  // set wins even when missing
    EXPECT_EQ(found(), "C:\\nowhere");

    // JDK 9 is the first without a jre folder's tools.jar; the key must start a line.
    EXPECT_EQ(javaFeatureVersion("JAVA_VERSION=\"9\"\n"), 9);
    EXPECT_EQ(javaFeatureVersion("JAVA_VERSION=\"1.8.0_392\""), 8);
    EXPECT_EQ(javaFeatureVersion("IMPLEMENTOR_JAVA_VERSION=\"17\"\n"), 0);
    os.files.addFile("C:\\jdk9\\release", "JAVA_VERSION=\"9.0.4\"\n");
    os.files.addFile("C:\\jdk8\\release", "JAVA_VERSION=\"1.8.0_392\"\n");
    EXPECT_FALSE(jdkOffersToolsJar("C:\\jdk9", os.files));
    EXPECT_TRUE(jdkOffersToolsJar("C:\\jdk8", os.files));
}

TEST(WrapperSyntax, ProgramLinesListsAndArgumentsAsTheWrappersReadThem) {
    EXPECT_EQ(programOfBinaryPath("\"C:\\Program Files\\t\\svc.exe\" -service svc"), "C:\\Program Files\\t\\svc.exe");
    EXPECT_EQ(programOfBinaryPath("C:\\Program Files\\t\\svc.exe -service svc"), "C:\\Program Files\\t\\svc.exe");
    EXPECT_EQ(programOfBinaryPath("  C:\\svc"), "C:\\svc");
    EXPECT_EQ(joinWrapperList({"-Da=1", "-Db=x#y", "-Dc=p;q"}), "-Da=1#'-Db=x#y'#'-Dc=p;q'");
    EXPECT_EQ(quoteArgument("C:\\a b\\"), "\"C:\\a b\\\\\"");
    EXPECT_EQ(quoteArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(JvmLibrary, ThePathFollowsTheJdksLayoutAlsoWhileTheLibraryIsMissing) {
    MemoryPlatform os;
    for (const char* folder : {"C:\\jdk-21", "C:\\jdk8", "C:\\jdk8\\jre"}) os.files.addFolder(folder);
    EXPECT_EQ(jvmLibraryPath("C:\\jdk-21", "server", os.files), "C:\\jdk-21\\bin\\server\\jvm.dll");
    EXPECT_EQ(jvmLibraryPath("C:\\jdk8", "server", os.files), "C:\\jdk8\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(jvmLibraryPath("C:\\gone", "client", os.files), "C:\\gone\\jre\\bin\\client\\jvm.dll");
    os.files.addFile("C:\\jdk8\\bin\\server\\jvm.dll");
    EXPECT_EQ(jvmLibraryPath("C:\\jdk8", "server", os.files), "C:\\jdk8\\bin\\server\\jvm.dll");
}
