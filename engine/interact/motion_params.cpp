#include "engine/interact/motion_params.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/construction_data.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/sketch_object.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/units.h"
#include "engine/docio/packed_values.h"
#include "engine/interact/motion.h"
#include "engine/text/caret_codes.h"
#include "engine/text/number_text.h"
#include "engine/text/object_labels.h"
#include "engine/text/string_groups.h"

namespace {

enum MotionTextItem : int32_t {
    kItemForward = 8, kItemBackward = 9, kItemCounterClockwise = 12, kItemClockwise = 13,
    kItemTemplateFreePoint = 60, kItemTemplateOnPath = 61, kItemTemplateAxis = 62, kItemTemplateOther = 63,
    kItemTemplateRandomNumber = 64, kItemTemplateBothWaysNumber = 65, kItemTemplateIncreasing = 66,
    kItemTemplateDecreasing = 67, kItemContinuously = 68, kItemDiscretely = 69, kItemAround = 70,
    kItemAlong = 71, kItemSlowSpeed = 72, kItemAtSpeed = 75, kItemOnceOnly = 76, kItemEmpty = 77,
    kItemBidirectionally = 78, kItemRandomly = 79,
};

constexpr double kPresetSpeeds[3] = { kMotionSpeedSlow, kMotionSpeedMedium, kMotionSpeedFast };
constexpr int32_t kBothWays = 2;
constexpr int32_t kRandom   = 3;
constexpr int32_t kSpeedOther = 3;

SketchObject* FirstParent(const SketchObject* o) { return static_cast<SketchObject*>(PtrListItem(o->parents, 0)); }

int32_t UnitKindOf(const SketchObject* parameter) {
    if (KindIsA(parameter->objectKind, kKindAngleParameter)) return kMotionUnitAngle;
    if (KindIsA(parameter->objectKind, kKindDistanceParameter)) return kMotionUnitDistance;
    return kMotionUnitPlain;
}
int32_t UnitKindOf(const MotionParams& p) {
    return static_cast<int32_t>((p.motionFlags & kMotionFlagUnit) >> kMotionUnitShift);
}

// Stored (pixels, radians) to the current sketch's units and back, by unit kind.
double ToSketchUnits(double v, int32_t unitKind) {
    if (unitKind == kMotionUnitAngle) return RadiansToAngleUnits(&v, true);
    if (unitKind == kMotionUnitDistance) return ToDistanceUnits(&v);
    return v;
}
double FromSketchUnits(double v, int32_t unitKind) {
    if (unitKind == kMotionUnitAngle) return AngleToRadians(&v, CurrentSketchAngleUnit());
    if (unitKind == kMotionUnitDistance) return FromDistanceUnits(&v, CurrentSketchDistanceUnit());
    return v;
}

// A number's settings put in order, as the page stores them: equal ends one apart,
// reversed ends swapped, a rate of 0 made 1 and a negative one positive, no zero seconds.
void OrderNumberSettings(double* low, double* high, double* rate, double* seconds) {
    if (*low == *high) *high = *low + 1;
    if (*low > *high) std::swap(*low, *high);
    if (*rate == 0) *rate = 1;
    *rate = std::fabs(*rate);
    if (*seconds == 0) *seconds = 1;
    *seconds = std::fabs(*seconds);
}

int32_t PresetIndex(double speed) {
    for (int32_t i = 0; i < 3; ++i) {
        if (speed == kPresetSpeeds[i]) return i;
    }
    return -1;
}

bool IsCustomSpeed(const MotionParams& p) {
    return (p.motionFlags & kMotionFlagCustomSpeed) || PresetIndex(UnpackReal32(p.speed)) < 0;
}

int32_t PathEnds(const SketchObject* target) {
    const SketchObject* path = target ? FirstParent(target) : nullptr;
    const PathMethods* row = path ? PathMethodsOf(path) : nullptr;
    return row && row->pathFlags ? row->pathFlags(path) : kPathTwoEnds;
}

bool CircularPath(const SketchObject* target) {
    const SketchObject* path = target ? FirstParent(target) : nullptr;
    return path && (path->objectClass == kClassCircle || path->objectClass == kClassCircleInterior);
}

SketchObject* TargetAt(PtrList targets, int32_t index) {
    int32_t count = 0;
    void** items = PtrListItems(targets, &count);
    return index >= 0 && index < count ? static_cast<SketchObject*>(items[index]) : nullptr;
}

}  // namespace

