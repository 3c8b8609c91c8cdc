// A sketch: one page of a document or the body of a custom tool. It owns its objects,
// its pointer-list arena, its selection and the orders in which it holds its objects.
// The engine acts on one current sketch at a time (EngineGlobals).
#pragma once
#include <cstdint>

#include "engine/core/idle_tasks.h"
#include "engine/core/marks.h"
#include "engine/core/print_state.h"
#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"
#include "engine/core/sketch_object.h"
#include "engine/core/transform_settings.h"

struct EngineDocument;
struct LayoutEditSession;
struct Motion;
struct ObjectFlagsEntry;
struct PtrListArena;
struct UndoRecord;

constexpr int32_t kColorSlotCount = 12;
// Slots of the palette that are not object colours.
constexpr int32_t kColorSlotPlots      = 4;  // function plots (other loci take their class slot 5)
constexpr int32_t kColorSlotHighlight  = 6;  // selected objects' highlight
constexpr int32_t kColorSlotBackground = 7;

// Dirty rectangle meaning "everything", set on a new sketch.
constexpr ScreenRect kEverythingDirty = { -32640, -32640, 32639, 32639 };
// What UnionDirtyRect(null) stores.
constexpr ScreenRect kAllDirty = { -20000, -20000, 20000, 20000 };

// A sketch's own settings: every new sketch starts with a copy of the block at the head
// of the preferences, and a page stores its copy in its document.
struct SketchSettings {
    int32_t  labelMeasuredObjects;      // label objects automatically as they are measured
    int32_t  labelNewPoints;            // label every new point automatically
    int32_t  captionTextPalette;        // show the text palette while editing captions
    uint32_t palette[kColorSlotCount];  // default colours (COLORREF), indexed by a class's colorSlot
    // 1..16, higher fades faster; 0 or below: traces do not fade (a negative value keeps
    // the last speed, negated).
    int32_t  traceFade;
    int32_t  autoUpdateColors;          // new colours apply to the objects at once
    int32_t  precision[3];              // decimals 0..5 of distances, angles, other values
    int32_t  distanceUnit;              // 0 pixels, 1 cm, 2 inches
    int32_t  angleUnit;                 // 0 radians, 1 degrees, 2 directed degrees
};

// An entry of the given-kind table of a custom tool's sketch.
struct GivenKindEntry {
    SketchObject* object;
    int32_t       kind;
};

// Activity bits of a sketch's activity word.
constexpr uint32_t kActivityTool           = 1;
constexpr uint32_t kActivityAnimating      = 2;
constexpr uint32_t kActivityPaused         = 4;
constexpr uint32_t kActivityCaptionEditing = 8;

// The animation state of a sketch. The motion engine (engine/interact) keeps it; the
// sketch only holds it so that it lives and dies with the sketch.
struct MotionState {
    // 1: the moving set must be rebuilt before the next frame. The set is also rebuilt
    // when the sketch's structure counter moved away from movingSetStamp.
    int32_t       movingSetInvalid;
    uint32_t      movingSetStamp;
    ScreenRect    frameDirty;   // what the moving set covered this frame
    SketchObject* movedHead;    // the moving set, chained through nextMoved in sketch order
    // The same set as a contiguous array {object, move state} that the frames walk, so
    // that a frame streams through the objects without chasing links; null-object ended.
    // Null when it could not be had: the frames then walk the chain.
    ObjectFlagsEntry* movedList;
    int32_t       movedListCapacity;
    Motion*       motionsHead;  // newest first
    uint32_t      frameCount;
    int32_t       paused;
    int32_t       nesting;        // depth of walks over the motion list
    int32_t       finishPending;  // a motion was only marked finished during a walk
    int32_t       snapDraggedPoints;  // the drag of this sketch snaps points to the grid
    // The program's chain of sketches that hold motions.
    struct Sketch* nextAnimating;
    int32_t       animatingListed;
};

// State of one automatic label sequence of a sketch.
struct LabelSequence {
    int32_t position;  // next character of the sequence text
    int32_t round;     // 0 plain letters; n >= 1 letters with subscript n
    int32_t number;    // counter of numbered labels ("#1", "#2", ...)
};
constexpr int32_t kLabelSequenceCount = 19;

struct Sketch {
    ScreenRect     windowRect;
    SketchSettings settings;

    SketchObject*  firstObject;  // sketch order list = dependency order
    SketchObject*  lastObject;
    SketchObject*  selectionHead;  // most recently selected first
    SketchObject*  layerHeads[11];  // draw-layer rings; the head is drawn first
    // The first group-B object (dependent-on-value points, segments) of each ring in
    // drawing order, or null: where the free points and rays are inserted, found without
    // walking the ring.
    SketchObject*  layerGroupB[11];
    SketchObject*  lastSelected[11];

    ScreenRect     dirtyRect;
    ScreenRect     extent;

    PtrListArena*  arena;  // valid here only while the sketch is not current

    MarkSlot       marks[kMarkEntryCount];  // slots 0..20, then the categories
    TransformSettings transformSettings;    // the Transform dialogs' last values

    uint32_t       selectionChangeCount;
    uint32_t       structureChangeCount;  // every change of parents, links or order
    uint32_t       traversalGeneration;

    int32_t        hiddenCount;  // objects hidden with state 1
    void*          viewOwner;    // the user-interface document showing it; null for tools
    ScreenRect     tracedArea;

