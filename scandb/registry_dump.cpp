#include "scandb/registry_dump.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace korvex::scandb {

namespace {

// Hands the lines to the output file in large pieces.
class LineBuffer {
public:
    explicit LineBuffer(OutputFile* out) : out_(out) { buffer_.reserve(kFlushSize + 1024); }
    void line(std::string_view text) {
        buffer_ += text;
        buffer_ += "\r\n";
        if (buffer_.size() >= kFlushSize) flush();
    }
    void flush() {
        if (out_ && !buffer_.empty()) out_->write(buffer_);
        buffer_.clear();
    }

private:
    static constexpr std::size_t kFlushSize = 64 * 1024;
    OutputFile* out_;
    std::string buffer_;
};

}  // namespace

int DumpRegistryTree(RegistryAccess& registry, FileSystem& files, Prompt& prompt, HKEY root,
                     std::string_view start, std::string_view outputPath, const bool& stop,
                     std::string_view excluded) {
    std::unique_ptr<OutputFile> out = files.createFile(outputPath);
    LineBuffer lines(out.get());

    // Keys still to write, the next one at the back: a key's sub keys are pushed so
    // that the first one EnumSubKeyPaths lists is taken next.
    std::vector<std::string> pending;
    pending.emplace_back(start);
    std::vector<std::string_view> answer;
    int result = 1;
    while (!pending.empty()) {
        std::string key = std::move(pending.back());
        pending.pop_back();
        if (!key.empty() && key.front() == '\\') key.erase(0, 1);
        lines.line(key);

        const std::string subKeys = registry.EnumSubKeyPaths(root, key, excluded);
        answer.clear();
        std::size_t from = 0;
        for (std::size_t at = subKeys.find(kListSeparator); at != std::string::npos;
             at = subKeys.find(kListSeparator, from)) {
            if (at > from) answer.emplace_back(subKeys.data() + from, at - from);
            from = at + 1;
        }
        for (auto it = answer.rbegin(); it != answer.rend(); ++it) pending.emplace_back(*it);

        prompt.yield();
        if (stop) {
            result = 0;
            break;
        }
    }

    lines.flush();
    const bool written = out && out->close();
    out.reset();
    if (!written) files.deleteFile(outputPath);
    return result;
}

}  // namespace korvex::scandb
