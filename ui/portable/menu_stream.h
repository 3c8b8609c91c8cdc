// The menu description that documents carry and the program has built in: 16-bit
// little-endian words naming pop-ups and command items by menu code. Plain C++ without
// a Windows header, so that the reader runs natively under tests and the fuzzer.
//
// Layout: word 0 (unused), A = pop-ups below the root, B = command-state items to
// reserve, the root pop-up block (the menu bar), then the end word A + B.
// A pop-up block: length (unused), item count n, two reserved words, a NUL-terminated
// title padded to an even byte count, attribute words up to a 0 word, n item words.
// Attributes 1..20 name the title's text in the menu-title strings; a word of 256 or
// more is a tagged attribute followed by its byte length and that many bytes (tag 260
// marks the colour pop-up). Item words: 1 a nested block follows, 0 a separator, bit 15
// a command item whose menu code is the low 15 bits, bit 13 (bit 15 clear) an item of a
// later format.
//
// The bytes come from documents: the reader never reads past the end, bounds the nesting
// and hands back either the whole tree or nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace menu_stream {

constexpr uint16_t kItemPopup = 1;
constexpr uint16_t kItemSeparator = 0;
constexpr uint16_t kItemCommandBit = 0x8000;
constexpr uint16_t kItemLaterFormatBit = 0x2000;
constexpr uint16_t kFirstTitleAttribute = 1;
constexpr uint16_t kLastTitleAttribute = 20;
constexpr uint16_t kFirstTaggedAttribute = 256;
constexpr uint16_t kColorPopupTag = 260;
// Pop-ups below the menu bar may nest this deep (the menu bar's own pop-ups are depth 1).
constexpr int kMaxDepth = 8;

enum class ItemKind : uint8_t {
    Popup,        // `popup` is the index of the nested block in MenuStreamTree::popups
    Separator,
    Command,      // `code` is the menu code
    Skipped,      // a later-format item or a word of no known kind: left out, the build is incomplete
};

struct MenuStreamItem {
    ItemKind kind;
    uint16_t code;    // menu code of a command item; the raw word of a skipped one
    uint32_t popup;   // index of a nested block
    size_t   end = 0; // byte offset just past the item's word (past a nested block's word)
};

struct MenuStreamPopup {
    std::string title;         // the bytes of the title as stored
    uint16_t titleItem = 0;    // 1..20: the title is the menu-title string item titleItem - 1
    bool colorPopup = false;   // tag 260 was among the attributes
    int depth = 0;             // 0 for the menu bar
    size_t countOffset = 0;    // byte offset of the block's item count
    std::vector<MenuStreamItem> items;
};

struct MenuStreamTree {
    uint16_t popupCount = 0;    // A of the header
    uint16_t reserveCount = 0;  // B of the header
    // popups[0] is the menu bar; every nested block follows its parent.
    std::vector<MenuStreamPopup> popups;
};

enum class ReadResult : uint8_t {
    Ok,
    Bad,        // cut short, nested too deep, a wrong end word, or no memory for the tree
};

// Reads a whole stream. On Bad the tree is left empty.
ReadResult ReadMenuStream(const uint8_t* bytes, size_t length, MenuStreamTree* tree);

// The number of command items, and whether any item was skipped.
uint32_t CountCommandItems(const MenuStreamTree& tree);
bool HasSkippedItems(const MenuStreamTree& tree);

// A copy of the stream with a command item of menu code `code` just after the first item
// of code `after`; false (out left empty) when the stream is bad or has no such item.
bool InsertCommandAfter(const uint8_t* bytes, size_t length, uint16_t after, uint16_t code,
                        std::vector<uint8_t>* out);

// The stream built into the program (550 bytes).
const uint8_t* DefaultMenuStreamBytes(size_t* length);

}  // namespace menu_stream
