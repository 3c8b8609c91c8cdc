#include "engine/interact/mouse.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/calc/tables.h"
#include "engine/core/drag_analysis.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/geometry.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_geometry.h"
#include "engine/core/object_tables.h"
#include "engine/core/alerts.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/shell.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/status_text.h"
#include "engine/core/straight_object_ops.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/command_state.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/object_drag.h"
#include "engine/interact/selection_census.h"
#include "engine/text/caret_codes.h"
#include "engine/text/status_prompt.h"

namespace {

// Distance and angle parameters are kinds of measurement in the kind tree, not of the
// plain parameter.
bool IsParameterKind(int32_t kind) {
    return KindIsA(kind, kKindPlainParameter) || KindIsA(kind, kKindDistanceParameter) ||
           KindIsA(kind, kKindAngleParameter);
}

// The last construction-tool point before any: the tool move step is never held back.
constexpr ScreenPoint kNoToolPoint = { -32767, -32767 };
constexpr ScreenPoint kNoHoverPoint = { -32767, -32767 };
// Pending-message codes a click leaves for the next one.
constexpr int32_t kPendingMergedText = 1;
constexpr int32_t kPendingFixedAxis  = 2;
constexpr int32_t kPendingReadOnly   = 3;

constexpr int32_t kAlertNotDraggable = 136;
constexpr int32_t kAlertReadOnlyText = 129;
constexpr int32_t kAlertFixedUnit    = 142;

struct IntersectionHit {
    SketchObject* first;
    SketchObject* second;
    int32_t       type;
    RealPoint     point;
};

struct DoubleClickMemory {
    Sketch*       sketch;
    int32_t       tool;
    uint32_t      selectionStamp;
    SketchObject* object;
    SketchObject* other;
    bool          onLabel;
};

struct MouseRecord {
    int32_t       state;
    bool          tracked;
    ScreenPoint   point;
    ScreenPoint   downPoint;
    uint32_t      dragDeadline;
    SketchObject* hit;
    SketchObject* selectedUnder;
    bool          downShift;
    SketchObject* axisObject;
    ScreenRect    marquee;
    PtrList       snapshot;
    DrawHook      marqueeHook;
    bool          marqueeHooked;
    int32_t       savedState;
    ScreenPoint   lastToolPoint;
    bool          toolHold;
    // Hover memory.
    uint32_t      hoverFlags;
    ScreenPoint   hoverPoint;
    uint32_t      hoverMotion;
    int32_t       hoverTool;
    int32_t       pendingCode;
    int32_t       clickPendingCode;  // the previous click's code, for this click
    DoubleClickMemory doubleClick;
    bool          doubleConsumed;
    IntersectionHit intersection;
    bool          hasIntersection;
    int32_t       cursorKind;
    // What the hover prompt of an object shows.
    SketchObject* hoverObject;
    uint32_t      hoverObjectFlags;
};

MouseRecord gMouse = [] {
    MouseRecord m{};
    m.lastToolPoint = kNoToolPoint;
    m.hoverPoint = kNoHoverPoint;
    m.hoverFlags = 0xffffffffu;
    return m;
}();

bool Shift(uint32_t flags) { return (flags & kMouseShift) == kMouseShift; }

ScreenRect HitBox(ScreenPoint p) {
    return { static_cast<int16_t>(p.x - 1), static_cast<int16_t>(p.y - 1),
             static_cast<int16_t>(p.x + 2), static_cast<int16_t>(p.y + 2) };
}

bool ObjectIsUsable(const SketchObject* o) {
    return o->exists == 1 && o->hidden == kShown && !IsExcludedFromHits(o);
}

bool Qualifies(SketchObject* o, const ScreenRect& box, ScreenPoint p, bool all) {
    if (!ObjectIsUsable(o)) return false;
    if ((o->markFlags & 0x4) && !HasMarkCategory(26, o)) return false;
    if (!ScreenRectsOverlap(o->bounds, box)) return false;
    if (!all && !o->selectable) return false;
    HitTestFn hit = ObjectClassTable[o->objectClass].hitTest;
    return hit && hit(p, o);
}

bool IsStraightLike(const SketchObject* o) {
    return o->objectClass == kClassStraight || o->objectClass == kClassAxis;
}
bool IsCircleLike(const SketchObject* o) {
    return o->objectClass == kClassCircle || o->objectClass == kClassArc;
}
bool HasOutline(const SketchObject* o) {
    return IsStraightLike(o) || IsCircleLike(o);
}

// The candidate intersections of two outlines; answers how many (0..2) with types.
int32_t Intersections(SketchObject* a, SketchObject* b, IntersectionHit out[2]) {
    int32_t n = 0;
    if (IsStraightLike(a) && IsStraightLike(b)) {
        LineForm fa, fb;
        int32_t ka = 0, kb = 0;
        if (!GetLineForm(a, &fa, &ka, nullptr) || !GetLineForm(b, &fb, &kb, nullptr)) return 0;
        RealPoint p;
        if (IntersectLines(fa, ka, fb, kb, &p)) out[n++] = { a, b, kTypeIntersectStraights, p };
        return n;
    }
    if (IsStraightLike(a) != IsStraightLike(b)) {
        SketchObject* straight = IsStraightLike(a) ? a : b;
        SketchObject* curve = straight == a ? b : a;
        LineForm form;
        int32_t kind = 0;
        if (!GetLineForm(straight, &form, &kind, nullptr)) return 0;
        for (int32_t side : { 1, -1 }) {
            RealPoint p;
            if (IntersectLineCircle(form, kind, curve, side, &p))
                out[n++] = { straight, curve, side == 1 ? 11 : 12, p };
        }
        return n;
    }
    for (int32_t side : { 1, -1 }) {
        RealPoint p;
        if (IntersectCircles(a, b, side, &p)) out[n++] = { a, b, side == 1 ? 13 : 14, p };
    }
    return n;
}

// Another intersectable outline of layers 6 and 5 under the box meeting `object`
// within 3 pixels of the pointer; the nearer of the two candidate points wins.
bool FindIntersection(Sketch* sketch, SketchObject* object, ScreenPoint p, const ScreenRect& box,
                      IntersectionHit* found) {
    bool any = false;
    double best = 0;
    for (int32_t layer : { 6, 5 }) {
        SketchObject* head = sketch->layerHeads[layer];
        if (!head) continue;
        SketchObject* o = head;
        do {
            if (o != object && ObjectIsUsable(o) && HasOutline(o) &&
                ObjectClassTable[o->objectClass].intersectable &&
                ScreenRectsOverlap(o->bounds, box)) {
                HitTestFn hit = ObjectClassTable[o->objectClass].hitTest;
                if (hit && hit(p, o)) {
                    IntersectionHit candidates[2];
                    const int32_t n = Intersections(object, o, candidates);
                    for (int32_t i = 0; i < n; ++i) {
                        const double dx = std::fabs(candidates[i].point.x - p.x);
                        const double dy = std::fabs(candidates[i].point.y - p.y);
                        if (dx > 3 || dy > 3) continue;
                        const double d = dx * dx + dy * dy;
                        if (!any || d < best) {
                            any = true;
                            best = d;
                            *found = candidates[i];
                        }
                    }
                }
            }
            o = o->nextInLayer;
        } while (o != head);
        if (any) return true;
    }
    return any;
}

uint32_t PartFlags(Sketch* sketch, SketchObject* o, ScreenPoint p, const ScreenRect& box) {
    uint32_t parts = 0;
    switch (o->objectClass) {
    case kClassStraight:
    case kClassCircle:
    case kClassAxis:
    case kClassArc:
        parts |= kHitOutline;
        if (ObjectClassTable[o->objectClass].intersectable) {
            IntersectionHit hit;
            if (FindIntersection(sketch, o, p, box, &hit)) {
                parts |= kHitIntersection;
                gMouse.intersection = hit;
                gMouse.hasIntersection = true;
            }
        }
        break;
    case kClassPolygonInterior:
    case kClassCircleInterior:
    case kClassArcInterior:
        parts |= kHitOutline;
        break;
    case kClassActionButton:
        if (HitTestActionButton(p, o)) parts |= kHitButtonFace;
        break;
    case kClassLocus:
        if (HitTestLocusHandle(p, o)) parts |= kHitLocusHandle;
        break;
    case kClassPicture:
        if (HitTestPictureGrip(p, o)) parts |= kHitPictureGrip;
        break;
    default:
        break;
    }
    return parts;
}

SketchObject* LabelUnder(Sketch* sketch, ScreenPoint p) {
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (o->exists != 1 || o->hidden != kShown || !o->label.shown) continue;
        ObjectPredicateFn follows = ObjectClassTable[o->objectClass].labelFollowsGeometry;
        if (follows && !follows(o)) continue;
        if (LabelHitTest(p, o)) return o;
    }
    return nullptr;
}

