// The layout edit session (see the header). Every change of the tree goes through the
// range operations; a change that cannot be made leaves the tree as it was and beeps.
#include "engine/text/layout_edit_session.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/shell.h"
#include "engine/core/services/text_port.h"
#include "engine/text/layout_range.h"
#include "engine/text/text_style.h"

namespace {

int32_t TextEnd(const LayoutEditSession* s) { return s->tree ? s->tree->caretCount : 0; }

void Changed(LayoutEditSession* s) {
    if (s->onChange) s->onChange(s, s->userData);
}

void ComputeCaretStyle(LayoutEditSession* s) {
    if (s->selStart < s->selEnd) {
        GetRangeStyle(&s->tree, &s->drawState, s->selStart, s->selEnd, &s->caretStyle);
        return;
    }
    if (s->selStart > 0)
        GetRangeStyle(&s->tree, &s->drawState, s->selStart - 1, s->selStart, &s->caretStyle);
    else
        s->caretStyle = s->drawState.style;
    OverrideTextStyle(&s->caretStyle, &s->insertStyle);
}

void ReportStyle(LayoutEditSession* s) {
    ComputeCaretStyle(s);
    if (s->onStyle) s->onStyle(s, &s->caretStyle);
}

// Keeps one level of undo: the copy is taken before the first change after a selection
// change, so a run of edits between two selection changes is one step, and whatever
// follows an undo replaces the copy (the redo is then gone).
void UpdateUndoCopy(LayoutEditSession* s, int32_t afterSelection) {
    if (s->undoValid == 1 && (s->undoStale == 0 || afterSelection == 1)) {
        s->undoStale = afterSelection;
        return;
    }
    FreeLayoutNode(s->undoTree);
    s->undoTree = nullptr;
    s->undoValid = 0;
    LayoutNode* copy = nullptr;
    if (CloneLayoutTreeCode(s->tree, &copy) != kLayoutParseOK || !copy) {
        // Without memory for the copy this change cannot be taken back.
        FreeLayoutNode(copy);
        CmdStateInvalidate(kCommandGroupUndo);
        return;
    }
    MeasureLayout(copy, &s->drawState);
    s->undoTree = copy;
    s->undoStart = s->selStart;
    s->undoEnd = s->selEnd;
    s->undoValid = 1;
    s->undoStale = afterSelection;
    CmdStateInvalidate(kCommandGroupUndo);
}

void SetSelection(LayoutEditSession* s, int32_t start, int32_t end) {
    const int32_t n = TextEnd(s);
    start = std::clamp(start, 0, n);
    end = std::clamp(end, 0, n);
    if (start > end) std::swap(start, end);
    if (start == s->selStart && end == s->selEnd) return;
    const bool hadSelection = s->selStart < s->selEnd;
    HideEditorCaret(s);
    s->selStart = start;
    s->selEnd = end;
    if (start == end) {
        ShowEditorCaret(s);
        if (hadSelection) Changed(s);
    } else {
        Changed(s);
    }
    ReportStyle(s);
    UpdateUndoCopy(s, 1);
}

// Moves the active end to `to`, the other end staying; the ends swap roles when they cross.
void MoveActiveEnd(LayoutEditSession* s, int32_t to) {
    const int32_t fixed = s->activeEnd ? s->selStart : s->selEnd;
    to = std::clamp(to, 0, TextEnd(s));
    s->activeEnd = to >= fixed ? 1 : 0;
    SetSelection(s, std::min(fixed, to), std::max(fixed, to));
}

int32_t ActiveOffset(const LayoutEditSession* s) {
    return s->activeEnd ? s->selEnd : s->selStart;
}

// Sets the selection after an edit: directly, so that the edit and the ones that follow
// before the next selection change stay one undo step.
void SetEditedSelection(LayoutEditSession* s, int32_t start, int32_t end) {
    const int32_t n = TextEnd(s);
    s->selStart = std::clamp(std::min(start, end), 0, n);
    s->selEnd = std::clamp(std::max(start, end), 0, n);
    s->activeEnd = 1;
    s->verticalMove = 0;
}

// The tree as it was before a change that may fail half-way; null on no memory.
LayoutNode* KeepTree(LayoutEditSession* s) {
    LayoutNode* copy = nullptr;
    if (CloneLayoutTreeCode(s->tree, &copy) != kLayoutParseOK) {
        FreeLayoutNode(copy);
        return nullptr;
    }
    return copy;
}

void RestoreTree(LayoutEditSession* s, LayoutNode* kept) {
    FreeLayoutNode(s->tree);
    s->tree = kept;
    MeasureLayout(s->tree, &s->drawState);
}

bool CutSelection(LayoutEditSession* s, int32_t start, int32_t end) {
    LayoutNode* kept = KeepTree(s);
    if (!kept) return false;
    if (!CutLayoutRange(&s->tree, &start, &end, &s->drawState, nullptr, nullptr)) {
        RestoreTree(s, kept);
        return false;
    }
    FreeLayoutNode(kept);
    SetEditedSelection(s, start, start);
    return true;
}

// Deletes [start, end) as one edit: the caret is hidden, the undo copy kept, the owner told.
void DeleteRange(LayoutEditSession* s, int32_t start, int32_t end) {
    if (start >= end) return;
    HideEditorCaret(s);
    UpdateUndoCopy(s, 0);
    if (CutSelection(s, start, end)) Changed(s);
    else RefusalBeep();
    ShowEditorCaret(s);
    ReportStyle(s);
}

void VerticalMove(LayoutEditSession* s, int32_t code, int32_t extend) {
    const int32_t active = ActiveOffset(s);
    ScreenPoint top{}, bottom{};
    LayoutCaretRect(s->tree, &s->drawState, active, &top, &bottom);
    if (!s->verticalMove) {
        s->verticalX = (top.x + bottom.x) / 2;
        s->verticalOffset = active;
    }
    const int32_t x = s->verticalX;
    const int32_t step = code == kEditUp ? -2 : 2;
    const int32_t low = s->drawState.y - s->tree->ascent;
    const int32_t high = s->drawState.y + s->tree->descent;
    int32_t found = active;
    for (int32_t y = (top.y + bottom.y) / 2 + step; y >= low && y <= high; y += step) {
        int32_t index = 0, side = 0;
        const ScreenPoint p{ static_cast<int16_t>(x), static_cast<int16_t>(y) };
        LayoutCaretFromPoint(s->tree, &s->drawState, p, &index, &side);
        if (index != active) {
            found = index;
            break;
        }
    }
    if (found == active) found = code == kEditUp ? 0 : TextEnd(s);
    if (found == active) return;
    if (extend) MoveActiveEnd(s, found);
    else SetSelection(s, found, found);
    s->verticalMove = 1;
    s->verticalOffset = found;
}

bool NewRow(LayoutEditSession* s, bool beep) {
    const TextStyle before = s->caretStyle;
    HideEditorCaret(s);
    UpdateUndoCopy(s, 0);
    LayoutNode* kept = KeepTree(s);
    bool done = kept != nullptr;
    if (done && s->selStart < s->selEnd) done = CutSelection(s, s->selStart, s->selEnd);
    if (done) done = BreakRowAtCaret(&s->tree, s->selStart, &s->drawState, 1) != 0;
    if (!done) {
        if (kept) RestoreTree(s, kept);
        if (beep) RefusalBeep();
        ShowEditorCaret(s);
        return false;
    }
    FreeLayoutNode(kept);
    SetEditedSelection(s, s->selStart + 1, s->selStart + 1);
    Changed(s);
    ShowEditorCaret(s);
    if (s->onStyle) s->insertStyle = before;
    ReportStyle(s);
    return true;
}

void AlignRows(LayoutEditSession* s, int32_t alignment) {
    UpdateUndoCopy(s, 0);
    if (!SetRangeRowAlignment(s->tree, &s->drawState, s->selStart, s->selEnd, alignment)) return;
    HideEditorCaret(s);
    if (s->tree->dirty != 0) MeasureLayout(s->tree, &s->drawState);
    Changed(s);
    ShowEditorCaret(s);
}

bool InsertTemplate(LayoutEditSession* s, int32_t kind) {
    LayoutNode* caret = nullptr;
    LayoutNode* start = nullptr;
    LayoutNode* end = nullptr;
    LayoutNode* node = LayoutKindTable[kind].makeInsertTemplate(&caret, &start, &end);
    if (!node) {
        RefusalBeep();
        return false;
    }
    return InsertNodeInEditor(s, node, caret, start, end, 1);
}

bool InsertGlyph(LayoutEditSession* s, int32_t code) {
    LayoutNode* glyph = CreateLayoutNode(kLayoutGlyph, nullptr, 0);
    if (!glyph) {
        RefusalBeep();
        return false;
    }
    SetGlyphCode(glyph, code);
    return InsertNodeInEditor(s, glyph, nullptr, nullptr, nullptr, 0);
}

// A kind that refuses stacked children takes the rows one after the other in a row.
LayoutNode* RowsAsOneRow(LayoutNode* content) {
    if (content->kind != kLayoutStackedRows) return content;
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return nullptr;
    while (LayoutNode* child = content->firstChild) {
        UnlinkLayoutChild(content, child, nullptr);
        AppendLayoutChild(row, child);
    }
    FreeLayoutNode(content);
    MarkNeedsNormalize(row);
    return row;
}

// Puts the cut content in the template's receiving slot; false on no memory (the
// content is then freed).
bool FillReceivingSlot(LayoutNode* slot, LayoutNode* content) {
    LayoutNode* parent = slot->parent;
    const LayoutKindRecord& row = LayoutKindTable[parent->kind];
    if (content->kind == kLayoutStackedRows &&
        !(row.allowsStackedChild && row.allowsStackedChild(parent, content))) {
        LayoutNode* flat = RowsAsOneRow(content);
        if (!flat) {
            FreeLayoutNode(content);
            return false;
        }
        content = flat;
    }
    UnlinkLayoutChild(parent, slot, content);
    FreeLayoutNode(slot);
    MarkNeedsNormalize(content);
    MarkLayoutDirty(content);
    return true;
}

// The stops of a slot counted from the start of the detached node holding it; without a
// slot, the caret after the node.
void SlotRange(LayoutNode* node, LayoutNode* slot, int32_t* start, int32_t* end) {
    if (!slot) {
        *start = *end = node->caretCount;
        return;
    }
    *start = CaretOffsetOfNode(slot);
    *end = *start + slot->caretCount;
}

}  // namespace

