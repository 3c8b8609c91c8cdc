#include "classlib/dialog_controls.h"

#include <vector>

IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CDragListBox, CListBox)

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

bool CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (result) *result = TRUE;
        return true;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}

UINT DragListMessage() {
    static const UINT message = ::RegisterWindowMessageA(DRAGLISTMSGSTRING);
    return message;
}

bool CDragListBox::MakeDragList() {
    INITCOMMONCONTROLSEX init = { sizeof init, ICC_WIN95_CLASSES };
    ::InitCommonControlsEx(&init);
    DragListMessage();
    return ::MakeDragList(m_hWnd) != FALSE;
}

bool CDragListBox::BeginDrag(CPoint point) {
    dragSource_ = ItemFromPt(point, false);
    if (dragSource_ < 0) return false;
    DrawInsert(dragSource_);
    return true;
}

UINT CDragListBox::Dragging(CPoint point) {
    const int index = ItemFromPt(point);
    DrawInsert(index);
    return index >= 0 ? DL_MOVECURSOR : DL_STOPCURSOR;
}

void CDragListBox::CancelDrag(CPoint) {
    DrawInsert(-1);
    dragSource_ = -1;
}

void CDragListBox::Dropped(int sourceIndex, CPoint point) {
    DrawInsert(-1);
    const int target = ItemFromPt(point, false);
    dragSource_ = -1;
    if (sourceIndex < 0 || target < 0 || target == sourceIndex) return;
    const int length = GetTextLen(sourceIndex);
    if (length < 0) return;
    std::vector<char> text(static_cast<size_t>(length) + 1);
    GetText(sourceIndex, text.data());
    const DWORD_PTR data = GetItemData(sourceIndex);
    DeleteString(sourceIndex);
    // The item goes before the one it was dropped on; moving down, that one moved up.
    const int at = target > sourceIndex ? target - 1 : target;
    const int placed = InsertString(at, text.data());
    if (placed >= 0) {
        SetItemData(placed, data);
        SetCurSel(placed);
    }
}

void CDragListBox::DrawInsert(int index) {
    if (index == lastInsert_) return;
    lastInsert_ = index;
    ::DrawInsert(::GetParent(m_hWnd), m_hWnd, index);
}

int CDragListBox::ItemFromPt(CPoint point, bool autoScroll) const {
    return ::LBItemFromPt(m_hWnd, point, autoScroll);
}

bool CDragListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message != DragListMessage()) return CListBox::OnChildNotify(message, wParam, lParam, result);
    auto* info = reinterpret_cast<DRAGLISTINFO*>(lParam);
    const CPoint point(info->ptCursor);
    LRESULT r = 0;
    switch (info->uNotification) {
    case DL_BEGINDRAG: r = BeginDrag(point) ? TRUE : FALSE; break;
    case DL_DRAGGING: r = static_cast<LRESULT>(Dragging(point)); break;
    case DL_DROPPED: Dropped(dragSource_, point); break;
    case DL_CANCELDRAG: CancelDrag(point); break;
    default: break;
    }
    if (result) *result = r;
    return true;
}
