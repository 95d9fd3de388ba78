#include "settings/support_files.h"

#include <array>
#include <cstdint>
#include <vector>

#include "settings/first_run.h"
#include "settings/settings_keys.h"

namespace korvex {
namespace {

void put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putTag(std::string& out, const char (&tag)[5]) { out.append(tag, 4); }

// BITMAPINFOHEADER of an uncompressed bottom-up bitmap.
void putBitmapHeader(std::string& out, int width, int height, int bits, std::uint32_t imageSize) {
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bits));
    put32(out, 0);  // BI_RGB
    put32(out, imageSize);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
}

struct Colour { std::uint8_t r, g, b, a; };

// The icon's picture, drawn in code so that no binary file lives in the sources.
Colour iconPixel(int x, int y) {  // y = 0 is the top row
    const Colour clear{0, 0, 0, 0}, edge{96, 96, 96, 255}, paper{255, 255, 255, 255},
        fold{208, 208, 208, 255}, text{70, 110, 190, 255}, cross{204, 32, 32, 255};
    // Red diagonal cross over the lower right quarter.
    const int cx = x - 20, cy = y - 20;
    if (x >= 13 && y >= 13 && x <= 30 && y <= 30 && (cx == cy || cx == cy + 1 || cx == cy - 1 ||
                                                       cx == -cy || cx == -cy + 1 || cx == -cy - 1))
        return cross;
    // A page with a folded upper right corner.
    if (x < 5 || x > 26 || y < 2 || y > 29) return clear;
    const int foldStart = 20;
    if (x > foldStart && y < 2 + (x - foldStart)) return clear;  // cut corner
    if (x >= foldStart && y <= 2 + (26 - foldStart) && y - 2 >= x - foldStart) {
        return (y - 2 == x - foldStart || y == 2 + (26 - foldStart) || x == foldStart) ? edge : fold;
    }
    if (x == 5 || x == 26 || y == 2 || y == 29 || (x > foldStart && y - 2 == x - foldStart)) return edge;
    if (y >= 10 && y <= 24 && y % 3 == 1 && x >= 8 && x <= 23) return text;
    return paper;
}

// One frame of the animation: a row of file symbols and a lens sweeping across.
constexpr int kFrameWidth = 64, kFrameHeight = 24, kFrames = 12;

std::string animationFrame(int frame) {
    const int stride = kFrameWidth * 3;  // a multiple of 4 already
    std::string pixels(static_cast<std::size_t>(stride * kFrameHeight), '\0');
    const int lensX = 6 + frame * (kFrameWidth - 12) / (kFrames - 1);
    const int lensY = 11;
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < kFrameWidth; ++x) {
            std::array<std::uint8_t, 3> rgb{236, 233, 216};  // window background
            const int slot = x % 10;
            if (y >= 6 && y <= 17 && slot >= 2 && slot <= 8) {
                rgb = (slot == 2 || slot == 8 || y == 6 || y == 17) ? std::array<std::uint8_t, 3>{96, 96, 96}
                                                                     : std::array<std::uint8_t, 3>{255, 255, 255};
                if (x < lensX - 6) rgb = {190, 225, 190};  // files already looked at
            }
            const int dx = x - lensX, dy = y - lensY, d2 = dx * dx + dy * dy;
            if (d2 <= 16) rgb = {200, 225, 250};
            if (d2 > 16 && d2 <= 30) rgb = {40, 40, 40};
            if (dx >= 3 && dy >= 3 && dx <= 7 && dx - dy >= -1 && dx - dy <= 1) rgb = {120, 72, 24};
            const std::size_t at = static_cast<std::size_t>((kFrameHeight - 1 - y) * stride + x * 3);
            pixels[at] = static_cast<char>(rgb[2]);
            pixels[at + 1] = static_cast<char>(rgb[1]);
            pixels[at + 2] = static_cast<char>(rgb[0]);
        }
    }
    return pixels;
}

std::string chunk(const char (&tag)[5], const std::string& body) {
    std::string out;
    putTag(out, tag);
    put32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
    if (body.size() % 2) out += '\0';
    return out;
}

std::string list(const char (&type)[5], const std::string& body) {
    std::string inner;
    putTag(inner, type);
    inner += body;
    return chunk("LIST", inner);
}

}  // namespace

