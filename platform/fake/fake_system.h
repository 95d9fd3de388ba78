// A machine's system facts for tests, set field by field: drives, version, shell
// folders, temp folder, program folder; records programs started and documents opened.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/system.h"

namespace korvex {

class FakeSystem : public System {
public:
    // Defaults: fixed disk C: without a label, NT family, the usual folders of a
    // Wine prefix for user "user", program folder C:\Program Files\Korvex.
    FakeSystem();

    std::string machineInUse() override { return inUse; }
    unsigned driveType(char letter) override;
    std::string volumeLabel(char letter) override;
    int platformId() override { return platform; }
    std::string shellFolder(int csidl) override;
    std::string tempPath() override { return temp; }
    std::string longPathName(std::string_view path) override;
    std::string programFolder() override { return program; }
    std::string hostPath(std::string_view windowsPath) override;
    std::string windowsPath(std::string_view hostPath) override;
    bool startProgram(std::string_view commandLine) override;
    bool openWithShell(std::string_view documentOrAddress) override;
    void beep() override { ++beeps; }
    std::int64_t now() override { return clock; }
    std::string formatDateTime(std::int64_t unixSeconds) override;  // "YYYY-MM-DD HH:MM:SS" UTC
    char decimalSeparator() override { return decimal; }

    struct Drive { unsigned type; std::string label; };
    std::string inUse;                  // what machineInUse() says
    std::map<char, Drive> drives;       // upper-case letters
    int platform = 2;
    std::map<int, std::string> folders; // CSIDL -> path without trailing "\"
    std::string temp = "C:\\users\\user\\Temp\\";
    std::string program = "C:\\Program Files\\Korvex";
    std::string hostRoot = "/machine";  // hostPath maps X:\a\b to hostRoot/drive_x/a/b
    std::int64_t clock = 1700000000;
    char decimal = '.';
    bool startSucceeds = true;

    std::vector<std::string> started;   // command lines
    std::vector<std::string> opened;    // documents and addresses
    int beeps = 0;
};

}  // namespace korvex
