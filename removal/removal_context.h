// What every removal routine works with: the machine, Korvex's registry operations,
// the user, and the data folder (which receives moved files, zip archives and the
// registry backups). Borrowed from the caller for one operation.
#pragma once

#include <string>

#include "platform/prompt.h"
#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex {

struct RemovalContext {
    Services& services;
    RegistryAccess& registry;
    Prompt& prompt;
    std::string dataFolder;  // ends in "\"
};

// Items left where they were, and why, in the order they were met: what the shell
// refused and what Korvex itself would not touch (registry keys every machine needs,
// paths no Windows machine can hold).
using Refusals = std::vector<Refusal>;

// The one message that lists an operation's refusals; nothing when there are none.
void ShowRefusals(Prompt& prompt, const Refusals& refusals);

// A file name "<stem> YYYY-MM-DD HHMMSS<extension>" in folder for the given time
// (UTC), with " (2)", " (3)"... added when the name is taken.
std::string DatedFileName(FileSystem& files, std::string_view folder, std::string_view stem, std::int64_t unixSeconds,
                          std::string_view extension);

}  // namespace korvex
