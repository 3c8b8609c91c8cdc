#include "engine/text/code_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/memory.h"

namespace {

std::string Map(int32_t source, int32_t target, const std::string& in, bool* changedOut = nullptr) {
    bool changed = true;
    const uint32_t counted = MapTextWithCodeTable(nullptr, target, in.data(), uint32_t(in.size()), source, &changed);
    std::string out(counted + 8, '\x5a');
    bool written = false;
    const uint32_t n = MapTextWithCodeTable(out.data(), target, in.data(), uint32_t(in.size()), source, &written);
    EXPECT_EQ(n, counted);
    EXPECT_EQ(written, changed);
    // Nothing past the counted length is touched.
    EXPECT_EQ(out.substr(counted), std::string(8, '\x5a'));
    if (changedOut) *changedOut = changed;
    return out.substr(0, counted);
}

}  // namespace

TEST(CodeTables, OnlyMacAndWindowsHaveTables) {
    EXPECT_TRUE(HasCodeTable(kCharsetMac, kCharsetWindows));
    EXPECT_TRUE(HasCodeTable(kCharsetWindows, kCharsetMac));
    for (int32_t s = -1; s <= kCharsetCount; ++s) {
        for (int32_t t = -1; t <= kCharsetCount; ++t) {
            if ((s == 2 && t == 3) || (s == 3 && t == 2)) continue;
            EXPECT_FALSE(HasCodeTable(s, t)) << s << " " << t;
        }
    }
}

TEST(CodeTables, ConvertsBothWays) {
    struct Case { int32_t source, target; std::string in, out; bool changed; };
    const Case cases[] = {
        { 2, 3, "\xDB\xFB\xA1", "\xA4\xB0\xB0", true },        // currency, ring above as degree
        { 2, 3, "x\ry\r", "x\r\ny\r\n", true },
        { 2, 3, "2\xB9r", "2pir", true },
        { 2, 3, "\xF8\xB0\xF0\xC3", "\xF8\xB0\xF0\xC3", false }, // no counterpart: kept
        { 2, 3, "plain", "plain", false },
        { 2, 3, "", "", false },
        { 3, 2, "\xA4\xB0\xE9", "\xDB\xA1\x8E", true },
        { 3, 2, "a\r\nb\r", "a\rb\r", true },                    // a lone CR stays
        { 3, 2, "\x80\x81\x8A\xA6\xAD\xAF\xB2\xB3\xB9\xBC\xD0\xD7\xDD\xDE\xF0\xFE", 
                "\x80\x81\x8A\xA6\xAD\xAF\xB2\xB3\xB9\xBC\xD0\xD7\xDD\xDE\xF0\xFE", false },
        { 3, 3, "a\rb\xB9", "a\rb\xB9", false },                 // no table: copied
        { 0, 3, "\r", "\r", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        bool changed = false;
        EXPECT_EQ(Map(c.source, c.target, c.in, &changed), c.out);
        EXPECT_EQ(changed, c.changed);
    }
}

TEST(CodeTables, SharedCharactersComeBackFromWindows) {
    for (int32_t b = 0x80; b < 0x100; ++b) {
        const uint8_t w = kMacToWindowsHigh[b - 0x80];
        if (w == 0 || b == kMacPi) continue;
        SCOPED_TRACE(b);
        const std::string back = Map(3, 2, Map(2, 3, std::string(1, char(b))));
        // The ring above comes back as the degree sign it was given as.
        EXPECT_EQ(uint8_t(back[0]), b == 0xFB ? 0xA1 : b);
    }
}

TEST(CodeTables, ConvertTextCharsetReplacesOnlyChangedTexts) {
    char* text = static_cast<char*>(AllocMemory(5, 0));
    std::memcpy(text, "plain", 5);
    char* const before = text;
    uint32_t length = 0;
    EXPECT_EQ(ConvertTextCharset(&text, 5, true, &length, kCharsetMac, kCharsetWindows, 0), 1);
    EXPECT_EQ(text, before);
    EXPECT_EQ(length, 5u);

    std::memcpy(text, "a\r\xB9\xDB!", 5);
    EXPECT_EQ(ConvertTextCharset(&text, 5, true, &length, kCharsetMac, kCharsetWindows, 0), 1);
    EXPECT_EQ(length, 7u);
    EXPECT_STREQ(text, "a\r\npi\xA4!");
    FreeMemory(text);
}

TEST(CodeTables, OutOfMemoryKeepsTheText) {
    char* text = static_cast<char*>(AllocMemory(3, 0));
    std::memcpy(text, "\r\r\r", 3);
    char* const before = text;
    uint32_t length = 99;
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(ConvertTextCharset(&text, 3, false, &length, kCharsetMac, kCharsetWindows, kAllocNoReserve), 0);
    SetAllocFailureAfter(0);
    EXPECT_EQ(text, before);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(std::string(text, 3), "\r\r\r");
    FreeMemory(text);
}
