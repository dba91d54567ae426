// Which controls of the main window take a font of their own instead of the
// dialog font, and which fonts those are.
#pragma once
#include <windows.h>

#include "ui/win32/Fonts.h"
#include "ui/win32/ResourceIds.h"

namespace velmora {

// The frames' captions.
inline constexpr PointFont kFrameFont{"MS Sans Serif", 825, true, VARIABLE_PITCH | FF_SWISS};
inline constexpr int kFrames[] = {IDC_FRAME1, IDC_FRAME2, IDC_FRAME3, IDC_FRAME4};

// The options area and "-Xrs".
inline constexpr PointFont kCourierFont{"Courier New", 825, false, FIXED_PITCH | FF_MODERN};
inline constexpr int kCourierControls[] = {IDC_LABEL13, IDC_LABEL15, IDC_LABEL17, IDC_LABEL21,
                                           IDC_TEXT14,  IDC_LIST1,   IDC_CHECK2};

}  // namespace velmora
