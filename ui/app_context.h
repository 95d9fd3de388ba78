// What every window of the program shares: the machine and the data folder that
// start-up settled.
#pragma once

#include <string>

#include "platform/services.h"

namespace korvex {

struct AppContext {
    Services& services;
    std::string dataFolder;  // ends in "\"
};

}  // namespace korvex
