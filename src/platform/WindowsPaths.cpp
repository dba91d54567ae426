#include "platform/WindowsPaths.h"

#include <algorithm>

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

bool isDevicePath(const std::string& path) { return isDeviceName(lastPathPart(path)); }

bool samePath(const std::string& a, const std::string& b) {
    return withBackslashes(foldedName(a)) == withBackslashes(foldedName(b));
}

}  // namespace velmora