LayoutEditSession* CreateLayoutEditSession(LayoutNode* tree, const LayoutDrawState* state,
                                           const ScreenRect* frame, int32_t selectionKind,
                                           EditTrackStepFn onTrackStep, EditChangeFn onChange,
                                           void* userData, EditStyleFn onStyle,
                                           EditEndFn onEnd) {
    if (!tree) return nullptr;
    auto* s = static_cast<LayoutEditSession*>(AllocMemory(sizeof(LayoutEditSession), kAllocZero));
    if (!s) return nullptr;
    s->self = s;
    s->tree = tree;
    s->frame = *frame;
    s->drawState = *state;
    if (tree->dirty != 0) MeasureLayout(tree, state);
    s->drawState.x = frame->left;
    s->drawState.y = static_cast<int16_t>(frame->top + tree->ascent);
    s->onTrackStep = onTrackStep;
    s->onChange = onChange;
    s->userData = userData;
    s->onStyle = onStyle;
    s->onEnd = onEnd;
    s->activeEnd = 1;
    const int32_t n = tree->caretCount;
    if (selectionKind == kEditCaretAtEnd) s->selStart = s->selEnd = n;
    else if (selectionKind == kEditSelectAllText) s->selEnd = n;
    ReportStyle(s);
    ShowEditorCaret(s);
    return s;
}

