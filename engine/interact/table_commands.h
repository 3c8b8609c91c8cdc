// The records of the Add Table Data and Remove Table Data dialogs. The constant words
// describe the dialogs' fields to the platform's dialog code; the engine reads back only
// the choice, the count and the seconds.
#pragma once
#include <cstdint>

struct SketchObject;

constexpr int32_t kAddOneEntryNow       = 0;
constexpr int32_t kAddEntriesAsChanging = 1;
constexpr int32_t kRemoveLastEntry      = 0;
constexpr int32_t kRemoveAllEntries     = 1;
// Entries proposed when the table is not collecting.
constexpr int32_t kDefaultEntryCount    = 10;

struct TableEntryDialogRecord {
    int32_t word0 = 0;
    int32_t word1 = 3;
    int32_t choice = kAddOneEntryNow;
    int32_t word3 = 1;
    int32_t word4 = 5;
    int32_t word5 = 3;
    int32_t count = kDefaultEntryCount;
    int32_t word7 = 25;
    int32_t word8 = 2;
    int32_t word9 = 6;
    int32_t word10 = 3;
    double  seconds = 1.0;
};

struct TableRemoveDialogRecord {
    int32_t word0 = 0;
    int32_t choice = kRemoveLastEntry;
    int32_t word2 = 1;
    int32_t word3 = 3;
};

// The dialog's defaults for a table: the entries it still collects (else 10) and its
// interval in seconds.
void InitTableEntryDialogRecord(TableEntryDialogRecord* record, const SketchObject* table);
