#include "engine/text/object_text.h"

#include "engine/core/geometry.h"
#include "engine/core/iterations.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_stack.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/action_button_data.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/tables.h"
#include "engine/core/services/text_data.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/text_style.h"

namespace {

constexpr int32_t kFamilyLabel = 0;
constexpr int32_t kFamilyCaption = 1;
constexpr int32_t kFamilyValue = 2;
constexpr int32_t kFamilyCount = 5;
constexpr int32_t kNotPlaced = 3;

int16_t ClampScreen(int32_t v) { return RoundToScreen(v); }

int32_t TextFamilyOf(const SketchObject* o) {
    return o->objectClass >= 0 && o->objectClass < kClassCount ? ObjectClassTable[o->objectClass].textFamily : 7;
}

int32_t RemeasureLabelFamily(SketchObject* object) {
    RemeasureLabel(object);
    return 1;
}
int32_t ButtonFamily(SketchObject* object) {
    ActionButtonFrameMetrics(object);
    return 1;
}
int32_t TableFamily(SketchObject* object) {
    RelayoutTableCells(object);
    return 1;
}

void MarkArea(SketchObject* object) {
    if (TextFamilyOf(object) == kFamilyLabel) InvalidateLabelRect(object);
    else AddObjectToDirtyRect(object);
}

// Makes every style node of the tree inherit the fields the style sets, so that the
// whole text takes them.
void RestyleWholeTree(LayoutNode* root, const TextStyle* style) {
    ForEachLayoutNode(root, [style](LayoutNode* n) {
        if (n->kind == kLayoutStyle) {
            auto* s = static_cast<StyleNode*>(n);
            for (int32_t i = 0; i < kStyleFieldCount; ++i)
                if (style->field[i] != 0 && i != kStyleScriptLevel && i != kStyleOvermark) s->style.field[i] = 0;
        }
        return true;
    });
}

bool IsHiddenFromPlacement(const SketchObject* o) {
    return o->hidden != kShown || o->objectClass < 0 || o->objectClass >= kClassCount ||
           ObjectClassTable[o->objectClass].placementGroup == kNotPlaced;
}

}  // namespace

const TextRelayoutFn TextFamilyTable[kFamilyCount] = {
    RemeasureLabelFamily, UpdateCaptionBounds, UpdateValueDisplayBounds, ButtonFamily, TableFamily,
};

int32_t RelayoutObjectText(SketchObject* object, bool markDirty) {
    const int32_t family = TextFamilyOf(object);
    if (family < 0 || family >= kFamilyCount) return 0;
    if (markDirty) MarkArea(object);
    const int32_t result = TextFamilyTable[family](object);
    if (markDirty) MarkArea(object);
    return result;
}

void RelayoutObjectText(SketchObject* object) { RelayoutObjectText(object, false); }

const int16_t TextSizeSteps[12] = { 8, 9, 10, 12, 14, 18, 24, 36, 48, 64, 72, 128 };

int32_t SteppedTextSize(int32_t c, int32_t step) {
    if (step == 0) return c;
    for (int32_t i = 0; i + 1 < 12; ++i) {
        const int32_t d = TextSizeSteps[i], e = TextSizeSteps[i + 1];
        if (step > 0 && d <= c && c < e) return e;
        if (step < 0 && d < c && c <= e) return d;
    }
    if (c > 128 && step < 0) return 128;
    if (c < 8 && step > 0) return 8;
    return c;
}

void ApplyTextStyleToObject(SketchObject* object, const TextStyle* style, int32_t step) {
    AddObjectToDirtyRect(object);
    OverrideTextStyle(&object->textStyle, style);
    const int32_t family = TextFamilyOf(object);
    CaptionData* d = CaptionDataOf(object);
    if (step != 0) {
        object->textStyle.field[kStyleSize] =
            static_cast<int16_t>(SteppedTextSize(object->textStyle.field[kStyleSize], step));
        if (d && (family == kFamilyCaption || family == kFamilyValue))
            d->style.field[kStyleSize] = object->textStyle.field[kStyleSize];
    }
    if (d && (family == kFamilyCaption || family == kFamilyValue)) {
        if (style->field[kStyleRed] != 0) {
            object->color = uint32_t(style->field[kStyleRed] - 1) | uint32_t(style->field[kStyleGreen] - 1) << 8 |
                            uint32_t(style->field[kStyleBlue] - 1) << 16;
        }
        if (d->layout) {
            OverrideTextStyle(&d->style, style);
            if (step != 0) d->style.field[kStyleSize] = object->textStyle.field[kStyleSize];
            if (family == kFamilyCaption) RestyleWholeTree(d->layout, style);
            MarkLayoutSubtreeDirty(d->layout);
        }
    }
    RelayoutObjectText(object, false);
    if (family == kFamilyLabel) PlaceObjectLabel(object);
    AddObjectToDirtyRect(object);
}

// The depth value and value seeds and destinations are values, point seeds and
// destinations points, the dependent chain anything.
static int32_t IterationParentKind(SketchObject* object, int32_t index) {
    const int32_t base = IterationSeedBase(object);
    if (index < base) return kKindCalculation;
    const IterationParameters& p = IterationDataOf(object)->parameters;
    if (p.seedCount == 0 || index >= IterationChainBase(object)) return kKindObject;
    const auto* seed = static_cast<SketchObject*>(PtrListItem(object->parents, base + (index - base) % p.seedCount));
    return seed && seed->objectClass == kClassPoint ? kKindPoint : kKindCalculation;
}
// Hide and show act on anything, Move and Scroll on points, a presentation on buttons;
// an Animate target keeps its own kind, points staying points.
static int32_t ButtonParentKind(SketchObject* object, int32_t index) {
    const ActionButtonData* b = ActionButtonOf(object);
    if (b == nullptr) return kKindNone;
    switch (b->buttonType) {
    case kButtonHide:
    case kButtonShow: return kKindObject;
    case kButtonMove:
    case kButtonScroll: return kKindPoint;
    case kButtonPresentation: return kKindActionButton;
    case kButtonAnimate: {
        const auto* target = static_cast<const SketchObject*>(PtrListItem(object->parents, index));
        if (target == nullptr) return kKindNone;
        return target->objectClass == kClassPoint ? kKindPoint : target->objectKind;
    }
    default: return kKindNone;
    }
}

