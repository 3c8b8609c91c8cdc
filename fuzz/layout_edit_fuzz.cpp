// Edits on layout trees read from hostile text: the first bytes are a script of edits
// (an operation byte and a caret byte each), the rest layout-language text. Whatever the
// edits build must stay a single tree that writes out and reads back. Each input is edited
// with figmantle's forms and then with figlate's, the text given a wrap width from the
// script, whose break characters must stay one a row however the rows are edited.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/text/layout.h"
#include "engine/text/layout_range.h"
#include "release2/text/wrap_width.h"
#include "both_layout_forms.h"
#include "tests/support/text_port_double.h"

namespace {

constexpr size_t kScriptBytes = 12;

std::string Write(LayoutNode* node) {
    LayoutWriteContext context{};
    const int32_t n = SerializeLayout(node, nullptr, &context);
    std::string out(static_cast<size_t>(n), '\0');
    if (SerializeLayout(node, out.data(), &context) != n) std::abort();
    return out;
}

void CheckReadsBack(LayoutNode* root) {
    if (!root || root->parent) std::abort();
    const std::string text = Write(root);
    LayoutNode* again = nullptr;
    if (ParseLayoutString(&again, text.data(), text.size(), nullptr) >= kLayoutParseNoMemory)
        std::abort();
    FreeLayoutNode(again);
}

LayoutNode* Made(uint8_t which) {
    const char* texts[] = { "<T'x y'>", "<(<T'a'>>", "</<T'1'><T'2'>>", "<+<T'b'><T'2'>>",
                            "<SW2<T'c'>>", "<VL<T'd'><T'e'>>", "<!70>", "<0>" };
    LayoutNode* node = nullptr;
    const char* text = texts[which % 8];
    if (ParseLayoutString(&node, text, nullptr) >= kLayoutParseNoMemory) return nullptr;
    return node;
}

bool gLater = false;

// A wrapped block keeps one break character a row once measured.
void CheckBreaksInStep(LayoutNode* root) {
    if (!gLater) return;
    auto* block = static_cast<StackedRowsNode*>(FindRowsNode(root));
    if (block && block->breakChars && block->dirty == 0 && block->breakCount != LayoutChildCount(block))
        std::abort();
}

int RunOne(const uint8_t* data, size_t size) {
    if (size < kScriptBytes) return 0;
    // The port double records every drawing call: cleared for each input, or a long
    // run grows without bound.
    ResetTextPort();
    const char* text = reinterpret_cast<const char*>(data + kScriptBytes);
    LayoutNode* root = nullptr;
    if (ParseLayoutString(&root, text, size - kScriptBytes, nullptr) >= kLayoutParseNoMemory)
        return 0;
    LayoutDrawState state{};
    FillTextStyle(&state.style, 1);
    state.style.field[kStyleSize] = 12;
    state.style.field[kStyleScriptLevel] = 0;
    if (gLater && data[1] % 5 != 0 && !SetLayoutWrapWidth(&root, data[1] % 90, data[1] & 1)) {
        FreeLayoutNode(root);
        return 0;
    }
    root = NormalizeLayout(root, &state.style);
    MeasureLayout(root, &state);
    CheckBreaksInStep(root);
    for (size_t i = 0; i + 1 < kScriptBytes; i += 2) {
        const uint8_t op = data[i];
        const int32_t stops = root->caretCount + 1;
        const int32_t a = data[i + 1] % stops;
        const int32_t b = (data[i + 1] / 7 + a) % stops;
        int32_t start = a < b ? a : b, end = a < b ? b : a;
        switch (op % 8) {
        case 0:
            if (LayoutNode* node = Made(op / 8)) InsertNodeAtCaret(&root, a, &state, node);
            break;
        case 1: {
            LayoutNode* cut = nullptr;
            CutLayoutRange(&root, &start, &end, &state, nullptr, &cut);
            if (cut) CheckReadsBack(cut);
            FreeLayoutNode(cut);
            break;
        }
        case 2:
            CutLayoutRange(&root, &start, &end, &state, Made(op / 8), nullptr);
            break;
        case 3: BreakRowAtCaret(&root, a, &state, op & 8); break;
        case 4: {
            TextStyle style;
            FillTextStyle(&style, 0);
            style.field[kStyleWeight] = 2;
            ApplyStyleToRange(&root, &state, start, end, &style);
            GetRangeStyle(&root, &state, start, end, &style);
            break;
        }
        case 5: {
            int32_t ws = 0, we = 0;
            LayoutWordBounds(root, &state, a, &ws, &we, op & 8);
            if (ws > we || ws < 0 || we > root->caretCount) std::abort();
            ScreenPoint top{}, bottom{};
            LayoutCaretRect(root, &state, a, &top, &bottom);
            break;
        }
        case 6:
            InvertLayoutRange(root, &state, start, end);
            SetRangeRowAlignment(root, &state, start, end, op % 3);
            break;
        default: {
            LayoutNode* leaf = nullptr;
            int32_t atStart = 0;
            LeafBoundaryOffset(&root, a, &state, &leaf, &atStart);
            root = NormalizeLayout(root, &state.style);
            MeasureLayout(root, &state);
            break;
        }
        }
        CheckReadsBack(root);
        if (root->dirty != 0) MeasureLayout(root, &state);
        CheckBreaksInStep(root);
    }
    FreeLayoutNode(root);
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return RunWithBothLayoutForms(data, size, [](const uint8_t* d, size_t n, bool later) {
        gLater = later;
        RunOne(d, n);
    });
}
