#pragma once
#include <windows.h>

#include <string>

#include "ui/Pickers.h"

namespace velmora {

// The common file dialog, modal to owner: the chosen file's full path, or ""
// when the user cancelled or the dialog failed.
std::string ShowFileDialog(HWND owner, const FileDialogRequest& request);

// The shell's folder browser, modal to owner: the chosen file-system folder,
// or "" when cancelled or when the item chosen is not a folder on disk.
std::string BrowseForFolder(HWND owner);

}  // namespace velmora
