// Class drawing of the text-bearing objects (captions, measurements, calculations) and of
// tables: their text through the layout engine, dimming that the nested text drawing
// follows, the frame of a highlighted object, and the selection highlights.
#include <windows.h>

#include "engine/calc/tables.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/sketch_object.h"
#include "engine/text/captions.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"

namespace {

// Tables are drawn down to the limit of sketch coordinates.
constexpr int32_t kTableDrawLimit = 30000;

void Frame(HDC dc, HPEN pen, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    DCSelection selection(dc);
    selection.Pen(pen);
    selection.StockBrush(NULL_BRUSH);
    Rectangle(dc, left, top, right, bottom);
}

void SetStyleColorRef(TextStyle* style, COLORREF color) {
    style->field[kStyleRed] = static_cast<int16_t>(GetRValue(color) + 1);
    style->field[kStyleGreen] = static_cast<int16_t>(GetGValue(color) + 1);
    style->field[kStyleBlue] = static_cast<int16_t>(GetBValue(color) + 1);
}

}  // namespace

void DrawTextObject(GraphicsPort* port, SketchObject* object) {
    const int previous = SetBkMode(port->dc, TRANSPARENT);
    DrawTextObjectBody(port, object);
    SetBkMode(port->dc, previous);
}

void DrawTextObjectBody(GraphicsPort* port, SketchObject* object) {
    ObjectDimmingScope dimming(object);
    DrawCaption(port, object);
    if (object->markFlags & kMarkHighlighted) {
        const ScreenRect& b = object->bounds;
        Frame(port->dc, CreatePen(PS_SOLID, 3, port->selectionColor), b.left - 2, b.top - 2, b.right + 2,
              b.bottom + 2);
    }
}

void DrawTextObjectSelection(GraphicsPort* port, SketchObject* object) {
    if (auto form = LaterForms().drawing.textObjectSelection) return form(port, object);
    HDC dc = port->dc;
    const ScreenRect& b = object->bounds;
    const COLORREF previousText = SetTextColor(dc, ObjectDisplayColor(object));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    Frame(dc, CreatePen(PS_SOLID, 0, port->contrastColor), b.left - 1, b.top - 1, b.right + 1, b.bottom + 1);
    {
        DCSelection selection(dc);
        selection.Pen(CreatePen(PS_SOLID, 0, CurrentBackground()));
        selection.Brush(CreateSolidBrush(CurrentHighlight()));
        Rectangle(dc, b.left, b.top, b.right, b.bottom);
    }
    object->markFlags |= kMarkHighlightPass;
    DrawTextObjectBody(port, object);
    object->markFlags &= ~kMarkHighlightPass;
    SetBkMode(dc, previousMode);
    SetTextColor(dc, previousText);
}

void DrawTableObject(GraphicsPort* port, SketchObject* table) {
    ObjectDimmingScope dimming(table);
    if (!(table->markFlags & kMarkHighlighted)) {
        DrawTable(port, table, kTableDrawLimit);
        return;
    }
    const TextStyle savedStyle = table->textStyle;
    const uint32_t savedColor = table->color;
    SetStyleColorRef(&table->textStyle, port->selectionColor);
    table->color = port->selectionColor;
    DrawTable(port, table, kTableDrawLimit);
    table->textStyle = savedStyle;
    table->color = savedColor;
}

void DrawTableSelection(GraphicsPort* port, SketchObject* table) {
    DrawTableObject(port, table);
    const ScreenRect& b = table->bounds;
    const COLORREF highlight = CurrentHighlight();
    Frame(port->dc, CreatePen(PS_SOLID, 1, highlight), b.left - 2, b.top - 2, b.right + 3, b.bottom + 3);
    Frame(port->dc, CreatePen(PS_SOLID, 1, highlight), b.left + 2, b.top + 2, b.right - 2, b.bottom - 2);
}
