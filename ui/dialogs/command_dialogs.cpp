#include "ui/dialogs/command_dialogs.h"

// The engine's records come before the Windows headers, whose names some of them reuse.
#include "ui/dialogs/doc_options_dialog.h"
#include "ui/dialogs/iterate_dialog.h"
#include "ui/dialogs/label_multiple_dialog.h"
#include "ui/dialogs/param_color_dialogs.h"
#include "ui/dialogs/parameter_dialog.h"
#include "ui/dialogs/plot_points_dialog.h"
#include "ui/dialogs/pref_dialog.h"
#include "ui/dialogs/properties_sheet.h"
#include "ui/dialogs/table_data_dialogs.h"
#include "ui/dialogs/text_style_dialog.h"
#include "ui/dialogs/transform_dialogs.h"
#include "engine/core/services/later_release.h"
#include "platform/win32/shell_windows.h"

namespace {

int Run(CYRNDialog& dialog, int32_t helpTopic) {
    if (helpTopic != 0) dialog.SetHelpTopic(helpTopic);
    return dialog.DoModal() == IDOK ? IDOK : IDCANCEL;
}

}  // namespace

int RunCommandDialogWindow(int32_t kind, void* record, int32_t (*change)(void*), int32_t helpTopic, int32_t mode) {
    if (!record) return kNoCommandDialog;
    const bool interactive = mode == 1;
    switch (kind) {
    case kDialogTranslate: {
        TranslateDialog dialog(static_cast<TransformSettings*>(record), change, interactive);
        return Run(dialog, helpTopic);
    }
    case kDialogRotate: {
        RotateDialog dialog(static_cast<TransformSettings*>(record), change, interactive);
        return Run(dialog, helpTopic);
    }
    case kDialogDilate: {
        DilateDialog dialog(static_cast<TransformSettings*>(record), change, interactive);
        return Run(dialog, helpTopic);
    }
    case kDialogProperties:
        return RunPropertiesSheet(static_cast<PropertiesPages*>(record), change);
    case kDialogTextStyle: {
        TextStyleDialog dialog(static_cast<TextStyle*>(record));
        return Run(dialog, helpTopic);
    }
    case kDialogPlotPoints: {
        PlotPointsDialog dialog(static_cast<PlotPointsRecord*>(record), change);
        return Run(dialog, helpTopic);
    }
    case kDialogNewParameter: {
        NewParameterDialog dialog(static_cast<ParameterDialogRecord*>(record), change);
        return Run(dialog, helpTopic);
    }
    case kDialogParamColor: {
        ParamColorDialog dialog(static_cast<DialogField*>(record), change, interactive, false);
        return Run(dialog, helpTopic);
    }
    case kDialogParamColorRgb: {
        ParamColorRgbDialog dialog(static_cast<DialogField*>(record), change, interactive);
        return Run(dialog, helpTopic);
    }
    case kDialogIterate: {
        IterateDialog dialog(static_cast<IterateDialogFields*>(record), change);
        return Run(dialog, helpTopic);
    }
    case kDialogAddTableData: {
        AddTableDataDialog dialog(static_cast<TableEntryDialogRecord*>(record), change);
        return Run(dialog, helpTopic);
    }
    case kDialogDocumentOptions: {
        DocOptionsDialog dialog(static_cast<DocOptionsRecord*>(record));
        return Run(dialog, helpTopic);
    }
    case kDialogRemoveTableData: {
        RemoveTableDataDialog dialog(static_cast<TableRemoveDialogRecord*>(record), change);
        return Run(dialog, helpTopic);
    }
    case kDialogLabelMultiple: {
        LabelMultipleDialog dialog(static_cast<LabelMultipleRecord*>(record), change);
        return Run(dialog, helpTopic);
    }
    case kDialogPreferences: {
        CPrefDlg sheet(static_cast<PreferencePageSet*>(record), change);
        return sheet.DoModal() == IDOK ? IDOK : IDCANCEL;
    }
    default:
        if (auto later = LaterForms().window.runCommandDialog) return later(kind, record, helpTopic);
        return kNoCommandDialog;
    }
}
