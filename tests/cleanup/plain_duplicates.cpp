#include "tests/cleanup/plain_duplicates.h"

#include <string>
#include <vector>

#include "platform/text.h"

namespace korvex::test {
namespace {

using cleanup::CleanUpScan;
using cleanup::DuplicatePairTest;
using cleanup::StageEnd;

constexpr char kMark = '\x7f';

bool isHeader(const std::string& line) { return !line.empty() && line.back() == '{'; }

void addRow(CleanUpScan& scan, const std::string& folder, const std::string& name, std::uint64_t bytes) {
    scan.onRow(cleanup::CleanUpRow{name, folder, bytes});
    ++scan.totals.files;
    scan.totals.bytes += static_cast<double>(bytes);
}

}  // namespace

StageEnd PlainFindDuplicates(CleanUpScan& scan, std::string_view candidateFile, std::string_view workFile,
                             const DuplicatePairTest& test) {
    FileSystem& files = scan.files;
    std::string input(candidateFile), output(workFile);
    std::string listed;  // full paths, each followed by character 127
    for (;;) {
        std::string text;
        if (!files.readFile(input, text)) return StageEnd::Failed;
        const std::vector<std::string> lines = SplitLines(text);
        std::size_t i = 0;

        // The current folder: the next header whose block still holds names.
        std::string currentFolder, names;  // names: each between two characters 127
        while (i < lines.size() && names.empty()) {
            if (!isHeader(lines[i])) {
                ++i;
                continue;
            }
            currentFolder = lines[i].substr(0, lines[i].size() - 1);
            for (++i; i < lines.size() && lines[i] != "}"; ++i) names += kMark + lines[i] + kMark;
            ++i;
        }
        if (names.empty()) break;

        std::string out, otherFolder;
        for (; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            const std::size_t at = isHeader(line) || line == "}" ? std::string::npos
                                                                 : FindNoCase(names, kMark + line + kMark);
            if (at == std::string::npos) {
                if (isHeader(line)) otherFolder = line.substr(0, line.size() - 1);
                out += line + "\r\n";
            } else {
                // The current folder's own spelling of the name, as its set holds it.
                const std::string currentName = names.substr(at + 1, line.size());
                const std::string currentPath = currentFolder + currentName;
                const DuplicatePairTest::Outcome outcome =
                    test.test(currentFolder, files.info(currentPath), otherFolder, otherFolder + line);
                if (outcome.passed) {
                    if ((kMark + listed).find(kMark + currentPath + kMark) == std::string::npos) {
                        addRow(scan, currentFolder, currentName, outcome.currentSize);
                        listed += currentPath + kMark;
                    }
                    addRow(scan, otherFolder, line, outcome.otherSize);
                    listed += otherFolder + line + kMark;
                }
            }
            scan.prompt.yield();
            if (scan.stop) return StageEnd::Stopped;
        }
        if (!files.replaceFile(output, out)) return StageEnd::Failed;
        std::swap(input, output);
    }
    return StageEnd::Done;
}

}  // namespace korvex::test
