#include "scandb/walk_folder.h"

#include <cstdint>
#include <string>
#include <vector>

#include "scandb/folder_list.h"

namespace korvex::scandb {

namespace {

// The sub-folder names still to visit, for every level of the walk at once: names
// are appended to one text and cut off again when their level is done, so the walk
// allocates nothing per entry once the buffers have grown.
struct PendingFolders {
    std::string names;                 // the names, back to back
    std::vector<std::uint32_t> ends;   // end of each name in names
};

// One folder whose sub folders are being visited.
struct Level {
    std::size_t pathLength;  // length of the folder's path (ending in "\")
    std::size_t first;       // index in PendingFolders::ends of its first sub folder
    std::size_t next;        // ... of the next sub folder to visit
    std::size_t end;         // one past its last sub folder
    std::size_t namesBegin;  // where its names start in PendingFolders::names
};

struct ListingState {
    FolderListWriter* writer;
    PendingFolders* pending;
};

}  // namespace

void WalkFolder(FileSystem& files, Prompt& prompt, std::string_view folder, OutputFile& out,
                const bool& stop) {
    FolderListWriter writer(out);
    PendingFolders pending;
    std::vector<Level> levels;
    std::string path(folder);
    path.reserve(1024);

    ListingState state{&writer, &pending};
    // Built once: one small capture, so calling it costs no allocation per folder.
    const FileSystem::EntryCallback onEntry = [s = &state](std::string_view name, bool isFolder) {
        if (!IsListableName(name)) return;
        if (isFolder) {
            if (name.front() == '.') return;
            s->pending->names += name;
            s->pending->ends.push_back(static_cast<std::uint32_t>(s->pending->names.size()));
        } else {
            s->writer->file(name);
        }
    };

    for (;;) {
        // Visit the folder named by path.
        prompt.yield();
        if (stop) break;
        prompt.status(path);
        writer.beginFolder(path);
        const std::size_t namesBegin = pending.names.size();
        const std::size_t first = pending.ends.size();
        files.listFolder(path, onEntry);  // an unlisted folder keeps an empty block
        writer.endFolder();
        levels.push_back(Level{path.size(), first, first, pending.ends.size(), namesBegin});

        // Find the next folder to visit: the next sub folder of the deepest level that
        // has one left; finished levels give back their names.
        bool found = false;
        while (!levels.empty()) {
            Level& level = levels.back();
            if (level.next < level.end) {
                const std::size_t from = level.next == level.first ? level.namesBegin : pending.ends[level.next - 1];
                const std::size_t to = pending.ends[level.next];
                path.resize(level.pathLength);
                path.append(pending.names, from, to - from);
                path += '\\';
                ++level.next;
                found = true;
                break;
            }
            pending.names.resize(level.namesBegin);
            pending.ends.resize(level.first);
            levels.pop_back();
        }
        if (!found) break;
    }
    writer.flush();
}

}  // namespace korvex::scandb
