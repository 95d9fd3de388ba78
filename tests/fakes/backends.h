// The registry backends the contract tests run on.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace korvex {

struct RegistryBackendFactory {
    std::string name;
    std::function<std::unique_ptr<Registry>()> make;
};

std::vector<RegistryBackendFactory> RegistryBackends();

}  // namespace korvex
