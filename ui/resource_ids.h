// Resource numbers of the program, shared by the resource script and the code.
#pragma once

// Menus, accelerators, icons and document strings.
#define IDR_MAINFRAME          128  // main frame: icon, menu without documents, accelerators
#define IDR_DOCUMENT           129  // the document template: menu bar and document strings
#define IDR_SERVER_INPLACE     4    // an embedded sketch active in place: menu and keys
#define IDR_SERVER_EMBEDDING   5    // an embedded sketch open in its own frame: menu and keys
#define IDM_TEXT_POPUP         213  // the Text pop-up of the run-time menus (larger, smaller)

// Bitmaps.
#define IDB_TOOLBOX            1103
#define IDB_TOOL_ICONS         156   // the pop-out palettes' icons, 20 x 19 per tool
#define IDB_SPLASH             102   // the product picture on screens of more than 8 bits
#define IDB_SPLASH_256         253   // the same for 256-colour screens
#define IDB_TEXT_PALETTE       139   // the text palette's buttons, 16 pixels
#define IDB_TEXT_PALETTE_LARGE 141   // the same, 24 pixels
#define IDB_TRUETYPE_GLYPH     167   // the mark of TrueType faces in the font list
#define IDB_NO_COLOR           255   // the swatch of texts without one colour
#define IDB_NOTATION_BAR       1116  // the notation bar's buttons, 16 pixels
#define IDB_NOTATION_BAR_LARGE 1117  // the same, 24 pixels
#define IDB_MOTION_BAR         227   // the Motion Controller's buttons, 50 x 16
#define IDB_MOTION_BAR_LARGE   271   // the same, 62 x 20

// Cursors of the sketch view, by the engine's cursor kind.
#define IDC_ACTION_BUTTON      149
#define IDC_OVER_OBJECT        161
#define IDC_SELECT_ARROW       162
#define IDC_STRETCH            163
#define IDC_TEXT_NOTHING       164
#define IDC_TEXT_LABEL_TOGGLE  165
#define IDC_OVER_LABEL         166
#define IDC_SCROLLING          186
#define IDC_TOOL               188
#define IDC_SCROLL_HAND        189
// Over a line that drags up or down a list (script view givens, Document Options).
#define IDC_DRAG_LIST_LINE     187

// Strings.
#define IDS_TEXT_POPUP         213  // its title
#define IDS_OLE_INIT_FAILED    100
#define IDS_MOTION_CONTROLLER  1199
#define IDS_MOTION_SPEED_LABEL 1198
#define IDS_SET_TARGET         1200
#define IDS_TARGET_ALL         1201
#define IDS_TARGET_NONE        1202
#define IDS_TARGET_PREFIX      1203
#define IDS_TEXT_PALETTE       1204
#define IDS_NOTATION_BAR       1205
#define IDS_SCRIPT_VIEW        1206
#define IDS_SECOND_COPY        32777
#define IDS_SIZE_NOT_A_NUMBER  214
#define IDS_SIZE_OUT_OF_RANGE  215

// Commands of the program's own.
#define ID_APP_QUIT            57665  // the frame's Quit item (the library's exit)
#define ID_STOP_ALL_MOTIONS    32847
#define ID_TEXT_STYLE_DIALOG   32894
#define ID_ARC_SECTOR          32895
#define ID_LARGER_TEXT         32892
#define ID_SMALLER_TEXT        32893
#define ID_FIRST_TEXT_STYLE    32881  // plain, bold, underline, italic, overbar, sizes, steps
#define ID_LAST_TEXT_STYLE     32893
#define ID_DELETE_BACKWARD     33911
#define ID_EDIT_TOOLBOX_ICONS  32858

// Toolbox buttons.
#define ID_TOOL_POINT          32774
#define ID_TOOL_COMPASS        32775
#define ID_TOOL_TEXT           32779
#define ID_TOOL_CUSTOM         32781
#define ID_TOOL_ARROW          32782
#define ID_TOOL_STRAIGHTEDGE   32783

// Windows of the main frame's palettes.
#define IDW_TEXT_PALETTE       0xE804
#define IDW_NOTATION_BAR       0xE805
#define IDW_SCRIPT_VIEW        0xE806

// Dialog templates and their controls.
#define IDD_NEW_TOOL           152
#define IDD_ALERT              171
#define IDD_CALCULATOR         172
#define IDD_SCRIPT_VIEW        259
#define IDC_TOOL_NAME          1059
#define IDC_TOOL_NAME_LABEL    1060
#define IDC_ALERT_MESSAGE      1077
#define IDC_SHOW_SCRIPT_VIEW   1362

// Templates of the command dialogs (their controls keep the numbers the dialogs use).
#define IDD_TRANSLATE          140
#define IDD_ROTATE             141
#define IDD_DILATE             142
#define IDD_PLOT_POINTS        185
#define IDD_TEXT_STYLE         180
#define IDD_PARAM_COLOR        199
#define IDD_PARAM_COLOR_RGB    200
#define IDD_NEW_PARAMETER      244
#define IDD_PREVIEW_BAR        237
#define IDB_PREVIEW_NEXT       265
#define IDB_PREVIEW_PREV       1118
#define IDB_PREVIEW_ZOOM_IN    1119
#define IDB_PREVIEW_ZOOM_OUT   1120
#define IDC_PREVIEW_SCALE      1252
#define IDC_PREVIEW_LARGE      1261
#define ID_PREVIEW_FIT         58119
#define IDD_ITERATE            251
#define IDD_ADD_TABLE_DATA     269
#define IDD_REMOVE_TABLE_DATA  270
#define IDD_LABEL_MULTIPLE     281
#define IDD_DOC_OPTIONS        201
// The pages of the Properties sheet.
#define IDD_PROP_OBJECT        167
#define IDD_PROP_PLOT          168
#define IDD_PROP_LABEL         169
#define IDD_PROP_VALUE         170
#define IDD_PROP_FUNCTION_PLOT 181
#define IDD_PROP_HIDE_SHOW     182
#define IDD_PROP_ANIMATE       183
#define IDD_PROP_MOVE          184
#define IDD_PROP_SCROLL        186
#define IDD_PROP_LINK          187
#define IDD_PROP_ITERATION     240
#define IDD_PROP_PARAMETER     245
#define IDD_PROP_PRESENTATION  252
#define IDD_PROP_TABLE         261

// Strings of the dialogs.
#define IDS_ENTER_VALID_NUMBER  36888
#define IDS_MARK_CENTRE_FIRST   36890
#define IDS_VALUE_NEEDED        36906
#define IDS_ENTER_EXPRESSION    36907
#define IDS_TYPE_VALID_NUMBER   36908
#define IDS_CALC_EMPTY_HELP     36904
#define IDS_CALC_TOO_COMPLEX    36905
