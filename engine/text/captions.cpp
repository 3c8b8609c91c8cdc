#include "engine/text/captions.h"

#include <cmath>

#include "engine/core/copy_map.h"
#include "engine/core/geometry.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/text_data.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/text_port.h"
#include "engine/core/sketch.h"
#include "engine/text/layout.h"
#include "engine/text/merged_texts.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"

namespace {

constexpr uint16_t kSlotsByObject = 0xfffe;
constexpr uint16_t kNoSlots = 0xffff;
constexpr int32_t kFreeValueCaptionSlots = 6;
constexpr int32_t kFreeFunctionCaptionSlots = 1;

int16_t Clamp(int32_t v) { return RoundToScreen(v); }

bool HasCaptionData(const SketchObject* o) {
    return o && (o->objectClass == kClassCaption || o->objectClass == kClassMeasurement ||
                 o->objectClass == kClassCalculation);
}

// How many value slots the object's text needs.
int32_t SlotCountOf(const SketchObject* o) {
    if (o->constructionType < 0 || o->constructionType >= kConstructionTypeCount) return 0;
    const uint16_t slots = ConstructionTypeTable[o->constructionType].textSlots;
    if (slots == kNoSlots) return 0;
    if (slots != kSlotsByObject) return slots;
    if (o->constructionType == kTypeMergedText) return CountReferences(o);
    if (KindIsA(o->objectKind, kKindCalculation)) return kFreeValueCaptionSlots;
    if (KindIsA(o->objectKind, kKindFunction)) return kFreeFunctionCaptionSlots;
    return 0;
}

// Measures the text and sets the bounds with margins (mx, my).
int32_t UpdateTextBounds(SketchObject* object, int32_t mx, int32_t my) {
    CaptionData* d = CaptionDataOf(object);
    if (!d || !d->layout) return 0;
    Sketch* sketch = CurrentSketch();
    GraphicsPort* port = AcquireMeasurePort(sketch);
    LayoutDrawState state{ port, d->style, 0, 0 };
    MeasureLayout(d->layout, &state);
    ReleaseMeasurePort(sketch, port);
    const LayoutNode* root = d->layout;
    object->bounds.right = Clamp(object->bounds.left + 2 * mx + root->width + root->overhang);
    object->bounds.bottom = Clamp(object->bounds.top + 2 * my + root->ascent + root->descent);
    return 1;
}

// Fresh slots: merged and pegged texts find their references in the tree, others start
// with every slot empty.
void ResetSlots(SketchObject* object) {
    if (IsMergedOrPeggedText(object)) {
        AssignReferences(object);
        return;
    }
    CaptionData* d = CaptionDataOf(object);
    int32_t count = 0;
    void** items = PtrListItems(d->valueSlots, &count);
    for (int32_t i = 0; i < count; ++i) items[i] = nullptr;
}

bool IsToolGiven(const SketchObject* o) {
    const Sketch* s = CurrentSketch();
    return s && o->givenIndex >= 0 && o->givenIndex < s->givenKindCount;
}

}  // namespace

CaptionData* CaptionDataOf(SketchObject* object) {
    return HasCaptionData(object) ? ClassData<CaptionData>(object) : nullptr;
}
const CaptionData* CaptionDataOf(const SketchObject* object) {
    return HasCaptionData(object) ? ClassData<CaptionData>(object) : nullptr;
}

TextStyle* TextDataStyleOf(SketchObject* object) {
    CaptionData* d = CaptionDataOf(object);
    return d ? &d->style : nullptr;
}

bool InitCaptionData(CaptionInit* init, const TextStyle* style, int32_t x, int32_t y) {
    *init = CaptionInit{};
    if (style) init->style = *style;
    init->x = x;
    init->y = y;
    init->layout = CreateLayoutNode(kLayoutEmptySlot, nullptr, 0);
    return init->layout != nullptr;
}

bool SetObjectTextLayout(SketchObject* object, CaptionInit* init) {
    if (!object) {
        if (init && init->layout) FreeLayoutNode(init->layout);
        if (init) init->layout = nullptr;
        return true;
    }
    CaptionData* d = CaptionDataOf(object);
    if (!d) return false;
    d->editing = 0;
    CaptionInit made{};
    const bool playback = init && object->objectClass == kClassCaption && CurrentCloneMode() == kClonePlayback;
    if (!init || playback) {
        ScreenPoint p{};
        DefaultObjectPosition(&p, object->objectClass);
        if (init) {
            init->x = p.x;
            init->y = p.y;
            init->style = object->textStyle;
        } else {
            if (!InitCaptionData(&made, &d->style, p.x, p.y)) return false;
            init = &made;
        }
    }
    // The slots are counted on the new tree (a merged text has four per reference in it).
    LayoutNode* old = d->layout;
    const TextStyle oldStyle = d->style;
    d->layout = init->layout;
    d->style = init->style;
    if (!AllocCaptionSlots(object)) {
        d->layout = old;
        d->style = oldStyle;
        if (init == &made) FreeLayoutNode(made.layout);
        return false;
    }
    if (old && old != d->layout) FreeLayoutNode(old);
    init->layout = nullptr;
    const int16_t width = static_cast<int16_t>(object->bounds.right - object->bounds.left);
    const int16_t height = static_cast<int16_t>(object->bounds.bottom - object->bounds.top);
    object->bounds.left = Clamp(init->x);
    object->bounds.top = Clamp(init->y);
    object->bounds.right = Clamp(object->bounds.left + width);
    object->bounds.bottom = Clamp(object->bounds.top + height);
    return true;
}

