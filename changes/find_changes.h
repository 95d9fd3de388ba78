// The find-changes run: takes a fresh snapshot of the selected drives, the registry
// and the four system text files, compares it with the scan database and leaves the
// change list files (change_lists.h) in the Windows drive root for frmFoundChanges.
// It owns the order of the steps, the settings that switch them, cancelling (every
// work file removed) and the optional refresh of the scan database ("AutoUpdateDb").
// It does not own the window: frmFindingChanges (or korvex-cli) shows the progress,
// sets the stop flag on close, and opens frmFoundChanges when the run completed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/prompt.h"
#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex {

enum class FindOutcome {
    Completed,        // the change list files are in place: show frmFoundChanges
    Cancelled,        // the stop flag was seen; the run's work files are gone, show nothing
    MissingDatabase,  // a selected drive has no scan database; its message was shown, nothing written
    MachineInUse,     // Wine runs programs in the machine and the user cancelled; nothing written
};

// The progress bar prgFindingChanges: minimum 0, maximum 100 until the run sets it.
// A position outside 0..maximum is ignored, as is a maximum below the position, so the
// bar never jumps backwards on the run's rough accounting. Every accepted change is
// reported to onChange (the window's bar); without onChange it goes to Prompt::progress.
class FindProgress {
public:
    std::function<void(double position, double maximum)> onChange;

    double position() const { return position_; }
    double maximum() const { return maximum_; }
    void setMaximum(double maximum);
    void setPosition(double position);
    void raise(double by) { setPosition(position_ + by); }

    // Set by the run; the driver reports through it when onChange is empty.
    Prompt* prompt = nullptr;

private:
    void report();
    double position_ = 0;
    double maximum_ = 100;
};

// What frmFindingChanges runs once from its timer tick: checks that every drive of
// drives (the CurrentDrives text, "C:" or "C:,D:,E:") has a scan database in
// dataFolder (ends in "\"), showing "Error finding changes" for the first one that
// has none, then runs the whole comparison. stop is the window's stop flag; the run
// tests it at every yield. The progress bar's maximum and position are driven through
// progress. Message boxes go through prompt with their exact icon, buttons and text.
FindOutcome FindChanges(Services& services, RegistryAccess& registry, Prompt& prompt,
                        const std::string& dataFolder, std::string drives, const bool& stop,
                        FindProgress& progress);

// The check alone (timer tick, step 2): true when every selected drive has its scan
// database; otherwise shows the message for the first drive without one and returns false.
bool CheckScanDatabases(FileSystem& files, Prompt& prompt, const std::string& dataFolder,
                        std::string_view drives);

// The exact text of the missing-database message for a drive letter ('C').
std::string MissingDatabaseText(char driveLetter);

}  // namespace korvex
