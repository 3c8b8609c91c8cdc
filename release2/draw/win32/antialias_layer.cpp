#include "release2/draw/win32/antialias_layer.h"

#include <cstring>

#include "engine/core/memory.h"
#include "release2/draw/win32/gdiplus_calls.h"

namespace {

using GpGraphics = Gdiplus::GpGraphics;
using GpPen = Gdiplus::GpPen;
using GpBrush = Gdiplus::GpBrush;
using GpStatus = Gdiplus::GpStatus;

constexpr GpStatus kOk = Gdiplus::Ok;
constexpr double kDegreesPerRadian = 57.295779513082195;

static_assert(sizeof(FloatPoint) == sizeof(Gdiplus::PointF));

struct Layer {
    bool             available = false;
    ULONG_PTR        startupToken = 0;
    GdiPlusGraphics* desktopGraphics = nullptr;  // made with GDI+'s own allocator
    float            smoothingThreshold = 1.0f;
};
Layer gLayer;

GpGraphics* Native(const GdiPlusGraphics& g) { return static_cast<GpGraphics*>(g.native); }

// Windows 95 and NT 4.0 before its sixth service pack have no GDI+ worth using.
bool VersionCarriesGdiPlus(const OSVERSIONINFOA& info) {
    if (info.dwMajorVersion != 4 || info.dwMinorVersion != 0) return true;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return false;
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT) return true;
    static const char kServicePack6[] = "Service Pack 6";
    return std::memcmp(info.szCSDVersion, kServicePack6, sizeof kServicePack6) == 0;
}

template <typename Fn>
bool Bind(HMODULE library, Fn* entry, const char* name) {
    if (!*entry) *entry = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return *entry != nullptr;
}

// Loaded once, on the first start, and kept: the bound entries point into it.
bool BindGdiPlus(GdiPlusCalls& c) {
    static HMODULE library = nullptr;
    if (!library) library = LoadLibraryA("gdiplus.dll");
    if (!library) {
        // A test table may be complete without the library.
        return c.startup && c.shutdown && c.alloc && c.free && c.createFromHwnd && c.createFromHdc &&
               c.deleteGraphics && c.getDC && c.releaseDC && c.setSmoothingMode && c.createPen &&
               c.setPenDashArray && c.setPenDashOffset && c.deletePen && c.createSolidFill &&
               c.createHatchBrush && c.deleteBrush && c.drawLine && c.drawLines && c.drawEllipse &&
               c.fillEllipse && c.drawArc && c.fillRectangle && c.fillPolygon;
    }
    bool ok = true;
    ok &= Bind(library, &c.startup, "GdiplusStartup");
    ok &= Bind(library, &c.shutdown, "GdiplusShutdown");
    ok &= Bind(library, &c.alloc, "GdipAlloc");
    ok &= Bind(library, &c.free, "GdipFree");
    ok &= Bind(library, &c.createFromHwnd, "GdipCreateFromHWND");
    ok &= Bind(library, &c.createFromHdc, "GdipCreateFromHDC");
    ok &= Bind(library, &c.deleteGraphics, "GdipDeleteGraphics");
    ok &= Bind(library, &c.getDC, "GdipGetDC");
    ok &= Bind(library, &c.releaseDC, "GdipReleaseDC");
    ok &= Bind(library, &c.setSmoothingMode, "GdipSetSmoothingMode");
    ok &= Bind(library, &c.createPen, "GdipCreatePen1");
    ok &= Bind(library, &c.setPenDashArray, "GdipSetPenDashArray");
    ok &= Bind(library, &c.setPenDashOffset, "GdipSetPenDashOffset");
    ok &= Bind(library, &c.deletePen, "GdipDeletePen");
    ok &= Bind(library, &c.createSolidFill, "GdipCreateSolidFill");
    ok &= Bind(library, &c.createHatchBrush, "GdipCreateHatchBrush");
    ok &= Bind(library, &c.deleteBrush, "GdipDeleteBrush");
    ok &= Bind(library, &c.drawLine, "GdipDrawLine");
    ok &= Bind(library, &c.drawLines, "GdipDrawLines");
    ok &= Bind(library, &c.drawEllipse, "GdipDrawEllipse");
    ok &= Bind(library, &c.fillEllipse, "GdipFillEllipse");
    ok &= Bind(library, &c.drawArc, "GdipDrawArc");
    ok &= Bind(library, &c.fillRectangle, "GdipFillRectangle");
    ok &= Bind(library, &c.fillPolygon, "GdipFillPolygon");
    return ok;
}

// The pen of one primitive; null when GDI+ made none (its status is kept).
GpPen* MakePen(DcGraphics* g, float width, COLORREF color, bool dashed, bool setOffset) {
    GdiPlusCalls& c = GdiPlusCallTable();
    GpPen* pen = nullptr;
    GpStatus status = c.createPen(ArgbFromColor(color), width, Gdiplus::UnitWorld, &pen);
    if (status == kOk && dashed) {
        static const float kDashes[2] = { kDashOn, kDashOff };
        status = c.setPenDashArray(pen, kDashes, 2);
        if (status == kOk && setOffset) status = c.setPenDashOffset(pen, 0.0f);
    }
    if (status != kOk) {
        g->graphics.lastStatus = status;
        if (pen) c.deletePen(pen);
        return nullptr;
    }
    return pen;
}

