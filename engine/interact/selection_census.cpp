#include "engine/interact/selection_census.h"

#include "engine/core/services/colors.h"
#include "engine/core/services/object_labels.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/calc/value_objects.h"
#include "engine/core/geometry.h"
#include "engine/core/points.h"
#include "engine/core/memory.h"
#include "engine/interact/motion.h"
#include "engine/interact/command_state.h"
#include "engine/interact/tool_playback.h"

namespace {
SelectionCensus gCensus{};
int32_t gShiftState = 0;

bool IsFreeObject(const SketchObject* o) {
    return o->constructionType == kTypeFree || o->constructionType == kTypePointOnPath;
}

// A parameter is a free calculation of the calculation form.
bool IsFreePointOrParameter(const SketchObject* o) {
    if (!IsFreeObject(o)) return false;
    if (o->objectClass == kClassPoint) return true;
    const CalculationData* calc = CalculationDataOf(o);
    return calc && calc->form == kFormCalculation;
}

const ObjectClassRecord* ClassOf(const SketchObject* o) {
    return o->objectClass >= 0 && o->objectClass < kClassCount ? &ObjectClassTable[o->objectClass]
                                                               : nullptr;
}
}  // namespace

const SelectionCensus& CurrentSelectionCensus() { return gCensus; }
SelectionCensus& SelectionCensusForRules() { return gCensus; }

