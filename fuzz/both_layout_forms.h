// Runs a layout fuzz input through figmantle's forms and then through figlate's (which
// wrap text blocks), telling the run which it is in.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/core/services/later_release.h"
#include "release2/text/layout_forms.h"

template <typename Run>
int RunWithBothLayoutForms(const uint8_t* data, size_t size, Run run) {
    run(data, size, false);
    LaterReleaseForms forms{};
    AddLayoutForms(&forms);
    InstallLaterForms(forms);
    run(data, size, true);
    ResetLaterForms();
    return 0;
}
