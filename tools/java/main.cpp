// A stand-in for a JDK's bin\java.exe, for tests and the demo; never shipped.
// It refuses the options the JVM beside it would refuse, as the stand-in
// wrappers' JVM does, and otherwise says its version, as java -version does.
#include <windows.h>

#include <cstdio>
#include <string>

#include "LaunchParameters.h"
#include "ServiceControl.h"
#include "StandInJvm.h"
#include "platform/win32/WideText.h"

using namespace velmora::wrapper;

int wmain(int argc, wchar_t** argv) {
    LaunchParameters launch;
    bool client = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = velmora::narrow(argv[i]);
        if (argument == "-client") client = true;
        if (argument != "-version" && argument != "-client" && argument != "-server")
            launch.jvmOptions.push_back(argument);
    }
    // bin\java.exe: the JVM library of a 9+ JDK sits beside it, of an older one in its jre.
    const std::string own = ownExecutablePath();
    const std::string bin = own.substr(0, own.find_last_of('\\'));
    const std::string jdk = bin.substr(0, bin.find_last_of('\\'));
    const std::string kind = client ? "client" : "server";
    launch.jvmLibrary = bin + "\\" + kind + "\\jvm.dll";
    if (GetFileAttributesW(velmora::wide(launch.jvmLibrary).c_str()) == INVALID_FILE_ATTRIBUTES)
        launch.jvmLibrary = jdk + "\\jre\\bin\\" + kind + "\\jvm.dll";
    if (GetFileAttributesW(velmora::wide(launch.jvmLibrary).c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "Error: missing `%s' JVM at `%s'.\n", kind.c_str(), launch.jvmLibrary.c_str());
        return 1;
    }
    for (const std::string& line : optionsRefusal(launch)) std::fprintf(stderr, "%s\n", line.c_str());
    if (!optionsRefusal(launch).empty()) return 1;
    const int feature = javaFeatureOf(launch.jvmLibrary);
    std::fprintf(stderr, "openjdk version \"%d\"\n", feature ? feature : 8);
    return 0;
}
