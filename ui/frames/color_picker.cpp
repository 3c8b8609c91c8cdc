// The system's colour dialog for the colour commands and the dialogs, owned by the main
// frame, with the colour services' custom colours.
#include <windows.h>
#include <commdlg.h>

#include "engine/core/services/dialogs.h"
#include "engine/core/services/later_release.h"
#include "platform/win32/custom_colors.h"
#include "ui/app/main_app.h"
#include "ui/dialogs/pref_dialog.h"
#include "ui/frames/main_frame.h"

bool OpenColorPicker(uint32_t* color) {
    CMainFrame* frame = TheMainFrame();
    HWND focus = GetFocus();
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = frame ? frame->m_hWnd : nullptr;
    choose.rgbResult = *color & 0xFFFFFF;
    choose.lpCustColors = CustomColorArray();
    // Without a dialog template of our own: the system's layout is the one users know.
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_SHOWHELP | CC_ANYCOLOR;
    // Where the program answers the Help button itself, the picker's topic opens.
    if (LaterForms().window.colorPickerMessage) {
        choose.Flags |= CC_ENABLEHOOK;
        choose.lpfnHook = ColorPickerHelpHook;
    }
    // The menu idle timer keeps the sketches' motions going while the dialog is up.
    StartMenuIdleTimer();
    const bool accepted = ChooseColorA(&choose) != FALSE;
    StopMenuIdleTimer();
    if (focus && IsWindow(focus)) SetFocus(focus);
    if (accepted) *color = choose.rgbResult & 0xFFFFFF;
    return accepted;
}
