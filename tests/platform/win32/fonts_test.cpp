// The installed fonts as Wine enumerates them. Which faces exist depends on the prefix
// (scripts/wine-env adds Wine's fonts and Arial drawn by Liberation Sans); each test
// asserts the rule for what is installed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/services/fonts.h"
#include "engine/core/services/text_style.h"
#include "engine/interact/preferences_dialog.h"
#include "engine/text/text_style.h"
#include "platform/rules/font_list.h"
#include "platform/win32/fonts.h"

namespace {

class InstalledFonts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ReleaseFontList(&TheFontList());
        ASSERT_TRUE(BuildFontList());
        ChooseMathSymbolFont();
    }
    static const FontList& List() { return TheFontList(); }
    static TextStyle Style(int16_t font, int16_t size, int16_t width) {
        TextStyle style;
        FillTextStyle(&style, 1);
        style.field[kStyleFont] = font;
        style.field[kStyleSize] = size;
        style.field[kStyleWidth] = width;
        style.field[kStyleScriptLevel] = 0;
        return style;
    }
};

TEST_F(InstalledFonts, EveryFaceOnceInByteOrderAfterTheDefaultFace) {
    const FontList& list = List();
    ASSERT_GT(list.size, 2);
    for (int32_t i = 2; i < list.size; ++i)
        EXPECT_LT(std::strcmp(list.items[i - 1].faceName, list.items[i].faceName), 0)
            << list.items[i - 1].faceName << " / " << list.items[i].faceName;
    for (int32_t i = 1; i < list.size; ++i) EXPECT_NE(list.items[i].faceName[0], 0);

    const char* first = list.items[0].faceName;
    if (FindFontIndex("Arial") > 0) {
        EXPECT_STREQ(first, "Arial");
    } else if (FindFontIndex("System") > 0) {
        EXPECT_STREQ(first, "System");
    }
    EXPECT_GT(FindFontIndex(first), 0);  // the default face is also listed in its place
    EXPECT_EQ(DefaultFontIndex(), FindFontIndex(first));
}

