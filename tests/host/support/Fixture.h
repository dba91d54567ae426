#pragma once
#include <gtest/gtest.h>

#include "app/Session.h"
#include "platform/memory/MemoryPlatform.h"
#include "support/RecordingFrontEnd.h"

namespace velmora::testing {

// A server.xml that opens no port: configurations that share it conflict in nothing.
inline const char* const kQuietServerXml = "<Server port=\"-1\" shutdown=\"SHUTDOWN\"/>";

// The last of what was recorded, or nothing when nothing was: a fault that
// leaves a list empty fails the check instead of reading past the list.
template <typename T>
T lastOf(const std::vector<T>& recorded) {
    return recorded.empty() ? T{} : recorded.back();
}

// The smallest PE header machineOfPe accepts: MZ, e_lfanew, PE\0\0, machine.
std::string tinyPe(std::uint16_t machine, std::uint32_t lfanew = 0x40);

// A session on the in-memory platform with the program in C:\tomcat\bin, a
// JDK in C:\jdk and a front end that records what it is shown.
class SessionTest : public ::testing::Test {
protected:
    MemoryPlatform os;
    RecordingFrontEnd ui;
    DebugLog debugLog{os.files};
    Session session{os.platform, ui, debugLog};

    void SetUp() override { os.environment.variables["JAVA_HOME"] = "C:\\jdk"; }

    // A complete Catalina home and JDK, so that every check passes.
    void addClassicLayout(const std::string& home = "C:\\tomcat", const std::string& jdk = "C:\\jdk");
    // A Tomcat 10 home with its own wrapper and a JDK 21 without jre folder.
    void addModernLayout(const std::string& home = "C:\\tomcat10", const std::string& jdk = "C:\\jdk-21");

    // The stand-in wrappers as the service manager sees them: the classic
    // copy registers "<copy>" -service <name>, the Tomcat 7-11 wrapper
    // "<wrapper>" //RS//<name>; both remove their service again.
    void simulateWrappers();

    // A new configuration of that name, saved.
    void saveNew(const std::string& name);
    std::string stored(const std::string& name, const std::string& value);
    std::uint32_t storedNumber(const std::string& name, const std::string& value);
    std::vector<std::string> storedList();
    bool serviceExists(const std::string& name) { return os.services.services.count(name) > 0; }
};

}  // namespace velmora::testing
