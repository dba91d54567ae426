#include "ui/win32/TransferMenu.h"

#include <commdlg.h>

#include "platform/Text.h"
#include "ui/win32/Explorer.h"

namespace velmora {

namespace {

constexpr std::size_t kLargestImport = 1u << 30;

// The dialog leaves the current folder alone: nothing else should follow it.
std::string chooseFile(HWND owner, bool open, const char* title) {
    int flags =
        OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    FileDialogRequest request;
    request.flags = &flags;
    request.filter = AddFilterItem(AddFilterItem("", "JSON Documents (*.json)", "*.json"), "All Files (*.*)", "*.*");
    request.defaultExtension = "json";
    request.initialFileName = open ? "" : "velmora-configurations.json";
    request.title = title;
    request.openMode = open;
    return ShowFileDialog(owner, request);
}

}  // namespace

std::string chooseExportFile(HWND owner) { return chooseFile(owner, false, "Export Configurations"); }

void exportTo(const std::string& path, ConfigurationTransfer& transfer, Files& files, FrontEnd& frontEnd) {
    auto result = transfer.exportAll();
    if (result.error.empty())
        if (auto failure = files.writeText(path, result.document))
            result.error = "Could not write \"" + path + "\": " + failure->description;
    if (!result.error.empty()) return frontEnd.warn(result.error);
    for (const auto& warning : result.warnings) frontEnd.warn(warning);
    frontEnd.tell("Exported " + std::to_string(result.names.size()) + " configuration(s) to \"" + path + "\".");
}

std::string chooseImportFile(HWND owner) { return chooseFile(owner, true, "Import Configurations"); }

Outcome importFile(const std::string& path, ConfigurationTransfer& transfer, Files& files, FrontEnd& frontEnd) {
    const auto refuse = [&frontEnd](const std::string& why) {
        frontEnd.warn(why);
        return Outcome::refused(why);
    };
    const auto document = files.readBytes(path, kLargestImport);
    if (!document) return refuse("Could not read \"" + path + "\".");
    const auto result = transfer.importDocument(*document, false);
    if (!result.error.empty()) return refuse(result.error);
    for (const auto& warning : result.warnings) frontEnd.warn(warning);
    return Outcome::announced("Imported " + std::to_string(result.names.size()) +
                              " configuration(s): " + quotedNames(result.names) + ".");
}

}  // namespace velmora