SketchObject* AxisMarkUnder(Sketch* sketch, ScreenPoint p) {
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (o->objectClass != kClassAxis || !ObjectIsUsable(o)) continue;
        if (!ScreenPointInRect(p, o->bounds)) continue;
        double value = 0, offset = 0;
        if (SnapToAxisGrid(o, p, &value, &offset)) return o;
    }
    return nullptr;
}

void RedrawNow() { FlushPendingRedraw(1); }

void ClearDoubleClickMemory() { gMouse.doubleClick = DoubleClickMemory{}; }

void RememberDoubleClick(SketchObject* object, SketchObject* other, bool onLabel) {
    Sketch* sketch = CurrentSketch();
    gMouse.doubleClick = { sketch, CurrentToolId(), sketch->selectionChangeCount, object, other,
                           onLabel };
}

void SetCursor(int32_t kind) { gMouse.cursorKind = kind; }

// ---- Hover prompt of an object ----------------------------------------------------

uint32_t ObjectNounProvider(char code, void* context, uint32_t n, char* destination) {
    const char* const* texts = static_cast<const char* const*>(context);
    const char* text = nullptr;
    if (code == 'A') text = texts[0];
    if (code == 'B') text = texts[1];
    if (code == 'C') text = texts[2];
    if (!text) return 0;
    const uint32_t length = static_cast<uint32_t>(std::strlen(text));
    if (destination) std::memcpy(destination, text, n < length ? n : length);
    return length;
}