void MotionParamsDefaults(MotionParams* record) {
    *record = MotionParams{};
    record->speed = PackReal32(kMotionSpeedMedium);
    record->seconds = PackReal32(0);
    record->rangeLow = PackReal32(0);
    record->rangeHigh = PackReal32(100);
}

void MotionParamsFromParameter(MotionParams* record, const SketchObject* parameter) {
    ParameterMotion m{};
    GetParameterMotion(parameter, &m, true);
    uint32_t flags = record->motionFlags & ~(kMotionFlagDirection | kMotionFlagDiscrete | kMotionFlagUnit);
    if (m.modeFlag == 0) flags |= kMotionFlagDiscrete;
    flags |= static_cast<uint32_t>(UnitKindOf(parameter)) << kMotionUnitShift;
    flags |= (static_cast<uint32_t>(m.direction) << kMotionDirectionShift) & kMotionFlagDirection;
    record->motionFlags = flags;
    record->rangeLow = PackReal32(m.min);
    record->rangeHigh = PackReal32(m.max);
    record->speed = PackReal32(m.rate);
    record->seconds = PackReal32(m.seconds);
}

int32_t MotionParamsCount(PtrList records) {
    int32_t items = 0;
    PtrListItems(records, &items);
    return static_cast<int32_t>(static_cast<uint32_t>(items) * sizeof(void*) / sizeof(MotionParams));
}

MotionParams MotionParamsAt(PtrList records, int32_t index) {
    MotionParams p;
    if (index < 0 || index >= MotionParamsCount(records)) {
        MotionParamsDefaults(&p);
        return p;
    }
    std::memcpy(&p, reinterpret_cast<const uint8_t*>(PtrListData(records)) + index * sizeof p, sizeof p);
    return p;
}

bool StoreMotionParams(PtrList* records, int32_t index, const MotionParams& record) {
    if (index < 0) return false;
    const int32_t count = MotionParamsCount(*records);
    if (index < count) {
        std::memcpy(reinterpret_cast<uint8_t*>(PtrListData(*records)) + index * sizeof record, &record, sizeof record);
        return true;
    }
    const uint32_t bytes = static_cast<uint32_t>(index + 1) * sizeof(MotionParams);
    auto* block = static_cast<MotionParams*>(AllocMemory(bytes, kAllocZero));
    if (!block) return false;
    for (int32_t i = 0; i < index; ++i) block[i] = MotionParamsAt(*records, i);
    block[index] = record;
    PtrList made = 0;
    const bool ok = MakeConstructionData(block, bytes, &made);
    FreeMemory(block);
    if (!ok) return false;
    FreePtrList(records);
    *records = made;
    return true;
}

void RefreshNumberTargets(SketchObject* button) {
    int32_t count = 0;
    void** targets = PtrListItems(button->parents, &count);
    const int32_t records = MotionParamsCount(button->constructionData);
    for (int32_t i = 0; i < count && i < records; ++i) {
        const auto* target = static_cast<const SketchObject*>(targets[i]);
        if (!IsParameterForm(target)) continue;
        MotionParams p = MotionParamsAt(button->constructionData, i);
        if (UnitKindOf(p) != UnitKindOf(target)) MotionParamsFromParameter(&p, target);
        if (MotionDirectionOf(p.motionFlags) == kBothWays) p.motionFlags &= ~kMotionFlagOnceOnly;
        StoreMotionParams(&button->constructionData, i, p);
    }
}

ResultCode ButtonTargetsFromSelection(SketchObject* linked, PtrList* targets, PtrList* records) {
    *targets = 0;
    *records = 0;
    Motion* motions = CreateMotionsForSelection(linked);
    if (!motions && linked) return kResultOutOfMemory;
    int32_t count = 0;
    for (Motion* m = motions; m; m = m->listLink) ++count;
    auto* block = count ? static_cast<MotionParams*>(AllocMemory(count * sizeof(MotionParams), kAllocZero)) : nullptr;
    bool ok = count == 0 || block != nullptr;
    int32_t i = 0;
    for (Motion* m = motions; m && ok; m = m->listLink, ++i) {
        MotionParams& p = block[i];
        MotionParamsDefaults(&p);
        if (m->type == kMotionAlongPath) {
            const uint32_t direction = m->data.alongPath.endMode == kEndBounce ? kBothWays : 0;
            p.motionFlags |= direction << kMotionDirectionShift;
        } else if (m->type == kMotionNumber) {
            MotionParamsFromParameter(&p, m->target);
        }
        ok = PtrListAppend(targets, m->target);
    }
    if (ok && count) ok = MakeConstructionData(block, count * sizeof(MotionParams), records);
    FreeMemory(block);
    for (Motion* m = motions; m;) {
        Motion* next = m->listLink;
        FinishMotion(m);  // never started: only freed
        m = next;
    }
    if (ok) return kResultOK;
    FreePtrList(targets);
    FreePtrList(records);
    return kResultOutOfMemory;
}

