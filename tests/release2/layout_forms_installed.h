// figlate's layout forms installed for the life of a scope, and the shared ones back after;
// the break characters of a tree's text block as text.
#pragma once
#include <string>

#include "engine/core/services/later_release.h"
#include "release2/text/layout_forms.h"
#include "release2/text/wrap_width.h"

struct LaterLayoutInstalled {
    LaterLayoutInstalled() {
        LaterReleaseForms forms{};
        AddLayoutForms(&forms);
        InstallLaterForms(forms);
    }
    ~LaterLayoutInstalled() { ResetLaterForms(); }
    LaterLayoutInstalled(const LaterLayoutInstalled&) = delete;
    LaterLayoutInstalled& operator=(const LaterLayoutInstalled&) = delete;
};

// One character a row: '0' for none, else the break character.
inline std::string RowBreakChars(LayoutNode* tree) {
    LayoutNode* block = FindRowsNode(tree);
    std::string out;
    for (int32_t i = 0; i < LayoutChildCount(block); ++i) {
        const int32_t c = GetRowBreakChar(block, i);
        out += c == 0 ? '0' : static_cast<char>(c);
    }
    return out;
}
