#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "release2/draw/win32/antialias_layer.h"
#include "release2/draw/win32/gdiplus_calls.h"

using Gdiplus::GpStatus;

namespace {

// ---- A table that never touches gdiplus.dll, for starting and stopping.

struct Version {
    DWORD major, minor, platform;
    const char* servicePack;
};
Version gVersion;
int gStartups, gShutdowns, gFrees;
GpStatus gStartupStatus;
bool gAllocFails, gDesktopFails;
int gDesktopObject;

BOOL WINAPI FakeVersion(OSVERSIONINFOA* info) {
    info->dwMajorVersion = gVersion.major;
    info->dwMinorVersion = gVersion.minor;
    info->dwPlatformId = gVersion.platform;
    std::strcpy(info->szCSDVersion, gVersion.servicePack);
    return info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOA);
}
bool LibraryThere() { return true; }
bool LibraryMissing() { return false; }
GpStatus WINGDIPAPI FakeStartup(ULONG_PTR* token, const Gdiplus::GdiplusStartupInput* input,
                                Gdiplus::GdiplusStartupOutput* output) {
    ++gStartups;
    EXPECT_EQ(input->GdiplusVersion, 1u);
    EXPECT_EQ(input->DebugEventCallback, nullptr);
    EXPECT_FALSE(input->SuppressBackgroundThread);
    EXPECT_FALSE(input->SuppressExternalCodecs);
    EXPECT_EQ(output, nullptr);
    *token = 77;
    return gStartupStatus;
}
VOID WINGDIPAPI FakeShutdown(ULONG_PTR token) {
    EXPECT_EQ(token, 77u);
    ++gShutdowns;
}
void* WINGDIPAPI FakeAlloc(size_t size) { return gAllocFails ? nullptr : std::malloc(size); }
VOID WINGDIPAPI FakeFree(void* block) {
    ++gFrees;
    std::free(block);
}
GpStatus WINGDIPAPI FakeCreateFromHwnd(HWND, Gdiplus::GpGraphics** graphics) {
    if (gDesktopFails) return Gdiplus::OutOfMemory;
    *graphics = reinterpret_cast<Gdiplus::GpGraphics*>(&gDesktopObject);
    return Gdiplus::Ok;
}
GpStatus WINGDIPAPI FakeDeleteGraphics(Gdiplus::GpGraphics*) { return Gdiplus::Ok; }

// Every other entry only has to exist.
template <typename Fn> void Fill(Fn* entry) { *entry = reinterpret_cast<Fn>(reinterpret_cast<void*>(&FakeDeleteGraphics)); }

GdiPlusCalls FakeTable() {
    GdiPlusCalls c = {};
    Fill(&c.getDC); Fill(&c.releaseDC); Fill(&c.setSmoothingMode); Fill(&c.createPen);
    Fill(&c.setPenDashArray); Fill(&c.setPenDashOffset); Fill(&c.deletePen); Fill(&c.createSolidFill);
    Fill(&c.createHatchBrush); Fill(&c.deleteBrush); Fill(&c.drawLine); Fill(&c.drawLines);
    Fill(&c.drawEllipse); Fill(&c.fillEllipse); Fill(&c.drawArc); Fill(&c.fillRectangle);
    Fill(&c.fillPolygon); Fill(&c.createFromHdc);
    c.getVersion = FakeVersion;
    c.libraryPresent = LibraryThere;
    c.startup = FakeStartup;
    c.shutdown = FakeShutdown;
    c.alloc = FakeAlloc;
    c.free = FakeFree;
    c.createFromHwnd = FakeCreateFromHwnd;
    c.deleteGraphics = FakeDeleteGraphics;
    return c;
}

class GdiPlusStartTest : public ::testing::Test {
protected:
    GdiPlusStartTest() {
        StopGdiPlus();
        GdiPlusCallTable() = FakeTable();
        gVersion = { 5, 1, VER_PLATFORM_WIN32_NT, "Service Pack 3" };
        gStartups = gShutdowns = gFrees = 0;
        gStartupStatus = Gdiplus::Ok;
        gAllocFails = gDesktopFails = false;
    }
    ~GdiPlusStartTest() override {
        StopGdiPlus();
        ResetGdiPlusCallTable();
    }
};