// Whether a listed face draws the angle character (208) in its own character set.
bool DrawsAngle(const InstalledFont& face) {
    LOGFONTA wanted{};
    wanted.lfHeight = -16;
    wanted.lfCharSet = face.charset;
    std::memcpy(wanted.lfFaceName, face.faceName, LF_FACESIZE);
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontIndirectA(&wanted);
    HGDIOBJ old = SelectObject(screen, font);
    WORD glyph = 0xFFFF;
    GetGlyphIndicesA(screen, "\xD0", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return glyph != 0xFFFF;
}

TEST_F(InstalledFonts, MathSymbolFaceOrTheDeferredCheck) {
    const int32_t symbol = FindFontIndex("Symbol");
    if (symbol > 0 && (List().items[symbol].traits & kTraitSymbol)) {
        EXPECT_EQ(List().items[symbol].charset, kSymbolCharset);
        // "Symbol" by name; when that face draws no angle at its symbol code (Wine's own
        // does not) a face named like it that does takes its place, if one is installed.
        const int32_t chosen = SymbolFontIndex();
        ASSERT_GT(chosen, 0);
        EXPECT_STREQ(MathSymbolFaceName(), List().items[chosen].faceName);
        if (DrawsAngle(List().items[symbol])) {
            EXPECT_EQ(chosen, symbol);
        } else if (chosen != symbol) {
            EXPECT_TRUE(DrawsAngle(List().items[chosen])) << List().items[chosen].faceName;
            EXPECT_NE(std::strstr(List().items[chosen].faceName, "Symbol"), nullptr);
        }
    } else {
        EXPECT_EQ(SymbolFontIndex(), 0);
        EXPECT_EQ(PendingPreferencesCheck(), 1);
    }
}

TEST_F(InstalledFonts, StoredFacesMapBackToTheirNumbers) {
    const FontList& list = List();
    uint8_t stored[40];
    ASSERT_GT(GetFontSpec(stored, 1), 5u);
    int16_t number = 0;
    FindFontNumber(&number, stored);
    EXPECT_EQ(number, 1);  // the default face, though it is listed again later

    const int32_t last = list.size - 1;
    GetFontSpec(stored, static_cast<int16_t>(last + 1));
    std::string lowered(reinterpret_cast<char*>(stored + 2));
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::memcpy(stored + 2, lowered.c_str(), lowered.size() + 1);
    FindFontNumber(&number, stored);
    EXPECT_EQ(std::string(list.items[number - 1].faceName).size(), lowered.size());
    EXPECT_EQ(GetFontSpec(nullptr, static_cast<int16_t>(list.size + 1)), 0u);
}

TEST_F(InstalledFonts, NarrowAndWideStylesTakeTheirWidthFromTheAverage) {
    const TextStyle plainStyle = Style(1, 10, 1), narrowStyle = Style(1, 10, 2), wideStyle = Style(1, 10, 3);
    const TextStyle outsideStyle = Style(static_cast<int16_t>(List().size + 5), 1, 1);
    LOGFONTA plain;
    HFONT font = CreateStyleFont(&plainStyle, &plain);
    ASSERT_NE(font, nullptr);
    DeleteObject(font);
    EXPECT_EQ(plain.lfHeight, -10);
    EXPECT_EQ(plain.lfWidth, 0);
    EXPECT_STREQ(plain.lfFaceName, List().items[0].faceName);

    // The average width of the face-less font of the same height.
    LOGFONTA bare{};
    bare.lfHeight = -10;
    bare.lfWeight = FW_NORMAL;
    HFONT measured = CreateFontIndirectA(&bare);
    HDC desktop = GetDC(nullptr);
    HGDIOBJ old = SelectObject(desktop, measured);
    TEXTMETRICA metrics{};
    GetTextMetricsA(desktop, &metrics);
    SelectObject(desktop, old);
    ReleaseDC(nullptr, desktop);
    DeleteObject(measured);
    ASSERT_GT(metrics.tmAveCharWidth, 0);

    LOGFONTA narrow, wide;
    StyleToLogFont(&narrowStyle, &narrow);
    StyleToLogFont(&wideStyle, &wide);
    EXPECT_EQ(narrow.lfWidth, (8 * metrics.tmAveCharWidth + 5) / 10);
    EXPECT_EQ(wide.lfWidth, (5 * metrics.tmAveCharWidth + 2) / 4);

    LOGFONTA outside;
    StyleToLogFont(&outsideStyle, &outside);
    EXPECT_STREQ(outside.lfFaceName, List().items[0].faceName);
    EXPECT_EQ(outside.lfHeight, -1);
}

TEST_F(InstalledFonts, FontMenuItemsFollowTheList) {
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(AppendFontMenuItems(menu, 7, 3), List().size);
    const int items = GetMenuItemCount(menu);
    EXPECT_EQ(items, FontMenuItemCount(List()));
    char name[64];
    GetMenuStringA(menu, kFirstFontMenuId, name, sizeof name, MF_BYCOMMAND);
    EXPECT_STREQ(name, List().items[1].faceName);
    EXPECT_EQ(GetMenuItemID(menu, items - 1), kFirstFontMenuId + static_cast<UINT>(items) - 1);
    EXPECT_EQ(FontMenu(), menu);
    DestroyMenu(menu);
}

TEST_F(InstalledFonts, MeasuredTextGrowsWithItsLines) {
    const TextStyle style = Style(1, 12, 1);
    int16_t width = 0, height = 0, width2 = 0, height2 = 0;
    MeasureStyledText("Wide", 4, 0, &style, 0, &width, &height);
    MeasureStyledText("Wide\nWide", 9, 0, &style, 0, &width2, &height2);
    EXPECT_GT(width, 0);
    EXPECT_EQ(width2, width);
    EXPECT_GE(height2, 2 * height - 1);
}

}  // namespace
