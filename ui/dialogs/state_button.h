// An owner-drawn button whose face shows a formatted-text layout (a formula, a unit, a
// symbol), shrunk by script levels until it fits.
#pragma once

#include "classlib/dialog_controls.h"

struct LayoutNode;

class StateButton : public CButton {
public:
    explicit StateButton(int controlId) : controlId(controlId) {}
    ~StateButton() override;

    // Takes the tree (freeing the one shown before) and repaints the face; whether a
    // tree is shown now.
    bool SetLayout(LayoutNode* tree);
    void DrawItem(LPDRAWITEMSTRUCT dis) override;

    int controlId;
    LayoutNode* layout = nullptr;
};
