// The operations that the later release (figlate) does its own way, as one table of
// function pointers. Shared code keeps its own form and asks the table first: an entry
// that is null means "use the shared form", so figmantle, which installs nothing, runs
// exactly the shared code. figlate's entry point fills the table before the program
// starts (release2/install.h); the tests install and reset it within one run to check
// each revised behaviour both ways.
//
// The pattern at a call site, in the shared operation itself:
//
//     const char* GroupText(int32_t group, int32_t item) {
//         if (auto form = LaterForms().text.groupText) return form(group, item);
//         ... the shared form ...
//     }
//
// Entries take plain types and forward-declared records only: this header sits below
// every folder that calls through it. Each area of the later release has a table of its
// own below; add an entry to the area's table, call it from the shared operation, and
// set it in that area's installer in release2/.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/core/screen_types.h"

struct GraphicsPort;
struct SketchObject;

// Texts by string group and item, key names, the nouns of object kinds, the credit pages.
struct LaterTextForms {
    // The text of (group, item); the pointer stays valid for the process.
    const char* (*groupText)(int32_t group, int32_t item);
    // Noun of an object kind: form 0 singular, 1 plural, 2 singular with its article.
    const char* (*kindNoun)(int32_t kind, int32_t form);
    // The tab and key name appended to a command's menu text.
    size_t (*formatCommandKeyText)(uint32_t row, bool shiftHeld, char* buffer, size_t size);
    // Credit page 0 to 3 of the about box in the layout language, or null.
    const char* (*aboutPageText)(int32_t page);
    // Called by StartEngine before anything reads a text.
    void (*prepareTexts)();
    // The text of a numbered string outside the groups ("" when missing); the caller
    // falls back to its own text then.
    const char* (*numberedText)(uint32_t id);
};

// Anti-aliased drawing and its policy. The shape entries draw with the pen remembered
// from the last object pen made and answer false when they drew nothing (this redraw is
// plain, a picture or print pass runs, or GDI+ failed): the caller then draws with GDI.
struct LaterDrawingForms {
    void (*startDrawing)();  // with the platform services
    void (*stopDrawing)();
    // In place of BeginCanvasPaint and EndCanvasPaint around a view's or the OLE
    // picture's draw pass.
    void (*beginRedraw)(GraphicsPort* port, const ScreenRect* rect);
    void (*endRedraw)(GraphicsPort* port, const ScreenRect* rect);
    // The stroke of the object pen just made: width in device pixels, a COLORREF.
    void (*rememberPen)(float width, uint32_t color, bool dashed);
    bool (*strokeLine)(GraphicsPort* port, double x1, double y1, double x2, double y2);
    // Two strokes `offset` either side of the line, in the selection pen.
    bool (*strokeParallelPair)(GraphicsPort* port, double x1, double y1, double x2, double y2, double offset);
    // An ellipse outline in its box; angles in radians, a sweep of a full turn or more
    // draws it whole.
    bool (*strokeEllipse)(GraphicsPort* port, double x, double y, double width, double height, double start,
                          double sweep);
    // A square of `side` pixels centred on (x, y); kRememberedColor for the pen's colour.
    bool (*fillSquare)(GraphicsPort* port, double x, double y, double side, uint32_t color);
    // A filled polygon of `count` points as x, y pairs (alternate rule) in a COLORREF.
    bool (*fillPolygon)(GraphicsPort* port, const float* xy, int32_t count, uint32_t color);
    // Filled dots of `radius` at (cx + dx, cy - dy), (cx - dx, cy - dy), (cx - dx, cy + dy)
    // and (cx + dx, cy + dy) in a COLORREF; only the two distinct ones when dx or dy is 0.
    bool (*fillMirroredDots)(GraphicsPort* port, double cx, double cy, double dx, double dy, double radius,
                             uint32_t color);
    // The selection highlight of a caption, measurement or calculation.
    void (*textObjectSelection)(GraphicsPort* port, SketchObject* object);
    // A run of a curve, `count` points as x, y pairs in device pixels (a locus's samples
    // at sub-pixel precision where the program keeps them so); a highlighted run is drawn
    // as a band in the sketch's highlight colour with the background along its middle.
    bool (*strokePolyline)(GraphicsPort* port, const float* xy, int32_t count, bool highlight);
    // The preferences change the anti-aliasing choice: false refuses the value (no GDI+),
    // else every open document has been redrawn with it and the caller stores it.
    bool (*changeAntiAliasing)(uint16_t value);
    // The number of an axis tick at `along` pixels along the axis, formatted as `text`
    // with a power of ten `exponent` (empty when none); the tick mark spans `markFrom` to
    // `markTo` across the axis. The axis font is selected on the port's DC.
    void (*drawTickNumber)(GraphicsPort* port, bool horizontal, int32_t along, int32_t markFrom, int32_t markTo,
                           const char* text, const char* exponent);
};
constexpr uint32_t kRememberedColor = 0xFFFFFFFFu;