namespace {

void ApplyToPathMotion(Motion* m, const MotionParams& p, double speed) {
    const int32_t direction = MotionDirectionOf(p.motionFlags);
    const bool once = (p.motionFlags & kMotionFlagOnceOnly) != 0;
    if (direction > kRandom) return;
    SketchObject* path = m->data.alongPath.path;
    std::memset(&m->data, 0, sizeof m->data);
    if (direction == kRandom) {
        m->type = kMotionRandomOnPath;
        MotionTypeOps[kMotionRandomOnPath].init(m, path, once ? 1 : 0, 1, speed);
        return;
    }
    const int32_t endMode = direction == kBothWays ? kEndBounce : once ? kEndOnceAround : kEndWrap;
    MotionTypeOps[kMotionAlongPath].init(m, path, endMode, direction == 1 ? -1 : 1, speed);
}

void ApplyToNumberMotion(Motion* m, const MotionParams& p) {
    const int32_t unitKind = UnitKindOf(m->target);
    double low = ToSketchUnits(UnpackReal32(p.rangeLow), unitKind);
    double high = ToSketchUnits(UnpackReal32(p.rangeHigh), unitKind);
    double rate = ToSketchUnits(UnpackReal32(p.speed), unitKind);
    double seconds = UnpackReal32(p.seconds);
    // A stored record is outside input: put in order before anything moves by it.
    OrderNumberSettings(&low, &high, &rate, &seconds);
    const NumberMotionSettings settings = {
        low, high, rate, seconds, (p.motionFlags & kMotionFlagDiscrete) == 0, MotionDirectionOf(p.motionFlags),
        (p.motionFlags & kMotionFlagOnceOnly) != 0,
    };
    InitNumberMotion(m, settings);
}

}  // namespace

void ApplyMotionParams(Motion* motions, PtrList targets, PtrList records) {
    int32_t count = 0;
    void** items = PtrListItems(targets, &count);
    const int32_t recordCount = MotionParamsCount(records);
    int32_t index = 0;
    for (Motion* m = motions; m; m = m->listLink, ++index) {
        int32_t at = index < count && items[index] == m->target ? index : -1;
        for (int32_t i = 0; at < 0 && i < count; ++i) {
            if (items[i] == m->target) at = i;
        }
        if (at < 0 || at >= recordCount) continue;
        const MotionParams p = MotionParamsAt(records, at);
        const double speed = UnpackReal32(p.speed) * SpeedUnit();
        switch (m->type) {
            case kMotionAlongPath: ApplyToPathMotion(m, p, speed); break;
            case kMotionRandomFree:
            case kMotionAxisUnit: MotionTypeOps[m->type].setSpeed(m, speed, false); break;
            case kMotionNumber: ApplyToNumberMotion(m, p); break;
            default: break;
        }
    }
}

// ---- The Animate page ------------------------------------------------------------------

MotionTargetKind MotionTargetKindOf(const SketchObject* target) {
    if (!target) return kTargetNone;
    if (target->objectClass == kClassCalculation) return kTargetNumber;
    if (target->objectClass != kClassPoint) return kTargetNone;
    switch (target->constructionType) {
        case kTypeFree: return kTargetFreePoint;
        case kTypePointOnPath: return kTargetPointOnPath;
        case 56: case 57: case 59: return kTargetAxisUnit;
        default: return kTargetOtherPoint;
    }
}

