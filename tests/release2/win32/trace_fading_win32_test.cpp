#include "release2/platform/win32/trace_fading_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/services/later_release.h"
#include "platform/win32/render/traces.h"
#include "release2/platform/win32/platform_forms_win32.h"
#include "release2/platform/trace_fading.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

// A bottom-up DIB section of a given depth in a memory DC; 8 bits take a small table.
class DepthCanvas {
public:
    DepthCanvas(int width, int height, int bits, std::vector<RGBQUAD> table = {}) : width_(width), bits_(bits) {
        std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* info = reinterpret_cast<BITMAPINFO*>(block.data());
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = width;
        info->bmiHeader.biHeight = height;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = WORD(bits);
        info->bmiHeader.biCompression = BI_RGB;
        info->bmiHeader.biClrUsed = DWORD(table.size());
        for (size_t i = 0; i < table.size(); ++i) info->bmiColors[i] = table[i];
        dc_ = CreateCompatibleDC(nullptr);
        section_ = CreateDIBSection(dc_, info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), nullptr, 0);
        old_ = SelectObject(dc_, section_);
        stride_ = (width * bits + 31) / 32 * 4;
        height_ = height;
    }
    ~DepthCanvas() {
        SelectObject(dc_, old_);
        DeleteObject(section_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    uint8_t* Pixel(int x, int y) {
        GdiFlush();
        return pixels_ + (height_ - 1 - y) * stride_ + x * bits_ / 8;
    }
    uint16_t Pixel16(int x, int y) { const uint8_t* p = Pixel(x, y); return uint16_t(p[0] | p[1] << 8); }

private:
    int width_, height_, bits_, stride_ = 0;
    HDC dc_;
    HBITMAP section_;
    HGDIOBJ old_;
    uint8_t* pixels_ = nullptr;
};

class TraceFadingTest : public RenderTest {
protected:
    void Trace(HDC dc, const ScreenRect& r, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        const RECT box = { r.left, r.top, r.right, r.bottom };
        FillRect(dc, &box, brush);
        DeleteObject(brush);
        port_.tracesDC = dc;
        port_.tracesDirty = r;
        port_.fadeCounter = kFadeCycles;
    }
};

}  // namespace

TEST_F(TraceFadingTest, TrueColourFadesOneBandAStepAndEndsAtTheBackground) {
    for (COLORREF background : { kWhite, RGB(255, 255, 200) }) {
        SCOPED_TRACE(background);
        SetBackground(kWhite);  // the traces layer is white where nothing was traced
        sketch_->settings.palette[kColorSlotBackground] = background;
        Trace(canvas_.dc(), { 20, 20, 30, 40 }, kBlack);
        port_.fadeBand = 0;
        port_.tracesBitsPerPixel = 32;
        // Grown to rows 19..40: bands of five rows from 19, the last to 40.
        release2::FadeTracesStep(&port_);
        EXPECT_EQ(canvas_.At(25, 23), RGB(15, 15, GetBValue(background) == 255 ? 15 : 12));
        EXPECT_EQ(canvas_.At(25, 24), kBlack);
        for (int i = 0; i < 3; ++i) release2::FadeTracesStep(&port_);
        EXPECT_EQ(canvas_.At(25, 39), canvas_.At(25, 20));
        EXPECT_EQ(port_.fadeCounter, kFadeCycles - 1);
        int steps = 4;
        while (port_.fadeCounter > 0 && steps < 1000) {
            release2::FadeTracesStep(&port_);
            ++steps;
            if (steps == 64) {
                EXPECT_NE(canvas_.At(25, 30), canvas_.At(10, 10));  // mid-fade: a mark still
            }
        }
        EXPECT_EQ(steps, (kFadeCycles - 1) * kFadeBandCount + 1);
        // Not a few units short: cleared to the layer's background, and nothing more to fade.
        EXPECT_EQ(canvas_.Count(kWhite), 200 * 200);
        EXPECT_GE(port_.tracesDirty.left, port_.tracesDirty.right);
        release2::FadeTracesStep(&port_);
        EXPECT_EQ(port_.fadeCounter, 0);
    }
}

