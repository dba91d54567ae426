#pragma once
#include <windows.h>

#include <optional>
#include <vector>

namespace velmora {

// A control of an extended dialog template. The texts point into the
// resource, which stays loaded as long as the program.
struct TemplateControl {
    const wchar_t* windowClass;  // a predefined class is named too
    const wchar_t* text;         // or 0xFFFF and the ordinal of the image a static control shows
    DWORD style;
    DWORD exStyle;
    DWORD id;
    RECT units;  // in dialog units
};

// An extended dialog template (DIALOGEX) as its resource holds it.
struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    SIZE units;           // the client area, in dialog units
    const wchar_t* menu;  // a name or MAKEINTRESOURCE; nullptr without a menu
    const wchar_t* title;
    int pointSize;  // 0 without a font of its own
    int weight;
    bool italic;
    BYTE charset;
    const wchar_t* face;
    std::vector<TemplateControl> controls;
};

// Nothing for a missing resource or an old-style DIALOG.
std::optional<DialogTemplate> loadDialogTemplate(HINSTANCE instance, int id);

}  // namespace velmora
