#include "release2/text/text_forms.h"

#include "release2/text/key_names.h"

void AddTextForms(LaterReleaseForms* forms) {
    forms->text.formatCommandKeyText = FormatAcceleratorName;
}
