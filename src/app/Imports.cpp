#include "app/Imports.h"

#include "checks/ConfigurationEditor.h"
#include "config/NewConfiguration.h"

namespace velmora {

Configuration entryBase(Platform& platform) {
    return newConfiguration(defaultCatalinaHome(platform.environment),
                            defaultJavaHome(platform.environment, platform.registry), JvmType::Server, platform.files);
}

Configuration completedEntry(const DecodedEntry& entry, Platform& platform) {
    ConfigurationEditor editor(platform.files, platform.environment);
    editor.start(entryBase(platform));
    editor.setServiceName(entry.values.serviceName);
    editor.apply(entry.values, entry.given);
    return editor.configuration();
}

}  // namespace velmora
