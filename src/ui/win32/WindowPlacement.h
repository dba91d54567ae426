#pragma once
#include <windows.h>

namespace velmora {

// Moves a window so that it stands centred over another, within the screen
// that the other stands on.
void centerOver(HWND window, HWND over);

// Design positions are in twips (1440 to the inch), shown at a window's DPI.
int twipsToPixels(int twips, UINT dpi);

}  // namespace velmora