void HoverObjectStatusText(char** text, StatusTextProvider*) {
    *text = nullptr;
    Sketch* sketch = CurrentSketch();
    SketchObject* o = gMouse.hoverObject;
    const SelectionCensus& census = CurrentSelectionCensus();
    if (!sketch || !o || census.censusSketch != sketch ||
        census.censusStamp != sketch->selectionChangeCount)
        return;
    const uint32_t parts = gMouse.hoverObjectFlags & 0xff;
    const bool selectedUnder = (gMouse.hoverObjectFlags & 0x100) != 0;
    int32_t item;
    if (parts & kHitIntersection) item = 23;
    else if (selectedUnder) item = 21;
    else if (!IsSelected(o)) item = 19;
    else if (census.selectedCount == 1) item = 20;
    else item = 22;
    char label[256] = "";
    if (o->label.level > 1) GetObjectLabelText(o, label, sizeof label);
    const int32_t kind = EffectiveKind(o);
    const char* texts[3] = { label, KindNoun(kind, kNounSingular), census.noun };
    const char* templ = GroupText(kGroupStatusPrompts, item);
    char buffer[512];
    const uint32_t n = ExpandCaretCodes(templ, static_cast<uint32_t>(std::strlen(templ)), 1,
                                        sizeof buffer - 1, buffer, ObjectNounProvider, texts);
    buffer[n] = 0;
    char* block = static_cast<char*>(AllocMemory(n + 1, 0));
    if (!block) return;
    std::memcpy(block, buffer, n + 1);
    *text = block;
}

void SetHoverObjectStatus(SketchObject* o, uint32_t parts, bool selectedUnder) {
    Sketch* sketch = CurrentSketch();
    gMouse.hoverObject = o;
    gMouse.hoverObjectFlags = (parts & 0xff) | (selectedUnder ? 0x100 : 0);
    const uint32_t objectBits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(o) >> 3);
    const uint32_t key = sketch->selectionChangeCount * 2654435761u ^
                         (static_cast<uint32_t>(o->label.shown) << 31) ^
                         (gMouse.hoverObjectFlags << 20) ^ objectBits;
    const StatusTextProvider provider{ HoverObjectStatusText, key };
    SetStatusTextProvider(&provider, 0);
}

// ---- Marquee ------------------------------------------------------------------------

void DrawMarqueeHook(DrawHook*, const ScreenRect*, GraphicsPort* port) {
    if (!ScreenRectIsEmpty(gMouse.marquee)) DrawSelectionMarquee(port, gMouse.marquee);
}

void EndMarquee() {
    if (!ScreenRectIsEmpty(gMouse.marquee)) {
        ScreenRect old = gMouse.marquee;
        ScreenRectInset(&old, -1, -1);
        UnionDirtyRect(&old);
    }
    ScreenRectSetEmpty(&gMouse.marquee);
    if (gMouse.snapshot) FreePtrList(&gMouse.snapshot);
    if (gMouse.marqueeHooked) RemoveDrawHook(&gMouse.marqueeHook);
    gMouse.marqueeHooked = false;
}

void MarqueeStep(ScreenPoint p) {
    Sketch* sketch = CurrentSketch();
    ScreenRect r = { std::min(gMouse.downPoint.x, p.x), std::min(gMouse.downPoint.y, p.y),
                     std::max(gMouse.downPoint.x, p.x), std::max(gMouse.downPoint.y, p.y) };
    if (r.right - r.left < kMarqueeMinimum && r.bottom - r.top < kMarqueeMinimum) {
        ScreenRectSetEmpty(&r);
    }
    const ScreenRect old = gMouse.marquee;
    const bool changed = std::memcmp(&old, &r, sizeof r) != 0;
    if (changed) {
        ScreenRect area = old;
        ScreenRectUnion(r, &area);
        ScreenRectInset(&area, -1, -1);
        if (!ScreenRectIsEmpty(area)) UnionDirtyRect(&area);
        gMouse.marquee = r;
    } else if (!(ActivityWord() & kActivityAnimating)) {
        return;
    }
    DeselectAll();
    int32_t count = 0;
    void** items = PtrListItems(gMouse.snapshot, &count);
    for (int32_t i = 0; i < count; ++i) {
        SketchObject* o = static_cast<SketchObject*>(items[i]);
        if (o->exists == 1 && o->hidden == kShown) SelectSketchObject(o);
    }
    if (ScreenRectIsEmpty(r)) return;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (IsSelected(o) || !ObjectIsUsable(o) || !o->selectable) continue;
        if (!ScreenRectsOverlap(o->bounds, r)) continue;
        HitTestRectFn inRect = ObjectClassTable[o->objectClass].hitTestRect;
        if (inRect && inRect(&r, o)) SelectSketchObject(o);
    }
}

// ---- Drag start ---------------------------------------------------------------------

void StartDragStep(ScreenPoint p) {
    if (std::abs(p.x - gMouse.downPoint.x) <= kDragStartDistance &&
        std::abs(p.y - gMouse.downPoint.y) <= kDragStartDistance &&
        !DeadlinePassed(gMouse.dragDeadline))
        return;
    Sketch* sketch = CurrentSketch();
    SketchObject* first = nullptr;
    const bool wholeSelection = gMouse.selectedUnder || gMouse.downShift;
    if (gMouse.axisObject) {
        first = gMouse.axisObject;
        first->tempLink = nullptr;
    } else if (wholeSelection) {
        first = LinkSelection();
    } else {
        DeselectAll();
        first = gMouse.hit;
        if (first) first->tempLink = nullptr;
    }
    gMouse.state = kMouseIdle;
    if (!first) return;
    const int32_t mode = gMouse.axisObject ? kDragTranslate : DragModeOfTool();
    DragPlanEntry* plan = nullptr;
    ObjectFlagsEntry* moves = nullptr;
    const DragRequest request = { first, mode, &plan, &moves };
    const bool draggable = AnalyzeDragSet(&request) != 0 && plan && plan[0].object;
    FreeMemory(moves);
    if (!draggable) {
        FreeMemory(plan);
        ShowAlertByCode(kAlertNotDraggable, 1);
        return;
    }
    UndoDescriptor name = { static_cast<uint16_t>(21 + mode), kUndoNounWorkedOut, 0, nullptr };
    if (gMouse.axisObject) name = { 18, kUndoNounNone, 0, nullptr };
    if (!sketch->selectionHead && !gMouse.axisObject && gMouse.hit) SelectSketchObject(gMouse.hit);
    if (BeginObjectDrag(gMouse.downPoint, plan, &name, gMouse.axisObject)) {
        if (!gMouse.axisObject) ClearStatusTextProvider(0);
        gMouse.state = kMouseDragging;
    }
}

