// Numbers the library gives meaning to: standard commands, window identifiers of
// frame parts, private messages and the library's own strings.
#pragma once

// File and application commands.
#define ID_FILE_NEW             0xE100
#define ID_FILE_OPEN            0xE101
#define ID_FILE_CLOSE           0xE102
#define ID_FILE_SAVE            0xE103
#define ID_FILE_SAVE_AS         0xE104
#define ID_FILE_PAGE_SETUP      0xE105
#define ID_FILE_PRINT_SETUP     0xE106
#define ID_FILE_PRINT           0xE107
#define ID_FILE_PRINT_DIRECT    0xE108
#define ID_FILE_PRINT_PREVIEW   0xE109
#define ID_FILE_MRU_FILE1       0xE110
#define ID_FILE_MRU_FILE16      0xE11F

// Edit commands.
#define ID_EDIT_CLEAR           0xE120
#define ID_EDIT_CLEAR_ALL       0xE121
#define ID_EDIT_COPY            0xE122
#define ID_EDIT_CUT             0xE123
#define ID_EDIT_PASTE           0xE125
#define ID_EDIT_SELECT_ALL      0xE12A
#define ID_EDIT_UNDO            0xE12B
#define ID_EDIT_REDO            0xE12C

// Window commands.
#define ID_WINDOW_NEW           0xE130
#define ID_WINDOW_ARRANGE       0xE131
#define ID_WINDOW_CASCADE       0xE132
#define ID_WINDOW_TILE_HORZ     0xE133
#define ID_WINDOW_TILE_VERT     0xE134
#define ID_WINDOW_SPLIT         0xE135

// Application and help commands.
#define ID_APP_ABOUT            0xE140
#define ID_APP_EXIT             0xE141
#define ID_HELP_INDEX           0xE142
#define ID_HELP_FINDER          0xE143
#define ID_HELP_USING           0xE144
#define ID_CONTEXT_HELP         0xE145
#define ID_HELP                 0xE146
#define ID_DEFAULT_HELP         0xE147
#define ID_NEXT_PANE            0xE150
#define ID_PREV_PANE            0xE151

// Bar commands (their bars are made by the bar classes).
#define ID_VIEW_TOOLBAR         0xE800
#define ID_VIEW_STATUS_BAR      0xE801

// Window identifiers of frame parts.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST  0xE8FF
#define AFX_IDW_TOOLBAR          0xE800
#define AFX_IDW_STATUS_BAR       0xE801
#define AFX_IDW_PREVIEW_BAR      0xE802
#define AFX_IDW_RESIZE_BAR       0xE803
#define AFX_IDW_DOCKBAR_TOP      0xE81B
#define AFX_IDW_DOCKBAR_LEFT     0xE81C
#define AFX_IDW_DOCKBAR_RIGHT    0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM   0xE81E
#define AFX_IDW_DOCKBAR_FLOAT    0xE81F
#define AFX_IDW_PANE_FIRST       0xE900
#define AFX_IDW_PANE_LAST        0xE9FF
#define AFX_IDW_HSCROLL_FIRST    0xEA00
#define AFX_IDW_VSCROLL_FIRST    0xEA10
#define AFX_IDW_SIZE_BOX         0xEA20
#define AFX_IDW_PANE_SAVE        0xEA21

// MDI child windows listed in the Window menu take identifiers from here on.
#define AFX_IDM_FIRST_MDICHILD   0xFF00

// Frame styles kept in the low word of a frame's window style.
#define FWS_ADDTOTITLE   0x00008000L
#define FWS_PREFIXTITLE  0x00004000L
#define FWS_SNAPTOBARS   0x00002000L

// Private messages of the library (0x0360..0x037F).
#define WM_QUERYAFXWNDPROC   0x0360  // answered 1 by every window of the library
#define WM_SIZEPARENT        0x0361  // lParam: SizeParentParams*; bars take their room
#define WM_SETMESSAGESTRING  0x0362  // wParam: string id or 0, lParam: text
#define WM_IDLEUPDATECMDUI   0x0363  // wParam: disable-if-no-handler flag
#define WM_INITIALUPDATE     0x0364
#define WM_RECALCPARENT      0x0368
#define WM_SIZECHILD         0x0369
#define WM_KICKIDLE          0x036A  // wParam: MSGF_DIALOGBOX, lParam: idle count
#define WM_FLOATSTATUS       0x036D
#define WM_ACTIVATETOPLEVEL  0x036E
#define WM_HELPHITTEST       0x0365
#define WM_EXITHELPMODE      0x0366

// Offset of messages reflected from a parent back to the child that sent them.
#define WM_REFLECT_BASE      0xBC00

// The library's own strings.
#define AFX_IDS_APP_TITLE          0xE000
#define AFX_IDS_IDLEMESSAGE        0xE001
#define AFX_IDS_HELPMODEMESSAGE    0xE002
#define AFX_IDS_OPENFILE           0xF000  // "Open"
#define AFX_IDS_SAVEFILE           0xF001  // "Save As"
#define AFX_IDS_ALLFILTER          0xF002  // "All Files (*.*)"
#define AFX_IDS_UNTITLED           0xF003  // "Untitled"
#define AFX_IDS_SAVEFILECOPY       0xF004  // "Save Copy As"
#define AFX_IDS_PREVIEW_CLOSE      0xF005
#define AFX_IDP_INVALID_FILENAME   0xF100
#define AFX_IDP_FAILED_TO_OPEN_DOC 0xF101
#define AFX_IDP_FAILED_TO_SAVE_DOC 0xF102  // "Failed to save document."
#define AFX_IDP_ASK_TO_SAVE        0xF103  // "Save changes to %1?"
#define AFX_IDP_FAILED_TO_CREATE_DOC 0xF104
#define AFX_IDP_FILE_TOO_LARGE     0xF105
#define AFX_IDP_FAILED_TO_START_PRINT 0xF106  // "Could not start print job."
#define AFX_IDP_FAILED_TO_LAUNCH_HELP 0xF107
#define AFX_IDP_INTERNAL_FAILURE   0xF108
#define AFX_IDP_COMMAND_FAILURE    0xF109  // "Command failed."
#define AFX_IDP_FAILED_MEMORY_ALLOC 0xF10A
#define AFX_IDP_FILE_NOT_FOUND     0xF10B  // "%1 was not found."
#define AFX_IDP_FAILED_IO_ERROR_READ  0xF10C
#define AFX_IDP_FAILED_IO_ERROR_WRITE 0xF10D
#define AFX_IDP_FILE_ACCESS_DENIED 0xF10E
