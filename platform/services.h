// The machine Korvex works on, as the logic sees it. Owned by the program (a Wine
// prefix) or by a test (the fakes); the logic only borrows it.
#pragma once

#include "platform/filesystem.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace korvex {

struct Services {
    Registry& registry;
    FileSystem& files;
    System& system;
    Shell& shell;
};

}  // namespace korvex
