// Turning result codes into what the user sees: the alert table and the two ways of
// showing a code (an alert, or a question that answers yes or no).
#pragma once
#include "engine/core/result_codes.h"

#include <cstdint>

// One row per code that has its own message: the caption and text as items of the
// alert string group, the help topic (0 = none) and whether the alert is a notice (an
// OK button).
struct AlertRecord {
    int32_t code;
    int16_t captionItem;
    int16_t textItem;
    int32_t helpTopic;
    int32_t notice;
};

// The alert string group, which holds every caption and text of the table.
constexpr int32_t kAlertStringGroup = 9;

constexpr int32_t kAlertTableRows = 79;
extern const AlertRecord AlertTable[kAlertTableRows];

// What any code without a row of its own shows.
extern const AlertRecord kGenericAlert;

// The caption and text of a row.
const char* AlertCaption(const AlertRecord& row);
const char* AlertText(const AlertRecord& row);

// The row of a code, or null when the code has none.
const AlertRecord* FindAlertRow(ResultCode code);

// Shows the alert of a code; 0 (success) and 104 (cancelled) show nothing.
void ShowAlertByCode(ResultCode code, uint32_t owner);

// Asks the question of a code with OK/Cancel or Yes/No buttons; true on OK or Yes.
// 0 answers yes and 104 no, both without asking.
bool AskQuestionByCode(ResultCode code, bool okCancel, uint32_t owner);
