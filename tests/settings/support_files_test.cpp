// The files Korvex places beside the program must be files other programs can read:
// an icon the file manager shows, an animation a player accepts, a help document the
// help window can jump around in.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <vector>

#include "settings/support_files.h"

namespace korvex {
namespace {

// The little-endian 32-bit number at a byte offset.
std::uint32_t u32(const std::string& data, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(data[at + i]);
    return value;
}

TEST(SupportFiles, IconIsOneWellFormedImage) {
    const std::string ico = UninstallIcon();
    ASSERT_GE(ico.size(), 22u);
    // Reserved, type icon, one image of 32 by 32 pixels.
    EXPECT_EQ(ico.substr(0, 8), std::string("\0\0\1\0\1\0\x20\x20", 8));
    const std::uint32_t bytes = u32(ico, 14), offset = u32(ico, 18);
    EXPECT_EQ(offset + bytes, ico.size()) << "the image fills the file exactly";
    // A bitmap header of 32 by 64 pixels: the height counts colour and mask.
    EXPECT_EQ(std::vector<std::uint32_t>({u32(ico, offset), u32(ico, offset + 4), u32(ico, offset + 8)}),
              std::vector<std::uint32_t>({40, 32, 64}));
    EXPECT_EQ(40u + 32 * 32 * 4 + 32 * 4, bytes);
    // Something is drawn, and the corners are transparent.
    std::size_t opaque = 0;
    for (std::size_t p = 0; p < 32 * 32; ++p) opaque += static_cast<unsigned char>(ico[offset + 40 + p * 4 + 3]) == 255;
    EXPECT_GT(opaque, 300u);
    EXPECT_EQ(static_cast<unsigned char>(ico[offset + 40 + 3]), 0u);
}

TEST(SupportFiles, AnimationIsAnIndexedUncompressedAvi) {
    const std::string avi = ScanAnimation();
    ASSERT_GT(avi.size(), 64u);
    EXPECT_EQ(avi.substr(0, 4) + avi.substr(8, 8) + avi.substr(20, 8), "RIFFAVI LISThdrlavih");
    EXPECT_EQ(u32(avi, 4) + 8, avi.size());
    const std::uint32_t frames = u32(avi, 32 + 16), width = u32(avi, 32 + 32), height = u32(avi, 32 + 36);
    EXPECT_GT(frames, 1u);
    const std::uint32_t frameBytes = ((width * 3 + 3) / 4 * 4) * height;

    const std::size_t movi = avi.find("movi");
    ASSERT_NE(movi, std::string::npos);
    const std::size_t idx1 = avi.find("idx1", movi);
    ASSERT_NE(idx1, std::string::npos);
    EXPECT_EQ(u32(avi, idx1 + 4), frames * 16);
    EXPECT_EQ(idx1 + 8 + frames * 16, avi.size()) << "the index ends the file";
    for (std::uint32_t i = 0; i < frames; ++i) {
        const std::size_t entry = idx1 + 8 + i * 16;
        EXPECT_EQ(avi.substr(entry, 4), "00db");
        const std::size_t chunk = movi + u32(avi, entry + 8);
        ASSERT_LT(chunk + 8, avi.size());
        EXPECT_EQ(avi.substr(chunk, 4), "00db") << "index entry " << i << " points at its frame";
        EXPECT_EQ(u32(avi, chunk + 4), frameBytes);
        EXPECT_EQ(u32(avi, entry + 12), frameBytes);
    }
    // The frames differ: it moves.
    const std::size_t first = movi + u32(avi, idx1 + 8 + 8) + 8;
    const std::size_t last = movi + u32(avi, idx1 + 8 + (frames - 1) * 16 + 8) + 8;
    EXPECT_NE(avi.substr(first, frameBytes), avi.substr(last, frameBytes));
}

TEST(SupportFiles, HelpHasEveryKeywordTopicAndWorkingContentsLinks) {
    const std::string help = HelpDocument();
    for (const char* topic : {"Options", "Find Changes", "System cleaner", "Contents"}) {
        EXPECT_NE(help.find(std::string("<a name=\"") + topic + "\">"), std::string::npos) << topic;
    }
    // Every link inside the document leads to an anchor that exists.
    for (std::size_t at = help.find("href=\"#"); at != std::string::npos; at = help.find("href=\"#", at + 1)) {
        const std::size_t start = at + 7, end = help.find('"', start);
        const std::string target = help.substr(start, end - start);
        EXPECT_NE(help.find("<a name=\"" + target + "\">"), std::string::npos) << target;
    }
    // Lines end with CR LF, as every text file Korvex writes.
    EXPECT_NE(help.find("\r\n"), std::string::npos);
    EXPECT_FALSE(std::regex_search(help, std::regex("(^|[^\\r])\\n")));
}

}  // namespace
}  // namespace korvex
