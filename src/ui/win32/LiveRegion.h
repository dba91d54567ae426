#pragma once
#include <windows.h>

namespace velmora {

// A label whose new text screen readers read out without it having the
// focus: a polite live region, told about each change.
class LiveRegion {
public:
    explicit LiveRegion(HWND label = nullptr) : label_(label) {}
    void changed();

private:
    HWND label_;
    bool marked_ = false;
};

}  // namespace velmora
