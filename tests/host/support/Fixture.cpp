#include "support/Fixture.h"

#include "config/Encodings.h"

namespace velmora::testing {

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
    for (const char* folder : {"", "\\lib", "\\jre", "\\jre\\bin"}) os.files.addFolder(jdk + folder);
    for (const char* file : {"\\lib\\tools.jar", "\\jre\\bin\\server\\jvm.dll", "\\jre\\bin\\client\\jvm.dll"})
        os.files.addFile(jdk + file, "x");
}

void SessionTest::addModernLayout(const std::string& home, const std::string& jdk) {
    for (const char* folder : {"", "\\bin", "\\conf", "\\lib", "\\logs", "\\temp", "\\webapps", "\\work"})
        os.files.addFolder(home + folder);
    for (const char* file :
         {"\\bin\\bootstrap.jar", "\\bin\\tomcat-juli.jar", "\\conf\\logging.properties", "\\conf\\catalina.policy"})
        os.files.addFile(home + file, "x");
    os.files.addFile(home + "\\conf\\server.xml", kQuietServerXml);
    os.files.addFile(home + "\\bin\\tomcat10.exe", "the Tomcat 10 wrapper");
    for (const char* folder : {"", "\\bin", "\\lib"}) os.files.addFolder(jdk + folder);
    os.files.addFile(jdk + "\\release", "JAVA_VERSION=\"21.0.2\"\n");
    os.files.addFile(jdk + "\\bin\\server\\jvm.dll", "x");
}

void SessionTest::simulateWrappers() {
    os.processes.onRun = [this](const std::string& command) {
        auto word = [&](std::size_t from) { return command.substr(from, command.find(' ', from) - from); };
        if (auto at = command.find(" -install "); at != std::string::npos) {
            const std::string name = word(at + 10);
            os.services.services[name] = {"\"" + command.substr(0, at) + "\" -service " + name, false, {}};
        } else if (auto at = command.find(" -uninstall "); at != std::string::npos) {
            os.services.services.erase(command.substr(at + 12));
        } else if (auto at = command.find(" //IS//"); at != std::string::npos) {
            const std::string name = word(at + 7);
            os.services.services[name] = {command.substr(0, at) + " //RS//" + name, false, {}};
        } else if (auto at = command.find(" //DS//"); at != std::string::npos) {
            os.services.services.erase(command.substr(at + 7));
        }
    };
}

void SessionTest::saveNew(const std::string& name) {
    session.newConfiguration();
    session.edit(Field::ServiceName, name);
    ASSERT_TRUE(session.save(false).done()) << name;
}

std::string SessionTest::stored(const std::string& name, const std::string& value) {
    auto read = os.registry.read(kLocalMachine, "SOFTWARE\\velmoraconfigs\\" + name, value);
    return read ? storedText(read).text : "<absent>";
}

std::uint32_t SessionTest::storedNumber(const std::string& name, const std::string& value) {
    return velmora::storedNumber(os.registry.read(kLocalMachine, "SOFTWARE\\velmoraconfigs\\" + name, value));
}

std::vector<std::string> SessionTest::storedList() {
    return velmora::storedList(os.registry.read(kLocalMachine, "SOFTWARE\\velmoraconfigs", "services"));
}

}  // namespace velmora::testing
