#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// One problem a check found: what kind, about which field or file, the path
// it looked at, and the message the user is shown.
enum class FindingKind {
    FolderMissing,
    FileMissing,
    JvmLibraryMissing,
    MachineMismatch,
    ValueUnusable,
    RightsMissing,
    OptionsIgnored,    // a setenv.bat's options, which the service never reads
    PortConflict,      // a port of server.xml that another configuration or program has
    SlowStop,          // the last stop took close to the stop timeout, or longer than Windows waits at shutdown
    LogsBeyondBounds,  // the logs hold more than the configuration keeps
    DiskAlmostFull,    // the disk that holds the logs has less than a tenth free
    ServiceDiffers,    // the installed service holds another value than the store (changed past Velmora)
    WouldNotStart,     // a move to another home or JDK that Tomcat would not start after
};

struct Finding {
    FindingKind kind;
    std::string label;
    std::string path;
    std::string message;
    // What a script needs beyond the message: the store's name of the field
    // (as set takes it), and for a port the port, the other configuration
    // that has it and whether a program holds it; for a JDK that is gone, the one to take.
    std::string field = {};
    std::uint16_t port = 0;
    std::string otherConfiguration = {};
    bool heldByProgram = false;
    std::string suggestedJdk = {};
    // For a service that differs: the value stored and the one the service holds.
    std::string stored = {};
    std::string held = {};
};

// The findings of one report, in checking order.
using CheckLog = std::vector<Finding>;

const char* findingKindName(FindingKind kind);

}  // namespace velmora
