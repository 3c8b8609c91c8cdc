#include "engine/interact/action_buttons.h"

#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/undo.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/docio/engine_document.h"
#include "engine/core/points.h"
#include "engine/interact/drag.h"
#include "engine/interact/edit_commands.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/motion.h"
#include "engine/interact/motion_params.h"
#include "engine/interact/object_drag.h"
#include "engine/text/object_text.h"
#include "engine/interact/undo.h"
#include "engine/text/string_groups.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

// A link to page keeps its page word in buttonOptions (which the type has no other use
// for), so that record 2310 carries the target through saving and reopening.
int16_t* LinkToPageTarget(SketchObject* object) {
    ActionButtonData* b = ActionButtonOf(object);
    return b != nullptr && b->buttonType == kButtonLinkToPage ? &b->buttonOptions : nullptr;
}

uint32_t ActionButtonId(const SketchObject* object) {
    const ActionButtonData* b = ActionButtonOf(object);
    return b != nullptr ? static_cast<uint32_t>(b->buttonId) & 0xffffu : 0;
}

namespace {

constexpr ResultCode kAlertPageLinkNotLast      = 148;
constexpr ResultCode kAlertLinkInPresentation   = 149;
constexpr ResultCode kAlertLinkCannotOpen       = 403;

// The button's targets, chained through tempLink in parent order; null when none exists.
SketchObject* ChainTargets(SketchObject* button) {
    SketchObject* first = nullptr;
    SketchObject* last = nullptr;
    int32_t n = 0;
    PtrListSize(button->parents, &n);
    for (int32_t i = 0; i < n; ++i) {
        auto* o = static_cast<SketchObject*>(PtrListItem(button->parents, i));
        if (o == nullptr) continue;
        o->tempLink = nullptr;
        if (last) last->tempLink = o;
        else first = o;
        last = o;
    }
    return first;
}

void SelectShown(SketchObject* o) {
    if (o->exists == 1 && o->hidden == kShown && ObjectClassTable[o->objectClass].drawSelected) SelectSketchObject(o);
}

bool InSequence(const SketchObject* presentation) {
    const ActionButtonData* p = ActionButtonOf(presentation);
    return p != nullptr && (p->buttonOptions & 1) != 0;
}

ResultCode HideOrShow(SketchObject* button, const ActionButtonData* b, SketchObject* presentation) {
    SketchObject* first = ChainTargets(button);
    if (first == nullptr) return kResultOK;
    const bool show = b->buttonType == kButtonShow;
    const bool fade = (b->buttonOptions & kButtonFade) != 0 && (presentation == nullptr || InSequence(presentation));
    if (fade) {
        DeselectAll();
        if (show)
            for (SketchObject* o = first; o; o = o->tempLink) ChangeObjectHidden(o, kShown, false);
        // Inside a presentation the steps are the short ones of a running sketch.
        FlashObjects(first, show ? kFlashAppear : kFlashDisappear, presentation != nullptr);
    }
    ResultCode rc = kResultOK;
    if (show) {
        if (!fade)
            for (SketchObject* o = first; o; o = o->tempLink) ChangeObjectHidden(o, kShown, false);
        const UndoDescriptor descriptor = { kUndoNameShow, kUndoNounWorkedOut, 0, nullptr };
        rc = UndoRecordObjectList(&descriptor, first, false);
        if (rc != kResultOK)
            for (SketchObject* o = first; o; o = o->tempLink) ChangeObjectHidden(o, kHiddenByUser, false);
    } else {
        const UndoDescriptor descriptor = { kUndoNameHide, kUndoNounWorkedOut, 0, nullptr };
        // The record's own replay hides them.
        rc = UndoRecordObjectList(&descriptor, first, true);
    }
    DeselectAll();
    if (rc == kResultOK && show && (b->buttonOptions & kButtonSelectShown) != 0)
        for (SketchObject* o = ChainTargets(button); o; o = o->tempLink) SelectShown(o);
    return rc;
}

ResultCode LinkToPage(const ActionButtonData* b, SketchObject* presentation) {
    if (presentation != nullptr && !InSequence(presentation)) return kAlertPageLinkNotLast;
    EngineDocument* document = gEngine.frontDocument;
    int32_t index = -1;
    if (document == nullptr || FindPageById(document, static_cast<uint16_t>(b->buttonOptions), &index) == nullptr)
        return kResultNoSuchPage;
    const ResultCode rc = GoToPageAndTarget(index, static_cast<uint32_t>(b->buttonParam) & 0xffffu);
    return rc == kResultNoSuchButton ? kResultOK : rc;
}

ResultCode LinkToTarget(const ActionButtonData* b, SketchObject* presentation) {
    if (presentation != nullptr) return kAlertLinkInPresentation;
    if (b->linkTarget == nullptr || b->linkTarget[0] == 0) return kAlertLinkCannotOpen;
    // Stand-in: resolving the address against the document's and the program's folders,
    // and opening it (asking first for anything but a web address), come with link targets.
    return kAlertLinkCannotOpen;
}

bool OwnsRunningMotion(const SketchObject* button) {
    Sketch* sketch = CurrentSketch();
    if (sketch == nullptr) return false;
    for (Motion* m = sketch->motion.motionsHead; m; m = m->next)
        if (m->owner == button && !m->finished) return true;
    return false;
}

bool Exists(const SketchObject* o) { return o != nullptr && o->exists == 1; }

// Pairs of point and destination from the parents; an unpaired last parent is ignored.
// Every point gets a speed of its own so that all arrive in the same frame.
ResultCode RunMoveButtonMotions(SketchObject* button, const ActionButtonData* b) {
    static constexpr double kPresets[3] = { 1, 3, 5 };
    const int32_t preset = b->buttonOptions;
    const double speed = preset >= 0 && preset <= 2 ? SpeedUnit() * kPresets[preset] : 0;
    const bool follow = (b->buttonParam & 1) == 0;
    int32_t n = 0;
    PtrListSize(button->parents, &n);
    auto at = [&](int32_t i) { return static_cast<SketchObject*>(PtrListItem(button->parents, i)); };
    auto distance2 = [&](const SketchObject* point, const SketchObject* destination) {
        if (!Exists(destination)) return 100.0;
        const RealPoint p = PointPosition(point), q = PointPosition(destination);
        return (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y);
    };
    ResultCode rc = kResultOK;
    double largest = 0;
    for (int32_t i = 0; i + 1 < n; i += 2) {
        if (!Exists(at(i))) {
            rc = kAlertNoDestination;
            continue;
        }
        largest = std::max(largest, distance2(at(i), at(i + 1)));
    }
    if (largest == 0) return rc != kResultOK ? rc : kAlertAtDestination;
    const double frames = speed > 0 ? std::sqrt(largest) / speed : 0;
    bool undoNeeded = false;
    for (int32_t i = 0; i + 1 < n; i += 2) {
        if (!Exists(at(i))) continue;
        const double own = frames > 0 ? std::sqrt(distance2(at(i), at(i + 1))) / frames : 0;
        Motion* m = CreateMotion(at(i), at(i + 1), kMotionToDestination, follow ? 2 : 0, 0, own);
        if (m == nullptr) {
            rc = kResultOutOfMemory;
            continue;
        }
        bool needed = false;
        const ResultCode started = StartMotion(m, button, &needed);
        if (started != kResultOK) rc = started;
        if (needed) undoNeeded = true;
    }
    if (undoNeeded) {
        const UndoDescriptor name = { kUndoNameAnimate, kUndoNounWorkedOut, 0, nullptr };
        BuildMoveUndoRecord(&name, nullptr);
        rc = kResultOK;
    }
    // Stand-in: when some of these motions took over each other's points, the front
    // sketch pauses and tells alert 58; that comes with the running-button bookkeeping.
    return rc;
}

ResultCode Animate(SketchObject* button) {
    RefreshNumberTargets(button);
    SketchObject* first = ChainTargets(button);
    Motion* motions = CreateMotionsForSelection(first);
    if (motions == nullptr) return first ? kResultOutOfMemory : kResultOK;
    ApplyMotionParams(motions, button->parents, button->constructionData);
    ResultCode rc = kResultOK;
    bool anyStarted = false;
    bool undoNeeded = false;
    for (Motion* m = motions; m;) {
        Motion* next = m->listLink;
        bool needed = false;
        const ResultCode started = StartMotion(m, button, &needed);
        if (started == kResultOK) anyStarted = true;
        else rc = started;
        if (needed) undoNeeded = true;
        m = next;
    }
    if (undoNeeded) {
        const UndoDescriptor name = { kUndoNameAnimate, kUndoNounWorkedOut, 0, nullptr };
        BuildMoveUndoRecord(&name, nullptr);
    }
    // A missing path of one target does not spoil a press that moved others.
    if (rc == kAlertNoPath && anyStarted) rc = kResultOK;
    return rc;
}

}  // namespace

