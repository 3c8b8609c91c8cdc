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
#include "engine/interact/object_properties.h"
#include "engine/text/object_text.h"
#include "engine/interact/undo.h"
#include "engine/text/string_groups.h"

#include "engine/core/frame_tick.h"
#include "engine/core/geometry.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/folders.h"
#include "engine/core/services/fonts.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/services/views.h"
#include "engine/interact/link_targets.h"
#include "engine/text/caret_codes.h"
#include "engine/text/object_labels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

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

// Set while the buttons selected in a document that just opened are pressed: a link
// then always asks before it opens anything.
bool gOpeningPresses = false;
// How deep presses of presentations are nested now.
int32_t gPressDepth = 0;

constexpr ResultCode kAlertPageLinkNotLast      = 148;
constexpr ResultCode kAlertLinkInPresentation   = 149;
constexpr ResultCode kAlertLinkCannotOpen       = 403;
// Alert group items of the Move button's notice that some points will not move.
constexpr int32_t kAlertMotionCaptionItem  = 8;
constexpr int32_t kAlertMovesTakenOverItem = 58;

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

// Only the end of a sequence may leave the page: nothing after it would run.
bool EndsSequence(const SketchObject* button, const SketchObject* presentation) {
    int32_t n = 0;
    PtrListSize(presentation->parents, &n);
    return InSequence(presentation) && n > 0 && PtrListItem(presentation->parents, n - 1) == button;
}

ResultCode LinkToPage(SketchObject* button, const ActionButtonData* b, SketchObject* presentation) {
    if (presentation != nullptr && !EndsSequence(button, presentation)) return kAlertPageLinkNotLast;
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
    char* documentFolder = GetDocumentFolder(gEngine.frontDocument, true);
    char* programFolder = GetDocumentFolder(nullptr, true);
    const ResultCode rc = OpenDocumentLink(documentFolder, programFolder, b->linkTarget, gOpeningPresses);
    FreeMemory(documentFolder);
    FreeMemory(programFolder);
    return rc;
}

int32_t OwnedMotions(const SketchObject* button) {
    Sketch* sketch = CurrentSketch();
    int32_t n = 0;
    if (sketch != nullptr)
        for (Motion* m = sketch->motion.motionsHead; m; m = m->next)
            if (m->owner == button && !m->finished) ++n;
    return n;
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
    int32_t started = 0;
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
        const ResultCode code = StartMotion(m, button, &needed);
        if (code != kResultOK) rc = code;
        else ++started;
        if (needed) undoNeeded = true;
    }
    if (undoNeeded) {
        const UndoDescriptor name = { kUndoNameAnimate, kUndoNounWorkedOut, 0, nullptr };
        BuildMoveUndoRecord(&name, nullptr);
        rc = kResultOK;
    }
    // Points defined in terms of each other: a later motion took over an earlier one's.
    Sketch* sketch = CurrentSketch();
    if (started > OwnedMotions(button) && sketch != nullptr && sketch == gEngine.frontSketch) {
        const int32_t wasPaused = sketch->motion.paused;
        sketch->motion.paused = 1;
        ShowAlert(GroupText(kGroupAlerts, kAlertMotionCaptionItem), GroupText(kGroupAlerts, kAlertMovesTakenOverItem),
                  0, 0, 1, true);
        sketch->motion.paused = wasPaused;
    }
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

// ---- Scroll

