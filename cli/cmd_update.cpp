#include "cli/commands.h"

namespace korvex::cli {

int cmdUpdate(Context&, const std::vector<std::string>&) { return 1; }

}  // namespace korvex::cli
