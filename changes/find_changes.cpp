// The find-changes driver (being written).
#include "changes/find_changes.h"

namespace korvex {

void FindProgress::report() {
    if (onChange)
        onChange(position_, maximum_);
    else if (prompt)
        prompt->progress(static_cast<std::uint64_t>(position_), static_cast<std::uint64_t>(maximum_));
}

void FindProgress::setMaximum(double maximum) {
    if (maximum < position_ || maximum < 0) return;
    maximum_ = maximum;
    report();
}

void FindProgress::setPosition(double position) {
    if (position < 0 || position > maximum_) return;
    position_ = position;
    report();
}

std::string MissingDatabaseText(char driveLetter) {
    return std::string("No scan database found for drive ") + driveLetter +
           ":\\ To find changes in this drive, first create a scan database by clicking on the "
           "Update Database button in the main window.";
}

bool CheckScanDatabases(FileSystem&, Prompt&, const std::string&, std::string_view) { return true; }

FindOutcome FindChanges(Services&, RegistryAccess&, Prompt&, const std::string&, std::string,
                        const bool& stop, FindProgress&) {
    return stop ? FindOutcome::Cancelled : FindOutcome::Completed;
}

}  // namespace korvex
