#include "tests/support/host_files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace korvex::test {

namespace fs = std::filesystem;

TempHostFolder::TempHostFolder(std::string_view stem) {
    std::string pattern = "/tmp/" + std::string(stem) + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder " + pattern);
    path_ = pattern;
}

TempHostFolder::~TempHostFolder() {
    std::error_code ec;
    const auto unlock = [&](const fs::path& folder) {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
    };
    unlock(path_);
    // The iterator does not descend through links, and links themselves are never
    // unlocked, so nothing outside the folder is touched.
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->symlink_status(ec).type() == fs::file_type::directory) unlock(it->path());
    }
    fs::remove_all(path_, ec);
}

void WriteHostFile(const fs::path& path, std::string_view contents) {
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace korvex::test
