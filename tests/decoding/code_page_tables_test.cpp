// Every fixed code-page table against the system's own converter (glibc iconv),
// byte for byte, with exactly the listed departures from the published mappings.

#include <gtest/gtest.h>
#include <iconv.h>

#include <map>
#include <optional>
#include <vector>

#include "decoding/charsets.h"

namespace qmp {
namespace {

struct CodePage {
    CharsetId id;
    const char* iconvName;
    bool windows;  // undefined bytes 0x80..0x9F stand for themselves
};

constexpr CodePage kCodePages[] = {
    {5, "ISO-8859-2", false},  {6, "ISO-8859-3", false},  {7, "ISO-8859-4", false},
    {8, "ISO-8859-5", false},  {9, "ISO-8859-6", false},  {10, "ISO-8859-7", false},
    {11, "ISO-8859-8", false}, {12, "ISO-8859-9", false}, {13, "ISO-8859-15", false},
    {14, "CP1250", true},      {15, "CP1251", true},      {16, "CP1252", true},
    {17, "CP1253", true},      {18, "CP1254", true},      {19, "CP1255", true},
    {20, "CP1256", true},      {21, "CP1257", true},      {22, "CP1258", true},
    {23, "KOI8-R", false},
};

// The character iconv gives for one byte, or nothing when the byte is undefined.
std::optional<char16_t> IconvChar(const char* codePage, unsigned char byte) {
    iconv_t cd = iconv_open("UTF-16LE", codePage);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    // A converter that waits for combining marks (windows-1255) holds the
    // character back until it is flushed.
    if (r != static_cast<size_t>(-1)) r = iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || sizeof out - outLeft != 2) return std::nullopt;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                 (static_cast<unsigned char>(out[1]) << 8));
}

std::vector<int> Range(int from, int to) {
    std::vector<int> bytes;
    for (int b = from; b <= to; ++b)
        bytes.push_back(b);
    return bytes;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Bytes that map to private-use code points, numbered upward from `first`.
std::map<CharsetId, std::pair<std::vector<int>, char16_t>> PrivateUseBytes() {
    return {
        {6, {{0xA5, 0xAE, 0xBE, 0xC3, 0xD0, 0xE3, 0xF0}, 0xF7F5}},
        {9,
         {Join({Range(0xA1, 0xA3),
                Range(0xA5, 0xAB),
                Range(0xAE, 0xBA),
                Range(0xBC, 0xBE),
                {0xC0},
                Range(0xDB, 0xDF),
                Range(0xF3, 0xFF)}),
          0xF7C8}},
        {10, {{0xA4, 0xA5, 0xAA, 0xAE, 0xD2, 0xFF}, 0xF7C2}},
        {11, {Join({{0xA1}, Range(0xBF, 0xDE), Range(0xFB, 0xFF)}), 0xF79C}},
        {17, {{0xAA, 0xD2, 0xFF}, 0xF8F9}},
        {19, {Join({Range(0xD9, 0xDF), {0xFB, 0xFC, 0xFF}}), 0xF88D}},
        {21, {{0xA1, 0xA5}, 0xF8FC}},
    };
}

// Single bytes whose character departs from the current published mapping.
std::map<CharsetId, std::map<int, char16_t>> FixedBytes() {
    return {
        {10, {{0xA1, 0x02BD}, {0xA2, 0x02BC}}},
        {11, {{0xAF, 0x203E}}},
        {19, {{0xCA, 0x05BA}}},
    };
}

TEST(CodePageTables, MatchTheSystemConverterExceptTheListedBytes) {
    const auto privateUse = PrivateUseBytes();
    const auto fixed = FixedBytes();
    for (const CodePage& page : kCodePages) {
        SCOPED_TRACE(page.iconvName);
        const HighHalfTable* table = CharsetHighHalf(page.id);
        ASSERT_NE(table, nullptr);
        std::map<int, char16_t> expectedOverride;
        if (auto it = privateUse.find(page.id); it != privateUse.end()) {
            char16_t next = it->second.second;
            for (int byte : it->second.first)
                expectedOverride[byte] = next++;
        }
        if (auto it = fixed.find(page.id); it != fixed.end()) {
            for (auto [byte, ch] : it->second)
                expectedOverride[byte] = ch;
        }
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            SCOPED_TRACE(byte);
            const char16_t actual = (*table)[static_cast<std::size_t>(byte - 0x80)];
            if (auto it = expectedOverride.find(byte); it != expectedOverride.end()) {
                EXPECT_EQ(actual, it->second);
                continue;
            }
            const std::optional<char16_t> published =
                IconvChar(page.iconvName, static_cast<unsigned char>(byte));
            if (published) {
                EXPECT_EQ(actual, *published);
            } else {
                // Only a windows code page may leave a byte undefined without a listed
                // private-use character, and only in 0x80..0x9F.
                ASSERT_TRUE(page.windows && byte <= 0x9F);
                EXPECT_EQ(actual, static_cast<char16_t>(byte));
            }
        }
    }
}

TEST(CodePageTables, OnlyIdsFiveToTwentyThreeHaveTables) {
    for (int id = 0; id <= 30; ++id) {
        EXPECT_EQ(CharsetHighHalf(static_cast<CharsetId>(id)) != nullptr, id >= 5 && id <= 23)
            << id;
    }
}

}  // namespace
}  // namespace qmp
