// figlate's forms of the frames, bars and dialogs: the choices it makes differently
// (the clipboard viewer chain, no Apply button, the New Tool label, the calculator's
// timer), a child window's close box through the engine's close command, and the
// floating Motion Controller wrapped by chunks. The Windows entries are in
// win32/window_forms_win32.h.
#pragma once
#include <cstdint>

#include "engine/core/services/later_release.h"

// Sets the portable window entries of forms (the rest is left as it is).
void AddWindowForms(LaterReleaseForms* forms);

// A child window's close box: the engine's close command when it is registered and
// enabled, after every activity but a running or paused animation has ended. Always
// takes the command: without the command nothing happens.
bool ChildCloseCommand();

struct BarWrapSize {
    int32_t width;
    int32_t height;
};

// The buttons placed chunk by chunk in rows no wider than `limit`. A chunk runs from a
// button up to the next plain separator; a chunk that would pass the limit on a row
// holding something starts the next row, its leading separator left out, and each new
// row adds buttonHeight + 6. Every row counts for the width, a row of one chunk too.
// Buttons of width 0 are hidden. rowEnds (count entries, may be null): the separator at
// which each row ends.
BarWrapSize WrapBarByChunks(const BarButtonExtent* buttons, int32_t count, int32_t buttonHeight, int32_t limit,
                            bool* rowEnds);

// The floating bar's size for the class library's (width, height) with its borders: the
// height the library gives (or, when the chunks need more at its width, theirs) and the
// narrowest width whose wrap still fits that height.
void FloatingBarSize(const BarButtonExtent* buttons, int32_t count, int32_t buttonHeight, int32_t borderX,
                     int32_t borderY, int32_t* width, int32_t* height, bool* rowEnds);
