// Wine's registry file format: the reader's escapes and value forms, the writer's
// style, and byte-for-byte round trips of real files made by Wine.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/wine/reg_parse.h"
#include "platform/wine/reg_text.h"
#include "platform/wine/reg_write.h"
#include "wine_test_support.h"

namespace korvex::wine {
namespace {

using namespace korvex::testing;

// A key by the names on its path, or nullptr.
RegKey* find(Hive& hive, std::initializer_list<std::u16string_view> names) {
    RegKey* k = hive.top.get();
    for (std::u16string_view name : names) k = k ? k->findChild(Fold(name)) : nullptr;
    return k;
}

// Reads text as a file that exists.
bool parse(Hive& hive, const std::string& text, std::string* error = nullptr) {
    hive.existed = true;
    return ParseHive(hive, text, error);
}

std::string utf16z(std::u16string_view s) { return Utf16ToBytes(s) + std::string(2, '\0'); }

// Forgets the original text so that everything is written the writer's own way.
void forgetText(RegKey& key) {
    key.lead = key.header = {};
    for (auto& v : key.values) v.lead = v.raw = {};
    for (auto& c : key.children) forgetText(*c);
}

// A key's values in order: name, type and data.
using Values = std::vector<std::tuple<std::u16string, std::uint32_t, std::string>>;

TEST(WineFormat, RealFilesRoundTripByteForByte) {
    for (const char* name : {"system.reg", "user.reg"}) {
        SCOPED_TRACE(name);
        const std::string original = ReadHostFile(Fixture(name));
        Hive hive;
        std::string error;
        ASSERT_TRUE(parse(hive, original, &error)) << error;
        EXPECT_EQ(SerializeHive(hive), original);
        // Written entirely anew, the file is still what Wine wrote: same order,
        // escapes, wrapping of hex data and implied parent keys.
        forgetText(*hive.top);
        hive.trailer = {};
        EXPECT_EQ(SerializeHive(hive), original);
    }
}

// Every value form Wine writes or reads, one row each: the lines of a hand-made file,
// the value read from them, and the line the writer makes of it anew ("" = the same).
struct Form { const char* lines; std::u16string name; std::uint32_t type; std::string data; const char* written; };
const Form kForms[] = {
    {"\"na\\\"me\"=\"Caf\\x20ac \\\"q\\\" \\\\ tab\\tx\"", u"na\"me", REG_SZ, utf16z(u"Caf\u20ac \"q\" \\ tab\tx"), ""},
    {"@=\"default\"\n; a comment between values", u"", REG_SZ, utf16z(u"default"), "@=\"default\""},
    {"\"Ctl\"=\"\\a\\b\\n\\v\\f\\r\\e\\0015\\1x\"", u"Ctl", REG_SZ,
     utf16z(std::u16string(u"\a\b\n\v\f\r\x1b\x01" u"5\x01x")), ""},
    {"\"Raw\"=\"Caf\xc3\xa9 \xe2\x82\xac\"", u"Raw", REG_SZ, utf16z(u"Caf\u00e9 \u20ac"), "\"Raw\"=\"Caf\\xe9 \\x20ac\""},
    {"\"Short\"=\"\\xe9z\\x00e9a\"", u"Short", REG_SZ, utf16z(u"\u00e9z\u00e9a"), ""},
    {"\"Expand\"=str(2):\"%SystemRoot%\\\\x\"", u"Expand", REG_EXPAND_SZ, utf16z(u"%SystemRoot%\\x"), ""},
    {"\"Multi\"=str(7):\"a\\0b\\0\"", u"Multi", REG_MULTI_SZ, utf16z(std::u16string(u"a\0b\0", 4)), ""},
    {"\"Plain\"=str:\"p\"", u"Plain", REG_SZ, utf16z(u"p"), "\"Plain\"=\"p\""},
    {"\"Dword\"=dword:0000002a", u"Dword", REG_DWORD, std::string("\x2a\0\0\0", 4), ""},
    {"\"Odd\"=dword:000000054", u"Odd", REG_DWORD, std::string("\x54\0\0\0", 4), "\"Odd\"=dword:00000054"},
    {"\"Bin\"=hex:01,02,ff", u"Bin", REG_BINARY, "\x01\x02\xff", ""},
    {"\"Qword\"=hex(b):01,00,00,00,00,00,00,00", u"Qword", REG_QWORD, std::string("\x01\0\0\0\0\0\0\0", 8), ""},
    {"\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n  16,17,18", u"Long",
     REG_BINARY, std::string("\0\1\2\3\4\5\6\7\10\11\12\13\14\15\16\17\20\21\22\23\24\25\26\27\30", 25),
     "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\"},
};

// A file with one key holding every form (its class and time set), a value line the
// reader does not understand, an unknown option and an empty key.
std::string handMade() {
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
                       "[Software\\\\Zz\\[Test\\]] 1796505343\n#time=1dd84fdc9c6a996\n#class=\"Cls \\\"x\\\"\"\n";
    for (const Form& form : kForms) text += std::string(form.lines) + "\n";
    return text + "\"Broken\"=nonsense\n#unknown option\n\n[Software\\\\Zz\\\\Empty] 1796505343\n#time=1dd84fdc9c6a996\n\n";
}

TEST(WineFormat, EveryValueFormIsReadAndWrittenAsWineDoes) {
    Hive hive;
    ASSERT_TRUE(parse(hive, handMade()));
    EXPECT_EQ(SerializeHive(hive), handMade());

    RegKey* key = find(hive, {u"Software", u"Zz[Test]"});
    ASSERT_NE(key, nullptr);
    Values read, expected;  // "Broken" is kept as text, not as a value
    for (const auto& v : key->values) read.emplace_back(v.name, v.type, v.data);
    for (const Form& form : kForms) expected.emplace_back(form.name, form.type, form.data);
    EXPECT_EQ(read, expected);
    EXPECT_NE(find(hive, {u"software", u"zz", u"empty"}), nullptr);

    forgetText(*hive.top);
    const std::string written = SerializeHive(hive);
    std::vector<std::string> lines = {"[Software\\\\Zz\\[Test\\]] 1796505343", "#class=\"Cls \\\"x\\\"\""};
    for (const Form& form : kForms) lines.push_back(*form.written ? form.written : form.lines);
    for (const std::string& line : lines) EXPECT_NE(written.find("\n" + line + "\n"), std::string::npos) << line;

    // Strings without a whole terminating NUL go out as hex; a DWORD's top bit stays unsigned.
    const std::pair<RegValue, const char*> rows[] = {
        {{u"", REG_SZ, "a", {}, {}}, "@=hex(1):61\n"},                            // half a UTF-16 unit: not text
        {{u"", REG_SZ, std::string("a\0", 2), {}, {}}, "@=hex(1):61,00\n"},       // no terminating NUL
        {{u"D", REG_DWORD, std::string("\0\0\0\x80", 4), {}, {}}, "\"D\"=dword:80000000\n"},
    };
    for (const auto& [value, text] : rows) EXPECT_EQ(FormatValue(value), text);
}

// Whatever a file holds, reading it never fails past the first line, and what is
// read is written back as it was.
TEST(WineFormat, DamagedFilesAreKeptAsTheyAre) {
    const std::string made = handMade();
    for (std::size_t cut = 24; cut <= made.size(); ++cut) {
        Hive hive;
        ASSERT_TRUE(parse(hive, made.substr(0, cut))) << cut;
        ASSERT_EQ(SerializeHive(hive), made.substr(0, cut)) << cut;
    }
    std::string noise = "WINE REGISTRY Version 2\n";
    unsigned seed = 12345;
    const char pieces[] = "[]\\\"@=:,#\nhexdwordstr(7)\r\x80\xff ab01";
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += pieces[(seed >> 16) % (sizeof pieces - 1)];
    }
    Hive hive, again;
    ASSERT_TRUE(parse(hive, noise));
    EXPECT_TRUE(parse(again, SerializeHive(hive)));
}

TEST(WineFormat, HandEditedOrderIsKeptAndNewKeysFollowTheirPredecessor) {
    const std::string b = "\n[Software\\\\B] 1796505343\n#time=1dd84fdc9c6a996\n\"v\"=\"b\"\n";
    const std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n" + b +
                             "\n[Software\\\\A] 1796505343\n#time=1dd84fdc9c6a996\n\"v\"=\"a\"\n";
    Hive hive;
    ASSERT_TRUE(parse(hive, text));
    EXPECT_EQ(SerializeHive(hive), text);
    RegKey* software = find(hive, {u"Software"});
    ASSERT_NE(software, nullptr);
    software->child(u"C")->modified = 0x1dd84fdc9c6a996ULL;
    // C follows B in key order, so its section goes right after B's.
    std::string expected = text;
    expected.insert(expected.find(b) + b.size(), "\n[Software\\\\C] 1796505343\n#time=1dd84fdc9c6a996\n");
    EXPECT_EQ(SerializeHive(hive), expected);
}

}  // namespace
}  // namespace korvex::wine