struct GraphicsPort;
struct LayoutDrawState;
struct ScreenRect;
struct Sketch;
struct SketchObject;
struct TextStyle;

// The platform layer's revisions: port text state, trace fading, pictures, character sets.
struct LaterPlatformForms {
    // One fading step of a view's traces; true makes the view repaint.
    bool (*fadeTracesStep)(GraphicsPort* port);
    // Frame ticks between two fading steps of the sketch.
    int32_t (*traceFadeTicks)(const Sketch* sketch);
    // Fading steps after the last trace by which the traces are gone.
    int32_t (*traceFadeStepsToClear)();
    // Converts the texts of a sketch just read from the document's character set.
    void (*convertDocumentTexts)(Sketch* sketch, int32_t charset);
    // The selection and its picture onto the clipboard; the shared form's arguments.
    bool (*putSelectionOnClipboard)(bool renderPicture, ScreenRect* rect, SketchObject* picture, char* text,
                                    uint32_t textSize, char* layoutText, uint32_t layoutSize, uint8_t* objectData,
                                    uint32_t objectSize, const void* header, uint32_t headerSize);
    // The message of a clipboard failure by its string id (1418 "Cannot open the
    // clipboard." and the others), for the paste as for the copy.
    void (*showClipboardError)(int32_t stringId);
    // A packed DIB just read for a picture object, put in the form the drawing takes
    // (rows bottom-up); 0, or 100 when out of memory.
    int32_t (*prepareReadDib)(uint8_t* dib, uint32_t size);
    // A picture object's image on the port.
    void (*renderPicture)(GraphicsPort* port, SketchObject* picture);
    // The port's nested text state on a DC (an HDC), its fonts and pens, and measuring.
    int32_t (*enterTextState)(void* dc);
    void (*leaveTextState)(void* dc);
    void (*applyTextStyle)(LayoutDrawState* state);
    void (*selectStylePen)(LayoutDrawState* state, int32_t a, int32_t b);
    void (*textWidth)(LayoutDrawState* state, const char* text, int32_t n, int32_t* width, int32_t* height);
    void (*fontMetrics)(LayoutDrawState* state, int32_t* ascent, int32_t* descent, int32_t* internalLeading);
    void (*beginOutline)(LayoutDrawState* state);
    void (*endOutline)(LayoutDrawState* state);
    int32_t (*glyphPenWidth)(const TextStyle* style);
    // At the platform's shut-down.
    void (*freePortCaches)();
};

struct CommandRow;

// The command table's revisions: figlate's rows in place of shared ones or past them,
// its executors and state queries past the shared slots, the menu codes that name its
// rows, and its built-in menu bar.
struct LaterCommandForms {
    // figlate's row in place of the shared one (or past the shared table), or null to
    // keep the shared row.
    const CommandRow* (*row)(uint32_t row);
    // Rows for menu codes that the shared map leaves without one; false for none.
    bool (*menuCodeToRow)(uint32_t code, uint32_t* row);
    // Executor and state-query slots past the shared tables (the shared call's
    // arguments); an unknown slot answers 0 and false.
    int32_t (*execute)(uint32_t executor, int32_t argument);
    bool (*queryState)(uint32_t query, uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                       uint16_t* executor, int32_t* argument);
    // The menu stream built into the program, in place of the shared one.
    const uint8_t* (*defaultMenuStream)(uint32_t* length);
};

