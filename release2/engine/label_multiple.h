// Label Multiple Objects: the user types the first label of a sequence and every
// selected object, in the order it was selected, takes the next label of it. And the
// label command that runs it for several objects.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/dialogs.h"

struct LayoutNode;
struct LayoutParseContext;
struct SketchObject;

// Group 17 items of the example: the template, the separator, the blank template.
constexpr int32_t kLabelSampleTemplateItem  = 88;
constexpr int32_t kLabelSampleSeparatorItem = 89;
constexpr int32_t kLabelSampleBlankItem     = 90;
constexpr int32_t kLabelSampleCount = 5;

// Labels the selection of the current sketch through the dialog.
void LabelMultipleObjects();

// The change routine of the dialog: true when the typed label (cut to 75 characters)
// differs from the remembered one, which is then renewed with enableBits.
bool LabelTextChanged(LabelMultipleRecord* record);
// The dialog's change routine in its calling form.
int32_t LabelTextChangedRoutine(void* record);

// The example of the labels that follow the typed one, or null (nothing to show).
LayoutNode* BuildLabelSampleLayout(const char* typed);
// The placeholder of the example's template: a row of the first labels; 0, or 2 when
// memory runs out. The context's user is the typed label.
ResultCode FillLabelSamplePlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                      LayoutParseContext* context);

// Whether the object shows its label, as the dialog's check box counts it.
bool ShowsLabelForLabelling(const SketchObject* object);

// The label command: several objects are labelled in a sequence; one shows its label and
// opens its Properties on the label page.
ResultCode LabelCommand(int32_t argument);
