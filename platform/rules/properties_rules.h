// Rules of the Properties sheet that need no Windows call: which control shows each
// field of each page, the sheet's caption for an object, how far the Animate page makes
// the sheet grow, which of its controls a motion-parameter word shows, the direction
// words it offers, and page names made safe for menus and buttons.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/rules/dialog_rules.h"

// The control of field `field` of model page `page`; 0 for a field without one.
int32_t PropertiesControlIdOf(int32_t page, int32_t field);

// The caption for an object whose noun and label read `nounAndLabel` and whose label
// alone reads `label`: "Properties of " and the shorter of the two that fits, or a long
// label alone.
void FormatPropertiesCaption(const char* nounAndLabel, const char* label, char* out, size_t size);
constexpr size_t kCaptionNounRoom = 30;    // longer: the label alone
constexpr size_t kCaptionPrefixRoom = 50;  // as long or longer: without "Properties of"

// How much the sheet grows so that the Animate page's range group, with a margin of 14
// pixels, fits inside the tab control; never negative.
struct SheetGrowth {
    int32_t dx, dy;
    bool operator==(const SheetGrowth&) const = default;
};
SheetGrowth AnimateSheetGrowth(const DialogRect& group, const DialogRect& tabControl);

// Whether the Animate page shows a control for the packed motion-parameter word (bit 0
// the lowest). `rateMode` is the Continuously/Discretely field's value when that field
// is visible, else -1. Controls the table does not name are always shown.
bool AnimateControlShown(int32_t controlId, uint32_t word, int32_t rateMode);

// The first string group 17 item of the four direction words for the word: along a
// path, round a circle, or up and down a number range.
int32_t AnimateDirectionFirstItem(uint32_t word);

// Copies `name` doubling every "&", so a menu or button shows it as typed; what does
// not fit (with its terminator) is cut, never in the middle of a doubled pair.
void DoubleAmpersands(const char* name, char* out, size_t size);
