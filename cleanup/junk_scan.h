// The junk-file scan and the clean-up walker it shares with the folder scan: the
// pattern of the chosen categories, the folders the scan must not enter, the
// extension key of a file name with its exceptions, and the walk that hands every
// listed file to the window as soon as it is found. The walk costs the same for each
// entry however many files it lists. Not responsible for showing rows (the window
// gives them their icon and type) nor for removing anything.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cleanup/clean_settings.h"
#include "cleanup/scan_rows.h"
#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex::cleanup {

// The pattern that lists everything (the folder scan's).
inline constexpr std::string_view kMatchEverything = "*.*";
// The key an excluded file is given; a file whose key is exactly this is never listed.
inline constexpr std::string_view kExcludedKey = ".mml";

// The tokens of the checked categories, then one per own file type.
std::string JunkPatternText(const CleanUpChoices& choices);

// Answers whether "|" + key + "|" occurs in a pattern text without searching it for
// every file: the pattern's keys are split out once.
class JunkPattern {
public:
    explicit JunkPattern(std::string_view text);
    bool matches(std::string_view lowerKey) const;
    const std::string& text() const { return text_; }

private:
    std::string text_;
    std::string lowerText_;
    bool all_ = false;
    std::vector<std::string> keys_;
};

// The folders the junk-file scan does not enter: the Windows folder's History, the
// Recycled folders of D: to H:, then the folders to ignore of the Options dialog.
// Each entry ends in "\" and is followed by character 127.
std::string JunkSkipList(System& system, RegistryAccess& registry);

// The extension key of a file name after the exceptions, kExcludedKey for a file
// that is never listed; changedToday is asked only for keys holding ".tmp".
std::string ExtensionKey(std::string_view name, const std::function<bool()>& changedToday);

// Days since 1970-01-01 in the local time zone: two times fall on the same day when
// their LocalDay is equal.
std::int64_t LocalDay(std::int64_t unixSeconds);

// Walks the tree below startFolder depth first (the sub folders of a folder in the
// reverse of their listing order), leaving out the folders of skipList (whole paths,
// any letter case) and every folder whose name contains "recycled", and lists each
// file that the pattern matches and no other program holds open. Yields after every
// entry and returns after the entry in hand once the stop flag is set.
void WalkCleanUpFolder(CleanUpScan& scan, std::string_view startFolder, const JunkPattern& pattern,
                       std::string_view skipList);

// The junk-file scan over drives ("C:" or "C:,D:"): every drive is walked in turn, even
// after Stop (each further walk then returns after its first entry).
void ScanForJunkFiles(Services& services, RegistryAccess& registry, CleanUpScan& scan, const CleanUpChoices& choices,
                      std::string_view drives);

}  // namespace korvex::cleanup
