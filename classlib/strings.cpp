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
    { IDS_LIB_READY,           "Ready" },
    { IDS_LIB_HELP_MODE,       "Select an object on which to get Help" },
    { IDS_LIB_OPEN,            "Open" },
    { IDS_LIB_SAVE_AS,         "Save As" },
    { IDS_LIB_ALL_FILES,       "All Files (*.*)" },
    { IDS_LIB_UNTITLED,        "Untitled" },
    { IDS_LIB_SAVE_COPY_AS,    "Save Copy As" },
    { IDS_LIB_PREVIEW_CLOSE,   "&Close" },
    { IDS_LIB_BAD_FILE_NAME,   "Invalid filename." },
    { IDS_LIB_OPEN_FAILED,     "Failed to open document." },
    { IDS_LIB_SAVE_FAILED,     "Failed to save document." },
    { IDS_LIB_SAVE_CHANGES,    "Save changes to %1?" },
    { IDS_LIB_NEW_FAILED,      "Failed to create empty document." },
    { IDS_LIB_FILE_TOO_LARGE,  "The file is too large to open." },
    { IDS_LIB_PRINT_FAILED,    "Could not start print job." },
    { IDS_LIB_HELP_FAILED,     "Failed to launch help." },
    { IDS_LIB_INTERNAL_ERROR,  "Internal application error." },
    { IDS_LIB_COMMAND_FAILED,  "Command failed." },
    { IDS_LIB_NO_MEMORY,       "Insufficient memory to perform operation." },
    { IDS_LIB_FILE_NOT_FOUND,  "%1 was not found." },
    { IDS_LIB_READ_ERROR,      "An unexpected error occurred while reading %1." },
    { IDS_LIB_WRITE_ERROR,     "An unexpected error occurred while writing %1." },
    { IDS_LIB_ACCESS_DENIED,   "Access to %1 was denied." },
    { IDS_LIB_NO_PRINTER,      "No printer is installed. Add a printer to the system, then try again." },
    { IDS_LIB_UPDATE_FAILED,   "The containing document could not be updated." },
    { ID_FILE_NEW,             "Create a new document\nNew" },
    { ID_FILE_OPEN,            "Open an existing document\nOpen" },
    { CMD_CLOSE_DOCUMENT,      "Close the active document\nClose" },
    { ID_FILE_SAVE,            "Save the active document\nSave" },
    { ID_FILE_SAVE_AS,         "Save the active document with a new name\nSave As" },
    { CMD_QUIT,                "Quit the application; prompts to save documents\nExit" },
    { CMD_CASCADE,             "Arrange windows so they overlap\nCascade Windows" },
    { CMD_TILE_HORIZONTAL,     "Arrange windows as non-overlapping tiles\nTile Windows" },
    { CMD_NEXT_PANE,           "Switch to the next window pane\nNext Pane" },
    { CMD_PREVIOUS_PANE,       "Switch back to the previous window pane\nPrevious Pane" },
};

}  // namespace

const char* BuiltInLibraryString(UINT id) {
    for (const LibraryString& s : kLibraryStrings) {
        if (s.id == id) return s.text;
    }
    return nullptr;
}