ParentKindRuleFn GetParentKindRule(const SketchObject* object) {
    switch (object->constructionType) {
        case kTypeIterationRule:
        case kTypeIterationRuleDepth:
            return IterationParentKind;
        case kTypeActionButton:
            return ButtonParentKind;
        default:
            return nullptr;
    }
}

// ---- Placement

const PlacementRecord PlacementRecords[2] = {
    { 10, 5, 1, 60, 15 },  // captions, measurements, calculations, tables
    { 10, 5, 3, 50, 15 },  // action buttons, pictures
};

bool FindPlacementBelow(ScreenPoint* point, const PlacementRecord& r, const ScreenRect& v) {
    int32_t x = point->x, y = point->y;
    // Each step moves down or to a later column, so the walk ends; the bound only guards
    // against a visible rectangle too small to hold a candidate.
    for (int32_t guard = 0; guard < 1 << 20; ++guard) {
        const ScreenRect c = { ClampScreen(x), ClampScreen(y), ClampScreen(x + r.width), ClampScreen(y + r.height) };
        if (c.bottom > v.bottom) {
            x += (v.right - v.left) / 5;
            if (x + r.width > v.right || v.right <= v.left) return false;
            y = v.top + r.defaultY;
            continue;
        }
        const SketchObject* blocker = nullptr;
        for (const SketchObject* o = CurrentSketch()->lastObject; o && !blocker; o = o->prevInSketch) {
            if (IsHiddenFromPlacement(o)) continue;
            if (ScreenRectsOverlap(o->bounds, c)) blocker = o;
        }
        if (!blocker) {
            point->x = ClampScreen(x);
            point->y = ClampScreen(y);
            return true;
        }
        if (blocker->bounds.left > x) x = blocker->bounds.left;
        const int32_t below = blocker->bounds.bottom + r.gap;
        if (below <= y) return false;  // a rectangle that cannot be passed
        y = below;
    }
    return false;
}

void DefaultObjectPosition(ScreenPoint* point, int32_t objectClass) {
    const int32_t group = objectClass >= 0 && objectClass < kClassCount ? ObjectClassTable[objectClass].placementGroup : 0;
    const PlacementRecord& r = PlacementRecords[group == 1 ? 1 : 0];
    *point = { static_cast<int16_t>(r.defaultX), static_cast<int16_t>(r.defaultY) };
    Sketch* sketch = CurrentSketch();
    if (!sketch || !UpdateSketchVisibleRect(sketch)) return;
    const ScreenRect v = sketch->windowRect;
    for (const SketchObject* o = sketch->lastObject; o; o = o->prevInSketch) {
        if (o->hidden != kShown || ObjectClassTable[o->objectClass].placementGroup != group) continue;
        if (!ScreenRectsOverlap(o->bounds, v)) continue;
        ScreenPoint p = { o->bounds.left, ClampScreen(o->bounds.bottom + r.gap) };
        if (FindPlacementBelow(&p, r, v)) {
            *point = p;
            return;
        }
        break;
    }
    ScreenPoint p = { ClampScreen(point->x + v.left), ClampScreen(point->y + v.top) };
    if (FindPlacementBelow(&p, r, v)) {
        *point = p;
        return;
    }
    *point = { ClampScreen(r.defaultX + v.left), ClampScreen(r.defaultY + v.top) };
}

// ---- Predicates

bool CanSkipValueText(const SketchObject* object) {
    const int32_t depth = NestedEvaluationDepth;
    if (object->hidden == kShown && depth == 0) return false;
    if (depth >= 2) return true;
    return !HasTextDependent(object);
}

bool HasTextDependent(const SketchObject* object) {
    // Walked with a stack: a chain of texts showing texts may be as long as the document.
    StampedVisits visits(&CurrentSketch()->traversalGeneration);
    ObjectStack stack;
    if (!stack.Push(const_cast<SketchObject*>(object))) return true;
    while (!stack.Empty()) {
        const SketchObject* o = stack.Pop();
        int32_t count = 0;
        void** children = PtrListItems(o->children, &count);
        for (int32_t i = 0; i < count; ++i) {
            SketchObject* c = static_cast<SketchObject*>(children[i]);
            if (c->constructionType < 0 || c->constructionType >= kConstructionTypeCount) continue;
            if (!(ConstructionTypeTable[c->constructionType].flags & kTypeShowsParentText)) continue;
            if (c->hidden == kShown) return true;
            if (!visits.Seen(c)) {
                if (!visits.Mark(c) || !stack.Push(c)) return true;  // without memory, assume it is shown
            }
        }
    }
    return false;
}

bool IsIntersectable(const SketchObject* object) {
    if (object->objectClass < 0 || object->objectClass >= kClassCount) return false;
    return ObjectClassTable[object->objectClass].intersectable != 0;
}

void ReverseTempList(SketchObject** head) {
    SketchObject* reversed = nullptr;
    SketchObject* o = *head;
    while (o) {
        SketchObject* next = o->tempLink;
        o->tempLink = reversed;
        reversed = o;
        o = next;
    }
    *head = reversed;
}
