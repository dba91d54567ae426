#include "support/Fixture.h"

#include <functional>
#include <iterator>
#include <sstream>

#include "app/Imports.h"
#include "cli/CliCommands.h"
#include "config/Encodings.h"

namespace velmora::testing {

CliRun runCli(MemoryPlatform& os, const std::vector<std::string>& arguments,
              cli::ConsoleFrontEnd::PasswordSource passwords) {
    std::ostringstream out, err;
    cli::ConsoleFrontEnd console(out, err, std::move(passwords));
    DebugLog log(os.files);
    Program program(os.platform, console, log, SetterChecks::Always);
    cli::CliSession cli{program, console, out, err};
    const int code = cli::runCommandLine(arguments, cli);
    return {code, out.str(), err.str()};
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

std::string tinyPe(std::uint16_t machine, std::uint32_t lfanew) {
    std::string bytes(lfanew + 6, '\0');
    bytes.replace(0, 2, "MZ");
    for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>((lfanew >> (8 * i)) & 0xFF);
    bytes.replace(lfanew, 6, std::string("PE\0\0", 4) + char(machine & 0xFF) + char(machine >> 8));
    return bytes;
}

void SessionTest::addClassicLayout(const std::string& home, const std::string& jdk) {
    for (const char* folder : {"", "\\bin", "\\conf", "\\logs", "\\temp", "\\common", "\\common\\lib",
                               "\\common\\endorsed", "\\server", "\\shared", "\\webapps", "\\work"})
        os.files.addFolder(home + folder);
    for (const char* file : {"\\bin\\bootstrap.jar", "\\conf\\catalina.policy"}) os.files.addFile(home + file, "x");
    os.files.addFile(home + "\\conf\\server.xml", kQuietServerXml);
    os.files.addFile(home + "\\bin\\tomcat.exe", "the classic wrapper");
    for (const char* folder : {"", "\\bin", "\\lib", "\\jre", "\\jre\\bin"}) os.files.addFolder(jdk + folder);
    for (const char* file :
         {"\\bin\\java.exe", "\\lib\\tools.jar", "\\jre\\bin\\server\\jvm.dll", "\\jre\\bin\\client\\jvm.dll"})
        os.files.addFile(jdk + file, "x");
}

void SessionTest::addTomcat(const std::string& home, const std::string& version) {
    for (const char* folder : {"", "\\bin", "\\conf", "\\lib", "\\logs", "\\temp", "\\webapps", "\\work"})
        os.files.addFolder(home + folder);
    for (const char* file : {"\\bin\\bootstrap.jar", "\\bin\\tomcat-juli.jar", "\\lib\\catalina.jar",
                             "\\conf\\logging.properties", "\\conf\\catalina.policy"})
        os.files.addFile(home + file, "x");
    os.files.addFile(home + "\\conf\\server.xml", kQuietServerXml);
    const std::string major = version.empty() ? "10" : version.substr(0, version.find('.'));
    os.files.addFile(home + "\\bin\\tomcat" + major + ".exe", "the Tomcat wrapper");
    if (!version.empty()) os.files.addFile(home + "\\RELEASE-NOTES", "      Apache Tomcat Version " + version + "\n");
}

void SessionTest::addJdk(const std::string& jdk, const std::string& javaVersion) {
    for (const char* folder : {"", "\\bin", "\\lib"}) os.files.addFolder(jdk + folder);
    os.files.addFile(jdk + "\\release", "JAVA_VERSION=\"" + javaVersion + "\"\n");
    os.files.addFile(jdk + "\\bin\\server\\jvm.dll", "x");
    os.files.addFile(jdk + "\\bin\\java.exe", "x");
}

void SessionTest::useHome(const std::string& home, const std::string& jdk) {
    os.environment.folder = home + "\\bin";
    os.environment.variables["JAVA_HOME"] = jdk;
}

void SessionTest::useModernLayout(const std::string& home, const std::string& version) {
    addTomcat(home, version);
    addJdk("C:\\jdk-21", "21.0.2");
    useHome(home, "C:\\jdk-21");
}

void SessionTest::simulateWrappers() {
    os.processes.onRun = [this](const std::string& command) {
        auto word = [&](std::size_t from) { return command.substr(from, command.find(' ', from) - from); };
        // Windows registers a program by its path as the loader spells it: ".." and doubled separators gone.
        auto spelled = [](std::string program) {
            const bool quoted = program.size() > 1 && program.front() == '"';
            if (quoted) program = program.substr(1, program.size() - 2);
            return "\"" + normalizedPath(program) + "\"";
        };
        // As on Windows, a name already registered is refused: the wrapper fails and nothing changes.
        auto registers = [&](const std::string& name, const std::string& binaryPath) {
            if (os.services.services.count(name)) {
                os.processes.exitCodes[command] = 1;
                return;
            }
            os.processes.exitCodes.erase(command);
            os.services.services[name] = {binaryPath, false, {}};
        };
        if (auto at = command.find(" -install "); at != std::string::npos) {
            const std::string name = word(at + 10);
            registers(name, spelled(command.substr(0, at)) + " -service " + name);
        } else if (auto at = command.find(" -uninstall "); at != std::string::npos) {
            os.services.services.erase(command.substr(at + 12));
        } else if (auto at = command.find(" //IS//"); at != std::string::npos) {
            const std::string name = word(at + 7);
            registers(name, spelled(command.substr(0, at)) + " //RS//" + name);
        } else if (auto at = command.find(" //DS//"); at != std::string::npos) {
            os.services.services.erase(command.substr(at + 7));
        }
    };
}

void SessionTest::saveNew(const std::string& name) {
    session.newConfiguration();
    editing.edit(Field::ServiceName, name);
    ASSERT_TRUE(session.save().done()) << name;
}

void SessionTest::installNew(const std::string& name) {
    saveNew(name);
    ASSERT_TRUE(session.install().done()) << lastOf(ui.warnings);
}

void SessionTest::put(const std::string& name, const std::vector<RegistryWrite>& values) {
    os.registry.write(kLocalMachine, kStore + "\\" + name, values);
}

std::string SessionTest::stored(const std::string& name, const std::string& value) {
    auto read = os.registry.read(kLocalMachine, kStore + "\\" + name, value);
    return read ? storedText(read).text : "<absent>";
}

std::uint32_t SessionTest::storedNumber(const std::string& name, const std::string& value) {
    return velmora::storedNumber(os.registry.read(kLocalMachine, kStore + "\\" + name, value));
}

void SessionTest::expectKeptNowhere(const std::string& secret) {
    std::function<void(const std::string&)> look = [&](const std::string& key) {
        const auto contents = os.registry.contents(kLocalMachine, key);
        if (!contents) return;
        for (const auto& name : contents->valueNames)
            EXPECT_EQ(os.registry.read(kLocalMachine, key, name)->text.find(secret), std::string::npos)
                << key << "\\" << name;
        for (const auto& subkey : contents->subkeyNames) look(key + "\\" + subkey);
    };
    for (const char* root : {"SOFTWARE", "SYSTEM"}) look(root);
    for (const auto& [path, content] : os.files.files) EXPECT_EQ(content.find(secret), std::string::npos) << path;
    for (const auto& line : os.processes.ran) EXPECT_EQ(line.find(secret), std::string::npos) << line;
}

std::vector<std::string> SessionTest::storedList() {
    return velmora::storedList(os.registry.read(kLocalMachine, kStore, "services"));
}

}  // namespace velmora::testing
