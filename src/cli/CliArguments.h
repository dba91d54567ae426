#pragma once
#include <string>
#include <vector>

namespace velmora::cli {

// One command line, read but not yet run.
struct Invocation {
    std::string command;
    std::vector<std::string> operands;  // names, FIELD=VALUE pairs or the file
    std::string outFile;                // export --out
    std::string reportFile;             // check --report
    std::string jdk;                    // repoint and upgrade --jdk
    std::string home;                   // upgrade --home
    std::vector<std::string> sets;      // apply --set FIELD=VALUE, in order
    std::size_t tail = 0;               // logs --tail N: the last N lines
    std::string file;                   // logs --file FILE
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool yes = false;
    bool force = false;
    bool all = false;
    bool status = false;
    bool open = false;
    bool replace = false;
    bool grantRights = false;
    bool passwordStdin = false;
    bool check = false;
    bool restart = false;
    bool prune = false;
    bool list = false;     // adopt --list
    bool service = false;  // show --service
    bool help = false;
};

struct ParsedArguments {
    Invocation invocation;
    std::string error;  // empty when the command line is good
};

ParsedArguments parseArguments(const std::vector<std::string>& arguments);

// The usage of every command, and the help of one.
std::string overviewHelp();
std::string commandHelp(const std::string& command);
// Whether the command line changes anything, and so needs an elevated prompt.
bool changesTheSystem(const Invocation& invocation);

}  // namespace velmora::cli