uint32_t TakeSelectionCensus() {
    SelectionCensus& c = gCensus;
    c.flags[kFlagMotionBarVisible] = IsMotionControllerVisible() ? 1 : 0;
    RefreshGivenMatch();

    Sketch* sketch = CurrentSketch();
    if (!sketch) {
        c.noSketch = 1;
        SetColorMenuMark(false, 0);
        return c.statusKey;
    }

    std::memset(c.counts, 0, sizeof c.counts);
    std::memset(c.lineStylePresent, 0, sizeof c.lineStylePresent);
    c.selectedCount = 0;
    int32_t f[kCensusFlagCount] = {};
    f[kFlagAllShowText] = sketch->selectionHead != nullptr;
    f[kFlagAllMovingFast] = 1;
    f[kFlagAllTraced] = f[kFlagAllLabelsShown] = f[kFlagValuesFinite] = 1;
    f[kFlagAllFreePointsOrParameters] = 1;
    c.gridsOnly = 1;
    int32_t commonKind = 0;
    bool styleEntered = false;
    bool sameColor = sketch->selectionHead != nullptr;
    const uint32_t commonColor = sketch->selectionHead ? sketch->selectionHead->color : 0;
    const SketchObject* onlyObject = sketch->selectionHead;

    auto enterTextStyle = [&](const SketchObject* o) {
        if (!styleEntered) c.textStyle = o->textStyle;
        else IntersectTextStyle(&c.textStyle, &o->textStyle, 0);
        styleEntered = true;
    };

    for (const SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        ++c.selectedCount;
        const int32_t kind = o->objectKind;
        if (KindIsA(kind, kKindCalculation)) {
            // An infinite value cannot be used; a value that is not a number can.
            const ValueDisplay* d = HasValueDisplay(o) ? ValueDisplayOf(o) : nullptr;
            if (!d || !d->defined || std::isinf(d->value)) f[kFlagValuesFinite] = 0;
        }
        if (kind > 0 && kind < kCensusKindCount) ++c.counts[kind];
        if (!IsFreePointOrParameter(o)) f[kFlagAllFreePointsOrParameters] = 0;
        const ObjectClassRecord* cls = ClassOf(o);
        commonKind = CommonKind(kind, commonKind);
        if (cls && cls->traceable) {
            f[kFlagSomeTraceable] = 1;
            if (o->traced) f[kFlagSomeTraced] = 1;
            else f[kFlagAllTraced] = 0;
        } else {
            f[kFlagSomeNotTraceable] = 1;
        }
        if (!SameRgb(o->color, commonColor)) sameColor = false;
        if (o->motionRole >= 2) f[kFlagSomeMoving] = 1;
        if (o->motionRole < 3) f[kFlagAllMovingFast] = 0;
        const int32_t family = cls ? cls->textFamily : 7;
        if (cls && cls->labelFollowsGeometry && cls->labelFollowsGeometry(o)) {
            f[kFlagSomeLabelFollows] = 1;
            if (IsLabelShownOrImplied(o)) {
                enterTextStyle(o);
            } else {
                f[kFlagAllLabelsShown] = 0;
                f[kFlagAllShowText] = 0;
            }
        } else if (family >= 1 && family <= 4) {
            enterTextStyle(o);
        } else {
            f[kFlagAllShowText] = 0;
        }
        if (cls && cls->hasLineStyle) {
            if (o->lineStyle >= 0 && o->lineStyle <= 2) c.lineStylePresent[o->lineStyle] = 1;
            if (o->objectClass != 8) c.gridsOnly = 0;
        }
        if (!PtrListIsEmpty(o->parents)) f[kFlagHasParents] = 1;
        if (!PtrListIsEmpty(o->children)) f[kFlagHasChildren] = 1;
    }

    c.commonKind = commonKind;
    c.noun[0] = '\0';
    if (c.selectedCount == 0) {
        f[kFlagAllFreePointsOrParameters] = 0;
    } else if (commonKind >= 1) {
        GetKindNounString(commonKind, c.selectedCount == 1 ? kNounSingular : kNounPlural, c.noun, sizeof c.noun);
    }

    // Sum up the lattice: a parent always has a lower number than its children, so
    // one pass from the top carries every count up to the root.
    for (int32_t k = kCensusKindCount - 1; k >= 1; --k)
        c.counts[ObjectKindTable[k].parentKind] =
            uint16_t(c.counts[ObjectKindTable[k].parentKind] + c.counts[k]);

    f[kFlagOneCalculation] = c.selectedCount == 1 && onlyObject->objectClass == 11;
    f[kFlagCommonTextStyle] = styleEntered;
    f[kFlagTransformable] = c.counts[1] > 0 && c.counts[1] == c.counts[3] + c.counts[6];
    f[kFlagSomeTransformable] = c.counts[3] + c.counts[6] > 0;
    f[kFlagGeometricOrParameter] =
        c.counts[2] > 0 || c.counts[62] > 0 || c.counts[63] > 0 || c.counts[64] > 0;
    if (c.counts[1] == 2 && c.counts[4] == 2) {
        const SketchObject* a = sketch->selectionHead;
        const SketchObject* b = a->nextSelected;
        const RealPoint pa = PointPosition(a), pb = PointPosition(b);
        f[kFlagTwoDistinctPoints] = pa.x != pb.x || pa.y != pb.y;
    }
    f[kFlagShift] = gShiftState;
    f[kFlagMotionBarVisible] = c.flags[kFlagMotionBarVisible];
    const Sketch* front = GetFrontSketch();
    const uint32_t activity = front ? ActivityWord() : 0;
    f[kFlagAnimating] = (activity & kActivityAnimating) != 0;
    f[kFlagPaused] = (activity & kActivityPaused) != 0;
    f[kFlagAnySketchAnimating] = RunningMotionCount() != 0;
    std::memcpy(c.flags, f, sizeof f);
    c.noSketch = 0;
    c.collinearValid = 0;

    if (!sketch->editSession) SetColorMenuMark(sameColor, commonColor);

    c.censusSketch = sketch;
    c.censusStamp = sketch->selectionChangeCount;
    const uint32_t identity = uint32_t(reinterpret_cast<uintptr_t>(sketch) >> 4);
    c.statusKey = ((uint32_t(commonKind) << 16) | uint32_t(c.selectedCount & 0xffff)) ^ identity;
    return c.statusKey;
}

int32_t CensusCondition(uint32_t i) { return i < kCensusFlagCount ? gCensus.flags[i] : 0; }
int32_t CensusShiftState() { return gCensus.flags[kFlagShift]; }

