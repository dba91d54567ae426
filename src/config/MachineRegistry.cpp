#include "config/DoConfig.h"

namespace velmora {

std::string DoConfig::readMachineString(const std::string& subkey, const std::string& name) {
    return platform_.registry.queryStringValue(HKEY_LOCAL_MACHINE_ROOT, subkey, name).value_or("");
}

void DoConfig::writeMachineString(const std::string& subkey, const std::string& name, const std::string& text) {
    platform_.registry.setStringValue(HKEY_LOCAL_MACHINE_ROOT, subkey, name, text);
}

std::int32_t DoConfig::readMachineDword(const std::string& subkey, const std::string& name) {
    return platform_.registry.queryDwordValue(HKEY_LOCAL_MACHINE_ROOT, subkey, name);
}

void DoConfig::writeMachineDword(const std::string& subkey, const std::string& name, std::int32_t value) {
    platform_.registry.setDwordValue(HKEY_LOCAL_MACHINE_ROOT, subkey, name, value);
}

}  // namespace velmora
