// Pasting hostile bytes into an edit session: the first byte picks one of a few trees,
// the second the caret (or a selection) in it, the third whether the rest is pasted as
// layout-language text or as plain text. Whatever the paste leaves must be one tree that
// writes out and reads back, with the selection inside it. Each input is pasted with
// figmantle's forms and then with figlate's, into the tree given a wrap width.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/text/layout.h"
#include "engine/text/layout_edit_session.h"
#include "release2/text/wrap_width.h"
#include "both_layout_forms.h"
#include "tests/support/text_port_double.h"

namespace {

constexpr size_t kHeaderBytes = 3;

void CheckReadsBack(const LayoutEditSession* s) {
    LayoutNode* root = s->tree;
    if (!root || root->parent) std::abort();
    if (s->selStart < 0 || s->selStart > s->selEnd || s->selEnd > root->caretCount) std::abort();
    LayoutWriteContext context{};
    const int32_t n = SerializeLayout(root, nullptr, &context);
    std::string text(static_cast<size_t>(n), '\0');
    if (SerializeLayout(root, text.data(), &context) != n) std::abort();
    LayoutNode* again = nullptr;
    if (ParseLayoutString(&again, text.data(), text.size(), nullptr) != kLayoutParseOK) std::abort();
    FreeLayoutNode(again);
}

bool gLater = false;

int RunOne(const uint8_t* data, size_t size) {
    if (size < kHeaderBytes) return 0;
    // The port double records every drawing call: cleared for each input, or a long
    // run grows without bound.
    ResetTextPort();
    const char* trees[] = { "<0>", "<T'ab cd'>", "<H<T'a'><(<T'bc'>><SW2<T'd'>>>",
                            "<VL<T'x'></<T'1'><T'2'>><+<T'y'><T'2'>>>" };
    LayoutNode* tree = nullptr;
    if (ParseLayoutString(&tree, trees[data[0] % 4], nullptr) != kLayoutParseOK) std::abort();
    LayoutDrawState state{};
    FillTextStyle(&state.style, 1);
    state.style.field[kStyleSize] = 12;
    state.style.field[kStyleScriptLevel] = 0;
    if (gLater && !SetLayoutWrapWidth(&tree, 8 + data[2] / 4, 1)) std::abort();
    tree = NormalizeLayout(tree, &state.style);
    const ScreenRect frame{ 0, 0, 100, 20 };
    LayoutEditSession* s = CreateLayoutEditSession(tree, &state, &frame, kEditCaretAtStart,
                                                   nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!s) std::abort();
    const int32_t stops = s->tree->caretCount + 1;
    const int32_t caret = data[1] % stops;
    for (int32_t i = 0; i < caret; ++i) RunLayoutEditCommand(s, kEditRight, 0);
    for (int32_t i = 0; i < (data[1] >> 6); ++i) RunLayoutEditCommand(s, kEditLeft, 1);
    const char* text = reinterpret_cast<const char*>(data + kHeaderBytes);
    PasteIntoEditor(s, text, static_cast<int32_t>(size - kHeaderBytes), data[2] & 1);
    CheckReadsBack(s);
    if (UndoEditorChange(s, 0)) CheckReadsBack(s);
    FreeLayoutEditSession(s, 0);
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return RunWithBothLayoutForms(data, size, [](const uint8_t* d, size_t n, bool later) {
        gLater = later;
        RunOne(d, n);
    });
}
