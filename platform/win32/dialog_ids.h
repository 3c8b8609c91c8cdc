// Templates and controls of the dialogs the platform services make themselves. Also
// read by the resource compiler: definitions only.
#pragma once

#define IDD_PROGRESS       210
#define IDC_PROGRESS_BAR   1205
