#pragma once
#include <memory>
#include <string>

#include "platform/Registry.h"

namespace velmora {

// What the registry contract needs besides the Registry; paths are below HKEY_LOCAL_MACHINE.
class RegistryFixture {
public:
    virtual ~RegistryFixture() = default;
    virtual Registry& registry() = 0;
    // Stores the value as another program may have, creating the key: texts
    // as the UTF-16 of every byte of `text` (a NUL included), a DWORD as its
    // four bytes, other types as the bytes of `text`.
    virtual void writeRaw(const std::string& key, const std::string& name, const RegistryValue& value) = 0;
    // Creates the key and makes it refuse writes to it and below it, as
    // without administrator rights; false when this registry cannot.
    virtual bool refuseWritesBelow(const std::string& key) = 0;
    // Whether deleting a key and creating one below it check the rights as
    // writing a value does: Windows does, Wine 8 does not.
    virtual bool checksRightsOnKeys() const { return true; }
    // An existing key under SOFTWARE that belongs to this fixture alone and
    // goes away with it.
    virtual const std::string& scratch() const = 0;
};

std::unique_ptr<RegistryFixture> makeRegistryFixture();

}  // namespace velmora
