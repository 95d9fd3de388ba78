#include "changes/registry_compare.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <unordered_set>

#include "changes/line_views.h"
#include "platform/text.h"

namespace korvex {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Which saved lines contain a key: every line that contains it contains each of its
// pieces of G letters, so the lines holding its rarest piece are the only ones to
// test. Long keys use pieces of eight letters (few lines share one), short keys
// pieces of three; the lists are built on first use.
class GramIndex {
public:
    GramIndex(int gram, int bits) : gram_(gram), bits_(bits) {}

    std::uint32_t bucket(std::string_view lower, std::size_t at) const {
        std::uint64_t v = 0;
        std::memcpy(&v, lower.data() + at, static_cast<std::size_t>(gram_));
        return static_cast<std::uint32_t>((v * 0x9E3779B97F4A7C15ull) >> (64 - bits_));
    }

    // The ascending line numbers that may hold the rarest piece of key (lower case).
    std::pair<const std::uint32_t*, const std::uint32_t*> candidates(std::string_view key) const {
        std::uint32_t best = bucket(key, 0);
        for (std::size_t i = 1; i + gram_ <= key.size(); ++i) {
            std::uint32_t b = bucket(key, i);
            if (size(b) < size(best)) best = b;
        }
        return {postings_.data() + starts_[best], postings_.data() + starts_[best + 1]};
    }

    template <class LineAt>
    void build(std::size_t lines, const LineAt& lineAt) {
        const std::size_t buckets = std::size_t(1) << bits_;
        std::vector<std::uint32_t> last(buckets, UINT32_MAX);
        starts_.assign(buckets + 1, 0);
        auto eachPiece = [&](auto&& use) {
            for (std::size_t i = 0; i < lines; ++i) {
                std::string_view line = lineAt(i);
                for (std::size_t k = 0; k + gram_ <= line.size(); ++k) {
                    std::uint32_t b = bucket(line, k);
                    if (last[b] == i) continue;  // each line once per list
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

    std::size_t gram() const { return static_cast<std::size_t>(gram_); }
    bool built() const { return !starts_.empty(); }

private:
    std::uint32_t size(std::uint32_t b) const { return starts_[b + 1] - starts_[b]; }

    int gram_;
    int bits_;
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint32_t> postings_;
};

// Searches of the saved registry lines: lower-cased once, then looked up through the
// gram indexes; holds no lines of its own.
class SavedIndex {
public:
    explicit SavedIndex(const LineTable& lines) : lines_(lines) {}

    // First index in [from, to) whose line contains key without regard to case.
    std::size_t firstContaining(std::string_view key, std::size_t from, std::size_t to) {
        if (from >= to) return npos;
        if (key.size() < shortGrams_.gram()) {
            for (std::size_t i = from; i < to; ++i)
                if (ContainsNoCase(lines_[i], key)) return i;
            return npos;
        }
        LowerInto(key_, key);
        auto [first, last] = grams(key_.size()).candidates(key_);
        for (auto it = std::lower_bound(first, last, static_cast<std::uint32_t>(from)); it != last && *it < to; ++it)
            if (lowerLine(*it).find(key_) != npos) return *it;
        return npos;
    }

    // First index whose line is exactly text; the number of lines if none.
    std::size_t firstEqual(std::string_view text) {
        if (text.size() < shortGrams_.gram()) {
            for (std::size_t i = 0; i < lines_.size(); ++i)
                if (lines_[i] == text) return i;
            return lines_.size();
        }
        LowerInto(key_, text);
        auto [first, last] = grams(key_.size()).candidates(key_);
        for (auto it = first; it != last; ++it)
            if (lines_[*it] == text) return *it;
        return lines_.size();
    }

private:
    GramIndex& grams(std::size_t keyLength) {
        lowerAll();
        GramIndex& index = keyLength >= longGrams_.gram() ? longGrams_ : shortGrams_;
        if (!index.built()) index.build(lines_.size(), [this](std::size_t i) { return lowerLine(i); });
        return index;
    }

    std::string_view lowerLine(std::size_t i) const {
        return std::string_view(lower_).substr(offsets_[i], offsets_[i + 1] - offsets_[i]);
    }

    void lowerAll() {
        if (lowered_) return;
        lowered_ = true;
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
    }

    const LineTable& lines_;
    bool lowered_ = false;
    std::string lower_;
    std::vector<std::size_t> offsets_;
    GramIndex shortGrams_{3, 18};
    GramIndex longGrams_{8, 20};
    std::string key_;
};

// Keys reported so far; tells whether a key begins with one of them.
class AddedKeys {
public:
    void add(std::string_view key) {
        std::string lower;
        LowerInto(lower, key);
        lengths_.insert(lower.size());
        set_.insert(std::move(lower));
    }
    bool covers(std::string_view key) {
        if (set_.empty()) return false;
        LowerInto(key_, key);
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

bool CompareKeyLists(const LineTable& saved, const LineTable& current,
                     std::string& out, const RunHooks& hooks) {
    const std::size_t n = saved.size();
    std::size_t pos = 0;
    SavedIndex index(saved);
    AddedKeys added;
    for (std::size_t k = 0; k < current.size(); ++k) {
        const std::string_view key = current[k];
        if (hooks.yieldAndTest()) return false;
        if (pos >= n) pos = 0;
        std::string_view start;
        if (pos < n) start = saved[pos++];
        if (ContainsNoCase(start, key)) continue;
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
    bool completed = CompareKeyLists(LineTable(savedText), LineTable(currentText), added, hooks);
    if (out) {
        out->write(added);
        out->close();
    }
    return completed;
}

}  // namespace korvex
