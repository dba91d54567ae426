#include "platform/WindowsPaths.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/Text.h"

namespace velmora {

namespace {
const std::u16string kSuperscripts = u"\u00B9\u00B2\u00B3";

std::u16string withBackslashes(std::u16string path) {
    std::replace(path.begin(), path.end(), u'/', u'\\');
    return path;
}
}  // namespace

bool isDeviceName(const std::string& fileName) {
    std::u16string base = foldedName(fileName);
    base = base.substr(0, base.find(u'.'));
    // Windows drops trailing blanks before it looks for a device.
    while (!base.empty() && base.back() == u' ') base.pop_back();
    for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
        if (base == device) return true;
    if (base.size() != 4 || (base.compare(0, 3, u"COM") != 0 && base.compare(0, 3, u"LPT") != 0)) return false;
    const char16_t digit = base[3];
    return (digit >= u'0' && digit <= u'9') || kSuperscripts.find(digit) != std::u16string::npos;
}

std::string lastPathPart(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderPart(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(0, slash);
}

bool isDevicePath(const std::string& path) { return isDeviceName(lastPathPart(path)); }

bool samePath(const std::string& a, const std::string& b) {
    return withBackslashes(foldedName(a)) == withBackslashes(foldedName(b));
}

namespace {
// Where the root of an absolute path ends: after "C:\" or "\\server\share"; 0 for a relative path.
std::size_t rootLength(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
    if (path.rfind("\\\\", 0) != 0) return 0;
    const auto server = path.find('\\', 2);
    if (server == std::string::npos || server == 2) return 0;
    const auto share = path.find('\\', server + 1);
    if (share == server + 1) return 0;
    return share == std::string::npos ? path.size() : share;
}
}  // namespace

std::string normalizedPath(const std::string& path) {
    std::string text = path;
    std::replace(text.begin(), text.end(), '/', '\\');
    const std::size_t root = rootLength(text);
    if (root == 0) return {};
    std::vector<std::string> parts;
    for (std::size_t at = root; at <= text.size();) {
        auto end = text.find('\\', at);
        if (end == std::string::npos) end = text.size();
        std::string part = text.substr(at, end - at);
        // Windows drops trailing dots and blanks of a name.
        while (!part.empty() && (part.back() == '.' || part.back() == ' ') && part != "." && part != "..")
            part.pop_back();
        if (part == "..") {
            if (parts.empty()) return {};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string normalized = text.substr(0, root);
    for (const auto& part : parts) {
        if (normalized.back() != '\\') normalized += '\\';
        normalized += part;
    }
    return normalized;
}

bool samePlace(const std::string& a, const std::string& b) {
    const std::string first = normalizedPath(a), second = normalizedPath(b);
    return first.empty() || second.empty() ? samePath(a, b) : samePath(first, second);
}

bool isSameOrInside(const std::string& path, const std::string& folder) {
    if (path.empty() || folder.empty()) return false;
    const std::u16string inner = foldedName(path), outer = foldedName(folder);
    if (inner == outer) return true;
    const std::u16string prefix = outer.back() == u'\\' ? outer : outer + u'\\';
    return inner.compare(0, prefix.size(), prefix) == 0;
}

bool isDriveRoot(const std::string& path) {
    const std::size_t root = rootLength(path);
    return root != 0 && (path.size() == root || (path.size() == root + 1 && path.back() == '\\'));
}

bool isAbsoluteWindowsPath(const std::string& path) {
    const bool drive = path.size() > 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                       (path[2] == '\\' || path[2] == '/');
    return drive || path.rfind("\\\\", 0) == 0;
}

}  // namespace velmora
