#include "engine/core/clipboard_availability.h"

#include "engine/core/services/command_states.h"

namespace {
constexpr int32_t kPasteCommandGroup = 5;
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
    if (changed) CmdStateInvalidate(kPasteCommandGroup);
}

ClipboardAvailability CurrentClipboardAvailability() {
    return gAvailable;
}
