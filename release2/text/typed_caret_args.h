// figlate's caret substitution with typed arguments: "^A" takes argument 0 and so on,
// and "^A|b" picks form 1 (the letter's distance from 'a') of a noun argument.
#pragma once
#include <cstdint>

struct SketchObject;

enum CaretArgKind : int32_t {
    kCaretArgText       = 0,  // text
    kCaretArgTextToo    = 1,  // text
    kCaretArgGroupText  = 2,  // group text (group = first, item = second)
    kCaretArgKindNoun   = 3,  // noun of kind first, plural flag second
    kCaretArgNounLabel  = 4,  // noun and label of object, label level second
    kCaretArgLabel      = 5,  // label of object, level second
};

struct CaretArg {
    int32_t       kind;
    int32_t       first;
    int32_t       second;
    const char*   text;    // kinds 0 and 1
    SketchObject* object;  // kinds 4 and 5
};

// Copies source into destination (size bytes), replacing each code by its argument. A
// replacement goes in only when it and the rest of the source still fit; the literal text
// is copied as far as it fits, never past size - 1, always with a NUL. A code naming an
// argument not passed (or of an unknown kind) expands to nothing. Answers the length of
// the last piece copied, its NUL included.
uint32_t SubstituteCaretArgs(const char* source, char* destination, const CaretArg* args, uint32_t argCount,
                             uint32_t size);
