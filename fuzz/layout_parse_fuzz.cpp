// Layout-language text from documents and the clipboard, as hostile as it comes: the
// parser must never read past the end, and whatever it accepts must write back to a
// fixed point and survive normalising, measuring, drawing and hit testing. Each input
// goes through figmantle's reader and then figlate's, which wraps text blocks (the first
// byte chooses its reading options; the fixed points keep the widths read).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/text/layout.h"
#include "both_layout_forms.h"
#include "tests/support/text_port_double.h"

namespace {

std::string Write(LayoutNode* node, uint32_t options) {
    LayoutWriteContext context{};
    context.options = options;
    const int32_t n = SerializeLayout(node, nullptr, &context);
    std::string out(static_cast<size_t>(n), '\0');
    if (SerializeLayout(node, out.data(), &context) != n) std::abort();
    return out;
}

// In figlate's pass the widths written are read back as they stand.
LayoutParseContext gReadBack{ nullptr, nullptr, nullptr, kParseKeepWrapWidth };
bool gLater = false;

LayoutNode* Parse(const std::string& text) {
    LayoutNode* root = nullptr;
    const ResultCode r = ParseLayoutString(&root, text.data(), text.size(), gLater ? &gReadBack : nullptr);
    if (r >= kLayoutParseNoMemory) {
        if (root) std::abort();
        return nullptr;
    }
    if (!root) std::abort();
    return root;
}

int RunOne(const uint8_t* data, size_t size) {
    // An exact-size copy, so that any read past the end is caught.
    char* text = static_cast<char*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(text, data, size);
    LayoutNode* root = nullptr;
    LayoutParseContext first{ nullptr, nullptr, nullptr, size ? data[0] & 3u : 0u };
    const ResultCode result = ParseLayoutString(&root, text, size, gLater ? &first : nullptr);
    std::free(text);
    if (result >= kLayoutParseNoMemory) {
        if (root) std::abort();
        return 0;
    }

    const std::string once = Write(root, 0);
    LayoutNode* again = Parse(once);
    if (!again || Write(again, 0) != once) std::abort();
    FreeLayoutNode(again);

    for (uint32_t options : { uint32_t{ kWritePlainText }, uint32_t{ kWriteSkipStyles }, uint32_t{ kWriteRowsAsOneRow },
                              uint32_t{ kWriteShownAlternativeOnly },
                              uint32_t{ kWritePlainText | kWriteRowsAsOneRow } })
        Write(root, options);

    ResetTextPort();
    LayoutDrawState state{};
    FillTextStyle(&state.style, 1);
    state.style.field[kStyleSize] = 12;
    state.style.field[kStyleScriptLevel] = 0;
    state.x = 40;
    state.y = 40;
    MeasureLayout(root, &state);
    DrawLayout(root, &state);
    int32_t index = 0, side = 0;
    LayoutCaretFromPoint(root, &state, ScreenPoint{ 45, 38 }, &index, &side);

    root = NormalizeLayout(root, nullptr);
    const std::string normalised = Write(root, 0);
    LayoutNode* reread = Parse(normalised);
    if (!reread || Write(reread, 0) != normalised) std::abort();
    FreeLayoutNode(reread);
    MeasureLayout(root, &state);
    DrawLayout(root, &state);
    LayoutCaretFromPoint(root, &state, ScreenPoint{ 60, 45 }, &index, &side);
    if (TextPortDepth() != 0) std::abort();
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
