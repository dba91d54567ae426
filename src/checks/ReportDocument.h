#pragma once
#include <string>
#include <vector>

#include "config/Configuration.h"

namespace velmora {

// "label: value" rows: the 17 fixed ones, then one per non-empty option.
std::vector<std::string> reportRows(const Configuration& config, const std::string& jvmLibrary);

// The whole HTML page as one line; values are inserted as they are.
std::string reportDocument(const std::vector<std::string>& rows, const std::vector<std::string>& checkLog);

std::string reportFileName(const std::string& serviceName);

// Opens the page with the program associated with HTML files. "start" hands
// the quoted name to the shell's association, so a name with a blank or an
// "&" still names one file; the empty "" is start's window title.
std::string reportOpenCommand(const std::string& serviceName);

}  // namespace velmora
