#include "FilesFixture.h"
#include "platform/memory/MemoryPlatform.h"

namespace velmora {
namespace {

class MemoryFilesFixture : public FilesFixture {
public:
    MemoryFilesFixture() {
        files_.environment = &environment_;
        files_.addFolder(folder_);
        files_.disks["C:"] = {64ULL << 30, 16ULL << 30};
    }
    Files& files() override { return files_; }
    const std::string& folder() const override { return folder_; }
    void holdOpenForWriting(const std::string& path) override { files_.locked.insert(path); }
    void writeWhileHeld(const std::string& path, const std::string& text) override { files_.files[path] += text; }
    void release(const std::string& path) override { files_.locked.erase(path); }
    void markReadOnly(const std::string& path) override { files_.readOnly.insert(path); }
    void enterParent() override { environment_.currentFolder = "C:\\work"; }

private:
    MemoryEnvironment environment_;
    MemoryFiles files_;
    std::string folder_ = "C:\\work\\contract";
};

}  // namespace

std::unique_ptr<FilesFixture> makeFilesFixture() { return std::make_unique<MemoryFilesFixture>(); }

}  // namespace velmora
