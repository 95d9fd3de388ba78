#include "platform/fake/memory_files.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "platform/text.h"

namespace korvex {

struct MemoryFiles::Node {
    std::string name;
    bool isFolder = true;
    std::string contents;
    std::int64_t modified = 0;
    std::uint32_t attributes = 0;
    bool executable = false;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;       // in creation order: the listing order
    std::unordered_map<std::string, Node*> byName;     // lower-case name -> child

    Node* child(std::string_view n) const {
        auto it = byName.find(ToLower(n));
        return it == byName.end() ? nullptr : it->second;
    }
    Node* add(std::string_view n, bool folder) {
        auto c = std::make_unique<Node>();
        c->name = std::string(n);
        c->isFolder = folder;
        c->parent = this;
        Node* raw = c.get();
        byName[ToLower(n)] = raw;
        children.push_back(std::move(c));
        return raw;
    }
    void remove(Node* c) {
        byName.erase(ToLower(c->name));
        children.erase(std::find_if(children.begin(), children.end(),
                                    [c](const auto& p) { return p.get() == c; }));
    }
    std::string path() const {
        if (!parent || !parent->parent) return name;  // a drive: "C:"
        return parent->path() + "\\" + name;
    }
};

namespace {


std::string normal(std::string_view path) {
    std::string p(path);
    while (p.size() > 3 && p.back() == '\\') p.pop_back();
    if (p.size() == 3 && p.back() == '\\') p.pop_back();
    return ToLower(p);
}

bool listed(const std::set<std::string>& set, std::string_view path) {
    std::string n = normal(path);
    for (const auto& s : set)
        if (normal(s) == n) return true;
    return false;
}

// A file being written: the data reaches the tree in one piece when it is closed.
class MemoryOutput : public OutputFile {
public:
    MemoryOutput(MemoryFiles& files, std::string path) : files_(files), path_(std::move(path)) {}
    ~MemoryOutput() override { close(); }
    void write(std::string_view data) override { data_.append(data); }
    bool close() override {
        if (closed_) return true;
        closed_ = true;
        if (!files_.exists(path_)) return false;  // deleted while open: the data is lost, as on disk
        return files_.replaceFile(path_, data_);
    }

private:
    MemoryFiles& files_;
    std::string path_;
    std::string data_;
    bool closed_ = false;
};

}  // namespace

MemoryFiles::MemoryFiles() : root_(std::make_unique<Node>()) {}
MemoryFiles::~MemoryFiles() = default;

MemoryFiles::Node* MemoryFiles::find(std::string_view path) const {
    Node* n = root_.get();
    for (auto p : SplitPath(path)) {
        if (!n->isFolder) return nullptr;
        n = n->child(p);
        if (!n) return nullptr;
    }
    return n == root_.get() ? nullptr : n;
}

MemoryFiles::Node* MemoryFiles::makeFolders(std::string_view path) {
    Node* n = root_.get();
    for (auto p : SplitPath(path)) {
        Node* c = n->child(p);
        if (!c) {
            c = n->add(p, true);
            c->modified = clock;
        }
        if (!c->isFolder) return nullptr;
        n = c;
    }
    return n;
}

static std::pair<std::string_view, std::string_view> splitParent(std::string_view path) {
    auto pos = path.find_last_of('\\');
    if (pos == std::string_view::npos) return {std::string_view(), path};
    return {path.substr(0, pos), path.substr(pos + 1)};
}

bool MemoryFiles::listFolder(std::string_view folder, const EntryCallback& onEntry) {
    Node* n = find(folder);
    if (!n || !n->isFolder || listed(unreadable, folder)) return false;
    // Copy names first: a callback may change the tree.
    std::vector<std::pair<std::string, bool>> entries;
    entries.reserve(n->children.size());
    for (const auto& c : n->children) entries.emplace_back(c->name, c->isFolder);
    for (const auto& [name, isFolder] : entries) onEntry(name, isFolder);
    return true;
}

FileInfo MemoryFiles::info(std::string_view path) {
    FileInfo i;
    Node* n = find(path);
    if (!n) return i;
    i.exists = true;
    i.isFolder = n->isFolder;
    i.size = n->isFolder ? 0 : n->contents.size();
    i.modified = n->modified;
    i.attributes = n->attributes | (n->isFolder ? FILE_ATTRIBUTE_DIRECTORY : 0);
    if (listed(readOnly, path)) i.attributes |= FILE_ATTRIBUTE_READONLY;
    return i;
}

bool MemoryFiles::readFile(std::string_view path, std::string& contents) {
    Node* n = find(path);
    if (!n || n->isFolder) return false;
    contents = n->contents;
    return true;
}

std::unique_ptr<OutputFile> MemoryFiles::createFile(std::string_view path) {
    if (!replaceFile(path, "")) return nullptr;
    return std::make_unique<MemoryOutput>(*this, std::string(path));
}

bool MemoryFiles::lockedFor(std::string_view path) {
    if (!listed(lockedFolders, splitParent(path).first)) return false;
    lastError_ = "Permission denied";
    return true;
}

bool MemoryFiles::replaceFile(std::string_view path, std::string_view contents) {
    auto [parentPath, name] = splitParent(path);
    Node* parent = find(parentPath);
    if (lockedFor(path)) return false;
    lastError_ = "No such file or directory";
    if (!parent || !parent->isFolder || name.empty()) return false;
    lastError_ = "Permission denied";
    if (listed(readOnly, path)) return false;
    Node* n = parent->child(name);
    lastError_ = "Is a directory";
    if (n && n->isFolder) return false;
    lastError_.clear();
    if (!n) n = parent->add(name, false);
    n->contents = std::string(contents);
    n->modified = clock;
    return true;
}

bool MemoryFiles::moveFile(std::string_view from, std::string_view to) {
    Node* src = find(from);
    if (!src || src->isFolder || listed(readOnly, from)) return false;
    if (EqualsNoCase(normal(from), normal(to))) return true;
    std::string data = src->contents;
    std::int64_t modified = src->modified;
    std::uint32_t attributes = src->attributes;
    if (!replaceFile(to, data)) return false;
    Node* dst = find(to);
    dst->modified = modified;
    dst->attributes = attributes;
    src->parent->remove(src);
    return true;
}

bool MemoryFiles::copyFile(std::string_view from, std::string_view to) {
    Node* src = find(from);
    if (!src || src->isFolder) return false;
    std::string data = src->contents;
    std::int64_t modified = src->modified;
    if (!replaceFile(to, data)) return false;
    find(to)->modified = modified;
    return true;
}

bool MemoryFiles::deleteFile(std::string_view path) {
    Node* n = find(path);
    if (!n) return true;
    if (n->isFolder || listed(readOnly, path)) return false;
    n->parent->remove(n);
    return true;
}

bool MemoryFiles::erase(std::string_view path) {
    Node* n = find(path);
    if (!n || !n->parent || !n->parent->parent) return false;  // missing, or a drive
    n->parent->remove(n);
    return true;
}

bool MemoryFiles::relocate(std::string_view from, std::string_view to) {
    Node* src = find(from);
    auto [parentPath, name] = splitParent(to);
    Node* dst = find(parentPath);
    if (!src || !src->parent || !src->parent->parent || !dst || !dst->isFolder || dst->child(name)) return false;
    for (Node* up = dst; up; up = up->parent)
        if (up == src) return false;  // into itself
    auto it = std::find_if(src->parent->children.begin(), src->parent->children.end(),
                           [src](const auto& p) { return p.get() == src; });
    std::unique_ptr<Node> moved = std::move(*it);
    src->parent->byName.erase(ToLower(src->name));
    src->parent->children.erase(it);
    moved->name = std::string(name);
    moved->parent = dst;
    dst->byName[ToLower(moved->name)] = moved.get();
    dst->children.push_back(std::move(moved));
    return true;
}

bool MemoryFiles::createFolder(std::string_view path) { return makeFolders(path) != nullptr; }

bool MemoryFiles::setAttributes(std::string_view path, std::uint32_t attributes) {
    Node* n = find(path);
    if (!n) return false;
    n->attributes = attributes & ~FILE_ATTRIBUTE_DIRECTORY;
    return true;
}

bool MemoryFiles::setExecutable(std::string_view path) {
    Node* n = find(path);
    if (!n || n->isFolder || listed(readOnly, path)) return false;
    n->executable = true;
    return true;
}

bool MemoryFiles::isExecutable(std::string_view path) const {
    const Node* n = find(path);
    return n && n->executable;
}

bool MemoryFiles::isLinkedFolder(std::string_view path) const { return listed(linked, path); }

bool MemoryFiles::isFileInUse(std::string_view path) { return find(path) && listed(inUse, path); }

void MemoryFiles::put(std::string_view path, std::string_view contents, std::int64_t modified) {
    auto [parentPath, name] = splitParent(path);
    makeFolders(parentPath);
    std::int64_t saved = clock;
    clock = modified;
    replaceFile(path, contents);
    clock = saved;
}

std::string MemoryFiles::contents(std::string_view path) const {
    Node* n = find(path);
    return n && !n->isFolder ? n->contents : std::string();
}

bool MemoryFiles::exists(std::string_view path) const { return find(path) != nullptr; }

std::vector<std::string> MemoryFiles::tree(std::string_view folder) const {
    std::vector<std::string> r;
    Node* start = find(folder);
    if (!start) return r;
    std::function<void(const Node*)> walk = [&](const Node* n) {
        for (const auto& c : n->children) {
            std::string p = c->path();
            r.push_back(c->isFolder ? p + "\\" : p);
            if (c->isFolder) walk(c.get());
        }
    };
    walk(start);
    std::sort(r.begin(), r.end());
    return r;
}

}  // namespace korvex