    // Frame ticker: the task is queued while the sketch ticks; owner points back here.
    struct {
        IdleTask task;
        Sketch*  owner;
    } ticker;
    uint32_t       frameDeadline;
    uint32_t       watchdogDeadline;
    uint32_t       frameCounter;
    int32_t        fadeCountdown;
    int32_t        fadeStepsLeft;  // fading steps until the traces are gone

    int32_t        pendingPresentations;       // how many wait in the chain below
    SketchObject*  pendingPresentationHead;    // through ActionButtonData::pendingNext
    EngineDocument* document;
    char*          title;  // heap text or null: a page's name, a custom tool's name
    char*          toolText;  // heap text or null: what a custom tool stores beside its name
    LayoutEditSession* editSession;  // the caption being edited in place, or null

    // Given tables of a custom tool's sketch.
    PtrList        givenList;
    GivenKindEntry* givenKinds;
    int32_t        givenKindCount;
    // What copies cloned into this sketch carry over (CloneMode); 0 is the same as 7.
    int32_t        cloneMode;
    // Where the next paste lands: the counter steps away from 0 with each paste (below 0
    // in the page copied from: the copies keep their place), and the window position
    // key seen at the last copy or paste (another key starts again from 0).
    int32_t        pasteCounter;
    int32_t        pasteWindowKey;

    uint16_t       pageId;  // bit 15 set; unique within the page's document
    uint16_t       pageFlags;  // bit 0: snap points to the grid; other bits kept as read
    int16_t        redrawLevel;  // a positive level spaces out the views' repainting in frame ticks

    // The undo history: the newest record in effect, the oldest undone one, and the
    // undo position at the last save. The document counts as modified while the saved
    // position differs from the undo position.
    UndoRecord*    undoPosition;
    UndoRecord*    redoPosition;
    UndoRecord*    savedPosition;

    MotionState    motion;

    // Stored with pages only (not with tool bodies or clipboard copies).
    LabelSequence  labelSequences[kLabelSequenceCount];

    PrintSettings  printSettings;
    ScreenRect     printExtent;  // what a print covers (the print layout works it out)
};

struct EngineGlobals {
    Sketch*         currentSketch;
    EngineDocument* currentDocument;
    int32_t         currentIsFront;
    Sketch*         frontSketch;
    EngineDocument* frontDocument;
    // The current sketch's arena as of the switch; it may move while the sketch is
    // current, so CurrentPtrListArena() is the one to use.
    PtrListArena*   currentArena;
};

extern EngineGlobals gEngine;

inline Sketch* CurrentSketch() { return gEngine.currentSketch; }
// The current sketch's clone mode (copy_map.h), 0 without a current sketch.
inline int32_t CurrentCloneMode() { return gEngine.currentSketch ? gEngine.currentSketch->cloneMode : 0; }

Sketch*    CreateSketch(uint32_t arenaCapacityWords, EngineDocument* document);
void       FreeSketch(Sketch* sketch);
ResultCode SetSketchTitle(Sketch* sketch, const char* text);
void       SetCurrentSketch(Sketch* sketch, Sketch** previous);
void       MakeCurrentSketchFront();

// Makes a sketch current for a scope; the one current before comes back at its end.
struct CurrentSketchScope {
    Sketch* previous = nullptr;
    explicit CurrentSketchScope(Sketch* sketch) { SetCurrentSketch(sketch, &previous); }
    ~CurrentSketchScope() { SetCurrentSketch(previous, nullptr); }
    CurrentSketchScope(const CurrentSketchScope&) = delete;
    CurrentSketchScope& operator=(const CurrentSketchScope&) = delete;
};

// after: kNotLinked appends at the end, null inserts at the front.
void LinkObjectIntoSketch(SketchObject* object, SketchObject* after);
void UnlinkObjectFromSketch(SketchObject* object);
void LinkObjectIntoLayer(SketchObject* object);
void UnlinkObjectFromLayer(SketchObject* object);
void RelinkObjectInLayer(SketchObject* object);

void SelectSketchObject(SketchObject* object);
void DeselectSketchObject(SketchObject* object);
void DeselectAll();
inline bool IsSelected(const SketchObject* object) { return object->nextSelected != kNotLinked; }
inline bool IsLinkedIntoSketch(const SketchObject* object) { return object->nextInSketch != kNotLinked; }

// A new list of the selected objects, oldest selection first, with room for `spare` more.
bool CollectSelection(int32_t* count, PtrList* list, int32_t spare);
// The same for a tempLink chain; the list is in reverse chain order.
bool CollectTempList(SketchObject* first, int32_t* count, PtrList* list, int32_t spare);
SketchObject* LinkSelection();
SketchObject* LinkPtrListItems(PtrList list);

int32_t EffectiveKind(const SketchObject* object);

// The rectangle of the object's shown label, when it has a measured one.
bool              ObjectLabelRect(const SketchObject* object, ScreenRect* rect);
void              AddObjectToDirtyRect(SketchObject* object);
const ScreenRect* UnionDirtyRect(const ScreenRect* rect);

// Stamps every object with its position in the sketch order.
void NumberSketchObjects();
// After the object's parents changed: moves the object (when checkItself asks) and its
// children, and theirs in turn, behind their parents in the sketch order; everything
// else keeps its relative order. `numbered`: the stamps already hold the positions. They
// hold the new positions afterwards.
void RestoreDependencyOrder(SketchObject* object, bool checkItself, bool numbered);
