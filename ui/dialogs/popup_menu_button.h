// An owner-drawn push button with a small down-pointing triangle: a press opens a
// pop-up menu of its own items, or asks the parent (command id + 2000) to open one,
// while the sketch's animation goes on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "classlib/dialog_controls.h"

class PopupMenuButton : public CButton {
public:
    PopupMenuButton();

    // Subclasses a template button and notes its mnemonic.
    bool Attach(HWND button);
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    bool PreTranslateMessage(MSG* msg) override;

    bool constructed = true;
    bool arrowActive = true;
    char mnemonic = 0;
    std::vector<std::string> items;   // "-" is a separator
    int32_t firstItemId = 0;

private:
    void Activate();
};

// The menu a button with items opens: its text greyed (id 0), a separator, then each
// item (id firstItemId + its index, separators counted) or a separator for "-".
HMENU BuildButtonMenu(const char* title, const std::vector<std::string>& items, int32_t firstItemId);

// The character after the first "&" of a text, 0 when none.
char MnemonicOf(const char* text);

// The thread timer (20 ms) that keeps the engine's idle work going while a pop-up menu
// or a parent's handler runs its own loop.
void CALLBACK ModalIdleTimerProc(HWND, UINT, UINT_PTR, DWORD time);
