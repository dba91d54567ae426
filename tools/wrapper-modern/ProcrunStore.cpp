#include "ProcrunStore.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <tuple>

#include "ProcrunCommand.h"
#include "ServiceControl.h"
#include "StandInJvm.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Registry.h"

namespace velmora::wrapper {

namespace {

const std::string kProcrunKey = "SOFTWARE\\Apache Software Foundation\\Procrun 2.0";

std::string parametersPath(const std::string& serviceName) { return procrunKeyPath(serviceName) + "\\Parameters"; }

// How the wrapper's documentation says it keeps each option, below the
// service's Parameters key: a text, a list of the entries given apart by "#"
// or ";", or a number. The service manager keeps the others (description,
// display name, start-up type, the program and the account).
enum class Kept { Text, List, Number };
struct Place {
    const char* option;
    const char* key;
    const char* value;
    Kept kept;
};
constexpr Place kPlaces[] = {
    {"DependsOn", "", "DependsOn", Kept::List},
    {"Environment", "", "Environment", Kept::List},
    {"User", "", "User", Kept::Text},
    {"Password", "", "Password", Kept::Text},
    {"LibraryPath", "", "LibraryPath", Kept::Text},
    {"JavaHome", "Java", "JavaHome", Kept::Text},
    {"Jvm", "Java", "Jvm", Kept::Text},
    {"JvmOptions", "Java", "Options", Kept::List},
    {"JvmOptions9", "Java", "Options9", Kept::List},
    {"Classpath", "Java", "Classpath", Kept::Text},
    {"JvmMs", "Java", "JvmMs", Kept::Number},
    {"JvmMx", "Java", "JvmMx", Kept::Number},
    {"JvmSs", "Java", "JvmSs", Kept::Number},
    {"StopImage", "Stop", "Image", Kept::Text},
    {"StopPath", "Stop", "WorkingPath", Kept::Text},
    {"StopClass", "Stop", "Class", Kept::Text},
    {"StopParams", "Stop", "Params", Kept::List},
    {"StopMethod", "Stop", "Method", Kept::Text},
    {"StopMode", "Stop", "Mode", Kept::Text},
    {"StopTimeout", "Stop", "Timeout", Kept::Number},
    {"StartImage", "Start", "Image", Kept::Text},
    {"StartPath", "Start", "WorkingPath", Kept::Text},
    {"StartClass", "Start", "Class", Kept::Text},
    {"StartParams", "Start", "Params", Kept::List},
    {"StartMethod", "Start", "Method", Kept::Text},
    {"StartMode", "Start", "Mode", Kept::Text},
    {"LogPath", "Log", "Path", Kept::Text},
    {"LogPrefix", "Log", "Prefix", Kept::Text},
    {"LogLevel", "Log", "Level", Kept::Text},
    {"StdError", "Log", "StdError", Kept::Text},
    {"StdOutput", "Log", "StdOutput", Kept::Text},
    {"LogJniMessages", "Log", "LogJniMessages", Kept::Number},
    {"PidFile", "Log", "PidFile", Kept::Text},
};

const Place* placeOf(const std::string& option) {
    for (const Place& place : kPlaces)
        if (option == place.option) return &place;
    return nullptr;
}

std::string keyOf(const std::string& serviceName, const Place& place) {
    return parametersPath(serviceName) + (*place.key ? std::string("\\") + place.key : std::string());
}

// A 64-bit wrapper keeps its values in the 32-bit view of the registry, as the documentation says.
Win32Registry wrapperRegistry() { return Win32Registry(RegistryView::Bits32); }

std::uint32_t numberOf(const std::string& text) {
    std::uint32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return number;
}

// Lower case, as the wrapper writes the service's name into the files of "auto".
std::string lowerCase(const std::string& text) {
    std::wstring name = wide(text);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towlower(c); });
    return narrow(name);
}

}  // namespace

std::string procrunKeyPath(const std::string& serviceName) { return kProcrunKey + "\\" + serviceName; }

