#pragma once
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
    OptionsIgnored,  // a setenv.bat's options, which the service never reads
    PortConflict,    // a port of server.xml that another configuration or program has
};

struct Finding {
    FindingKind kind;
    std::string label;
    std::string path;
    std::string message;
};

// The findings of one report, in checking order.
using CheckLog = std::vector<Finding>;

const char* findingKindName(FindingKind kind);

}  // namespace velmora
