#include "engine/core/transform_settings.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "engine/core/alerts.h"
#include "engine/core/angle_constants.h"
#include "engine/core/circles.h"
#include "engine/core/geometry.h"
#include "engine/core/marks.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/services/measurements.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_objects.h"
#include "engine/core/transform_maps.h"
#include "engine/core/units.h"

namespace {

DialogField RealField(double value) {
    DialogField f{ kFieldNumber, kFieldEnabled | kFieldVisible, {}, INT_MAX, INT_MIN };
    f.value.real = value;
    return f;
}

DialogField WholeField(int32_t kind, int32_t value) {
    DialogField f{ kind, kFieldEnabled | kFieldVisible, {}, 1, 0 };
    if (kind == kFieldInteger) {
        f.state = 0;
        f.upper = 3;
    }
    f.value.integer = value;
    return f;
}

int32_t IntOf(const DialogField& f) { return f.value.integer; }

TransformSettings* CurrentSettings() {
    Sketch* sketch = CurrentSketch();
    return sketch ? &sketch->transformSettings : nullptr;
}

bool SlotSet(int32_t slot) { return MarkedObject(slot) != nullptr; }

}  // namespace

TransformSettings* InitTransformSettings(TransformSettings* s) {
    const int32_t unit = ThePreferences().sketchSettings.distanceUnit;
    double length = 1.0;
    if (unit == kDistancePixels) length = 100;
    else FromDistanceUnits(&length, unit);
    s->field[kTfDialog] = WholeField(kFieldInteger, 0);
    s->field[kTfTranslateForm] = WholeField(kFieldChoice, kTranslatePolar);
    s->field[kTfPolarAngleSource] = WholeField(kFieldFlag, 0);
    s->field[kTfPolarAngle] = RealField(kHalfPi);
    s->field[kTfDistanceSource] = WholeField(kFieldFlag, 0);
    s->field[kTfVerticalSource] = WholeField(kFieldFlag, 0);
    s->field[kTfDistance] = RealField(length);
    s->field[kTfVertical] = RealField(length);
    s->field[kTfRotationSource] = WholeField(kFieldFlag, 0);
    s->field[kTfRotationAngle] = RealField(kHalfPi);
    s->field[kTfRatioSource] = WholeField(kFieldFlag, 0);
    s->field[kTfNumerator] = RealField(1.0);
    s->field[kTfDenominator] = RealField(2.0);
    s->field[kTfPreview] = WholeField(kFieldFlag, 0);
    s->field[kTfPreview].state = 0;
    return s;
}

TransformSettings* TransformSettingsFollowMark(int32_t slot, int32_t state) {
    TransformSettings* s = CurrentSettings();
    if (!s) return nullptr;
    const int32_t set = state == kMarkSet ? 1 : 0;
    switch (slot) {
    case kMarkVector:
        s->field[kTfTranslateForm].upper = set ? 2 : 1;
        s->field[kTfTranslateForm].value.integer = set ? kTranslateVector : kTranslatePolar;
        break;
    case kMarkAngle:
    case kMarkAngleValue:
        s->field[kTfRotationSource].value.integer = set;
        s->field[kTfPolarAngleSource].value.integer = set;
        break;
    case kMarkScaleFactor:
    case kMarkSegmentRatio:
    case kMarkPointRatio:
        s->field[kTfRatioSource].value.integer = set;
        break;
    case kMarkDistance:
        s->field[kTfDistanceSource].value.integer = set;
        break;
    case kMarkVertical:
        s->field[kTfVerticalSource].value.integer = set;
        break;
    default:
        break;
    }
    return s;
}

int32_t GetTranslateForm() {
    const TransformSettings* s = CurrentSettings();
    return s ? IntOf(s->field[kTfTranslateForm]) : kTranslatePolar;
}

void SetTranslateForm(int32_t form) {
    if (TransformSettings* s = CurrentSettings()) s->field[kTfTranslateForm].value.integer = form;
}

