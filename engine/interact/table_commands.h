// The records of the Add Table Data and Remove Table Data dialogs: field entries the
// platform's dialogs exchange with their controls.
#pragma once
#include <cstdint>

#include "engine/core/services/dialogs.h"

struct SketchObject;

constexpr int32_t kAddOneEntryNow       = 0;
constexpr int32_t kAddEntriesAsChanging = 1;
constexpr int32_t kRemoveLastEntry      = 0;
constexpr int32_t kRemoveAllEntries     = 1;
// Entries proposed when the table is not collecting.
constexpr int32_t kDefaultEntryCount    = 10;

// Bounds of the count of entries collected as values change.
constexpr int32_t kFewestEntries = 2;
constexpr int32_t kMostEntries   = 25;

// Field entries of Add Table Data: the choice (radio 0..1), the count and the interval.
struct TableEntryDialogRecord {
    DialogField choice  = {kFieldChoice, kFieldEnabled | kFieldVisible, {.integer = kAddOneEntryNow}, 1, 0};
    DialogField count   = {kFieldInteger, kFieldEnabled | kFieldVisible, {.integer = kDefaultEntryCount},
                           kMostEntries, kFewestEntries};
    DialogField seconds = {kFieldNumber, kFieldEnabled | kFieldVisible, {.real = 1.0}, 0, 0};
};

// Remove Table Data: one radio group, last entry (0) or all (1).
struct TableRemoveDialogRecord {
    DialogField choice = {kFieldChoice, kFieldEnabled | kFieldVisible, {.integer = kRemoveLastEntry}, 1, 0};
};

// The dialog's defaults for a table: the entries it still collects (else 10) and its
// interval in seconds.
void InitTableEntryDialogRecord(TableEntryDialogRecord* record, const SketchObject* table);
