#pragma once
#include <windows.h>

#include "platform/win32/Handles.h"

namespace velmora {

// A face and size in hundredths of a point (825 for 8.25 pt). The pitch and
// family pick a look-alike where the face is missing.
struct PointFont {
    const wchar_t* face;
    int hundredthsOfPoint;
    bool bold;
    BYTE pitchAndFamily;
};

// That font at a DPI.
HFONT createPointFont(const PointFont& font, UINT dpi);

}  // namespace velmora
