#include "engine/text/merged_texts.h"

#include <cstdio>
#include <cstring>

#include "engine/core/geometry.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/text_objects.h"
#include "engine/core/sketch.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_text.h"

namespace {

constexpr uint32_t kPartShift = 16;
constexpr uint32_t kParentMask = 0xffff;

int32_t ParentCount(const SketchObject* object) {
    int32_t n = 0;
    PtrListSize(object->parents, &n);
    return n;
}

int32_t ParentNumberOf(const LayoutNode* node) { return int32_t(uint32_t(node->value) & kParentMask); }
// Unsigned: a damaged value with its top bit set names a part no parent offers, never a
// negative one.
int32_t PartOf(const LayoutNode* node) { return int32_t(uint32_t(node->value) >> kPartShift); }

// Depth first, children before siblings; alternatives are separate trees, not entered.
LayoutNode* NextInTree(LayoutNode* node, const LayoutNode* root) {
    if (node->firstChild && node->kind != kLayoutAlternatives) return node->firstChild;
    while (node && node != root) {
        if (node->nextSibling) return node->nextSibling;
        node = node->parent;
    }
    return nullptr;
}

void RemoveAllAlternatives(LayoutNode* node) {
    while (AlternativeCount(node) > 0) RemoveAlternative(node, 1);
}

// One TextReference as it lies in four valueSlots items.
struct ReferenceSlots {
    void** item;
    SketchObject* parent() const { return static_cast<SketchObject*>(item[0]); }
    int32_t part() const { return int32_t(reinterpret_cast<uintptr_t>(item[1])); }
    LayoutNode* node() const { return static_cast<LayoutNode*>(item[2]); }
    uint32_t stamp() const { return uint32_t(reinterpret_cast<uintptr_t>(item[3])); }
    void setStamp(uint32_t stamp) { item[3] = reinterpret_cast<void*>(uintptr_t(stamp)); }
};

const DisplayPartsOps* DisplayPartsOfObject(SketchObject* object) {
    GetDisplayPartsFn get = ObjectClassTable[object->objectClass].getDisplayParts;
    return get ? get(object) : nullptr;
}

// Whether the parent offers the part: a stored reference may name one it does not.
bool OffersPart(const DisplayPartsOps* ops, SketchObject* parent, int32_t part) {
    return ops && part >= 0 && part < ops->partCount(parent);
}

// Builds one part as the reference node's alternative; false when it could not.
bool BuildReferencePart(SketchObject* parent, const DisplayPartsOps* ops, int32_t part, LayoutNode* node) {
    int32_t flatten = 0, join = 0, wrapStyled = 0, owned = 0;
    TextStyle style{};
    LayoutNode* tree = ops->buildPart(parent, part, &flatten, &join, &wrapStyled, &style, &owned);
    if (!tree) return false;
    if (flatten || join || !owned) {
        LayoutNode* copy = FlattenLayoutCopy(tree, flatten != 0, join != 0);
        if (owned) FreeLayoutNode(tree);
        if (!copy) return false;
        tree = copy;
    }
    if (wrapStyled) {
        LayoutNode* wrapper = CreateLayoutNode(kLayoutStyle, nullptr, 0);
        if (!wrapper) {
            FreeLayoutNode(tree);
            return false;
        }
        static_cast<StyleNode*>(wrapper)->style = style;
        AppendLayoutChild(wrapper, tree);
        tree = wrapper;
    }
    // Added before the old one goes, so that a failure leaves the old part shown.
    if (AddAlternative(node, tree) == 0) {
        FreeLayoutNode(tree);
        return false;
    }
    while (AlternativeCount(node) > 1) RemoveAlternative(node, 1);
    SelectAlternative(node, 1);
    MarkLayoutDirty(node);
    return true;
}

}  // namespace

LayoutNode* CreateReferenceNode(int32_t parentNumber, int32_t part) {
    const int32_t value = int32_t((uint32_t(parentNumber) & kParentMask) | (uint32_t(part) << kPartShift));
    return CreateLayoutNode(kLayoutAlternatives, nullptr, value);
}

bool IsReferenceNode(const LayoutNode* node, int32_t parentCount) {
    if (!node || node->kind != kLayoutAlternatives) return false;
    const int32_t n = ParentNumberOf(node);
    return n >= 1 && n <= parentCount;
}

int32_t CountReferences(const SketchObject* object) {
    const CaptionData* d = CaptionDataOf(object);
    if (!d || !d->layout) return 0;
    const int32_t parents = ParentCount(object);
    int32_t count = 0;
    for (LayoutNode* n = d->layout; n; n = NextInTree(n, d->layout))
        if (IsReferenceNode(n, parents)) count += kSlotsPerReference;
    return count;
}

