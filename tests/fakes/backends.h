// The registry backends the contract tests run on.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace korvex {

struct RegistryBackendFactory {
    std::string name;
    std::function<std::unique_ptr<Registry>()> make;
};

std::vector<RegistryBackendFactory> RegistryBackends();

// Test names show the backend's name, not the object's bytes.
inline void PrintTo(const RegistryBackendFactory& backend, std::ostream* out) { *out << backend.name; }

}  // namespace korvex
