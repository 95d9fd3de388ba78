#include "platform/pdf_printer.h"

#include <cstdint>
#include <cstdio>

namespace korvex {
namespace {

// Code page 1252's characters 0x80 to 0x9F, as Unicode (0 where it has none).
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

char winAnsiOf(std::uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == code) return static_cast<char>(0x80 + i);
    return '?';
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

}  // namespace

std::string ToWinAnsi(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::uint32_t code = n == 1 ? lead : lead & (0x3F >> (n - 1));
        bool valid = n == 1 ? lead < 0x80 : i + n <= utf8.size();
        for (std::size_t k = 1; valid && k < n; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        out += valid ? winAnsiOf(code) : '?';
        i += valid ? n : 1;
    }
    return out;
}

int PdfPrinter::textWidth(std::string_view text) {
    // Every Courier glyph is 600/1000 of the font size wide; 20 twips to the point.
    return static_cast<int>(ToWinAnsi(text).size()) * size_ * 12;
}

void PdfPrinter::newPage() {
    pages_.emplace_back();
    y_ = 0;
}

void PdfPrinter::print(std::string_view text, After after) {
    if (!document_.empty()) return;  // the document has ended
    if (pages_.empty()) newPage();
    if (usedHeight_ == 0 && y_ > 0 && y_ + lineHeight() > kPageHeight - 2 * kEdge) newPage();
    if (lineHeight() > usedHeight_) usedHeight_ = lineHeight();
    const std::string bytes = ToWinAnsi(text);
    if (!bytes.empty()) {
        std::string escaped;
        for (char c : bytes) {
            if (c == '(' || c == ')' || c == '\\') escaped += '\\';
            escaped += c;
        }
        // Baseline: the line's top plus Courier's ascent (629/1000 of the size).
        const double left = (kEdge + x_) / 20.0;
        const double baseline = (kPageHeight - kEdge - y_) / 20.0 - size_ * 0.629 - size_ * 0.1;
        pages_.back() += "BT /" + std::string(bold_ ? "F2 " : "F1 ") + std::to_string(size_) + " Tf " + number(left) +
                         " " + number(baseline) + " Td (" + escaped + ") Tj ET\n";
    }
    x_ += static_cast<int>(bytes.size()) * size_ * 12;
    if (after == After::EndLine) {
        y_ += usedHeight_;
        usedHeight_ = 0;
        x_ = 0;
    }
}

void PdfPrinter::endDoc() {
    if (!document_.empty()) return;
    if (pages_.empty()) newPage();
    std::vector<std::string> objects;  // object n is objects[n - 1]
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("");  // the page tree, once the pages are numbered
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Courier-Bold /Encoding /WinAnsiEncoding >>");
    std::string kids;
    for (const std::string& content : pages_) {
        const std::size_t pageObject = objects.size() + 1;
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(kPageWidth / 20.0) + " " +
                          number(kPageHeight / 20.0) + "] /Resources << /Font << /F1 3 0 R /F2 4 0 R >> >> " +
                          "/Contents " + std::to_string(pageObject + 1) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                          "endstream");
        kids += std::to_string(pageObject) + " 0 R ";
    }
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages_.size()) + " >>";

    std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        out += entry;
    }
    out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    document_ = std::move(out);
}

}  // namespace korvex
