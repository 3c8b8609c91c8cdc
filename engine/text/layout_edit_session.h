// The layout edit session: a formatted text edited in place. The session holds the tree,
// its drawing state and frame, the selection as two caret indices, the blinking caret, a
// style pending at the caret and one level of undo. It knows nothing of sketches: its
// owner hears of repaints, changes and the end through callbacks.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/caption_editor.h"  // BlinkEditorCaret, EditorFrameArea
#include "engine/text/layout.h"

struct LayoutEditSession;

using EditTrackStepFn = void (*)();
using EditChangeFn    = void (*)(LayoutEditSession* session, void* userData);
using EditStyleFn     = void (*)(LayoutEditSession* session, const TextStyle* style);
// Gets the tree: from then on it is the owner's to keep or free.
using EditEndFn       = void (*)(LayoutEditSession* session, int32_t record);

struct LayoutEditSession {
    LayoutDrawState    drawState;  // pen at the tree's origin
    ScreenRect         frame;
    LayoutNode*        tree;
    int32_t            undoStale;  // the undo copy is older than the last selection change
    int32_t            selStart, selEnd;  // selStart <= selEnd; equal: a caret
    TextStyle          caretStyle;
    LayoutEditSession* self;
    int32_t            activeEnd;  // 1: selEnd moves, 0: selStart moves
    uint32_t           clickDeadline;
    ScreenPoint        clickPoint;
    int32_t            verticalMove;
    int32_t            wordSelect;
    int32_t            caretShown;
    ScreenPoint        caretTop, caretBottom;
    uint32_t           blinkDeadline;
    int32_t            verticalX, verticalOffset;
    EditTrackStepFn    onTrackStep;
    EditChangeFn       onChange;
    void*              userData;
    EditStyleFn        onStyle;
    EditEndFn          onEnd;
    LayoutNode*        undoTree;
    int32_t            undoValid;  // 1: the copy undoes, 0: it redoes
    int32_t            undoStart, undoEnd;
    TextStyle          insertStyle;  // all 0: none
};

enum LayoutEditCommand : int32_t {
    kEditLeft            = 2,
    kEditRight           = 3,
    kEditUp              = 4,
    kEditDown            = 5,
    kEditDeleteBackward  = 6,
    kEditDeleteForward   = 7,
    kEditNewRow          = 8,
    kEditSelectAll       = 9,
    kEditTextStart       = 10,
    kEditTextEnd         = 11,
    kEditAlignLeft       = 12,
    kEditAlignRight      = 13,
    kEditAlignCentre     = 14,
    kEditAlignCentreToo  = 15,
    kEditFraction        = 16,
    kEditBrackets        = 17,
    kEditParens          = 18,
    kEditBraces          = 19,
    kEditSuperscript     = 20,
    kEditRadical         = 21,
    kEditAbsBars         = 22,
    kEditSubscript       = 23,
    kEditGlyph           = 0x800,  // + the glyph code, up to kEditLastGlyphCode
};
constexpr int32_t kEditLastGlyphCode = 258;

// Selection kinds of a new session.
constexpr int32_t kEditCaretAtStart = 0;
constexpr int32_t kEditCaretAtEnd   = 1;
constexpr int32_t kEditSelectAllText = 2;

// Timing of the caret and of clicks, in milliseconds, and the double-click distance.
constexpr uint32_t kCaretBlinkMs     = 500;
constexpr uint32_t kDoubleClickMs    = 500;
constexpr uint32_t kClickHoldMs      = 250;
constexpr int32_t  kDoubleClickSlop  = 4;
// A typed or pasted piece of plain text longer than this needs a blank after it.
constexpr int32_t  kMaxUnbrokenText  = 400;

// Null on no memory (the tree then stays the caller's).
LayoutEditSession* CreateLayoutEditSession(LayoutNode* tree, const LayoutDrawState* state,
                                           const ScreenRect* frame, int32_t selectionKind,
                                           EditTrackStepFn onTrackStep, EditChangeFn onChange,
                                           void* userData, EditStyleFn onStyle,
                                           EditEndFn onEnd);
// FreeLayoutEditSession (declared with the sketch's services) calls onEnd, which takes the
// tree (without one the tree is freed), then frees the rest.

// 1 when the code is one of the editing commands, else 0 (nothing done).
int32_t RunLayoutEditCommand(LayoutEditSession* session, int32_t code, int32_t extend);
void    TrackEditorMouse(LayoutEditSession* session, ScreenPoint point, int32_t extend);
bool    InsertPlainText(LayoutEditSession* session, const char* text, int32_t length);
// Takes the node. `caretNode` (the receiving slot), `rangeStart` and `rangeEnd` are the
// parts of a template named by its kind's MakeInsertTemplate, or null for other nodes.
bool    InsertNodeInEditor(LayoutEditSession* session, LayoutNode* node, LayoutNode* caretNode,
                           LayoutNode* rangeStart, LayoutNode* rangeEnd, int32_t wrap);
void    ApplyStyleToSelection(LayoutEditSession* session, const TextStyle* style);
void    DeleteEditorSelection(LayoutEditSession* session);
void    SelectAllInEditor(LayoutEditSession* session);
// The selection as layout-language text and as plain text, each a new NUL-terminated
// block (FreeMemory) with its length. False when nothing is selected or memory fails.
bool    CopySelectionAsText(LayoutEditSession* session, char** layoutText, int32_t* layoutLength,
                            char** plainText, int32_t* plainLength);
bool    CutSelectionAsText(LayoutEditSession* session, char** layoutText, int32_t* layoutLength,
                           char** plainText, int32_t* plainLength);
bool    PasteIntoEditor(LayoutEditSession* session, const char* text, int32_t length,
                        int32_t isLayout);
// False when there is nothing to undo (or redo).
bool    UndoEditorChange(LayoutEditSession* session, int32_t redo);
bool    CanUndoEditorChange(const LayoutEditSession* session, int32_t redo);
void    ShowEditorCaret(LayoutEditSession* session);
void    HideEditorCaret(LayoutEditSession* session);
void    BlinkEditorCaret(LayoutEditSession* session);
// Draws the tree with its selection highlighted or its caret (when shown).
void    RedrawEditor(LayoutEditSession* session);
