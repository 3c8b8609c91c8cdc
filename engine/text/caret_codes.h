// Caret codes: "^" and one character inside a group text, replaced when the text is
// shown. Object codes go through a provider callback (ExpandCaretCodes); argument codes
// "^A", "^B", ... take argument texts by index (SubstituteCaretArgs).
#pragma once
#include <cstdint>

// Answers the full length of the code's text; with a destination it also writes the
// first n characters of that text there (no NUL). A provider answers 0 for a code it
// does not know, so an undeclared code expands to nothing.
using CaretCodeProvider = uint32_t (*)(char code, void* context, uint32_t n, char* destination);

// Expands templateLength characters of the template into output. Writing happens when
// capacity and output are both non-zero; otherwise the call measures and answers the
// full expanded length. Callers pass capacity = buffer size - 1 and store the NUL at
// output[result]. cutFlag 0 keeps values whole ("..." in place of a value that does not
// fit, leaving room for the rest of the template); cutFlag 1 cuts a value that does not
// fit. A cut text ends in "...".
uint32_t ExpandCaretCodes(const char* templ, uint32_t templateLength, int32_t cutFlag,
                          uint32_t capacity, char* output, CaretCodeProvider provider,
                          void* context);

// Argument texts as an ExpandCaretCodes provider: "^A" is args[0] and so on. A code
// whose index is not below count (or whose argument is null) expands to nothing.
struct CaretArgs {
    const char* const* args;
    uint32_t           count;
};
uint32_t CaretArgsProvider(char code, void* context, uint32_t n, char* destination);

// Substitutes argument codes in place in a NUL-terminated text inside a buffer of size
// bytes. "^X" with X >= 'A' takes argument X - 'A'; an index not below argCount, a null
// argument, an argument that does not fit and every code after the 512th are dropped
// together with their "^X". With rescan, codes inside an inserted argument are
// substituted in turn (the 512-code limit ends self-referring arguments).
void SubstituteCaretArgs(char* buffer, const char* const* args, uint32_t argCount,
                         uint32_t size, bool rescan);
