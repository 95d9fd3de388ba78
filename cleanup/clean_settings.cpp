#include "cleanup/clean_settings.h"

#include <algorithm>
#include <functional>

#include "platform/text.h"
#include "settings/settings_keys.h"

namespace korvex::cleanup {

const std::array<JunkTypeInfo, kJunkTypeCount> kJunkTypes = {{
    {"chkBAKFiles", "*.BAK files", "Bak files", "|.bak|", "*.Bak files are earlier versions of saved files"},
    {"chkOLDFiles", "*.OLD files", "Old files", "|.old|", "*.Old files are earlier versions of saved files"},
    {"chkTMPFiles", "*.TMP files", "Tmp files", "|.tmp|",
     "*.Tmp files are created for temporary use by various programs"},
    {"chkGIDFiles", "*.Gid files", "Gid files", "|.gid|",
     "*.Gid files are files created by Windows Help files to speed up index lookup"},
    {"chkPrevCompressedFiles", "*.--- files", "PrevCompressed files", "|.---|",
     "*.--- files are compressed copies of files before installation"},
    {"chkCHKfiles", "*.CHK files", "Chk files", "|.chk|", "*.Chk files are lost cluster files created by Chkdsk.exe"},
    {"chkDollarFiles", "*.??$ files", "Dollar files", "|.??$|",
     "*.??$ files are created for temporary use by various programs"},
    {"chkTidleFiles", "*.~?? files", "Tidle files", "|.~??|",
     "*.~?? files are files created for temporary use by various programs"},
    {"chkCHKLISTFiles", "CHKLIST.* files", "Chklist files", "|chklist.???|",
     "Chklist.* files are lost cluster files created by Chkdsk.exe"},
    {"chkMSCREATEFiles", "MSCREATE.DIR files", "Mscreate files", "|mscreate.dir|",
     "Mscreate.dir files are zero length files created by Setup programs"},
    {"chkLOGFiles", "Windows LOG files", "Log files", "|.log|",
     "*.Log files are files created by various programs when an error occurs"},
    {"chkFTSFiles", "*.FTS/*.FTG files", "Fts files", "|.fts|.ftg|",
     "*.Fts/*.Ftg files are files created by certain applications to speed up word research"},
}};

namespace {

// The check-box values in the order they are read and written: "Tmp files" leads.
constexpr JunkType kStoredOrder[kJunkTypeCount] = {
    JunkType::Tmp,    JunkType::Bak,   JunkType::Old,     JunkType::Gid,      JunkType::PrevCompressed, JunkType::Chk,
    JunkType::Dollar, JunkType::Tidle, JunkType::Chklist, JunkType::Mscreate, JunkType::Log,            JunkType::Fts};

std::string flag(bool on) { return on ? "1" : "0"; }

std::string joinList(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& e : entries) (text += e) += kListSeparator;
    return text;
}

// Every piece that a character 127 ends; the text after the last one is dropped.
std::vector<std::string> splitEntries(const std::string& text) {
    std::vector<std::string> entries;
    std::size_t from = 0;
    for (std::size_t end = text.find(kListSeparator); end != std::string::npos;
         end = text.find(kListSeparator, from)) {
        if (end > from) entries.push_back(text.substr(from, end - from));  // empty entries are skipped
        from = end + 1;
    }
    return entries;
}

}  // namespace

CleanUpChoices LoadCleanUpChoices(RegistryAccess& registry) {
    CleanUpChoices c;
    const HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kSysCleanKey);
    if (key == 0) return c;
    for (JunkType t : kStoredOrder) {
        const std::string value = registry.QueryValue(key, kJunkTypes[static_cast<std::size_t>(t)].setting);
        if (t == JunkType::Mscreate) {
            if (value == "1") c[t] = true;
        } else if (value == "0") {
            c[t] = false;
        }
    }
    c.alsoScanFiles = splitEntries(registry.QueryValue(key, "AlsoScanFiles"));
    c.alsoScanFolders = splitEntries(registry.QueryValue(key, "AlsoScanFolders"));
    const std::pair<const char*, bool*> boxes[] = {
        {"TempFolder", &c.tempFolder},        {"CacheFolder", &c.cacheFolder}, {"RecycleBin", &c.recycleBin},
        {"Skip Zero Length", &c.skipZeroLength}, {"Same Size", &c.sameSize},     {"Same Date Time", &c.sameDateTime},
        {"Skip Sysbckup", &c.skipSysbckup},
    };
    for (const auto& [name, box] : boxes)
        if (registry.QueryValue(key, name) == "0") *box = false;
    registry.CloseKey(key);
    return c;
}

std::vector<std::string> SaveCleanUpChoices(RegistryAccess& registry, const CleanUpChoices& c) {
    HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kSysCleanKey);
    if (key == 0) key = registry.CreateKey(HKEY_CURRENT_USER, settings::kSysCleanKey);
    std::vector<std::string> written;
    auto set = [&](std::string_view name, const std::string& text) {
        if (key != 0) registry.SetValue(key, name, text);
        written.emplace_back(name);
    };
    for (JunkType t : kStoredOrder) set(kJunkTypes[static_cast<std::size_t>(t)].setting, flag(c[t]));
    set("AlsoScanFiles", joinList(c.alsoScanFiles));
    set("TempFolder", flag(c.tempFolder));
    set("CacheFolder", flag(c.cacheFolder));
    set("RecycleBin", flag(c.recycleBin));
    set("AlsoScanFolders", joinList(c.alsoScanFolders));
    set("Same Date Time", flag(c.sameDateTime));
    set("Skip Zero Length", flag(c.skipZeroLength));
    set("Same Size", flag(c.sameSize));
    set("Skip Sysbckup", flag(c.skipSysbckup));
    if (key != 0) registry.CloseKey(key);
    return written;
}

std::string OwnFileTypeEntry(std::string_view answer) {
    if (answer.empty()) return {};
    std::string_view ext = answer;
    if (const std::size_t dot = ext.find('.'); dot != std::string_view::npos) ext = ext.substr(dot + 1);
    if (ext.size() != 4) ext = ext.substr(0, std::min<std::size_t>(3, ext.size()));
    return "*." + std::string(ext);
}

bool AddOwnFileType(std::vector<std::string>& list, std::string_view answer) {
    const std::string entry = OwnFileTypeEntry(answer);
    if (entry.empty()) return false;
    for (const std::string& e : list)
        if (EqualsNoCase(e, entry)) return false;
    list.push_back(entry);
    return true;
}

bool AddOwnFolder(std::vector<std::string>& list, std::string_view folder) {
    if (folder.empty() || folder.size() == 3) return false;
    std::size_t inside = list.size();  // the last listed folder inside the new one
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (ContainsNoCase(folder, list[i])) return false;
        if (ContainsNoCase(list[i], folder)) inside = i;
    }
    if (inside < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(inside));
    list.emplace_back(folder);
    return true;
}

void RemoveEntries(std::vector<std::string>& list, std::vector<std::size_t> indexes) {
    std::sort(indexes.begin(), indexes.end(), std::greater<>());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    for (std::size_t i : indexes)
        if (i < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
}

}  // namespace korvex::cleanup