// The window's top-left corner glides to the first target in eight frame steps.
ResultCode Scroll(SketchObject* button, const ActionButtonData* b) {
    Sketch* sketch = CurrentSketch();
    auto* point = static_cast<SketchObject*>(PtrListItem(button->parents, 0));
    if (sketch == nullptr || !Exists(point)) return kResultOK;
    constexpr double kLimit = 30000;
    const RealPoint at = PointPosition(point);
    auto limit = [&](double v) { return std::isfinite(v) ? std::clamp(std::round(v), -kLimit, kLimit) : 0.0; };
    int32_t goalX = static_cast<int32_t>(limit(at.x));
    int32_t goalY = static_cast<int32_t>(limit(at.y));
    const ScreenRect window = sketch->windowRect;
    if (b->buttonOptions != 0) {
        goalX -= (window.right - window.left) / 2;
        goalY -= (window.bottom - window.top) / 2;
    }
    const int32_t startX = window.left, startY = window.top;
    constexpr int32_t kSteps = 8;
    for (int32_t k = 1; k <= kSteps; ++k) {
        uint32_t deadline = 0;
        SetDeadline(&deadline, kFrameMs);
        const int32_t x = (k * goalX + (kSteps - k) * startX) / kSteps;
        const int32_t y = (k * goalY + (kSteps - k) * startY) / kSteps;
        ScrollSketchTo(ScreenPoint{ static_cast<int16_t>(x), static_cast<int16_t>(y) });
        if (k < kSteps) WaitForDeadline(deadline);
    }
    return kResultOK;
}

// ---- Presentations

int32_t MemberCount(const SketchObject* presentation) {
    int32_t n = 0;
    PtrListSize(presentation->parents, &n);
    return n;
}
SketchObject* Member(const SketchObject* presentation, int32_t i) {
    return static_cast<SketchObject*>(PtrListItem(presentation->parents, i));
}
int32_t StopRule(const ActionButtonData* p) { return (p->buttonOptions >> 4) & 3; }

void Redraw(SketchObject* button) { AddObjectToDirtyRect(button); }

void LeavePendingList(SketchObject* button) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr || b->pendingNext == kNotPending) return;
    if (Sketch* sketch = CurrentSketch()) {
        for (SketchObject** link = &sketch->pendingPresentationHead; *link;
             link = &ActionButtonOf(*link)->pendingNext) {
            if (*link != button) continue;
            *link = b->pendingNext;
            if (sketch->pendingPresentations > 0) --sketch->pendingPresentations;
            break;
        }
    }
    b->pendingNext = kNotPending;
    b->pendingDeadline = 0;
}

void MakePresentationPending(SketchObject* button, int32_t tenths) {
    Sketch* sketch = CurrentSketch();
    ActionButtonData* b = ActionButtonOf(button);
    if (sketch == nullptr || b == nullptr) return;
    LeavePendingList(button);
    SketchObject** link = &sketch->pendingPresentationHead;
    while (*link) link = &ActionButtonOf(*link)->pendingNext;
    *link = button;
    b->pendingNext = nullptr;
    SetDeadline(&b->pendingDeadline, static_cast<uint32_t>(std::max(tenths, 0)) * 100u);
    ++sketch->pendingPresentations;
    StartFrameTicks(sketch);
}

// The presentation's own count, when it is all that is left, goes; its owner is told.
void EndPresentationRun(SketchObject* button) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b->runningCount != 1) return;
    b->runningCount = 0;
    Redraw(button);
    SketchObject* owner = b->ownerPresentation;
    b->ownerPresentation = nullptr;
    if (owner != nullptr) ReleaseButtonRun(owner);
}

ResultCode RunSequence(SketchObject* button);

// Presses again each member this presentation started, which stops it.
void StopPresentation(SketchObject* button) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr || gPressDepth >= kMaxPresentationDepth) return;
    ++gPressDepth;
    const int16_t options = b->buttonOptions;
    const bool sequence = (options & 1) != 0;
    // Stopping the members must not stop the presentation again through its rule.
    if (!sequence && StopRule(b) == 1) b->buttonOptions = static_cast<int16_t>(options & ~0x30);
    const int32_t n = MemberCount(button);
    if (sequence) b->pageId = n + 1;
    for (int32_t i = 0; i < n; ++i) {
        SketchObject* m = Member(button, i);
        const ActionButtonData* mb = ActionButtonOf(m);
        if (mb != nullptr && mb->ownerPresentation == button && mb->runningCount > 0) RunActionButton(m, nullptr);
    }
    b->buttonOptions = options;
    EndPresentationRun(button);
    b->pageId = 0;
    LeavePendingList(button);
    --gPressDepth;
}

