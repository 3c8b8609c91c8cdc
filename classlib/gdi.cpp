#include "classlib/gdi.h"

#include "classlib/handle_maps.h"
#include "classlib/wnd.h"

#include <cstring>

namespace {
thread_local TempHandleMap<CGdiObject, HGDIOBJ> tempGdi;
thread_local TempHandleMap<CDC, HDC> tempDC;
}  // namespace

void FreeTemporaryGdiObjects() {
    tempGdi.Clear([](CGdiObject* o) { o->m_hObject = nullptr; });
    tempDC.Clear([](CDC* dc) { dc->m_hDC = dc->m_hAttribDC = nullptr; });
}

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

CGdiObject::~CGdiObject() {
    if (!m_bTemporary) DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) {
    if (!h) return nullptr;
    return tempGdi.Get(h, [h] {
        CGdiObject* o = new (std::nothrow) CGdiObject;
        if (o) o->m_hObject = h;
        return o;
    });
}

bool CGdiObject::Attach(HGDIOBJ h) {
    if (!h) return false;
    DeleteObject();
    m_hObject = h;
    return true;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

bool CGdiObject::DeleteObject() {
    if (!m_hObject) return false;
    HGDIOBJ h = Detach();
    return ::DeleteObject(h) != FALSE;
}

bool CGdiObject::CreateStockObject(int index) { return Attach(::GetStockObject(index)); }

bool CBrush::CreatePatternBrush(CBitmap* bitmap) {
    return Attach(::CreatePatternBrush(static_cast<HBITMAP>(*bitmap)));
}

bool CFont::CreatePointFont(int tenthsOfPoint, const char* face, CDC* dc) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face ? face : "", LF_FACESIZE);
    HDC h = dc ? dc->m_hDC : ::GetDC(nullptr);
    POINT p = { 0, ::GetDeviceCaps(h, LOGPIXELSY) * tenthsOfPoint / 720 };
    POINT origin = { 0, 0 };
    if (dc) {
        ::DPtoLP(h, &p, 1);
        ::DPtoLP(h, &origin, 1);
    } else {
        ::ReleaseDC(nullptr, h);
    }
    lf.lfHeight = -std::abs(p.y - origin.y);
    return CreateFontIndirect(&lf);
}

bool CBitmap::LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEA(id)); }

bool CBitmap::LoadBitmap(const char* name) {
    return Attach(::LoadBitmapA(ResourceModule(), name));
}

bool CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc->m_hDC, width, height));
}

CDC::~CDC() {
    if (!m_bTemporary && m_hDC && !m_hWndOwner) DeleteDC();
}

CDC* CDC::FromHandle(HDC h) {
    if (!h) return nullptr;
    return tempDC.Get(h, [h] {
        CDC* dc = new (std::nothrow) CDC;
        if (dc) dc->m_hDC = dc->m_hAttribDC = h;
        return dc;
    });
}

bool CDC::Attach(HDC h) {
    if (!h) return false;
    m_hDC = m_hAttribDC = h;
    return true;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    return h;
}

bool CDC::DeleteDC() {
    if (!m_hDC) return false;
    return ::DeleteDC(Detach()) != FALSE;
}

CGdiObject* CDC::SelectObject(CGdiObject* obj) {
    if (!obj) return nullptr;
    return CGdiObject::FromHandle(::SelectObject(m_hDC, obj->m_hObject));
}

void CDC::FillSolidRect(const RECT* r, COLORREF color) {
    ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    RECT r = { x, y, x + cx, y + cy };
    FillSolidRect(&r, color);
}

void CDC::Draw3dRect(const RECT* r, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx, y, -1, cy, bottomRight);
    FillSolidRect(x, y + cy, cx, -1, bottomRight);
}

bool CDC::TextOut(int x, int y, const char* text) {
    return TextOut(x, y, text, static_cast<int>(std::strlen(text)));
}

CSize CDC::GetTextExtent(const char* text, int length) const {
    SIZE s{};
    ::GetTextExtentPoint32A(m_hAttribDC, text, length, &s);
    return s;
}

CSize CDC::GetTextExtent(const char* text) const {
    return GetTextExtent(text, static_cast<int>(std::strlen(text)));
}

CPaintDC::CPaintDC(CWnd* wnd) {
    m_hWndOwner = wnd->m_hWnd;
    Attach(::BeginPaint(m_hWndOwner, &m_ps));
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWndOwner, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* wnd) {
    m_hWndOwner = wnd ? wnd->m_hWnd : nullptr;
    Attach(::GetDC(m_hWndOwner));
    if (!m_hWndOwner) m_hWndOwner = ::GetDesktopWindow();
}

CClientDC::~CClientDC() { ::ReleaseDC(m_hWndOwner == ::GetDesktopWindow() ? nullptr : m_hWndOwner, Detach()); }

CWindowDC::CWindowDC(CWnd* wnd) {
    m_hWndOwner = wnd ? wnd->m_hWnd : nullptr;
    Attach(::GetWindowDC(m_hWndOwner));
    if (!m_hWndOwner) m_hWndOwner = ::GetDesktopWindow();
}

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWndOwner == ::GetDesktopWindow() ? nullptr : m_hWndOwner, Detach()); }
