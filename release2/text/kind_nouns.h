// figlate's nouns of object kinds. Group 0 holds two texts per kind 1 to 74, item
// 2(kind - 1) the singular and the next the plural; a text holds up to six forms
// separated by group 3 item 48 ("|"): form 0 the bare noun, form 1 with its article
// ("Point|a point", "Points").
#pragma once
#include <cstdint>

constexpr int32_t kNounFormsKept = 6;

struct NounField {
    uint16_t offset;
    uint16_t length;
};

// The character between the forms of a noun (group 3 item 48; "|" without one).
char NounSeparator();

// Form n of text: true, or false when the text has fewer than n + 1 forms (then *out is
// form 0). separator 0 means the separator of group 3 item 48.
bool SplitNounField(const char* text, int32_t n, NounField* out, char separator = 0);

// Reads every noun once and keeps where its forms lie (at engine start).
void PrepareKindNounTable();

// Form `form` of the noun of kind (plural: the plural text) into buffer, cut to
// size - 1 characters with a NUL; "" for a kind outside 1 to 74. The last three nouns
// asked for are cached.
void GetKindNoun(int32_t kind, int32_t plural, int32_t form, char* buffer, uint32_t size);
void GetKindNoun255(int32_t kind, int32_t plural, int32_t form, char* buffer);

// figlate's form of KindNoun (0 singular, 1 plural, 2 with article): a pointer that
// stays valid for the process.
const char* LaterKindNoun(int32_t kind, int32_t form);

// Forgets the noun table, the cache and the kept forms (the tests change the texts).
void ResetKindNouns();
