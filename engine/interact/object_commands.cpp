// The commands that act on the selected objects: hide, show, delete, trace, labels,
// line and text style, selection, action buttons, animation and speeds, the bars,
// Quit and the Escape key.
#include "engine/interact/object_commands.h"

#include "engine/core/alerts.h"
#include "engine/core/engine_startup.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/bars.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/command_state.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/edit_commands.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/motion.h"
#include "engine/interact/mouse.h"
#include "engine/interact/object_drag.h"
#include "engine/interact/selection_census.h"
#include "engine/interact/undo.h"

namespace {

constexpr int32_t kAlertPageLinkNotLast = 148;
constexpr int32_t kTextStyleHelpTopic = 28;
constexpr int32_t kAlertUrlLinkInPresentation = 149;
// The Link item passes its row number.
constexpr int32_t kLinkRow = 52;
constexpr uint32_t kMotionControllerRow = 91;
constexpr uint16_t kUndoNameAnimate = 20;

constexpr double kFaster = 1.2599210498949;  // the cube root of 2
constexpr double kSlower = 0.7937005259841;

void MarkModified() {
    if (Sketch* sketch = CurrentSketch(); sketch && sketch->document)
        SetDocumentModified(sketch->document, true);
}

// The selection chained through tempLink, oldest first.
SketchObject* SelectionOldestFirst() {
    SketchObject* first = nullptr;
    for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) {
        o->tempLink = first;
        first = o;
    }
    return first;
}

bool ShownAndExisting(const SketchObject* o) { return o->exists == 1 && o->hidden == kShown; }

void SelectIfAllowed(SketchObject* o) {
    if (ShownAndExisting(o) && ObjectClassTable[o->objectClass].drawSelected) SelectSketchObject(o);
}

// Puts the objects of a deletion chain back, parents before their dependants, and
// selects again those stamped as selected.
void PutBack(SketchObject* head, uint32_t stamp) {
    SketchObject* reversed = nullptr;
    while (head) {
        SketchObject* next = head->tempLink;
        head->tempLink = reversed;
        reversed = head;
        head = next;
    }
    for (SketchObject* o = reversed; o;) {
        SketchObject* next = o->tempLink;
        UndoRestoreObject(o);
        RecomputeAndRedrawObject(o);
        o = next;
    }
    for (SketchObject* o = CurrentSketch()->firstObject; o; o = o->nextInSketch) {
        if (o->traversalStamp == stamp) SelectSketchObject(o);
    }
}

}  // namespace

ResultCode DeleteSelectionWithDependents() {
    Sketch* sketch = CurrentSketch();
    if (!sketch || !sketch->selectionHead) return kResultOK;
    if (ToolPlaybackStepping()) {
        if (!AskQuestion(GroupText(kGroupAlerts, 124), GroupText(kGroupAlerts, 125),
                         kQuestionYesNo, 0, 1))
            return kResultOK;
        ToolPlaybackFinish();
    }
    TakeSelectionCensus();
    int32_t kind = 0, count = 0;
    GetSelectionCensusSummary(&kind, &count, nullptr);
    const int16_t noun = static_cast<int16_t>(kind > 0 ? 3 * kind - 3 + (count > 1 ? 1 : 0) : kUndoNounNone);
    // The selected objects carry a fresh stamp, so that they can be selected again
    // should the record not be made.
    const uint32_t stamp = ++sketch->traversalGeneration;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) o->traversalStamp = stamp;
    SketchObject* head = nullptr;
    SketchObject* tail = nullptr;
    // Each object leaves the sketch as it is collected, so the selection is walked
    // from its head until it is empty.
    while (SketchObject* o = sketch->selectionHead) {
        if (IsLinkedIntoSketch(o)) CollectDeletionSet(o, &head, &tail);
        else DeselectSketchObject(o);
    }
    if (tail) tail->tempLink = nullptr;
    int32_t listed = 0;
    for (SketchObject* o = head; o; o = o->tempLink) ++listed;
    ResultCode result = kResultOK;
    if (listed > 0) {
        const UndoDescriptor descriptor = { kUndoNameDelete, noun, 0, nullptr };
        uint8_t* cursor = nullptr;
        UndoRecord* record = UndoRecordCreate(&descriptor, 1, UndoObjectListBytes(listed), &cursor);
        if (record) {
            UndoPutObjectList(&cursor, listed, head, kUndoEntryDeleted);
            result = UndoRecordCommit(record, false);
        } else {
            PutBack(head, stamp);
            result = kResultOutOfMemory;
        }
    }
    FlushPendingRedraw(1);
    return result;
}

