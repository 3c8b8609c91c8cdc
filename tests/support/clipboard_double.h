// Test double of the clipboard: what the edit commands put is kept as bytes, and what
// Paste reads comes from the same store; a busy clipboard refuses like the real one.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/screen_types.h"

struct SketchObject;

struct ClipboardStore {
    bool busy = false;                  // every open fails
    bool readFails = false;             // ReadClipboardData answers 101
    std::vector<uint8_t> objectBlock;   // the framed sketch-objects block, empty when absent
    std::string text;                   // CF_TEXT without its NUL; hasText tells presence
    std::string layoutText;
    bool hasText = false, hasLayoutText = false;
    SketchObject* picture = nullptr;    // the picture object whose image was put
    bool renderedPicture = false;
    ScreenRect renderedRect{};
    int32_t puts = 0;                   // PutSelectionOnClipboard and PutTextOnClipboard calls
};

ClipboardStore& TestClipboard();
void ResetTestClipboard();