int32_t ChooseTransformType(const TransformSettings* s) {
    const auto marked = [&](int32_t field) { return IntOf(s->field[field]) != 0; };
    switch (IntOf(s->field[kTfDialog])) {
    case kDialogTranslate: {
        const int32_t form = IntOf(s->field[kTfTranslateForm]);
        const bool distance = marked(kTfDistanceSource);
        // A marked choice without its mark has no type: nothing is constructed.
        if (distance && form != kTranslateVector && !SlotSet(kMarkDistance)) return kNoTransformType;
        if (form == kTranslateVector) return IsMarkGroupSet(kMarkVector) ? 20 : kNoTransformType;
        if (form == kTranslateRectangular) {
            const bool vertical = marked(kTfVerticalSource);
            if (vertical && !SlotSet(kMarkVertical)) return kNoTransformType;
            if (distance) return vertical ? 24 : 23;
            return vertical ? 22 : 21;
        }
        if (!marked(kTfPolarAngleSource)) return distance ? 28 : 25;
        if (SlotSet(kMarkAngleValue)) return distance ? 30 : 27;
        if (IsMarkGroupSet(kMarkAngle)) return distance ? 29 : 26;
        return kNoTransformType;
    }
    case kDialogRotate:
        if (!marked(kTfRotationSource)) return 31;
        if (SlotSet(kMarkAngleValue)) return 33;
        if (IsMarkGroupSet(kMarkAngle)) return 32;
        return kNoTransformType;
    case kDialogDilate:
        if (!marked(kTfRatioSource)) return 34;
        if (SlotSet(kMarkScaleFactor)) return 37;
        if (IsMarkGroupSet(kMarkSegmentRatio)) return 35;
        if (IsMarkGroupSet(kMarkPointRatio)) return 36;
        return kNoTransformType;
    default:
        return kNoTransformType;
    }
}

void ConvertTransformSettings(int32_t dialogKind, TransformSettings* s, bool toDisplay) {
    const auto angle = [&](int32_t field) {
        double& v = s->field[field].value.real;
        if (toDisplay) RadiansToAngleUnits(&v, true);
        else AngleToRadians(&v, CurrentSketchAngleUnit());
    };
    const auto length = [&](int32_t field) {
        double& v = s->field[field].value.real;
        if (toDisplay) ToDistanceUnits(&v);
        else FromDistanceUnits(&v, CurrentSketchDistanceUnit());
    };
    if (dialogKind == kDialogTranslate) {
        angle(kTfPolarAngle);
        length(kTfDistance);
        length(kTfVertical);
    } else if (dialogKind == kDialogRotate) {
        angle(kTfRotationAngle);
    }
}

// ---- Preparing and building

void FreeTransformWork(TransformWork* work) {
    FreePtrList(&work->selection);
    FreePtrList(&work->parents);
    FreePtrList(&work->data);
    work->selectionCount = 0;
}

namespace {

// The marked object of a slot, recording the bit's code when it is missing, does not
// exist, or (for values) is undefined.
struct MarkReader {
    ResultCode code = kResultOK;
    bool missing = false;
    SketchObject* Take(int32_t slot, ResultCode bitCode, bool value = false) {
        SketchObject* o = MarkedObject(slot);
        double v;
        if (!o) missing = true;
        if ((!o || !o->exists || (value && (!ParentValue(o, &v) || !std::isfinite(v)))) && code == kResultOK)
            code = bitCode;
        return o;
    }
};

bool OnlySelected(const TransformWork* work, const SketchObject* object) {
    return object && work->selectionCount == 1 &&
           static_cast<SketchObject*>(PtrListItem(work->selection, 0)) == object;
}

void PutReal(uint8_t* at, double v) { std::memcpy(at, &v, 8); }

}  // namespace