ResultCode RunSequence(SketchObject* button) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b->runningCount == 0) {
        b->runningCount = 1;
        Redraw(button);
    }
    ResultCode rc = kResultOK;
    const int32_t n = MemberCount(button);
    while (b->pageId >= 0 && b->pageId < n) {
        SketchObject* m = Member(button, b->pageId++);
        const ResultCode code = RunActionButton(m, button);
        if (code != kResultOK) rc = code;
        if (b->runningCount != 1) return rc;  // the member runs on; its end continues
        if (b->buttonParam > 0 && b->pageId < n) {
            MakePresentationPending(button, b->buttonParam);
            return rc;
        }
    }
    if (b->runningCount == 1) StopPresentation(button);
    return rc;
}

// A Move member at instant speed is driven to its end at once.
void FinishInstantMove(SketchObject* member) {
    const ActionButtonData* m = ActionButtonOf(member);
    if (m == nullptr || m->buttonType != kButtonMove || m->buttonOptions != 3) return;
    for (int32_t frame = 0; frame < 1000 && m->runningCount > 0; ++frame) AnimationStep();
}

ResultCode Present(SketchObject* button, ActionButtonData* b) {
    if (b->runningCount > 0) {
        StopPresentation(button);
        return kResultOK;
    }
    if (b->buttonOptions & 2) DeselectAll();
    if (b->buttonOptions & 4) StopMotions(0);
    Sketch* sketch = CurrentSketch();
    if ((b->buttonOptions & 8) && sketch != nullptr && !ScreenRectIsEmpty(sketch->tracedArea))
        ClearTracesAllViews(sketch->document);
    if (b->buttonOptions & 1) {
        b->pageId = 0;
        const ResultCode rc = RunSequence(button);
        return b->runningCount > 0 ? kResultOK : rc;
    }
    b->runningCount = 1;
    Redraw(button);
    ResultCode rc = kResultOK;
    const int32_t n = MemberCount(button);
    for (int32_t i = 0; i < n && b->runningCount > 0; ++i) {
        SketchObject* m = Member(button, i);
        if (IsButtonRunning(m)) RunActionButton(m, nullptr);
        const ResultCode code = RunActionButton(m, button);
        if (code != kResultOK) rc = code;
        if (IsButtonRunning(m)) FinishInstantMove(m);
    }
    if (b->runningCount == 1) {
        EndPresentationRun(button);
        LeavePendingList(button);
        return rc;
    }
    if (b->runningCount > 0 && StopRule(b) == 2) MakePresentationPending(button, b->buttonParam);
    return rc;
}

// ---- Captions

// The targets' noun: one target's noun (with its label when that was named above level
// 2), else the plural of their common kind.
void TargetsNoun(SketchObject* button, char* out, uint32_t size) {
    out[0] = 0;
    int32_t n = 0;
    PtrListSize(button->parents, &n);
    int32_t kind = 0;
    SketchObject* only = nullptr;
    for (int32_t i = 0; i < n; ++i) {
        auto* o = static_cast<SketchObject*>(PtrListItem(button->parents, i));
        if (o == nullptr) continue;
        only = only == nullptr ? o : only;
        kind = CommonKind(kind, o->objectKind);
    }
    if (n == 1 && only != nullptr && only->label.level > kLabelFromParents) {
        FormatNounAndLabel(only, kLabelNone, out, size, true);
        out[size - 1] = 0;
        return;
    }
    if (kind <= 0) kind = kKindObject;
    std::snprintf(out, size, "%s", KindNoun(kind, n == 1 ? kNounSingular : kNounPlural));
}

void Expand(int32_t item, const char* a, const char* b, char* text, uint32_t size) {
    const char* args[2] = { a, b };
    CaretArgs caret{ args, 2 };
    const char* templ = GroupText(kGroupButtonCaptions, item);
    const uint32_t n = ExpandCaretCodes(templ, static_cast<uint32_t>(std::strlen(templ)), 1, size - 1, text,
                                        CaretArgsProvider, &caret);
    text[std::min(n, size - 1)] = 0;
}

