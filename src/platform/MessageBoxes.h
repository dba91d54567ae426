#pragma once
#include <string>

namespace velmora {

// Windows message-box codes.
constexpr int kMbOk = 0;
constexpr int kMbOkCancel = 1;
constexpr int kMbYesNo = 4;
constexpr int kMbIconExclamation = 48;
constexpr int kMbIconInformation = 64;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box and returns the button pressed.
    virtual int show(const std::string& text, int buttons, const std::string& title) = 0;
};

}  // namespace velmora