std::string UninstallIcon() {
    constexpr int size = 32;
    const std::uint32_t xorBytes = size * size * 4, andBytes = size * (size / 8);
    std::string out;
    put16(out, 0);  // ICONDIR
    put16(out, 1);
    put16(out, 1);
    out += static_cast<char>(size);  // ICONDIRENTRY
    out += static_cast<char>(size);
    out += '\0';
    out += '\0';
    put16(out, 1);
    put16(out, 32);
    put32(out, 40 + xorBytes + andBytes);
    put32(out, 6 + 16);
    putBitmapHeader(out, size, size * 2, 32, xorBytes + andBytes);
    std::string mask(andBytes, '\0');
    for (int row = size - 1; row >= 0; --row) {
        for (int x = 0; x < size; ++x) {
            const Colour c = iconPixel(x, row);
            out += static_cast<char>(c.b);
            out += static_cast<char>(c.g);
            out += static_cast<char>(c.r);
            out += static_cast<char>(c.a);
            if (c.a == 0) {
                const std::size_t at = static_cast<std::size_t>((size - 1 - row) * (size / 8) + x / 8);
                mask[at] = static_cast<char>(mask[at] | (0x80 >> (x % 8)));
            }
        }
    }
    return out + mask;
}

std::string ScanAnimation() {
    const std::uint32_t frameBytes = kFrameWidth * 3 * kFrameHeight;
    const std::uint32_t microsPerFrame = 125000;  // 8 frames a second

    std::string avih;
    put32(avih, microsPerFrame);
    put32(avih, frameBytes * 8);
    put32(avih, 0);
    put32(avih, 0x10);  // AVIF_HASINDEX
    put32(avih, kFrames);
    put32(avih, 0);
    put32(avih, 1);
    put32(avih, frameBytes);
    put32(avih, kFrameWidth);
    put32(avih, kFrameHeight);
    for (int i = 0; i < 4; ++i) put32(avih, 0);

    std::string strh;
    putTag(strh, "vids");
    putTag(strh, "DIB ");
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put32(strh, 0);
    put32(strh, 1);  // scale
    put32(strh, 8);  // rate: 8 / 1 frames a second
    put32(strh, 0);
    put32(strh, kFrames);
    put32(strh, frameBytes);
    put32(strh, 0xFFFFFFFFu);
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put16(strh, kFrameWidth);
    put16(strh, kFrameHeight);

    std::string strf;
    putBitmapHeader(strf, kFrameWidth, kFrameHeight, 24, frameBytes);

    const std::string header =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));

    std::string movi, index;
    for (int frame = 0; frame < kFrames; ++frame) {
        putTag(index, "00db");
        put32(index, 0x10);  // AVIIF_KEYFRAME
        put32(index, static_cast<std::uint32_t>(4 + movi.size()));  // from the "movi" tag
        put32(index, frameBytes);
        movi += chunk("00db", animationFrame(frame));
    }

    std::string riff;
    putTag(riff, "AVI ");
    riff += header + list("movi", movi) + chunk("idx1", index);
    return chunk("RIFF", riff);
}

std::string ProgramLauncher() {
    return R"(#!/bin/sh
# Korvex!.exe: the program that saved uninstall data files (.kvu) of this Windows
# machine open with. Wine starts it as a host program; it starts Korvex on the
# machine it lies in, with the arguments it was given. Korvex writes this file when
# it is missing and never replaces it.

# The machine: the nearest folder above this file that holds the registry.
case $0 in /*) here=$0 ;; *) here=$PWD/$0 ;; esac
machine=
dir=$(dirname -- "$here")
while [ "$dir" != / ] && [ -n "$dir" ]; do
    if [ -f "$dir/system.reg" ]; then machine=$dir; break; fi
    dir=$(dirname -- "$dir")
done

# Korvex is gone: end quietly, as starting a missing program does.
korvex=$(command -v korvex) || exit 127

# Korvex reads its command line as Windows hands it over: a saved file's path in
# double quotes; "\u" and "\f" as they are.
for arg in "$@"; do
    shift
    case $arg in
        '\u' | '\f' | '"'*) set -- "$@" "$arg" ;;
        *) set -- "$@" "\"$arg\"" ;;
    esac
done
if [ -n "$machine" ]; then
    exec "$korvex" --machine "$machine" "$@" 2>/dev/null
fi
exec "$korvex" "$@" 2>/dev/null
)";
}

void PlaceSupportFiles(Services& services) {
    const std::string folder = ProgramFolderWithSlash(services.system);
    const std::pair<std::string_view, std::string (*)()> files[] = {
        {settings::kHelpFile, &HelpDocument},
        {settings::kIconFile, &UninstallIcon},
        {settings::kAnimationFile, &ScanAnimation},
        {settings::kProgramFile, &ProgramLauncher},
    };
    for (const auto& [name, make] : files) {
        const std::string path = folder + std::string(name);
        if (services.files.info(path).exists || !services.files.replaceFile(path, make())) continue;
        if (name == settings::kProgramFile) services.files.setExecutable(path);
    }
}

}  // namespace korvex