// Group 18 items.
constexpr int32_t kCaptionHide = 0, kCaptionShow = 1, kCaptionAnimate = 2, kCaptionAnimateNoun = 3,
                  kCaptionMove = 4, kCaptionMovePair = 5, kCaptionScroll = 6, kCaptionLink = 7,
                  kCaptionLinkToPage = 8, kCaptionAddress = 9, kCaptionPresent = 10, kCaptionPresentOne = 11,
                  kCaptionSequence = 12, kToggleWords = 13;

// The toggle word a typed caption begins with, by mode: its index in the pairs, or -1.
int32_t LeadingToggleWord(const char* text, bool show) {
    for (int32_t item = kToggleWords; ; item += 2) {
        const char* word = GroupText(kGroupButtonCaptions, item + (show ? 1 : 0));
        if (word == nullptr || word[0] == 0) return -1;
        if (std::strncmp(text, word, std::strlen(word)) == 0) return item;
    }
}

}  // namespace

void ActionButtonCaption(SketchObject* button, char* text, uint32_t size, int32_t* level) {
    if (size == 0) return;
    text[0] = 0;
    *level = kLabelSequence;
    const ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr) return;
    char a[kLabelBufferSize] = "";
    char second[kLabelBufferSize] = "";
    int32_t n = 0;
    PtrListSize(button->parents, &n);
    switch (b->buttonType) {
    case kButtonHide:
    case kButtonShow:
        TargetsNoun(button, a, sizeof a);
        Expand(b->buttonType == kButtonHide ? kCaptionHide : kCaptionShow, a, nullptr, text, size);
        break;
    case kButtonAnimate: Expand(kCaptionAnimate, nullptr, nullptr, text, size); break;
    case kButtonMove: {
        auto* p = static_cast<SketchObject*>(PtrListItem(button->parents, 0));
        auto* q = static_cast<SketchObject*>(PtrListItem(button->parents, 1));
        if (n == 2 && p && q && p->label.level >= kLabelAutomatic && q->label.level >= kLabelAutomatic) {
            GetObjectLabelText(p, a, sizeof a);
            GetObjectLabelText(q, second, sizeof second);
            Expand(kCaptionMovePair, a, second, text, size);
        } else {
            TargetsNoun(button, a, sizeof a);
            Expand(kCaptionMove, a, nullptr, text, size);
        }
        break;
    }
    case kButtonScroll: Expand(kCaptionScroll, nullptr, nullptr, text, size); break;
    case kButtonLinkToPage: {
        int32_t index = -1;
        // The pages of the button's own document.
        Sketch* here = CurrentSketch();
        EngineDocument* document = here && here->document ? here->document : gEngine.frontDocument;
        Sketch* page = document && button->givenIndex < 0
                           ? FindPageById(document, static_cast<uint16_t>(b->buttonOptions), &index)
                           : nullptr;
        if (page == nullptr) {
            Expand(kCaptionLink, nullptr, nullptr, text, size);
            break;
        }
        if (page->title && page->title[0]) std::snprintf(a, sizeof a, "%s", page->title);
        else std::snprintf(a, sizeof a, "%d", index + 1);
        Expand(kCaptionLinkToPage, a, nullptr, text, size);
        break;
    }
    case kButtonLinkToTarget:
        if (b->linkTarget != nullptr && b->linkTarget[0] != 0 && std::strlen(b->linkTarget) < size)
            Expand(kCaptionAddress, b->linkTarget, nullptr, text, size);
        else
            Expand(kCaptionLink, nullptr, nullptr, text, size);
        break;
    case kButtonPresentation:
        std::snprintf(a, sizeof a, "%d", n);
        if (b->buttonOptions & 1) Expand(kCaptionSequence, a, nullptr, text, size);
        else Expand(n == 1 ? kCaptionPresentOne : kCaptionPresent, a, nullptr, text, size);
        break;
    default: Expand(kCaptionLink, nullptr, nullptr, text, size); break;
    }
}

