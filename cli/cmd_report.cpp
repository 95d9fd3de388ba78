// korvex-cli report: the printed report of found changes for a saved uninstall data
// file, every row selected, written into a PDF. The same report the found-changes
// window prints; the file's name and date stand in its title block.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "changes/report.h"
#include "cli/commands.h"
#include "cli/scan_run.h"
#include "platform/pdf_printer.h"
#include "removal/saved_file.h"

namespace korvex::cli {

namespace {

constexpr const char* kUsage = "usage: korvex-cli [--machine DIR] report FILE.kvu --pdf OUT.pdf\n";

// Writes the whole file beside its place and renames it over, so a failed write
// leaves no half report and an old one stays.
bool writeHostFile(const std::string& path, const std::string& contents) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) std::filesystem::remove(temporary, error);
    return !error;
}

}  // namespace

int cmdReport(Context& context, const std::vector<std::string>& args) {
    std::string file, pdf;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--pdf" && i + 1 < args.size()) {
            pdf = args[++i];
        } else if (a.rfind("--pdf=", 0) == 0) {
            pdf = a.substr(6);
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "korvex-cli report: unknown option '%s'\n%s", a.c_str(), kUsage);
            return 2;
        } else if (file.empty()) {
            file = a;
        } else {
            std::fprintf(stderr, "korvex-cli report: one saved data file only\n%s", kUsage);
            return 2;
        }
    }
    if (file.empty() || pdf.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    Services& services = context.services;
    const std::string path = MachinePath(services.system, file);
    if (path.empty()) {
        std::fprintf(stderr, "korvex-cli report: %s is not on any drive of the machine\n", file.c_str());
        return 1;
    }
    std::string text;
    const FileInfo info = services.files.info(path);
    if (!info.exists || info.isFolder || !services.files.readFile(path, text)) {
        std::fprintf(stderr, "korvex-cli report: cannot read %s\n", file.c_str());
        return 1;
    }
    bool valid = false;
    const SavedData data = ParseSavedFile(text, &valid);
    if (!valid) {
        std::fprintf(stderr, "korvex-cli report: %s is not a saved uninstall data file\n", file.c_str());
        return 1;
    }

    PdfPrinter printer;
    const std::string title = path.substr(path.rfind('\\') + 1);
    const FoundLists lists = ReportListsOf(services, data);
    if (!PrintChangesReport(printer, context.prompt, lists, title, services.system.formatDateTime(info.modified)))
        return 1;  // the file lists nothing; the message said so
    if (!writeHostFile(pdf, printer.document())) {
        std::fprintf(stderr, "korvex-cli report: cannot write %s\n", pdf.c_str());
        return 1;
    }
    std::printf("Report written to %s\n", pdf.c_str());
    return 0;
}

}  // namespace korvex::cli