void FreeLayoutEditSession(LayoutEditSession* s, int32_t record) {
    if (!s) return;
    HideEditorCaret(s);
    if (s->onEnd) s->onEnd(s, record);
    else FreeLayoutNode(s->tree);
    s->tree = nullptr;
    FreeLayoutNode(s->undoTree);
    FreeMemory(s);
}

int32_t RunLayoutEditCommand(LayoutEditSession* s, int32_t code, int32_t extend) {
    if (code != kEditUp && code != kEditDown) s->verticalMove = 0;
    const bool caret = s->selStart == s->selEnd;
    switch (code) {
    case kEditLeft:
        if (extend) MoveActiveEnd(s, ActiveOffset(s) - 1);
        else if (caret) SetSelection(s, s->selStart - 1, s->selStart - 1);
        else SetSelection(s, s->selStart, s->selStart);
        return 1;
    case kEditRight:
        if (extend) MoveActiveEnd(s, ActiveOffset(s) + 1);
        else if (caret) SetSelection(s, s->selEnd + 1, s->selEnd + 1);
        else SetSelection(s, s->selEnd, s->selEnd);
        return 1;
    case kEditUp:
    case kEditDown:
        VerticalMove(s, code, extend);
        return 1;
    case kEditDeleteBackward:
        if (caret) DeleteRange(s, s->selStart - 1, s->selStart);
        else DeleteRange(s, s->selStart, s->selEnd);
        return 1;
    case kEditDeleteForward:
        if (caret) DeleteRange(s, s->selStart, std::min(s->selStart + 1, TextEnd(s)));
        else DeleteRange(s, s->selStart, s->selEnd);
        return 1;
    case kEditNewRow:
        NewRow(s, true);
        return 1;
    case kEditSelectAll:
        SelectAllInEditor(s);
        return 1;
    case kEditTextStart:
        if (extend) MoveActiveEnd(s, 0);
        else SetSelection(s, 0, 0);
        return 1;
    case kEditTextEnd:
        if (extend) MoveActiveEnd(s, TextEnd(s));
        else SetSelection(s, TextEnd(s), TextEnd(s));
        return 1;
    case kEditAlignLeft: AlignRows(s, 0); return 1;
    case kEditAlignRight: AlignRows(s, 2); return 1;
    case kEditAlignCentre:
    case kEditAlignCentreToo: AlignRows(s, 1); return 1;
    case kEditFraction: InsertTemplate(s, kLayoutFraction); return 1;
    case kEditBrackets: InsertTemplate(s, kLayoutBrackets); return 1;
    case kEditParens: InsertTemplate(s, kLayoutParens); return 1;
    case kEditBraces: InsertTemplate(s, kLayoutBraces); return 1;
    case kEditSuperscript: InsertTemplate(s, kLayoutSuperscript); return 1;
    case kEditRadical: InsertTemplate(s, kLayoutRadical); return 1;
    case kEditAbsBars: InsertTemplate(s, kLayoutAbsBars); return 1;
    case kEditSubscript: InsertTemplate(s, kLayoutSubscript); return 1;
    default: break;
    }
    if (code >= kEditGlyph && code <= kEditGlyph + kEditLastGlyphCode) {
        InsertGlyph(s, code - kEditGlyph);
        return 1;
    }
    return 0;
}