void ActionButtonSetShowMode(SketchObject* button, bool show) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr || (b->buttonType != kButtonHide && b->buttonType != kButtonShow)) return;
    if ((b->buttonType == kButtonShow) == show) return;
    b->buttonType = show ? kButtonShow : kButtonHide;
    char text[kLabelBufferSize] = "";
    if (button->label.level <= kLabelSequence) {
        int32_t level = kLabelSequence;
        ActionButtonCaption(button, text, sizeof text, &level);
        StoreLabelText(button, text, true);
        button->label.level = level;
    } else {
        GetObjectLabelText(button, text, sizeof text);
        const int32_t item = LeadingToggleWord(text, !show);
        if (item >= 0) {
            const char* from = GroupText(kGroupButtonCaptions, item + (show ? 0 : 1));
            const char* to = GroupText(kGroupButtonCaptions, item + (show ? 1 : 0));
            char changed[kLabelBufferSize] = "";
            std::snprintf(changed, sizeof changed, "%s%s", to, text + std::strlen(from));
            StoreLabelText(button, changed, true);
        }
    }
    ActionButtonFrameMetrics(button);
    Redraw(button);
}

void ActionButtonsOfObject(SketchObject* object) {
    if (object == nullptr) return;
    int32_t n = 0;
    PtrListSize(object->children, &n);
    for (int32_t i = 0; i < n; ++i) {
        auto* child = static_cast<SketchObject*>(PtrListItem(object->children, i));
        const ActionButtonData* b = ActionButtonOf(child);
        if (b == nullptr || (b->buttonType != kButtonHide && b->buttonType != kButtonShow) ||
            (b->buttonOptions & kButtonToggles) == 0)
            continue;
        int32_t targets = 0, visible = 0;
        PtrListSize(child->parents, &targets);
        for (int32_t t = 0; t < targets; ++t) {
            auto* o = static_cast<SketchObject*>(PtrListItem(child->parents, t));
            if (o != nullptr && o->hidden == kShown) ++visible;
        }
        if (b->buttonType == kButtonHide && visible == 0 && targets > 0) ActionButtonSetShowMode(child, true);
        else if (b->buttonType == kButtonShow && visible > 0) ActionButtonSetShowMode(child, false);
    }
}

// ---- Frames and hits

namespace {

void LayOutFrame(SketchObject* button) {
    ActionButtonData* b = ActionButtonOf(button);
    char text[kLabelBufferSize] = "";
    GetObjectLabelText(button, text, sizeof text);
    int16_t width = 0, height = 0;
    MeasureStyledText(text, static_cast<int32_t>(std::strlen(text)), 0, &button->textStyle, 0, &width, &height);
    const int32_t* m = DrawingMetrics.intMetricsB;
    b->captionWidth = width;
    b->captionHeight = height;
    // The tab and the gap before the caption, the caption, then the margin right of it
    // with the bevel; above and below, the bevel's widths.
    const int32_t frameWidth = m[kMetricButtonTab] + m[kMetricButtonCaptionGap] + 1 + width +
                               m[kMetricButtonCaptionGap] + m[kMetricButtonBevel];
    const int32_t frameHeight = height + m[kMetricButtonInsetY] + m[kMetricButtonBevel] + 2;
    b->frameWidth = static_cast<int16_t>(std::clamp(frameWidth, 0, 30000));
    b->frameHeight = static_cast<int16_t>(std::clamp(frameHeight, 0, 30000));
    ScreenRect& r = button->bounds;
    if (ScreenRectIsEmpty(r)) r = ScreenRect{ b->storedX, b->storedY, b->storedX, b->storedY };
    r.right = static_cast<int16_t>(std::clamp<int32_t>(r.left + b->frameWidth, INT16_MIN, INT16_MAX));
    r.bottom = static_cast<int16_t>(std::clamp<int32_t>(r.top + b->frameHeight, INT16_MIN, INT16_MAX));
}

}  // namespace

void ActionButtonFrameMetrics(SketchObject* button) {
    if (ActionButtonOf(button) == nullptr) return;
    AddObjectToDirtyRect(button);
    LayOutFrame(button);
    AddObjectToDirtyRect(button);
}

