#pragma once
#include <string>
#include <vector>

namespace velmora::wrapper {

// Each line ends with CR LF. False when the file cannot be opened or written.
bool replaceWithLines(const std::string& path, const std::vector<std::string>& lines);
bool appendLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace velmora::wrapper
