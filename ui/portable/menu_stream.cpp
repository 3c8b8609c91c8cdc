#include "ui/portable/menu_stream.h"

#include <cstring>
#include <new>

namespace menu_stream {

namespace {

// A bounded reader over the stream: every read says whether the bytes were there.
struct Cursor {
    const uint8_t* bytes;
    size_t length;
    size_t at;

    bool Word(uint16_t* out) {
        if (length - at < 2) return false;
        *out = uint16_t(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return true;
    }
    bool Skip(size_t n) {
        if (length - at < n) return false;
        at += n;
        return true;
    }
    // The NUL-terminated title and its pad byte: the title takes an even byte count.
    bool Title(std::string* out) {
        const void* end = std::memchr(bytes + at, 0, length - at);
        if (!end) return false;
        const size_t n = static_cast<const uint8_t*>(end) - (bytes + at);
        out->assign(reinterpret_cast<const char*>(bytes + at), n);
        return Skip((n + 1 + 1) & ~size_t(1));
    }
};

bool ReadPopup(Cursor* in, int depth, MenuStreamTree* tree) {
    if (depth > kMaxDepth) return false;
    uint16_t unusedLength = 0, count = 0, reserved = 0;
    const size_t countOffset = in->at + 2;
    if (!in->Word(&unusedLength) || !in->Word(&count) || !in->Word(&reserved) || !in->Word(&reserved)) {
        return false;
    }
    // Every item takes a word at least: a count beyond the bytes left is a cut stream.
    if (count > (in->length - in->at) / 2) return false;

    const size_t index = tree->popups.size();
    tree->popups.emplace_back();
    MenuStreamPopup* popup = &tree->popups[index];
    popup->depth = depth;
    popup->countOffset = countOffset;
    if (!in->Title(&popup->title)) return false;
    for (;;) {
        uint16_t attribute = 0;
        if (!in->Word(&attribute)) return false;
        if (attribute == 0) break;
        if (attribute >= kFirstTaggedAttribute) {
            uint16_t size = 0;
            if (!in->Word(&size) || !in->Skip(size)) return false;
            if (attribute == kColorPopupTag) popup->colorPopup = true;
        } else if (attribute >= kFirstTitleAttribute && attribute <= kLastTitleAttribute) {
            popup->titleItem = attribute;
        }
    }
    popup->items.reserve(count);

    for (uint16_t i = 0; i < count; ++i) {
        uint16_t word = 0;
        if (!in->Word(&word)) return false;
        MenuStreamItem item{ ItemKind::Skipped, word, 0, in->at };
        if (word == kItemPopup) {
            item.kind = ItemKind::Popup;
            item.popup = static_cast<uint32_t>(tree->popups.size());
            if (!ReadPopup(in, depth + 1, tree)) return false;
        } else if (word == kItemSeparator) {
            item.kind = ItemKind::Separator;
        } else if (word & kItemCommandBit) {
            item.kind = ItemKind::Command;
            item.code = uint16_t(word & ~kItemCommandBit);
        }
        // The nested read may have moved the vector: index it again.
        tree->popups[index].items.push_back(item);
    }
    return true;
}

}  // namespace

ReadResult ReadMenuStream(const uint8_t* bytes, size_t length, MenuStreamTree* tree) {
    *tree = MenuStreamTree{};
    if (!bytes) return ReadResult::Bad;
    Cursor in{ bytes, length, 0 };
    uint16_t unused = 0, endWord = 0;
    bool ok = false;
    try {
        ok = in.Word(&unused) && in.Word(&tree->popupCount) && in.Word(&tree->reserveCount) &&
             ReadPopup(&in, 0, tree) && in.Word(&endWord) &&
             endWord == uint16_t(tree->popupCount + tree->reserveCount);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok) {
        *tree = MenuStreamTree{};
        return ReadResult::Bad;
    }
    return ReadResult::Ok;
}

bool InsertCommandAfter(const uint8_t* bytes, size_t length, uint16_t after, uint16_t code,
                        std::vector<uint8_t>* out) {
    out->clear();
    MenuStreamTree tree;
    if (ReadMenuStream(bytes, length, &tree) != ReadResult::Ok) return false;
    auto put = [](uint8_t* at, uint16_t value) {
        at[0] = uint8_t(value & 0xff);
        at[1] = uint8_t(value >> 8);
    };
    auto get = [](const uint8_t* at) { return uint16_t(at[0] | at[1] << 8); };
    for (const MenuStreamPopup& popup : tree.popups) {
        for (const MenuStreamItem& item : popup.items) {
            if (item.kind != ItemKind::Command || item.code != after) continue;
            const uint16_t word = uint16_t(kItemCommandBit | code);
            out->assign(bytes, bytes + item.end);
            out->push_back(uint8_t(word & 0xff));
            out->push_back(uint8_t(word >> 8));
            out->insert(out->end(), bytes + item.end, bytes + length);
            uint8_t* b = out->data();
            // The block's item count, the items to reserve (B) and the end word (A + B).
            put(b + popup.countOffset, uint16_t(get(b + popup.countOffset) + 1));
            put(b + 4, uint16_t(get(b + 4) + 1));
            put(b + out->size() - 2, uint16_t(get(b + out->size() - 2) + 1));
            return true;
        }
    }
    return false;
}

uint32_t CountCommandItems(const MenuStreamTree& tree) {
    uint32_t n = 0;
    for (const MenuStreamPopup& popup : tree.popups) {
        for (const MenuStreamItem& item : popup.items) n += item.kind == ItemKind::Command;
    }
    return n;
}

bool HasSkippedItems(const MenuStreamTree& tree) {
    for (const MenuStreamPopup& popup : tree.popups) {
        for (const MenuStreamItem& item : popup.items) {
            if (item.kind == ItemKind::Skipped) return true;
        }
    }
    return false;
}

}  // namespace menu_stream
