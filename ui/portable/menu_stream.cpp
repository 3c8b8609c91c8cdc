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
    if (!in->Word(&unusedLength) || !in->Word(&count) || !in->Word(&reserved) || !in->Word(&reserved)) {
        return false;
    }
    // Every item takes a word at least: a count beyond the bytes left is a cut stream.
    if (count > (in->length - in->at) / 2) return false;

    const size_t index = tree->popups.size();
    tree->popups.emplace_back();
    MenuStreamPopup* popup = &tree->popups[index];
    popup->depth = depth;
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
        MenuStreamItem item{ ItemKind::Skipped, word, 0 };
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

void PutWord(std::vector<uint8_t>* out, uint16_t word) {
    out->push_back(uint8_t(word & 0xff));
    out->push_back(uint8_t(word >> 8));
}

// Writes block `index` and the blocks nested in it; *next is the index the next nested
// block must have (the reader numbers blocks in the order it meets them).
bool WritePopup(const MenuStreamTree& tree, uint32_t index, uint32_t* next, std::vector<uint8_t>* out) {
    const MenuStreamPopup& popup = tree.popups[index];
    if (popup.depth > kMaxDepth || popup.items.size() > 0xffff) return false;
    const size_t lengthAt = out->size();
    PutWord(out, 0);
    PutWord(out, uint16_t(popup.items.size()));
    PutWord(out, 0);
    PutWord(out, 0);
    out->insert(out->end(), popup.title.begin(), popup.title.end());
    out->push_back(0);
    if (out->size() % 2) out->push_back(0);
    if (popup.titleItem != 0) PutWord(out, popup.titleItem);
    if (popup.colorPopup) {
        PutWord(out, kColorPopupTag);
        PutWord(out, 0);
    }
    PutWord(out, 0);
    for (const MenuStreamItem& item : popup.items) {
        switch (item.kind) {
        case ItemKind::Popup:
            if (item.popup != *next || item.popup >= tree.popups.size()) return false;
            ++*next;
            PutWord(out, kItemPopup);
            if (!WritePopup(tree, item.popup, next, out)) return false;
            break;
        case ItemKind::Separator: PutWord(out, kItemSeparator); break;
        case ItemKind::Command: PutWord(out, uint16_t(kItemCommandBit | item.code)); break;
        case ItemKind::Skipped: PutWord(out, item.code); break;
        }
    }
    const size_t rest = out->size() - lengthAt - 2;
    if (rest > 0xffff) return false;
    (*out)[lengthAt] = uint8_t(rest & 0xff);
    (*out)[lengthAt + 1] = uint8_t(rest >> 8);
    return true;
}

}  // namespace

bool WriteMenuStream(const MenuStreamTree& tree, std::vector<uint8_t>* bytes) {
    bytes->clear();
    if (tree.popups.empty()) return false;
    try {
        // Titles start on even offsets: the header is three words.
        PutWord(bytes, 0);
        PutWord(bytes, tree.popupCount);
        PutWord(bytes, tree.reserveCount);
        uint32_t next = 1;
        if (!WritePopup(tree, 0, &next, bytes) || next != tree.popups.size()) {
            bytes->clear();
            return false;
        }
        PutWord(bytes, uint16_t(tree.popupCount + tree.reserveCount));
    } catch (const std::bad_alloc&) {
        bytes->clear();
        return false;
    }
    return true;
}

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