// The engine's small revisions: keys of the sketch, labels of new objects.
struct LaterEngineForms {
    // Shift+Enter in the sketch while no caption is being edited; true when used.
    bool (*shiftEnter)();
    // After an image of parametric colour is made (the shared form labels nothing there).
    SketchObject* (*labelColorImage)(SketchObject* object);
    // The Undo or Redo item's text (256 bytes) from its group 1 template.
    void (*undoMenuText)(char* text, int32_t textIndex);
    // The status prompt of a tool run, a heap text (FreeMemory) or null without memory:
    // item `item` of the tool-matching group with the noun of `nounKind`; the tool's
    // givens in order, and the one being matched (-1 for none).
    char* (*toolMatchPrompt)(int32_t item, int32_t nounKind, SketchObject* const* givens, int32_t givenCount,
                             int32_t given);
    // The pointer is over row `row` of the script view (0: over none); true when an object
    // of the sketch is highlighted for it.
    bool (*highlightStepRow)(int32_t row);
    // Whether an existing calculation duplicates the one a construction copies (the
    // equivalence test of the duplicate search for calculations).
    bool (*sameCalculation)(const SketchObject* candidate, const SketchObject* pattern);
    // Menu-rule predicates past the shared slots; -1 for an unknown one.
    int32_t (*menuPredicate)(uint32_t predicate, uint32_t item);
    // While an older document is read: the hidden helpers that stand in for one of its
    // objects made of two others (`flag` orders them), into made[2]; `shared` is the
    // import's one zero parameter, made on first use. 0, or 100 without memory.
    int32_t (*legacyHelperObjects)(SketchObject* first, SketchObject* second, bool flag, SketchObject** shared,
                                   SketchObject** made);
    // The units (pixels per unit) of a new rectangular coordinate system made for data
    // reaching |x| <= maxX and |y| <= maxY in a window of the given half size, when the
    // default unit would be `unit`; answers the grid form to make (square, or
    // rectangular for separate units).
    int32_t (*fitCoordSystemUnits)(double halfWidth, double halfHeight, double unit, double maxX, double maxY,
                                   double* unitX, double* unitY);
};

// One button of a tool bar as the wrapped layout of a floating bar sees it.
struct BarButtonExtent {
    int32_t width;
    bool    plainSeparator;  // a separator whose command is 0: chunks end before it
};

// The user interface's revisions: the frames, the bars and some dialogs.
struct LaterWindowForms {
    // False: the main frame joins the clipboard viewer chain instead of asking for the
    // clipboard's formats when the program is activated.
    bool (*usesClipboardPolling)();
    // A child window's close box; true when the command was taken (then the window is
    // left to the engine's close command, which may keep it).
    bool (*childCloseCommand)();
    // The floating Motion Controller's size for the class library's (width, height), its
    // buttons wrapped by chunks; the borders are given apart. Both are replaced, and
    // rowEnds[i] (count entries) tells whether the row ends at button i.
    void (*floatingBarSize)(const BarButtonExtent* buttons, int32_t count, int32_t buttonHeight, int32_t borderX,
                            int32_t borderY, int32_t* width, int32_t* height, bool* rowEnds);
    // Whether property sheets made from a caption string id lose the Apply button too.
    bool (*sheetsWithoutApply)();
    // The colour dialogs' hook: answers a message of picker dialog (an HWND) as handled
    // (true) or leaves it to the dialog; `helpTopic` is the picker's.
    bool (*colorPickerMessage)(void* dialog, uint32_t message, uintptr_t wParam, intptr_t lParam, int32_t helpTopic);
    // Whether the New Tool dialog leaves its label as the template has it.
    bool (*newToolNameOnly)();
    // Whether the System page offers the anti-aliasing choice (GDI+ can be used).
    bool (*antiAliasChoiceAvailable)();
    // The calculator keeps its editor alive on a timer of this many milliseconds instead
    // of its own idle step.
    uint32_t (*calculatorTimerMs)();
    // The calculator's owner-drawn menu items: a MEASUREITEMSTRUCT or DRAWITEMSTRUCT whose
    // item data the caller has made the item's layout (a LayoutNode tree).
    void (*measureMenuItem)(void* measureItem);
    void (*drawMenuItem)(void* drawItem);
    // Shows a command dialog the shared user interface has not: IDOK (1), IDCANCEL (2), or
    // -1 for a kind it does not show either.
    int32_t (*runCommandDialog)(int32_t kind, void* record, int32_t helpTopic);
};