// ---- Construction tools ---------------------------------------------------------------

void ToolMoveStep(uint32_t flags, ScreenPoint p) {
    if (gMouse.state != kMouseToolTracking) {
        if (gMouse.toolHold) return;
        if (std::abs(p.x - gMouse.lastToolPoint.x) < 7 && std::abs(p.y - gMouse.lastToolPoint.y) < 7)
            return;
        if (!StartCurrentTool()) return;
    }
    if ((flags & kMouseAlt) && !gMouse.tracked) {
        ToolIdle();
        SetCursor(kCursorScrollHand);
        SetStatusPrompt(kGroupStatusPrompts, 14);
    } else {
        ToolTrack(p, Shift(flags));
        gMouse.lastToolPoint = p;
    }
    RedrawNow();
}

void ToolButtonDown(uint32_t flags, ScreenPoint p) {
    if (gMouse.state != kMouseToolTracking) {
        const bool held = gMouse.toolHold;
        gMouse.toolHold = false;
        gMouse.lastToolPoint = kNoToolPoint;
        ToolMoveStep(flags & ~kMouseAlt, p);
        if (held || gMouse.state != kMouseToolTracking) return;
    }
    ToolClick(p, (flags & kMouseKeepSelect) != 0, (flags & kMouseConstrain) != 0);
    if (gMouse.state != kMouseToolTracking) gMouse.toolHold = gMouse.tracked;
}

// ---- Text tool ------------------------------------------------------------------------

void TextToolClick(ScreenPoint p, bool isDouble) {
    if (IsCaptionEditing()) {
        ScreenRect box;
        if (auto form = LaterForms().caption.pressEditorHandle; form && form(p)) return;
        if (CaptionEditorRect(&box) && ScreenPointInRect(p, box)) TrackEditorMouse(p, false);
        else EndCaptionEditing();
        return;
    }
    Sketch* sketch = CurrentSketch();
    if (SketchObject* labelled = LabelUnder(sketch, p)) {
        if (isDouble) {
            OpenLabelProperties(labelled);
            gMouse.tracked = false;
        } else {
            gMouse.state = kMouseLabelDrag;
            BeginLabelDrag(labelled, p);
        }
        return;
    }
    uint32_t parts = 0;
    SketchObject* o = HitTestSketch(p, nullptr, true, &parts);
    const int32_t family = o ? ObjectClassTable[o->objectClass].textFamily : 7;
    if (!o || family == 4 || family == 7) {
        if (isDouble && EditCaptionAt(nullptr, p) == kResultOK && IsCaptionEditing()) TrackEditorMouse(p, false);
        return;
    }
    if (parts & (kHitLabel | kHitAxisMark)) return;
    ObjectPredicateFn followsFn = ObjectClassTable[o->objectClass].labelFollowsGeometry;
    const bool follows = followsFn && followsFn(o);
    if (follows && !isDouble) {
        SetLabelShown(o, !o->label.shown, &p, true);
        if (IsSelected(o)) {
            CmdStateInvalidate(kCommandGroupSelection);
            CmdStateInvalidate(kCommandGroupTextEditing);
        }
    }
    const int32_t kind = EffectiveKind(o);
    switch (family) {
    case 0:
        if (isDouble && follows) {
            SetLabelShown(o, true, nullptr, true);
            CmdStateInvalidate(kCommandGroupSelection);
            OpenLabelProperties(o);
            gMouse.tracked = false;
        }
        break;
    case 1:
        if (KindIsA(kind, 21)) {
            if (gMouse.clickPendingCode == kPendingReadOnly) ShowAlertByCode(kAlertReadOnlyText, 1);
            else gMouse.pendingCode = kPendingReadOnly;
            gMouse.tracked = false;
        } else if (KindIsA(kind, 56)) {
            if (gMouse.clickPendingCode == kPendingMergedText) SplitTextFromClick(o);
            else gMouse.pendingCode = kPendingMergedText;
            gMouse.tracked = false;
        } else {
            EditCaptionAt(o, p);
            if (IsCaptionEditing()) TrackEditorMouse(p, false);
        }
        break;
    case 2:
        if (isDouble) {
            if (KindIsA(kind, 28) || KindIsA(kind, kKindFunction)) OpenObjectProperties(o);
            else ShowAlertByCode(kAlertReadOnlyText, 1);
            gMouse.tracked = false;
        }
        break;
    case 3:
        if (isDouble) {
            OpenObjectProperties(o);
            gMouse.tracked = false;
        }
        break;
    default:
        break;
    }
}

