#include "platform/memory/MemoryRegistry.h"
#include "RegistryFixture.h"

namespace velmora {
namespace {

class MemoryRegistryFixture : public RegistryFixture {
public:
    MemoryRegistryFixture() { registry_.createKey(HKEY_LOCAL_MACHINE_ROOT, scratch_); }

    Registry& registry() override { return registry_; }
    void writeRaw(const std::string& subkey, const std::string& name, std::uint32_t type, const std::string& data) override {
        registry_.setRawValue(HKEY_LOCAL_MACHINE_ROOT, subkey, name, type, data);
    }
    const std::string& scratch() const override { return scratch_; }

private:
    MemoryRegistry registry_;
    std::string scratch_ = "SOFTWARE\\VelmoraContract";
};

}  // namespace

std::unique_ptr<RegistryFixture> makeRegistryFixture() { return std::make_unique<MemoryRegistryFixture>(); }

}  // namespace velmora