void AssignReferences(SketchObject* object) {
    CaptionData* d = CaptionDataOf(object);
    if (!d) return;
    int32_t slots = 0;
    void** items = PtrListItems(d->valueSlots, &slots);
    for (int32_t i = 0; i < slots; ++i) items[i] = nullptr;
    if (!d->layout) return;
    const int32_t parents = ParentCount(object);
    int32_t at = 0;
    for (LayoutNode* n = d->layout; n; n = NextInTree(n, d->layout)) {
        if (!IsReferenceNode(n, parents)) continue;
        RemoveAllAlternatives(n);
        // A pegged text has room for one reference; any more in a damaged tree show nothing.
        if (at + kSlotsPerReference > slots) continue;
        items[at] = PtrListItem(object->parents, ParentNumberOf(n) - 1);
        items[at + 1] = reinterpret_cast<void*>(uintptr_t(PartOf(n)));
        items[at + 2] = n;
        items[at + 3] = nullptr;
        at += kSlotsPerReference;
    }
}

void UpdateReferences(SketchObject* object, bool onlyChanged) {
    CaptionData* d = CaptionDataOf(object);
    if (!d) return;
    int32_t slots = 0;
    void** items = PtrListItems(d->valueSlots, &slots);
    bool rebuilt = false;
    for (int32_t at = 0; at + kSlotsPerReference <= slots; at += kSlotsPerReference) {
        ReferenceSlots r{ items + at };
        SketchObject* parent = r.parent();
        LayoutNode* node = r.node();
        if (!parent || !node) continue;
        const DisplayPartsOps* ops = DisplayPartsOfObject(parent);
        if (!OffersPart(ops, parent, r.part())) {
            if (AlternativeCount(node) > 0) {
                RemoveAllAlternatives(node);
                rebuilt = true;
            }
            continue;
        }
        int32_t mayChange = 0, dropOnClear = 0;
        ops->partInfo(parent, r.part(), &mayChange, &dropOnClear);
        const bool build = AlternativeCount(node) == 0 ||
                           (onlyChanged && mayChange && parent->generation != r.stamp());
        if (!build) {
            r.setStamp(r.stamp() - 1);
            continue;
        }
        if (!BuildReferencePart(parent, ops, r.part(), node)) continue;
        r.setStamp(parent->generation);
        rebuilt = true;
    }
    if (rebuilt) RelayoutObjectText(object, true);
}

void DropChangedParts(SketchObject* object) {
    CaptionData* d = CaptionDataOf(object);
    if (!d) return;
    int32_t slots = 0;
    void** items = PtrListItems(d->valueSlots, &slots);
    for (int32_t at = 0; at + kSlotsPerReference <= slots; at += kSlotsPerReference) {
        ReferenceSlots r{ items + at };
        SketchObject* parent = r.parent();
        if (!parent || !r.node()) continue;
        const DisplayPartsOps* ops = DisplayPartsOfObject(parent);
        if (!OffersPart(ops, parent, r.part())) continue;
        int32_t mayChange = 0, dropOnClear = 0;
        ops->partInfo(parent, r.part(), &mayChange, &dropOnClear);
        if (dropOnClear) RemoveAllAlternatives(r.node());
    }
}

void RefreshMergedText(SketchObject* object, SketchObject* const*) {
    if (CanSkipValueText(object)) return;
    UpdateReferences(object, true);
}

void FollowPeggedPoint(SketchObject* object, SketchObject* const* parents) {
    // A damaged document may give the text another first parent: no position to read.
    if (!parents || !parents[0] || parents[0]->objectClass != kClassPoint) return;
    const RealPoint p = PointPosition(parents[0]);
    const int32_t x = RoundToScreen(p.x);
    const int32_t y = RoundToScreen(p.y);
    if (CanSkipValueText(object)) return;
    UpdateReferences(object, true);
    ScreenRect& b = object->bounds;
    const int32_t width = b.right - b.left;
    const int32_t height = b.bottom - b.top;
    b.left = RoundToScreen(x - width / 2);
    b.top = RoundToScreen(y - height / 2);
    b.right = RoundToScreen(b.left + width);
    b.bottom = RoundToScreen(b.top + height);
}

// ---- Merged-text writing

namespace {

char* WriteToBlock(LayoutNode* tree, LayoutWriteContext* context, int32_t* length) {
    const int32_t n = SerializeLayout(tree, nullptr, context);
    char* text = static_cast<char*>(AllocMemory(size_t(n) + 1, 0));
    if (!text) return nullptr;
    SerializeLayout(tree, text, context);
    text[n] = '\0';
    if (length) *length = n;
    return text;
}

}  // namespace