ResultCode DeleteCommand(int32_t) {
    EndActivitiesExcept(kActivityAnimating | kActivityPaused | kActivityCaptionEditing);
    if (IsCaptionEditing()) {
        DeleteEditorSelection();
        return kResultOK;
    }
    return DeleteSelectionWithDependents();
}

ResultCode HideObjectsCommand(int32_t) {
    SketchObject* first = SelectionOldestFirst();
    if (!first) return kResultOK;
    DeselectAll();
    FlashObjects(first, kFlashDisappear, RunningMotionCount() > 0);
    const UndoDescriptor descriptor = { kUndoNameHide, kUndoNounWorkedOut, 0, nullptr };
    // The record's own replay hides them.
    return UndoRecordObjectList(&descriptor, first, true);
}

ResultCode ShowAllHiddenCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    SketchObject* first = nullptr;
    SketchObject* last = nullptr;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (o->hidden != kHiddenByUser) continue;
        o->tempLink = nullptr;
        if (last) last->tempLink = o;
        else first = o;
        last = o;
    }
    if (!first) return kResultOK;
    DeselectAll();
    for (SketchObject* o = first; o; o = o->tempLink) ChangeObjectHidden(o, kShown, false);
    FlashObjects(first, kFlashAppear, RunningMotionCount() > 0);
    for (SketchObject* o = first; o; o = o->tempLink) SelectIfAllowed(o);
    const UndoDescriptor descriptor = { kUndoNameShow, kUndoNounWorkedOut, 0, nullptr };
    const ResultCode result = UndoRecordObjectList(&descriptor, first, false);
    if (result != kResultOK) {
        // Without its record the change could not be taken back: it is not made.
        DeselectAll();
        for (SketchObject* o = first; o; o = o->tempLink) ChangeObjectHidden(o, kHiddenByUser, false);
    }
    return result;
}

ResultCode TraceCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    TakeSelectionCensus();
    const int32_t traced = CensusCondition(kFlagAllTraced) ? 0 : 1;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        if (!ObjectClassTable[o->objectClass].traceable || o->traced == traced) continue;
        o->traced = traced;
        if (traced) AddObjectToDirtyRect(o);
    }
    MarkModified();
    CmdStateInvalidate(kCommandGroupSelection);
    return kResultOK;
}

ResultCode ShowLabelsCommand(int32_t argument) {
    for (SketchObject* o = SelectionOldestFirst(); o; o = o->tempLink) {
        ObjectPredicateFn follows = ObjectClassTable[o->objectClass].labelFollowsGeometry;
        if (follows && follows(o)) SetLabelShown(o, argument != 0, nullptr, true);
    }
    CmdStateInvalidate(kCommandGroupSelection);
    CmdStateInvalidate(kCommandGroupTextEditing);
    return kResultOK;
}

ResultCode LineStyleCommand(int32_t argument) {
    const int32_t style = argument & 0x7f;
    for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) {
        if (!ObjectClassTable[o->objectClass].hasLineStyle || o->lineStyle == style) continue;
        o->lineStyle = style;
        AddObjectToDirtyRect(o);
    }
    MarkModified();
    // With Shift the default for new objects stays.
    if (!(argument & 0x80)) ThePreferences().newLineStyle = style;
    CmdStateInvalidate(kCommandGroupSelectionMotion);
    return kResultOK;
}

ResultCode TextStyleCommand(int32_t argument) {
    TextStyle style{};
    GetCurrentTextStyle(&style);
    if (RunCommandDialog(kDialogTextStyle, &style, nullptr, kTextStyleHelpTopic, 0))
        ApplyTextStyle(style, 0, argument != 0);
    return kResultOK;
}

ResultCode SelectAllCommand(int32_t argument) {
    if (IsCaptionEditing()) {
        SelectAllEditorText();
        return kResultOK;
    }
    for (SketchObject* o = CurrentSketch()->firstObject; o; o = o->nextInSketch) {
        if (IsSelected(o) || !ShownAndExisting(o) || !ObjectClassTable[o->objectClass].drawSelected)
            continue;
        const int32_t kind = EffectiveKind(o);
        if (!KindIsA(kind, argument)) continue;
        if (argument == kKindLine && kind == kKindAxis) continue;
        SelectSketchObject(o);
    }
    return kResultOK;
}