TEST_F(TraceFadingTest, RectInPlaceTakesTheDcsMappingAtEachDepth) {
    {
        // A scrolled layer: logical (20, 20) is pixel (10, 15).
        DepthCanvas canvas(40, 40, 32);
        PatBlt(canvas.dc(), 0, 0, 40, 40, BLACKNESS);
        SetViewportOrgEx(canvas.dc(), -10, -5, nullptr);
        canvas.Pixel(0, 0)[3] = 0x77;
        canvas.Pixel(10, 15)[3] = 0x77;
        EXPECT_TRUE(release2::FadeRectInPlace(canvas.dc(), 32, 20, 20, 4, 4, RGB(255, 0, 255)));
        const uint8_t* p = canvas.Pixel(10, 15);
        EXPECT_EQ(p[0], 15);  // blue
        EXPECT_EQ(p[1], 0);
        EXPECT_EQ(p[2], 15);  // red
        EXPECT_EQ(canvas.Pixel(13, 18)[0], 15);
        EXPECT_EQ(canvas.Pixel(14, 18)[0], 0);
        EXPECT_EQ(canvas.Pixel(9, 15)[0], 0);
        EXPECT_EQ(canvas.Pixel(0, 0)[3], 0x77);
    }
    {
        DepthCanvas canvas(16, 8, 16);
        PatBlt(canvas.dc(), 0, 0, 16, 8, BLACKNESS);
        // One unit from a white background reaches it in one step.
        canvas.Pixel(1, 1)[0] = 0xFF;
        canvas.Pixel(1, 1)[1] = 0x7B;  // red 30, green 31, blue 31
        EXPECT_TRUE(release2::FadeRectInPlace(canvas.dc(), 16, 0, 0, 16, 8, RGB(255, 255, 255)));
        EXPECT_EQ(canvas.Pixel16(1, 1), 0x7FFF);
        EXPECT_EQ(canvas.Pixel16(0, 0), (1 << 10) | (1 << 5) | 1);
    }
}

TEST_F(TraceFadingTest, PaletteMethodDissolvesToADarkBackgroundAtEightBits) {
    // Black, the dark background, the mark's colour, white.
    const std::vector<RGBQUAD> table = { { 0, 0, 0, 0 }, { 80, 0, 0, 0 }, { 0, 0, 255, 0 }, { 255, 255, 255, 0 } };
    DepthCanvas canvas(32, 32, 8, table);
    PatBlt(canvas.dc(), 0, 0, 32, 32, BLACKNESS);
    sketch_->settings.palette[kColorSlotBackground] = RGB(0, 0, 80);
    // Grown by one pixel: rows and columns 8..23, four whole 8 x 8 cells.
    Trace(canvas.dc(), { 9, 9, 23, 23 }, RGB(255, 0, 0));
    port_.tracesBitsPerPixel = -1;
    auto count = [&](uint8_t index) {
        int n = 0;
        for (int y = 8; y < 24; ++y)
            for (int x = 8; x < 24; ++x) n += *canvas.Pixel(x, y) == index;
        return n;
    };
    const int marked = count(2);
    EXPECT_EQ(marked, 14 * 14);
    for (int step = 1; step < kFadeCycles; ++step) {
        release2::FadeTracesStep(&port_);
        // Two pixels of each of the four cells a step, whatever they held; none other.
        ASSERT_EQ(count(1), 8 * step) << step;
        ASSERT_EQ(count(0) + count(1) + count(2), 16 * 16) << step;
    }
    release2::FadeTracesStep(&port_);
    EXPECT_EQ(count(0), 16 * 16);
    EXPECT_GE(port_.tracesDirty.left, port_.tracesDirty.right);
}

// The shared step runs figlate's form once it is installed, and the dissolve without it:
// mid-fade the later release shows intermediate colours, the dissolve only the mark's
// colour or the background.
TEST_F(TraceFadingTest, SharedStepTakesTheInstalledForm) {
    for (bool later : { true, false }) {
        SCOPED_TRACE(later);
        LaterReleaseForms forms = {};
        AddPlatformWin32Forms(&forms);
        if (later) InstallLaterForms(forms);
        SetBackground(kWhite);
        Trace(canvas_.dc(), { 16, 16, 48, 48 }, kBlack);
        port_.tracesBitsPerPixel = 32;
        for (int i = 0; i < 8; ++i) FadeTracesStep(&port_);
        ResetLaterForms();
        if (later) {
            EXPECT_GT(canvas_.Count(RGB(30, 30, 30)), 0);  // two cycles: 0 -> 15 -> 30
            EXPECT_EQ(canvas_.Count(kBlack), 0);
        } else {
            EXPECT_EQ(canvas_.Count(kBlack) + canvas_.Count(kWhite), 200 * 200);
            EXPECT_GT(canvas_.Count(kBlack), 0);
        }
    }
}
