#pragma once
#include <string>

namespace velmora::messages {

inline std::string folderMissingCreate(const std::string& path, const std::string& label) {
    return "'" + path + "' is specified for '" + label + "' but it does not exist. Create it?";
}

inline std::string pathMissing(const std::string& path, const std::string& label) {
    return "'" + path + "' is specified for '" + label + "' but it does not exist. Tomcat may not start without it.";
}

inline std::string jvmLibraryMissing(const std::string& path) {
    return "With your Tomcat home and JVM selection, the Tomcat service will expect to find the jvm at '" + path +
           "'. This file does not exist. Please check your settings against the actual location of the JVM.";
}

inline std::string folderNotCreated(const std::string& path, const std::string& reason) {
    return "The folder '" + path + "' could not be created: " + reason;
}

inline const std::string kHomeChanged =
    "Your Catalina Home appears to have changed. Do you want to update your Catalina Base and Classpath to "
    "reflect this change?";
inline const std::string kBaseChanged =
    "Your Catalina Base appears to have changed. Do you want to update the paths to '/conf', '/log', and "
    "'/temp' to reflect this change?";

}  // namespace velmora::messages
