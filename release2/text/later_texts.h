// figlate's string resources, built from the engine's string groups (the one source of
// every text both programs show): each group at its own string ids, group 0 repacked as
// "Noun|noun with article" and "Nouns", group 5 the credit pages of the about box, and
// the texts only figlate has. The build writes them as a resource script
// (release2/generate/); the tests read them back and compare.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// First and last string id of each group; groups start on multiples of 16 so that each
// starts a string-table block of its own.
struct LaterTextGroup {
    uint16_t first;
    uint16_t last;
};
constexpr int32_t kLaterTextGroupCount = 24;
extern const LaterTextGroup LaterTextGroups[kLaterTextGroupCount];

// Group items only figlate has.
constexpr int32_t kLaterItemSaveAsHtml   = 196;  // group 1: "Save &As HTML..."
constexpr int32_t kLaterItemPlotTableData = 197;  // group 1: "Plot &Table Data..."
constexpr int32_t kLaterItemNounSeparator = 48;  // group 3: separates the forms of a noun
constexpr int32_t kLaterItemPlotTableTitle = 136;  // group 9
constexpr int32_t kLaterItemPlotTableText  = 137;  // group 9

struct LaterString {
    uint16_t    id;
    std::string text;
};

struct LaterTexts {
    std::vector<uint16_t>    groupTable;  // the RCDATA words: count, then first and last id per group
    std::vector<LaterString> strings;     // ascending ids, none empty
    std::string              error;       // why the texts cannot be built ("" when they can)
};

LaterTexts BuildLaterTexts();

// Bytes that the resource compiler drops from a string without a word (code page 1252
// has no character there): a text holding one cannot be shipped.
bool IsDroppedByResourceCompiler(unsigned char byte);
