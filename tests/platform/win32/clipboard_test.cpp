// The clipboard formats of sketches: framing, order, the NUL rules and the checks of
// blocks that other programs put there.
#include "platform/win32/clipboard.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/clipboard_availability.h"
#include "engine/core/memory.h"
#include "engine/core/services/clipboard.h"
#include "engine/core/services/preferences.h"
#include "engine/core/sketch.h"
#include "engine/docio/streams.h"
#include "platform/rules/clipboard_framing.h"
#include "platform/win32/render/graphics_port.h"

namespace {

char* EngineText(const std::string& text) {
    auto* block = static_cast<char*>(AllocMemory(text.size() + 1, 0));
    std::memcpy(block, text.c_str(), text.size() + 1);
    return block;
}

std::vector<UINT> Formats() {
    std::vector<UINT> out;
    if (!OpenClipboard(nullptr)) return out;
    for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) out.push_back(f);
    CloseClipboard();
    return out;
}

bool Has(const std::vector<UINT>& formats, UINT f) {
    for (UINT g : formats)
        if (g == f) return true;
    return false;
}

std::vector<uint8_t> BlockOf(UINT format) {
    std::vector<uint8_t> out;
    if (!OpenClipboard(nullptr)) return out;
    if (HANDLE h = GetClipboardData(format)) {
        const auto* p = static_cast<const uint8_t*>(GlobalLock(h));
        out.assign(p, p + GlobalSize(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

void PutRaw(UINT format, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!bytes.empty()) std::memcpy(GlobalLock(g), bytes.data(), bytes.size()), GlobalUnlock(g);
    SetClipboardData(format, g);
    CloseClipboard();
}

TEST(Clipboard, UnframingChecksTheStatedLengths) {
    struct Case { std::vector<uint8_t> block; bool ok; uint32_t offset, length; };
    const Case cases[] = {
        { { 8, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9 }, true, 12, 2 },
        { { 8, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8 }, true, 12, 0 },
        { { 12, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9 }, false, 0, 0 },  // another header length
        { { 8, 0, 0, 0, 1, 2, 3 }, false, 0, 0 },                              // shorter than its header
        { { 8, 0, 0 }, false, 0, 0 },
        { { 0xFF, 0xFF, 0xFF, 0xFF, 1 }, false, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        uint32_t offset = 0, length = 0;
        EXPECT_EQ(UnframeSketchData(c.block.data(), uint32_t(c.block.size()), 8, &offset, &length), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(offset, c.offset);
        EXPECT_EQ(length, c.length);
    }
}

// Objects go as the registered format behind their header, found again by name; a
// paste takes the header and the objects back, and availability follows each put.
TEST(Clipboard, ObjectsRoundTripAndAvailabilityFollows) {
    ASSERT_TRUE(RegisterClipboardFormats());
    EXPECT_EQ(SketchClipboardFormat(), RegisterClipboardFormatA("YRN400ScriptFormat"));
    const ScreenRect header = { 1, 2, 3, 4 };
    auto* data = static_cast<uint8_t*>(AllocMemory(5, 0));
    std::memcpy(data, "\x10\x20\x30\x40\x50", 5);
    ScreenRect rect = { 0, 0, 10, 10 };
    EXPECT_TRUE(PutSelectionOnClipboard(false, &rect, nullptr, nullptr, 0, nullptr, 0, data, 5, &header, 8));
    const std::vector<UINT> formats = Formats();
    EXPECT_TRUE(Has(formats, SketchClipboardFormat()));
    EXPECT_FALSE(Has(formats, CF_TEXT));
    EXPECT_FALSE(Has(formats, CF_ENHMETAFILE));
    EXPECT_EQ(CurrentClipboardAvailability().sketchObjects, 1);
    EXPECT_EQ(CurrentClipboardAvailability().plainText, 0);

    ScreenRect back{};
    uint32_t size = 0;
    uint8_t* pasted = PasteSketchDataFromClipboard(&size, &back, 8);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::memcmp(pasted, "\x10\x20\x30\x40\x50", 5), 0);
    EXPECT_EQ(std::memcmp(&back, &header, 8), 0);
    FreeMemory(pasted);
    // Asked for another header length: nothing.
    uint8_t twelve[12];
    EXPECT_EQ(PasteSketchDataFromClipboard(&size, twelve, 12), nullptr);
    EXPECT_EQ(size, 0u);

    // Another program's block shorter than its header says: nothing, no crash.
    PutRaw(SketchClipboardFormat(), { 8, 0, 0, 0, 1, 2 });
    EXPECT_EQ(PasteSketchDataFromClipboard(&size, &back, 8), nullptr);
}

// The caption editor's texts: the layout-language format and CF_TEXT, each with its NUL
// inside its block; Paste reads either with the NUL kept; a text of no bytes gives none.
TEST(Clipboard, TextsCarryTheirNul) {
    ASSERT_TRUE(RegisterClipboardFormats());
    PutTextOnClipboard(EngineText("<T'ab'>"), 7, EngineText("ab"), 2);
    const std::vector<uint8_t> plain = BlockOf(CF_TEXT);
    ASSERT_GE(plain.size(), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(plain.data())), "ab");
    const std::vector<uint8_t> layout = BlockOf(LayoutClipboardFormat());
    ASSERT_EQ(layout.size(), 8u);
    EXPECT_EQ(layout[7], 0);
    EXPECT_EQ(CurrentClipboardAvailability().formattedText, 1);
    EXPECT_EQ(CurrentClipboardAvailability().plainText, 1);
    EXPECT_EQ(CurrentClipboardAvailability().sketchObjects, 0);

    uint8_t* block = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(ReadClipboardData(kClipboardLayoutText, &block, &size), kResultOK);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block)), "<T'ab'>");
    FreeMemory(block);
    EXPECT_EQ(ReadClipboardData(kClipboardSketchData, &block, &size), kResultClipboardUnreadable);

    // Text without its NUL: the last byte gives way to it.
    PutRaw(LayoutClipboardFormat(), { 'x', 'y', 'z' });
    ASSERT_EQ(ReadClipboardData(kClipboardLayoutText, &block, &size), kResultOK);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block)), "xy");
    FreeMemory(block);
    PutRaw(LayoutClipboardFormat(), {});
    EXPECT_EQ(ReadClipboardData(kClipboardLayoutText, &block, &size), kResultClipboardUnreadable);
    EXPECT_EQ(block, nullptr);
}

