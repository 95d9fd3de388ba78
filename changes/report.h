// The printed report of found changes: the selected rows of the six found-changes
// lists, in Courier, at fixed positions in twips, with the folder and parent-key
// columns wrapped character by character. Responsible for the report's texts, fonts
// and positions; which printer it lands on, and page breaks, belong to the Printer.
#pragma once

#include <string_view>

#include "platform/printer.h"
#include "platform/prompt.h"
#include "platform/services.h"
#include "removal/found_lists.h"

namespace korvex {

namespace report {
inline constexpr int kLeft = 1000;          // headings and first columns
inline constexpr int kFolderColumn = 4000;  // "In folder"
inline constexpr int kSecondColumn = 6360;  // "In parent key", "Replacing line"
inline constexpr int kSizeFromRight = 3440; // "Size" at the page width less this
inline constexpr int kTypeFromRight = 2000; // "Type" at the page width less this
inline constexpr int kParentRightMargin = 1000;
inline constexpr std::string_view kFont = "Courier";
}  // namespace report

// Prints the report of every selected row. With nothing selected, says so in the
// "Error printing" message and prints nothing; returns whether it printed.
bool PrintChangesReport(Printer& printer, Prompt& prompt, const FoundLists& lists, std::string_view logFileName,
                        std::string_view logDate);

// Prints text at column x, continuing on the following lines in the same column
// whenever the position has reached rightLimit; ends the line after the last
// character. Characters, not bytes: a UTF-8 sequence is never split.
void PrintWrapped(Printer& printer, std::string_view text, int x, int rightLimit);

// The lists of a saved uninstall data file with every row selected, as the
// found-changes window shows them: names and folders split, sizes of what exists on
// the machine, "Folder" or the extension's type for files.
FoundLists ReportListsOf(Services& services, const SavedData& data);

}  // namespace korvex
