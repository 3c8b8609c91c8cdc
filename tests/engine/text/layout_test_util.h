// Helpers shared by the layout tests: parsing and writing in one call, an owning handle
// for trees, and a draw state in the default test style.
#pragma once
#include <memory>
#include <string>

#include "engine/text/layout.h"
#include "tests/support/text_port_double.h"

struct LayoutFree {
    void operator()(LayoutNode* node) const { FreeLayoutNode(node); }
};
using LayoutPtr = std::unique_ptr<LayoutNode, LayoutFree>;

inline LayoutPtr ParseLayout(const std::string& text, ResultCode* result = nullptr,
                             LayoutParseContext* context = nullptr) {
    LayoutNode* root = nullptr;
    const ResultCode r = ParseLayoutString(&root, text.data(), text.size(), context);
    if (result) *result = r;
    return LayoutPtr(root);
}

inline std::string WriteLayout(LayoutNode* node, uint32_t options = 0,
                               LayoutWriteContext* context = nullptr) {
    LayoutWriteContext local{};
    local.options = options;
    LayoutWriteContext* ctx = context ? context : &local;
    const int32_t n = SerializeLayout(node, nullptr, ctx);
    std::string out(static_cast<size_t>(n), '\0');
    const int32_t written = SerializeLayout(node, out.data(), ctx);
    out.resize(static_cast<size_t>(written));
    return n == written ? out : "<count and write differ>";
}

// A tree as its plain text (the shown alternative only), freeing the tree; "(none)" for
// no tree.
inline std::string TakePlainText(LayoutNode* node) {
    if (!node) return "(none)";
    const std::string text = WriteLayout(node, kWritePlainText | kWriteShownAlternativeOnly);
    FreeLayoutNode(node);
    return text;
}

// Upright, normal weight, 12 pixels, no script level.
inline LayoutDrawState TestDrawState(int16_t size = 12) {
    LayoutDrawState state{};
    FillTextStyle(&state.style, 1);
    state.style.field[kStyleSize] = size;
    state.style.field[kStyleScriptLevel] = 0;
    return state;
}

// Parses, normalises as an owner does (taking the returned root) and measures.
inline LayoutPtr MeasuredLayout(const std::string& text, const LayoutDrawState& state,
                                bool normalise = false) {
    LayoutPtr tree = ParseLayout(text);
    if (!tree) return tree;
    if (normalise) tree.reset(NormalizeLayout(tree.release(), nullptr));
    MeasureLayout(tree.get(), &state);
    return tree;
}
