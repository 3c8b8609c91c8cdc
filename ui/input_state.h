// The keyboard and mouse state that the user interface reads while it routes input.
#pragma once
#include <windows.h>

// A key held now (asynchronous state).
inline bool KeyHeld(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

// The primary mouse button (the right one when the buttons are swapped) is down.
inline bool PrimaryButtonDown() { return KeyHeld(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON); }

// The focus is in an edit control, which keeps Backspace and Delete for itself.
inline bool FocusIsEdit(HWND focus) {
    if (!focus) return false;
    char name[16] = "";
    GetClassNameA(focus, name, sizeof name);
    return lstrcmpiA(name, "Edit") == 0;
}
