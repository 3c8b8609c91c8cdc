// Menu descriptions come from documents.
#include <cstddef>
#include <cstdint>

#include "ui/portable/menu_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    menu_stream::MenuStreamTree tree;
    if (menu_stream::ReadMenuStream(data, size, &tree) != menu_stream::ReadResult::Ok) {
        if (!tree.popups.empty()) __builtin_trap();
        return 0;
    }
    // Every nested block is indexed after its parent and no deeper than the bound.
    for (size_t i = 0; i < tree.popups.size(); ++i) {
        const menu_stream::MenuStreamPopup& popup = tree.popups[i];
        if (popup.depth > menu_stream::kMaxDepth) __builtin_trap();
        for (const menu_stream::MenuStreamItem& item : popup.items) {
            if (item.kind != menu_stream::ItemKind::Popup) continue;
            if (item.popup <= i || item.popup >= tree.popups.size()) __builtin_trap();
            if (tree.popups[item.popup].depth != popup.depth + 1) __builtin_trap();
        }
    }
    return 0;
}
