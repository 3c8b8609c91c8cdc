#include "engine/core/clipboard_availability.h"

#include "engine/core/services/command_states.h"

namespace {
ClipboardAvailability gAvailable = {};
}  // namespace

void UpdateClipboardAvailability(bool sketchObjects, bool plainText, bool formattedText,
                                 bool picture) {
    const ClipboardAvailability now = { sketchObjects, plainText, formattedText, picture };
    const bool changed = now.sketchObjects != gAvailable.sketchObjects ||
                         now.plainText != gAvailable.plainText ||
                         now.formattedText != gAvailable.formattedText ||
                         now.picture != gAvailable.picture;
    gAvailable = now;
    if (changed) CmdStateInvalidate(kCommandGroupPaste);
}

ClipboardAvailability CurrentClipboardAvailability() {
    return gAvailable;
}
