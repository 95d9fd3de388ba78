#include "removal/removal_context.h"

#include <cstdio>

namespace korvex {

void ShowRefusals(Prompt& prompt, const Refusals& refusals) {
    if (refusals.empty()) return;
    std::string text = "Korvex! left these items where they are, to keep the machine safe:";
    for (const Refusal& r : refusals) text += "\n" + r.path + ": " + r.reason;
    prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Korvex!", text});
}

std::string DatedFileName(FileSystem& files, std::string_view folder, std::string_view stem, std::int64_t unixSeconds,
                          std::string_view extension) {
    std::int64_t days = unixSeconds / 86400, secs = unixSeconds % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    // Days since 1970-01-01 to a civil date (proleptic Gregorian).
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, " %04lld-%02lld-%02lld %02lld%02lld%02lld", static_cast<long long>(y),
                  static_cast<long long>(m), static_cast<long long>(d), static_cast<long long>(secs / 3600),
                  static_cast<long long>(secs / 60 % 60), static_cast<long long>(secs % 60));
    std::string base = std::string(folder) + std::string(stem) + stamp;
    std::string name = base + std::string(extension);
    for (int n = 2; files.info(name).exists && n < 10000; ++n)
        name = base + " (" + std::to_string(n) + ")" + std::string(extension);
    return name;
}

}  // namespace korvex
