#include "release2/install.h"

#include "release2/commands/command_forms.h"
#include "release2/draw/win32/antialias_policy.h"
#include "release2/platform/platform_forms.h"
#include "release2/platform/win32/platform_forms_win32.h"
#include "release2/shell/win32/shell_forms.h"
#include "release2/text/layout_forms.h"
#include "release2/text/text_forms.h"
#include "release2/ui/win32/plot_table_dialog.h"
#include "release2/win32/module_strings.h"

void InstallLaterRelease() {
    UseModuleStrings();
    LaterReleaseForms forms = {};
    AddTextForms(&forms);
    AddCommandForms(&forms);
    forms.commands.runCommandDialog = RunLaterCommandDialog;
    AddLayoutForms(&forms);
    AddDrawingForms(&forms);
    AddPlatformForms(&forms);
    AddPlatformWin32Forms(&forms);
    AddShellForms(&forms);
    InstallLaterForms(forms);
}
