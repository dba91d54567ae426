#pragma once
#include "platform/Environment.h"

namespace velmora {

class Win32Environment : public Environment {
public:
    std::string variable(const std::string& name) override;
    std::string programFolder() override;
    std::string systemFolder() override;
    std::string absolutePath(const std::string& path) override;
    std::string commandLineArguments() override;
    bool elevated() override;
    bool ansiCodePageHolds(const std::string& text) override;
    std::string fromAnsiCodePage(const std::string& bytes) override;
};

}  // namespace velmora