void TrackEditorMouse(LayoutEditSession* s, ScreenPoint point, int32_t extend) {
    s->verticalMove = 0;
    auto offsetAt = [s](ScreenPoint p) {
        int32_t index = 0, side = 0;
        LayoutCaretFromPoint(s->tree, &s->drawState, p, &index, &side);
        return index;
    };
    if (s->selStart == s->selEnd && !DeadlinePassed(s->clickDeadline) &&
        std::abs(point.x - s->clickPoint.x) <= kDoubleClickSlop &&
        std::abs(point.y - s->clickPoint.y) <= kDoubleClickSlop) {
        int32_t start = 0, end = 0;
        LayoutWordBounds(s->tree, &s->drawState, offsetAt(point), &start, &end, 0);
        s->clickDeadline = 0;
        s->wordSelect = 1;
        s->activeEnd = 1;
        SetSelection(s, start, end);
        return;
    }
    s->wordSelect = 0;
    // With extend the end away from the active one stays; otherwise the first step places
    // a caret and, once the button is held past the wait, the further steps extend from it.
    int32_t fixed = s->activeEnd ? s->selStart : s->selEnd;
    bool extending = extend != 0;
    bool first = true;
    for (;;) {
        const int32_t at = offsetAt(point);
        if (extending) {
            s->activeEnd = at >= fixed ? 1 : 0;
            SetSelection(s, std::min(fixed, at), std::max(fixed, at));
        } else {
            s->activeEnd = 1;
            SetSelection(s, at, at);
        }
        if (s->onTrackStep) s->onTrackStep();
        if (first) {
            first = false;
            uint32_t wait = 0;
            SetDeadline(&wait, kClickHoldMs);
            bool released = false;
            while (!DeadlinePassed(wait)) {
                if (!PortMouseButtonDown()) {
                    released = true;
                    break;
                }
            }
            if (released) {
                SetDeadline(&s->clickDeadline, kDoubleClickMs);
                s->clickPoint = point;
                break;
            }
            if (!extending) {
                fixed = at;
                extending = true;
            }
        }
        if (!PortMouseButtonDown()) break;
        PortMousePosition(&point);
    }
    ShowEditorCaret(s);
}