TEST_F(GdiPlusStartTest, StartsOnlyWhereTheVersionCarriesGdiPlus) {
    struct Case { Version version; bool starts; };
    const Case cases[] = {
        { { 4, 0, VER_PLATFORM_WIN32_WINDOWS, "" }, false },            // 95
        { { 4, 0, VER_PLATFORM_WIN32_WINDOWS, " B" }, false },          // 95 OSR2
        { { 4, 10, VER_PLATFORM_WIN32_WINDOWS, " A" }, true },          // 98
        { { 4, 90, VER_PLATFORM_WIN32_WINDOWS, "" }, true },            // Me
        { { 4, 0, VER_PLATFORM_WIN32_NT, "" }, false },
        { { 4, 0, VER_PLATFORM_WIN32_NT, "Service Pack 5" }, false },
        { { 4, 0, VER_PLATFORM_WIN32_NT, "Service Pack 6" }, true },
        { { 4, 0, VER_PLATFORM_WIN32_NT, "Service Pack 6a" }, false },
        { { 4, 0, VER_PLATFORM_WIN32_NT, "service pack 6" }, false },
        { { 5, 0, VER_PLATFORM_WIN32_NT, "" }, true },
        { { 6, 1, VER_PLATFORM_WIN32_NT, "Service Pack 1" }, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version.major) + "." + std::to_string(c.version.minor) + " " +
                     c.version.servicePack);
        gVersion = c.version;
        gStartups = 0;
        StartGdiPlus();
        EXPECT_EQ(GdiPlusAvailable(), c.starts);
        EXPECT_EQ(gStartups, c.starts ? 1 : 0);
        StopGdiPlus();
        EXPECT_FALSE(GdiPlusAvailable());
    }
}

TEST_F(GdiPlusStartTest, AFailedStepLeavesItOffAndGivesBackWhatItTook) {
    struct Case { const char* what; int startups, shutdowns, frees; };
    const Case cases[] = {
        { "version question fails", 0, 0, 0 },
        { "no gdiplus.dll", 0, 0, 0 },
        { "startup fails", 1, 0, 0 },
        { "no memory for the desktop graphics", 1, 1, 0 },
        { "desktop graphics not made", 1, 1, 1 },
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GdiPlusCallTable() = FakeTable();
        gStartups = gShutdowns = gFrees = 0;
        gStartupStatus = Gdiplus::Ok;
        gAllocFails = gDesktopFails = false;
        switch (row++) {
        case 0: GdiPlusCallTable().getVersion = [](OSVERSIONINFOA*) WINAPI -> BOOL { return FALSE; }; break;
        case 1: GdiPlusCallTable().libraryPresent = LibraryMissing; break;
        case 2: gStartupStatus = Gdiplus::GdiplusNotInitialized; break;
        case 3: gAllocFails = true; break;
        case 4: gDesktopFails = true; break;
        }
        StartGdiPlus();
        EXPECT_FALSE(GdiPlusAvailable());
        EXPECT_EQ(gStartups, c.startups);
        EXPECT_EQ(gShutdowns, c.shutdowns);
        EXPECT_EQ(gFrees, c.frees);
    }
}

TEST_F(GdiPlusStartTest, WithoutTheLibraryEverythingAnswersNoAndNothingIsCalled) {
    GdiPlusCallTable().libraryPresent = LibraryMissing;
    GdiPlusCallTable().createFromHdc = nullptr;  // would fault if anything reached it
    GdiPlusCallTable().drawLine = nullptr;
    StartGdiPlus();
    ASSERT_FALSE(GdiPlusAvailable());
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(CreateDcGraphics(dc), nullptr);
    DcGraphics fake = { dc, { &gDesktopObject, 0 } };
    EXPECT_FALSE(DrawLineAntiAliased(&fake, 0, 0, 10, 10, 1, RGB(0, 0, 0), false));
    DeleteDC(dc);
}

TEST(SmoothingThreshold, IsClampedAndPicksTheMode) {
    struct Case { float set; float kept; int32_t modeAtHalf; };
    const Case cases[] = {
        { 1.0f, 1.0f, kSmoothingAntiAlias }, { 0.5f, 0.5f, kSmoothingAntiAlias },
        { 0.49f, 0.49f, kSmoothingNone },    { -3.0f, 0.0f, kSmoothingNone },
        { 7.0f, 1.0f, kSmoothingAntiAlias },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        SetSmoothingThreshold(c.set);
        EXPECT_EQ(SetSmoothingThreshold(1.0f), c.kept);
        SetSmoothingThreshold(c.set);
        EXPECT_EQ(ChooseSmoothingMode(0.5f), c.modeAtHalf);
    }
    SetSmoothingThreshold(1.0f);
    EXPECT_EQ(ArgbFromColor(RGB(0x12, 0x34, 0x56)), 0xFF123456u);
}

// ---- The real GDI+ on a bitmap.

constexpr double kPi = 3.14159265358979323846;
constexpr int kWidth = 120;
constexpr int kHeight = 40;

