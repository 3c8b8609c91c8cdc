// The object text provider: answers the object caret codes of description, message
// and menu texts ("^A" the object's noun and label, "^B" its first parent, "^#" why
// it does not exist, "^0".."^9" stored values, ...). Its form is a CaretCodeProvider.
#pragma once
#include <cstdint>

struct SketchObject;

// Context handed to ObjectDescriptionField through ExpandCaretCodes.
struct ObjectTextContext {
    SketchObject* object;
    int32_t       piGlyph;  // 1: numbers print pi as the Symbol glyph "p"; 0: as "Pi"
};

// Full length of the code's text for the object; with a destination writes its first
// n characters (no NUL). Parent codes are checked against the object's parent count:
// a code naming a parent the object does not have gives nothing.
uint32_t ObjectDescriptionField(char code, void* context, uint32_t n, char* destination);
