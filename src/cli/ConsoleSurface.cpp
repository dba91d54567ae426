#include "cli/ConsoleSurface.h"

#include <algorithm>
#include <cctype>

namespace velmora::cli {

void ConsoleSurface::addToList1(const std::string& option) {
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    const std::string key = lower(option);
    auto at = std::upper_bound(options_.begin(), options_.end(), key,
                               [&](const std::string& k, const std::string& item) { return k < lower(item); });
    options_.insert(at, option);
}

}  // namespace velmora::cli
