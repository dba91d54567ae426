#include "service/ClassicWrapper.h"
#include "service/ModernWrapper.h"

namespace velmora {

std::unique_ptr<WrapperKind> wrapperKindFor(const std::string& catalinaHome, Files& files) {
    // Without a home there is no wrapper to look for; the classic one stands in.
    if (catalinaHome.empty()) return std::make_unique<ClassicWrapper>(files);
    const std::string bin = catalinaHome + "\\bin\\";
    if (!files.fileExists(bin + "tomcat.exe"))
        for (int version = 11; version >= 7; --version)
            if (const std::string exe = bin + "tomcat" + std::to_string(version) + ".exe"; files.fileExists(exe))
                return std::make_unique<ModernWrapper>(files, exe);
    return std::make_unique<ClassicWrapper>(files);
}

}  // namespace velmora