ResultCode SelectRelativesCommand(int32_t argument) {
    SketchObject* first = SelectionOldestFirst();
    DeselectAll();
    for (SketchObject* o = first; o; o = o->tempLink) {
        int32_t count = 0;
        void** relatives = PtrListItems(argument ? o->children : o->parents, &count);
        bool any = false;
        for (int32_t i = 0; i < count; ++i) {
            SketchObject* r = static_cast<SketchObject*>(relatives[i]);
            if (!ShownAndExisting(r) || !IsLinkedIntoSketch(r)) continue;
            SelectSketchObject(r);
            any = true;
        }
        if (!any) SelectSketchObject(o);
    }
    return kResultOK;
}

ResultCode ActionButtonCommand(int32_t argument) {
    const int32_t type = argument == kLinkRow ? kButtonLinkToPage : argument;
    Sketch* sketch = CurrentSketch();
    if (type == kButtonPresentation) {
        for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
            if (o->objectClass != kClassActionButton) continue;
            const int32_t buttonType = ActionButtonType(o);
            if (buttonType == kButtonLinkToTarget) {
                ShowAlertByCode(kAlertUrlLinkInPresentation, 1);
                return kResultOK;
            }
            if (buttonType == kButtonLinkToPage && o != sketch->selectionHead) {
                ShowAlertByCode(kAlertPageLinkNotLast, 1);
                break;
            }
        }
    }
    SketchObject* targets = nullptr;
    if (type != kButtonLinkToPage) {
        // Most recently selected last.
        targets = SelectionOldestFirst();
        if (!targets && type == kButtonAnimate) return kResultOK;
    }
    // Hide/show buttons are made at once; the others open their Properties page first.
    const bool interactive = (type >= kButtonAnimate && type <= kButtonLinkToPage) ||
                             type == kButtonPresentation;
    const ResultCode result = ActionButtonCreate(type, targets, interactive);
    if (result != kResultOK) ShowAlertByCode(result, 1);
    return kResultOK;
}

ResultCode AnimateCommand(int32_t) {
    SketchObject* linked = LinkSelection();
    Motion* motions = CreateMotionsForSelection(linked);
    int32_t undoNeeded = 0;
    for (Motion* m = motions; m;) {
        Motion* next = m->listLink;
        bool needed = false;
        // A motion that cannot start is passed over silently.
        if (StartMotion(m, nullptr, &needed) == kResultOK && needed) undoNeeded = 1;
        m = next;
    }
    if (undoNeeded) {
        const UndoDescriptor name = { kUndoNameAnimate, kUndoNounWorkedOut, 0, nullptr };
        BuildMoveUndoRecord(&name, LinkSelection());
    }
    uint32_t slot = 0;
    if (motions && !MotionControllerShown() && CmdStateFindItem(kMotionControllerRow, &slot))
        ShowMotionControllerCommand(1);
    return kResultOK;
}

ResultCode ChangeSpeedCommand(int32_t argument) {
    ChangeMotionSpeeds((argument & 2) ? kFaster : kSlower, (argument & 1) != 0, true);
    CmdStateInvalidate(kCommandGroupMotion);
    return kResultOK;
}

ResultCode ShowToolboxCommand(int32_t argument) {
    SetToolboxHidden(argument == 0);
    CmdStateInvalidate(kCommandGroupToolbox);
    return kResultOK;
}

ResultCode ShowTextPaletteCommand(int32_t argument) {
    CmdStateInvalidate(kCommandGroupTextPalette);
    ShowTextPalette(argument != 0);
    return kResultOK;
}

ResultCode QuitCommand(int32_t) {
    if (ToolPlaybackPlaying()) StopToolPlayback();
    RequestAppQuit(1, 1);
    return kResultOK;
}

void EscapeCommand() {
    if (IsCaptionEditing()) {
        EndCaptionEditing();
        return;
    }
    const int32_t state = GetMouseState();
    if (state != kMouseIdle && state != kMouseToolTracking) return;
    if (ChooseCurrentTool()) return;
    Sketch* front = gEngine.frontSketch;
    if (!front) return;
    Sketch* previous = nullptr;
    SetCurrentSketch(front, &previous);
    if (front->selectionHead) {
        DeselectAll();
    } else if (ActivityWord() & kActivityAnimating) {
        StopMotions(1);
    } else {
        RebuildSketchViews(0);
    }
    SetCurrentSketch(previous, nullptr);
}
