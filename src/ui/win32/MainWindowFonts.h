// Which controls of the main window take a font of their own instead of the
// dialog font, and which fonts those are.
#pragma once
#include <windows.h>

#include "ui/win32/Fonts.h"
#include "ui/win32/ResourceIds.h"

namespace velmora {

// The frames' captions.
inline constexpr PointFont kFrameFont{L"MS Sans Serif", 825, true, VARIABLE_PITCH | FF_SWISS};
inline constexpr int kFrames[] = {IDC_SERVICE_FRAME, IDC_TOMCAT_FRAME, IDC_JVM_FRAME, IDC_OPTIONS_FRAME};

// The options area and "-Xrs".
inline constexpr PointFont kCourierFont{L"Courier New", 825, false, FIXED_PITCH | FF_MODERN};
inline constexpr int kCourierControls[] = {IDC_EXAMPLE_DEFINE,    IDC_EXAMPLE_BATCH, IDC_EXAMPLE_PROF,
                                           IDC_EXAMPLE_NOCLASSGC, IDC_OPTION_ENTRY,  IDC_OPTION_LIST,
                                           IDC_REDUCE_OS_SIGNALS};

}  // namespace velmora
