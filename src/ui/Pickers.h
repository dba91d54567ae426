#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace velmora {

// Buffer sizes of the file dialog, in characters.
constexpr std::size_t kFileBufferSize = 256;
constexpr std::size_t kFileTitleBufferSize = 256;
constexpr std::size_t kCustomFilterBufferSize = 255;
constexpr std::size_t kFolderPathBufferSize = 260;

// Appends one description/pattern pair, each followed by a NUL, to a filter list.
std::string AddFilterItem(const std::string& filters, const std::string& description,
                          const std::string& pattern = "*.*");

// The text before the first NUL, or all of it.
std::string TrimAtNul(const std::string& text);

// The initial file name padded with NULs and cut to exactly the buffer size,
// so a name that is too long reaches the dialog shortened.
std::string fileDialogBuffer(const std::string& initialFileName);

// What a caller asks of the file dialog; every member has its default.
struct FileDialogRequest {
    int* flags = nullptr;                      // in and out; 0 when not given
    std::optional<std::string> initialFolder;  // the current directory when not given
    std::string filter;
    int filterIndex = 1;
    std::string defaultExtension;
    std::string initialFileName;
    std::string title;
    bool openMode = true;  // false: the save dialog
};

// The buffers and values one dialog call works on. The filter gets the
// extra NUL that ends the whole list.
struct FileDialogCall {
    std::string filter;
    std::string customFilter;
    int filterIndex = 1;
    std::string file;
    std::string fileTitle;
    std::string initialFolder;
    std::string title;
    std::string defaultExtension;
    int flags = 0;
    bool openMode = true;
};

FileDialogCall prepareFileDialogCall(const FileDialogRequest& request, const std::string& currentFolder);

// Runs the dialog through `show` (true when the user chose a file) and
// returns the chosen path, or "" on cancel. The caller's flag word takes the
// dialog's flags only when a file was chosen.
std::string runFileDialog(const FileDialogRequest& request, const std::string& currentFolder,
                          const std::function<bool(FileDialogCall&)>& show);

}  // namespace velmora
