#include "tests/support/clipboard_double.h"

#include <cstring>

#include "engine/core/clipboard_availability.h"
#include "engine/core/memory.h"
#include "engine/core/services/clipboard.h"
#include "platform/rules/clipboard_framing.h"

namespace {
ClipboardStore gStore;

void Report() {
    UpdateClipboardAvailability(!gStore.objectBlock.empty(), gStore.hasText, gStore.hasLayoutText,
                                gStore.picture || gStore.renderedPicture);
}

uint8_t* CopyBlock(const void* bytes, uint32_t size, uint32_t extra) {
    auto* block = static_cast<uint8_t*>(AllocMemory(size + extra, kAllocZero));
    if (block && size) std::memcpy(block, bytes, size);
    return block;
}
}  // namespace

ClipboardStore& TestClipboard() { return gStore; }
void ResetTestClipboard() { gStore = ClipboardStore{}; }

bool PutSelectionOnClipboard(bool renderPicture, ScreenRect* rect, SketchObject* picture, char* text,
                             uint32_t textSize, char* layoutText, uint32_t layoutSize, uint8_t* objectData,
                             uint32_t objectSize, const void* header, uint32_t headerSize) {
    ++gStore.puts;
    const bool busy = gStore.busy;
    if (!busy) {
        const int32_t puts = gStore.puts;
        gStore = ClipboardStore{};
        gStore.puts = puts;
        gStore.renderedPicture = renderPicture;
        if (renderPicture) gStore.renderedRect = *rect;
        else gStore.picture = picture;
        if (objectData) {
            const auto* h = static_cast<const uint8_t*>(header);
            gStore.objectBlock.resize(4);
            std::memcpy(gStore.objectBlock.data(), &headerSize, 4);
            gStore.objectBlock.insert(gStore.objectBlock.end(), h, h + headerSize);
            gStore.objectBlock.insert(gStore.objectBlock.end(), objectData, objectData + objectSize);
        }
        if (text) gStore.text.assign(text, textSize), gStore.hasText = true;
        if (layoutText) gStore.layoutText.assign(layoutText, layoutSize), gStore.hasLayoutText = true;
    }
    FreeMemory(text);
    FreeMemory(layoutText);
    FreeMemory(objectData);
    if (!busy) Report();
    return !busy && objectData;
}

void PutTextOnClipboard(char* layoutText, uint32_t layoutSize, char* text, uint32_t textSize) {
    ++gStore.puts;
    if (!gStore.busy) {
        const int32_t puts = gStore.puts;
        gStore = ClipboardStore{};
        gStore.puts = puts;
        if (text) gStore.text.assign(text, textSize), gStore.hasText = true;
        if (layoutText) gStore.layoutText.assign(layoutText, layoutSize), gStore.hasLayoutText = true;
        Report();
    }
    FreeMemory(text);
    FreeMemory(layoutText);
}

uint8_t* PasteSketchDataFromClipboard(uint32_t* size, void* header, uint32_t headerSize) {
    *size = 0;
    const std::vector<uint8_t>& b = gStore.objectBlock;
    uint32_t offset = 0, n = 0;
    if (gStore.busy || !UnframeSketchData(b.data(), uint32_t(b.size()), headerSize, &offset, &n)) return nullptr;
    std::memcpy(header, b.data() + 4, headerSize);
    uint8_t* block = CopyBlock(b.data() + offset, n, 1);
    if (block) *size = n;
    return block;
}

ResultCode ReadClipboardData(int32_t kind, uint8_t** block, uint32_t* size) {
    *block = nullptr;
    *size = 0;
    if (gStore.busy || gStore.readFails) return 101;
    const std::string* text = kind == kClipboardPlainText && gStore.hasText         ? &gStore.text
                              : kind == kClipboardLayoutText && gStore.hasLayoutText ? &gStore.layoutText
                                                                                     : nullptr;
    if (!text) return 101;
    *block = CopyBlock(text->data(), uint32_t(text->size()), 1);
    if (!*block) return 100;
    *size = uint32_t(text->size()) + 1;
    return 0;
}