void PlaceNewActionButton(SketchObject* button) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr) return;
    AddObjectToDirtyRect(button);
    // Out of the way while the free place is looked for: not found lying on itself.
    button->bounds = kEmptyScreenRect;
    ScreenPoint at{};
    DefaultObjectPosition(&at, kClassActionButton);
    b->storedX = at.x;
    b->storedY = at.y;
    LayOutFrame(button);
    AddObjectToDirtyRect(button);
}

void DrawActionButtonScaled(GraphicsPort* port, SketchObject* button, const OutputScale* scale) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr || scale == nullptr) return;
    const ScreenRect saved = button->bounds;
    const ActionButtonData metrics = *b;
    button->bounds.left = RoundToScreen(saved.left * scale->factor + scale->offsetX);
    button->bounds.top = RoundToScreen(saved.top * scale->factor + scale->offsetY);
    LayOutFrame(button);
    if (DrawFn draw = ObjectClassTable[kClassActionButton].draw) draw(port, button);
    button->bounds = saved;
    b->captionWidth = metrics.captionWidth;
    b->captionHeight = metrics.captionHeight;
    b->frameWidth = metrics.frameWidth;
    b->frameHeight = metrics.frameHeight;
}

bool HitTestActionButton(ScreenPoint point, SketchObject* button) {
    if (!ScreenPointInRect(point, button->bounds)) return false;
    return point.x >= button->bounds.left + DrawingMetrics.intMetricsB[kMetricButtonTab] + 2;
}

bool IsButtonRunning(const SketchObject* button) {
    const ActionButtonData* b = ActionButtonOf(button);
    return b != nullptr && b->runningCount > 0;
}

int32_t ActionButtonType(const SketchObject* button) {
    const ActionButtonData* b = ActionButtonOf(button);
    return b != nullptr ? b->buttonType : -1;
}

// ---- Running counts

namespace {
SketchObject** gHeld = nullptr;
int32_t gHeldCount = 0;
int32_t gHeldRoom = 0;
int32_t gHoldDepth = 0;
int32_t gReleaseDepth = 0;

bool HoldRelease(SketchObject* button) {
    if (gHeldCount == gHeldRoom) {
        const int32_t room = gHeldRoom == 0 ? 16 : gHeldRoom * 2;
        if (!ReallocMemoryOf(&gHeld, sizeof(SketchObject*) * static_cast<size_t>(room), false)) return false;
        gHeldRoom = room;
    }
    gHeld[gHeldCount++] = button;
    return true;
}
}  // namespace

void CountButtonRun(SketchObject* button) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr) return;
    if (b->runningCount++ == 0) Redraw(button);
}

void ReleaseButtonRun(SketchObject* button) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr || b->runningCount <= 0) return;
    // A button's own count is always exact; what a presentation does about a member's
    // end (stopping the others, going on) waits for the end of a hold.
    if (b->buttonType == kButtonPresentation && gHoldDepth > 0 && HoldRelease(button)) return;
    if (gReleaseDepth >= kMaxPresentationDepth) {
        --b->runningCount;
        return;
    }
    ++gReleaseDepth;
    --b->runningCount;
    if (b->buttonType == kButtonPresentation) {
        if (b->buttonOptions & 1) {
            if (b->pageId >= 0 && b->pageId < MemberCount(button)) {
                MakePresentationPending(button, b->buttonParam);
            } else {
                LeavePendingList(button);
                EndPresentationRun(button);
            }
        } else {
            if (StopRule(b) == 1 && b->runningCount > 1) StopPresentation(button);
            if (b->runningCount == 1) {
                LeavePendingList(button);
                EndPresentationRun(button);
            }
        }
    } else if (b->runningCount == 0) {
        Redraw(button);
        SketchObject* owner = b->ownerPresentation;
        b->ownerPresentation = nullptr;
        if (owner != nullptr) ReleaseButtonRun(owner);
    }
    --gReleaseDepth;
}

void HoldButtonReleases() { ++gHoldDepth; }

