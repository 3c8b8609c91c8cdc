#include "classlib/ole_ipframe.h"

#include <algorithm>

#include "classlib/com_object.h"
#include "classlib/doc.h"
#include "classlib/ole_server_doc.h"

namespace {

class RefusingDropTarget final : public SingleInterfaceObject<IDropTarget> {
public:
    RefusingDropTarget() : SingleInterfaceObject(IID_IDropTarget) {}
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override { return None(effect); }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override { return None(effect); }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override { return None(effect); }

private:
    static HRESULT None(DWORD* effect) {
        if (effect) *effect = DROPEFFECT_NONE;
        return S_OK;
    }
};

}  // namespace

// ---- Resize bar

IMPLEMENT_DYNAMIC(COleResizeBar, CWnd)

BEGIN_MESSAGE_MAP(COleResizeBar, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {

constexpr int kHandleSize = 7;
// Less than this the object cannot become: its handles would overlap.
constexpr int kLeastSide = 3 * kHandleSize;

// Which edges a handle moves, by handle.
struct HandleEdges {
    bool left, top, right, bottom;
};
constexpr HandleEdges kHandleEdges[8] = {
    // left   top    right  bottom
    { true,  true,  false, false },
    { false, true,  false, false },
    { false, true,  true,  false },
    { false, false, true,  false },
    { false, false, true,  true  },
    { false, false, false, true  },
    { true,  false, false, true  },
    { true,  false, false, false },
};

LPCSTR HandleCursor(int handle) {
    switch (handle) {
        case 0: case 4: return IDC_SIZENWSE;
        case 2: case 6: return IDC_SIZENESW;
        case 1: case 5: return IDC_SIZENS;
        default: return IDC_SIZEWE;
    }
}

}  // namespace

bool COleResizeBar::Create(CWnd* parent, DWORD style, UINT id) {
    RECT r{};
    if (parent) parent->GetClientRect(&r);
    const char* cls = RegisterClassFor(0, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    return cls && CreateEx(WS_EX_TRANSPARENT, cls, "", style | WS_CHILD, r, parent, id);
}

RECT COleResizeBar::HandleRect(const RECT& area, int handle) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    // The handle's corner: 0 at the low edge, 1 in the middle, 2 at the high edge.
    static constexpr int kColumn[8] = { 0, 1, 2, 2, 2, 1, 0, 0 };
    static constexpr int kRow[8] = { 0, 0, 0, 1, 2, 2, 2, 1 };
    const int x = area.left + (kColumn[handle] == 0 ? 0 : kColumn[handle] == 1 ? (w - kHandleSize) / 2 : w - kHandleSize);
    const int y = area.top + (kRow[handle] == 0 ? 0 : kRow[handle] == 1 ? (h - kHandleSize) / 2 : h - kHandleSize);
    return RECT{ x, y, x + kHandleSize, y + kHandleSize };
}

int COleResizeBar::HandleAt(const RECT& area, POINT p) {
    for (int handle = 0; handle < 8; ++handle) {
        const RECT r = HandleRect(area, handle);
        if (::PtInRect(&r, p)) return handle;
    }
    return -1;
}

RECT COleResizeBar::DraggedRect(const RECT& start, int handle, int dx, int dy) {
    RECT r = start;
    if (handle < 0 || handle >= 8) return r;
    const HandleEdges& e = kHandleEdges[handle];
    if (e.left) r.left = std::min<LONG>(start.left + dx, start.right - kLeastSide);
    if (e.right) r.right = std::max<LONG>(start.right + dx, start.left + kLeastSide);
    if (e.top) r.top = std::min<LONG>(start.top + dy, start.bottom - kLeastSide);
    if (e.bottom) r.bottom = std::max<LONG>(start.bottom + dy, start.top + kLeastSide);
    return r;
}

LRESULT COleResizeBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    RECT client;
    GetClientRect(&client);
    auto* frame = static_cast<COleIPFrameWnd*>(GetParent());
    switch (message) {
        case WM_NCHITTEST: {
            POINT p{ static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
            ::ScreenToClient(m_hWnd, &p);
            return handle_ >= 0 || HandleAt(client, p) >= 0 ? HTCLIENT : HTTRANSPARENT;
        }
        case WM_SETCURSOR: {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(m_hWnd, &p);
            const int handle = handle_ >= 0 ? handle_ : HandleAt(client, p);
            if (handle < 0) break;
            ::SetCursor(::LoadCursorA(nullptr, HandleCursor(handle)));
            return TRUE;
        }
        case WM_LBUTTONDOWN: {
            POINT p{ static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
            handle_ = HandleAt(client, p);
            if (handle_ < 0 || !frame || !frame->IsKindOf(RUNTIME_CLASS(COleIPFrameWnd))) {
                handle_ = -1;
                return 0;
            }
            ::GetCursorPos(&dragFrom_);
            startPosition_ = frame->PositionInContainer();
            ::SetCapture(m_hWnd);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (handle_ >= 0 && frame) {
                // The frame follows the pointer; the container decides where it ends up.
                POINT p;
                ::GetCursorPos(&p);
                const RECT r = DraggedRect(startPosition_, handle_, p.x - dragFrom_.x, p.y - dragFrom_.y);
                frame->RepositionFrame(r, r);
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            if (handle_ >= 0) {
                EndDrag(true);
                return 0;
            }
            break;
        case WM_KEYDOWN:
            if (handle_ >= 0 && wParam == VK_ESCAPE) {
                EndDrag(false);
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            // Capture taken away (another window, a message box): the drag is cancelled.
            if (handle_ >= 0 && reinterpret_cast<HWND>(lParam) != m_hWnd) EndDrag(false);
            break;
        default:
            break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void COleResizeBar::EndDrag(bool apply) {
    const int handle = handle_;
    handle_ = -1;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    auto* frame = static_cast<COleIPFrameWnd*>(GetParent());
    if (handle < 0 || !frame) return;
    POINT p;
    ::GetCursorPos(&p);
    const RECT r = DraggedRect(startPosition_, handle, p.x - dragFrom_.x, p.y - dragFrom_.y);
    if (apply && !::EqualRect(&r, &startPosition_)) {
        frame->OnResizeRequest(r);
    } else {
        frame->RepositionFrame(startPosition_, startPosition_);
    }
}

void COleResizeBar::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT r;
    GetClientRect(&r);
    HBRUSH hatch = ::CreateHatchBrush(HS_BDIAGONAL, ::GetSysColor(COLOR_WINDOWFRAME));
    if (hatch) {
        ::FrameRect(dc, &r, hatch);
        ::DeleteObject(hatch);
    }
    HBRUSH solid = ::GetSysColorBrush(COLOR_WINDOWFRAME);
    for (int handle = 0; handle < 8; ++handle) {
        const RECT h = HandleRect(r, handle);
        ::FillRect(dc, &h, solid);
    }
    ::EndPaint(m_hWnd, &ps);
}

// ---- Drop target

IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

COleDropTarget::~COleDropTarget() { Revoke(); }

bool COleDropTarget::Register(CWnd* wnd) {
    if (!wnd || !wnd->m_hWnd || hwnd_) return false;
    target_ = new RefusingDropTarget;
    if (FAILED(::RegisterDragDrop(wnd->m_hWnd, target_))) {
        target_->Release();
        target_ = nullptr;
        return false;
    }
    hwnd_ = wnd->m_hWnd;
    return true;
}

void COleDropTarget::Revoke() {
    if (hwnd_) ::RevokeDragDrop(hwnd_);
    hwnd_ = nullptr;
    if (target_) target_->Release();
    target_ = nullptr;
}

// ---- In-place frame

IMPLEMENT_DYNAMIC(COleIPFrameWnd, CFrameWnd)

COleIPFrameWnd::COleIPFrameWnd() = default;

COleIPFrameWnd::~COleIPFrameWnd() {
    if (m_pFrame) m_pFrame->Release();
    if (m_pDocFrame) m_pDocFrame->Release();
}

bool COleIPFrameWnd::CreateInPlace(COleServerDoc* doc, CRuntimeClass* viewClass, HWND container,
                                   const RECT& position) {
    m_pServerDoc = doc;
    CCreateContext context;
    context.m_pCurrentDoc = doc;
    context.m_pNewViewClass = viewClass;
    context.m_pNewDocTemplate = doc->GetDocTemplate();
    CWnd* parent = CWnd::FromHandle(container);
    if (!Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, position, parent, nullptr, 0,
                &context)) {
        return false;
    }
    InitialUpdateFrame(doc, true);
    // The resize bar was made while the frame had no size yet.
    RepositionFrame(position, position);
    return true;
}

bool COleIPFrameWnd::OnCreateControlBars(HWND, HWND) { return true; }

HMENU COleIPFrameWnd::BuildInPlaceMenu() { return nullptr; }

void COleIPFrameWnd::RepositionFrame(const RECT& position, const RECT&) {
    ::SetWindowPos(m_hWnd, nullptr, position.left, position.top, position.right - position.left,
                   position.bottom - position.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The resize bar covers the whole client, whatever the layout does with the view.
    if (HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_RESIZE_BAR)) {
        RECT client;
        GetClientRect(&client);
        ::SetWindowPos(bar, HWND_TOP, 0, 0, client.right, client.bottom, SWP_NOACTIVATE);
        ::InvalidateRect(bar, nullptr, TRUE);
    }
}

RECT COleIPFrameWnd::PositionInContainer() const {
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void COleIPFrameWnd::OnResizeRequest(const RECT& position) {
    if (!m_pServerDoc || !m_pServerDoc->RequestPositionChange(position)) {
        // Refused: back to where the container keeps the object.
        if (m_pServerDoc) RepositionFrame(m_pServerDoc->m_itemPosition, m_pServerDoc->m_itemPosition);
    }
}

RECT COleIPFrameWnd::ClaimLeftBorder(int width) {
    RECT place{};
    if (!m_pFrame) return place;
    RECT border{};
    if (FAILED(m_pFrame->GetBorder(&border))) return place;
    BORDERWIDTHS widths{ width, 0, 0, 0 };
    if (FAILED(m_pFrame->RequestBorderSpace(&widths)) || FAILED(m_pFrame->SetBorderSpace(&widths))) return place;
    place = RECT{ border.left, border.top, border.left + width, border.bottom };
    return place;
}
