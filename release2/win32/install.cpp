#include "release2/install.h"

#include "release2/draw/win32/antialias_policy.h"
#include "release2/text/text_forms.h"
#include "release2/win32/module_strings.h"

void InstallLaterRelease() {
    UseModuleStrings();
    LaterReleaseForms forms = {};
    AddTextForms(&forms);
    AddDrawingForms(&forms);
    InstallLaterForms(forms);
}
