#include "tests/fakes/backends.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/memory_registry.h"
#include "platform/wine/wine_registry.h"
#include "tests/support/host_files.h"

namespace korvex {
namespace {

// A new empty prefix folder per registry, removed when the test program ends (every
// registry made in one is gone long before).
std::string freshPrefix() {
    static std::vector<std::unique_ptr<test::TempHostFolder>> folders;
    folders.push_back(std::make_unique<test::TempHostFolder>("korvex-contract"));
    return folders.back()->path();
}

}  // namespace

std::vector<RegistryBackendFactory> RegistryBackends() {
    return {
        {"Memory", [] { return std::unique_ptr<Registry>(std::make_unique<MemoryRegistry>()); }},
        {"WinePrefix",
         [] {
             std::string error;
             return std::unique_ptr<Registry>(wine::WineRegistry::open(freshPrefix(), &error));
         }},
    };
}

}  // namespace korvex
