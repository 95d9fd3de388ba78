#include "cleanup/duplicates.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/folders.h"
#include "platform/text.h"
#include "settings/drive_list.h"

namespace korvex::cleanup {
namespace {

// Hash and equality of file names without regard to case, over views into the
// candidate file: grouping allocates nothing per line.
struct NoCaseHash {
    std::size_t operator()(std::string_view text) const {
        std::uint64_t h = 1469598103934665603ull;
        for (char c : text) h = (h ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
        return static_cast<std::size_t>(h);
    }
};
struct NoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

// The lines of a candidate file, ending at CR LF, CR or LF.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = text_.find_first_of("\r\n", pos_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool isHeader(std::string_view line) { return !line.empty() && line.back() == '{'; }

// One name's candidates: where it first occurs (the current folder of all its pairs).
struct NameGroup {
    std::uint32_t firstFolder;
    std::string_view firstName;
    FileInfo current;  // looked at once, at the group's first pair
    bool looked = false;
    bool listed = false;  // the current folder's file has its row
};

// A later occurrence of a name: one pair, tested when its group's folder is current.
struct Pair {
    std::uint32_t group;
    std::uint32_t folder;
    std::string_view name;
};

void addRow(CleanUpScan& scan, std::string_view folder, std::string_view name, std::uint64_t bytes) {
    CleanUpRow row;
    row.name.assign(name);
    row.folder.assign(folder);
    row.bytes = bytes;
    ++scan.totals.files;
    scan.totals.bytes += static_cast<double>(bytes);
    scan.onRow(row);
}

}  // namespace

NameFilter SplitNameFilter(std::string_view filter) {
    NameFilter out;
    const std::size_t dot = filter.find('.');
    const std::string_view name = filter.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : filter.substr(dot + 1);
    if (!name.empty()) out.name.assign(name);
    if (!extension.empty()) out.extension.assign(extension);
    return out;
}

bool MatchesNameFilter(const NameFilter& filter, std::string_view fileName) {
    const std::size_t dot = fileName.find('.');
    const bool anyName = filter.name == "*";
    // A filter with an extension part (".dll") wants files with an extension.
    if (dot == std::string_view::npos)
        return filter.extension == "*" && (anyName || ContainsNoCase(fileName, filter.name));
    return (anyName || ContainsNoCase(fileName.substr(0, dot), filter.name)) &&
           (filter.extension == "*" || ContainsNoCase(fileName.substr(dot + 1), filter.extension));
}

bool IsCandidateName(std::string_view fileName) {
    return !fileName.empty() && fileName != "}" && fileName.back() != '{' &&
           fileName.find_first_of("\r\n\x7f") == std::string_view::npos;
}

StageEnd ListDuplicateCandidates(CleanUpScan& scan, std::string_view root, const NameFilter& filter,
                                 std::string_view candidateFile) {
    FileSystem& files = scan.files;
    std::unique_ptr<OutputFile> out = files.createFile(candidateFile);
    if (!out) return StageEnd::Failed;
    const std::string_view workFolder = candidateFile.substr(0, candidateFile.rfind('\\') + 1);

    // The queue's front is the back of this stack: subfolders are put in front of it
    // as they are met, so the last one listed is entered first.
    std::vector<std::string> queue{std::string(root)};
    if (queue.back().empty() || queue.back().back() != '\\') queue.back() += '\\';
    std::vector<std::string> subfolders;
    std::string lines;
    bool stopped = false;
    while (!queue.empty() && !stopped) {
        const std::string folder = std::move(queue.back());
        queue.pop_back();
        if (files.isLinkedFolder(folder)) continue;
        lines.assign(folder).append("{\r\n");
        scan.prompt.status("Scanning: " + folder);
        const bool inWorkFolder = EqualsNoCase(folder, workFolder);
        subfolders.clear();
        files.listFolder(folder, [&](std::string_view name, bool isFolder) {
            if (stopped) return;
            if (isFolder) {
                subfolders.push_back(folder + std::string(name) + '\\');
            } else if (MatchesNameFilter(filter, name) && IsCandidateName(name) &&
                       !(inWorkFolder && (EqualsNoCase(name, kCandidateFile) || EqualsNoCase(name, kMatchWorkFile)))) {
                lines.append(name).append("\r\n");
            }
            scan.prompt.yield();
            if (scan.stop) stopped = true;
        });
        lines.append("}\r\n");
        out->write(lines);
        for (std::string& sub : subfolders) queue.push_back(std::move(sub));
    }
    const bool written = out->close();
    if (stopped || !written) {
        files.deleteFile(candidateFile);
        return stopped ? StageEnd::Stopped : StageEnd::Failed;
    }
    return StageEnd::Done;
}

DuplicatePairTest::DuplicatePairTest(FileSystem& files, const DuplicateOptions& options,
                                     std::string_view windowsFolder)
    : files_(files), options_(options) {
    if (options.skipSysbckup && !windowsFolder.empty()) sysbckup_ = std::string(windowsFolder) + "Sysbckup";
}

bool DuplicatePairTest::holdsText(std::string_view path) const {
    const std::string_view text = options_.containing;
    // The file is read line by line: a text with a line break in it is on no line.
    if (text.find_first_of("\r\n") != std::string_view::npos) return false;
    std::string contents;
    if (!files_.readFile(path, contents)) return false;
    return FindNoCase(contents, text) != std::string::npos;
}

DuplicatePairTest::Outcome DuplicatePairTest::test(std::string_view currentFolder, const FileInfo& current,
                                                   std::string_view otherFolder, std::string_view otherPath) const {
    Outcome outcome;
    // A file that has gone, or is a folder now, is no duplicate of anything.
    const FileInfo other = files_.info(otherPath);
    if (!current.exists || current.isFolder || !other.exists || other.isFolder) return outcome;
    outcome.currentSize = current.size;
    outcome.otherSize = other.size;
    if (options_.sameDateTime && current.modified != other.modified) return outcome;
    if (options_.sameSize && current.size != other.size) return outcome;
    if (options_.skipZeroLength && other.size == 0) return outcome;
    if (!sysbckup_.empty() && (ContainsNoCase(otherFolder, sysbckup_) || ContainsNoCase(currentFolder, sysbckup_)))
        return outcome;
    if (!options_.containing.empty() && !holdsText(otherPath)) return outcome;
    outcome.passed = true;
    return outcome;
}

StageEnd FindDuplicates(CleanUpScan& scan, std::string_view candidateFile, const DuplicatePairTest& test) {
    std::string text;
    if (!scan.files.readFile(candidateFile, text)) return StageEnd::Failed;

    // One read of the list: the folders, each name's first folder, and every later
    // occurrence as a pair of that folder, in the order of the list.
    std::vector<std::string_view> folders;
    std::vector<NameGroup> groups;
    std::unordered_map<std::string_view, std::uint32_t, NoCaseHash, NoCaseEqual> byName;
    std::vector<Pair> pairs;
    std::vector<std::uint32_t> pairsOfFolder;
    LineReader reader(text);
    std::string_view line;
    bool inFolder = false;
    while (reader.next(line)) {
        if (isHeader(line)) {
            folders.push_back(line.substr(0, line.size() - 1));
            pairsOfFolder.push_back(0);
            inFolder = true;
        } else if (line == "}") {
            inFolder = false;
        } else if (inFolder && !line.empty()) {
            const auto folder = static_cast<std::uint32_t>(folders.size() - 1);
            const auto [at, added] = byName.try_emplace(line, static_cast<std::uint32_t>(groups.size()));
            if (added) {
                groups.push_back({folder, line, {}});
            } else if (groups[at->second].firstFolder != folder) {
                pairs.push_back({at->second, folder, line});
                ++pairsOfFolder[groups[at->second].firstFolder];
            }
        }
        scan.prompt.yield();
        if (scan.stop) return StageEnd::Stopped;
    }

    // Pairs in the order the folders take their turn as the current one, each folder's
    // pairs in list order (a stable counting sort by the current folder).
    std::vector<std::uint32_t> start(pairsOfFolder.size() + 1, 0);
    for (std::size_t f = 0; f < pairsOfFolder.size(); ++f) start[f + 1] = start[f] + pairsOfFolder[f];
    std::vector<std::uint32_t> order(pairs.size());
    for (std::uint32_t i = 0; i < pairs.size(); ++i) order[start[groups[pairs[i].group].firstFolder]++] = i;

    std::string otherPath, currentPath;
    for (const std::uint32_t i : order) {
        const Pair& pair = pairs[i];
        NameGroup& group = groups[pair.group];
        const std::string_view currentFolder = folders[group.firstFolder];
        if (!group.looked) {
            currentPath.assign(currentFolder).append(group.firstName);
            group.current = scan.files.info(currentPath);
            group.looked = true;
        }
        otherPath.assign(folders[pair.folder]).append(pair.name);
        const DuplicatePairTest::Outcome outcome = test.test(currentFolder, group.current, folders[pair.folder], otherPath);
        if (outcome.passed) {
            if (!group.listed) addRow(scan, currentFolder, group.firstName, outcome.currentSize);
            group.listed = true;
            addRow(scan, folders[pair.folder], pair.name, outcome.otherSize);
        }
        scan.prompt.yield();
        if (scan.stop) return StageEnd::Stopped;
    }
    return StageEnd::Done;
}

void ScanDuplicates(Services& services, CleanUpScan& scan, const DuplicateOptions& options, std::string_view drives) {
    const std::string workRoot = WindowsDriveRoot(services.system);
    if (workRoot.empty()) return;
    const std::string candidates = workRoot + std::string(kCandidateFile);
    const std::string work = workRoot + std::string(kMatchWorkFile);
    const NameFilter filter = SplitNameFilter(options.named);
    const DuplicatePairTest test(scan.files, options, WindowsFolder(services.system));

    for (const char letter : DriveLetters(drives)) {
        if (scan.stop) break;
        const std::string root = std::string(1, letter) + ":\\";
        if (ListDuplicateCandidates(scan, root, filter, candidates) == StageEnd::Done) {
            scan.prompt.status("Finding duplicate files. Please wait...");
            FindDuplicates(scan, candidates, test);
        }
        // The matching above needs no second work file; one that an interrupted run
        // left behind goes with the candidate file.
        scan.files.deleteFile(work);
        scan.files.deleteFile(candidates);
    }
}

}  // namespace korvex::cleanup