void GetSelectionCensusSummary(int32_t* commonKind, int32_t* count, char* noun) {
    *commonKind = gCensus.commonKind;
    *count = gCensus.selectedCount;
    if (noun) std::memcpy(noun, gCensus.noun, sizeof gCensus.noun);
}

bool GetSelectionTextStyle(TextStyle* style) {
    if (!gCensus.flags[kFlagCommonTextStyle]) return false;
    *style = gCensus.textStyle;
    return true;
}

bool SelectionStatusText(char** text) {
    *text = nullptr;
    const SelectionCensus& c = gCensus;
    const Sketch* sketch = CurrentSketch();
    if (!sketch || c.noSketch || c.censusSketch != sketch ||
        c.censusStamp != sketch->selectionChangeCount || c.selectedCount == 0)
        return false;
    char buffer[600];
    const SketchObject* only = sketch->selectionHead;
    if (c.selectedCount == 1 && only && only->label.level > 1) {
        char label[256];
        GetObjectLabelText(only, label, sizeof label);
        std::snprintf(buffer, sizeof buffer, "%s%s %s", GroupText(kGroupStatusPrompts, 26), c.noun,
                      label);
    } else {
        char format[256];
        GetGroupString(kGroupStatusPrompts, 25, format, sizeof format);
        // The format is the string group's "Selected: %i %s"; anything else is not
        // trusted as a format.
        if (std::strcmp(format, "Selected: %i %s") == 0)
            std::snprintf(buffer, sizeof buffer, "Selected: %i %s", int(c.selectedCount), c.noun);
        else
            std::snprintf(buffer, sizeof buffer, "%s", format);
    }
    const size_t n = std::strlen(buffer) + 1;
    char* block = static_cast<char*>(AllocMemory(n, 0));
    if (!block) return false;
    std::memcpy(block, buffer, n);
    *text = block;
    return true;
}

void InstallSelectionStatus() {
    const StatusTextProvider provider{
        [](char** text, StatusTextProvider*) { SelectionStatusText(text); }, gCensus.statusKey};
    SetStatusTextProvider(&provider, 0);
}

void SetShiftState(int32_t state) {
    if (state == gShiftState) return;
    gShiftState = state;
    // Flag 0 follows at once: the groups marked here (undo, preferences, grid) take
    // no census of their own before their queries read it.
    gCensus.flags[kFlagShift] = state;
    CmdStateInvalidate(kCommandGroupUndo);
    CmdStateInvalidate(kCommandGroupSelectionMotion);
    CmdStateInvalidate(kCommandGroupPreferences);
    CmdStateInvalidate(kCommandGroupGridAndHidden);
}

int32_t CountSelectionIntersections(const SketchObject* first, const SketchObject* second) {
    LineForm lineA{}, lineB{};
    CurveForm curveA{}, curveB{};
    int32_t kindA = 0, kindB = 0, flatA = 0, flatB = 0;
    const bool straightA = GetLineForm(first, &lineA, &kindA, &flatA);
    const bool straightB = GetLineForm(second, &lineB, &kindB, &flatB);
    const bool roundA = !straightA && GetCurveForm(first, &curveA);
    const bool roundB = !straightB && GetCurveForm(second, &curveB);
    RealPoint p{};
    int32_t found = 0;
    if (straightA && straightB) {
        found = IntersectLines(lineA, kindA, lineB, kindB, &p) ? 1 : 0;
    } else if (straightA && roundB) {
        found = IntersectLineCurve(lineA, kindA, curveB, 1, &p) + IntersectLineCurve(lineA, kindA, curveB, -1, &p);
    } else if (roundA && straightB) {
        found = IntersectLineCurve(lineB, kindB, curveA, 1, &p) + IntersectLineCurve(lineB, kindB, curveA, -1, &p);
    } else if (roundA && roundB) {
        found = IntersectCurves(curveA, curveB, 1, &p) + IntersectCurves(curveA, curveB, -1, &p);
    }
    // A flat arc is met as a segment, once, but the intersection commands build a
    // point on each of its sides.
    if (found == 1 && (flatA || flatB)) return 2;
    return found;
}
