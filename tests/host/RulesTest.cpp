// The pure rules: names, encodings, pickers, the debug log, the JDK lookup and server.xml's ports.
#include "app/DebugLog.h"
#include "checks/PathRules.h"
#include "checks/PortCheck.h"
#include "config/ConfigurationFields.h"
#include "config/Encodings.h"
#include "config/JdkLookup.h"
#include "config/NameRule.h"
#include "config/NewConfiguration.h"
#include "config/ServerPorts.h"
#include "config/ServiceAccount.h"
#include "config/TomcatLayout.h"
#include "config/TomcatRelease.h"
#include "config/XmlEntities.h"
#include "platform/IpAddress.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "platform/memory/MemoryPlatform.h"
#include "service/ModernWrapper.h"
#include "service/ProgramDigest.h"
#include "support/Fixture.h"
#include "ui/BoxLines.h"
#include "ui/Pickers.h"
#include "ui/ScrollView.h"

using namespace velmora;
using namespace std::string_literals;

TEST(Names, CompareAsWindowsComparesKeysServicesAndAccounts) {
    EXPECT_TRUE(sameName("café", "CAFÉ"));
    EXPECT_TRUE(sameName("мир", "МИР"));
    EXPECT_FALSE(sameName("straße", "STRASSE"));  // no letter becomes two
    EXPECT_FALSE(sameName("ı", "I"));             // dotless i has no upper case of its own to fold to

    for (const char* device : {"CON", "con.txt", "Nul", "AUX.exe", "prn", "COM1", "com9.exe", "LPT0", "COM¹",
                               "lpt³.log", "CONIN$", "conout$", "COM1 .txt"})
        EXPECT_TRUE(isDeviceName(device)) << device;
    for (const char* name : {"COM10", "CONSOLE", "COMA", "xCON", "LPT", "com⁴"})
        EXPECT_FALSE(isDeviceName(name)) << name;

    // A built-in account, however written, is stored by its short name.
    EXPECT_EQ(storedAccountSpelling("nt authority\\network service", "shop"), "NetworkService");
    EXPECT_EQ(storedAccountSpelling("NT AUTHORITY\\SYSTEM", "shop"), "LocalSystem");
    EXPECT_EQ(storedAccountSpelling("nt service\\SHOP", "shop"), "virtual");
    EXPECT_EQ(storedAccountSpelling("NT SERVICE\\other", "shop"),
              "NT SERVICE\\other");  // another service's own account
    EXPECT_EQ(storedAccountSpelling("CORP\\tomcat$", "shop"), "CORP\\tomcat$");
    EXPECT_FALSE(accountValueProblem("tomcat").empty());  // a named account needs its domain, or a dot for this machine
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
    EXPECT_EQ(why("a b"),
              "a name must not contain blanks (the service wrapper's command line cannot carry them). Enter "
              "another name and try again.");
    for (const char* name : {"a\tb", "a\x7F-", "a\x01", "a\u0085b", "a\u202Eb", "a\u2066b"})
        EXPECT_EQ(why(name),
                  "a name must not contain control characters or bidirectional overrides. Enter another name and try "
                  "again.")
            << name;
    EXPECT_EQ(why("app%OS%"),
              "a name must not contain % (the service manager would read %...% in its program line as an environment "
              "variable). Enter another name and try again.");
    EXPECT_EQ(why("TomCat"),
              "\"tomcat\" is the name of the container's own service wrapper (bin\\tomcat.exe). Enter "
              "another name and try again.");

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

TEST(Encodings, AsTheStoreKeepsThemAndAsTheWrappersReadThem) {
    // A stored size is its low 16 bits as a signed number: 1 to 32767, else none.
    const std::vector<std::int32_t> stored({256, 0x10100, 70000, 32767, 32768, -12, 0});
    const std::vector<std::string> loaded({"256", "256", "4464", "32767", "", "", ""});
    for (std::size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(sizeFromDword(stored[i]), loaded[i]) << stored[i];
    EXPECT_EQ(checkFromDword(0x10001), 1);
    EXPECT_EQ(splitList("\0a\0\0b\0"s), (std::vector<std::string>{"a", "b"}));

    // A stored text is a REG_SZ whose only NUL ends it.
    EXPECT_EQ(storedText(RegistryValue{kRegSz, "C:\\tc\0"s, 0}).text, "C:\\tc");
    EXPECT_FALSE(storedText(RegistryValue{kRegSz, "C:\\a\0b"s, 0}).usable);
    EXPECT_FALSE(storedText(RegistryValue{kRegExpandSz, "C:\\tc"s, 0}).usable);
    EXPECT_TRUE(storedText(std::nullopt).usable);
    EXPECT_EQ(storedNumber(RegistryValue{kRegSz, "7", 7}), 0u);

    // Program lines, lists and arguments as the wrappers read them.
    EXPECT_EQ(programOfBinaryPath("\"C:\\Program Files\\t\\svc.exe\" -service svc"), "C:\\Program Files\\t\\svc.exe");
    EXPECT_EQ(programOfBinaryPath("C:\\Program Files\\t\\svc.exe -service svc"), "C:\\Program Files\\t\\svc.exe");
    // A home typed with a trailing backslash or "..": Windows registers the path its loader spells.
    EXPECT_TRUE(
        sameProgram("\"C:\\Tomcat9\\\\bin\\tomcat9.exe\" //RS//shop", "\"C:\\tomcat9\\bin\\TOMCAT9.exe\" //RS//shop"));
    EXPECT_TRUE(sameProgram("\"C:\\t\\conf\\..\\bin\\svc.exe\" -service svc", "C:\\t\\bin\\svc.exe -service svc"));
    EXPECT_FALSE(sameProgram("\"C:\\t\\bin\\svc.exe\" -service svc", "\"C:\\other\\svc.exe\" -service svc"));
    EXPECT_EQ(joinWrapperList({"-Da=1", "-Db=x#y", "-Dc=p;q"}), "-Da=1#'-Db=x#y'#'-Dc=p;q'");
    EXPECT_EQ(quoteArgument("C:\\a b\\"), "\"C:\\a b\\\\\"");
    EXPECT_EQ(quoteArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    // The install record's digest, at each edge of SHA-256's padding and past 2^16 bits of length.
    const std::pair<std::string, const char*> digests[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(70000, 'a'), "66915c0872933db504e7578828dd85b7e74a4e0a061f9756793b89c4151bd4b5"}};
    for (const auto& [bytes, digest] : digests) EXPECT_EQ(sha256Hex(bytes), digest) << bytes.size();
}

TEST(PickersAndDebugLog, KeepTheirNulsAndDefaultsAndStartOnceAtAnAbsolutePath) {
    const std::string xml = AddFilterItem("", "XML Documments (*.xml)", "*.XML");
    EXPECT_EQ(AddFilterItem(xml, "All Files (*.*)"), "XML Documments (*.xml)\0*.XML\0All Files (*.*)\0*.*\0"s);
    EXPECT_EQ(fileDialogBuffer("server.xml"), "server.xml" + std::string(246, '\0'));
    EXPECT_EQ(fileDialogBuffer(std::string(300, 'n')), std::string(256, 'n'));
    const FileDialogCall call = prepareFileDialogCall(FileDialogRequest{}, "C:\\work");
    EXPECT_EQ(call.filterIndex, 1);
    EXPECT_EQ(call.filter, "\0"s);

    // A box of one value a line: blank lines are no values; dependencies lose their blanks, variables keep theirs.
    const std::string box = "  Tcpip \r\n\r\n \t\r\nJAVA_OPTS=-Dx=1 \r\n\tTZ=UTC\n";
    EXPECT_EQ(trimmedLines(box), (std::vector<std::string>{"Tcpip", "JAVA_OPTS=-Dx=1", "TZ=UTC"}));
    EXPECT_EQ(typedLines(box), (std::vector<std::string>{"  Tcpip ", "JAVA_OPTS=-Dx=1 ", "\tTZ=UTC"}));
    EXPECT_EQ(typedLines(" \r\n"), std::vector<std::string>{});

    // The debug log starts once, at an absolute path, or says why not.
    const std::pair<const char*, const char*> asked[] = {
        {"debug:C:\\Temp\\My Log.txt", "c:\\temp\\mylog.txt"}, {" d e b u g : x", "x"}, {"debug:", ""}};
    for (const auto& [arguments, path] : asked) EXPECT_EQ(debugLogPathFromArguments(arguments), path) << arguments;
    EXPECT_FALSE(debugLogPathFromArguments("/verbose:c:\\x"));

    MemoryPlatform os;
    DebugLog relative(os.files);
    os.environment.arguments = "debug:logs\\v.log";
    os.files.addFolder("C:\\users\\admin\\logs");
    EXPECT_EQ(relative.start(os.environment), "");
    os.environment.currentFolder = "C:\\elsewhere";
    relative.logFailure({"OpenServiceW", "gone", 1060}, "check service status");
    EXPECT_EQ(
        os.files.files["C:\\users\\admin\\logs\\v.log"],
        "Err.Source: OpenServiceW\r\nErr.Description: gone\r\nErr.Number: 1060\r\nerrStatus: check service status\r\n");
}

// A window too tall for its screen: 300 pixels of it seen 100 at a time.
TEST(ScrollView, TheViewStaysWithinTheWindowAndMovesOnlyAsFarAsTheFocusedControlNeeds) {
    EXPECT_EQ(clampedOffset(-5, 100, 300), 0);
    EXPECT_EQ(clampedOffset(250, 100, 300), 200);
    EXPECT_EQ(clampedOffset(50, 400, 300), 0);
    EXPECT_EQ(offsetRevealing(0, 100, 300, 150, 170), 70);     // below: its bottom at the view's
    EXPECT_EQ(offsetRevealing(120, 100, 300, 20, 40), 20);     // above: its top at the view's
    EXPECT_EQ(offsetRevealing(60, 100, 300, 80, 120), 60);     // in view: nothing moves
    EXPECT_EQ(offsetRevealing(0, 100, 300, 100, 250), 100);    // taller than the view: its top
    EXPECT_EQ(offsetRevealing(150, 100, 300, 280, 310), 200);  // past the end: the last page
}

TEST(Jdk, TheVariableWinsThenTheKeysOfYesterdayAndTodayAndTheLayoutGivesTheLibrary) {
    MemoryPlatform os;
    auto found = [&] { return defaultJavaHome(os.environment, os.registry); };
    EXPECT_EQ(found(), "");
    // Every installer's key in either registry view, each overruled by the next one set, which comes earlier in
    // the lookup; within a key the newest version wins. SOFTWARE\WOW6432Node is the 32-bit view.
    struct Key {
        const char *key, *version, *below, *value, *home, *found;
    };
    const Key keys[] = {
        {"WOW6432Node\\Azul Systems\\Zulu", "zulu-21", "", "InstallationPath", "C:\\zulu32", "C:\\zulu32"},
        {"Azul Systems\\Zulu", "zulu-21", "", "InstallationPath", "C:\\zulu64", "C:\\zulu64"},
        {"WOW6432Node\\Microsoft\\JDK", "21.0.5.11", "\\hotspot\\MSI", "Path", "C:\\ms32", "C:\\ms32"},
        {"Microsoft\\JDK", "21.0.5.11", "\\hotspot\\MSI", "Path", "C:\\ms64", "C:\\ms64"},
        {"WOW6432Node\\Eclipse Adoptium\\JDK", "17.0.9.9", "\\openj9\\MSI", "Path", "C:\\semeru32", "C:\\semeru32"},
        {"Eclipse Adoptium\\JDK", "21.0.1.12", "\\hotspot\\MSI", "Path", "C:\\temurin21", "C:\\temurin21"},
        {"Eclipse Adoptium\\JDK", "8.0.392.8", "\\hotspot\\MSI", "Path", "C:\\temurin8", "C:\\temurin21"},
        {"WOW6432Node\\JavaSoft\\Java Development Kit", "1.8", "", "JavaHome", "C:\\j2sdk32", "C:\\j2sdk32"},
        {"WOW6432Node\\JavaSoft\\JDK", "17", "", "JavaHome", "C:\\jdk32", "C:\\jdk32"},
        {"JavaSoft\\JDK", "21", "", "JavaHome", "C:\\jdk64", "C:\\jdk64"},
        {"JavaSoft\\Java Development Kit", "1.4", "", "JavaHome", "C:\\j2sdk64", "C:\\j2sdk64"}};
    for (const Key& k : keys) {
        const std::string key = std::string("SOFTWARE\\") + k.key;
        os.registry.write(kLocalMachine, key + "\\" + k.version + k.below,
                          {RegistryWrite::textValue(k.value, k.home + std::string("\\"))});
        os.registry.write(kLocalMachine, key, {RegistryWrite::textValue("CurrentVersion", k.version)});
        EXPECT_EQ(found(), k.found) << key;
    }
    std::vector<std::string> registered;
    for (const RegisteredJdk& jdk : registeredJdks(os.registry)) registered.push_back(jdk.version + "=" + jdk.javaHome);
    EXPECT_EQ(registered, velmora::testing::words(
                              "21=C:\\jdk64 17=C:\\jdk32 1.4=C:\\j2sdk64 1.8=C:\\j2sdk32 21.0.1.12=C:\\temurin21 "
                              "8.0.392.8=C:\\temurin8 17.0.9.9=C:\\semeru32 21.0.5.11=C:\\ms64 21.0.5.11=C:\\ms32 "
                              "zulu-21=C:\\zulu64 zulu-21=C:\\zulu32"));
    os.environment.variables["java_home"] = "C:\\nowhere";  // set wins even when missing
    EXPECT_EQ(found(), "C:\\nowhere");

    // The key of a JDK's release file must start a line; JDK 9 is the first without tools.jar.
    EXPECT_EQ(javaFeatureVersion("IMPLEMENTOR_JAVA_VERSION=\"17\"\n"), 0);
    os.files.addFile("C:\\jdk9\\release", "JAVA_VERSION=\"9.0.4\"\n");
    EXPECT_FALSE(jdkOffersToolsJar("C:\\jdk9", os.files));

    // The JVM library follows the JDK's layout, also while it is missing.
    for (const char* folder : {"C:\\jdk-21", "C:\\jdk8", "C:\\jdk8\\jre"}) os.files.addFolder(folder);
    EXPECT_EQ(jvmLibraryPath("C:\\jdk-21", JvmType::Server, os.files), "C:\\jdk-21\\bin\\server\\jvm.dll");
    EXPECT_EQ(jvmLibraryPath("C:\\jdk8", JvmType::Server, os.files), "C:\\jdk8\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(jvmLibraryPath("C:\\gone", JvmType::Client, os.files), "C:\\gone\\jre\\bin\\client\\jvm.dll");
    EXPECT_EQ(jvmLibraryPath("C:\\Java\\jdk-17.0.9", JvmType::Server, os.files),
              "C:\\Java\\jdk-17.0.9\\bin\\server\\jvm.dll");
    EXPECT_EQ(jvmLibraryPath("C:\\Java\\jdk1.8.0_392", JvmType::Server, os.files),
              "C:\\Java\\jdk1.8.0_392\\jre\\bin\\server\\jvm.dll");
    os.files.addFile("C:\\jdk8\\bin\\server\\jvm.dll");
    EXPECT_EQ(jvmLibraryPath("C:\\jdk8", JvmType::Server, os.files), "C:\\jdk8\\bin\\server\\jvm.dll");
}

TEST(Jdk, NewestVersionsAndAJdk9BringsAClientJvmOnlyInItsBin) {
    // The newest version within one key, by its numbers.
    EXPECT_EQ(newestVersionName({"zulu-8", "zulu-21", "zulu-17"}), "zulu-21");
    EXPECT_EQ(newestVersionName({"21.0.1.12", "21.0.10.7", "9.0.4"}), "21.0.10.7");
    EXPECT_EQ(javaMajorOfName("C:\\Program Files\\Java\\jdk1.8.0_392"), 8);
    EXPECT_EQ(javaMajorOfName("jdk-17.0.9.9-hotspot"), 17);
    EXPECT_EQ(javaMajorOfName("C:\\Java\\jdk-17.0.9.9-hotspot\\"), 17);

    // A 32-bit JDK 9 or later keeps its client JVM in bin\client; a 64-bit one has none.
    MemoryPlatform os;
    os.files.addFolder("C:\\jdk11-x86");
    os.files.addFile("C:\\jdk11-x86\\bin\\client\\jvm.dll");
    os.files.addFolder("C:\\jdk21");
    os.files.addFile("C:\\jdk21\\bin\\server\\jvm.dll");
    os.files.addFile("C:\\jdk8\\jre\\bin\\client\\jvm.dll");
    os.files.addFolder("C:\\jdk8");
    EXPECT_EQ(jvmLibraryPath("C:\\jdk11-x86", JvmType::Client, os.files), "C:\\jdk11-x86\\bin\\client\\jvm.dll");
    EXPECT_EQ(clientJvmRefusal("C:\\jdk11-x86", os.files), "");
    EXPECT_EQ(clientJvmRefusal("C:\\jdk8", os.files), "");
    EXPECT_EQ(clientJvmRefusal("C:\\nowhere", os.files), "");  // a missing JDK is the Java Home check's to name
    EXPECT_EQ(clientJvmRefusal("C:\\jdk21", os.files),
              "The JDK at C:\\jdk21 has no client JVM (64-bit JDKs bring only the server JVM): the service could not "
              "load it.");
}

namespace {

// A port as a test compares it: role, value, number, the text as written, protocol.
using Port = std::tuple<PortRole, PortValue, int, std::string, std::string>;
using enum PortRole;
using enum PortValue;

std::vector<Port> portsOf(const std::string& xml) {
    const auto declared = serverPorts(xml, TomcatVersion{});
    std::vector<Port> ports;
    for (const DeclaredPort& p : std::get<std::vector<DeclaredPort>>(declared))
        ports.emplace_back(p.role, p.value, p.number, p.text, p.protocol);
    return ports;
}

std::string errorOf(const std::string& xml) {
    const auto result = serverPorts(xml, TomcatVersion{});
    const auto* error = std::get_if<ServerXmlError>(&result);
    return error ? errorText(*error) : "no error";
}

}  // namespace

TEST(ServerPorts, TheShutdownPortAndEveryConnectorAsWrittenNothingGuessedAndWhereADocumentBreaks) {
    // Tomcat's own server.xml, cut down: a port in a comment or in another element counts for nothing.
    const std::string tomcat = R"(<?xml version="1.0" encoding="UTF-8"?>
<Server port="8005" shutdown="SHUTDOWN">
  <Service name="Catalina">
    <Connector port="8080" protocol="HTTP/1.1" connectionTimeout="20000" redirectPort="8443" />
    <!-- <Connector port="8010" protocol="AJP/1.3" redirectPort="8443" /> -->
    <Connector protocol="AJP/1.3" address="::1" port="8009" redirectPort="8443" />
    <Engine name="Catalina" defaultHost="localhost"><Connector port="7070" protocol="HTTP/1.1" /></Engine>
  </Service>
  <Service name="Reports"><Connector port="09009" protocol="org.apache.coyote.ajp.AjpNioProtocol" /></Service>
  <Connector port="6060" protocol="HTTP/1.1" />
</Server>
)";
    EXPECT_EQ(portsOf(tomcat),
              (std::vector<Port>{{Shutdown, Number, 8005, "8005", ""},
                                 {Connector, Number, 8080, "8080", "HTTP/1.1"},
                                 {Ajp, Number, 8009, "8009", "AJP/1.3"},
                                 {Ajp, Number, 9009, "09009", "org.apache.coyote.ajp.AjpNioProtocol"}}));

    const std::string odd =
        "\xEF\xBB\xBF"
        R"(<Server port="-1" shutdown="SHUTDOWN"><Service name="Catalina">
    <Connector port="${port.http}" protocol="HTTP/1.1"/>
    <Connector port="1"/><Connector port="65535"/><Connector port="65536"/><Connector port="0"/>
    <Connector port="00" protocol="AJP/1.3"/><Connector port=" 8080"/><Connector protocol="HTTP/1.1"/><Connector port="8&#x30;81"/>
    <Connector port="18446744073709559616"/>
</Service></Server>)";
    EXPECT_EQ(portsOf(odd), (std::vector<Port>{{Shutdown, Disabled, 0, "-1", ""},
                                               {Connector, Unknown, 0, "${port.http}", "HTTP/1.1"},
                                               {Connector, Number, 1, "1", ""},
                                               {Connector, Number, 65535, "65535", ""},
                                               {Connector, NotAPort, 0, "65536", ""},
                                               {Connector, AnyFree, 0, "0", ""},  // Tomcat takes a free one
                                               {Ajp, AnyFree, 0, "00", "AJP/1.3"},
                                               {Connector, NotAPort, 0, " 8080", ""},
                                               {Connector, Missing, 0, "", "HTTP/1.1"},
                                               {Connector, Number, 8081, "8081", ""},
                                               {Connector, NotAPort, 0, "18446744073709559616", ""}}));
    // A server without a port attribute waits on 8005, one with 0 on a free port; -2 is no port.
    EXPECT_EQ(portsOf("<Server><Service/></Server>"), (std::vector<Port>{{Shutdown, Number, 8005, "", ""}}));
    EXPECT_EQ(portsOf("<Server port='-2'/>"), (std::vector<Port>{{Shutdown, NotAPort, 0, "-2", ""}}));
    EXPECT_EQ(portsOf("<Server port='0'/>"), (std::vector<Port>{{Shutdown, AnyFree, 0, "0", ""}}));

    // portOffset moves every port with a number, the shutdown and AJP ports too, as far as 65535.
    const std::string offset = R"(<Server port="8005" portOffset="100"><Service><Connector port="8080"/>
    <Connector port="8009" protocol="AJP/1.3"/><Connector port="65435"/><Connector port="65436"/>
    <Connector port="0"/></Service></Server>)";
    EXPECT_EQ(portsOf(offset), (std::vector<Port>{{Shutdown, Number, 8105, "8005", ""},
                                                  {Connector, Number, 8180, "8080", ""},
                                                  {Ajp, Number, 8109, "8009", "AJP/1.3"},
                                                  {Connector, Number, 65535, "65435", ""},
                                                  {Connector, NotAPort, 65436, "65436", ""},
                                                  {Connector, AnyFree, 0, "0", ""}}));
    for (const char* ignored : {"-1", "x", " 1", ""})
        EXPECT_EQ(portsOf("<Server port='-1' portOffset='" + std::string(ignored) +
                          "'><Service><Connector port='1'/>"
                          "</Service></Server>"),
                  (std::vector<Port>{{Shutdown, Disabled, 0, "-1", ""}, {Connector, Number, 1, "1", ""}}))
            << ignored;
    EXPECT_EQ(portsOf("<Server port='1' portOffset='99999999999'/>"),
              (std::vector<Port>{{Shutdown, NotAPort, 1, "1", ""}}));
    // Two Tomcats meet on a port only where their addresses do: every address meets all.
    const auto on = [](std::uint16_t number, const std::string& address) {
        DeclaredPort port;
        port.value = PortValue::Number;
        port.number = number;
        port.address = address;
        return port;
    };
    EXPECT_FALSE(sameListeningPort(on(443, "10.0.0.5"), on(443, "10.0.0.6")));
    EXPECT_TRUE(sameListeningPort(on(443, "10.0.0.5"), on(443, "")));
    EXPECT_TRUE(sameListeningPort(on(443, "::"), on(443, "10.0.0.6")));
    EXPECT_TRUE(sameListeningPort(on(443, "[FE80::1]"), on(443, "fe80::1")));
    EXPECT_FALSE(sameListeningPort(on(443, ""), on(8443, "")));
    EXPECT_TRUE(sameListeningPort(on(443, "0:0:0:0:0:0:0:1"), on(443, "[::1]")));
    EXPECT_TRUE(sameListeningPort(on(443, "0:0:0:0:0:0:0:0"), on(443, "10.0.0.6")));
    // A program listening on the machine, by the address the system gives: a host name may be any address.
    EXPECT_FALSE(collidesWithListener("10.0.0.5", "10.0.0.6"));
    EXPECT_FALSE(collidesWithListener("[::1]", "127.0.0.1"));
    EXPECT_TRUE(collidesWithListener("10.0.0.5", "0.0.0.0"));
    EXPECT_TRUE(collidesWithListener("10.0.0.5", "::"));
    EXPECT_TRUE(collidesWithListener("", "127.0.0.1"));
    EXPECT_TRUE(collidesWithListener("[2001:DB8:0:0:1:0:0:1]", "2001:db8::1:0:0:1"));
    EXPECT_TRUE(collidesWithListener("shop.example.com", "10.0.0.9"));
    // The shutdown port listens on localhost unless its server names another address.
    const auto shutdownAt = [](const std::string& xml) {
        return std::get<std::vector<DeclaredPort>>(serverPorts(xml, TomcatVersion{})).front().address;
    };
    EXPECT_EQ(shutdownAt("<Server port='8005'/>"), "localhost");
    EXPECT_EQ(shutdownAt("<Server port='8005' address=''/>"), "localhost");
    EXPECT_EQ(shutdownAt("<Server port='8005' address='10.0.0.5'/>"), "10.0.0.5");
    EXPECT_FALSE(collidesWithListener("localhost", "10.0.0.5"));
    EXPECT_TRUE(collidesWithListener("LocalHost", "127.0.0.1"));
    EXPECT_TRUE(sameListeningPort(on(8005, "localhost"), on(8005, "127.0.0.1")));
    // An AJP connector without an address listens on localhost from 9.0.31, 8.5.51 and 7.0.100 on.
    const auto ajpAt = [](const std::string& release) {
        const auto ports = std::get<std::vector<DeclaredPort>>(
            serverPorts("<Server port='-1'><Service><Connector port='8009' protocol='AJP/1.3'/><Connector port='8080'/>"
                        "<Connector port='8010' protocol='AJP/1.3' address='10.0.0.5'/></Service></Server>",
                        tomcatVersionFromReleaseNotes("Apache Tomcat Version " + release)));
        return ports[1].address + "|" + ports[2].address + "|" + ports[3].address;
    };
    for (const char* release : {"9.0.31", "9.0.100", "8.5.51", "7.0.100", "10.0.27", "11.0.2"})
        EXPECT_EQ(ajpAt(release), "localhost||10.0.0.5") << release;
    for (const char* release : {"9.0.30", "8.5.50", "8.0.53", "7.0.99", "6.0.53", ""})
        EXPECT_EQ(ajpAt(release), "||10.0.0.5") << release;
    EXPECT_FALSE(sameListeningPort(on(8005, "localhost"), on(8005, "::1")));
    // One spelling of each address: the first of the longest zero runs folded, a lone zero group kept.
    const std::pair<const char*, const char*> spelled[] = {
        {"2001:DB8:0:0:1:0:0:1", "2001:db8::1:0:0:1"},
        {"2001:db8:0:1:1:1:1:1", "2001:db8:0:1:1:1:1:1"},
        {"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:0"},
        {"0:0:1:0:0:0:0:0", "0:0:1::"},
        {"::ffff:10.0.0.5", "::ffff:a00:5"},
        {"1:2:3:4:5:6:10.0.0.5", "1:2:3:4:5:6:a00:5"},
        {"[::]", "::"},
        {"192.168.001.10", "192.168.1.10"},
    };
    for (const auto& [text, canonical] : spelled) EXPECT_EQ(canonicalIpAddress(text), canonical) << text;
    for (const char* notAnAddress : {"256.0.0.1", "1.2.3", "1.2.3.4.", "fe80::1%4", "1:2:3:4:5:6:7:8:9", "1::2::3",
                                     ":1::", "12345::", "[10.0.0.1]", "1.2.3.4::", "1.2.3.4::5", "localhost", ""})
        EXPECT_EQ(canonicalIpAddress(notAnAddress), std::nullopt) << notAnAddress;
    // A placeholder for the offset, or for a connector's address, is resolved only by Tomcat.
    EXPECT_EQ(portsOf(R"(<Server port="8005" portOffset="${port.offset}"><Service><Connector port="8080"/>
    <Connector port="0"/></Service></Server>)"),
              (std::vector<Port>{{Shutdown, Unknown, 8005, "8005", ""},
                                 {Connector, Unknown, 8080, "8080", ""},
                                 {Connector, AnyFree, 0, "0", ""}}));
    EXPECT_EQ(portsOf(R"(<!DOCTYPE Server [<!ENTITY http.port "8080">]>
<Server port="-1"><Service><Connector port="&http.port;"/></Service></Server>)"),
              (std::vector<Port>{{Shutdown, Disabled, 0, "-1", ""}, {Connector, Unknown, 0, "&http.port;", ""}}));
    EXPECT_EQ(portsOf(R"(<Server port="-1"><Service><Connector port="8080" address="${bind.address}"/>
    <Connector port="8081" address="10.0.0.5"/></Service></Server>)"),
              (std::vector<Port>{{Shutdown, Disabled, 0, "-1", ""},
                                 {Connector, Unknown, 8080, "8080", ""},
                                 {Connector, Number, 8081, "8081", ""}}));

    // The check names each port by its role; while the service runs, its Tomcat holds them, so none is taken,
    // and a port out of range stays one.
    MemoryPlatform os;
    os.files.addFile("C:\\tc\\conf\\server.xml", offset);
    os.network.listening = {{8105, {"0.0.0.0"}}, {8180, {"::"}}, {8109, {"127.0.0.1"}}};
    Configuration c;
    c.tomcatConfigFile = "C:\\tc\\conf\\server.xml";
    std::vector<std::string> held;
    for (const Finding& finding : reviewPorts(c, {}, false, os.platform).findings)
        held.push_back(finding.message.substr(0, finding.message.find(" of ")));
    EXPECT_EQ(held, (std::vector<std::string>{"Port 8105 (shutdown)", "Port 8180 (connector)", "Port 8109 (AJP)",
                                              "The connector port \"65436\""}));
    const PortReview running = reviewPorts(c, {}, true, os.platform);
    ASSERT_EQ(running.findings.size(), 1u);
    EXPECT_EQ(running.findings[0].kind, FindingKind::ValueUnusable);
    EXPECT_EQ(running.notices.size(), 1u);
    // A connector on one address meets only a program on that address, or on every address.
    os.files.addFile("C:\\tc2\\server.xml",
                     "<Server port='-1'><Service><Connector port='443' address='10.0.0.5'/></Service></Server>");
    c.tomcatConfigFile = "C:\\tc2\\server.xml";
    os.network.listening = {{443, {"10.0.0.6"}}, {443, {"::1"}}, {8443, {"0.0.0.0"}}};
    EXPECT_TRUE(reviewPorts(c, {}, false, os.platform).findings.empty());
    os.network.listening.insert({443, {"10.0.0.5"}});
    EXPECT_EQ(reviewPorts(c, {}, false, os.platform).findings.size(), 1u);

    // A broken document says what and where: a mismatched end tag where the parser stops, at its name.
    EXPECT_EQ(errorOf("<Server port=\"8005\">\n"
                      "  <Service name=\"Catalina\">\n"
                      "    <Connector port=\"8080\"></Service>\n"
                      "</Server>\n"),
              "Start-end tags mismatch (line 3, column 30, offset 78)");
    EXPECT_EQ(errorOf("<?xml version=\"1.0\"?>\n<Context port=\"8005\"/>"),
              "The root element is <Context>, not <Server> (line 2, column 2, offset 23)");
    EXPECT_EQ(errorOf("<Server port=\"8005\"/>\n<!-- ports -->\n<Server port=\"8006\"/>"),
              "A second root element <Server> follows <Server> (line 3, column 2, offset 38)");

    // Entities of the DOCTYPE are put in as Tomcat's parser does: a value, a file beside server.xml, a file: URL;
    // one named only in a comment is not read (its file is not there).
    os.files.addFile("C:\\tc4\\conf\\server.xml", R"(<?xml version="1.0"?>
<!DOCTYPE Server [
  <!ENTITY % unused SYSTEM "nowhere.dtd">
  <!ENTITY http.port "8080">
  <!ENTITY connectors SYSTEM "connectors.xml">
  <!ENTITY ajp PUBLIC "-//Shop//AJP//EN" "file:///C:/shared/ajp%20connector.xml">
  <!ENTITY old SYSTEM "old-connectors.xml">
]>
<Server port="-1"><Service><Connector port="&http.port;"/>&connectors;&ajp;<!-- &old; --></Service></Server>)");
    os.files.addFile("C:\\tc4\\conf\\connectors.xml",
                     "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<Connector port=\"8443\" address=\"10.0.0.5\"/>");
    os.files.addFile("C:\\shared\\ajp connector.xml", R"(<Connector port="8009" protocol="AJP/1.3"/>)");
    const auto included = readServerPorts(os.files, "C:\\tc4\\conf\\server.xml", TomcatVersion{});
    std::vector<Port> read;
    for (const DeclaredPort& p : std::get<std::vector<DeclaredPort>>(included))
        read.emplace_back(p.role, p.value, p.number, p.text, p.address);
    EXPECT_EQ(read, (std::vector<Port>{{Shutdown, Disabled, 0, "-1", "localhost"},
                                       {Connector, Number, 8080, "8080", ""},
                                       {Connector, Number, 8443, "8443", "10.0.0.5"},
                                       {Ajp, Number, 8009, "8009", ""}}));
    // A file it names that is not there: Tomcat would not start.
    os.files.files.erase("C:\\tc4\\conf\\connectors.xml");
    const auto missing = readServerPorts(os.files, "C:\\tc4\\conf\\server.xml", TomcatVersion{});
    ASSERT_TRUE(std::holds_alternative<ServerXmlError>(missing));
    EXPECT_EQ(errorText(std::get<ServerXmlError>(missing)),
              "The file \"connectors.xml\" that the entity \"connectors\" of the DOCTYPE names could not be read "
              "(line 5, column 3, offset 114)");
    // Past the first entity put in, a place is counted in the text with them in; before it, as the file has it.
    os.files.addFile("C:\\tc4\\conf\\connectors.xml", "\n\n<Connector port=\"8443\"><Connector>");
    EXPECT_EQ(errorText(std::get<ServerXmlError>(readServerPorts(os.files, "C:\\tc4\\conf\\server.xml", {}))),
              "Start-end tags mismatch (line 11, column 94, offset 434 of the text with its entities put in)");
    // A bare ampersand in a file put in is named at the entity's declaration.
    os.files.addFile("C:\\tc4\\conf\\connectors.xml", "<Connector port=\"8443\" keystorePass=\"a&b\"/>");
    EXPECT_EQ(errorText(std::get<ServerXmlError>(readServerPorts(os.files, "C:\\tc4\\conf\\server.xml", {}))),
              "An ampersand (&) starts no reference: Tomcat's parser stops at it (write it as &amp;) in the text of "
              "the entity \"connectors\" (line 5, column 3, offset 114)");
    // What Tomcat's parser refuses and a lenient one takes: an entity no declaration names, one attribute twice.
    // A DOCTYPE that names a file of declarations may declare the entity there: Tomcat's parser reads it.
    os.files.addFile("C:\\tc5\\server.xml", "<Server>\n <Service><Connector port=\"&http.port;\"/></Service></Server>");
    EXPECT_EQ(errorText(std::get<ServerXmlError>(readServerPorts(os.files, "C:\\tc5\\server.xml", {}))),
              "The entity \"http.port\" is referred to but not declared (line 2, column 28, offset 36)");
    os.files.addFile("C:\\tc5\\server.xml",
                     "<!DOCTYPE Server SYSTEM \"ports.dtd\"><Server port=\"-1\"><Service>"
                     "<Connector port=\"&http.port;\"/></Service></Server>");
    read.clear();
    const auto placeholder = readServerPorts(os.files, "C:\\tc5\\server.xml", {});
    for (const DeclaredPort& p : std::get<std::vector<DeclaredPort>>(placeholder))
        read.emplace_back(p.role, p.value, p.number, p.text, p.address);
    EXPECT_EQ(read, (std::vector<Port>{{Shutdown, Disabled, 0, "-1", "localhost"},
                                       {Connector, Unknown, 0, "&http.port;", ""}}));
    EXPECT_EQ(errorOf("<Server>\n<Service><Connector port=\"8080\" address=\"::1\" port=\"8081\"/></Service></Server>"),
              "The attribute \"port\" is written twice on <Connector> (line 2, column 11, offset 19)");
    EXPECT_EQ(errorOf("<Server a=\"&#38;&#x26;&amp;&lt;&gt;&quot;&apos;\"><!-- & --><![CDATA[&]]></Server>"),
              "no error");
    EXPECT_EQ(entityFilePath("file://server/share/tc/x.xml", "C:\\tc\\conf"), "\\\\server\\share\\tc\\x.xml");
    EXPECT_EQ(entityFilePath("../shared/x.xml", "C:\\tc\\conf"), "C:\\tc\\conf\\..\\shared\\x.xml");
}

