// An owner-drawn button whose face shows a formatted-text layout (a formula, a unit, a
// symbol), set smaller until it fits.
#pragma once

#include "classlib/dialog_controls.h"

struct LayoutNode;

class StateButton : public CButton {
public:
    explicit StateButton(UINT id) : id_(id) {}
    ~StateButton() override;

    // Keeps the tree (freeing the one before) and redraws; true when a tree is set.
    bool SetLayout(LayoutNode* tree);
    void DrawItem(LPDRAWITEMSTRUCT dis) override;

    LayoutNode* layout = nullptr;
    UINT Id() const { return id_; }

private:
    UINT id_;
};
