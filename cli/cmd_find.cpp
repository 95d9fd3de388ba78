#include "cli/commands.h"

namespace korvex::cli {

int cmdFind(Context& context, const std::vector<std::string>& args) {
    (void)context;
    (void)args;
    return 1;
}

}  // namespace korvex::cli
