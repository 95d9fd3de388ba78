#include "changes/report.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/folders.h"

namespace korvex {
namespace {

using After = Printer::After;

void printAt(Printer& printer, int x, std::string_view text, After after) {
    printer.setCurrentX(x);
    printer.print(text, after);
}

void emptyLine(Printer& printer) { printer.print("", After::EndLine); }

std::size_t utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Heading and column headings in bold; columns are (position, caption) pairs, the
// last one ends the line.
void heading(Printer& printer, std::string_view title,
             std::initializer_list<std::pair<int, std::string_view>> columns) {
    printer.setCurrentX(report::kLeft);
    printer.setFontBold(true);
    printer.print(title, After::EndLine);
    emptyLine(printer);
    std::size_t i = 0;
    for (const auto& [x, caption] : columns)
        printAt(printer, x, caption, ++i == columns.size() ? After::EndLine : After::StayOnLine);
    printer.setFontBold(false);
}

void filesSection(Printer& printer, const std::vector<FoundRow>& rows) {
    const int width = printer.pageWidth();
    const int sizeX = width - report::kSizeFromRight, typeX = width - report::kTypeFromRight;
    bool first = true;
    for (const FoundRow& row : rows) {
        if (!row.selected) continue;
        if (first) {
            heading(printer, "The following files and folders were added:",
                    {{report::kLeft, "Name"}, {report::kFolderColumn, "In folder"}, {sizeX, "Size"}, {typeX, "Type"}});
            first = false;
        }
        printAt(printer, report::kLeft, row.text, After::StayOnLine);
        printAt(printer, sizeX, row.size, After::StayOnLine);
        printAt(printer, typeX, row.type, After::StayOnLine);
        PrintWrapped(printer, row.sub1, report::kFolderColumn, sizeX - printer.textWidth("aaa"));
    }
    emptyLine(printer);
}

void registrySection(Printer& printer, const std::vector<FoundRow>& rows) {
    const int limit = printer.pageWidth() - report::kParentRightMargin;
    bool first = true;
    for (const FoundRow& row : rows) {
        if (!row.selected) continue;
        if (first) {
            heading(printer, "The following registry keys were added:",
                    {{report::kLeft, "Key name"}, {report::kSecondColumn, "In parent key"}});
            first = false;
        }
        printAt(printer, report::kLeft, row.text, After::StayOnLine);
        PrintWrapped(printer, row.sub1, report::kSecondColumn, limit);
    }
    emptyLine(printer);
}

void lineSection(Printer& printer, std::string_view title, const std::vector<FoundRow>& rows) {
    bool first = true;
    for (const FoundRow& row : rows) {
        if (!row.selected) continue;
        if (first) {
            heading(printer, title, {{report::kLeft, "Line added"}, {report::kSecondColumn, "Replacing line"}});
            first = false;
        }
        printAt(printer, report::kLeft, row.text, After::StayOnLine);
        printAt(printer, report::kSecondColumn, row.sub1, After::EndLine);
    }
    emptyLine(printer);
}

std::string typeOf(std::string_view name, bool isFolder) {
    if (isFolder) return std::string(kFolderTypeName);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.size()) return "File";
    std::string extension(name.substr(dot + 1));
    for (char& c : extension)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return extension + " File";
}

}  // namespace

void PrintWrapped(Printer& printer, std::string_view text, int x, int rightLimit) {
    printer.setCurrentX(x);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = std::min(utf8Length(static_cast<unsigned char>(text[i])), text.size() - i);
        const std::string_view character = text.substr(i, n);
        i += n;
        if (printer.currentX() >= rightLimit) {
            printer.print(character, After::EndLine);
            printer.setCurrentX(x);
        } else {
            printer.print(character, After::StayOnLine);
        }
    }
    emptyLine(printer);
}

bool PrintChangesReport(Printer& printer, Prompt& prompt, const FoundLists& lists, std::string_view logFileName,
                        std::string_view logDate) {
    if (SelectedCount(lists) == 0) {
        prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Error printing",
                           "No files or system changes selected. Select a file or a system change and then click "
                           "on Print selected."});
        return false;
    }
    emptyLine(printer);
    printer.setCurrentX(report::kLeft);
    printer.setFontName(report::kFont);
    printer.setFontSize(14);
    printer.setFontBold(true);
    emptyLine(printer);
    printer.print("File name: " + std::string(logFileName), After::EndLine);
    printer.print("File log creation date: " + std::string(logDate), After::EndLine);
    emptyLine(printer);
    printer.print("Korvex! found the following changes to your system:", After::EndLine);
    emptyLine(printer);
    printer.setFontSize(10);
    printer.setFontBold(false);

    filesSection(printer, lists[FoundList::Files]);
    registrySection(printer, lists[FoundList::Registry]);
    lineSection(printer, "The following lines were added to the Win.ini file:", lists[FoundList::WinIni]);
    lineSection(printer, "The following lines were added to the System.ini file:", lists[FoundList::SystemIni]);
    lineSection(printer, "The following lines were added to the Autoexec.bat file:", lists[FoundList::AutoexecBat]);
    lineSection(printer, "The following lines were added to the Config.sys file:", lists[FoundList::ConfigSys]);
    printer.endDoc();
    return true;
}

FoundLists ReportListsOf(Services& services, const SavedData& data) {
    FoundLists out;
    const char separator = services.system.decimalSeparator();
    for (const std::string& path : data.files) {
        FoundRow row;
        const std::size_t slash = path.rfind('\\');
        row.text = slash == std::string::npos ? path : path.substr(slash + 1);
        row.sub1 = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        const FileInfo info = services.files.info(path);
        row.isFolder = info.exists && info.isFolder;
        if (info.exists) {
            const double bytes = row.isFolder ? FolderSize(services.files, path + "\\") : static_cast<double>(info.size);
            row.size = FormatSize(bytes, false, separator);
        }
        row.type = typeOf(row.text, row.isFolder);
        row.selected = true;
        out[FoundList::Files].push_back(std::move(row));
    }
    for (const std::string& key : data.registry) {
        FoundRow row;
        const std::size_t slash = key.rfind('\\');
        row.text = slash == std::string::npos ? key : key.substr(slash + 1);
        row.sub1 = slash == std::string::npos ? std::string() : key.substr(0, slash + 1);
        row.selected = true;
        out[FoundList::Registry].push_back(std::move(row));
    }
    const FoundList lineLists[] = {FoundList::WinIni, FoundList::SystemIni, FoundList::AutoexecBat,
                                   FoundList::ConfigSys};
    for (std::size_t f = 0; f < 4; ++f) {
        for (const SavedLine& line : data.lines[f]) {
            FoundRow row;
            row.text = line.added;
            row.sub1 = line.replaced;
            row.selected = true;
            out[lineLists[f]].push_back(std::move(row));
        }
    }
    return out;
}

}  // namespace korvex