class GdiPlusDrawTest : public ::testing::Test {
protected:
    GdiPlusDrawTest() {
        ResetGdiPlusCallTable();
        StartGdiPlus();
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        RECT all = { 0, 0, kWidth, kHeight };
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        saved_ = GdiPlusCallTable();
    }
    ~GdiPlusDrawTest() override {
        GdiPlusCallTable() = saved_;
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        StopGdiPlus();
        ResetGdiPlusCallTable();
    }
    // Pixels of row y, '#' where not white.
    std::string Row(int y) {
        GdiFlush();
        std::string s;
        for (int x = 0; x < kWidth; ++x) s += (bits_[y * kWidth + x] & 0xFFFFFF) == 0xFFFFFF ? '.' : '#';
        return s;
    }
    uint32_t Pixel(int x, int y) {
        GdiFlush();
        return bits_[y * kWidth + x] & 0xFFFFFF;
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
    GdiPlusCalls saved_;
};

TEST_F(GdiPlusDrawTest, DashesAreSixOnFourOffInPenWidthsFromTheFirstEnd) {
    ASSERT_TRUE(GdiPlusAvailable());
    DcGraphics* g = CreateDcGraphics(dc_);
    ASSERT_NE(g, nullptr);
    EXPECT_TRUE(DrawLineAntiAliased(g, 0, 5, 40, 5, 1.0f, RGB(0, 0, 0), true));
    EXPECT_TRUE(DrawLineAntiAliased(g, 0, 20, 80, 20, 2.0f, RGB(0, 0, 0), true));
    EXPECT_TRUE(DrawLineAntiAliased(g, 0, 30, 30, 30, 1.0f, RGB(0, 0, 0), false));
    DeleteDcGraphics(g);
    EXPECT_EQ(Row(5).substr(0, 40), "######....######....######....######....");
    EXPECT_EQ(Row(20).substr(0, 80),
              "############........############........############........############........");
    EXPECT_EQ(Row(30).substr(0, 30), std::string(30, '#'));
}

TEST_F(GdiPlusDrawTest, GdiDrawsBetweenPrimitivesOnTheSameDc) {
    DcGraphics* g = CreateDcGraphics(dc_);
    ASSERT_NE(g, nullptr);
    EXPECT_TRUE(FillRectAntiAliased(g, 0, 0, 10, 10, RGB(255, 0, 0)));
    RECT gdi = { 20, 0, 30, 10 };
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    EXPECT_NE(FillRect(g->dc, &gdi, blue), 0);
    DeleteObject(blue);
    const FloatPoint triangle[3] = { { 40, 0 }, { 60, 0 }, { 50, 20 } };
    EXPECT_TRUE(FillPolygonAntiAliased(g, triangle, 3, RGB(0, 255, 0)));
    EXPECT_TRUE(FillEllipseAntiAliased(g, 70, 0, 20, 20, false, RGB(0, 0, 0), 0));
    DeleteDcGraphics(g);
    EXPECT_EQ(Pixel(5, 5), 0xFF0000u);   // DIB pixels are 0xRRGGBB
    EXPECT_EQ(Pixel(25, 5), 0x0000FFu);
    EXPECT_EQ(Pixel(50, 5), 0x00FF00u);
    EXPECT_EQ(Pixel(80, 10), 0x000000u);
    EXPECT_EQ(Pixel(71, 1), 0xFFFFFFu);  // outside the circle
}

// Records what reached GDI+ and passes it on.
Gdiplus::REAL gStart, gSweep;
int gMode;
GdiPlusCalls gReal;
GpStatus WINGDIPAPI RecordArc(Gdiplus::GpGraphics* g, Gdiplus::GpPen* p, Gdiplus::REAL x, Gdiplus::REAL y,
                              Gdiplus::REAL w, Gdiplus::REAL h, Gdiplus::REAL start, Gdiplus::REAL sweep) {
    gStart = start;
    gSweep = sweep;
    return gReal.drawArc(g, p, x, y, w, h, start, sweep);
}
GpStatus WINGDIPAPI RecordMode(Gdiplus::GpGraphics* g, Gdiplus::SmoothingMode mode) {
    gMode = mode;
    return gReal.setSmoothingMode(g, mode);
}

TEST_F(GdiPlusDrawTest, ArcsTakeRadiansAndSmoothingFollowsTheThreshold) {
    gReal = GdiPlusCallTable();
    GdiPlusCallTable().drawArc = RecordArc;
    GdiPlusCallTable().setSmoothingMode = RecordMode;
    DcGraphics* g = CreateDcGraphics(dc_);
    ASSERT_NE(g, nullptr);
    EXPECT_TRUE(DrawArcAntiAliased(g, 0, 0, 30, 30, float(kPi / 2), float(kPi), 1.0f, 0, false));
    EXPECT_NEAR(gStart, 90.0f, 1e-4);
    EXPECT_NEAR(gSweep, 180.0f, 1e-4);
    EXPECT_EQ(gMode, kSmoothingAntiAlias);
    SetSmoothingThreshold(0.25f);
    EXPECT_TRUE(DrawEllipseAntiAliased(g, 0, 0, 30, 30, 1.0f, 0, false));
    EXPECT_EQ(gMode, kSmoothingNone);
    SetSmoothingThreshold(1.0f);
    DeleteDcGraphics(g);
    EXPECT_NE(Pixel(15, 30), 0xFFFFFFu);  // the bottom of the circle
}

GpStatus WINGDIPAPI FailPen(Gdiplus::ARGB, Gdiplus::REAL, Gdiplus::GpUnit, Gdiplus::GpPen**) {
    return Gdiplus::OutOfMemory;
}
GpStatus WINGDIPAPI FailSolid(Gdiplus::ARGB, Gdiplus::GpSolidFill**) { return Gdiplus::OutOfMemory; }
GpStatus WINGDIPAPI FailMode(Gdiplus::GpGraphics*, Gdiplus::SmoothingMode) { return Gdiplus::InvalidParameter; }
GpStatus WINGDIPAPI FailLine(Gdiplus::GpGraphics*, Gdiplus::GpPen*, Gdiplus::REAL, Gdiplus::REAL, Gdiplus::REAL,
                             Gdiplus::REAL) {
    return Gdiplus::GenericError;
}
GpStatus WINGDIPAPI FailRect(Gdiplus::GpGraphics*, Gdiplus::GpBrush*, Gdiplus::REAL, Gdiplus::REAL,
                             Gdiplus::REAL, Gdiplus::REAL) {
    return Gdiplus::GenericError;
}
GpStatus WINGDIPAPI FailDash(Gdiplus::GpPen*, const Gdiplus::REAL*, INT) { return Gdiplus::OutOfMemory; }

TEST_F(GdiPlusDrawTest, AFailingCallAnswersFalseAndGdiHasTheDcAgain) {
    struct Case { const char* what; void (*breakIt)(GdiPlusCalls&); bool dashed; GpStatus status; };
    const Case cases[] = {
        { "pen", [](GdiPlusCalls& c) { c.createPen = FailPen; }, false, Gdiplus::OutOfMemory },
        { "dash array", [](GdiPlusCalls& c) { c.setPenDashArray = FailDash; }, true, Gdiplus::OutOfMemory },
        { "smoothing", [](GdiPlusCalls& c) { c.setSmoothingMode = FailMode; }, false, Gdiplus::InvalidParameter },
        { "line", [](GdiPlusCalls& c) { c.drawLine = FailLine; }, false, Gdiplus::GenericError },
        { "brush", [](GdiPlusCalls& c) { c.createSolidFill = FailSolid; }, false, Gdiplus::OutOfMemory },
        { "rectangle", [](GdiPlusCalls& c) { c.fillRectangle = FailRect; }, false, Gdiplus::GenericError },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RECT all = { 0, 0, kWidth, kHeight };
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        GdiPlusCallTable() = saved_;
        DcGraphics* g = CreateDcGraphics(dc_);
        ASSERT_NE(g, nullptr);
        c.breakIt(GdiPlusCallTable());
        EXPECT_FALSE(DrawLineAntiAliased(g, 0, 5, 50, 5, 1.0f, 0, c.dashed) &&
                     FillRectAntiAliased(g, 0, 10, 10, 10, 0));
        EXPECT_EQ(g->graphics.lastStatus, c.status);
        ASSERT_NE(g->dc, nullptr);
        RECT gdi = { 100, 0, 110, 10 };
        EXPECT_NE(FillRect(g->dc, &gdi, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
        // The layer still works once the call does again.
        GdiPlusCallTable() = saved_;
        EXPECT_TRUE(FillRectAntiAliased(g, 60, 0, 10, 10, 0));
        DeleteDcGraphics(g);
        EXPECT_EQ(Pixel(105, 5), 0u);
        EXPECT_EQ(Pixel(65, 5), 0u);
    }
}

GpStatus WINGDIPAPI FailAttach(HDC, Gdiplus::GpGraphics**) { return Gdiplus::OutOfMemory; }

TEST_F(GdiPlusDrawTest, AGraphicsObjectThatCannotAttachIsNoneAtAll) {
    GdiPlusCallTable().createFromHdc = FailAttach;
    EXPECT_EQ(CreateDcGraphics(dc_), nullptr);
    GdiPlusCallTable() = saved_;
    SetAllocFailureAfter(1);
    EXPECT_EQ(CreateDcGraphics(dc_), nullptr);
    SetAllocFailureAfter(0);
    EXPECT_EQ(CreateDcGraphics(nullptr), nullptr);
    DcGraphics* g = CreateDcGraphics(dc_);
    EXPECT_NE(g, nullptr);
    DeleteDcGraphics(g);
}

}  // namespace
