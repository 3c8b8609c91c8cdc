// Stand-in: see pick_session.h.
#include "engine/interact/pick_session.h"

#include "engine/core/sketch.h"

namespace {

struct PickSession {
    bool          active;
    PickFilterFn  filter;
    PickAcceptFn  accept;
    PickRefusedFn refused;
    void*         user;
    SketchObject* hot;
};
PickSession gSession = {};

void SetHot(SketchObject* object) {
    if (gSession.hot == object) return;
    if (gSession.hot) {
        gSession.hot->stateFlags &= static_cast<uint8_t>(~kObjectHot);
        AddObjectToDirtyRect(gSession.hot);
    }
    gSession.hot = object;
    if (object) {
        object->stateFlags |= kObjectHot;
        AddObjectToDirtyRect(object);
    }
}

}  // namespace

bool PickSessionBegin(PickFilterFn filter, PickAcceptFn accept, PickRefusedFn refused, void* user) {
    gSession = { true, filter, accept, refused, user, nullptr };
    return filter(nullptr, user);
}

void PickSessionEnd() {
    if (!gSession.active) return;
    SetHot(nullptr);
    gSession.filter(nullptr, gSession.user);
    gSession = {};
}

bool PickSessionActive() { return gSession.active; }

bool PickSessionHover(SketchObject* object) {
    if (!gSession.active) return false;
    const bool accepted = gSession.filter(object, gSession.user);
    SetHot(accepted ? object : nullptr);
    return accepted;
}

int32_t PickSessionClick(SketchObject* object) {
    if (!gSession.active) return 0;
    PickApplyFn apply = nullptr;
    if (object && PickSessionHover(object)) gSession.accept(object, gSession.user, &apply);
    else if (gSession.refused) gSession.refused(object, gSession.user, &apply);
    return apply ? apply(gSession.user) : 0;
}
