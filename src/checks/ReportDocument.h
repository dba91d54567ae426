#pragma once
#include <string>
#include <vector>

#include "config/Configuration.h"

namespace velmora {

// "label: value" rows: the 17 fixed ones, then one per non-empty option.
std::vector<std::string> reportRows(const Configuration& config, const std::string& jvmLibrary);

// The messages of the failed checks of one report, in checking order.
using CheckLog = std::vector<std::string>;

// The whole HTML page as one line; "&", "<" and ">" in rows and messages
// are written as entities, everything else as it is.
std::string reportDocument(const std::vector<std::string>& rows, const CheckLog& checkLog);

std::string reportFileName(const std::string& serviceName);

std::string escapeHtml(const std::string& text);

}  // namespace velmora
