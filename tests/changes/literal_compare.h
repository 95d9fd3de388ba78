// The file merge and the registry comparison written out step by step as Korvex's
// find-changes run describes them: files read line by line, the database read as a
// ring, every search a pass over the lines. Slow on purpose; the tests hold the
// indexed versions in changes/ to exactly the same output.
#pragma once

#include <string>

namespace korvex::literal {

// The lines of "changes.kvd" for a current list and a joined database (both file texts).
std::string MergeFolderLists(const std::string& currentText, const std::string& databaseText);

// The lines of "hkcuchanges.kvd" for a saved and a current dump (file texts).
std::string CompareKeyLists(const std::string& savedText, const std::string& currentText);

}  // namespace korvex::literal
