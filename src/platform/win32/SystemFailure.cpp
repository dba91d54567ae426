#include "platform/win32/SystemFailure.h"

#include <cctype>

namespace velmora {

Failure systemFailure(const std::string& source, DWORD errorCode) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        errorCode, 0, text, sizeof text, nullptr);
    std::string description(text, length);
    while (!description.empty() && std::isspace(static_cast<unsigned char>(description.back())))
        description.pop_back();
    if (description.empty()) description = "Error " + std::to_string(errorCode);
    return Failure{source, description, static_cast<long>(errorCode)};
}

}  // namespace velmora
