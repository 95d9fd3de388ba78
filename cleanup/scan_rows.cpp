#include "cleanup/scan_rows.h"

#include "platform/folders.h"

namespace korvex {

std::string TotalFilesText(const ScanTotals& totals) { return "Total files:" + std::to_string(totals.files); }

std::string TotalBytesText(const ScanTotals& totals, char decimalSeparator) {
    return "Total size:" + FormatSize(totals.bytes, true, decimalSeparator);
}

}  // namespace korvex
