// What every class drawing routine shares: the mark-word bits it honours, the dim
// level, display colours, the object pen by line style, the floating-point mask kept
// around printing, and the hatch of a selected interior.
#pragma once
#include <windows.h>

#include <cstdint>

struct GraphicsPort;
struct SketchObject;

// Bits of SketchObject::markFlags that drawing reads.
constexpr uint32_t kMarkHighlighted   = 0x01;  // selection colour, thicker pen or outline
constexpr uint32_t kMarkDimmedFixed   = 0x04;  // dimmed at level 15
constexpr uint32_t kMarkDimmed        = 0x08;  // dimmed at the current level
constexpr uint32_t kMarkHighlightPass = 0x40;  // set while a highlight redraws the object
constexpr uint32_t kMarkTraceStyle    = 0x80;  // set alone while drawn into the traces

constexpr int32_t kMaxDimLevel   = 20;
constexpr int32_t kFixedDimLevel = 15;

// Construction type of images coloured by a parameter: they keep their colour in traces.
constexpr int32_t kTypeKeepsTraceColor = 79;

// Line styles of SketchObject::lineStyle.
constexpr int32_t kLineDashed = 0;
constexpr int32_t kLineNormal = 1;
constexpr int32_t kLineThick  = 2;

// Positions in DrawingMetrics.intMetricsA of the metrics the pens read.
constexpr int32_t kMetricThickLineWidth = 2;  // 3 on screen
constexpr int32_t kMetricArrowSize      = 9;  // 8 on screen

void    SetDimLevel(int32_t level);
int32_t GetDimLevel();
// Puts a level saved with GetDimLevel back.
void    RestoreDimLevel(int32_t level);
// Each channel c := (level x b + (20 - level) x c) / 20 with b the background's channel.
void DimTowardBackground(COLORREF* color);
// Each channel c := (alpha x c - t x (alpha - 256)) >> 8, t the background's channel or,
// toward the extreme, 0 on a dark background (sum at most 144) and 255 on a light one.
void BlendTowardBackground(COLORREF* color, int32_t alpha, bool towardExtreme);
// 0x08 dims at the current level, else 0x04 at level 15.
void ApplyObjectDimming(COLORREF* color, uint32_t markWord);

// The object drawn dimmed now (nested text drawing dims with it); null when none.
SketchObject* DimmedObject();
void          SetDimmedObject(SketchObject* object);
// The object's colour, dimmed at the current level when it has 0x08 or is DimmedObject.
COLORREF ObjectDisplayColor(const SketchObject* object);

// Dims an object while it is drawn (0x08 at the current level, else 0x04 at level 15)
// by making it the object drawn dimmed, so that nested drawing (its text, its samples)
// dims with it; the dim level and the dimmed object are put back when the scope ends.
class ObjectDimmingScope {
public:
    explicit ObjectDimmingScope(SketchObject* object);
    ~ObjectDimmingScope();
    ObjectDimmingScope(const ObjectDimmingScope&) = delete;
    ObjectDimmingScope& operator=(const ObjectDimmingScope&) = delete;

private:
    int32_t       level_;
    SketchObject* dimmed_;
};

// The print or picture pass in force: the scale and page offset come from the engine's
// output scale; whether its output is a printer page (else a picture) is the print
// pass's own.
bool   Printing();
bool   PrintingToPage();
double OutputFactor();
// Whoever begins a pass says whether it prints pages (true: the sketch view's print
// run) or makes a picture (false: the clipboard's).
void   SetPrintingToPage(bool pages);

// The pen of an object: line style 0 dashed, 1 normal, 2 thick. Null when GDI has none.
HPEN CreateObjectPen(GraphicsPort* port, COLORREF color, uint32_t markWord, int32_t lineStyle,
                     bool traceBlend);
// The same pen from the shared set below: the caller selects it and never deletes it.
HPEN SharedObjectPen(GraphicsPort* port, COLORREF color, uint32_t markWord, int32_t lineStyle,
                     bool traceBlend);

// Pens and brushes shared by the shapes of one style: a scene of many shapes in few
// colours then makes a few GDI objects, not two per shape. A handful are kept, the
// oldest deleted when another is needed, so a caller must be done with one (have put
// the DC's previous object back) before asking for more than two others; every one
// goes at the end of a paint pass. Null when GDI has none to give.
HPEN   SharedPen(int style, int width, COLORREF color);
HBRUSH SharedSolidBrush(COLORREF color);
void   ReleaseSharedDrawingObjects();
// Masks the six floating-point exceptions, keeping the other control bits: a printer
// driver must not leave them unmasked for the engine.
void MaskFpuExceptions();
// Masks on construction and destruction while a print or picture pass runs.
class FpuMaskDuringPrint {
public:
    FpuMaskDuringPrint();
    ~FpuMaskDuringPrint();
    FpuMaskDuringPrint(const FpuMaskDuringPrint&) = delete;
    FpuMaskDuringPrint& operator=(const FpuMaskDuringPrint&) = delete;
};

// One drawing step's pen, brush and mix mode: what the DC had is put back when the
// step ends, and the pen and brush the step made are deleted then.
class DCSelection {
public:
    explicit DCSelection(HDC dc);
    ~DCSelection();
    DCSelection(const DCSelection&) = delete;
    DCSelection& operator=(const DCSelection&) = delete;
    // A null pen or brush (GDI had none to give) leaves the DC's in place.
    void Pen(HPEN pen);
    void Brush(HBRUSH brush);
    void StockPen(int id) { SelectObject(dc_, GetStockObject(id)); }
    // A shared pen or brush (see SharedPen): selected, put back, never deleted.
    void Shared(HGDIOBJ object) {
        if (object) SelectObject(dc_, object);
    }
    void StockBrush(int id) { SelectObject(dc_, GetStockObject(id)); }
    void Rop(int rop) { SetROP2(dc_, rop); }
private:
    HDC     dc_;
    HGDIOBJ pen_;
    HGDIOBJ brush_;
    int     rop_;
    HPEN    ownPens_[2] = {};
    HBRUSH  ownBrushes_[2] = {};
};

// The hatch that shows a selected interior of colour `objectColor` against the sketch's
// highlight colour: an HS_DIAGCROSS brush and the mix mode, which is set on the DC (the
// previous one goes to *previousRop). The caller selects and deletes the brush.
void SelectSelectionHatch(HDC dc, COLORREF objectColor, HBRUSH* brush, int* previousRop);
// The colour and mix mode SelectSelectionHatch chooses.
void ChooseSelectionHatch(COLORREF objectColor, COLORREF highlight, COLORREF* hatchColor, int* rop);
