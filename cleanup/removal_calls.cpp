#include "cleanup/removal_calls.h"

namespace korvex::cleanup {

CleanUpRemoval RemovalLayerCalls(Services&, RegistryAccess&, Prompt&, std::string) {
    return {};  // until removal/ provides RemoveFiles and MoveFiles
}

}  // namespace korvex::cleanup
