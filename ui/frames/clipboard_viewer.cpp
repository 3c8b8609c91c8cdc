#include "ui/frames/clipboard_viewer.h"

void JoinClipboardChain(HWND self, ClipboardViewerLink* link) {
    if (link->joined) return;
    link->next = ::SetClipboardViewer(self);
    link->joined = true;
}

void PassDrawClipboard(const ClipboardViewerLink& link) {
    if (link.next) ::SendMessageA(link.next, WM_DRAWCLIPBOARD, 0, 0);
}

void PassChangeCbChain(ClipboardViewerLink* link, HWND removed, HWND after) {
    if (removed == link->next) {
        link->next = after;
    } else if (link->next) {
        ::SendMessageA(link->next, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed),
                       reinterpret_cast<LPARAM>(after));
    }
}

void LeaveClipboardChain(HWND self, ClipboardViewerLink* link) {
    if (!link->joined) return;
    ::ChangeClipboardChain(self, link->next);
    link->next = nullptr;
    link->joined = false;
}