bool PrepareTransformation(TransformSettings* settings, TransformWork* work, bool silent) {
    work->silent = silent ? 1 : 0;
    work->parents = 0;
    work->data = 0;
    if (work->type < 20 || work->type > 38) return false;
    const TransformOpRecord& row = TransformOpTable[ConstructionTypeTable[work->type].transformOp];
    work->parentCount = row.parentCount;
    work->fixedWords = row.fixedWords;
    const int32_t parameterCount = row.parentCount - 1;
    const int32_t dataItems = static_cast<int32_t>((4u * row.fixedWords + sizeof(void*) - 1) / sizeof(void*));
    if ((parameterCount > 0 && !AllocPtrList(parameterCount, 0, &work->parents)) ||
        (dataItems > 0 && !AllocPtrList(dataItems, dataItems, &work->data))) {
        FreePtrList(&work->parents);
        FreePtrList(&work->data);
        return false;
    }
    bool refused = false;
    MarkReader marks;
    SketchObject* taken[5] = {};
    int32_t n = 0;
    const uint32_t bits = row.sources;
    if (bits & kSourceCenterPoint) {
        taken[n++] = marks.Take(kMarkCentre, 116);
        if (!silent && OnlySelected(work, taken[n - 1])) {
            ShowAlertByCode(120, 0);
            refused = true;
        }
    }
    if (bits & kSourceMirrorStraight) {
        taken[n++] = marks.Take(kMarkMirror, 119);
        if (!silent && OnlySelected(work, taken[n - 1])) {
            ShowAlertByCode(121, 0);
            refused = true;
        }
    }
    if (bits & kSourceAngleValue) taken[n++] = marks.Take(kMarkAngleValue, 114, true);
    if (bits & kSourceAnglePoints) {
        taken[n++] = marks.Take(kMarkAngleFirst, 114);
        taken[n++] = marks.Take(kMarkAngleVertex, 114);
        taken[n++] = marks.Take(kMarkAngleLast, 114);
        double c, s;
        if (!marks.missing && !PointLineRelation(PointPosition(taken[n - 3]), PointPosition(taken[n - 2]),
                                                 PointPosition(taken[n - 1]), nullptr, nullptr, &c, &s, nullptr) &&
            marks.code == kResultOK)
            marks.code = 114;
    }
    if (bits & kSourceRatioValue) taken[n++] = marks.Take(kMarkScaleFactor, 115, true);
    if (bits & kSourceRatioPoints) {
        taken[n++] = marks.Take(kMarkRatioOrigin, 115);
        taken[n++] = marks.Take(kMarkUnitPoint, 115);
        taken[n++] = marks.Take(kMarkRatioPoint, 115);
        double t;
        if (!marks.missing && !PointLineRelation(PointPosition(taken[n - 2]), PointPosition(taken[n - 3]),
                                                 PointPosition(taken[n - 1]), nullptr, &t, nullptr, nullptr, nullptr) &&
            marks.code == kResultOK)
            marks.code = 115;
    }
    if (bits & kSourceRatioSegments) {
        taken[n++] = marks.Take(kMarkRatioNumerator, 115);
        taken[n++] = marks.Take(kMarkRatioDenominator, 115);
    }
    if (bits & kSourceDistanceValue) taken[n++] = marks.Take(kMarkDistance, 117, true);
    if (bits & kSourceVerticalValue) taken[n++] = marks.Take(kMarkVertical, 117, true);
    if (bits & kSourceVectorPoints) {
        taken[n++] = marks.Take(kMarkVectorTail, 118);
        taken[n++] = marks.Take(kMarkVectorHead, 118);
    }
    for (int32_t i = 0; i < n && !marks.missing; ++i) PtrListAppend(&work->parents, taken[i]);

    // Fixed values, as the dialog shows them, into the entries in their memory order.
    if (work->data) {
        uint8_t block[64] = {};
        uint32_t at = 0;
        const int32_t angleUnit = CurrentSketchAngleUnit(), distanceUnit = CurrentSketchDistanceUnit();
        if (bits & kSourceFixedAngle) {
            const bool rotation = work->type == 31;
            const double shown = settings->field[rotation ? kTfRotationAngle : kTfPolarAngle].value.real;
            if (rotation && shown == 0) {
                if (!silent) ShowAlertByCode(111, 0);
                refused = true;
            }
            double a = shown;
            AngleToRadians(&a, angleUnit);
            const FixedAngleEntry e = { -std::sin(a), std::cos(a), shown, angleUnit, 0 };
            std::memcpy(block + at, &e, sizeof e);
            at += sizeof e;
        }
        if (bits & kSourceFixedRatio) {
            const double num = settings->field[kTfNumerator].value.real, den = settings->field[kTfDenominator].value.real;
            if (num == 0 || den == 0) {
                if (!silent) ShowAlertByCode(num == 0 ? 112 : 113, 0);
                refused = true;
            } else {
                PutReal(block + at, num / den);
            }
            at += 8;
        }
        for (uint32_t bit : { kSourceFixedDistance, kSourceFixedVertical }) {
            if (!(bits & bit)) continue;
            const double shown = settings->field[bit == kSourceFixedDistance ? kTfDistance : kTfVertical].value.real;
            double pixels = shown;
            FromDistanceUnits(&pixels, distanceUnit);
            const FixedDistanceEntry e = { pixels, shown, distanceUnit, 0 };
            std::memcpy(block + at, &e, sizeof e);
            at += sizeof e;
        }
        std::memcpy(PtrListData(work->data), block, 4u * row.fixedWords);
    }

    // A mark that is not there at all cannot become a parent, whatever the answer.
    if (marks.missing) refused = true;
    if (!refused && marks.code != kResultOK && !silent && !AskQuestionByCode(marks.code, false, 0))
        refused = true;
    if (refused) {
        FreePtrList(&work->parents);
        FreePtrList(&work->data);
        return false;
    }
    return true;
}

