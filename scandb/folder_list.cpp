#include "scandb/folder_list.h"

namespace korvex::scandb {

bool IsListableName(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '\\') return false;
    }
    return true;
}

FolderListWriter::FolderListWriter(OutputFile& out) : out_(out) { buffer_.reserve(kFlushSize + 4096); }

FolderListWriter::~FolderListWriter() { flush(); }

void FolderListWriter::beginFolder(std::string_view folderPath) {
    buffer_ += folderPath;
    buffer_ += "{\r\n";
    flushIfFull();
}

void FolderListWriter::file(std::string_view name) {
    buffer_ += name;
    buffer_ += "\r\n";
    flushIfFull();
}

void FolderListWriter::endFolder() {
    buffer_ += "}\r\n";
    flushIfFull();
}

void FolderListWriter::flush() {
    if (buffer_.empty()) return;
    out_.write(buffer_);
    buffer_.clear();
}

}  // namespace korvex::scandb
