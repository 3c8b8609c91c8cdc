#include "engine/core/alerts.h"

#include "engine/core/services/alerts.h"
#include "engine/core/services/string_groups.h"

#include <iterator>

// Searched front to back; the rows are not in code order.
const AlertRecord AlertTable[kAlertTableRows] = {
    //  code caption text help notice   (caption and text are items of the alert group)
    { 110,   0,   1,  0, 0 },  // "Split/Merge"
    { 109,   2,   3,  0, 0 },  // "Locus"
    { 100,   4,   5,  0, 0 },  // "Memory"
    { 200,   9,  10,  0, 0 },  // "Custom Tool"
    { 201,   9,  11,  0, 0 },  // "Custom Tool"
    { 204,   9,  12,  0, 0 },  // "Custom Tool"
    { 102,   8,  13,  0, 0 },  // "Motion"
    { 103,   8,  14,  0, 0 },  // "Motion"
    { 106,   8,  15,  0, 0 },  // "Motion"
    { 107,   8,  16,  0, 0 },  // "Motion"
    { 105,  17,  18,  0, 0 },  // "Reflect"
    { 111,  19,  20,  0, 0 },  // "Cannot Rotate"
    { 112,  21,  22,  0, 0 },  // "Cannot Dilate"
    { 113,  21,  23,  0, 0 },  // "Cannot Dilate"
    { 114,  24,  25,  0, 0 },  // "Undefined Angle"
    { 115,  26,  27,  0, 0 },  // "Undefined Scale Factor"
    { 116,  28,  29,  3, 0 },  // "Center Doesn't Exist"
    { 117,  30,  31,  0, 0 },  // "Undefined Distance"
    { 118,  32,  33,  0, 0 },  // "Undefined Vector"
    { 119,  34,  35,  0, 0 },  // "Mirror Doesn't Exist"
    { 120,  36,  37,  0, 0 },  // "Transforming Center Only"
    { 121,  38,  39,  0, 0 },  // "Reflecting Mirror Only"
    { 205,  40,  41,  0, 0 },  // "Duplicate Name"
    { 122,  42,  43,  0, 0 },  // "Merged Text"
    { 123,  42,  44,  0, 0 },  // "Merged Text"
    { 124,  42,  45,  0, 0 },  // "Merged Text"
    { 125,  42,  46,  0, 0 },  // "Merged Text"
    { 126,  47,  48,  0, 1 },  // "Units Warning"
    { 127,  49,  50,  0, 0 },  // "New Coordinate System"
    { 128,  49,  51,  0, 0 },  // "New Coordinate System"
    { 129,  52,  53,  0, 0 },  // "Text Tool"
    { 400,  54,  55,  0, 0 },  // "Broken Link"
    { 404,  54,  56,  0, 0 },  // "Broken Link"
    { 405,  57,  59,  0, 0 },  // "Pages Removed"
    { 403,  60,  61,  0, 0 },  // "Link Failed"
    {  33,  62,  63,  0, 0 },  // "Document Problem"
    {  34,  62,  64,  0, 0 },  // "Document Problem"
    {  35,  62,  65,  0, 0 },  // "Document Problem"
    {  40,  62,  66,  0, 0 },  // "Document Problem"
    {   1,  67,  68,  0, 1 },  // "Imported Document"
    {   9,  69,  70,  0, 1 },  // "Document Notice"
    {  29,  62,  71,  0, 0 },  // "Document Problem"
    {  37,  62,  72,  0, 0 },  // "Document Problem"
    {  38,  62,  73,  0, 0 },  // "Document Problem"
    {  19,  62,  74,  0, 0 },  // "Document Problem"
    {  10,  69,  75,  0, 1 },  // "Document Notice"
    {  13,  76,  77,  0, 1 },  // "Vantrope"
    {  14,  76,  78, 47, 1 },  // "Vantrope"
    {  15,  76,  79, 46, 1 },  // "Vantrope"
    {  16,  76,  80, 46, 1 },  // "Vantrope"
    {  11,  69,  81,  0, 1 },  // "Document Notice"
    {   6,  69,  82,  0, 1 },  // "Document Notice"
    {   7,  69,  83,  0, 1 },  // "Document Notice"
    {   8,  69,  84,  0, 1 },  // "Document Notice"
    { 132,  85,  86,  0, 1 },  // "Derivatives"
    { 133,  85,  87,  0, 1 },  // "Derivatives"
    { 134,  85,  88,  0, 1 },  // "Derivatives"
    { 135,  85,  89,  0, 0 },  // "Derivatives"
    { 136,   6,  90,  0, 0 },  // "Error"
    { 137,  91,  92,  0, 1 },  // "Restart Needed"
    { 138,  91,  93,  0, 1 },  // "Restart Needed"
    { 142,  94,  95,  0, 0 },  // "Fixed Unit Length"
    { 406,  60,  96,  0, 0 },  // "Link Failed"
    { 143,  97,  98,  0, 1 },  // "Trigonometric Functions"
    {   4,  69,  99,  0, 1 },  // "Document Notice"
    {  12,  69, 100,  0, 1 },  // "Document Notice"
    { 139,   6, 101,  0, 1 },  // "Error"
    { 140,   6, 102,  0, 1 },  // "Error"
    { 144, 103, 104,  0, 0 },  // "Missing Destination Images"
    { 145, 103, 105,  0, 0 },  // "Missing Destination Images"
    { 146, 103, 106,  0, 0 },  // "Missing Destination Images"
    { 147, 107, 108,  0, 1 },  // "Conflicting Pre-Images"
    { 148, 109, 110,  0, 0 },  // "Presentation"
    { 149, 109, 111,  0, 0 },  // "Presentation"
    { 408, 112, 113,  0, 0 },  // "Help Not Found"
    { 409, 114, 115,  0, 0 },  // "Printing Problem"
    { 410, 114, 116,  0, 0 },  // "Printing Problem"
    { 202, 124, 117,  0, 0 },  // "Step-By-Step Warning"
    { 150, 118, 119,  0, 1 },  // "Custom Tools"
};
static_assert(std::size(AlertTable) == kAlertTableRows);

// "Error": "That operation could not complete because an error occurred."
const AlertRecord kGenericAlert = { 0, 6, 7, 0, 0 };

const char* AlertCaption(const AlertRecord& row) { return GroupText(kAlertStringGroup, row.captionItem); }
const char* AlertText(const AlertRecord& row) { return GroupText(kAlertStringGroup, row.textItem); }

const AlertRecord* FindAlertRow(ResultCode code) {
    for (const AlertRecord& row : AlertTable)
        if (row.code == code) return &row;
    return nullptr;
}

namespace {

const AlertRecord& AlertRowOrGeneric(ResultCode code) {
    const AlertRecord* row = FindAlertRow(code);
    return row != nullptr ? *row : kGenericAlert;
}

}  // namespace

void ShowAlertByCode(ResultCode code, uint32_t owner) {
    if (code == kResultOK || code == kResultCancelled) return;
    const AlertRecord& row = AlertRowOrGeneric(code);
    ShowAlert(AlertCaption(row), AlertText(row), code, row.helpTopic, owner, row.notice != 0);
}

bool AskQuestionByCode(ResultCode code, bool okCancel, uint32_t owner) {
    if (code == kResultOK) return true;
    if (code == kResultCancelled) return false;
    const AlertRecord& row = AlertRowOrGeneric(code);
    return AskQuestion(AlertCaption(row), AlertText(row), okCancel ? kQuestionOkCancel : kQuestionYesNo,
                       code, owner);
}