namespace {

constexpr uint32_t Bit(MotionControl c) { return 1u << c; }

SketchObject* CurrentTarget(const MotionParamsPage* page) { return TargetAt(page->targets, page->current - 1); }

void LoadControls(MotionParamsPage* page, const MotionParams& p) {
    const int32_t unitKind = UnitKindOf(p);
    const double speed = UnpackReal32(p.speed);
    page->direction = MotionDirectionOf(p.motionFlags);
    page->onceOnly = (p.motionFlags & kMotionFlagOnceOnly) != 0;
    page->discrete = (p.motionFlags & kMotionFlagDiscrete) != 0;
    const int32_t preset = PresetIndex(speed);
    page->speedChoice = IsCustomSpeed(p) ? kSpeedOther : preset;
    page->customSpeed = speed / 3;
    page->rate = ToSketchUnits(speed, unitKind);
    page->seconds = UnpackReal32(p.seconds);
    page->low = ToSketchUnits(UnpackReal32(p.rangeLow), unitKind);
    page->high = ToSketchUnits(UnpackReal32(p.rangeHigh), unitKind);
}

void StoreControls(MotionParamsPage* page, MotionParams* p, MotionTargetKind kind) {
    const int32_t unitKind = UnitKindOf(*p);
    uint32_t flags = p->motionFlags & ~(kMotionFlagDirection | kMotionFlagOnceOnly | kMotionFlagDiscrete);
    flags |= (static_cast<uint32_t>(page->direction) << kMotionDirectionShift) & kMotionFlagDirection;
    if (page->onceOnly) flags |= kMotionFlagOnceOnly;
    if (page->discrete) flags |= kMotionFlagDiscrete;
    if (kind == kTargetNumber) {
        OrderNumberSettings(&page->low, &page->high, &page->rate, &page->seconds);
        p->rangeLow = PackReal32(FromSketchUnits(page->low, unitKind));
        p->rangeHigh = PackReal32(FromSketchUnits(page->high, unitKind));
        p->speed = PackReal32(FromSketchUnits(page->rate, unitKind));
        p->seconds = PackReal32(page->seconds);
    } else if (page->speedChoice >= 0 && page->speedChoice < kSpeedOther) {
        flags &= ~kMotionFlagCustomSpeed;
        p->speed = PackReal32(kPresetSpeeds[page->speedChoice]);
    } else if (page->speedChoice == kSpeedOther) {
        flags |= kMotionFlagCustomSpeed;
        p->speed = PackReal32(page->customSpeed * 3);
    }
    p->motionFlags = flags;
}

}  // namespace

uint32_t MotionParamsControlMask(const MotionParamsPage* page) {
    const uint32_t speed = Bit(kMotionControlSpeedChoice) |
                           (page->speedChoice == kSpeedOther ? Bit(kMotionControlCustomSpeed) : 0u);
    const uint32_t range = Bit(kMotionControlLow) | Bit(kMotionControlHigh) | Bit(kMotionControlDirection) |
                           Bit(kMotionControlOnceOnly);
    switch (MotionTargetKindOf(CurrentTarget(page))) {
        case kTargetPointOnPath: {
            const uint32_t shown = Bit(kMotionControlDirection) | Bit(kMotionControlOnceOnly);
            return page->direction == kRandom && page->onceOnly ? shown : shown | speed;
        }
        case kTargetFreePoint:
        case kTargetAxisUnit: return speed;
        case kTargetNumber:
            if (page->direction >= kRandom) return range | (page->onceOnly ? 0u : Bit(kMotionControlSeconds));
            return range | Bit(kMotionControlRate) | Bit(kMotionControlSeconds) | Bit(kMotionControlDiscrete);
        default: return 0;
    }
}

void MotionParamsControlStates(MotionParamsPage* page) {
    const uint32_t mask = page->controlMask;
    for (int32_t c = 0; c < kMotionControlCount; ++c) {
        page->states[c] = (mask & (1u << c)) ? kControlShown : kControlHidden;
    }
    if (mask & Bit(kMotionControlOnceOnly)) page->states[kMotionControlOnceOnly] = 2 + (page->direction != kBothWays ? 1 : 0);
}

int32_t MotionParamsSync(MotionParamsPage* page) {
    const uint32_t before = page->controlMask;
    const SketchObject* target = CurrentTarget(page);
    const MotionTargetKind kind = MotionTargetKindOf(target);
    page->circularWording = kind == kTargetPointOnPath && CircularPath(target);
    if (target && page->records) {
        MotionParams p = MotionParamsAt(*page->records, page->current - 1);
        if (page->current != page->shown) {
            LoadControls(page, p);
        } else {
            StoreControls(page, &p, kind);
            StoreMotionParams(page->records, page->current - 1, p);
        }
    }
    page->shown = page->current;
    page->controlMask = MotionParamsControlMask(page);
    MotionParamsControlStates(page);
    return page->controlMask != before ? 1 : 0;
}

// ---- The sentence of one target -------------------------------------------------------

