// The Preferences sheet's rules that need no window: which control shows each field of
// the model's pages, the "Apply To" pair of check boxes, and the math symbol font the
// System page offers first.
#pragma once
#include <cstdint>

struct InstalledFont;

// The control of field `field` of page `page` (the model's page index); 0 for a field
// that no control shows.
int32_t PreferenceControlIdOf(int32_t page, int32_t field);

// The "Apply To" pair: "This Sketch" and "New Sketches".
constexpr int32_t kApplyThisSketchBox  = 1263;
constexpr int32_t kApplyNewSketchesBox = 1264;
struct ApplyToChecks {
    bool thisSketch;
    bool newSketches;
};
// The boxes for an apply mode (0 this sketch, 1 new sketches, 2 both), and back.
ApplyToChecks ApplyToChecksOf(int32_t applyMode);
int32_t ApplyModeOf(ApplyToChecks checks);
// After a click on box `clicked`: one of the two always stays checked, so a click that
// leaves both unchecked checks the other one.
ApplyToChecks ApplyToAfterClick(ApplyToChecks checks, int32_t clicked);

// The face the System page selects among `count` faces: "Symbol" when it has the symbol
// character set, else the face named `preferred`, else the first symbol face, else the
// first one. Names compare without regard to case. -1 when there is no face.
int32_t PreselectMathFont(const InstalledFont* faces, int32_t count, const char* preferred);
