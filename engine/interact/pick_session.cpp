#include "engine/interact/pick_session.h"

#include "engine/core/alerts.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"
#include "engine/interact/link_targets.h"
#include "engine/interact/mouse.h"
#include "engine/text/object_labels.h"
#include "engine/text/string_groups.h"

namespace {

// A label or an axis mark under the pointer is not the object a dialog wants.
constexpr uint32_t kPartsNotPickable = kHitLabel | kHitAxisMark;
constexpr int32_t  kHelpTopicGroup = 21;
constexpr uint32_t kHelpAddressSize = 2056;

struct PickSession {
    bool          active;
    PickFilterFn  filter;
    PickAcceptFn  accept;
    PickRefusedFn refused;
    void*         user;
    SketchObject* hot;
    bool          hotWasHighlighted;  // the bit was set before the session made it hot
    SketchObject* refusedObject;
};
PickSession gSession = {};

struct FocusState {
    SketchObject* object;
    int32_t       hidden;             // the hidden flag before focusing
    bool          setHighlight;
    bool          labelShownForFocus;
};
FocusState gFocus = {};

bool Highlighted(const SketchObject* o) { return (o->stateFlags & kObjectHot) != 0; }

// Sets the bit and answers whether it was set already.
bool Highlight(SketchObject* o) {
    const bool was = Highlighted(o);
    o->stateFlags |= kObjectHot;
    AddObjectToDirtyRect(o);
    return was;
}

void Unhighlight(SketchObject* o) {
    o->stateFlags &= static_cast<uint8_t>(~kObjectHot);
    AddObjectToDirtyRect(o);
}

// Drops the hot object's highlight (only the one the session set); nothing is hot after.
void DropHot() {
    SketchObject* old = gSession.hot;
    gSession.hot = nullptr;
    if (!old) return;
    if (!gSession.hotWasHighlighted) Unhighlight(old);
    else AddObjectToDirtyRect(old);
}


}  // namespace

bool PickSessionBegin(PickFilterFn filter, PickAcceptFn accept, PickRefusedFn refused, void* user) {
    gSession = { true, filter, accept, refused, user, nullptr, false, nullptr };
    return filter(nullptr, user);
}

void PickSessionEnd() {
    if (!gSession.active) return;
    if (gSession.hot) {
        DropHot();
        gSession.filter(nullptr, gSession.user);
    }
    gSession = {};
}

bool PickSessionActive() { return gSession.active; }

void PickSessionCancelHot() {
    if (!gSession.active || !gSession.hot) return;
    gSession.filter(nullptr, gSession.user);
    DropHot();
}

bool PickSessionHover(SketchObject* object) {
    if (!gSession.active) return false;
    gSession.refusedObject = nullptr;
    if (object && !gSession.filter(object, gSession.user)) {
        gSession.refusedObject = object;
        object = nullptr;
    }
    if (!object) {
        if (!gSession.hot) return false;
        gSession.filter(nullptr, gSession.user);
        DropHot();
        return false;
    }
    if (object != gSession.hot) {
        DropHot();
        gSession.hot = object;
        gSession.hotWasHighlighted = Highlight(object);
    }
    return true;
}

bool PickSessionHover(ScreenPoint point) {
    if (!gSession.active) return false;
    uint32_t parts = 0;
    SketchObject* hit = HitTestSketch(point, nullptr, false, &parts);
    if (hit && (parts & kPartsNotPickable)) hit = nullptr;
    return PickSessionHover(hit);
}

namespace {

bool ClickHot(PickApplyFn* apply) {
    *apply = nullptr;
    if (gSession.hot) {
        gSession.accept(gSession.hot, gSession.user, apply);
        return true;
    }
    if (gSession.refused) {
        gSession.refused(gSession.refusedObject, gSession.user, apply);
        return true;
    }
    return false;
}

}  // namespace

bool PickSessionClick(ScreenPoint point, PickApplyFn* apply) {
    *apply = nullptr;
    if (!gSession.active) return false;
    PickSessionHover(point);
    return ClickHot(apply);
}

bool PickSessionClick(SketchObject* object, PickApplyFn* apply) {
    *apply = nullptr;
    if (!gSession.active) return false;
    PickSessionHover(object);
    return ClickHot(apply);
}

int32_t PickSessionApply(PickApplyFn apply) { return apply && gSession.active ? apply(gSession.user) : 0; }

int32_t PickSessionClick(SketchObject* object) {
    if (!gSession.active) return 0;
    PickSessionHover(object);
    PickApplyFn apply = nullptr;
    void* user = gSession.user;
    if (!ClickHot(&apply)) return 0;
    return apply ? apply(user) : 0;
}

void SetDialogFocusObject(SketchObject* object) {
    if (object == gFocus.object) return;
    if (SketchObject* old = gFocus.object) {
        if (gFocus.labelShownForFocus) SetLabelShown(old, false, nullptr, true);
        AddObjectToDirtyRect(old);
        old->hidden = gFocus.hidden;
        if (gFocus.setHighlight) Unhighlight(old);
    }
    gFocus = {};
    if (!object) return;
    gFocus.object = object;
    gFocus.hidden = object->hidden;
    if (object->hidden != kShown) {
        // A hidden object's geometry may be out of date: bring it up to date before it shows.
        object->hidden = kShown;
        RecomputeObject(object, nullptr, false);
    }
    if (object->label.level >= kLabelAutomatic && !IsLabelShownOrImplied(object) && LabelFollowsGeometry(object)) {
        SetLabelShown(object, true, nullptr, true);
        gFocus.labelShownForFocus = true;
    }
    gFocus.setHighlight = !Highlight(object);
}

SketchObject* DialogFocusObject() { return gFocus.object; }

void OpenHelpTopic(int32_t n) {
    char address[kHelpAddressSize];
    GetGroupString(kHelpTopicGroup, n, address, sizeof address);
    OpenLinkWithAlert(address);
}

void OpenLinkWithAlert(const char* address) {
    ShowAlertByCode(OpenLinkTarget(address), 1);
}
