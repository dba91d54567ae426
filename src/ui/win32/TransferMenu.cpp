#include "ui/win32/TransferMenu.h"

#include <commdlg.h>

#include <optional>

#include "checks/CheckMessages.h"
#include "config/ConfigurationTransfer.h"
#include "config/DoConfig.h"
#include "config/StoreMessages.h"
#include "platform/win32/AnsiText.h"
#include "ui/win32/Explorer.h"

namespace velmora {

namespace {

ConfigurationTransfer transferOver(DoConfig& config) {
    return ConfigurationTransfer(config.platform().registry, TextConversion{ansiToUtf8, utf8ToAnsi});
}

// The dialog leaves the current folder alone: nothing else should follow it.
std::string chooseFile(HWND owner, bool open, const char* title) {
    int flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    FileDialogRequest request;
    request.flags = &flags;
    request.filter = AddFilterItem(AddFilterItem("", "JSON Documents (*.json)", "*.json"), "All Files (*.*)", "*.*");
    request.defaultExtension = "json";
    request.initialFileName = open ? "" : "velmora-configurations.json";
    request.title = title;
    request.openMode = open;
    return ShowFileDialog(owner, request);
}

void tell(DoConfig& config, const std::string& text, bool problem) {
    config.platform().messageBoxes.show(text, problem ? kMbOk | kMbIconExclamation : kMbOk | kMbIconInformation,
                                        problem ? messages::kWarningTitle : messages::kInfoTitle);
}

// Read through the system rather than a stream: the window needs no iostreams.
std::optional<std::string> fileText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string text;
    char chunk[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &read, nullptr) != FALSE) && read > 0) text.append(chunk, read);
    CloseHandle(file);
    return ok ? std::optional<std::string>(std::move(text)) : std::nullopt;
}

std::string nameList(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "\"" : ", \"") + name + "\"";
    return text;
}

}  // namespace

void exportFromMenu(HWND owner, DoConfig& config) {
    const std::string path = chooseFile(owner, false, "Export Configurations");
    if (path.empty()) return;
    auto result = transferOver(config).exportAll();
    if (result.error.empty())
        if (auto failure = config.platform().files.writeText(path, result.document))
            result.error = "Could not write \"" + path + "\": " + failure->description;
    if (!result.error.empty()) return tell(config, result.error, true);
    tell(config, "Exported " + std::to_string(result.names.size()) + " configuration(s) to \"" + path + "\".", false);
}

void importFromMenu(HWND owner, DoConfig& config) {
    const std::string path = chooseFile(owner, true, "Import Configurations");
    if (path.empty()) return;
    const auto document = fileText(path);
    if (!document) return tell(config, "Could not read \"" + path + "\".", true);
    const auto result = transferOver(config).importDocument(*document, false);
    if (!result.error.empty()) return tell(config, result.error, true);
    tell(config, "Imported " + std::to_string(result.names.size()) + " configuration(s): " + nameList(result.names) + ".",
         false);
}

}  // namespace velmora
