#pragma once
#include <string>

namespace velmora::messages {

inline const std::string kMissingFolderTitle = "Missing Folder";
inline const std::string kWarningTitle = "Warning";
inline const std::string kChangeDetectedTitle = "Change Detected";

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

inline const std::string kHomeChanged =
    "Your Catalina Home appears to have changed. Do you want to update your Catalina Base and Classpath to "
    "reflect this change?";
inline const std::string kBaseChanged =
    "Your Catalina Base appears to have changed. Do you want to update the paths to '/conf', '/log', and "
    "'/temp' to reflect this change?";

inline std::string reportNotWritten(const std::string& path, const std::string& reason) {
    return "The diagnostic report could not be written to '" + path + "': " + reason +
           "\r\n\r\nCheck that the program's folder exists and that you may write to it.";
}

}  // namespace velmora::messages
