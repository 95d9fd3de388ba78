#include "tests/fakes/backends.h"

#include "platform/fake/memory_registry.h"

namespace korvex {

std::vector<RegistryBackendFactory> RegistryBackends() {
    return {
        {"Memory", [] { return std::unique_ptr<Registry>(std::make_unique<MemoryRegistry>()); }},
    };
}

}  // namespace korvex
