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

struct CommandRow;
struct GraphicsPort;
struct ScreenRect;
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
    // A run of a curve, `count` points as x, y pairs; a highlighted run is drawn as a band
    // in the sketch's highlight colour with the background along its middle.
    bool (*strokePolyline)(GraphicsPort* port, const int32_t* xy, int32_t count, bool highlight);
    // The preferences change the anti-aliasing choice: false refuses the value (no GDI+),
    // else every open document has been redrawn with it and the caller stores it.
    bool (*changeAntiAliasing)(uint16_t value);
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

// The engine's commands and the objects they make.
struct LaterCommandForms {
    // Command rows past the shared table (rows from kCommandRowCount), by row; null for a
    // row that does not exist.
    const CommandRow* (*laterCommandRow)(uint32_t row);
    // The row of a menu code past the shared codes; false when it names none.
    bool (*laterMenuCodeRow)(uint32_t code, uint32_t* row);
    // The state query of a later row (its stateQuery from kCommandStateQueryCount), with
    // the shared queries' arguments.
    bool (*laterStateQuery)(uint8_t query, uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                            uint16_t* executor, int32_t* argument);
    // Runs an executor slot from kCommandExecutorCount on; a result code.
    int32_t (*runLaterExecutor)(uint16_t executor, int32_t argument);
    // The menu description built into the program, in place of the shared one.
    const uint8_t* (*defaultMenuStream)(size_t* length);
    // Shows a command dialog the shared user interface has not: IDOK (1), IDCANCEL (2), or
    // -1 for a kind it does not show either.
    int32_t (*runCommandDialog)(int32_t kind, void* record, int32_t helpTopic);
    // The units (pixels per unit) of a new rectangular coordinate system made for data
    // reaching |x| <= maxX and |y| <= maxY in a window of the given half size, when the
    // default unit would be `unit`; answers the grid form to make (square, or
    // rectangular for separate units).
    int32_t (*fitCoordSystemUnits)(double halfWidth, double halfHeight, double unit, double maxX, double maxY,
                                   double* unitX, double* unitY);
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

struct LaterReleaseForms {
    LaterTextForms     text;
    LaterDrawingForms  drawing;
    LaterPlatformForms platform;
    LaterCommandForms  commands;
    LaterLayoutForms   layout;
    LaterShellForms    shell;
};

// The installed forms; all null unless the later release installed its own.
const LaterReleaseForms& LaterForms();
// Replaces the whole table (figlate's entry point; tests).
void InstallLaterForms(const LaterReleaseForms& forms);
// Back to the shared forms everywhere.
void ResetLaterForms();
