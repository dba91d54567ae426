#pragma once
#include <string>

namespace velmora::test {

// A new, empty folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Read and written straight through the system, apart from the code under test.
std::string contentOf(const std::string& path);
void createWithContent(const std::string& path, const std::string& content);

// The helper program beside this test executable, quoted for a command line.
std::string quotedHelper();

}  // namespace velmora::test
