// Feeds outside bytes as an Animate button's stored motion records, in the full and the
// one-word form, to the motions of a small sketch (points on a segment, a circle and a
// locus, a free point, an axis unit point, a parameter) and runs a bounded number of
// frames, changing speeds and directions on the way. Every position and value stays
// finite, and the motions end when they are stopped.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/frame_tick.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/streams.h"
#include "engine/interact/motion.h"
#include "engine/interact/motion_params.h"
#include "support/clock_double.h"

namespace {

SketchObject* Make(int32_t type, std::initializer_list<SketchObject*> parents, PtrList data = 0) {
    PtrList list = 0;
    for (SketchObject* p : parents) {
        if (!p || !PtrListAppend(&list, p)) {
            FreePtrList(&list);
            FreePtrList(&data);
            return nullptr;
        }
    }
    SketchObject* o = ConstructObject(type, nullptr, list, data, true, false, nullptr);
    if (o) RecomputeObject(o, nullptr, true);
    return o;
}

SketchObject* Point(double x, double y) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    if (p) SetPointPosition(p, x, y, 1, nullptr, false);
    return p;
}

PtrList Reals(double a, double b) {
    PtrList list = 0;
    const int32_t items = static_cast<int32_t>(16 / sizeof(void*));
    if (!AllocPtrList(items, items, &list)) return 0;
    std::memcpy(PtrListData(list), &a, 8);
    std::memcpy(reinterpret_cast<uint8_t*>(PtrListData(list)) + 8, &b, 8);
    return list;
}

bool Finite(const SketchObject* o) {
    if (!o) return true;
    if (o->objectClass == kClassPoint) {
        const RealPoint p = PointPosition(o);
        return std::isfinite(p.x) && std::isfinite(p.y);
    }
    if (o->objectClass == kClassCalculation) return !ValueDisplayOf(o)->defined || std::isfinite(CalculationValue(o));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 4096) return 0;
    InitStreamTable();
    Sketch* page = CreateSketch(0, nullptr);
    if (!page) return 0;
    Sketch* previous = nullptr;
    SetCurrentSketch(page, &previous);
    page->windowRect = { 0, 0, 640, 480 };
    SetTestTickCount(5000);

    SketchObject* free = Point(300, 200);
    SketchObject* segment = Make(kTypeSegment, { Point(10, 10), Point(200, 60) });
    SketchObject* onSegment = Make(kTypePointOnPath, { segment }, Reals(0.3, 0));
    SketchObject* centre = Point(400, 300);
    SketchObject* circle = Make(kTypeCircleByPoint, { centre, Point(460, 300) });
    SketchObject* onCircle = Make(kTypePointOnPath, { circle }, Reals(1, 0));
    SketchObject* driverSegment = Make(kTypeSegment, { centre, onCircle });
    SketchObject* traced = Make(kTypeMidpoint, { driverSegment });
    SketchObject* locus = Make(kTypeLocus, { traced, circle, onCircle, driverSegment, traced });
    SketchObject* onLocus = locus ? Make(kTypePointOnPath, { locus }, Reals(0.5, 0)) : nullptr;
    SketchObject* unit = Make(56, { Point(100, 400) }, Reals(40, 0));  // a unit length of 40
    const ObjectTemplate pt = { kTypeFree, 0, 0, kClassCalculation, 1, kKindParameter, 0 };
    SketchObject* parameter = ConstructObjectEx(&pt, nullptr, 0, 0, nullptr, nullptr, false);
    if (parameter && SetParameterValue(parameter, 2, false)) {
        UpdateFreeCalculation(parameter);
        SetDefaultParameterMotion(parameter);
    }

    SketchObject* all[] = { onSegment, onCircle, onLocus, free, unit, parameter };
    SketchObject* targets[6];
    int32_t count = 0;
    for (SketchObject* o : all) {
        if (o) targets[count++] = o;
    }
    // The first byte picks the stored form and the frames' actions; the rest is the
    // record payload after a code word of the button's own.
    SketchObject* button = nullptr;
    if (count) {
        PtrList parents = 0;
        for (int32_t i = 0; i < count; ++i) PtrListAppend(&parents, targets[i]);
        button = ConstructObject(66, nullptr, parents, 0, true, false, nullptr);
    }
    if (button) {
        const int32_t version = data[0] & 1 ? 3 : 4;
        const FormatInfo format = { 1, version, version };
        uint8_t record[4096 + 4] = {};
        PutLE16(record, static_cast<uint16_t>(ConstructionTypeTable[66].storedCode));
        std::memcpy(record + 4, data + 1, size - 1);
        ReadCodecRecord(TransferMotionParams, button, record, static_cast<uint32_t>(size + 3), format);
        RefreshNumberTargets(button);

        for (int32_t i = 0; i < count; ++i) targets[i]->tempLink = i + 1 < count ? targets[i + 1] : nullptr;
        Motion* motions = CreateMotionsForSelection(targets[0]);
        ApplyMotionParams(motions, button->parents, button->constructionData);
        for (Motion* m = motions; m;) {
            Motion* next = m->listLink;
            StartMotion(m, nullptr, nullptr);
            m = next;
        }
        const uint8_t actions = data[0];
        for (int32_t frame = 0; frame < 40; ++frame) {
            AdvanceTestTickCount(kFrameMs * (1 + (actions >> 6)));
            AnimationStep();
            if (frame == 10 && (actions & 2)) ChangeMotionSpeeds(1.2599210498949, false, true);
            if (frame == 15 && (actions & 4)) ReverseMotions(false);
            if (frame == 20 && (actions & 8)) ChangeMotionSpeeds(0, false, false);
            if (frame == 25 && (actions & 16)) ChangeMotionSpeeds(40000, false, false);
            for (int32_t i = 0; i < count; ++i) {
                if (!Finite(targets[i])) __builtin_trap();
            }
        }
        StopMotions(0);
        if (page->motion.motionsHead || RunningMotionCount() != 0) __builtin_trap();
    }
    RemoveIdleTask(&page->ticker.task);
    FreeSketch(page);
    SetCurrentSketch(previous, nullptr);
    return 0;
}