// The steps every primitive shares: GDI+ has the DC while it draws and GDI has it again
// before the primitive returns, whatever failed. `make` answers the pen or brush (null
// when it failed), `draw` draws with it, `drop` deletes it.
template <typename Tool, typename Make, typename Draw, typename Drop>
bool RunPrimitive(DcGraphics* g, Make make, Draw draw, Drop drop) {
    if (!gLayer.available || !g || !g->graphics.native || !g->dc) return false;
    GdiPlusCalls& c = GdiPlusCallTable();
    GpGraphics* graphics = Native(g->graphics);
    GpStatus status = c.releaseDC(graphics, g->dc);
    if (status != kOk) {
        g->graphics.lastStatus = status;
        return false;
    }
    Tool* tool = make();
    if (tool) {
        status = c.setSmoothingMode(graphics, static_cast<Gdiplus::SmoothingMode>(ChooseSmoothingMode(0.5f)));
        if (status == kOk) status = draw(graphics, tool);
    } else {
        status = static_cast<GpStatus>(g->graphics.lastStatus ? g->graphics.lastStatus : Gdiplus::GenericError);
    }
    HDC dc = nullptr;
    const GpStatus taken = c.getDC(graphics, &dc);
    // Without the DC back no later primitive may run on this record; GDI keeps drawing.
    g->dc = taken == kOk ? dc : nullptr;
    if (tool) drop(tool);
    if (status != kOk) g->graphics.lastStatus = status;
    else if (taken != kOk) g->graphics.lastStatus = taken;
    return status == kOk;
}

template <typename Draw>
bool Stroke(DcGraphics* g, float width, COLORREF color, bool dashed, bool setOffset, Draw draw) {
    return RunPrimitive<GpPen>(
        g, [&] { return MakePen(g, width, color, dashed, setOffset); }, draw,
        [](GpPen* pen) { GdiPlusCallTable().deletePen(pen); });
}

template <typename Make, typename Draw>
bool Fill(DcGraphics* g, Make make, Draw draw) {
    return RunPrimitive<GpBrush>(g, make, draw, [](GpBrush* brush) { GdiPlusCallTable().deleteBrush(brush); });
}

GpBrush* SolidBrush(DcGraphics* g, COLORREF color) {
    Gdiplus::GpSolidFill* brush = nullptr;
    const GpStatus status = GdiPlusCallTable().createSolidFill(ArgbFromColor(color), &brush);
    if (status != kOk) {
        g->graphics.lastStatus = status;
        return nullptr;
    }
    return brush;
}

}  // namespace

uint32_t ArgbFromColor(COLORREF color) {
    return 0xFF000000u | (uint32_t(GetRValue(color)) << 16) | (uint32_t(GetGValue(color)) << 8) |
           uint32_t(GetBValue(color));
}

bool GdiPlusAvailable() { return gLayer.available; }

float SetSmoothingThreshold(float threshold) {
    const float previous = gLayer.smoothingThreshold;
    gLayer.smoothingThreshold = threshold < 0.0f ? 0.0f : threshold > 1.0f ? 1.0f : threshold;
    return previous;
}

int32_t ChooseSmoothingMode(float level) {
    return gLayer.smoothingThreshold >= level ? kSmoothingAntiAlias : kSmoothingNone;
}

void StartGdiPlus() {
    if (gLayer.available) return;
    GdiPlusCalls& c = GdiPlusCallTable();
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!c.getVersion || !c.getVersion(&info)) return;
    if (!VersionCarriesGdiPlus(info)) return;
    if (!c.libraryPresent || !c.libraryPresent()) return;
    if (!BindGdiPlus(c)) return;

    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, nothing suppressed
    ULONG_PTR token = 0;
    if (c.startup(&token, &input, nullptr) != kOk) return;
    auto* desktop = static_cast<GdiPlusGraphics*>(c.alloc(sizeof(GdiPlusGraphics)));
    if (desktop) {
        GpGraphics* native = nullptr;
        desktop->lastStatus = c.createFromHwnd(GetDesktopWindow(), &native);
        desktop->native = desktop->lastStatus == kOk ? native : nullptr;
        if (!desktop->native) {
            c.free(desktop);
            desktop = nullptr;
        }
    }
    if (!desktop) {
        // GDI+ stays off: give back what starting it took.
        c.shutdown(token);
        return;
    }
    gLayer.startupToken = token;
    gLayer.desktopGraphics = desktop;
    gLayer.available = true;
}

