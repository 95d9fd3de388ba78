#include "literal_compare.h"

#include <string_view>
#include <vector>

#include "changes/line_views.h"
#include "platform/text.h"

namespace korvex::literal {

namespace {

// A text file open for reading: end-of-file test, reopen at the start, read one line.
// Reading at the end gives an empty line.
struct TextFile {
    explicit TextFile(const std::string& text) : lines(LineViews(text)) {}
    bool eof() const { return next >= lines.size(); }
    void reopen() { next = 0; }
    std::string read() { return eof() ? std::string() : std::string(lines[next++]); }
    // Reads up to and including the next "}" line.
    void skipSection() { while (!eof() && read() != "}") continue; }

    std::vector<std::string_view> lines;
    std::size_t next = 0;
};

bool contains(const std::string& text, const std::string& part) {
    return FindNoCase(text, part) != std::string::npos;
}

const std::string kSep(1, '\x7f');

}  // namespace

std::string MergeFolderLists(const std::string& currentText, const std::string& databaseText) {
    TextFile current(currentText), database(databaseText);
    std::string changes;
    std::string addedFolders;  // headers, each followed by 127, newest first
    auto write = [&](const std::string& line) { changes += line + "\r\n"; };
    auto underAddedFolder = [&](const std::string& header) {
        for (const std::string& entry : SplitList(addedFolders))
            if (contains(header, entry.substr(0, entry.size() - 1))) return true;
        return false;
    };

    for (;;) {
        // The next database line, going round to the start at the end.
        if (current.eof()) break;
        if (database.eof()) database.reopen();
        std::string d = database.read();

        // The next current header, skipping the sections under a folder reported new.
        std::string c;
        for (;;) {
            c = current.read();
            if (current.eof() || !underAddedFolder(c)) break;
            current.skipSection();
        }
        if (current.eof()) break;

        // The header in the database: this line, on to the end, then from the start
        // round to this line.
        bool found = contains(d, c);
        if (!found) {
            const std::string start = d;
            while (!found && !database.eof()) found = contains(database.read(), c);
            if (!found) database.reopen();
            while (!found && !database.eof()) {
                const std::string line = database.read();
                found = contains(line, c);
                if (line == start) break;
            }
        }

        // Not there: a new folder, reported once with nothing under it.
        if (!found) {
            addedFolders = c + kSep + addedFolders;
            write("!" + c);
            write("}");
            current.skipSection();
            database.skipSection();
            continue;
        }

        // There: the names of the current section missing from the database's section.
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
    return changes;
}

std::string CompareKeyLists(const std::string& savedText, const std::string& currentText) {
    TextFile saved(savedText), current(currentText);
    std::string out;
    std::string addedKeys;  // each followed by 127, in the order reported
    while (!current.eof()) {
        // The next saved line (round to the start at the end) against the next current key.
        if (saved.eof()) saved.reopen();
        std::string s = saved.read();
        const std::string c = current.read();
        const std::string start = s;
        if (contains(s, c)) continue;
        // A key below one already reported is skipped.
        bool below = false;
        for (const std::string& entry : SplitList(addedKeys)) below = below || StartsWithNoCase(c, entry);
        if (below) continue;
        // Searched on to the end of the saved dump, then from its start round to this line.
        bool found = false;
        while (!saved.eof() && !found) found = contains(s = saved.read(), c);
        if (found) continue;
        saved.reopen();
        s = saved.read();
        found = contains(s, c);
        while (s != start && !found && !saved.eof()) found = contains(s = saved.read(), c);
        if (s != start) continue;
        // Not found anywhere: added.
        out += c + "\r\n";
        addedKeys += c + kSep;
    }
    return out;
}

}  // namespace korvex::literal
