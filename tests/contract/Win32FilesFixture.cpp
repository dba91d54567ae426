#include <windows.h>

#include <filesystem>
#include <map>
#include <system_error>

#include "FilesFixture.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Files.h"

namespace velmora {
namespace {

class Win32FilesFixture : public FilesFixture {
public:
    Win32FilesFixture() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = narrow(temp) + "velmora-files-contract-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(wide(folder_).c_str(), nullptr);
    }
    ~Win32FilesFixture() override {
        if (!before_.empty()) SetCurrentDirectoryW(wide(before_).c_str());
        held_.clear();
        // Whole, with the folders a check made in it: Wine gives a later run the same process id.
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(wide(folder_)), ignored);
    }
    Files& files() override { return files_; }
    const std::string& folder() const override { return folder_; }
    // As the wrapper holds its logs: writing, while others may read and write.
    void holdOpenForWriting(const std::string& path) override {
        held_[path] = Handle(CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    void writeWhileHeld(const std::string& path, const std::string& text) override {
        DWORD written = 0;
        SetFilePointer(held_[path].get(), 0, nullptr, FILE_END);
        WriteFile(held_[path].get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    void release(const std::string& path) override { held_.erase(path); }
    void markReadOnly(const std::string& path) override {
        SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    void enterParent() override {
        wchar_t current[MAX_PATH];
        if (GetCurrentDirectoryW(MAX_PATH, current)) before_ = narrow(current);
        SetCurrentDirectoryW(wide(folder_.substr(0, folder_.find_last_of('\\'))).c_str());
    }

private:
    Win32Files files_;
    std::string folder_;
    std::map<std::string, Handle> held_;
    std::string before_;
};

}  // namespace

std::unique_ptr<FilesFixture> makeFilesFixture() { return std::make_unique<Win32FilesFixture>(); }

}  // namespace velmora