bool InsertNodeInEditor(LayoutEditSession* s, LayoutNode* node, LayoutNode* caretNode,
                        LayoutNode* rangeStart, LayoutNode* rangeEnd, int32_t wrap) {
    (void)rangeEnd;  // the templates' selection ends where their receiving slot does
    if (!node) {
        RefusalBeep();
        return false;
    }
    const bool caret = s->selStart == s->selEnd;
    if (caret && !IsTextStyleEmpty(&s->insertStyle)) {
        LayoutNode* style = CreateLayoutNode(kLayoutStyle, nullptr, 0);
        if (!style) {
            FreeLayoutNode(node);
            RefusalBeep();
            return false;
        }
        static_cast<StyleNode*>(style)->style = s->insertStyle;
        AppendLayoutChild(style, node);
        node = style;
    }
    MeasureLayout(node, &s->drawState);
    HideEditorCaret(s);
    UpdateUndoCopy(s, 0);
    LayoutNode* kept = KeepTree(s);
    bool done = kept != nullptr;
    int32_t at = s->selStart;
    // The new selection relative to where the node begins: a template's receiving slot
    // (or, around a wrapped selection, its next slot), else a caret after the node.
    int32_t relStart = 0, relEnd = 0;
    const bool wrapping = !caret && wrap && caretNode;
    if (done && wrapping) {
        int32_t end = s->selEnd;
        LayoutNode* content = nullptr;
        done = CutLayoutRange(&s->tree, &at, &end, &s->drawState, nullptr, &content) != 0;
        if (done && content) done = FillReceivingSlot(caretNode, content);
        if (done) MeasureLayout(node, &s->drawState);
        // The slot now holds the selection: the next slot (when there is one) is selected.
        caretNode = rangeStart != caretNode ? rangeStart : nullptr;
    }
    if (done && (caret || wrapping)) {
        SlotRange(node, caretNode, &relStart, &relEnd);
        done = InsertNodeAtCaret(&s->tree, at, &s->drawState, node) != 0;
        node = nullptr;
    } else if (done) {
        int32_t end = s->selEnd;
        relStart = relEnd = node->caretCount;
        done = CutLayoutRange(&s->tree, &at, &end, &s->drawState, node, nullptr) != 0;
        node = nullptr;
    }
    FreeLayoutNode(node);
    if (!done) {
        if (kept) RestoreTree(s, kept);
        RefusalBeep();
        ShowEditorCaret(s);
        return false;
    }
    FreeLayoutNode(kept);
    SetEditedSelection(s, at + relStart, at + relEnd);
    Changed(s);
    ShowEditorCaret(s);
    ReportStyle(s);
    return true;
}

