// What the command table, the census and the command-state registry need of the
// sketch engine, the text subsystem, the calculations and the shell.
//
// Stand-in: none of these subsystems has landed yet. Every declaration below names
// the operation or record the other subsystem will provide, with the least of it
// that the command state reads; the definitions live in engine/interact/standin/.
// When the real code lands, this header is replaced by includes of its headers and
// the standin folder is deleted.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/core/result_codes.h"

// ---- Sketch records -------------------------------------------------------------

// Stand-in: TextStyle belongs to the text subsystem (eleven 16-bit fields, 0 = inherit).
struct TextStyle {
    uint16_t fields[11];
};

// Stand-in: RealPoint belongs to the sketch engine's geometry.
struct RealPoint {
    double x;
    double y;
};

// Stand-in: the sketch engine's SketchObject, reduced to the header fields and class
// data that the census, the predicates and the intersection count read.
struct SketchObject {
    int32_t constructionType;
    int32_t traced;
    int32_t hidden;
    int32_t objectClass;
    int32_t lineStyle;
    int32_t objectKind;
    uint32_t color;
    int32_t labelShown;
    TextStyle textStyle;
    SketchObject* nextSelected;   // selection chain, most recent first
    int32_t selected;
    int32_t parentCount;
    int32_t childCount;
    int32_t exists;
    int32_t motionRole;           // the motion mark: 2 or more while moving
    // Class data read here.
    double value;                 // measurements: the stored value
    int32_t hasValue;
    int32_t calcForm;             // calculations: 4 = a calculation (free ones are parameters)
    RealPoint p1, p2;             // points: p1; straight objects: the defining points
    int32_t straightKind;         // 0 segment, 1 ray, 2 line
    RealPoint center;             // circles and arcs
    double radius;
    double startAngle, sweep;     // arcs (radians, counter-clockwise sweep)
    int32_t arcIsFlat;            // an arc whose three points are in a line
    int32_t gridForm;             // coordinate systems: 0 polar, 1 square, 2 rectangular
    int32_t visible;              // coordinate systems
    SketchObject* ownerSystem;    // the coordinate system an axis or unit point belongs to
    int32_t singleMapPointImage;  // iterated images
    int32_t tableRows;            // tables
};

// Stand-in: the sketch engine's Sketch, reduced to what the command state reads.
struct Sketch {
    SketchObject* selectionHead;
    uint32_t selectionChangeCounter;
    uint32_t activityWord;        // 1 tool, 2 animation running, 4 paused, 8 caption editing
    int32_t captionTextSelected;  // the caption editor has a non-empty text selection
    int32_t captionCanUndo;
    int32_t captionCanRedo;
    int32_t hasUndoRecord;
    int32_t hasRedoRecord;
    int32_t hiddenCount;
    int32_t tracesRectEmpty;
    SketchObject* markedSystem;   // mark slot 20
    int32_t snapToGrid;
    int32_t mouseState;           // 0 idle
};

constexpr uint32_t kActivityTool = 1;
constexpr uint32_t kActivityAnimating = 2;
constexpr uint32_t kActivityPaused = 4;
constexpr uint32_t kActivityCaptionEditing = 8;

// Stand-in: current and front sketch of the sketch engine.
Sketch* GetCurrentSketch();
Sketch* GetFrontSketch();
void SetCurrentSketch(Sketch* sketch, Sketch** previous);
void SetFrontSketch(Sketch* sketch);

// Stand-in: the selection operations of the sketch engine (they mark command groups
// 1, 7, 8 and 14 dirty when the sketch is the front sketch).
void SelectSketchObject(SketchObject* object);
void DeselectAll();

// ---- Kinds and classes ---------------------------------------------------------

constexpr int32_t kObjectKindCount = 75;
// Stand-in: the ObjectKindTable's parentKind column (for union kinds, the first member).
int32_t ObjectKindParent(int32_t kind);
bool KindIsA(int32_t kind, int32_t category);
int32_t CommonKind(int32_t a, int32_t b);