// ---- Button down with a selection arrow ------------------------------------------------

void BodyHit(SketchObject* hit, SketchObject* selectedUnder, uint32_t flags) {
    gMouse.state = kMouseDragPending;
    gMouse.hit = hit;
    gMouse.selectedUnder = selectedUnder;
    gMouse.downShift = Shift(flags);
    if (!IsSelected(hit) && !selectedUnder) SelectSketchObject(hit);
}

void ArrowButtonDown(uint32_t flags, ScreenPoint p) {
    if (auto form = LaterForms().caption.pressWidthHandle; form && form(p)) {
        gMouse.state = kMouseCaptionWidth;
        return;
    }
    Sketch* sketch = CurrentSketch();
    SketchObject* selectedUnder = nullptr;
    uint32_t parts = 0;
    gMouse.hasIntersection = false;
    SketchObject* hit = HitTestSketch(p, &selectedUnder, false, &parts);
    gMouse.axisObject = nullptr;
    if (hit && (parts & kHitIntersection) && gMouse.hasIntersection) {
        PtrList parents = 0;
        SketchObject* made = nullptr;
        if (PtrListAppend(&parents, gMouse.intersection.first) &&
            PtrListAppend(&parents, gMouse.intersection.second)) {
            made = ConstructObject(gMouse.intersection.type, nullptr, parents, 0, true, true, nullptr);
        } else {
            FreePtrList(&parents);
        }
        if (made) {
            RecomputeAndRedrawObject(made);
            BodyHit(made, nullptr, flags);
        }
    } else if (hit && (parts & kHitButtonFace)) {
        gMouse.state = kMouseButtonPressed;
        gMouse.hit = hit;
        hit->markFlags |= 0x02;
        AddObjectToDirtyRect(hit);
    } else if (hit && (parts & kHitLocusHandle)) {
        if (BeginLocusRangeDrag(hit, p)) gMouse.state = kMouseLocusHandle;
    } else if (hit && (parts & kHitPictureGrip)) {
        if (BeginPictureResize(hit, p)) gMouse.state = kMousePictureResize;
    } else if (hit) {
        BodyHit(hit, selectedUnder, flags);
    } else if (SketchObject* labelled = LabelUnder(sketch, p)) {
        gMouse.state = kMouseLabelDrag;
        BeginLabelDrag(labelled, p);
        RememberDoubleClick(labelled, nullptr, true);
    } else if (SketchObject* axis = AxisMarkUnder(sketch, p)) {
        if (GetAxisCoordinateSystem(axis)) {
            gMouse.state = kMouseDragPending;
            gMouse.axisObject = axis;
            gMouse.hit = nullptr;
            gMouse.selectedUnder = nullptr;
            gMouse.downShift = Shift(flags);
        } else if (gMouse.clickPendingCode == kPendingFixedAxis) {
            ShowAlertByCode(kAlertFixedUnit, 1);
        } else {
            gMouse.pendingCode = kPendingFixedAxis;
        }
    } else {
        if (!Shift(flags) && sketch->selectionHead) DeselectAll();
        if (!RestoreMemoryReserve()) {
            int32_t count = 0;
            PtrList snapshot = 0;
            if (CollectSelection(&count, &snapshot, 0)) {
                gMouse.snapshot = snapshot;
                ScreenRectSetEmpty(&gMouse.marquee);
                AddDrawHook(&gMouse.marqueeHook, DrawMarqueeHook, sketch);
                gMouse.marqueeHooked = true;
                gMouse.state = kMouseMarquee;
            }
        }
    }
    if (gMouse.state == kMouseDragPending) {
        if (gMouse.selectedUnder && gMouse.selectedUnder != gMouse.hit)
            RememberDoubleClick(gMouse.selectedUnder, gMouse.hit, false);
        else
            RememberDoubleClick(gMouse.hit ? gMouse.hit : gMouse.axisObject, nullptr, false);
        SetDeadline(&gMouse.dragDeadline, kDragStartDelayMs);
    }
}

void RightButtonDown(uint32_t flags, ScreenPoint p) {
    EndActivitiesExcept(kActivityAnimating | kActivityPaused);
    uint32_t parts = 0;
    SketchObject* hit = HitTestSketch(p, nullptr, true, &parts);
    if (hit && !Shift(flags)) DeselectAll();
    if (hit && (parts & (kHitLabel | kHitAxisMark)) == 0 && !IsSelected(hit)) SelectSketchObject(hit);
    RedrawNow();
    CmdStateRefreshNow();
    ShowContextMenu(hit == nullptr, hit != nullptr);
    gMouse.tracked = false;
}

// ---- Hover ------------------------------------------------------------------------------

