#include "cleanup/junk_scan.h"

#include <ctime>
#include <string_view>

#include "platform/folders.h"
#include "platform/text.h"
#include "settings/drive_list.h"
#include "settings/settings_keys.h"

namespace korvex::cleanup {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// A file's key in its own letter case (what the final ".mml" test looks at) and in
// lower case (what the pattern is matched with).
struct Key {
    std::string_view key;
    std::string_view lower;
};

// lower is name in lower case. The steps run in this order, each on the key the
// earlier ones left.
template <class ChangedToday>
Key Classify(std::string_view name, std::string_view lower, ChangedToday&& changedToday) {
    const std::size_t dot = lower.find('.');
    const std::size_t from = dot == npos ? 0 : dot;
    Key k{name.substr(from), lower.substr(from)};
    auto becomes = [&k](std::string_view key) {
        k.key = key;
        k.lower = key;
    };
    auto nameHas = [lower](std::string_view part) { return lower.find(part) != npos; };
    auto keyHas = [&k](std::string_view part) { return k.lower.find(part) != npos; };

    if (lower.substr(0, dot).find("chklist") != npos) becomes("chklist.???");
    if (keyHas(".dir") && nameHas("mscreate.dir")) becomes("mscreate.dir");
    if (keyHas("$")) becomes(".??$");
    if (k.lower.find('~') == 1) becomes(".~??");
    // Files that programs keep or need, and today's temporary files (a running
    // program may still use them).
    if ((keyHas(".log") && (nameHas("install.log") || nameHas("setup.log") || nameHas("unst") || nameHas("rp.log") ||
                            nameHas("fifo.log"))) ||
        (keyHas(".bak") && (nameHas("data.bak") || nameHas("opa11.bak"))) || keyHas(".dat") ||
        nameHas("desktop.ini") || (keyHas(".tmp") && changedToday()))
        becomes(kExcludedKey);
    return k;
}

}  // namespace

std::string JunkPatternText(const CleanUpChoices& choices) {
    std::string pattern;
    for (std::size_t i = 0; i < kJunkTypeCount; ++i)
        if (choices.junk[i]) pattern += kJunkTypes[i].token;
    for (const std::string& entry : choices.alsoScanFiles)
        if (!entry.empty()) ((pattern += '|') += std::string_view(entry).substr(1)) += '|';
    return pattern;
}

JunkPattern::JunkPattern(std::string_view text) : text_(text), lowerText_(ToLower(text)), all_(text == kMatchEverything) {
    // "|key|" occurs in the text exactly when key, holding no "|", is one of the
    // pieces between two bars.
    std::size_t bar = lowerText_.find('|');
    while (bar != npos) {
        const std::size_t next = lowerText_.find('|', bar + 1);
        if (next == npos) break;
        if (next > bar + 1) keys_.push_back(lowerText_.substr(bar + 1, next - bar - 1));
        bar = next;
    }
}

bool JunkPattern::matches(std::string_view lowerKey) const {
    if (all_) return true;
    if (lowerKey.find('|') != npos) {
        std::string token;
        ((token += '|') += lowerKey) += '|';
        return lowerText_.find(token) != npos;
    }
    for (const std::string& key : keys_)
        if (key == lowerKey) return true;
    return false;
}

std::string JunkSkipList(System& system, RegistryAccess& registry) {
    std::string skip;
    const std::string windows = WindowsFolder(system);
    if (!windows.empty()) (skip += windows + "History\\") += kListSeparator;
    for (char drive = 'D'; drive <= 'H'; ++drive) ((skip += drive) += ":\\Recycled\\") += kListSeparator;
    const HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kScanningKey);
    if (key != 0) {
        skip += registry.QueryValue(key, "FoldersToIgnore");
        registry.CloseKey(key);
    }
    return skip;
}

std::string ExtensionKey(std::string_view name, const std::function<bool()>& changedToday) {
    const std::string lower = ToLower(name);
    return std::string(Classify(name, lower, changedToday).key);
}

std::int64_t LocalDay(std::int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (const std::tm* got = std::localtime(&t)) local = *got;
    // Days from the civil date (proleptic Gregorian), so no second call into the C library.
    const std::int64_t y = local.tm_year + 1900 - (local.tm_mon < 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t m = local.tm_mon + 1;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + local.tm_mday - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void WalkCleanUpFolder(CleanUpScan& scan, std::string_view startFolder, const JunkPattern& pattern,
                       std::string_view skipList) {
    std::vector<std::string> skip;
    for (std::string& entry : SplitList(skipList))
        if (!entry.empty()) skip.push_back(std::move(entry));

    std::string start(startFolder);
    if (start.empty() || start.back() != '\\') start += '\\';
    // The folders still to visit; the back is the front of the queue, so a folder's
    // last listed sub folder is entered first.
    std::vector<std::string> queue{std::move(start)};
    std::string folder, lower, path;
    bool stopped = false;

    const FileSystem::EntryCallback onEntry = [&](std::string_view name, bool isFolder) {
        if (stopped) return;  // the listing cannot be cut short; the rest is passed over
        if (isFolder) {
            if (!ContainsNoCase(name, "recycled")) {
                std::string sub;
                sub.reserve(folder.size() + name.size() + 1);
                ((sub += folder) += name) += '\\';
                queue.push_back(std::move(sub));
            }
        } else {
            LowerInto(lower, name);
            FileInfo info;
            bool measured = false;
            auto measure = [&] {
                if (!measured) {
                    path.assign(folder).append(name);
                    info = scan.files.info(path);
                    measured = true;
                }
            };
            const Key k = Classify(name, lower, [&] {
                measure();
                return info.exists && LocalDay(info.modified) == scan.today;
            });
            if (k.key != kExcludedKey && pattern.matches(k.lower)) {
                measure();
                if (info.exists && !info.isFolder && !scan.files.isFileInUse(path)) {
                    ++scan.totals.files;
                    scan.totals.bytes += static_cast<double>(info.size);
                    if (scan.onRow) scan.onRow(CleanUpRow{std::string(name), folder, info.size});
                }
            }
        }
        scan.prompt.yield();
        if (scan.stop) stopped = true;
    };

    while (!queue.empty() && !stopped) {
        folder = std::move(queue.back());
        queue.pop_back();
        bool skipped = false;
        for (const std::string& entry : skip)
            if (EqualsNoCase(entry, folder)) skipped = true;
        if (skipped || scan.files.isLinkedFolder(folder)) continue;
        scan.prompt.status("Scanning: " + folder);
        scan.files.listFolder(folder, onEntry);  // a folder that cannot be listed gives nothing
    }
}

void ScanForJunkFiles(Services& services, RegistryAccess& registry, CleanUpScan& scan, const CleanUpChoices& choices,
                      std::string_view drives) {
    const JunkPattern pattern(JunkPatternText(choices));
    const std::string skip = JunkSkipList(services.system, registry);
    for (char letter : DriveLetters(drives)) {
        const std::string root{letter, ':', '\\'};
        WalkCleanUpFolder(scan, root, pattern, skip);
    }
}

}  // namespace korvex::cleanup
