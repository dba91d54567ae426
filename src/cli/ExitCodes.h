#pragma once

namespace velmora::cli {

// The exit codes of velmora-cli, as the README lists them.
enum ExitCode : int {
    kSuccess = 0,              // done; for status: installed and running
    kFailure = 1,              // tried and did not get there, or a "Warning" came up
    kUsageError = 2,           // the command line is wrong; nothing was done
    kRefused = 3,              // a rule or an answer No stopped it; nothing was changed
    kProblemsFound = 4,        // check: at least one check failed
    kInstalledNotRunning = 5,  // status
    kNotInstalled = 6,         // status: also a service removed outside Velmora
    kStatusUnknown = 7,        // status: the service manager could not tell
    kNotStored = 8,            // no configuration of that name is stored
    kNotElevated = 9,          // a command that changes the system, from a prompt that is not elevated
    kChanged = 10,             // apply: done, and something changed (with --check: would change)
    kStatusPending = 11,       // status: starting, stopping, pausing or continuing
    kStatusPaused = 12,        // status
    kStatusNotServing = 13,    // status: it runs, but a port or the URL does not answer
};

}  // namespace velmora::cli
