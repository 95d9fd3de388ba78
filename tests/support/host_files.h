// Host folders and files for tests that work on the real disk: a temporary folder per
// test and whole-file reads and writes by host path.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvex::test {

// A fresh folder under /tmp that belongs to one test and is removed with everything in
// it when the object goes. Removal restores write and search permission on folders a
// test locked, and never follows a link out of the folder.
class TempHostFolder {
public:
    explicit TempHostFolder(std::string_view stem = "korvex-test");
    ~TempHostFolder();
    TempHostFolder(const TempHostFolder&) = delete;
    TempHostFolder& operator=(const TempHostFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }
    operator std::filesystem::path() const { return path_; }

private:
    std::string path_;
};

// Writes (replaces) a host file with exactly these bytes, making its folders first.
void WriteHostFile(const std::filesystem::path& path, std::string_view contents);

// A host file's bytes; empty when it cannot be read.
std::string ReadHostFile(const std::filesystem::path& path);

}  // namespace korvex::test