void HoverPrompt(uint32_t flags, ScreenPoint p) {
    Sketch* sketch = CurrentSketch();
    const int32_t tool = CurrentToolId();
    if (flags & kMouseRight) {
        uint32_t parts = 0;
        SketchObject* hit = HitTestSketch(p, nullptr, true, &parts);
        const bool nothing = !hit;
        SetCursor(nothing && (!sketch->selectionHead || !Shift(flags)) ? kCursorMenuOverNothing
                                                                        : kCursorMenu);
        return;
    }
    if (flags & kMouseAlt) {
        SetCursor(kCursorScrollHand);
        SetStatusPrompt(kGroupStatusPrompts, 14);
        return;
    }
    if (IsCaptionEditing()) {
        ScreenRect box;
        if (CaptionEditorRect(&box) && ScreenPointInRect(p, box)) {
            SetCursor(kCursorEditText);
            ClearStatusTextProvider(0);
        } else {
            SetCursor(kCursorArrow);
            SetStatusPrompt(kGroupStatusPrompts, 17);
        }
        return;
    }
    if (IsArrowTool(tool)) {
        SketchObject* selectedUnder = nullptr;
        uint32_t parts = 0;
        SketchObject* hit = HitTestSketch(p, &selectedUnder, false, &parts);
        if (hit && (parts & kHitLocusHandle)) {
            SetCursor(kCursorStretch);
            SetStatusPrompt(kGroupStatusPrompts, 2);
        } else if (hit && (parts & kHitPictureGrip)) {
            SetCursor(kCursorArrow);
            SetStatusPrompt(kGroupStatusPrompts, 39);
        } else if (hit && (parts & kHitButtonFace)) {
            SetCursor(kCursorActionButton);
            SetStatusPrompt(kGroupStatusPrompts, IsButtonRunning(hit) ? 24 : 3);
        } else if (hit) {
            SetCursor(kCursorOverObject);
            SetHoverObjectStatus(hit, parts, selectedUnder && selectedUnder != hit);
        } else if (LabelUnder(sketch, p)) {
            SetCursor(kCursorOverLabel);
            SetStatusPrompt(kGroupStatusPrompts, 12);
        } else if (SketchObject* axis = AxisMarkUnder(sketch, p);
                   axis && GetAxisCoordinateSystem(axis)) {
            LineForm form;
            const bool vertical = GetLineForm(axis, &form, nullptr, nullptr) &&
                                  std::fabs(form.dy) > std::fabs(form.dx);
            SetCursor(vertical ? kCursorRescaleY : kCursorRescaleX);
            SetStatusPrompt(kGroupStatusPrompts, 40);
        } else {
            SetCursor(kCursorArrow);
            InstallSelectionStatus();
        }
        return;
    }
    if (IsConstructionTool(tool)) {
        ToolMoveStep(flags, p);
        return;
    }
    if (tool != kToolText) return;
    if (LabelUnder(sketch, p)) {
        SetCursor(kCursorOverLabel);
        SetStatusPrompt(kGroupStatusPrompts, 12);
        return;
    }
    SketchObject* hit = HitTestSketch(p, nullptr, true, nullptr);
    const int32_t family = hit ? ObjectClassTable[hit->objectClass].textFamily : 7;
    const int32_t kind = hit ? EffectiveKind(hit) : 0;
    int32_t cursor = kCursorTextNothing, prompt = 10;
    switch (family) {
    case 0: cursor = kCursorTextLabelToggle; prompt = 11; break;
    case 1:
        if (KindIsA(kind, 21) || KindIsA(kind, 56)) { cursor = kCursorTextNothing; prompt = 18; }
        else { cursor = kCursorEditText; prompt = 16; }
        break;
    case 2:
        if (KindIsA(kind, 28) || KindIsA(kind, kKindFunction)) { cursor = kCursorEditText; prompt = 16; }
        else { cursor = kCursorTextNothing; prompt = 18; }
        break;
    case 3: cursor = kCursorEditText; prompt = 16; break;
    default: break;
    }
    SetCursor(cursor);
    SetStatusPrompt(kGroupStatusPrompts, prompt);
}

void DragStep(uint32_t flags, ScreenPoint p) {
    Sketch* sketch = CurrentSketch();
    switch (gMouse.state) {
    case kMouseDragPending: StartDragStep(p); break;
    case kMouseDragging: DragObjectsTo(p); break;
    case kMouseButtonPressed: {
        const bool on = HitTestActionButton(p, gMouse.hit);
        const bool was = (gMouse.hit->markFlags & 0x02) != 0;
        if (on != was) {
            gMouse.hit->markFlags ^= 0x02;
            AddObjectToDirtyRect(gMouse.hit);
        }
        break;
    }
    case kMouseLabelDrag: DragLabelTo(p); break;
    case kMouseLocusHandle: DragLocusRange(p); break;
    case kMousePictureResize: DragPictureResize(p, Shift(flags)); break;
    case kMouseMarquee: MarqueeStep(p); break;
    case kMouseScrolling: {
        const ScreenPoint origin = {
            static_cast<int16_t>(sketch->windowRect.left + gMouse.downPoint.x - p.x),
            static_cast<int16_t>(sketch->windowRect.top + gMouse.downPoint.y - p.y) };
        ScrollSketchTo(origin);
        break;
    }
    case kMouseToolTracking: ToolMoveStep(flags, p); break;
    case kMouseCaptionWidth:
        if (auto form = LaterForms().caption.dragWidthHandle) form(p);
        break;
    default: break;
    }
}

}  // namespace

