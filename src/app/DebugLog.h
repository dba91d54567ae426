#pragma once
#include <optional>
#include <string>

#include "platform/Environment.h"
#include "platform/Failure.h"
#include "platform/Files.h"

namespace velmora {

// The debug-log path that the command line asks for: lower-cased, every
// space removed, "debug" anywhere switches it on, and the path is what
// follows the first ":" (the whole text when there is none).
std::optional<std::string> debugLogPathFromArguments(const std::string& arguments);

// Failure lines of service control go here, one line at a time, each on
// disk when the call returns.
class DebugLog {
public:
    explicit DebugLog(Files& files) : files_(files) {}
    // Creates the file empty, at a path made absolute now so that no later
    // change of the current folder moves it. When it cannot be created the
    // log stays off; the returned text says why.
    std::string start(Environment& environment);
    // "Err.Source: ", "Err.Description: ", "Err.Number: ", "errStatus: ".
    void logFailure(const Failure& failure, const std::string& step);
    const std::string& path() const { return path_; }

private:
    void append(const std::string& line);
    Files& files_;
    std::string path_;
};

}  // namespace velmora
