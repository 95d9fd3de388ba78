#include "tests/fakes/backends.h"

#include <atomic>
#include <filesystem>
#include <unistd.h>
#include <string>

#include "platform/fake/memory_registry.h"
#include "platform/wine/wine_registry.h"

namespace korvex {
namespace {

// A new empty prefix folder per registry; left for the system's temp cleaner.
std::string freshPrefix() {
    static std::atomic<int> counter{0};
    auto dir = std::filesystem::temp_directory_path() /
               ("korvex-contract-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
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