namespace {

// A reference text at `text`: "{n}" or "{n.p}" with n and p written as the writer writes
// them (no sign, no leading zero, p not 0). Answers its length, 0 when there is none.
int32_t MatchReferenceText(const char* text, int32_t length, int32_t* number, int32_t* part) {
    if (length < 3 || text[0] != '{') return 0;
    auto readNumber = [&](int32_t at, int32_t* value) {
        int32_t v = 0, i = at;
        while (i < length && text[i] >= '0' && text[i] <= '9' && i - at < 5) v = v * 10 + (text[i++] - '0');
        if (i == at || text[at] == '0' || v > int32_t(kParentMask)) return 0;
        *value = v;
        return i - at;
    };
    int32_t at = 1;
    const int32_t digits = readNumber(at, number);
    if (!digits) return 0;
    at += digits;
    *part = 0;
    if (at < length && text[at] == '.') {
        const int32_t partDigits = readNumber(at + 1, part);
        if (!partDigits) return 0;
        at += 1 + partDigits;
    }
    if (at >= length || text[at] != '}') return 0;
    return at + 1;
}

struct TemplateWrite {
    MergedTextParents* parents;
    bool               renumber;
    LayoutNode*        firstRun;  // its leading "=" is dropped
    LayoutNode*        pieces;    // the row a run with references is written as
    LayoutNode*        piece;     // the piece of that row written on its own
    bool               failed;
};

// The first reference in the text that names one of the parents: its offset, length,
// parent number and part, or -1.
int32_t FindParentReference(const TemplateWrite& w, const char* text, int32_t length, int32_t* matched,
                            int32_t* number, int32_t* part) {
    for (int32_t i = 0; i < length; ++i) {
        if (text[i] != '{') continue;
        const int32_t k = MatchReferenceText(text + i, length - i, number, part);
        if (k && *number <= w.parents->count) {
            *matched = k;
            return i;
        }
    }
    return -1;
}

bool AppendRunPiece(LayoutNode* row, const char* text, int32_t n) {
    if (n <= 0) return true;
    LayoutNode* run = CreateLayoutNode(kLayoutTextRun, row, 0);
    return run && SetTextRunBytes(run, text, n);
}

// A text run with references is written as a row of its pieces and reference nodes;
// one that is a single reference as that node alone.
int32_t WriteRunWithReferences(LayoutNode* node, const char* text, int32_t length, char** cursor,
                               LayoutWriteContext* context, bool* wrote) {
    auto* w = static_cast<TemplateWrite*>(context->user);
    int32_t matched = 0, number = 0, part = 0;
    int32_t at = FindParentReference(*w, text, length, &matched, &number, &part);
    *wrote = false;
    if (at < 0) return 0;
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    bool ok = row != nullptr;
    int32_t from = 0;
    while (ok && at >= 0) {
        w->parents->named[number - 1] = 1;
        const int32_t shown = w->renumber ? w->parents->number[number - 1] : number;
        ok = AppendRunPiece(row, text + from, at - from);
        LayoutNode* reference = ok ? CreateReferenceNode(shown, part) : nullptr;
        ok = reference != nullptr;
        if (ok) AppendLayoutChild(row, reference);
        from = at + matched;
        if (!ok) break;
        const int32_t next = FindParentReference(*w, text + from, length - from, &matched, &number, &part);
        at = next < 0 ? -1 : from + next;
    }
    ok = ok && AppendRunPiece(row, text + from, length - from);
    if (!ok) {
        if (row) FreeLayoutNode(row);
        w->failed = true;
        return 0;
    }
    LayoutNode* outer = w->pieces;
    w->pieces = row;
    // Inside a row the pieces become its children; elsewhere they stay a row of their own.
    const bool inRow = node->parent && node->parent->kind == kLayoutRow;
    const bool single = row->firstChild && !row->firstChild->nextSibling;
    int32_t n = 0;
    for (LayoutNode* piece = (inRow || single) ? row->firstChild : row; piece;
         piece = (inRow || single) ? piece->nextSibling : nullptr) {
        LayoutNode* outerPiece = w->piece;
        w->piece = piece;
        const int32_t k = SerializeLayout(piece, cursor ? *cursor : nullptr, context);
        w->piece = outerPiece;
        if (cursor) *cursor += k;
        n += k;
    }
    w->pieces = outer;
    FreeLayoutNode(row);
    *wrote = true;
    return n;
}

int32_t WriteTemplateNode(LayoutNode* node, char** cursor, int32_t* length, LayoutWriteContext* context) {
    auto* w = static_cast<TemplateWrite*>(context->user);
    // What this writer made itself is written as it is.
    if (node == w->piece || (w->pieces && node->parent == w->pieces)) return 0;
    if (node->kind == kLayoutAlternatives) {
        // Only the references made here may become references of the new text.
        LayoutNode* shown = ShownAlternative(node, nullptr);
        int32_t n = 0;
        if (shown) {
            n = SerializeLayout(shown, cursor ? *cursor : nullptr, context);
            if (cursor) *cursor += n;
        } else {
            static const char kEmpty[] = "<0>";
            n = 3;
            if (cursor) {
                std::memcpy(*cursor, kEmpty, 3);
                *cursor += 3;
            }
        }
        *length = n;
        return 1;
    }
    if (node->kind != kLayoutTextRun) return 0;
    int32_t n = 0;
    const char* text = GetTextRun(node, &n);
    if (!text) return 0;
    if (node == w->firstRun && n > 0 && text[0] == '=') {
        w->firstRun = nullptr;
        bool wrote = false;
        int32_t k = WriteRunWithReferences(node, text + 1, n - 1, cursor, context, &wrote);
        if (!wrote) {
            // The rest of the run as it is, or an empty slot for a run that was only "=".
            LayoutNode* rest = CreateLayoutNode(n > 1 ? kLayoutTextRun : kLayoutEmptySlot, nullptr, 0);
            if (!rest || (n > 1 && !SetTextRunBytes(rest, text + 1, n - 1))) {
                if (rest) FreeLayoutNode(rest);
                w->failed = true;
                return 0;
            }
            LayoutWriteContext plain = *context;
            plain.writeNode = nullptr;
            k = SerializeLayout(rest, cursor ? *cursor : nullptr, &plain);
            if (cursor) *cursor += k;
            FreeLayoutNode(rest);
        }
        *length = k;
        return 1;
    }
    bool wrote = false;
    *length = WriteRunWithReferences(node, text, n, cursor, context, &wrote);
    return wrote ? 1 : 0;
}

LayoutNode* FirstTextRun(LayoutNode* tree) {
    for (LayoutNode* n = tree; n; n = NextInTree(n, tree))
        if (n->kind == kLayoutTextRun) return n;
    return nullptr;
}

}  // namespace