// Stand-in: the ObjectClassTable columns read by the census.
bool ClassIsTraceable(int32_t objectClass);
bool ClassHasLineStyle(int32_t objectClass);
int32_t ClassTextFamily(int32_t objectClass);
bool LabelFollowsGeometry(const SketchObject* object);
bool IsLabelShownOrImplied(const SketchObject* object);

// Stand-in: text styles and colours.
void IntersectTextStyle(TextStyle* common, const TextStyle* other);
bool SameRgb(uint32_t a, uint32_t b);

// ---- Geometry ------------------------------------------------------------------

// Stand-in: a straight object as the geometry routines take it.
struct StraightForm {
    RealPoint p;   // start point
    RealPoint q;   // second defining point
    int32_t kind;  // 0 segment, 1 ray, 2 line
};
bool GetLineForm(const SketchObject* object, StraightForm* form, int32_t* flatArc);
bool IntersectLines(const StraightForm* a, const StraightForm* b, RealPoint* out);
bool IntersectLineCircle(const StraightForm* line, const SketchObject* circle, int32_t side,
                         RealPoint* out);
bool IntersectCircles(const SketchObject* a, const SketchObject* b, int32_t side, RealPoint* out);
// False when a and b coincide within 0.0004; *side is the side of c relative to the
// line from b towards a (0 within +-0.0004 of the cross product), *parameter the
// parameter of c's projection on that line (0 at b, 1 at a).
bool PointLineRelation(RealPoint a, RealPoint b, RealPoint c, double* parameter, int32_t* side);

// ---- Neighbouring services of the predicates and queries -----------------------

// Stand-in: locus rebuild of the sketch engine (queues its idle task at priority 10).
void ScheduleLocusRebuild(uint32_t item, int32_t reset);
// Stand-in: coordinate systems and tables of the calculations subsystem.
SketchObject* OwningCoordSystem(const SketchObject* object);
bool IsSingleMapPointImage(const SketchObject* object);
bool TableCanRemoveEntry(const SketchObject* table);
// Stand-in: the point merge/split state of the sketch engine.
bool MergeSplitState(uint16_t* text, uint16_t* variant, uint16_t* executor, int32_t* argument);

// Stand-in: motion ranges (motion engine) and the Motion Controller bar (shell).
bool MotionSpeedRange(bool ofSelection, double* low, double* high, bool* reversible);
void FormatSpeedRangeText(double low, double high);
void RefreshMotionControllerItem(int32_t item, int32_t state);

// Stand-in: the shell's state as the queries read it.
struct ShellStateStandin {
    int32_t motionControllerVisible;
    int32_t toolboxVisible;
    int32_t textPaletteVisible;
    int32_t activeDocument;
    int32_t documentModified;
    int32_t documentHasFile;
    int32_t animatingSketchCount;
    int32_t selectAllText;        // the current tool's "Select &All ..." item
    int32_t selectAllCategory;    // the current tool's object category
    int32_t pasteText;            // PasteMenuState's answer
    int32_t pasteEnabled;
    int32_t memoryShort;          // CheckMemoryReserve answers true
};
ShellStateStandin& ShellStandin();

// Stand-in: custom-tool playback re-matches the selection at every census.
void ToolPlaybackRematchSelection();
// Stand-in: the colour menu's mark (hasColor false = no colour is current).
void SetColorMenuMark(bool hasColor, uint32_t color);

// Stand-in: ends one activity of the front sketch (8 = caption editing).
void EndSketchActivity(uint32_t activity);
// Stand-in: the mouse-tracking state of the front sketch, 0 = idle.
int32_t GetMouseState();

// Stand-in: the user interface's update of the element of a command-state item
// (menu item, palette). `full` = text, marks and enabled state; else enabled only.
void UpdateCommandElement(uint32_t slot, bool full);

// Stand-in: string groups of the text subsystem.
void GetGroupString(uint32_t group, uint32_t item, char* buffer, size_t size);

// ---- Idle tasks ------------------------------------------------------------------

#include "engine/core/idle_tasks.h"
