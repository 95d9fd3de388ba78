// Replacing a host file so that a crash at any moment leaves either the old file or
// the new one: the data goes to a temporary file beside it, is flushed to disk, is
// renamed over the old one, and the folder is flushed. On any error the old file stays
// and the temporary file is removed.
#pragma once

#include <string>
#include <string_view>

namespace korvex::wine {

// error (when given) receives a sentence for the user on failure.
bool ReplaceFileAtomically(const std::string& hostPath, std::string_view contents, std::string* error = nullptr);

}  // namespace korvex::wine
