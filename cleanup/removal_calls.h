// The removal layer's RemoveFiles and MoveFiles as the two calls the clean-up's Delete
// and Move hand the files to. Not a removal layer of its own: every file goes through
// removal/, under the user's delete mode.
#pragma once

#include <string>

#include "cleanup/clean_results.h"
#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex::cleanup {

// The calls borrow services, registry and prompt for as long as they are used; each
// shows the items the removal layer refused, once per call.
CleanUpRemoval RemovalLayerCalls(Services& services, RegistryAccess& registry, Prompt& prompt,
                                 std::string dataFolder);

}  // namespace korvex::cleanup
