// An empty machine in memory for logic tests: the fake registry, files, system, shell
// and prompt, wired into Services and RegistryAccess as the programs wire the real
// ones. Tests put on it only what they check.
#pragma once

#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/memory_registry.h"
#include "platform/fake/scripted_prompt.h"
#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex::test {

struct MemoryMachine {
    MemoryFiles files;
    MemoryRegistry registry;
    FakeSystem system;
    ScriptedPrompt prompt;
    FakeShell shell{files};
    Services services{registry, files, system, shell};
    RegistryAccess access{registry, prompt};
};

}  // namespace korvex::test