struct LayoutNode;
struct LayoutSplit;
struct LayoutWriteContext;

// The later release's entries of a layout kind, kept after the shared operations.
struct LaterLayoutKindRecord {
    // Splits the node so that its first part fits the split's width (see LayoutSplit in
    // release2/text/layout_revisions.h); false when it cannot.
    bool (*splitAtWidth)(LayoutNode* node, LayoutSplit* split);
    // The node's caret stops from its children's; null for a kind that never is a node.
    int32_t (*caretStopCount)(LayoutNode* node);
    // 1 when the kind measures its own children (the text block, which re-breaks them).
    int32_t measuresChildren;
};

// The layout engine's revisions: wrapped text blocks and their element.
struct LaterLayoutForms {
    // One row per layout kind, in kind order.
    const LaterLayoutKindRecord* kinds;
    // A new text block's fields.
    void (*initRows)(LayoutNode* block);
    // In place of the shared recursive measure.
    int32_t (*measureNode)(LayoutNode* node, LayoutDrawState* state);
    // One level of a wrap element just read for a block (`nested` 0 for the outermost):
    // its width, break character and mask digits (hexadecimal, `digits` of them), with
    // the parse context's option bits.
    void (*readWrapLevel)(LayoutNode* block, int32_t nested, int32_t width, int32_t character,
                          const char* masks, int32_t digits, uint32_t options);
    // Writes a block's wrap element after its rows (nothing when it has none); answers
    // the length, only counted without a cursor.
    int32_t (*writeWrapElement)(LayoutNode* block, char** cursor, LayoutWriteContext* context);
    // While a block is normalised: rows that hold a block of their own under a style
    // node give way to its rows; true when any did.
    bool (*takeInnerBlocks)(LayoutNode* block);
    // The caption of an older document: its plain text and its stored box width.
    LayoutNode* (*plainTextWithWidth)(const char* text, int32_t length, int32_t boxWidth);
};

struct LayoutEditSession;
struct UndoEntry;

// A caption's wrap width as the user sets it: the handle of a selected caption, the frame
// and handle of the caption being edited, and the undo step of a width.
struct LaterCaptionForms {
    // A press with a selection arrow: true when it hit the width handle of a selected
    // caption and the drag of the width began (the handle is hit before any body).
    bool (*pressWidthHandle)(ScreenPoint point);
    // The drag's steps and its release.
    void (*dragWidthHandle)(ScreenPoint point);
    void (*releaseWidthHandle)(ScreenPoint point);
    // A press while a caption is edited: true when it went to the frame's handle (the
    // width then followed the pointer until the button came up).
    bool (*pressEditorHandle)(ScreenPoint point);
    // In place of the editor's own drawing over a redrawn rectangle: its frame, text and
    // handle.
    void (*drawEditor)(GraphicsPort* port, const ScreenRect* rect, LayoutEditSession* session);
    // Waits until the mouse may have changed (a mouse message arrives, or a short while
    // passes), so that a loop following a held button does not spin.
    void (*waitForPointer)();
    // Entry types of the later release past the shared ones (records live only in memory):
    // the handler of such an entry, both directions; 0 or a result code.
    int32_t (*replayUndoEntry)(const UndoEntry& entry, int32_t direction);
    // What a discarded record's entry of such a type holds is freed.
    void (*releaseUndoEntry)(const UndoEntry& entry);
    // A caption just laid out whose rows were broken at a width not of its own choosing
    // (an older document's box): its width is fitted to its rows, as a read one is.
    void (*fitWrapWidth)(SketchObject* caption);
};

