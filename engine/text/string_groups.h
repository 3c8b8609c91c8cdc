// The engine's user-visible texts, addressed by (group, item). Texts are 8-bit code
// page 1252 and may carry caret codes ("^A", "^#", ...) that the caret expanders fill.
#pragma once
#include <cstdint>

#include "engine/core/services/string_groups.h"

constexpr int32_t kStringGroupCount = 24;

// One row per group, in group order: the group number equals the row index.
struct StringGroupRow {
    uint32_t           group;
    const char* const* items;
    uint16_t           itemCount;
};

extern const StringGroupRow StringGroupTable[kStringGroupCount];

// Item count of a group; 0 for a group outside the table.
uint16_t StringGroupItemCount(int32_t group);


// Copies the text into buffer (at most size bytes), zero-fills the rest and forces
// buffer[size - 1] to NUL. A pair outside the table gives the empty text.
void GetGroupString(int32_t group, int32_t item, char* buffer, uint32_t size);

// Copies the text, cut to 255 characters, into a 256-byte buffer; answers its length.
uint32_t CopyGroupString256(int32_t group, int32_t item, char* buffer);

// Position of the first occurrence of ch in the item's text (its first 254 characters).
bool GroupStringIndexOf(char ch, int32_t group, int32_t item, int32_t* index);

// Appends n bytes of text (n = 0: all of it) at the first NUL among the first size - 1
// bytes, never writing past byte size - 1, and terminates. Answers the bytes appended;
// when the first size - 1 bytes hold no NUL nothing is written.
uint32_t AppendToFixedBuffer(char* buffer, uint32_t size, const char* text, uint32_t n);

// Nouns of object kinds in group 0: three items per kind 1..74.
enum KindNounForm : int32_t { kNounSingular = 0, kNounPlural = 1, kNounWithArticle = 2 };
constexpr int32_t kFirstNounKind = 1;
constexpr int32_t kLastNounKind  = 74;
// Group 0 item of a kind's noun, or -1 for a kind without one (then GroupText gives "").
int32_t KindNounItem(int32_t kind, KindNounForm form);
const char* KindNoun(int32_t kind, KindNounForm form);
// The noun of a group 0 item numbered as above (a stored KindNounItem), and the noun
// copied as GetGroupString copies. Callers go through these rather than computing items
// of group 0: the later release packs that group its own way.
const char* KindNounOfItem(int32_t item);
void GetKindNounString(int32_t kind, KindNounForm form, char* buffer, uint32_t size);
