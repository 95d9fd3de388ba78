// An output file that keeps what it was given, for the walks of the scan database and
// of find changes.
#pragma once

#include <string>
#include <string_view>

#include "platform/filesystem.h"

namespace korvex::test {

class StringOutput : public OutputFile {
public:
    void write(std::string_view data) override { text += data; }
    bool close() override { return true; }
    std::string text;
};

}  // namespace korvex::test
