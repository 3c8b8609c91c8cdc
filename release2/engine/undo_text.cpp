#include "release2/engine/undo_text.h"

#include <cstring>

#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"
#include "engine/interact/undo.h"
#include "engine/text/string_groups.h"
#include "release2/text/typed_caret_args.h"

namespace {

constexpr int32_t kUndoItemText = 50;
constexpr uint16_t kHiddenNameBit = 0x8000;  // the name reads with " Hidden"
constexpr int32_t kHiddenNameItem = 0;
constexpr uint32_t kUndoTextLength = 254;

}  // namespace

void BuildTypedUndoMenuText(char* text, int32_t textIndex) {
    const Sketch* sketch = CurrentSketch();
    const UndoRecord* record =
        !sketch ? nullptr : textIndex == kUndoItemText ? sketch->undoPosition : sketch->redoPosition;
    CaretArg args[3] = {
        { kCaretArgText, 0, 0, "", nullptr },
        { kCaretArgText, 0, 0, "", nullptr },
        { kCaretArgText, 0, 0, "", nullptr },
    };
    if (record) {
        const uint16_t index = UndoRecordNameIndex(record);
        const int16_t noun = UndoRecordNounIndex(record);
        if (const char* own = UndoRecordNameText(record)) args[0].text = own;
        else args[0].text = GroupText(kGroupUndoNames, index & ~kHiddenNameBit);
        if (index & kHiddenNameBit) args[1].text = GroupText(kGroupUndoNames, kHiddenNameItem);
        // The stored noun is a group 0 item of the shared numbering: three per kind.
        if (noun >= 0) args[2] = { kCaretArgKindNoun, noun / 3 + kFirstNounKind, noun % 3 == kNounPlural ? 1 : 0,
                                   nullptr, nullptr };
    }
    SubstituteCaretArgs(GroupText(kGroupMenuItems, textIndex), text, args, 3, kUndoTextLength + 1);
}