SketchObject* HitTestSketch(ScreenPoint point, SketchObject** selectedUnder, bool allObjects,
                            uint32_t* parts) {
    if (selectedUnder) *selectedUnder = nullptr;
    if (parts) *parts = 0;
    Sketch* sketch = CurrentSketch();
    if (!sketch) return nullptr;
    const ScreenRect box = HitBox(point);
    const bool wantSelected = selectedUnder && sketch->selectionHead;
    SketchObject* first = nullptr;
    for (int32_t layer = kDrawLayerCount - 1; layer >= 0 && !(first && !wantSelected); --layer) {
        SketchObject* head = sketch->layerHeads[layer];
        if (!head) continue;
        // Start after the layer's last selected object, so that repeated clicks on
        // overlapping objects reach the next one; action buttons always from the head.
        SketchObject* start = head;
        SketchObject* last = sketch->lastSelected[layer];
        if (layer != 9 && last && last->nextInLayer != kNotLinked) start = last->nextInLayer;
        SketchObject* o = start;
        do {
            if (Qualifies(o, box, point, allObjects)) {
                if (!first) {
                    first = o;
                    if (parts) *parts = PartFlags(sketch, o, point, box);
                    if (!wantSelected) break;
                }
                if (wantSelected && IsSelected(o)) {
                    *selectedUnder = o;
                    return first;
                }
            }
            o = o->nextInLayer;
        } while (o != start);
    }
    if (!first && parts) {
        if (LabelUnder(sketch, point)) *parts = kHitLabel;
        else if (AxisMarkUnder(sketch, point)) *parts = kHitAxisMark;
    }
    return first;
}

void SketchMouseDown(uint32_t flags, ScreenPoint point) {
    if (gMouse.tracked) SketchMouseUp(flags, point);
    gMouse.tracked = true;
    ClearDoubleClickMemory();
    // A double click counts only on the sketch and with the tool of this press; the
    // arrows add the object they find below.
    gMouse.doubleClick.sketch = CurrentSketch();
    gMouse.doubleClick.tool = CurrentToolId();
    if (CheckMemoryReserve()) {
        gMouse.tracked = false;
        return;
    }
    gMouse.clickPendingCode = gMouse.pendingCode;
    gMouse.pendingCode = 0;
    gMouse.point = gMouse.downPoint = point;
    const int32_t tool = CurrentToolId();
    if (flags & kMouseAlt) {
        gMouse.savedState = gMouse.state;
        gMouse.state = kMouseScrolling;
        SetCursor(kCursorScrolling);
        SetStatusPrompt(kGroupStatusPrompts, 15);
    } else if (flags & kMouseRight) {
        RightButtonDown(flags, point);
    } else if (IsCaptionEditing()) {
        ScreenRect box;
        const bool inside = CaptionEditorRect(&box) &&
                            (ScreenRectInset(&box, -4, -2), ScreenPointInRect(point, box));
        auto handle = LaterForms().caption.pressEditorHandle;
        if (handle && handle(point)) {
            // The frame's handle took the press and followed the button to its release.
        } else if (inside) {
            TrackEditorMouse(point, Shift(flags));
        } else {
            EndCaptionEditing();
        }
    } else if (IsArrowTool(tool)) {
        if (gMouse.state == kMouseIdle) ArrowButtonDown(flags, point);
    } else if (IsConstructionTool(tool)) {
        ToolButtonDown(flags, point);
    } else if (tool == kToolText) {
        TextToolClick(point, false);
    }
    RedrawNow();
}

void SketchMouseHover(uint32_t flags, ScreenPoint point, int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return;
    const uint32_t low = flags & 0xff;
    const int32_t tool = CurrentToolId();
    if (low == gMouse.hoverFlags && point.x == gMouse.hoverPoint.x && point.y == gMouse.hoverPoint.y &&
        sketch->frameCounter == gMouse.hoverMotion && tool == gMouse.hoverTool)
        return;
    gMouse.hoverFlags = low;
    gMouse.hoverPoint = point;
    gMouse.hoverMotion = sketch->frameCounter;
    gMouse.hoverTool = tool;
    gMouse.point = point;
    if (gMouse.state != kMouseIdle) DragStep(flags, point);
    else HoverPrompt(flags, point);
}

void SketchMouseUp(uint32_t flags, ScreenPoint point) {
    if (!gMouse.tracked) return;
    gMouse.tracked = false;
    switch (gMouse.state) {
    case kMouseIdle:
        gMouse.toolHold = false;
        break;
    case kMouseDragPending:
        if (SketchObject* under = gMouse.selectedUnder) {
            if (gMouse.doubleConsumed || under == gMouse.hit) {
                DeselectSketchObject(under);
            } else {
                if (gMouse.hit) SelectSketchObject(gMouse.hit);
                if (!gMouse.downShift) DeselectSketchObject(under);
            }
        }
        break;
    case kMouseDragging:
        DragStep(flags, point);
        EndObjectDrag();
        break;
    case kMouseButtonPressed:
        if (gMouse.hit && (gMouse.hit->markFlags & 0x02)) {
            gMouse.hit->markFlags &= ~0x02u;
            AddObjectToDirtyRect(gMouse.hit);
            // What a press could not do is told, as a command's failure would be.
            const ResultCode rc = PressActionButton(gMouse.hit);
            if (rc != kResultOK) ShowAlertByCode(rc, 1);
        }
        break;
    case kMouseLabelDrag: EndLabelDrag(point); break;
    case kMouseMarquee: EndMarquee(); break;
    case kMouseLocusHandle: EndLocusRangeDrag(); break;
    case kMousePictureResize: EndPictureResize(); break;
    case kMouseCaptionWidth:
        if (auto form = LaterForms().caption.releaseWidthHandle) form(point);
        break;
    case kMouseScrolling:
        SketchMouseHover(0, point, 0);
        gMouse.state = gMouse.savedState;
        ClearStatusTextProvider(0);
        SketchMouseHover(flags, point, 0);
        ResetHoverPosition();
        gMouse.doubleConsumed = false;
        RedrawNow();
        SketchMouseHover(flags, point, 0);
        return;
    case kMouseToolTracking:
        ToolButtonDown(flags, point);
        gMouse.toolHold = false;
        gMouse.doubleConsumed = false;
        RedrawNow();
        ResetHoverPosition();
        SketchMouseHover(flags, point, 0);
        return;
    default:
        break;
    }
    gMouse.state = kMouseIdle;
    gMouse.doubleConsumed = false;
    gMouse.hit = gMouse.selectedUnder = gMouse.axisObject = nullptr;
    RedrawNow();
    ResetHoverPosition();
    SketchMouseHover(flags, point, 0);
}

