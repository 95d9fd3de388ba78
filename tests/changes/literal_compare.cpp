#include "literal_compare.h"

#include <string_view>
#include <vector>

#include "changes/line_views.h"
#include "platform/text.h"

namespace korvex::literal {

namespace {

// A text file open for reading: end-of-file test, reopen at the start, read one line.
// Reading at the end gives an empty line.
class TextFile {
public:
    explicit TextFile(const std::string& text) : lines_(LineViews(text)) {}
    bool eof() const { return next_ >= lines_.size(); }
    void reopen() { next_ = 0; }
    std::string read() { return eof() ? std::string() : std::string(lines_[next_++]); }
    // Reads up to and including the next "}" line.
    void skipSection() { while (!eof() && read() != "}") continue; }

private:
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
};

bool contains(const std::string& text, const std::string& part) {
    return FindNoCase(text, part) != std::string::npos;
}

const std::string kSep(1, '\x7f');

}  // namespace

std::string MergeFolderLists(const std::string& currentText, const std::string& databaseText, int* sections) {
    TextFile current(currentText), database(databaseText);
    std::string changes;
    std::string addedFolders;  // headers, each followed by 127, newest first
    int steps = 0;
    auto write = [&](const std::string& line) { changes += line + "\r\n"; };

    for (;;) {
        // 1, 2, 3
        if (current.eof()) break;
        if (database.eof()) database.reopen();
        std::string d = database.read();

        // 4
        std::string c;
        bool finish = false;
        for (;;) {
            c = current.read();
            if (current.eof()) {
                finish = true;
                break;
            }
            bool under = false;
            for (const std::string& entry : SplitList(addedFolders)) {
                std::string p = entry.empty() ? std::string() : entry.substr(0, entry.size() - 1);
                if (contains(c, p)) {
                    under = true;
                    break;
                }
            }
            if (!under) break;
            current.skipSection();
            ++steps;
        }
        if (finish) break;

        // 5, 6
        bool found = contains(d, c);
        if (!found) {
            std::string start = d;
            while (!database.eof()) {
                if (contains(database.read(), c)) {
                    found = true;
                    break;
                }
            }
            if (!found) {
                database.reopen();
                while (!database.eof()) {
                    std::string line = database.read();
                    if (contains(line, c)) {
                        found = true;
                        break;
                    }
                    if (line == start) break;
                }
            }
        }

        // 7
        if (!found) {
            addedFolders = c + kSep + addedFolders;
            write("!" + c);
            write("}");
            current.skipSection();
            database.skipSection();
            ++steps;
            continue;
        }

        // 8
        ++steps;
        std::string names;
        while (!database.eof()) {
            std::string line = database.read();
            names += kSep + line + kSep;
            if (line == "}") break;
        }
        bool headerWritten = false;
        while (!current.eof()) {
            std::string line = current.read();
            if (!contains(names, kSep + line + kSep)) {
                if (!headerWritten) write(c);
                headerWritten = true;
                write(line);
            }
            if (line == "}") break;
        }
        if (headerWritten) write("}");
    }
    if (sections) *sections = steps;
    return changes;
}

std::string CompareKeyLists(const std::string& savedText, const std::string& currentText) {
    TextFile saved(savedText), current(currentText);
    std::string out;
    std::string addedKeys;  // each followed by 127, in the order reported
    while (!current.eof()) {
        // 2.1, 2.2, 2.3
        if (saved.eof()) saved.reopen();
        bool skip = false;
        std::string s = saved.read();
        std::string c = current.read();
        std::string start = s;
        if (contains(s, c)) continue;
        // 2.4
        for (const std::string& entry : SplitList(addedKeys))
            if (StartsWithNoCase(c, entry)) {
                skip = true;
                break;
            }
        // 2.5, 2.6
        bool found = false;
        while (!saved.eof() && !found) {
            if (skip) break;
            s = saved.read();
            found = contains(s, c);
        }
        if (found || !saved.eof() || skip) continue;
        // 2.7, 2.8
        saved.reopen();
        s = saved.read();
        found = contains(s, c);
        while (s != start && !found) {
            if (saved.eof()) break;
            s = saved.read();
            found = contains(s, c);
        }
        if (s != start) continue;
        // 2.9
        out += c + "\r\n";
        addedKeys += c + kSep;
    }
    return out;
}

}  // namespace korvex::literal
