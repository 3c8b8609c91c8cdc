// figlate's text of the Undo and Redo items: the item's template filled with typed caret
// arguments (the undo name, " Hidden", the noun of the record's objects).
#pragma once
#include <cstdint>

// text has room for 256 bytes; textIndex is the item of group 1 ("&Undo ^A^B ^C" 50, or
// "&Redo ^A^B ^C" 52), which names the record at the undo or the redo position.
void BuildTypedUndoMenuText(char* text, int32_t textIndex);