namespace {

struct DescribeContext {
    SketchObject* target;
    MotionParams  record;
};

uint32_t Answer(const char* text, uint32_t n, char* destination) {
    const uint32_t full = static_cast<uint32_t>(std::strlen(text));
    if (destination) std::memcpy(destination, text, n < full ? n : full);
    return full;
}

uint32_t AnswerItem(int32_t item, uint32_t n, char* destination) {
    char text[256];
    GetGroupString(kGroupMotionTexts, item, text, sizeof text);
    return Answer(text, n, destination);
}

uint32_t MotionField(char code, void* context, uint32_t n, char* destination) {
    const auto* c = static_cast<const DescribeContext*>(context);
    SketchObject* target = c->target;
    const MotionParams& p = c->record;
    const int32_t direction = MotionDirectionOf(p.motionFlags);
    const bool once = (p.motionFlags & kMotionFlagOnceOnly) != 0;
    char text[kLabelBufferSize * 2];
    switch (code) {
        case 'A':
        case 'P': {
            SketchObject* o = code == 'A' ? target : FirstParent(target);
            if (!o) return 0;
            const uint32_t full = FormatNounAndLabel(o, kLabelNumbered, nullptr, 0, false);
            FormatNounAndLabel(o, kLabelNumbered, text, sizeof text, true);
            (void)full;
            return Answer(text, n, destination);
        }
        case 'a': return Answer(GetObjectLabel(target, kLabelNumbered, text, nullptr), n, destination);
        case 'L':
        case 'H': {
            const double v = UnpackReal32(code == 'L' ? p.rangeLow : p.rangeHigh);
            FormatNumberText(text, sizeof text, ToSketchUnits(v, UnitKindOf(p)), false);
            return Answer(text, n, destination);
        }
        case 'd': {
            const bool circular = CircularPath(target);
            switch (direction) {
                case 0: return AnswerItem(circular ? kItemCounterClockwise : kItemForward, n, destination);
                case 1: return AnswerItem(circular ? kItemClockwise : kItemBackward, n, destination);
                case kBothWays: return AnswerItem(kItemBidirectionally, n, destination);
                case kRandom: return AnswerItem(kItemRandomly, n, destination);
                default: return 0;
            }
        }
        case 'p': return AnswerItem(PathEnds(target) == kPathClosed ? kItemAround : kItemAlong, n, destination);
        case 's': {
            if (direction == kRandom && once && MotionTargetKindOf(target) == kTargetPointOnPath) return 0;
            if (IsCustomSpeed(p)) return AnswerItem(kItemAtSpeed, n, destination);
            return AnswerItem(kItemSlowSpeed + PresetIndex(UnpackReal32(p.speed)), n, destination);
        }
        case 'S': {
            if (!IsCustomSpeed(p)) return 0;
            if (direction == kRandom && once && MotionTargetKindOf(target) == kTargetPointOnPath) return 0;
            FormatNumberText(text, sizeof text, UnpackReal32(p.speed) / 3, false);
            return Answer(text, n, destination);
        }
        case 'o': return AnswerItem(once && direction != kBothWays ? kItemOnceOnly : kItemEmpty, n, destination);
        case 'x':
            return AnswerItem((p.motionFlags & kMotionFlagDiscrete) ? kItemDiscretely : kItemContinuously, n, destination);
        default: return 0;
    }
}

int32_t TemplateOf(MotionTargetKind kind, int32_t direction) {
    switch (kind) {
        case kTargetFreePoint: return kItemTemplateFreePoint;
        case kTargetPointOnPath: return kItemTemplateOnPath;
        case kTargetAxisUnit: return kItemTemplateAxis;
        case kTargetOtherPoint: return kItemTemplateOther;
        case kTargetNumber:
            if (direction == 0) return kItemTemplateIncreasing;
            if (direction == 1) return kItemTemplateDecreasing;
            if (direction == kBothWays) return kItemTemplateBothWaysNumber;
            return kItemTemplateRandomNumber;
        default: return -1;
    }
}

}  // namespace

uint32_t DescribeMotionTarget(const MotionParamsPage* page, int32_t index, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return 0;
    buffer[0] = 0;
    DescribeContext context{ TargetAt(page->targets, index), {} };
    if (!context.target || !page->records) return 0;
    context.record = MotionParamsAt(*page->records, index);
    const int32_t item = TemplateOf(MotionTargetKindOf(context.target), MotionDirectionOf(context.record.motionFlags));
    if (item < 0) return 0;
    char templ[256];
    GetGroupString(kGroupMotionTexts, item, templ, sizeof templ);
    const uint32_t length = ExpandCaretCodes(templ, static_cast<uint32_t>(std::strlen(templ)), 0, size - 1, buffer,
                                             MotionField, &context);
    buffer[length < size ? length : size - 1] = 0;
    return length;
}
