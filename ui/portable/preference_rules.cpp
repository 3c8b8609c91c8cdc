#include "ui/portable/preference_rules.h"

#include <cctype>
#include <iterator>

#include "platform/rules/font_list.h"

namespace {

// One row per page: the control of fields 0, 1, ... (0: no control).
constexpr int32_t kMaxPageFields = 7;
constexpr int32_t kControlIds[][kMaxPageFields] = {
    { 1110, 1108, 1111, 1112, 1115, 0, 0 },     // Units
    { 1159, 1166, 1261, 0, 0, 0, 0 },           // Color: the colour buttons draw fields 3.. themselves
    { 1105, 1106, 1159, 0, 0, 0, 0 },           // Text
    { 1159, 1279, 1280, 0, 0, 0, 0 },           // Export
    { 1256, 1257, 1258, 1259, 0, 0, 0 },        // Sampling
    // System: field 5 is the colour menu's block; field 6, the anti-aliasing choice,
    // exists in the later release only.
    { 1252, 1254, 1253, 1255, 1280, 0, 1281 },
};

bool SameName(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const int x = std::tolower(static_cast<unsigned char>(*a));
        const int y = std::tolower(static_cast<unsigned char>(*b));
        if (x != y) return false;
        if (x == 0) return true;
    }
}

}  // namespace

int32_t PreferenceControlIdOf(int32_t page, int32_t field) {
    if (page < 0 || page >= static_cast<int32_t>(std::size(kControlIds))) return 0;
    if (field < 0 || field >= kMaxPageFields) return 0;
    return kControlIds[page][field];
}

ApplyToChecks ApplyToChecksOf(int32_t applyMode) { return { applyMode != 1, applyMode != 0 }; }

int32_t ApplyModeOf(ApplyToChecks checks) {
    if (checks.thisSketch && checks.newSketches) return 2;
    return checks.thisSketch ? 0 : 1;
}

ApplyToChecks ApplyToAfterClick(ApplyToChecks checks, int32_t clicked) {
    if (checks.thisSketch || checks.newSketches) return checks;
    if (clicked == kApplyThisSketchBox) checks.newSketches = true;
    else if (clicked == kApplyNewSketchesBox) checks.thisSketch = true;
    return checks;
}

int32_t PreselectMathFont(const InstalledFont* faces, int32_t count, const char* preferred) {
    if (!faces || count <= 0) return -1;
    for (int32_t i = 0; i < count; ++i)
        if (faces[i].charset == kSymbolCharset && SameName(faces[i].faceName, "Symbol")) return i;
    if (preferred && preferred[0])
        for (int32_t i = 0; i < count; ++i)
            if (SameName(faces[i].faceName, preferred)) return i;
    for (int32_t i = 0; i < count; ++i)
        if (faces[i].charset == kSymbolCharset) return i;
    return 0;
}
