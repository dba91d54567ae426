#pragma once
#include <gtest/gtest.h>

#include "config/DoConfig.h"
#include "platform/memory/MemoryPlatform.h"
#include "support/RecordingWindow.h"

namespace velmora::testing {

// The smallest PE header machineOfPe accepts: MZ, e_lfanew, PE\0\0, machine.
inline std::string tinyPe(std::uint16_t machine, std::uint32_t lfanew = 0x40) {
    std::string bytes(lfanew + 6, '\0');
    bytes.replace(0, 2, "MZ");
    for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>((lfanew >> (8 * i)) & 0xFF);
    bytes.replace(lfanew, 6, std::string("PE\0\0", 4) + char(machine & 0xFF) + char(machine >> 8));
    return bytes;
}

// DoConfig on the in-memory platform and a recording window, with the
// program in C:\tomcat\bin and a JDK in C:\jdk.
class DoConfigTest : public ::testing::Test {
protected:
    MemoryPlatform os;
    RecordingWindow window;
    DoConfig dc{os.platform, window};

    MemoryRegistry& reg() { return os.registry; }
    std::vector<MemoryMessageBoxes::Shown>& boxes() { return os.messageBoxes.shown; }

    void SetUp() override {
        window.config = &dc;
        os.environment.variables["JAVA_HOME"] = "C:\\jdk";
    }

    // A complete Catalina home and JDK, so that every check passes.
    void addDemoLayout(const std::string& home = "C:\\tomcat", const std::string& jdk = "C:\\jdk") {
        for (const char* folder : {"", "\\bin", "\\conf", "\\logs", "\\temp", "\\common", "\\common\\lib",
                                   "\\common\\endorsed", "\\server", "\\shared", "\\webapps", "\\work"})
            os.files.addFolder(home + folder);
        for (const char* file : {"\\bin\\tomcat.exe", "\\bin\\bootstrap.jar", "\\conf\\server.xml",
                                 "\\conf\\catalina.policy"})
            os.files.addFile(home + file, "x");
        for (const char* folder : {"", "\\lib", "\\jre", "\\jre\\bin"}) os.files.addFolder(jdk + folder);
        for (const char* file : {"\\lib\\tools.jar", "\\jre\\bin\\server\\jvm.dll", "\\jre\\bin\\client\\jvm.dll"})
            os.files.addFile(jdk + file, "x");
    }

    // bin\tomcat.exe's copies register a service running themselves and remove it again.
    void simulateClassicWrapper() {
        os.processes.onRun = [this](const std::string& command) {
            const auto install = command.find(" -install "), uninstall = command.find(" -uninstall ");
            if (install != std::string::npos)
                os.services.services[command.substr(install + 10, command.find(' ', install + 10) - install - 10)] = {command.substr(0, install), false};
            else if (uninstall != std::string::npos)
                os.services.services.erase(command.substr(uninstall + 12));
        };
    }

    // The service buttons and status as the window shows them.
    std::string state() {
        return window.install + "|" + window.status + "|" + window.start + (window.startEnabled ? "|on" : "|off");
    }
    std::string lastBox() { return boxes().empty() ? "<none>" : boxes().back().title + ": " + boxes().back().text; }
    std::string stored(const std::string& name, const std::string& value) {
        return reg().queryStringValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\" + name, value).value_or("<absent>");
    }
    std::int32_t storedDword(const std::string& name, const std::string& value) {
        return reg().queryDwordValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\" + name, value);
    }
    std::string storedList() {
        return reg().queryStringValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs", "services").value_or("<absent>");
    }
};

}  // namespace velmora::testing
