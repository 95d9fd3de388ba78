#include "changes/registry_compare.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "changes/line_views.h"
#include "platform/text.h"

namespace korvex {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool contains(std::string_view text, std::string_view part) { return FindNoCase(text, part) != npos; }

void lowerInto(std::string& out, std::string_view text) {
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = LowerAscii(text[i]);
}

// Which saved lines contain a key, answered from the lines that share its rarest
// three-letter piece (every line containing the key contains all its pieces), and
// where a line first occurs. Built on first use.
class SavedIndex {
public:
    explicit SavedIndex(const std::vector<std::string_view>& lines) : lines_(lines) {}

    // First index in [from, to) whose line contains key without regard to case.
    std::size_t firstContaining(std::string_view key, std::size_t from, std::size_t to) {
        if (from >= to) return npos;
        if (key.size() < 3) {
            for (std::size_t i = from; i < to; ++i)
                if (contains(lines_[i], key)) return i;
            return npos;
        }
        build();
        lowerInto(key_, key);
        std::uint32_t best = bucket(key_, 0);
        for (std::size_t i = 1; i + 3 <= key_.size(); ++i) {
            std::uint32_t b = bucket(key_, i);
            if (size(b) < size(best)) best = b;
        }
        auto first = postings_.begin() + starts_[best];
        auto last = postings_.begin() + starts_[best + 1];
        for (auto it = std::lower_bound(first, last, static_cast<std::uint32_t>(from)); it != last && *it < to; ++it)
            if (lowerLine(*it).find(key_) != npos) return *it;
        return npos;
    }

    // First index whose line is exactly text; the number of lines if none.
    std::size_t firstEqual(std::string_view text) {
        if (!equalBuilt_) {
            equalBuilt_ = true;
            first_.reserve(lines_.size());
            for (std::size_t i = 0; i < lines_.size(); ++i) first_.emplace(lines_[i], static_cast<std::uint32_t>(i));
        }
        auto it = first_.find(text);
        return it == first_.end() ? lines_.size() : it->second;
    }

private:
    static constexpr int kBits = 18;

    static std::uint32_t bucket(std::string_view lower, std::size_t at) {
        std::uint32_t v = static_cast<unsigned char>(lower[at]) | static_cast<unsigned char>(lower[at + 1]) << 8 |
                          static_cast<unsigned char>(lower[at + 2]) << 16;
        return (v * 2654435761u) >> (32 - kBits);
    }
    std::uint32_t size(std::uint32_t b) const { return starts_[b + 1] - starts_[b]; }
    std::string_view lowerLine(std::size_t i) const {
        return std::string_view(lower_).substr(offsets_[i], offsets_[i + 1] - offsets_[i]);
    }

    void build() {
        if (built_) return;
        built_ = true;
        const std::size_t n = lines_.size();
        offsets_.resize(n + 1);
        std::size_t total = 0;
        for (std::size_t i = 0; i < n; ++i) {
            offsets_[i] = total;
            total += lines_[i].size();
        }
        offsets_[n] = total;
        lower_.resize(total);
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t k = 0; k < lines_[i].size(); ++k) lower_[offsets_[i] + k] = LowerAscii(lines_[i][k]);

        const std::size_t buckets = std::size_t(1) << kBits;
        std::vector<std::uint32_t> last(buckets, UINT32_MAX);
        starts_.assign(buckets + 1, 0);
        auto eachPiece = [&](auto&& use) {
            for (std::size_t i = 0; i < n; ++i) {
                std::string_view line = lowerLine(i);
                for (std::size_t k = 0; k + 3 <= line.size(); ++k) {
                    std::uint32_t b = bucket(line, k);
                    if (last[b] == i) continue;  // each line once per bucket
                    last[b] = static_cast<std::uint32_t>(i);
                    use(b, static_cast<std::uint32_t>(i));
                }
            }
        };
        eachPiece([&](std::uint32_t b, std::uint32_t) { ++starts_[b + 1]; });
        for (std::size_t b = 0; b < buckets; ++b) starts_[b + 1] += starts_[b];
        postings_.resize(starts_[buckets]);
        std::vector<std::uint32_t> fill(starts_.begin(), starts_.end() - 1);
        std::fill(last.begin(), last.end(), UINT32_MAX);
        eachPiece([&](std::uint32_t b, std::uint32_t i) { postings_[fill[b]++] = i; });
    }

    const std::vector<std::string_view>& lines_;
    bool built_ = false;
    std::string lower_;
    std::vector<std::size_t> offsets_;
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint32_t> postings_;
    std::string key_;
    bool equalBuilt_ = false;
    std::unordered_map<std::string_view, std::uint32_t> first_;
};

// Keys reported so far; tells whether a key begins with one of them.
class AddedKeys {
public:
    void add(std::string_view key) {
        std::string lower;
        lowerInto(lower, key);
        lengths_.insert(lower.size());
        set_.insert(std::move(lower));
    }
    bool covers(std::string_view key) {
        if (set_.empty()) return false;
        lowerInto(key_, key);
        for (std::size_t length : lengths_) {
            if (length > key_.size()) break;
            if (set_.count(key_.substr(0, length))) return true;
        }
        return false;
    }

private:
    std::set<std::size_t> lengths_;
    std::unordered_set<std::string> set_;
    std::string key_;
};

}  // namespace

bool CompareKeyLists(const std::vector<std::string_view>& saved, const std::vector<std::string_view>& current,
                     std::string& out, const RunHooks& hooks) {
    const std::size_t n = saved.size();
    std::size_t pos = 0;
    SavedIndex index(saved);
    AddedKeys added;
    for (std::string_view key : current) {
        if (hooks.yieldAndTest()) return false;
        if (pos >= n) pos = 0;
        std::string_view start;
        if (pos < n) start = saved[pos++];
        if (contains(start, key)) continue;
        if (added.covers(key)) continue;
        std::size_t f = index.firstContaining(key, pos, n);
        if (f != npos) {
            pos = f + 1;
            continue;
        }
        // Round the ring: from the first line up to the first line equal to the one
        // this search began on.
        std::size_t stopAt = index.firstEqual(start);
        f = index.firstContaining(key, 0, stopAt);
        if (f != npos) {
            pos = f + 1;
            continue;
        }
        pos = std::min(stopAt + 1, n);
        out.append(key).append("\r\n");
        added.add(key);
    }
    return true;
}

bool RegFindChanges(FileSystem& files, const std::string& savedPath, const std::string& currentPath,
                    const std::string& outputPath, const RunHooks& hooks) {
    std::string savedText, currentText;
    files.readFile(savedPath, savedText);
    files.readFile(currentPath, currentText);
    auto out = files.createFile(outputPath);
    std::string added;
    bool completed = CompareKeyLists(LineViews(savedText), LineViews(currentText), added, hooks);
    if (out) {
        out->write(added);
        out->close();
    }
    return completed;
}

}  // namespace korvex