void SketchDoubleClick(uint32_t flags, ScreenPoint point) {
    Sketch* sketch = CurrentSketch();
    gMouse.pendingCode = 0;
    const DoubleClickMemory memory = gMouse.doubleClick;
    const int32_t tool = CurrentToolId();
    const auto arm = [&] {
        if (memory.other && IsSelected(memory.other)) DeselectSketchObject(memory.other);
        gMouse.doubleConsumed = true;
    };
    if (memory.sketch == sketch && memory.tool == tool) {
        if (tool == kToolText) {
            TextToolClick(point, true);
            ClearDoubleClickMemory();
            return;
        }
        SketchObject* o = memory.object;
        bool onObject = false;
        if (o && memory.selectionStamp == sketch->selectionChangeCount && IsLinkedIntoSketch(o) &&
            ObjectIsUsable(o)) {
            HitTestFn hit = ObjectClassTable[o->objectClass].hitTest;
            onObject = (ScreenRectsOverlap(o->bounds, HitBox(point)) && hit && hit(point, o)) ||
                       (memory.onLabel && LabelHitTest(point, o));
        }
        if (onObject) {
            if (tool == kToolPoint && o->objectClass == kClassPoint) {
                arm();
                MarkObject(kMarkCentre, o, true);
            } else if (IsArrowTool(tool) && gMouse.state == kMouseIdle && memory.onLabel) {
                if (LabelHitTest(point, o)) {
                    TextToolClick(point, true);
                    ClearDoubleClickMemory();
                    return;
                }
            } else if (IsArrowTool(tool) && gMouse.state == kMouseIdle) {
                switch (o->objectClass) {
                case kClassCaption:
                    if (o->constructionType == kTypeFree) {
                        TextToolClick(point, true);
                        if (IsCaptionEditing()) TextToolClick(point, true);
                        ClearDoubleClickMemory();
                        return;
                    }
                    break;
                case kClassTable:
                    arm();
                    if (o->constructionType == kTypeMeasurementTable) {
                        if (!Shift(flags)) AddTableEntry(o);
                        else if (TableCanRemoveEntry(o)) RemoveTableEntry(o);
                        else RefusalBeep();
                    } else {
                        RefusalBeep();
                    }
                    break;
                case kClassPoint:
                    arm();
                    MarkObject(kMarkCentre, o, true);
                    break;
                case kClassStraight:
                case kClassAxis:
                    arm();
                    MarkObject(kMarkMirror, o, true);
                    break;
                case kClassCalculation:
                    arm();
                    if (sketch->selectionHead != o) {
                        DeselectSketchObject(o);
                        SelectSketchObject(o);
                    }
                    if (IsParameterKind(EffectiveKind(o))) RunParameterDialog(o);
                    else EditCalculationCommand(KindIsA(EffectiveKind(o), kKindFunction) ? 3 : 2);
                    ClearDoubleClickMemory();
                    return;
                default:
                    break;
                }
            }
        }
    }
    SketchMouseDown(flags & ~kMouseDoubleDown, point);
    ClearDoubleClickMemory();
}

int32_t GetMouseState(int32_t* tracked) {
    if (tracked) *tracked = gMouse.tracked ? 1 : 0;
    return gMouse.state;
}

void SetMouseState(int32_t state) { gMouse.state = state; }

void SketchMouseLeave() {
    if (gMouse.tracked) return;
    if (gMouse.state == kMouseToolTracking && ToolRunAwaitsFirstClick()) {
        EndToolInProgress();
        gMouse.lastToolPoint = kNoToolPoint;
        gMouse.toolHold = false;
    }
    ResetHoverPosition();
}

void ResetHoverPosition() {
    gMouse.hoverPoint = kNoHoverPoint;
    gMouse.hoverFlags = 0xffffffffu;
}

bool GetIntersectionHit(SketchObject** first, SketchObject** second, int32_t* type, RealPoint* point) {
    if (!gMouse.hasIntersection) return false;
    *first = gMouse.intersection.first;
    *second = gMouse.intersection.second;
    *type = gMouse.intersection.type;
    *point = gMouse.intersection.point;
    return true;
}

int32_t MouseCursorKind() { return gMouse.cursorKind; }
void SetMouseCursorKind(int32_t kind) { gMouse.cursorKind = kind; }

void ResetMouseState() {
    if (gMouse.state == kMouseDragging) EndObjectDrag();
    if (gMouse.state == kMouseMarquee) EndMarquee();
    if (gMouse.snapshot) FreePtrList(&gMouse.snapshot);
    const DrawHook hook = gMouse.marqueeHook;
    gMouse = MouseRecord{};
    gMouse.marqueeHook = hook;
    gMouse.lastToolPoint = kNoToolPoint;
    ResetHoverPosition();
}
