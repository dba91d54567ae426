#pragma once
#include <windows.h>

#include "app/FrontEnd.h"
#include "config/ConfigurationTransfer.h"

namespace velmora {

// File > Export... and File > Import...: the common file dialogs around the
// export and import that the command line runs too.
void exportFromMenu(HWND owner, ConfigurationTransfer& transfer, Files& files, FrontEnd& frontEnd);
void importFromMenu(HWND owner, ConfigurationTransfer& transfer, Files& files, FrontEnd& frontEnd);

}  // namespace velmora
