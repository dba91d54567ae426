#pragma once
#include <memory>
#include <string>

#include "platform/Files.h"

namespace velmora {

// A folder of its own, and another program holding a file open as a running service holds its log.
class FilesFixture {
public:
    virtual ~FilesFixture() = default;
    virtual Files& files() = 0;
    // An existing, empty folder that goes away with the fixture.
    virtual const std::string& folder() const = 0;
    virtual void holdOpenForWriting(const std::string& path) = 0;
    // Appends through the handle held open, as the service writes its log.
    virtual void writeWhileHeld(const std::string& path, const std::string& text) = 0;
    virtual void release(const std::string& path) = 0;
    virtual void markReadOnly(const std::string& path) = 0;
    // Makes the folder's parent the current folder, until the fixture goes.
    virtual void enterParent() = 0;
};

std::unique_ptr<FilesFixture> makeFilesFixture();

}  // namespace velmora