namespace {

SketchObject* BuildOneTransformedImage(int32_t index, void* user, uint16_t* outFlags) {
    TransformWork* work = static_cast<TransformWork*>(user);
    SketchObject* r = static_cast<SketchObject*>(PtrListItem(work->selection, index));
    SketchObject* first = static_cast<SketchObject*>(PtrListItem(work->parents, 0));
    SketchObject* reused = nullptr;
    if (work->type == 20 && r == first) reused = static_cast<SketchObject*>(PtrListItem(work->parents, 1));
    else if (work->type >= 31 && r == first) reused = r;
    if (reused) {
        // The tail's image is the head; a centre or mirror is its own image.
        *outFlags = kReusedEqual;
        if (reused->hidden != kShown) {
            ChangeObjectHidden(reused, kShown, false);
            *outFlags = kReusedEqual | kReusedAndShown;
        }
        return reused;
    }
    PtrList parents = 0, data = 0;
    int32_t count = 0;
    PtrListSize(work->parents, &count);
    if (!AllocPtrList(count + 1, 0, &parents) || !PtrListAppend(&parents, r)) {
        FreePtrList(&parents);
        return nullptr;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (!PtrListAppend(&parents, PtrListItem(work->parents, i))) {
            FreePtrList(&parents);
            return nullptr;
        }
    }
    if (work->data) {
        int32_t items = 0;
        PtrListItems(work->data, &items);
        if (!AllocPtrList(items, items, &data)) {
            FreePtrList(&parents);
            return nullptr;
        }
        std::memcpy(PtrListData(data), PtrListData(work->data), items * sizeof(void*));
    }
    SketchObject* image = ConstructObject(work->type, nullptr, parents, data, true, false, outFlags);
    // A preview image cannot be picked.
    if (image && work->silent && *outFlags == kConstructedNew) image->stateFlags |= kObjectPreview;
    return image;
}

}  // namespace

bool BuildTransformedImages(TransformWork* work) {
    // Only geometric objects have images: the rest of the selection is left out.
    int32_t kept = 0;
    for (int32_t i = 0; i < work->selectionCount; ++i) {
        SketchObject* o = static_cast<SketchObject*>(PtrListItem(work->selection, i));
        if (KindIsA(EffectiveKind(o), kKindPreImage) && ObjectClassTable[o->objectClass].transform)
            PtrListData(work->selection)[kept++] = o;
    }
    work->selectionCount = kept;
    bool ok = false;
    if (kept > 0 && kept <= 0xffff) {
        ObjectBatch batch = {};
        batch.replaceSelection = work->silent ? 0 : 1;
        batch.count = static_cast<uint16_t>(kept);
        batch.create = BuildOneTransformedImage;
        batch.unwind = StandardBatchUnwind;
        batch.userData = work;
        batch.undoNoun = -1;
        ok = BuildObjectsWithUndo(&batch) != nullptr;
    }
    FreeTransformWork(work);
    return ok;
}

// ---- Default centre and mirror

namespace {

// The middle of the page's visible rectangle, or (100, 100) and the whole plane when
// the page has no view.
RealPoint WindowCentre(ScreenRect* visible) {
    Sketch* sketch = CurrentSketch();
    if (!UpdateSketchVisibleRect(sketch) || ScreenRectIsEmpty(sketch->windowRect)) {
        *visible = { -32768, -32768, 32767, 32767 };
        return { 100, 100 };
    }
    *visible = sketch->windowRect;
    return { (visible->left + visible->right) / 2.0, (visible->top + visible->bottom) / 2.0 };
}

SketchObject* Usable(SketchObject* o, int32_t allowHidden) {
    return o && o->exists && o->hidden <= allowHidden ? o : nullptr;
}

SketchObject* NewFreePoint(RealPoint at) {
    SketchObject* p = ConstructObject(kTypeFree, nullptr, 0, 0, true, true, nullptr);
    if (!p) return nullptr;
    SetPointPosition(p, at.x, at.y, 1, nullptr, false);
    RecomputeObject(p, nullptr, true);
    return p;
}

void ShowAndMark(int32_t slot, SketchObject* o) {
    if (o->hidden != kShown) ChangeObjectHidden(o, kShown, true);
    MarkObject(slot, o, true);
}

SketchObject* ParentOf(const SketchObject* o, int32_t i) {
    return o ? static_cast<SketchObject*>(PtrListItem(o->parents, i)) : nullptr;
}

}  // namespace