namespace {
// InsertPlainText; *refused tells whether an insertion was refused (and so beeped).
bool InsertPlainPieces(LayoutEditSession* s, const char* text, int32_t length, bool* refused) {
    *refused = false;
    if (!text || length <= 0) return false;
    const char* nul = static_cast<const char*>(std::memchr(text, 0, static_cast<size_t>(length)));
    if (nul) length = static_cast<int32_t>(nul - text);
    bool first = true;
    int32_t i = 0;
    while (i < length) {
        int32_t j = i;
        // A lone line feed ends a line as well: text from other systems has no carriage
        // returns, and a line feed inside a run would show as a box.
        while (j < length && text[j] != '\r' && text[j] != '\n') ++j;
        const int32_t n = j - i;
        if (n > kMaxUnbrokenText) {
            const char* rest = text + i + kMaxUnbrokenText;
            if (!std::memchr(rest, ' ', static_cast<size_t>(length - i - kMaxUnbrokenText)))
                return !first;
        }
        if (n > 0) {
            LayoutNode* run = CreateLayoutNode(kLayoutTextRun, nullptr, 0);
            if (run && !SetTextRunBytes(run, text + i, n)) {
                FreeLayoutNode(run);
                run = nullptr;
            }
            if (!InsertNodeInEditor(s, run, nullptr, nullptr, nullptr, 0)) {
                *refused = true;
                return !first;
            }
        }
        first = false;
        if (j >= length) break;
        const int32_t lineEnd = (j + 1 < length && text[j] == '\r' && text[j + 1] == '\n') ? 2 : 1;
        i = j + lineEnd;
        if (!NewRow(s, false)) {
            LayoutNode* blank = CreateTextRunWith(" ", nullptr);
            if (!InsertNodeInEditor(s, blank, nullptr, nullptr, nullptr, 0)) {
                *refused = true;
                return true;
            }
        }
    }
    return true;
}
}  // namespace

bool InsertPlainText(LayoutEditSession* s, const char* text, int32_t length) {
    bool refused = false;
    return InsertPlainPieces(s, text, length, &refused);
}

void ApplyStyleToSelection(LayoutEditSession* s, const TextStyle* style) {
    if (s->selStart == s->selEnd) {
        OverrideTextStyle(&s->insertStyle, style);
    } else {
        UpdateUndoCopy(s, 0);
        ApplyStyleToRange(&s->tree, &s->drawState, s->selStart, s->selEnd, style);
        Changed(s);
    }
    ReportStyle(s);
}

void DeleteEditorSelection(LayoutEditSession* s) { DeleteRange(s, s->selStart, s->selEnd); }

void SelectAllInEditor(LayoutEditSession* s) {
    s->activeEnd = 1;
    SetSelection(s, 0, TextEnd(s));
}

namespace {
char* WriteBlock(LayoutNode* node, uint32_t options, int32_t* length) {
    LayoutWriteContext context{};
    context.options = options;
    const int32_t n = SerializeLayout(node, nullptr, &context);
    auto* text = static_cast<char*>(AllocMemory(static_cast<size_t>(n) + 1, 0));
    if (!text) return nullptr;
    SerializeLayout(node, text, &context);
    text[n] = 0;
    *length = n;
    return text;
}
}  // namespace

bool CopySelectionAsText(LayoutEditSession* s, char** layoutText, int32_t* layoutLength,
                         char** plainText, int32_t* plainLength) {
    *layoutText = *plainText = nullptr;
    *layoutLength = *plainLength = 0;
    if (s->selStart >= s->selEnd) return false;
    LayoutNode* copy = KeepTree(s);
    LayoutNode* cut = nullptr;
    int32_t start = s->selStart, end = s->selEnd;
    bool done = copy && CutLayoutRange(&copy, &start, &end, &s->drawState, nullptr, &cut) && cut;
    if (done) {
        *layoutText = WriteBlock(cut, 0, layoutLength);
        *plainText = *layoutText ? WriteBlock(cut, kWritePlainText, plainLength) : nullptr;
        if (!*plainText) {
            FreeMemory(*layoutText);
            *layoutText = nullptr;
            *layoutLength = 0;
            done = false;
        }
    }
    FreeLayoutNode(cut);
    FreeLayoutNode(copy);
    if (!done) RefusalBeep();
    return done;
}

bool CutSelectionAsText(LayoutEditSession* s, char** layoutText, int32_t* layoutLength,
                        char** plainText, int32_t* plainLength) {
    if (!CopySelectionAsText(s, layoutText, layoutLength, plainText, plainLength)) return false;
    DeleteEditorSelection(s);
    return true;
}

