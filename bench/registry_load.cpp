// Loading a large Wine registry: writes a system.reg of 500,000 key sections in
// Wine's format (Software\VendorNNN\ProductNNN\KeyNNNNN, two values each, plus a few
// Wow6432Node-style links), then times WineRegistry::open on it and a walk that
// opens every key by its full path, enumerates its sub keys and closes it again, as
// Korvex's registry snapshot does.
//
//   bench_registry_load [FOLDER] [KEYS]
//   FOLDER receives the prefix and is kept (default: a temporary folder, removed).
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/wine/atomic_file.h"
#include "platform/wine/wine_registry.h"

using namespace korvex;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this process: the machine may be busy with other work.
double cpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

std::string linkSection(const std::string& path, const std::string& target) {
    std::string s = "\n[" + path + "] 1796506637\n#time=1dd8500cd27680c\n#link\n\"SymbolicLinkValue\"=hex(6):";
    char b[8];
    for (std::size_t i = 0; i < target.size(); ++i) {
        std::snprintf(b, sizeof b, "%s%02x,00", i ? "," : "", static_cast<unsigned char>(target[i]));
        s += b;
    }
    return s + "\n";
}

std::string makeFile(std::size_t keys) {
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    text.reserve(keys * 130);
    const std::size_t perProduct = 50, perVendor = 100;
    char line[256];
    for (std::size_t i = 0; i < keys; ++i) {
        std::size_t vendor = i / (perProduct * perVendor), product = (i / perProduct) % perVendor, key = i % perProduct;
        std::snprintf(line, sizeof line,
                      "\n[Software\\\\Vendor%03zu\\\\Product%03zu\\\\Key%05zu] 1796506643\n#time=1dd8500d04040ae\n"
                      "\"Path\"=\"C:\\\\Program Files\\\\Vendor%03zu\\\\file%zu.dll\"\n\"Count\"=dword:%08zx\n",
                      vendor, product, key, vendor, i, i);
        text += line;
    }
    // Links sort after the vendors, so the file stays in Wine's order.
    text += linkSection("Software\\\\Wow6432Node\\\\Classes", "\\Registry\\Machine\\Software\\Vendor000");
    text += linkSection("Software\\\\Wow6432Node\\\\Loop", "\\Registry\\Machine\\Software\\Wow6432Node");
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const bool keep = argc > 1;
    std::string folder = keep ? argv[1] : (std::filesystem::temp_directory_path() / "korvex-bench-registry").string();
    const std::size_t keys = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 500000;
    std::filesystem::create_directories(folder);

    auto start = Clock::now();
    std::string text = makeFile(keys);
    std::string error;
    if (!wine::ReplaceFileAtomically(folder + "/system.reg", text, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("file:  %s/system.reg, %zu key sections, %.1f MB (written in %.0f ms)\n", folder.c_str(), keys,
                text.size() / 1e6, msSince(start));
    text.clear();
    text.shrink_to_fit();

    start = Clock::now();
    double cpu = cpuMs();
    auto reg = wine::WineRegistry::open(folder, &error);
    if (!reg) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const double loadMs = msSince(start), loadCpu = cpuMs() - cpu;

    start = Clock::now();
    cpu = cpuMs();
    std::size_t walked = 0;
    std::vector<std::string> stack{""};
    std::string name;
    while (!stack.empty()) {
        std::string path = std::move(stack.back());
        stack.pop_back();
        HKEY key = 0;
        if (reg->openKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &key) != ERROR_SUCCESS) continue;
        ++walked;
        for (std::uint32_t i = 0; reg->enumKey(key, i, &name) == ERROR_SUCCESS; ++i)
            stack.push_back(path.empty() ? name : path + "\\" + name);
        reg->closeKey(key);
    }
    const double walkMs = msSince(start), walkCpu = cpuMs() - cpu;

    std::printf("load:  %.0f ms (processor %.0f ms)\n", loadMs, loadCpu);
    std::printf("walk:  %.0f ms (processor %.0f ms; %zu keys opened, enumerated and closed)\n", walkMs, walkCpu,
                walked);
    std::printf("total: %.0f ms (processor %.0f ms)\n", loadMs + walkMs, loadCpu + walkCpu);
    reg.reset();
    if (!keep) std::filesystem::remove_all(folder);
    return 0;
}
