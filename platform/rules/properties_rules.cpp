#include "platform/rules/properties_rules.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

// One row per control that shows a field: model page, field, control.
struct FieldControl {
    int16_t page;
    int16_t field;
    int32_t control;
};

const FieldControl kFieldControls[] = {
    //  page field control
    {   0,   2,    1066 }, { 0, 4, 1015 }, { 0, 5, 1016 }, { 0, 6, 1159 }, { 0, 7, 1071 },
    {   1,   0,    1064 }, { 1, 1, 1065 }, { 1, 2, 1067 }, { 1, 3, 1100 },
    {   2,   0,    1075 }, { 2, 1, 1073 }, { 2, 2, 1125 }, { 2, 3, 1126 }, { 2, 4, 1127 },
    {   3,   0,    1078 }, { 3, 1, 1266 }, { 3, 2, 1252 },
    {   4,   5,    1330 }, { 4, 6, 1322 }, { 4, 7, 1323 }, { 4, 8, 1133 }, { 4, 9, 1310 },
    {   4,  10,    1313 }, { 4, 11, 1315 }, { 4, 12, 1317 }, { 4, 13, 1319 },
    {   5,   0,    1266 }, { 5, 1, 1129 }, { 5, 2, 1159 },
    {   6,   0,    1130 }, { 6, 1, 1266 },
    {   7,   0,    1145 },
    {   8,   0,    1203 }, { 8, 1, 1213 }, { 8, 2, 1214 }, { 8, 3, 1153 },
    {   9,   0,    1305 }, { 9, 1, 1160 }, { 9, 2, 1159 }, { 9, 3, 1161 }, { 9, 4, 1266 }, { 9, 5, 1252 },
    {   9,   6,    1253 },
    {  10,   0,    1281 }, { 10, 1, 1266 }, { 10, 2, 1294 },
    {  11,   0,    1253 }, { 11, 1, 1254 }, { 11, 2, 1307 }, { 11, 3, 1257 }, { 11, 4, 1258 }, { 11, 5, 1266 },
    {  12,   0,    1159 },
};

// One row per control of the Animate page shown by bits of the motion-parameter word.
struct ShownByBits {
    int32_t control;
    uint32_t bits;
};

constexpr uint32_t B(int bit) { return 1u << bit; }

const ShownByBits kAnimateVisibility[] = {
    //  control  bits
    {   1330,    B(17) | B(26) | B(27) },
    {   1329,    B(17) | B(26) | B(27) },
    {   1133,    B(18) },
    {   1324,    B(28) },
    {   1312,    B(22) | B(23) },
    {   1314,    B(22) | B(23) | B(24) },
    {   1327,    B(22) | B(23) | B(24) },
    {   1326,    B(24) },
    {   1325,    B(22) | B(23) | B(24) },
    {   1316,    B(28) },
    {   1318,    B(28) },
    {   1320,    B(16) },
    {   1321,    B(16) },
    {   1309,    B(24) | B(29) },
    {   1328,    B(25) },
    {   1331,    B(30) },
    {   1332,    B(31) },
};

}  // namespace

int32_t PropertiesControlIdOf(int32_t page, int32_t field) {
    for (const FieldControl& row : kFieldControls)
        if (row.page == page && row.field == field) return row.control;
    return 0;
}

void FormatPropertiesCaption(const char* nounAndLabel, const char* label, char* out, size_t size) {
    if (size == 0) return;
    const char* text = nounAndLabel ? nounAndLabel : "";
    if (std::strlen(text) > kCaptionNounRoom) text = label ? label : "";
    if (std::strlen(text) >= kCaptionPrefixRoom) std::snprintf(out, size, "%s", text);
    else std::snprintf(out, size, "Properties of %s", text);
}

SheetGrowth AnimateSheetGrowth(const DialogRect& group, const DialogRect& tab) {
    constexpr int32_t kMargin = 14;
    SheetGrowth g{ group.right + kMargin - tab.right, group.bottom + kMargin - tab.bottom };
    if (g.dx < 0) g.dx = 0;
    if (g.dy < 0) g.dy = 0;
    return g;
}

bool AnimateControlShown(int32_t controlId, uint32_t word, int32_t rateMode) {
    for (const ShownByBits& row : kAnimateVisibility) {
        if (row.control != controlId) continue;
        if ((word & row.bits) == 0) return false;
        if (controlId == 1314) return rateMode == 0;
        if (controlId == 1327) return rateMode == 1;
        return true;
    }
    return true;
}

int32_t AnimateDirectionFirstItem(uint32_t word) {
    if (word & B(17)) return 8;
    if (word & B(26)) return 12;
    return 16;
}

void DoubleAmpersands(const char* name, char* out, size_t size) {
    if (size == 0) return;
    size_t n = 0;
    for (const char* c = name ? name : ""; *c; ++c) {
        const size_t need = *c == '&' ? 2 : 1;
        if (n + need >= size) break;
        out[n++] = *c;
        if (*c == '&') out[n++] = '&';
    }
    out[n] = '\0';
}
