// What the main window's code shares about its controls.
#pragma once
#include <windows.h>

#include "config/ConfigurationFields.h"
#include "ui/win32/ResourceIds.h"

namespace velmora {

// Posted when a field box has lost the focus to another control of the
// window, so its value is handed over once the focus has settled.
constexpr UINT kFieldLeftMessage = WM_APP + 1;

struct ControlField {
    int controlId;
    Field field;
};

// The ten field boxes and the field each one's text goes to.
inline constexpr ControlField kFieldBoxes[] = {
    {IDC_SERVICE_NAME, Field::ServiceName},     {IDC_DESCRIPTION, Field::Description},
    {IDC_CATALINA_HOME, Field::CatalinaHome},   {IDC_CATALINA_BASE, Field::CatalinaBase},
    {IDC_CONFIG_FILE, Field::TomcatConfigFile}, {IDC_POLICY_FILE, Field::SecurityPolicyFile},
    {IDC_JAVA_HOME, Field::JavaHome},           {IDC_TEMP_DIRECTORY, Field::TempDirectory},
    {IDC_SYSTEM_OUT, Field::SystemOut},         {IDC_SYSTEM_ERR, Field::SystemErr},
};

// The browse buttons that pick a folder, and the field it goes to.
inline constexpr ControlField kFolderButtons[] = {
    {IDC_BROWSE_CATALINA_HOME, Field::CatalinaHome}, {IDC_BROWSE_CATALINA_BASE, Field::CatalinaBase},
    {IDC_BROWSE_JAVA_HOME, Field::JavaHome},         {IDC_BROWSE_TEMP_DIRECTORY, Field::TempDirectory},
    {IDC_BROWSE_SYSTEM_OUT, Field::SystemOut},       {IDC_BROWSE_SYSTEM_ERR, Field::SystemErr},
};

inline constexpr ControlField kSizeBoxes[] = {
    {IDC_INITIAL_HEAP, Field::InitialHeapSize},
    {IDC_MAX_HEAP, Field::MaxHeapSize},
    {IDC_STACK_SIZE, Field::ThreadStackSize},
};

template <typename Entry, std::size_t N>
const Entry* entryFor(const Entry (&table)[N], int controlId) {
    for (const Entry& entry : table)
        if (entry.controlId == controlId) return &entry;
    return nullptr;
}

}  // namespace velmora