bool AllocCaptionSlots(SketchObject* object) {
    CaptionData* d = CaptionDataOf(object);
    if (!d) return false;
    const int32_t count = SlotCountOf(object);
    if (d->valueSlots) {
        int32_t have = 0;
        PtrListSize(d->valueSlots, &have);
        if (have == count) {
            ResetSlots(object);
            return true;
        }
        FreePtrList(&d->valueSlots);
    }
    if (count == 0) {
        ResetSlots(object);
        return true;
    }
    if (!AllocPtrList(count, count, &d->valueSlots)) return false;
    ResetSlots(object);
    return true;
}

void ClearValueSlots(SketchObject* object) {
    CaptionData* d = CaptionDataOf(object);
    if (!d) return;
    if (object->objectClass == kClassCaption && object->objectKind == kKindMergedText) {
        DropChangedParts(object);
        return;
    }
    int32_t count = 0;
    void** items = PtrListItems(d->valueSlots, &count);
    for (int32_t i = 0; i < count; ++i) items[i] = nullptr;
}

void FreeCaptionData(SketchObject* object) {
    CaptionData* d = CaptionDataOf(object);
    if (!d) return;
    FreePtrList(&d->valueSlots);
    if (d->layout) FreeLayoutNode(d->layout);
    d->layout = nullptr;
}

int32_t InitCaptionObject(SketchObject* object, void* init) {
    return SetObjectTextLayout(object, static_cast<CaptionInit*>(init)) ? 1 : 0;
}

void FreeCaptionObject(SketchObject* object) { FreeCaptionData(object); }

int32_t UpdateCaptionBounds(SketchObject* object) {
    return UpdateTextBounds(object, DrawingMetrics.intMetricsB[kMetricCaptionMarginX],
                           DrawingMetrics.intMetricsB[kMetricCaptionMarginY]);
}

int32_t UpdateValueDisplayBounds(SketchObject* object) {
    return UpdateTextBounds(object, DrawingMetrics.intMetricsB[kMetricValueMarginX],
                           DrawingMetrics.intMetricsB[kMetricValueMarginY]);
}

void InvalidateCaptionLayout(SketchObject* object) {
    CaptionData* d = CaptionDataOf(object);
    if (!d || !d->layout) return;
    MarkLayoutSubtreeDirty(d->layout);
    RelayoutObjectText(object, true);
}

void DrawCaption(GraphicsPort* port, SketchObject* object) {
    CaptionData* d = CaptionDataOf(object);
    if (!d || !d->layout) return;
    const bool caption = object->objectClass == kClassCaption;
    const int32_t mx = DrawingMetrics.intMetricsB[caption ? kMetricCaptionMarginX : kMetricValueMarginX];
    const int32_t my = DrawingMetrics.intMetricsB[caption ? kMetricCaptionMarginY : kMetricValueMarginY];
    LayoutDrawState state{ port, d->style, 0, 0 };
    if (d->layout->dirty) MeasureLayout(d->layout, &state);
    state.x = Clamp(object->bounds.left + mx);
    state.y = Clamp(object->bounds.top + d->layout->ascent + my);
    DrawLayout(d->layout, &state);
}

void DrawCaptionScaled(GraphicsPort* port, SketchObject* object, const OutputScale* scale) {
    CaptionData* d = CaptionDataOf(object);
    if (!d || !d->layout || !scale) return;
    LayoutDrawState state{ port, d->style, 0, 0 };
    MeasureLayout(d->layout, &state);
    const ScreenRect saved = object->bounds;
    auto map = [&](int16_t v, int32_t offset) {
        return RoundToScreen(v * scale->factor + offset);
    };
    object->bounds = { map(saved.left, scale->offsetX), map(saved.top, scale->offsetY),
                       map(saved.right, scale->offsetX), map(saved.bottom, scale->offsetY) };
    if (DrawFn draw = ObjectClassTable[object->objectClass].draw) draw(port, object);
    object->bounds = saved;
}

void StyleFromFontFlags(const OldFontRecord* font, TextStyle* style) {
    style->field[kStyleWeight] = (font->flags & 1) ? 2 : 1;
    style->field[kStyleSlant] = (font->flags & 2) ? 2 : 1;
    style->field[kStyleUnderline] = (font->flags & 4) ? 2 : 1;
    style->field[kStyleSize] = static_cast<int16_t>(font->size);
}

