#include "scandb/scan_files.h"

#include "platform/text.h"

namespace korvex::scandb {

std::string DriveListName(char letter) {
    std::string name(1, UpperAscii(letter));
    name += kDriveListSuffix;
    return name;
}

void HideScanFile(FileSystem& files, std::string_view path) {
    files.setAttributes(path, FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace korvex::scandb