void FlushButtonReleases() {
    if (gHoldDepth > 0 && --gHoldDepth > 0) return;
    // Oldest first. A release may stop motions under a hold of its own, which gathers
    // and carries out its releases in a list of its own: this one is taken away first.
    while (gHeldCount > 0) {
        SketchObject** held = gHeld;
        const int32_t n = gHeldCount;
        gHeld = nullptr;
        gHeldCount = 0;
        gHeldRoom = 0;
        for (int32_t i = 0; i < n; ++i) ReleaseButtonRun(held[i]);
        FreeMemory(held);
    }
}

// ---- Pressing

ResultCode RunActionButton(SketchObject* button, SketchObject* presentation) {
    ActionButtonData* b = ActionButtonOf(button);
    if (b == nullptr) return kResultOK;
    // Buttons read with parents of the wrong kinds are never run on them.
    {
        int32_t n = 0;
        void** parents = PtrListItems(button->parents, &n);
        if (!ButtonParentsFit(button, reinterpret_cast<SketchObject* const*>(parents), static_cast<uint32_t>(n)))
            return kResultOK;
    }
    if (gPressDepth >= kMaxPresentationDepth) return kResultOK;
    ++gPressDepth;
    ResultCode rc = kResultOK;
    switch (b->buttonType) {
    case kButtonHide:
    case kButtonShow:         rc = HideOrShow(button, b, presentation); break;
    case kButtonLinkToPage:   rc = LinkToPage(button, b, presentation); break;
    case kButtonLinkToTarget: rc = LinkToTarget(b, presentation); break;
    case kButtonScroll:       rc = Scroll(button, b); break;
    case kButtonPresentation: rc = Present(button, b); break;
    case kButtonAnimate:
    case kButtonMove:
        if (OwnsRunningMotion(button)) {
            FinishMotionsOfOwner(button);
            break;
        }
        rc = b->buttonType == kButtonAnimate ? Animate(button) : RunMoveButtonMotions(button, b);
        break;
    default: break;
    }
    --gPressDepth;
    // A member that runs on counts for the presentation that started it.
    b = ActionButtonOf(button);
    if (presentation != nullptr && b != nullptr && b->runningCount > 0 && b->ownerPresentation == nullptr &&
        ActionButtonOf(presentation) != nullptr) {
        b->ownerPresentation = presentation;
        CountButtonRun(presentation);
    }
    return rc;
}

ResultCode PressActionButton(SketchObject* button) { return RunActionButton(button, nullptr); }

bool PressSelectedButtons(ResultCode* failure) {
    if (failure) *failure = kResultOK;
    Sketch* sketch = CurrentSketch();
    if (sketch == nullptr || sketch->selectionHead == nullptr) return false;
    SketchObject* chain = nullptr;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        if (o->objectClass != kClassActionButton) return false;
        // The selection chain is newest first: prepending turns it round.
        o->tempLink = chain;
        chain = o;
    }
    bool any = false;
    gOpeningPresses = true;
    for (SketchObject* o = chain; o; o = o->tempLink) {
        const ResultCode rc = PressActionButton(o);
        any = true;
        if (rc != kResultOK) {
            if (failure) *failure = rc;
            break;
        }
    }
    gOpeningPresses = false;
    return any;
}

void ActionButtonStop(SketchObject* object) {
    ActionButtonData* b = ActionButtonOf(object);
    if (b == nullptr) return;
    LeavePendingList(object);
    if (b->buttonType == kButtonPresentation) {
        const int32_t n = MemberCount(object);
        for (int32_t i = 0; i < n; ++i)
            if (ActionButtonData* m = ActionButtonOf(Member(object, i)); m && m->ownerPresentation == object)
                m->ownerPresentation = nullptr;
    }
    // The presentation that counted this one goes on without it at its next frame.
    if (SketchObject* owner = b->ownerPresentation) {
        ActionButtonData* o = ActionButtonOf(owner);
        if (o != nullptr && o->runningCount > 1) {
            --o->runningCount;
            MakePresentationPending(owner, 0);
        }
    }
    b->ownerPresentation = nullptr;
    b->runningCount = 0;
}

