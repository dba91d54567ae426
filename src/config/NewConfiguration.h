#pragma once
#include <string>

#include "config/Configuration.h"
#include "platform/Platform.h"

namespace velmora {

// The JDK a new configuration takes: java_home, else the JDK that
// "SOFTWARE\JavaSoft\Java Development Kit" names current, else one that an
// installer registered elsewhere; empty when none is found.
std::string defaultJavaHome(Environment& environment, Registry& registry);
// The parent of the program's own folder: a program in C:\tomcat\bin finds C:\tomcat.
std::string defaultCatalinaHome(Environment& environment);

// A fresh configuration: every path derived from the home, the JDK's class
// path, -Xrs ticked, no security manager, no sizes, no options, and the JVM
// type the user chose last.
Configuration newConfiguration(const std::string& catalinaHome, const std::string& javaHome, JvmType jvmType,
                               Files& files);

}  // namespace velmora