SketchObject* MarkedCenterCandidate(int32_t slot, int32_t allowHidden) {
    switch (slot) {
    case kMarkAngle:
        return IsMarkGroupSet(kMarkAngle) ? Usable(MarkedObject(kMarkAngleVertex), allowHidden) : nullptr;
    case kMarkPointRatio:
        return IsMarkGroupSet(kMarkPointRatio) ? Usable(MarkedObject(kMarkRatioOrigin), allowHidden) : nullptr;
    case kMarkCoordSystem: {
        SketchObject* system = Usable(MarkedObject(kMarkCoordSystem), 1);
        SketchObject* origin = ParentOf(ParentOf(system, 0), 0);
        if (!origin) return nullptr;
        if (origin->objectClass == kClassPoint) return Usable(origin, allowHidden);
        if (origin->objectClass != kClassCircle) return nullptr;
        if (origin->constructionType == kTypeCircleByPoint || origin->constructionType == kTypeCircleByRadius)
            return Usable(ParentOf(origin, 0), allowHidden);
        if (!Usable(origin, allowHidden)) return nullptr;
        return NewFreePoint(ClassData<CircleData>(origin)->centre);
    }
    default:
        return Usable(MarkedObject(slot), allowHidden);
    }
}

SketchObject* GetTransformCenter(int32_t kind) {
    SketchObject* centre = MarkedObject(kMarkCentre);
    if (centre && centre->exists) return centre;
    const int32_t order[3] = { kMarkCoordSystem, kind == 1 ? kMarkAngle : kMarkPointRatio,
                               kind == 1 ? kMarkPointRatio : kMarkAngle };
    for (int32_t pass = 0; pass < 2 && !centre; ++pass)
        for (int32_t slot : order)
            if (!centre) centre = MarkedCenterCandidate(slot, pass);
    if (!centre) {
        ScreenRect visible;
        const RealPoint c = WindowCentre(&visible);
        double best = 32767;
        for (int32_t pass = 0; pass < 2 && !centre; ++pass) {
            for (SketchObject* o = CurrentSketch()->firstObject; o; o = o->nextInSketch) {
                if (o->objectClass != kClassPoint || !o->exists) continue;
                const RealPoint p = PointPosition(o);
                if (pass == 0 && (o->hidden != kShown ||
                                  !ScreenPointInRect({ RoundToScreen(p.x), RoundToScreen(p.y) }, visible)))
                    continue;
                const double d = std::hypot(p.x - c.x, p.y - c.y);
                if (d < best) {
                    best = d;
                    centre = o;
                }
            }
        }
        if (!centre) centre = NewFreePoint(c);
    }
    if (centre) ShowAndMark(kMarkCentre, centre);
    return centre;
}

SketchObject* DefaultMirror() {
    SketchObject* mirror = MarkedObject(kMarkMirror);
    if (mirror && mirror->exists) return mirror;
    mirror = nullptr;
    ScreenRect visible;
    const RealPoint c = WindowCentre(&visible);
    double best = 32767;
    for (int32_t pass = 0; pass < 2 && !mirror; ++pass) {
        for (SketchObject* o = CurrentSketch()->firstObject; o; o = o->nextInSketch) {
            if ((o->objectClass != kClassStraight && o->objectClass != kClassAxis) || !o->exists) continue;
            if (o->hidden > pass) continue;
            const LineForm& f = ClassData<StraightData>(o)->form;
            const double d = f.dx == 0 ? std::fabs(f.first.x - c.x)
                                       : std::fabs((c.x - f.first.x) * f.slope + (f.first.y - c.y)) /
                                             std::sqrt(f.slope * f.slope + 1);
            if (d < best) {
                best = d;
                mirror = o;
            }
        }
    }
    if (mirror) ShowAndMark(kMarkMirror, mirror);
    return mirror;
}