void ResumePendingPresentations() {
    Sketch* sketch = CurrentSketch();
    if (sketch == nullptr) return;
    for (int32_t guard = 0; guard < 100000; ++guard) {
        SketchObject* due = nullptr;
        for (SketchObject* p = sketch->pendingPresentationHead; p; p = ActionButtonOf(p)->pendingNext) {
            if (DeadlinePassed(ActionButtonOf(p)->pendingDeadline)) {
                due = p;
                break;
            }
        }
        if (due == nullptr) return;
        LeavePendingList(due);
        ActionButtonData* b = ActionButtonOf(due);
        if (b->buttonOptions & 1) RunSequence(due);
        else StopPresentation(due);
    }
}

// ---- Making

SketchObject* MakeActionButton(int32_t type, SketchObject* targets, bool undo, ResultCode* result) {
    *result = kResultOK;
    ActionButtonInit init{ type, 0, 0, 0, 0, 0, nullptr };
    PtrList parents = 0;
    PtrList records = 0;
    SketchObject* last = nullptr;
    char noun[kLabelBufferSize] = "";
    if (type == kButtonAnimate && targets != nullptr) {
        // The caption names what was selected, before Animate's choice of targets.
        int32_t kind = 0, count = 0;
        SketchObject* only = targets;
        for (SketchObject* o = targets; o; o = o->tempLink, ++count) kind = CommonKind(kind, o->objectKind);
        if (count == 1 && only->label.level > kLabelFromParents) FormatNounAndLabel(only, kLabelNone, noun, sizeof noun, true);
        else std::snprintf(noun, sizeof noun, "%s", KindNoun(kind > 0 ? kind : kKindObject, count == 1 ? kNounSingular : kNounPlural));
        noun[sizeof noun - 1] = 0;
        *result = ButtonTargetsFromSelection(targets, &parents, &records);
        if (*result != kResultOK) return nullptr;
    } else {
        for (SketchObject* o = targets; o; o = o->tempLink) {
            if (!PtrListAppend(&parents, o)) {
                FreePtrList(&parents);
                *result = kResultOutOfMemory;
                return nullptr;
            }
            last = o;
        }
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
    SketchObject* button = ConstructObject(kTypeActionButton, &init, parents, records, true, undo, nullptr);
    if (button == nullptr) {
        *result = kResultOutOfMemory;
        return nullptr;
    }
    if (type == kButtonAnimate && noun[0] != 0) {
        char caption[kLabelBufferSize] = "";
        Expand(kCaptionAnimateNoun, noun, nullptr, caption, sizeof caption);
        StoreLabelText(button, caption, false);
        button->label.level = kLabelSequence;
    } else {
        GenerateObjectLabel(button, kLabelSequence, nullptr, false, false);
    }
    ActionButtonFrameMetrics(button);
    return button;
}

int32_t ActionButtonCreate(int32_t type, SketchObject* targets, bool interactive) {
    ResultCode rc = kResultOK;
    SketchObject* button = MakeActionButton(type, targets, !interactive, &rc);
    if (button == nullptr) return rc;
    if (interactive) {
        // The sheet selects the button alone while it runs; the user's selection comes
        // back afterwards, oldest first as it was made.
        std::vector<SketchObject*> selection;
        Sketch* sketch = CurrentSketch();
        for (SketchObject* o = sketch ? sketch->selectionHead : nullptr; o; o = o->nextSelected)
            selection.insert(selection.begin(), o);
        bool cancelled = true;
        PropertiesOpenForObject(button, PropertyPageForButton(button), &cancelled);
        DeselectAll();
        for (SketchObject* o : selection)
            if (o->exists && o->hidden == kShown) SelectSketchObject(o);
        if (cancelled) {
            AddObjectToDirtyRect(button);
            DestroyObject(button, true, true);
            FlushPendingRedraw(1);
            return kResultOK;
        }
        RecordNewObjectUndo(button, true, 0);
    }
    DeselectAll();
    SelectSketchObject(button);
    return rc;
}
