#include "settings/drive_list.h"

namespace korvex {

std::vector<std::string> FillDriveList(System& system) {
    std::vector<std::string> entries;
    std::string letters;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (system.driveType(letter) != DRIVE_FIXED) continue;
        // The label buffer holds 11 characters and ends at the first NUL.
        std::string label = system.volumeLabel(letter);
        label = label.substr(0, label.find('\0'));
        if (label.size() > 11) label.resize(11);
        entries.push_back(std::string("(") + letter + ":) " + label);
        letters += letter;
        letters += ":,";
    }
    if (!letters.empty()) letters.pop_back();
    entries.push_back("Local hard drives (" + letters + ")");
    return entries;
}

std::string CurrentDrives(std::string_view entry) {
    const std::size_t open = entry.find('(');
    if (open != std::string_view::npos) entry.remove_prefix(open + 1);
    return std::string(entry.substr(0, entry.find(')')));
}

std::vector<char> DriveLetters(std::string_view drives) {
    std::vector<char> letters;
    while (drives.size() >= 2) {
        letters.push_back(drives[0]);
        if (drives.size() == 2) break;
        drives.remove_prefix(3);
    }
    return letters;
}

std::string LastScanText(Services& services, std::string_view dataFolder, std::string_view currentDrives) {
    if (!currentDrives.empty()) {
        std::string file(dataFolder);
        file += currentDrives.front();
        file += "dbase.kvd";
        const FileInfo info = services.files.info(file);
        if (info.exists && !info.isFolder)
            return "This drive was last scanned on " + services.system.formatDateTime(info.modified);
    }
    return "This drive has not been scanned.";
}

}  // namespace korvex
