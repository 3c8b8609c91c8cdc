// Numbers the library gives meaning to: commands, window identifiers of frame parts,
// frame styles, private messages and the library's own strings.
//
// The numbers of the standard commands, bars and strings that the program's menus,
// keys and alerts use are fixed. The numbers the library chose for itself come from
// these blocks, which the program leaves alone:
//   commands            0xE1C0 .. 0xE1FF  (in the library's command block 0xE100 .. 0xE1FF)
//   window identifiers  0xEC00 .. 0xEDFF  (dock bars, the resize bar, splitter panes and bars)
//   menu identifiers    0xFE00 ..         (the MDI windows listed in the Window menu)
//   private messages    0x7A00 .. 0x7A3F  (far above the WM_USER messages of the controls,
//                                          below WM_APP); reflected ones 0x7C00 .. 0x7FFF
//   strings             0xF1C0 .. 0xF1FF  (in the library's string block 0xF000 .. 0xF1FF)
// The resource compiler reads this file too: it sees only the macros.
#pragma once

// File commands.
#define ID_FILE_NEW             0xE100
#define ID_FILE_OPEN            0xE101
#define ID_FILE_SAVE            0xE103
#define ID_FILE_SAVE_AS         0xE104
#define ID_FILE_PRINT_SETUP     0xE106
#define ID_FILE_PRINT           0xE107
#define ID_FILE_PRINT_PREVIEW   0xE109
#define CMD_CLOSE_DOCUMENT      0xE1C0
#define CMD_FILE_UPDATE         0xE1C1  // an embedded document: the container takes its changes
#define CMD_FILE_SAVE_COPY_AS   0xE1C4
#define CMD_RECENT_FIRST        0xE1E0  // the recent-file list: sixteen commands
#define CMD_RECENT_LAST         0xE1EF

// Edit commands.
#define CMD_CLEAR               0xE120
#define CMD_EDIT_COPY           0xE122
#define CMD_EDIT_CUT            0xE1C2
#define CMD_EDIT_PASTE          0xE1C3

// Window commands (one contiguous run: the MDI frame handles them as a range).
#define CMD_NEW_WINDOW          0xE1C8
#define CMD_ARRANGE_ICONS       0xE1C9
#define CMD_CASCADE             0xE1CA
#define CMD_TILE_HORIZONTAL     0xE1CB
#define CMD_TILE_VERTICAL       0xE1CC
#define CMD_SPLIT_WINDOW        0xE1CD

// Application, help and pane commands.
#define CMD_ABOUT               0xE140
#define CMD_QUIT                0xE141
#define CMD_HELP_TOPICS         0xE143
#define CMD_CONTEXT_HELP        0xE145
#define ID_HELP                 0xE146
#define CMD_DEFAULT_HELP        0xE147
#define CMD_NEXT_PANE           0xE150
#define CMD_PREVIOUS_PANE       0xE151

// Window identifiers of frame parts. The program's own bars follow the tool bar and
// the status bar (0xE804 on).
#define AFX_IDW_TOOLBAR          0xE800
#define AFX_IDW_STATUS_BAR       0xE801
#define IDW_DOCK_TOP             0xEC00
#define IDW_DOCK_LEFT            0xEC01
#define IDW_DOCK_RIGHT           0xEC02
#define IDW_DOCK_BOTTOM          0xEC03
#define IDW_DOCK_FLOATING        0xEC04
#define AFX_IDW_RESIZE_BAR       0xEC08
#define IDW_SPLIT_HSCROLL_FIRST  0xEC10  // one per splitter column
#define IDW_SPLIT_VSCROLL_FIRST  0xEC20  // one per splitter row
#define IDW_SPLIT_SIZE_BOX       0xEC30
#define AFX_IDW_PANE_FIRST       0xED00  // splitter panes: + row * 16 + column

// MDI child windows listed in the Window menu take identifiers from here on.
#define IDM_WINDOW_LIST_FIRST    0xFE00

// Frame styles, kept in the low word of a frame's window style (class-specific bits
// that the system leaves alone for windows of the library's own classes).
#define FWS_ADDTOTITLE   0x00000100L

// Private messages of the library.
#define WM_KICKIDLE              0x7A09  // wParam: MSGF_DIALOGBOX, lParam: idle count
#ifndef RC_INVOKED
inline constexpr unsigned FrameLayoutMessage   = 0x7A01;  // lParam: SizeParentParams*; bars take their room
inline constexpr unsigned StatusPromptMessage  = 0x7A02;  // wParam: string id or 0, lParam: text
inline constexpr unsigned IdleUpdateMessage    = 0x7A03;  // wParam: disable-if-no-handler flag
inline constexpr unsigned InitialUpdateMessage = 0x7A04;
// Messages reflected from a parent back to the child that sent them arrive as this
// base plus the original message (all of which lie below WM_USER).
inline constexpr unsigned ReflectedMessageBase = 0x7C00;
#endif

// The library's own strings.
#define IDS_LIB_OPEN             0xF000  // "Open"
#define IDS_LIB_SAVE_AS          0xF001  // "Save As"
#define IDS_LIB_UNTITLED         0xF003  // "Untitled"
#define IDS_LIB_SAVE_COPY_AS     0xF004  // "Save Copy As"
#define IDS_LIB_SAVE_FAILED      0xF102  // "Failed to save document."
#define IDS_LIB_SAVE_CHANGES     0xF103  // "Save changes to %1?"
#define IDS_LIB_PRINT_FAILED     0xF106  // "Could not start print job."
#define IDS_LIB_COMMAND_FAILED   0xF109  // "Command failed."
#define IDS_LIB_APP_TITLE        0xF1C0
#define IDS_LIB_READY            0xF1C1
#define IDS_LIB_HELP_MODE        0xF1C2
#define IDS_LIB_ALL_FILES        0xF1C3
#define IDS_LIB_PREVIEW_CLOSE    0xF1C4
#define IDS_LIB_BAD_FILE_NAME    0xF1D0
#define IDS_LIB_OPEN_FAILED      0xF1D1
#define IDS_LIB_NEW_FAILED       0xF1D2
#define IDS_LIB_FILE_TOO_LARGE   0xF1D3
#define IDS_LIB_HELP_FAILED      0xF1D4
#define IDS_LIB_INTERNAL_ERROR   0xF1D5
#define IDS_LIB_NO_MEMORY        0xF1D6
#define IDS_LIB_FILE_NOT_FOUND   0xF1D7
#define IDS_LIB_READ_ERROR       0xF1D8
#define IDS_LIB_WRITE_ERROR      0xF1D9
#define IDS_LIB_ACCESS_DENIED    0xF1DA
#define IDS_LIB_UPDATE_FAILED    0xF1DB
#define IDS_LIB_NO_PRINTER       0xF1DC