GraphicsPort* gViewPort = nullptr;
GraphicsPort* ViewPortLookup(Sketch*) { return gViewPort; }

// The selection's picture: described "Velmora", its rectangle corrected for the screen's
// pixel shape by the device's own sizes, its frame in hundredths of a millimetre.
TEST(Clipboard, SelectionMetafile) {
    ASSERT_TRUE(InitStreamTable());
    Sketch* sketch = CreateSketch(0, nullptr);
    ASSERT_NE(sketch, nullptr);
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    sketch->windowRect = { 0, 0, 400, 300 };
    HDC screen = GetDC(nullptr);
    GraphicsPort port{};
    port.windowDC = screen;
    port.dc = screen;
    gViewPort = &port;
    SetSketchPortLookup(ViewPortLookup);
    const int32_t savedDpi = ThePreferences().resolution;
    ThePreferences().resolution = 96;

    ScreenRect rect = { 20, 30, 220, 130 };
    HENHMETAFILE metafile = RenderSelectionMetafile(&rect);
    ASSERT_NE(metafile, nullptr);
    const int hs = GetDeviceCaps(screen, HORZSIZE), vs = GetDeviceCaps(screen, VERTSIZE);
    const int hr = GetDeviceCaps(screen, HORZRES), vr = GetDeviceCaps(screen, VERTRES);
    ScreenRect expected = { 20, 30, 220, 130 };
    if (vr * hs > hr * vs) expected.right = int16_t(20 + MulDiv(200, vr * hs, hr * vs));
    else if (vr * hs < hr * vs) expected.bottom = int16_t(30 + MulDiv(100, hr * vs, vr * hs));
    EXPECT_EQ(std::memcmp(&rect, &expected, 8), 0);
    char description[32] = {};
    ASSERT_GT(GetEnhMetaFileDescriptionA(metafile, sizeof description, description), 0u);
    EXPECT_STREQ(description, "Velmora");
    ENHMETAHEADER h{};
    GetEnhMetaFileHeader(metafile, sizeof h, &h);
    EXPECT_EQ(h.rclFrame.left, 20 * 2540 / 96);
    EXPECT_EQ(h.rclFrame.right, expected.right * 2540 / 96);
    DeleteEnhMetaFile(metafile);

    ThePreferences().resolution = savedDpi;
    SetSketchPortLookup(nullptr);
    gViewPort = nullptr;
    ReleaseDC(nullptr, screen);
    SetCurrentSketch(previous, nullptr);
    FreeSketch(sketch);
}

}  // namespace
