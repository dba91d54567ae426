#pragma once
#include <string>
#include <vector>

#include "checks/Findings.h"
#include "checks/PortCheck.h"
#include "checks/Questions.h"
#include "config/Configuration.h"
#include "platform/Platform.h"

namespace velmora {

// What the diagnostic report shows: the configuration as "label: value"
// rows (the 17 fixed ones, one per option, then how the service runs) and
// the findings of every check, in checking order.
// A section of its own after the findings: a title and its lines.
struct ReportSection {
    std::string title;
    std::vector<std::string> lines;
};

struct Report {
    std::vector<std::string> rows;
    CheckLog findings;
    std::vector<ReportSection> sections;
    std::vector<std::string> notices;  // worth knowing, but no problem
};

// What the checks compare the configuration with.
struct CheckContext {
    std::vector<OtherConfiguration> others;  // the other stored configurations
    bool serviceRunning = false;
    std::vector<std::string>* createdFolders = nullptr;  // made for the configuration, and where a check adds more
};

// Runs every check on the configuration; each tells its finding through the
// questions as it goes (and may offer to create a missing folder).
Report examineConfiguration(const Configuration& c, Platform& platform, Questions& questions,
                            const CheckContext& context = {});

// The whole HTML page as one line. "&", "<" and ">" in rows and messages
// are written as entities, everything else as it is; the page says it is UTF-8.
std::string reportDocument(const Report& report);

std::string reportFileName(const std::string& serviceName);

std::string escapeHtml(const std::string& text);

}  // namespace velmora
