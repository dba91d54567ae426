#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "LaunchParameters.h"

namespace velmora::wrapper {

// Today's date for a log's name: "%04u-%02u-%02u" or "%04u%02u%02u".
std::string today(const char* format);

// How a service that never got its JVM ends: the codes it reports to the
// service manager.
struct LaunchFailure {
    unsigned long exitCode;
    unsigned long serviceSpecificCode;
};

// Where a real JVM would refuse to be created from this launch (its library
// missing or of another machine type, an option its version does not know, a
// heap it cannot reserve, the security manager on a JDK that refuses it, the
// start class not on the class path), writes the lines the JVM and the
// wrapper write to the files they write them to, and says how the service
// ends. Nothing when the JVM would come up.
std::optional<LaunchFailure> createJvm(const LaunchParameters& launch);

// What a JVM of that library prints when it refuses the launch's options (an
// option its version does not know, a heap it cannot have, the security
// manager on 24 and later); nothing when it takes them.
std::vector<std::string> optionsRefusal(const LaunchParameters& launch);
// The Java feature version of the JDK the library belongs to (its release file); 0 when not known.
int javaFeatureOf(const std::string& jvmLibrary);

// Tomcat inside that JVM: it opens its log of the day, reads its server.xml
// and opens the ports it names, writing what Tomcat writes when one of those
// fails. The ports stay open while it lives.
// Lines as the wrapper writes them to its own log.
void wrapperLog(const LaunchParameters& launch, const char* level, const std::vector<std::string>& texts);

// A test sets up how the stand-in behaves with a file beside the program:
// its text, or nothing when there is no such file.
std::optional<std::string> standInSetting(const char* fileName);

class StandInTomcat {
public:
    // standin-connectors.txt: the milliseconds before the connectors open, or "never".
    explicit StandInTomcat(const LaunchParameters& launch);
    // What Tomcat writes as it shuts down; its ports close.
    void shutDown();
    ~StandInTomcat();
    StandInTomcat(const StandInTomcat&) = delete;
    StandInTomcat& operator=(const StandInTomcat&) = delete;

    // False once Tomcat has given up and its JVM ends.
    bool running() const { return running_; }

private:
    bool start(const LaunchParameters& launch);
    std::vector<std::uintptr_t> sockets_;
    std::string logPath_;
    bool winsock_ = false;
    bool running_ = false;
};

}  // namespace velmora::wrapper
