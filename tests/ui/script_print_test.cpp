// A tool's script printed page by page onto metafiles made against the screen (96 dpi,
// 1024 x 768): the text each page draws and the fonts it asks for.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/gdi.h"
#include "classlib/print.h"
#include "engine/core/engine_startup.h"
#include "engine/text/layout.h"
#include "ui/view/script_print.h"

namespace {

struct PageRecord {
    std::vector<std::string> texts;
    std::vector<LONG> fontHeights;  // lfHeight of each font made, in order
};

int CALLBACK Collect(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM out) {
    auto* page = reinterpret_cast<PageRecord*>(out);
    if (r->iType == EMR_EXTTEXTOUTW) {
        const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(r);
        const auto* chars = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(r) + t->emrtext.offString);
        std::string text;
        for (DWORD i = 0; i < t->emrtext.nChars; ++i) text += static_cast<char>(chars[i]);
        page->texts.push_back(text);
    } else if (r->iType == EMR_EXTCREATEFONTINDIRECTW) {
        page->fontHeights.push_back(reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(r)->elfw.elfLogFont.lfHeight);
    }
    return 1;
}

// Steps "Step N"; the step `tall` (when not 0) is a hundred lines.
struct Steps {
    int32_t tall = 0;
    static LayoutNode* Text(void* context, int32_t step) {
        std::string text = "Step " + std::to_string(step);
        if (step == static_cast<Steps*>(context)->tall) {
            for (int i = 0; i < 100; ++i) text += "\rline";
        }
        return LayoutFromPlainText(text.c_str(), int32_t(text.size()), 1);
    }
};

class ScriptPrinting : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }

    // Prints one page as the print run does: OnPrepareDC, then OnPrint when it goes on.
    bool PrintPage(ScriptPrint& printer, CPrintInfo& info, UINT page, PageRecord* out) {
        HDC screen = GetDC(nullptr);
        HDC meta = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
        ReleaseDC(nullptr, screen);
        CDC dc;
        dc.Attach(meta);
        dc.m_bPrinting = true;
        info.m_nCurPage = page;
        info.m_bContinuePrinting = true;
        printer.OnPrepareDC(&dc, &info);
        const bool printed = info.m_bContinuePrinting;
        if (printed) printer.OnPrint(&dc, &info);
        dc.Detach();
        HENHMETAFILE file = CloseEnhMetaFile(meta);
        *out = {};
        EnumEnhMetaFile(nullptr, file, Collect, out, nullptr);
        DeleteEnhMetaFile(file);
        return printed;
    }
    static bool Has(const PageRecord& page, const std::string& text) {
        for (const std::string& t : page.texts)
            if (t == text) return true;
        return false;
    }
    // What OnPreparePrinting sets for a run, without a printer.
    static void BeginRun(ScriptPrint& printer) {
        printer.m_moreToPrint = 1;
        printer.m_firstPage = 1;
        printer.m_firstStep = 1;
        printer.m_pageToPrint = 0;
    }
};

// Steps of 14 points on a page of the screen's resolution: two pages, with room to spare
// for the fonts at hand.
constexpr int32_t kTwoPagesOfSteps = 30;

TEST_F(ScriptPrinting, TwoPagesTitleLargerFirstCommentOnlyThere) {
    Steps steps;
    ScriptPrint printer;
    printer.SetScript(kTwoPagesOfSteps, "Makes a kite.", "Kite Tool", Steps::Text, &steps);
    CPrintInfo info;
    BeginRun(printer);
    PageRecord one, two, three;
    ASSERT_TRUE(PrintPage(printer, info, 1, &one));
    EXPECT_EQ(info.m_nNumPreviewPages, 2u);
    ASSERT_TRUE(printer.m_moreToPrint);
    const int32_t second = printer.m_nextFirstStep;
    ASSERT_GT(second, 2);
    ASSERT_LT(second, kTwoPagesOfSteps);
    ASSERT_TRUE(PrintPage(printer, info, 2, &two));
    EXPECT_FALSE(printer.m_moreToPrint);
    EXPECT_FALSE(PrintPage(printer, info, 3, &three));

    EXPECT_TRUE(Has(one, "Kite Tool"));
    EXPECT_TRUE(Has(two, "Kite Tool"));
    EXPECT_TRUE(Has(one, "Makes a kite."));
    EXPECT_FALSE(Has(two, "Makes a kite."));
    EXPECT_TRUE(Has(one, "Step 1"));
    EXPECT_TRUE(Has(one, "Step " + std::to_string(second - 1)));
    EXPECT_FALSE(Has(one, "Step " + std::to_string(second)));
    EXPECT_TRUE(Has(two, "Step " + std::to_string(second)));
    EXPECT_TRUE(Has(two, "Step " + std::to_string(kTwoPagesOfSteps)));
    // The title's font (after the one that finds the body face): 14 points (19
    // pixels) on page 1, 10 (13) after.
    ASSERT_GE(one.fontHeights.size(), 2u);
    ASSERT_GE(two.fontHeights.size(), 2u);
    EXPECT_EQ(one.fontHeights[1], -19);
    EXPECT_EQ(two.fontHeights[1], -13);
    // The steps are 14 points high as well (19 pixels here), never 14 of the DC's pixels.
    EXPECT_EQ(std::count(one.fontHeights.begin(), one.fontHeights.end(), -14), 0);
    EXPECT_GT(std::count(one.fontHeights.begin(), one.fontHeights.end(), -19), 1);
}

TEST_F(ScriptPrinting, PageTwoAloneLaysOutPageOneWithoutDrawingIt) {
    Steps steps;
    ScriptPrint whole, alone;
    for (ScriptPrint* p : { &whole, &alone }) p->SetScript(kTwoPagesOfSteps, "Makes a kite.", "Kite Tool", Steps::Text, &steps);
    CPrintInfo info;
    PageRecord page, pageTwo;
    BeginRun(whole);
    PrintPage(whole, info, 1, &page);
    PrintPage(whole, info, 2, &page);
    BeginRun(alone);
    ASSERT_TRUE(PrintPage(alone, info, 2, &pageTwo));
    EXPECT_EQ(pageTwo.texts, page.texts);
    EXPECT_FALSE(Has(pageTwo, "Step 1"));
    EXPECT_FALSE(alone.m_moreToPrint);
}

TEST_F(ScriptPrinting, AStepTallerThanThePageGetsAPageOfItsOwnAndPrintingEnds) {
    Steps steps;
    steps.tall = 2;
    ScriptPrint printer;
    printer.SetScript(3, "", "Tall Tool", Steps::Text, &steps);
    CPrintInfo info;
    BeginRun(printer);
    PageRecord page;
    std::vector<PageRecord> pages;
    for (UINT n = 1; n <= 10 && PrintPage(printer, info, n, &page); ++n) pages.push_back(page);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_TRUE(Has(pages[0], "Step 1"));
    EXPECT_TRUE(Has(pages[1], "Step 2"));
    EXPECT_FALSE(Has(pages[1], "Step 3"));
    EXPECT_TRUE(Has(pages[2], "Step 3"));
}

}  // namespace