ResultCode SerializeMergedText(LayoutNode* tree, char** text, bool renumber, MergedTextParents* parents,
                               int32_t* length) {
    *text = nullptr;
    if (length) *length = 0;
    if (!tree) return kLayoutParseNoMemory;
    if (!parents) {
        LayoutWriteContext plain{ nullptr, nullptr, kWritePlainText, nullptr };
        *text = WriteToBlock(tree, &plain, length);
        return *text ? kLayoutParseOK : kLayoutParseNoMemory;
    }
    for (int32_t i = 0; i < parents->count; ++i) parents->named[i] = 0;
    TemplateWrite w{ parents, false, FirstTextRun(tree), nullptr, nullptr, false };
    LayoutWriteContext context{ nullptr, WriteTemplateNode, 0, &w };
    if (renumber) {
        SerializeLayout(tree, nullptr, &context);
        if (w.failed) return kLayoutParseNoMemory;
        int32_t next = 0;
        for (int32_t i = 0; i < parents->count; ++i) parents->number[i] = parents->named[i] ? ++next : 0;
        w = TemplateWrite{ parents, true, FirstTextRun(tree), nullptr, nullptr, false };
    }
    // Counting and writing each walk the tree once; the first run's "=" is looked for anew.
    const int32_t n = SerializeLayout(tree, nullptr, &context);
    if (w.failed) return kLayoutParseNoMemory;
    char* block = static_cast<char*>(AllocMemory(size_t(n) + 1, 0));
    if (!block) return kLayoutParseNoMemory;
    w.firstRun = FirstTextRun(tree);
    const int32_t written = SerializeLayout(tree, block, &context);
    if (w.failed || written != n) {
        FreeMemory(block);
        return kLayoutParseNoMemory;
    }
    block[n] = '\0';
    *text = block;
    if (length) *length = n;
    return kLayoutParseOK;
}

bool HasOwnText(const SketchObject* object) {
    const CaptionData* d = CaptionDataOf(object);
    if (!d || !d->layout) return false;
    const int32_t parents = ParentCount(object);
    const LayoutNode* root = d->layout;
    if (IsReferenceNode(root, parents)) return false;
    if (root->kind != kLayoutRow) return true;
    for (const LayoutNode* c = root->firstChild; c; c = c->nextSibling)
        if (!IsReferenceNode(c, parents)) return true;
    return false;
}

