// What the clipboard holds that Paste may use, as the platform last reported it.
#pragma once
#include <cstdint>

struct ClipboardAvailability {
    uint8_t sketchObjects;  // the private sketch-objects format
    uint8_t plainText;
    uint8_t formattedText;  // the private layout-language format
    uint8_t picture;        // an enhanced metafile or a device-independent bitmap
};

// Stores the four flags; when any changed, the Paste command state is marked dirty.
void UpdateClipboardAvailability(bool sketchObjects, bool plainText, bool formattedText,
                                 bool picture);
ClipboardAvailability CurrentClipboardAvailability();
