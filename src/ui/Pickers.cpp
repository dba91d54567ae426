#include "ui/Pickers.h"

namespace velmora {

std::string AddFilterItem(const std::string& filters, const std::string& description, const std::string& pattern) {
    std::string list = filters;
    list += description;
    list += '\0';
    list += pattern;
    list += '\0';
    return list;
}

std::string TrimAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string fileDialogBuffer(const std::string& initialFileName) {
    std::string buffer = initialFileName + std::string(kFileBufferSize, '\0');
    buffer.resize(kFileBufferSize);
    return buffer;
}

FileDialogCall prepareFileDialogCall(const FileDialogRequest& request, const std::string& currentFolder) {
    FileDialogCall call;
    call.filter = request.filter + '\0';
    call.customFilter.assign(kCustomFilterBufferSize, '\0');
    call.filterIndex = request.filterIndex;
    call.file = fileDialogBuffer(request.initialFileName);
    call.fileTitle.assign(kFileTitleBufferSize, '\0');
    call.initialFolder = request.initialFolder.value_or(currentFolder);
    call.title = request.title;
    call.defaultExtension = request.defaultExtension;
    call.flags = request.flags ? *request.flags : 0;
    call.openMode = request.openMode;
    return call;
}

std::string runFileDialog(const FileDialogRequest& request, const std::string& currentFolder,
                          const std::function<bool(FileDialogCall&)>& show) {
    FileDialogCall call = prepareFileDialogCall(request, currentFolder);
    if (!show(call)) return "";
    if (request.flags) *request.flags = call.flags;
    return TrimAtNul(call.file);
}

}  // namespace velmora
