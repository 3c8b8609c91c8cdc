// Value slots: the layout nodes into which a number is written for display. A value
// takes three consecutive items of its owner's ValueSlotList from its slot index i:
// i the mantissa text run, i + 1 the selector ('?' node: nothing, "x 10^E", infinity),
// i + 2 the exponent text run. The last two stay null until a value first needs them.
#pragma once
#include <cstdint>

#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/text/layout.h"

// A PtrList of LayoutNode pointers in the current arena.
using ValueSlotList = PtrList;

// The number template: a selector whose alternative 1 is the multiplication sign, "10"
// and the exponent slot as superscript, and whose alternative 2 is the infinity sign.
extern const char kNumberTemplate[];

// The node in a slot, or null for a slot outside the list.
LayoutNode* ValueSlotNode(ValueSlotList list, int32_t slot);

// Creates a text run as the parent's last child and stores it in the slot. False when
// the slot is outside the list or memory runs out (then nothing is created).
bool CreateValueSlotText(ValueSlotList list, int32_t slot, LayoutNode* parent, LayoutNode** node);

// Writes value into the slots from `slot` on: precision -1 general, 0..8 decimals; form
// a ValueForm. Builds the selector and exponent the first time a value needs them; when
// that fails the mantissa keeps its last form. Nothing happens without a mantissa.
void FormatValueIntoSlots(ValueSlotList list, int32_t slot, double value, int32_t precision,
                          int32_t form);

// Wraps the mantissa in a row followed by the selector built from the number template,
// filling slots i + 1 and i + 2. The mantissa must have a parent. On failure the
// mantissa is back in its place and both slots are null again.
bool AddExponentSlots(ValueSlotList list, int32_t slot);

// Placeholder callback of the number template: "P..." becomes the selector (slot i + 1),
// any other letter the exponent (slot i + 2). Context user data is a ValueSlotTarget.
struct ValueSlotTarget {
    ValueSlotList list;
    int32_t       slot;
};
ResultCode NumberTemplatePlaceholder(LayoutNode** out, const char* content, int32_t length,
                                     LayoutNode* parent, LayoutParseContext* context);

// Sets the mantissa's text; a selector present goes back to showing nothing.
void SetValueSlotText(ValueSlotList list, int32_t slot, const char* text);

// A row holding value in the plain form, built with a scratch slot list in the sketch's
// arena: the sketch is current for the duration, and the previous one again afterwards.
LayoutNode* BuildNumberLayout(Sketch* sketch, double value, int32_t precision);