void FontFlagsFromStyle(const TextStyle* style, OldFontRecord* font) {
    font->flags = static_cast<uint8_t>((style->field[kStyleWeight] == 2 ? 1 : 0) |
                                       (style->field[kStyleSlant] == 2 ? 2 : 0) |
                                       (style->field[kStyleUnderline] == 2 ? 4 : 0));
    font->size = static_cast<uint16_t>(style->field[kStyleSize]);
}

// ---- TextEditOps

TextStyle* CaptionTextStyleOf(SketchObject* object) {
    CaptionData* d = CaptionDataOf(object);
    return d ? &d->style : nullptr;
}

int32_t WriteCaptionText(SketchObject* object, void* writeContext) {
    CaptionData* d = CaptionDataOf(object);
    if (!d || !d->layout) return 0;
    return SerializeLayout(d->layout, nullptr, static_cast<LayoutWriteContext*>(writeContext));
}

void SetCaptionStyle(SketchObject* object, const TextStyle* style) {
    CaptionData* d = CaptionDataOf(object);
    if (!d) return;
    d->style = *style;
    object->textStyle = *style;
    if (d->layout) MarkLayoutSubtreeDirty(d->layout);
}

bool CaptionNeedsTextRefresh(const SketchObject* object, int32_t reason) {
    const CaptionData* d = CaptionDataOf(object);
    if (!d || IsToolGiven(object) || d->editing) return false;
    if (KindIsA(object->objectKind, kKindAnalyticMeasure) && !KindIsA(object->objectKind, kKindFunction))
        return reason == 1;
    if (!KindIsA(object->objectKind, kKindCalculation)) return true;
    return reason == 0 || ValueDisplayModeOf(object) == 0;
}

void RefreshCaptionSlots(SketchObject* object) {
    const CaptionData* d = CaptionDataOf(object);
    if (!d || IsToolGiven(object) || d->editing) return;
    ClearValueSlots(object);
    RecomputeAndRedrawObject(object);
}

const TextEditOps CaptionTextEditOps = {
    CaptionTextStyleOf, WriteCaptionText, SetCaptionStyle, CaptionNeedsTextRefresh, RefreshCaptionSlots,
};

// ---- Display parts

namespace {

bool NoValue(const SketchObject*) { return false; }
bool CaptionHasValue(const SketchObject*) { return true; }
int32_t TwoParts(const SketchObject*) { return 2; }

void DefaultPartInfo(const SketchObject*, int32_t, int32_t* mayChange, int32_t* dropOnClear) {
    *mayChange = 0;
    *dropOnClear = 1;
}
void CaptionPartInfo(const SketchObject*, int32_t, int32_t* mayChange, int32_t* dropOnClear) {
    *mayChange = 1;
    *dropOnClear = 1;
}

LayoutNode* BuildNamePart(SketchObject* object, int32_t part, int32_t* flatten, int32_t* join, int32_t* wrapStyled,
                          TextStyle* style, int32_t* owned) {
    *flatten = part == 0;
    *join = 0;
    *wrapStyled = part == 1;
    *style = object->textStyle;
    *owned = 1;
    return BuildObjectLabelLayout(object, nullptr, false, false);
}

// The alternatives node under a coordinate caption's shown alternative that shows the
// name prefix, or null when the tree does not have that form.
LayoutNode* NamePrefixNode(LayoutNode* root) {
    if (!root || root->kind != kLayoutAlternatives) return nullptr;
    int32_t shown = 0;
    LayoutNode* n = ShownAlternative(root, &shown);
    while (n && n->kind != kLayoutAlternatives && n->firstChild) n = n->firstChild;
    return n && n->kind == kLayoutAlternatives ? n : nullptr;
}

LayoutNode* BuildCaptionPart(SketchObject* object, int32_t part, int32_t* flatten, int32_t* join, int32_t* wrapStyled,
                             TextStyle* style, int32_t* owned) {
    CaptionData* d = CaptionDataOf(object);
    *flatten = part == 0;
    *join = part == 0;
    *wrapStyled = part == 1;
    *style = object->textStyle;
    *owned = 0;
    if (!d) return nullptr;
    if (KindIsA(object->objectKind, kKindAnalyticMeasure)) {
        if (LayoutNode* prefix = NamePrefixNode(d->layout)) {
            // The copy shows the coordinates without the name prefix.
            // 0 shows no alternative, 1 the first (the name prefix).
            SelectAlternative(prefix, 0);
            LayoutNode* copy = nullptr;
            CloneLayoutTreeCode(d->layout, &copy);
            SelectAlternative(prefix, 1);
            *owned = 1;
            return copy;
        }
    }
    return d->layout;
}

const DisplayPartsOps kDefaultDisplayParts = { NoValue, TwoParts, DefaultPartInfo, BuildNamePart };
const DisplayPartsOps kCaptionDisplayParts = { CaptionHasValue, TwoParts, CaptionPartInfo, BuildCaptionPart };

}  // namespace

const DisplayPartsOps* DefaultDisplayPartsOf(const SketchObject*) { return &kDefaultDisplayParts; }
const DisplayPartsOps* CaptionDisplayPartsOf(const SketchObject*) { return &kCaptionDisplayParts; }