ResultCode RunActionButton(SketchObject* button, SketchObject* presentation) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr) return kResultOK;
    switch (b->buttonType) {
    case kButtonHide:
    case kButtonShow:         return HideOrShow(button, b, presentation);
    case kButtonLinkToPage:   return LinkToPage(b, presentation);
    case kButtonLinkToTarget: return LinkToTarget(b, presentation);
    case kButtonAnimate:
    case kButtonMove:
        if (OwnsRunningMotion(button)) {
            FinishMotionsOfOwner(button);
            return kResultOK;
        }
        return b->buttonType == kButtonAnimate ? Animate(button) : RunMoveButtonMotions(button, b);
    default:
        // Stand-in: Scroll and presentations run with scrolling in frame ticks and the
        // presentation machinery; until then a press does nothing.
        return kResultOK;
    }
}

ResultCode PressActionButton(SketchObject* button) { return RunActionButton(button, nullptr); }

SketchObject* MakeActionButton(int32_t type, SketchObject* targets, bool undo, ResultCode* result) {
    *result = kResultOK;
    ActionButtonInit init{ type, 0, 0, 0, 0, 0, nullptr };
    PtrList parents = 0;
    SketchObject* last = nullptr;
    for (SketchObject* o = targets; o; o = o->tempLink) {
        if (!PtrListAppend(&parents, o)) {
            FreePtrList(&parents);
            *result = kResultOutOfMemory;
            return nullptr;
        }
        last = o;
    }
    switch (type) {
    case kButtonHide:
    case kButtonShow: init.buttonOptions = kButtonSelectShown | kButtonFade | kButtonToggles; break;
    case kButtonMove: init.buttonOptions = 1; break;
    case kButtonLinkToPage: {
        EngineDocument* document = gEngine.frontDocument;
        const int32_t pages = document ? DocumentPageCount(document) : 1;
        if (pages <= 1) {
            init.buttonType = kButtonLinkToTarget;
            break;
        }
        const int32_t index = CurrentPageIndex(document) == 0 ? 1 : 0;
        if (Sketch* page = DocumentPageAt(document, index)) init.buttonOptions = static_cast<int16_t>(page->pageId);
        break;
    }
    case kButtonPresentation: {
        const ActionButtonData* end = ActionButtonOf(last);
        if (end != nullptr && end->buttonType == kButtonLinkToPage) init.buttonOptions = 1;
        else init.buttonParam = 600;
        break;
    }
    default: break;
    }
    ScreenPoint at{};
    DefaultObjectPosition(&at, kClassActionButton);
    init.x = at.x;
    init.y = at.y;
    // Stand-in: an Animate button's motion records and its "Animate ^A" label come with
    // button motions; the Properties page of the interactive types with the Properties
    // sheet.
    SketchObject* button = ConstructObject(kTypeActionButton, &init, parents, 0, true, undo, nullptr);
    if (button == nullptr) *result = kResultOutOfMemory;
    return button;
}

void ActionButtonStop(SketchObject*) {}
void ActionButtonsOfObject(SketchObject*) {}
// Stand-in: presentations have nothing to run until presentation buttons are built.
void ResumePendingPresentations() {}

// Stand-in: button captions come from the button types and their targets' names, and
// the frame from the caption's size; until buttons are built a button is captioned by
// its kind's noun and keeps its bounds.
void ActionButtonCaption(SketchObject* button, char* text, uint32_t size, int32_t* level) {
    if (size == 0) return;
    std::snprintf(text, size, "%s", KindNoun(button->objectKind, kNounSingular));
    *level = 6;
}
void ActionButtonFrameMetrics(SketchObject*) {}