void StopGdiPlus() {
    if (!gLayer.available) return;
    GdiPlusCalls& c = GdiPlusCallTable();
    if (gLayer.desktopGraphics) {
        c.deleteGraphics(Native(*gLayer.desktopGraphics));
        c.free(gLayer.desktopGraphics);
        gLayer.desktopGraphics = nullptr;
    }
    c.shutdown(gLayer.startupToken);
    gLayer.startupToken = 0;
    gLayer.available = false;
}

DcGraphics* CreateDcGraphics(HDC dc) {
    if (!gLayer.available || !dc) return nullptr;
    GdiPlusCalls& c = GdiPlusCallTable();
    auto* record = static_cast<DcGraphics*>(AllocMemory(sizeof(DcGraphics), kAllocZero));
    if (!record) return nullptr;
    GpGraphics* native = nullptr;
    record->graphics.lastStatus = c.createFromHdc(dc, &native);
    if (record->graphics.lastStatus != kOk || !native) {
        FreeMemory(record);
        return nullptr;
    }
    record->graphics.native = native;
    HDC handed = nullptr;
    record->graphics.lastStatus = c.getDC(native, &handed);
    if (record->graphics.lastStatus != kOk || !handed) {
        c.deleteGraphics(native);
        FreeMemory(record);
        return nullptr;
    }
    record->dc = handed;
    return record;
}

void DeleteDcGraphics(DcGraphics* g) {
    if (!g) return;
    GdiPlusCalls& c = GdiPlusCallTable();
    if (g->graphics.native) {
        if (g->dc) c.releaseDC(Native(g->graphics), g->dc);
        c.deleteGraphics(Native(g->graphics));
    }
    FreeMemory(g);
}

bool DrawLineAntiAliased(DcGraphics* g, double x1, double y1, double x2, double y2, float width,
                         COLORREF color, bool dashed) {
    return Stroke(g, width, color, dashed, true, [&](GpGraphics* graphics, GpPen* pen) {
        return GdiPlusCallTable().drawLine(graphics, pen, float(x1), float(y1), float(x2), float(y2));
    });
}

bool DrawPolylineAntiAliased(DcGraphics* g, const FloatPoint* points, int32_t count, float width,
                             COLORREF color, bool dashed) {
    if (!points || count < 2) return false;
    return Stroke(g, width, color, dashed, true, [&](GpGraphics* graphics, GpPen* pen) {
        return GdiPlusCallTable().drawLines(graphics, pen, reinterpret_cast<const Gdiplus::PointF*>(points),
                                            count);
    });
}

bool DrawEllipseAntiAliased(DcGraphics* g, double x, double y, double width, double height,
                            float penWidth, COLORREF color, bool dashed) {
    return Stroke(g, penWidth, color, dashed, false, [&](GpGraphics* graphics, GpPen* pen) {
        return GdiPlusCallTable().drawEllipse(graphics, pen, float(x), float(y), float(width), float(height));
    });
}

bool FillEllipseAntiAliased(DcGraphics* g, double x, double y, double width, double height,
                            bool hatched, uint32_t color, uint32_t color2) {
    return Fill(
        g,
        [&]() -> GpBrush* {
            if (!hatched) return SolidBrush(g, color);
            Gdiplus::GpHatch* brush = nullptr;
            const GpStatus status = GdiPlusCallTable().createHatchBrush(
                static_cast<Gdiplus::GpHatchStyle>(kHatchCross), color, color2, &brush);
            if (status != kOk) {
                g->graphics.lastStatus = status;
                return nullptr;
            }
            return brush;
        },
        [&](GpGraphics* graphics, GpBrush* brush) {
            return GdiPlusCallTable().fillEllipse(graphics, brush, float(x), float(y), float(width), float(height));
        });
}

bool DrawArcAntiAliased(DcGraphics* g, double x, double y, double width, double height,
                        float startAngle, float sweepAngle, float penWidth, COLORREF color,
                        bool dashed) {
    return Stroke(g, penWidth, color, dashed, false, [&](GpGraphics* graphics, GpPen* pen) {
        return GdiPlusCallTable().drawArc(graphics, pen, float(x), float(y), float(width), float(height),
                                          float(startAngle * kDegreesPerRadian),
                                          float(sweepAngle * kDegreesPerRadian));
    });
}

bool FillRectAntiAliased(DcGraphics* g, double x, double y, double width, double height,
                         COLORREF color) {
    return Fill(
        g, [&] { return SolidBrush(g, color); },
        [&](GpGraphics* graphics, GpBrush* brush) {
            return GdiPlusCallTable().fillRectangle(graphics, brush, float(x), float(y), float(width),
                                                    float(height));
        });
}

bool FillPolygonAntiAliased(DcGraphics* g, const FloatPoint* points, int32_t count, COLORREF color) {
    if (!points || count < 3) return false;
    return Fill(
        g, [&] { return SolidBrush(g, color); },
        [&](GpGraphics* graphics, GpBrush* brush) {
            return GdiPlusCallTable().fillPolygon(graphics, brush, reinterpret_cast<const Gdiplus::PointF*>(points),
                                                  count, Gdiplus::FillModeAlternate);
        });
}
