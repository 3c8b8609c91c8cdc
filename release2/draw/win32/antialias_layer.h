// figlate's anti-aliased drawing: starts and stops GDI+, attaches a GDI+ graphics
// object to a DC for one redraw, and draws single shapes in device pixels with
// COLORREF colours. Every primitive answers false when GDI+ is not running, no graphics
// object is given or GDI+ reports an error; the DC is GDI's again when it returns, so the
// caller can draw the shape with GDI instead. Which shapes go through here is the
// drawing routines' choice, never this layer's.
#pragma once
#include <windows.h>

#include <cstdint>

// A GDI+ graphics object and the status of the last call on it.
struct GdiPlusGraphics {
    void*   native;
    int32_t lastStatus;
};

// One DC drawn anti-aliased. `dc` is the DC as GDI+ hands it back; GDI draws on it
// between primitives.
struct DcGraphics {
    HDC             dc;
    GdiPlusGraphics graphics;
};

// Same layout as GDI+'s float point, so a run of them goes to GDI+ uncopied.
struct FloatPoint {
    float x;
    float y;
};

constexpr int32_t kSmoothingNone      = 3;
constexpr int32_t kSmoothingAntiAlias = 4;
constexpr int32_t kHatchCross         = 4;
// Dash and gap of a dashed pen, in pen widths.
constexpr float kDashOn  = 6.0f;
constexpr float kDashOff = 4.0f;

void StartGdiPlus();
void StopGdiPlus();
bool GdiPlusAvailable();
// Clamped into 0..1; answers the previous threshold.
float   SetSmoothingThreshold(float threshold);
int32_t ChooseSmoothingMode(float level);
// 0x00BBGGRR to opaque 0xFFRRGGBB.
uint32_t ArgbFromColor(COLORREF color);

// Null when GDI+ is not running, memory is short or GDI+ cannot attach to the DC: the
// redraw is then drawn plain.
DcGraphics* CreateDcGraphics(HDC dc);
void        DeleteDcGraphics(DcGraphics* graphics);

bool DrawLineAntiAliased(DcGraphics* g, double x1, double y1, double x2, double y2, float width,
                         COLORREF color, bool dashed);
bool DrawPolylineAntiAliased(DcGraphics* g, const FloatPoint* points, int32_t count, float width,
                             COLORREF color, bool dashed);
bool DrawEllipseAntiAliased(DcGraphics* g, double x, double y, double width, double height,
                            float penWidth, COLORREF color, bool dashed);
// Hatched: a cross hatch with `color` in front of `color2`, both ARGB values as given;
// else solid in the COLORREF `color`.
bool FillEllipseAntiAliased(DcGraphics* g, double x, double y, double width, double height,
                            bool hatched, uint32_t color, uint32_t color2);
// Angles in radians, clockwise on the screen from the x axis.
bool DrawArcAntiAliased(DcGraphics* g, double x, double y, double width, double height,
                        float startAngle, float sweepAngle, float penWidth, COLORREF color,
                        bool dashed);
bool FillRectAntiAliased(DcGraphics* g, double x, double y, double width, double height,
                         COLORREF color);
// Alternate fill rule.
bool FillPolygonAntiAliased(DcGraphics* g, const FloatPoint* points, int32_t count, COLORREF color);
