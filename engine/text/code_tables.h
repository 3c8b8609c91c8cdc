// Conversion of texts between the character sets a document may have been written in.
// One Mac table serves both the older-format import and the conversion of documents
// read with a foreign character set, so the two can never disagree.
#pragma once
#include <cstdint>

// Character sets a document may name; 0 and 1 are numbers without tables.
constexpr int32_t kCharsetMac     = 2;  // the Mac's Roman set
constexpr int32_t kCharsetWindows = 3;  // code page 1252, the program's own
constexpr int32_t kCharsetCount   = 4;

// Mac byte 0x80 + i as a code page 1252 byte; 0 where 1252 has no such character (the
// byte is then kept).
extern const uint8_t kMacToWindowsHigh[128];
// Mac pi, which becomes the two letters "pi".
constexpr uint8_t kMacPi = 0xB9;

// A source sequence and what it becomes; a null `from` ends the list.
struct CodeSequence {
    const char* from;
    const char* to;
};
struct CodeTable {
    uint8_t      highMap[128];  // target byte for source byte 0x80 + i; 0 keeps the byte
    CodeSequence sequences[3];  // at most two, then a null pair
};

// The table from `source` to `target`, or null (also for numbers outside 0..3).
const CodeTable* FindCodeTable(int32_t source, int32_t target);
bool HasCodeTable(int32_t source, int32_t target);

// One pass over `text` (`length` bytes) with the table from `source` to `target`.
// Answers the converted length; with `out` null only counts. `out` is written only once
// something differs (the unchanged beginning then in one piece) or, when nothing did, with
// the whole text at the end; it must hold the counted length. *changed tells which.
uint32_t MapTextWithCodeTable(char* out, int32_t target, const char* text, uint32_t length, int32_t source,
                              bool* changed);

// Converts the AllocMemory block *text of `length` bytes in place of itself: an unchanged
// text keeps its block; a changed one gets a new block of the converted length (+1 and a
// NUL with `addNul`) allocated with `allocFlags`, the old one freed. *newLength is the new
// length without the NUL. 1, or 0 when out of memory: the text and *newLength stay as
// they were.
int32_t ConvertTextCharset(char** text, uint32_t length, bool addNul, uint32_t* newLength, int32_t source,
                           int32_t target, uint32_t allocFlags);