bool IsMergedOrPeggedText(const SketchObject* o) {
    return o && o->objectClass == kClassCaption &&
           (o->constructionType == kTypeMergedText || o->constructionType == kTypePeggedText);
}

namespace {

// Parents form no cycle, so the look through merged texts ends.
bool FindSubjectAmongParents(SketchObject* object, SketchObject** subject) {
    int32_t count = 0;
    void** parents = PtrListItems(object->parents, &count);
    SketchObject* value = nullptr;
    SketchObject* merged = nullptr;
    int32_t values = 0, mergedTexts = 0;
    for (int32_t i = 0; i < count; ++i) {
        auto* p = static_cast<SketchObject*>(parents[i]);
        if (KindIsA(p->objectKind, kKindCalculation) || KindIsA(p->objectKind, kKindFunction)) {
            value = p;
            ++values;
        } else if (IsMergedOrPeggedText(p)) {
            merged = p;
            ++mergedTexts;
        }
    }
    if (values == 1) {
        *subject = value;
        return true;
    }
    if (values > 1 || mergedTexts != 1) return false;
    return FindSubjectAmongParents(merged, subject);
}

}  // namespace

bool FindMergedTextSubject(SketchObject* object, SketchObject** subject) {
    *subject = nullptr;
    if (!IsMergedOrPeggedText(object)) return false;
    return FindSubjectAmongParents(object, subject);
}

LayoutNode* BuildMergedLayout(SketchObject* const* objects, int32_t count, ScreenPoint* position, TextStyle* style) {
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return nullptr;
    for (int32_t i = 0; i < count; ++i) {
        LayoutNode* reference = CreateReferenceNode(i + 1, 0);
        if (!reference) {
            FreeLayoutNode(row);
            return nullptr;
        }
        AppendLayoutChild(row, reference);
    }
    const SketchObject* caption = nullptr;
    for (int32_t i = 0; i < count && !caption; ++i)
        if (objects[i]->objectClass == kClassCaption) caption = objects[i];
    if (caption) {
        *position = { caption->bounds.left, caption->bounds.top };
        *style = CaptionDataOf(caption)->style;
    } else {
        DefaultObjectPosition(position, kClassCaption);
        *style = TextStyle{};
        DefaultTextStyle(kClassCaption, style);
    }
    return row;
}

int32_t TryCustomTemplate(SketchObject** objects, int32_t* count, LayoutNode** tree, TextStyle* style) {
    *tree = nullptr;
    if (*count < 1 || objects[0]->objectKind != kKindCaption) return kNotATemplate;
    const CaptionData* d = CaptionDataOf(objects[0]);
    if (!d || !d->layout) return kNotATemplate;
    char* plain = nullptr;
    int32_t length = 0;
    if (SerializeMergedText(d->layout, &plain, false, nullptr, &length) != kLayoutParseOK) return kTemplateFailed;
    const bool isTemplate = length > 1 && plain[0] == '=' && std::strstr(plain, "{1}") != nullptr;
    FreeMemory(plain);
    if (!isTemplate) return kNotATemplate;

    // The objects after the caption are numbered from 1.
    const int32_t others = *count - 1;
    const size_t bytes = size_t(others > 0 ? others : 1);
    auto* named = static_cast<uint8_t*>(AllocMemory(bytes, kAllocZero));
    auto* number = static_cast<int32_t*>(AllocMemory(bytes * sizeof(int32_t), kAllocZero));
    int32_t result = kTemplateFailed;
    if (named && number) {
        MergedTextParents parents{ objects + 1, others, named, number };
        char* text = nullptr;
        int32_t n = 0;
        if (SerializeMergedText(d->layout, &text, true, &parents, &n) == kLayoutParseOK) {
            LayoutNode* parsed = nullptr;
            const ResultCode rc = ParseLayoutString(&parsed, text, size_t(n), nullptr);
            FreeMemory(text);
            int32_t kept = 0;
            for (int32_t i = 0; i < others; ++i) kept += named[i];
            // A template that names none of the others would merge nothing.
            if (rc <= kLayoutParseWarning && parsed && kept > 0) {
                *tree = parsed;
                *style = d->style;
                kept = 0;
                for (int32_t i = 0; i < others; ++i)
                    if (named[i]) objects[kept++] = objects[i + 1];
                *count = kept;
                result = kTemplateMade;
            } else if (parsed) {
                FreeLayoutNode(parsed);
            }
        }
    }
    FreeMemory(named);
    FreeMemory(number);
    return result;
}
