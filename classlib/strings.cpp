// The library's own texts. A program's string table may override any of them by
// defining a string of the same number.
#include "classlib/command_ids.h"
#include "classlib/str.h"

#include <iterator>

namespace {

struct LibraryString {
    UINT id;
    const char* text;
};

// One row per string: number, text.
const LibraryString kLibraryStrings[] = {
    { AFX_IDS_IDLEMESSAGE,          "Ready" },
    { AFX_IDS_HELPMODEMESSAGE,      "Select an object on which to get Help" },
    { AFX_IDS_OPENFILE,             "Open" },
    { AFX_IDS_SAVEFILE,             "Save As" },
    { AFX_IDS_ALLFILTER,            "All Files (*.*)" },
    { AFX_IDS_UNTITLED,             "Untitled" },
    { AFX_IDS_SAVEFILECOPY,         "Save Copy As" },
    { AFX_IDS_PREVIEW_CLOSE,        "&Close" },
    { AFX_IDP_INVALID_FILENAME,     "Invalid filename." },
    { AFX_IDP_FAILED_TO_OPEN_DOC,   "Failed to open document." },
    { AFX_IDP_FAILED_TO_SAVE_DOC,   "Failed to save document." },
    { AFX_IDP_ASK_TO_SAVE,          "Save changes to %1?" },
    { AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document." },
    { AFX_IDP_FILE_TOO_LARGE,       "The file is too large to open." },
    { AFX_IDP_FAILED_TO_START_PRINT, "Could not start print job." },
    { AFX_IDP_FAILED_TO_LAUNCH_HELP, "Failed to launch help." },
    { AFX_IDP_INTERNAL_FAILURE,     "Internal application error." },
    { AFX_IDP_COMMAND_FAILURE,      "Command failed." },
    { AFX_IDP_FAILED_MEMORY_ALLOC,  "Insufficient memory to perform operation." },
    { AFX_IDP_FILE_NOT_FOUND,       "%1 was not found." },
    { AFX_IDP_FAILED_IO_ERROR_READ, "An unexpected error occurred while reading %1." },
    { AFX_IDP_FAILED_IO_ERROR_WRITE, "An unexpected error occurred while writing %1." },
    { AFX_IDP_FILE_ACCESS_DENIED,   "Access to %1 was denied." },
    { ID_FILE_NEW,                  "Create a new document\nNew" },
    { ID_FILE_OPEN,                 "Open an existing document\nOpen" },
    { ID_FILE_CLOSE,                "Close the active document\nClose" },
    { ID_FILE_SAVE,                 "Save the active document\nSave" },
    { ID_FILE_SAVE_AS,              "Save the active document with a new name\nSave As" },
    { ID_APP_EXIT,                  "Quit the application; prompts to save documents\nExit" },
    { ID_WINDOW_CASCADE,            "Arrange windows so they overlap\nCascade Windows" },
    { ID_WINDOW_TILE_HORZ,          "Arrange windows as non-overlapping tiles\nTile Windows" },
    { ID_NEXT_PANE,                 "Switch to the next window pane\nNext Pane" },
    { ID_PREV_PANE,                 "Switch back to the previous window pane\nPrevious Pane" },
};

}  // namespace

const char* AfxLibraryString(UINT id) {
    for (const LibraryString& s : kLibraryStrings) {
        if (s.id == id) return s.text;
    }
    return nullptr;
}
