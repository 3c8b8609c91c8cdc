#include "classlib/ole_ipframe.h"

#include "classlib/doc.h"
#include "classlib/ole_server_doc.h"

namespace {

class RefusingDropTarget final : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDropTarget)) return E_NOINTERFACE;
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override { return None(effect); }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override { return None(effect); }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override { return None(effect); }

private:
    static HRESULT None(DWORD* effect) {
        if (effect) *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    ULONG refs_ = 1;
};

}  // namespace

// ---- Resize bar

IMPLEMENT_DYNAMIC(COleResizeBar, CWnd)

BEGIN_MESSAGE_MAP(COleResizeBar, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

bool COleResizeBar::Create(CWnd* parent, DWORD style, UINT id) {
    RECT r{};
    if (parent) parent->GetClientRect(&r);
    const char* cls = RegisterClassFor(0, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    return cls && CreateEx(WS_EX_TRANSPARENT, cls, "", style | WS_CHILD, r, parent, id);
}

LRESULT COleResizeBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Stand-in: dragging the border to resize the object is not built.
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    return CWnd::WindowProc(message, wParam, lParam);
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
    return true;
}

bool COleIPFrameWnd::OnCreateControlBars(HWND, HWND) { return true; }

HMENU COleIPFrameWnd::BuildInPlaceMenu() { return nullptr; }

void COleIPFrameWnd::RepositionFrame(const RECT& position, const RECT&) {
    ::SetWindowPos(m_hWnd, nullptr, position.left, position.top, position.right - position.left,
                   position.bottom - position.top, SWP_NOZORDER | SWP_NOACTIVATE);
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
