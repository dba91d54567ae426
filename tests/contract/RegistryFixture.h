#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Registry.h"

namespace velmora {

// What the registry contract needs besides the Registry itself. Every path
// is relative to HKEY_LOCAL_MACHINE.
class RegistryFixture {
public:
    virtual ~RegistryFixture() = default;
    virtual Registry& registry() = 0;
    // Stores exactly these bytes with this type, creating the key if needed.
    virtual void writeRaw(const std::string& subkey, const std::string& name, std::uint32_t type,
                          const std::string& data) = 0;
    // An existing key under SOFTWARE that belongs to this fixture alone and
    // goes away with it.
    virtual const std::string& scratch() const = 0;
};

std::unique_ptr<RegistryFixture> makeRegistryFixture();

}  // namespace velmora