DWORD storeOptions(const std::string& serviceName, const std::vector<std::pair<std::string, std::string>>& options) {
    std::vector<std::string> keys;
    std::map<std::string, std::vector<RegistryWrite>> writes;
    for (const auto& [name, value] : options) {
        const Place* place = placeOf(name);
        if (!place) continue;
        const std::string key = keyOf(serviceName, *place);
        if (!writes.count(key)) keys.push_back(key);
        switch (place->kept) {
            case Kept::Text: writes[key].push_back(RegistryWrite::textValue(place->value, value)); break;
            case Kept::List:
                writes[key].push_back(RegistryWrite::listValue(place->value, splitProcrunList(value)));
                break;
            case Kept::Number: writes[key].push_back(RegistryWrite::numberValue(place->value, numberOf(value))); break;
        }
    }
    Win32Registry registry = wrapperRegistry();
    for (const auto& key : keys)
        if (const MaybeFailure failure = registry.write(kLocalMachine, key, writes[key]))
            return static_cast<DWORD>(failure->number);
    return ERROR_SUCCESS;
}

std::map<std::string, std::vector<std::string>> storedOptions(const std::string& serviceName) {
    Win32Registry registry = wrapperRegistry();
    std::map<std::string, std::vector<std::string>> options;
    for (const Place& place : kPlaces) {
        const auto value = registry.read(kLocalMachine, keyOf(serviceName, place), place.value);
        if (!value) continue;
        auto& entries = options[place.option];
        if (value->type == kRegDword) {
            entries.push_back(std::to_string(value->number));
        } else if (value->type == kRegMultiSz) {
            for (std::size_t at = 0; at < value->text.size();) {
                const auto end = value->text.find('\0', at);
                if (end == std::string::npos || end == at) break;
                entries.push_back(value->text.substr(at, end - at));
                at = end + 1;
            }
        } else if (value->type == kRegSz || value->type == kRegExpandSz) {
            entries.push_back(value->text.substr(0, value->text.find('\0')));
        }
    }
    return options;
}

DWORD removeStoredOptions(const std::string& serviceName) {
    RegistryKey procrun;
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(kProcrunKey).c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                                procrun.receive());
    if (status == ERROR_SUCCESS) status = RegDeleteTreeW(procrun.get(), wide(serviceName).c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(status);
}

LaunchParameters procrunLaunchParameters(const std::string& serviceName) {
    auto options = storedOptions(serviceName);
    const auto first = [&](const char* option) { return options[option].empty() ? "" : options[option].front(); };
    LaunchParameters launch;
    launch.jvmLibrary = first("Jvm");
    launch.jvmOptions = options["JvmOptions"];
    for (auto& option : options["JvmOptions9"]) launch.jvmOptions.push_back(std::move(option));
    if (!first("Classpath").empty()) launch.jvmOptions.push_back("-Djava.class.path=" + first("Classpath"));
    for (const auto& [option, flag, unit] :
         {std::tuple{"JvmMs", "-Xms", "m"}, {"JvmMx", "-Xmx", "m"}, {"JvmSs", "-Xss", "k"}})
        if (!first(option).empty() && first(option) != "0") launch.jvmOptions.push_back(flag + first(option) + unit);
    launch.startClass = first("StartClass");
    launch.startMethod = first("StartMethod").empty() ? "main" : first("StartMethod");
    launch.startParams = options["StartParams"];
    launch.stopClass = first("StopClass");
    launch.stopMethod = first("StopMethod").empty() ? "main" : first("StopMethod");
    launch.stopParams = options["StopParams"];
    // "auto" is a file of the day in the log folder, named after the service as
    // the service manager gave it (//RS//name), not after the program.
    const std::string date = today("%04u-%02u-%02u");
    const auto output = [&](const char* option, const char* stream) {
        const std::string file = first(option);
        return _stricmp(file.c_str(), "auto") == 0
                   ? first("LogPath") + "\\" + lowerCase(serviceName) + "-" + stream + "." + date + ".log"
                   : file;
    };
    launch.outFile = output("StdOutput", "stdout");
    launch.errFile = output("StdError", "stderr");
    const std::string prefix = first("LogPrefix").empty() ? "commons-daemon" : first("LogPrefix");
    if (!first("LogPath").empty()) launch.wrapperLog = first("LogPath") + "\\" + prefix + "." + date + ".log";
    return launch;
}

}  // namespace velmora::wrapper
