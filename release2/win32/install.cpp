#include "release2/install.h"

#include "release2/draw/win32/antialias_policy.h"
#include "release2/draw/win32/caption_frame.h"
#include "release2/engine/engine_forms.h"
#include "release2/engine/float_samples.h"
#include "release2/platform/platform_forms.h"
#include "release2/platform/win32/platform_forms_win32.h"
#include "release2/shell/win32/shell_forms.h"
#include "release2/text/caption_width.h"
#include "release2/text/layout_forms.h"
#include "release2/text/text_forms.h"
#include "release2/ui/win32/window_forms_win32.h"
#include "release2/ui/window_forms.h"
#include "release2/win32/module_strings.h"

void InstallLaterRelease() {
    UseModuleStrings();
    LaterReleaseForms forms = {};
    AddTextForms(&forms);
    AddLayoutForms(&forms);
    AddDrawingForms(&forms);
    AddPlatformForms(&forms);
    AddPlatformWin32Forms(&forms);
    AddWindowForms(&forms);
    AddWindowWin32Forms(&forms);
    AddShellForms(&forms);
    AddCaptionForms(&forms);
    AddCaptionFrameForms(&forms);
    AddEngineForms(&forms);
    AddLocusForms(&forms);
    InstallLaterForms(forms);
}