TEST(StartRefusal, ValuesTomcatCouldNeverStartWithAreNamedAndOnlyThose) {
    Configuration c;
    c.catalinaHome = "C:\\tc";
    c.classPath = "C:\\tc\\bin\\BOOTSTRAP.JAR;C:\\tc\\bin\\tomcat-juli.jar";
    c.initialHeapSize = 1024;
    c.maxHeapSize = 1024;
    EXPECT_EQ(startRefusal(c).why, "");
    c.maxHeapSize = 0;  // no maximum: the JVM's own
    EXPECT_EQ(startRefusal(c).why, "");
    c.maxHeapSize = 1023;
    EXPECT_EQ(startRefusal(c).field, Field::InitialHeapSize);
    EXPECT_EQ(startRefusal(c).why,
              "The initial heap size (1024 MB) is larger than the maximum heap size (1023 MB): the JVM would not "
              "start. Make the initial heap size no larger than the maximum.");
    c.maxHeapSize = 2048;
    c.classPath = "C:\\tc\\bin\\bootstrap.jar.old;C:\\tc\\lib";
    EXPECT_EQ(startRefusal(c).field, Field::ClassPath);
    EXPECT_EQ(startRefusal(c).why,
              "The class path holds no bootstrap.jar, so Tomcat's start class would not be found: put "
              "C:\\tc\\bin\\bootstrap.jar on it.");
}