// Links, help, shell registration and the save dialog's types.
struct LaterShellForms {
    // Opens an address a link resolved to; false when it cannot be opened.
    bool (*openAddress)(const char* address);
    // The help folder as the prefix of a help topic's address (scheme included), in
    // engine memory (FreeMemory); null when there is none.
    char* (*helpFolderAddress)();
    // Whether the Help menu's entries end at entry `index`, whose text is `text`.
    bool (*helpMenuEndsAt)(const char* text, int32_t index);
    // The main window's command that the host's save executor sends for its argument.
    uint32_t (*hostSaveCommand)(int32_t argument);
    // After the DDE atoms are made: the registration of the document type with that DDE
    // application name; `templateText` is the document template's string.
    void (*registerDocumentType)(const char* ddeName, const char* templateText);
    // The save dialog's filters after the shared three ("name|patterns|" pairs).
    const char* (*moreSaveFilters)();
    // The save type of the dialog's filter (from 1) and the name chosen.
    int32_t (*chosenSaveType)(int32_t filterIndex, const char* name);
    // The name the dialog proposes for a save type, changed in place (`size` bytes): its
    // extension and, for some types, its folder.
    void (*proposeSaveName)(int32_t saveType, char* name, size_t size);
    // Writes a save type that is no document (a picture); 0 or a result code; -1 when the
    // type is not one of these.
    int32_t (*saveOtherType)(int32_t saveType, const char* path);
    // Another way to a tool-folder entry: a shortcut's target into `target` (260 bytes).
    bool (*resolveShortcut)(const char* path, char* target);
};

// Locus samples at sub-pixel precision: where a point sample keeps its position, and the
// nearest-point and range routines that read the samples. A point sample is 24 bytes
// with its parameter (a double) at 8 and its state at 16 either way; the position takes
// the first 8 bytes as the program keeps it.
struct LaterLocusForms {
    // The position of a point sample in device pixels, written and read back.
    void (*putSamplePosition)(uint8_t* record, RealPoint position);
    RealPoint (*samplePosition)(const uint8_t* record);
    // In place of UpdateNearestLocusSample (engine/core/locus.h): the existing sample
    // nearest to `point` (-1 when none) and the parameter value of the locus's nearest
    // point.
    int32_t (*nearestSample)(const SketchObject* locus, RealPoint point, double* parameter);
    // In place of FindLocusSpanForRange: the screen length of the locus's joined pieces
    // between two parameter values, from <= to.
    double (*spanLength)(const SketchObject* locus, double from, double to);
    // An arc sample: its bytes past the shared 48 where the program keeps more, the
    // writing of those (called before the shared fields are written over, so that it can
    // compare with what the record held), and the arc read back from them in device
    // pixels and screen radians.
    uint32_t (*arcSampleBytes)();
    void (*putArcSample)(const SketchObject* arc, uint8_t* record);
    void (*arcSampleGeometry)(const uint8_t* record, double* geometry);
};

struct LaterReleaseForms {
    LaterTextForms     text;
    LaterDrawingForms  drawing;
    LaterPlatformForms platform;
    LaterCommandForms  commands;
    LaterEngineForms   engine;
    LaterWindowForms   window;
    LaterLayoutForms   layout;
    LaterShellForms    shell;
    LaterCaptionForms  caption;
    LaterLocusForms    locus;
};

// The installed forms; all null unless the later release installed its own.
const LaterReleaseForms& LaterForms();
// Replaces the whole table (figlate's entry point; tests).
void InstallLaterForms(const LaterReleaseForms& forms);
// Back to the shared forms everywhere.
void ResetLaterForms();
