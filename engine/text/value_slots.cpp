#include "engine/text/value_slots.h"

#include <cstring>

#include "engine/text/value_text.h"

const char kNumberTemplate[] = "<%'P<?2<+<H<!d7><T2x10>><%6xE<T0x>>><!A5>>'>";

namespace {

bool SlotInList(ValueSlotList list, int32_t slot) {
    int32_t count = 0;
    PtrListSize(list, &count);
    return slot >= 0 && slot < count;
}

// Item pointers are re-read for every store: the arena moves when any list grows.
void StoreSlot(ValueSlotList list, int32_t slot, LayoutNode* node) {
    if (SlotInList(list, slot)) PtrListData(list)[slot] = node;
}

}  // namespace

LayoutNode* ValueSlotNode(ValueSlotList list, int32_t slot) {
    return static_cast<LayoutNode*>(PtrListItem(list, slot));
}

bool CreateValueSlotText(ValueSlotList list, int32_t slot, LayoutNode* parent, LayoutNode** node) {
    if (node) *node = nullptr;
    if (!SlotInList(list, slot)) return false;
    LayoutNode* run = CreateLayoutNode(kLayoutTextRun, parent, 0);
    if (!run) return false;
    StoreSlot(list, slot, run);
    if (node) *node = run;
    return true;
}

ResultCode NumberTemplatePlaceholder(LayoutNode** out, const char* content, int32_t length,
                                     LayoutNode* parent, LayoutParseContext* context) {
    *out = nullptr;
    const auto* target = context ? static_cast<const ValueSlotTarget*>(context->user) : nullptr;
    if (!target || !content || length < 1) return kLayoutParseSyntax;
    const int32_t slot = target->slot + (content[0] == 'P' ? 1 : 2);
    if (!SlotInList(target->list, slot)) return kLayoutParseSyntax;
    LayoutTextCursor cursor{ content + 1, content + length, 0 };
    LayoutNode* node = nullptr;
    const ResultCode r = ParseLayoutElement(&node, &cursor, parent, context);
    if (r >= kLayoutParseNoMemory) return r;
    StoreSlot(target->list, slot, node);
    *out = node;
    return r;
}

bool AddExponentSlots(ValueSlotList list, int32_t slot) {
    LayoutNode* mantissa = ValueSlotNode(list, slot);
    // A mantissa without a parent is its owner's root: a row put in its place would be
    // unreachable to the owner, so the power form needs the mantissa inside a tree.
    if (!mantissa || !mantissa->parent || !SlotInList(list, slot + 2)) return false;
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return false;
    WrapLayoutNode(mantissa, row);

    ValueSlotTarget target{ list, slot };
    LayoutParseContext context{ nullptr, NumberTemplatePlaceholder, &target, 0 };
    LayoutNode* selector = nullptr;
    const ResultCode r = ParseLayoutString(&selector, kNumberTemplate, &context);
    if (r < kLayoutParseNoMemory && selector && ValueSlotNode(list, slot + 1) == selector &&
        ValueSlotNode(list, slot + 2)) {
        AppendLayoutChild(row, selector);
        MarkLayoutDirty(row);
        return true;
    }
    // The parse freed what it built; the slots must not keep pointers into it.
    FreeLayoutNode(selector);
    StoreSlot(list, slot + 1, nullptr);
    StoreSlot(list, slot + 2, nullptr);
    UnwrapLayoutNode(row);  // puts the mantissa back and frees the row
    return false;
}

void SetValueSlotText(ValueSlotList list, int32_t slot, const char* text) {
    LayoutNode* mantissa = ValueSlotNode(list, slot);
    if (!mantissa) return;
    SetTextRunString(mantissa, text);
    if (LayoutNode* selector = ValueSlotNode(list, slot + 1)) SelectAlternative(selector, kSelectPlain);
}

void FormatValueIntoSlots(ValueSlotList list, int32_t slot, double value, int32_t precision,
                          int32_t form) {
    LayoutNode* mantissa = ValueSlotNode(list, slot);
    if (!mantissa) return;
    ValueTexts texts;
    FormatValueTexts(value, precision, form, &texts);

    LayoutNode* selector = ValueSlotNode(list, slot + 1);
    if (texts.scientific && !selector) {
        if (!AddExponentSlots(list, slot)) return;
        selector = ValueSlotNode(list, slot + 1);
    }
    SetTextRunString(mantissa, texts.mantissa);
    if (texts.exponentSet) {
        if (LayoutNode* exponent = ValueSlotNode(list, slot + 2)) SetTextRunString(exponent, texts.exponent);
    }
    if (selector) {
        SelectAlternative(selector, texts.selector);
        RefreshAlternative(selector, texts.selector);
    }
}

LayoutNode* BuildNumberLayout(Sketch* sketch, double value, int32_t precision) {
    if (!sketch) return nullptr;
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    ValueSlotList list = 0;
    if (row && AllocPtrList(3, 3, &list)) {
        void** items = PtrListData(list);
        items[0] = items[1] = items[2] = nullptr;
        if (CreateValueSlotText(list, 0, row, nullptr)) {
            FormatValueIntoSlots(list, 0, value, precision, kValueFormPlain);
        } else {
            FreeLayoutNode(row);
            row = nullptr;
        }
    } else {
        FreeLayoutNode(row);
        row = nullptr;
    }
    FreePtrList(&list);
    SetCurrentSketch(previous, nullptr);
    return row;
}
