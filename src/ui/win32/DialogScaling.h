#pragma once
#include <windows.h>

#include <vector>

#include "ui/win32/Fonts.h"

namespace velmora {

// Lays a dialog out again for another DPI: every child keeps its place in
// dialog units, measured by the dialog font at the new DPI, as the dialog
// manager placed it at creation.
class DialogScaling {
public:
    // Notes the DPI the dialog was created at, and the height its template
    // gives it (dialog units): Windows makes a window no taller than the
    // screen. The places, the client size and the font are read at the first
    // change, while they are still the creation's: start-up need not wait
    // for them.
    void noteCreation(HWND dialog, int templateHeight);
    // Places and sizes everything for this DPI and hands every child the
    // dialog font at that DPI. The window moves to the suggested corner, or
    // keeps its own without one.
    void apply(HWND dialog, UINT dpi, const RECT* suggested);

private:
    void capture(HWND dialog);

    struct Place {
        HWND child;
        RECT rect;
    };
    std::vector<Place> places_;
    SIZE client_{};
    SIZE baseUnits_{};
    UINT dpi_ = 0;
    int templateHeight_ = 0;
    LOGFONTW font_{};
    FontHandle scaledFont_;
};

// The dialog base units of a font: the average width of the letters and the height.
SIZE baseUnitsOf(HFONT font);
// The height a dialog template gives its dialog, in dialog units; 0 when it cannot be read.
int templateHeightOf(HINSTANCE instance, int templateId);
// The client height a dialog needs: as it was made, or its template's whole height where Windows made the
// window no taller than the screen.
int clientHeightNeeded(HWND dialog, int templateHeight);

}  // namespace velmora
