#pragma once
#include <windows.h>

namespace velmora {

class DoConfig;

// File > Export... and File > Import...: the common file dialogs around the
// export and import that the command line runs too.
void exportFromMenu(HWND owner, DoConfig& config);
void importFromMenu(HWND owner, DoConfig& config);

}  // namespace velmora
