#include "RegistryFixture.h"
#include "platform/memory/MemoryRegistry.h"

namespace velmora {
namespace {

class MemoryRegistryFixture : public RegistryFixture {
public:
    MemoryRegistryFixture() { registry_.createKey(kLocalMachine, scratch_); }

    Registry& registry() override { return registry_; }
    void writeRaw(const std::string& key, const std::string& name, const RegistryValue& value) override {
        registry_.setRaw(kLocalMachine, key, name, value);
    }
    bool refuseWritesBelow(const std::string& key) override {
        registry_.createKey(kLocalMachine, key);
        registry_.readOnlyKeys.insert(key);
        return true;
    }
    const std::string& scratch() const override { return scratch_; }

private:
    MemoryRegistry registry_;
    std::string scratch_ = "SOFTWARE\\VelmoraContract";
};

}  // namespace

std::unique_ptr<RegistryFixture> makeRegistryFixture() { return std::make_unique<MemoryRegistryFixture>(); }

}  // namespace velmora
