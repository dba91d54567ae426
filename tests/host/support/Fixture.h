#pragma once
#include <gtest/gtest.h>

#include "app/Program.h"
#include "cli/ConsoleFrontEnd.h"
#include "platform/memory/MemoryPlatform.h"
#include "support/RecordingFrontEnd.h"

namespace velmora::testing {

// What a script sees of one velmora-cli run: the exit code and both streams.
struct CliRun {
    int code;
    std::string out, err;
};

// One velmora-cli run, with a session of its own as a new process has.
CliRun runCli(MemoryPlatform& os, const std::vector<std::string>& arguments,
              cli::ConsoleFrontEnd::PasswordSource passwords = {});

// Where the configurations are stored, as the registry holds them.
inline const std::string kStore = "SOFTWARE\\velmoraconfigs";

// A server.xml that opens no port: configurations that share it conflict in nothing.
inline const char* const kQuietServerXml = "<Server port=\"-1\" shutdown=\"SHUTDOWN\"/>";

// The last recorded entry, or nothing: an empty list fails the check instead of reading past it.
template <typename T>
T lastOf(const std::vector<T>& recorded) {
    return recorded.empty() ? T{} : recorded.back();
}

// The blank-separated words of a text: a long expected list written compactly.
std::vector<std::string> words(const std::string& text);

// The smallest PE header machineOfPe accepts: MZ, e_lfanew, PE\0\0, machine.
std::string tinyPe(std::uint16_t machine, std::uint32_t lfanew = 0x40);

// The program in a Catalina home C:\tomcat on C:\jdk, stand-in wrappers, a recording front end.
class SessionTest : public ::testing::Test {
protected:
    MemoryPlatform os;
    RecordingFrontEnd ui;
    DebugLog debugLog{os.files};
    Program program{os.platform, ui, debugLog, SetterChecks::OnceStored};
    Session& session = program.session;
    Editing& editing = program.editing;

    void SetUp() override {
        os.environment.variables["JAVA_HOME"] = "C:\\jdk";
        addClassicLayout();
        simulateWrappers();
    }

    // A complete Catalina home and JDK, so that every check passes.
    void addClassicLayout(const std::string& home = "C:\\tomcat", const std::string& jdk = "C:\\jdk");
    // A Tomcat 7-11 home whose RELEASE-NOTES declare the version (none when it
    // is empty) and whose wrapper bears its major version (tomcat10.exe
    // without a version), and a JDK with only a server JVM.
    void addTomcat(const std::string& home, const std::string& version = "");
    void addJdk(const std::string& jdk, const std::string& javaVersion);
    // The program run from that home's bin folder, on that JDK.
    void useHome(const std::string& home, const std::string& jdk);
    // A Tomcat 7-11 home (by default one that declares no version) on a JDK 21
    // in C:\jdk-21, the program run from there.
    void useModernLayout(const std::string& home = "C:\\tomcat10", const std::string& version = "");

    // The stand-in wrappers as the service manager sees them: the classic
    // copy registers "<copy>" -service <name>, the Tomcat 7-11 wrapper
    // "<wrapper>" //RS//<name>; both remove their service again.
    void simulateWrappers();

    // A new configuration of that name, saved; installNew installs it too.
    void saveNew(const std::string& name);
    void installNew(const std::string& name);
    // Values written into a configuration's key behind Velmora's back.
    void put(const std::string& name, const std::vector<RegistryWrite>& values);
    std::string stored(const std::string& name, const std::string& value);
    std::uint32_t storedNumber(const std::string& name, const std::string& value);
    std::vector<std::string> storedList();
    // The secret stands in no registry value, no file and no command line run.
    void expectKeptNowhere(const std::string& secret);
    bool serviceExists(const std::string& name) { return os.services.services.count(name) > 0; }
    bool running(const std::string& name) { return serviceExists(name) && os.services.services[name].started; }
};

}  // namespace velmora::testing
