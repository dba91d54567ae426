#pragma once
#include <windows.h>

#include "app/FrontEnd.h"
#include "app/Outcome.h"
#include "config/ConfigurationTransfer.h"

namespace velmora {

// File > Export... and File > Import...: the common file dialogs around the
// export and import that the command line runs too.
std::string chooseExportFile(HWND owner);
void exportTo(const std::string& path, ConfigurationTransfer& transfer, Files& files, FrontEnd& frontEnd);
std::string chooseImportFile(HWND owner);
// The import itself runs as a command of its own, off the window's thread;
// a refusal comes as its warning.
Outcome importFile(const std::string& path, ConfigurationTransfer& transfer, Files& files, FrontEnd& frontEnd);

}  // namespace velmora
