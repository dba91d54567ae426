#pragma once
#include <string>

namespace velmora {

class Environment {
public:
    virtual ~Environment() = default;
    // The value of an environment variable (names ignore case); empty when unset.
    virtual std::string variable(const std::string& name) = 0;
    // The folder that holds the program's executable, without a trailing "\".
    virtual std::string programFolder() = 0;
    // Windows' own System32 folder, where net.exe lives.
    virtual std::string systemFolder() = 0;
    // The path made absolute against the current folder as it is now.
    virtual std::string absolutePath(const std::string& path) = 0;
    // Everything on the command line after the program's own path.
    virtual std::string commandLineArguments() = 0;
    // Whether the program runs with an administrator's full rights.
    virtual bool elevated() = 0;
    // Whether the code page Windows gives programs that are not Unicode holds every character of the text:
    // a JVM reads the options it is created with in that code page.
    virtual bool ansiCodePageHolds(const std::string& text) = 0;
    // Bytes in that code page as text: a JVM run as a service writes its System.out and System.err in it.
    virtual std::string fromAnsiCodePage(const std::string& bytes) = 0;
};

}  // namespace velmora
