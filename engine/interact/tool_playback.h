// The engine side of the script view: which custom tool it shows and for which document,
// its rows and highlights, the match of the front sketch's selection against the tool's
// givens, and playing the tool into the front sketch one step at a time or all at once.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct EngineDocument;
struct Sketch;
struct SketchObject;

enum PlaybackMode : int32_t {
    kPlaybackInUse    = 0,  // the tool is used with the mouse
    kPlaybackStepping = 1,
    kPlaybackMatching = 2,  // resting: the selection is matched against the givens
};

// Row highlights.
constexpr int32_t kRowPlain   = 0;
constexpr int32_t kRowCurrent = 1;
constexpr int32_t kRowDone    = 2;

// Separator kinds of DescribeToolScriptRow.
constexpr int32_t kSeparatorBetweenGroups = 1;
constexpr int32_t kSeparatorBeforeSteps   = 2;

// Shows a tool (null empties the view) with its owner document (null for a tool of the
// tool folder). Showing another tool stops stepping.
void    ShowToolInScriptView(Sketch* tool, EngineDocument* owner);
// The tool shown and its owner (owner may be null).
Sketch* GetPlaybackTool(EngineDocument** owner);
int32_t PlaybackMode();
// Givens matched by the selection (-1: the selection does not fit), or in use the given
// to be clicked next.
int32_t PlaybackMatchIndex();
int32_t ToolScriptRowCount();
int32_t ToolScriptHeaderRows();

// Matches the front sketch's selection against the givens (resting mode only).
void    RefreshGivenMatch();
// From a run of the tool with the mouse: -1 back to resting, else the given to click next.
void    ChooseGivenRow(Sketch* tool, int32_t index, bool mayConstruct);

// What the view shows under the rows: whether a step may be applied, and the status line
// ("" while the apply buttons are shown).
void    ToolPlaybackState(bool* nextPossible, char* text, uint32_t size);

// The apply buttons: one step, or every step that is left.
void    ApplyNextToolStep(bool all);
// The end of stepping: optionally hides the copies of hidden intermediate steps (one
// undoable "Hide") and selects the results.
void    ToolPlaybackFinish(bool hide, bool select);
// The step that is to be applied next (an index into the tool's objects), 0 when not stepping.
int32_t NextToolStep();

// The pointer is over a row of the script view (0: over none). The shared form shows
// nothing for it; the later release highlights the object a step made. True when an
// object is highlighted.
bool    HoverToolScriptRow(int32_t row);
// While stepping: the index among the tool's objects of the step on a row, -1 for a row
// that is no step (or when not stepping).
int32_t ToolStepIndexOfRow(int32_t row);
// While stepping: the object made for the tool's object `index` in the sketch that takes
// the steps (null when none is made yet), and that sketch.
SketchObject* SteppedObject(int32_t index, Sketch** target);

// Before Delete while stepping: asks, and finishes stepping on yes. False cancels.
bool    ConfirmDeleteWhileStepping();

// The owner document is marked modified; a tool of the tool folder warns once instead.
void    MarkToolModified();

// Moves a given one place toward another (dragging its row); answers the new row count.
void    MoveGivenToward(SketchObject* given, SketchObject* other, int32_t* rowCount);
// The row of a given or step of the shown tool, 0 for none.
int32_t RowOfObject(const SketchObject* object);

// The contents of a row (1-based): the layout-template item of group 13 (0 for a step,
// whose text is its description), the given's index (-1 for none), the separator kind
// (0 for none), the object (null for headings and separators) and its highlight.
struct ToolScriptRow {
    int32_t       templateItem;
    int32_t       givenIndex;
    int32_t       separator;
    SketchObject* object;
    int32_t       highlight;
};
bool    DescribeToolScriptRow(int32_t row, ToolScriptRow* out);
// The row's text as a layout (the caller frees it with FreeLayoutNode); null for a
// separator or without memory. Givens and steps are each numbered from 1.
struct LayoutNode;
LayoutNode* ToolScriptRowLayout(int32_t row);

// A given's assumed flag changed: the givens are sorted again and the rows follow.
void    GivenPropertiesChanged(SketchObject* given, bool modified);
// What the context menu of a row's object offers.
struct ToolStepOffers {
    bool color;
    bool lineWidth;
    bool tracing;
    bool properties;
};
ToolStepOffers ToolStepKind(const SketchObject* object);
// Ends a tool in use and opens the Properties of an object of the shown tool.
void    ToolStepProperties(SketchObject* object);

// Whether the row is a given's; a given may be dragged when there are several and the
// tool is not in use.
SketchObject* ToolScriptRowIsGiven(int32_t row, bool* draggable);

// Row heights as the view measures them: the ascent and descent of a row's text, or
// false for a row without text.
using RowMetricsFn = bool (*)(int32_t row, int32_t* ascent, int32_t* descent, void* user);
// The row reached by scrolling `pixels` from a row, down (positive) or up; each row
// counts at least `minimum` for its ascent and its descent, a row without text 4 pixels.
int32_t RowAtScrollOffset(int32_t fromRow, int32_t pixels, int32_t minimum, RowMetricsFn metrics, void* user);
// The widest row, measured once per shown tool (width of a row through `measure`).
using RowWidthFn = int32_t (*)(int32_t row, void* user);
int32_t WidestToolRow(RowWidthFn measure, void* user);