bool PasteIntoEditor(LayoutEditSession* s, const char* text, int32_t length, int32_t isLayout) {
    if (!text || length <= 0) {
        RefusalBeep();
        return false;
    }
    if (!isLayout) {
        bool refused = false;
        if (InsertPlainPieces(s, text, length, &refused)) return true;
        if (!refused) RefusalBeep();  // a refused insertion has beeped already
        return false;
    }
    LayoutNode* node = nullptr;
    if (ParseLayoutString(&node, text, static_cast<size_t>(length), nullptr) != kLayoutParseOK ||
        !node) {
        FreeLayoutNode(node);
        RefusalBeep();
        return false;
    }
    MeasureLayout(node, &s->drawState);
    node = NormalizeLayout(node, &s->drawState.style);
    return InsertNodeInEditor(s, node, nullptr, nullptr, nullptr, 0);
}

bool CanUndoEditorChange(const LayoutEditSession* s, int32_t redo) {
    return s && s->undoTree && s->undoValid == (redo ? 0 : 1);
}

bool UndoEditorChange(LayoutEditSession* s, int32_t redo) {
    if (!CanUndoEditorChange(s, redo)) return false;
    HideEditorCaret(s);
    std::swap(s->tree, s->undoTree);
    std::swap(s->selStart, s->undoStart);
    std::swap(s->selEnd, s->undoEnd);
    s->undoValid = redo ? 1 : 0;
    if (s->tree->dirty != 0) MeasureLayout(s->tree, &s->drawState);
    s->activeEnd = 1;
    s->verticalMove = 0;
    Changed(s);
    ShowEditorCaret(s);
    CmdStateInvalidate(kCommandGroupUndo);
    ReportStyle(s);
    return true;
}

void ShowEditorCaret(LayoutEditSession* s) {
    if (s->caretShown || s->selStart != s->selEnd) return;
    LayoutCaretRect(s->tree, &s->drawState, s->selEnd, &s->caretTop, &s->caretBottom);
    PortDrawCaretLine(&s->drawState, s->caretTop, s->caretBottom, 0);
    s->caretShown = 1;
    s->insertStyle = TextStyle{};
    SetDeadline(&s->blinkDeadline, kCaretBlinkMs);
}

void HideEditorCaret(LayoutEditSession* s) {
    if (!s || !s->caretShown) return;
    PortDrawCaretLine(&s->drawState, s->caretTop, s->caretBottom, 0);
    s->caretShown = 0;
}

void BlinkEditorCaret(LayoutEditSession* s) {
    if (s->selStart != s->selEnd || !DeadlinePassed(s->blinkDeadline)) return;
    // Toggles the line only: a blink must not drop the style pending at the caret.
    if (!s->caretShown)
        LayoutCaretRect(s->tree, &s->drawState, s->selEnd, &s->caretTop, &s->caretBottom);
    PortDrawCaretLine(&s->drawState, s->caretTop, s->caretBottom, 0);
    s->caretShown = s->caretShown ? 0 : 1;
    SetDeadline(&s->blinkDeadline, kCaretBlinkMs);
}

void RedrawEditor(LayoutEditSession* s) {
    DrawLayout(s->tree, &s->drawState);
    if (s->selStart < s->selEnd) {
        InvertLayoutRange(s->tree, &s->drawState, s->selStart, s->selEnd);
    } else if (s->caretShown) {
        LayoutCaretRect(s->tree, &s->drawState, s->selEnd, &s->caretTop, &s->caretBottom);
        PortDrawCaretLine(&s->drawState, s->caretTop, s->caretBottom, 1);
    }
}

ScreenRect EditorFrameArea(const LayoutEditSession* s) {
    ScreenRect r = s->frame;
    r.left = static_cast<int16_t>(r.left - 5);
    r.right = static_cast<int16_t>(r.right + 5);
    r.top = static_cast<int16_t>(r.top - 3);
    r.bottom = static_cast<int16_t>(r.bottom + 3);
    return r;
}
