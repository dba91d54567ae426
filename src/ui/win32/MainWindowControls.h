// What the main window's code shares about its controls.
#pragma once
#include <windows.h>

#include <string>

#include "config/DoConfig.h"
#include "ui/WindowSurface.h"
#include "ui/win32/ResourceIds.h"

namespace velmora {

// Posted when a field box has lost the focus to another control of the
// window, so its setter runs once the focus has settled.
constexpr UINT kFieldLeftMessage = WM_APP + 1;

using TextSetter = void (DoConfig::*)(const std::string&);

struct ControlSetter {
    int controlId;
    TextSetter set;
};

// The ten field boxes and the setter each one's text goes to.
inline constexpr ControlSetter kFieldBoxes[] = {
    {IDC_TEXT5, &DoConfig::setServiceName},     {IDC_TEXT11, &DoConfig::setDescription},
    {IDC_TEXT1, &DoConfig::setCatalinaHome},    {IDC_TEXT8, &DoConfig::setCatalinaBase},
    {IDC_TEXT4, &DoConfig::setTomcatConfigFile}, {IDC_TEXT7, &DoConfig::setSecurityPolicyFile},
    {IDC_TEXT6, &DoConfig::setJavaHome},        {IDC_TEXT9, &DoConfig::setTempDirectory},
    {IDC_TEXT2, &DoConfig::setSystemOut},       {IDC_TEXT3, &DoConfig::setSystemErr},
};

int controlIdOf(FieldControl control);
int controlIdOf(CheckControl control);

}  // namespace velmora
