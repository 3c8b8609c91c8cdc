// The main frame's place in the clipboard viewer chain: every viewer is told of each
// change to the clipboard and hands the news on to the viewer after it.
#pragma once
#include <windows.h>

struct ClipboardViewerLink {
    HWND next = nullptr;   // the viewer after this window, or null
    bool joined = false;
};

// Joins the chain at its head.
void JoinClipboardChain(HWND self, ClipboardViewerLink* link);
// WM_DRAWCLIPBOARD: passes the news on, with both parameters 0.
void PassDrawClipboard(const ClipboardViewerLink& link);
// WM_CHANGECBCHAIN: `removed` leaves, `after` was behind it. When it is the viewer after
// this window, the one behind takes its place; otherwise the news goes on.
void PassChangeCbChain(ClipboardViewerLink* link, HWND removed, HWND after);
// Leaves the chain and forgets the next viewer.
void LeaveClipboardChain(HWND self, ClipboardViewerLink* link);
