#include "tests/support/color_picker_double.h"

#include "engine/core/services/dialogs.h"

namespace {
ColorPickerScript gScript;
}  // namespace

ColorPickerScript& TestColorPicker() { return gScript; }

bool OpenColorPicker(uint32_t* color) {
    ++gScript.opens;
    gScript.openedWith = *color;
    if (gScript.accept) *color = gScript.answer;
    return gScript.accept;
}
