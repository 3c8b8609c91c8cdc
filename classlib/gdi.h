// Thin wrappers of device contexts and drawing objects. An object made by the
// wrapper owns its handle and deletes it; FromHandle gives a temporary, non-owning
// wrapper (deleted at idle time).
#pragma once

#include "classlib/geometry.h"
#include "classlib/runtime_class.h"

class CGdiObject : public CObject {
    DECLARE_DYNCREATE(CGdiObject)
public:
    CGdiObject() = default;
    ~CGdiObject() override;
    HGDIOBJ m_hObject = nullptr;
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    static CGdiObject* FromHandle(HGDIOBJ h);
    bool Attach(HGDIOBJ h);
    HGDIOBJ Detach();
    bool DeleteObject();
    int GetObject(int size, void* buffer) const { return ::GetObjectA(m_hObject, size, buffer); }
    bool CreateStockObject(int index);
    bool m_bTemporary = false;
};

class CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    static CPen* FromHandle(HPEN h) { return static_cast<CPen*>(CGdiObject::FromHandle(h)); }
    bool CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
};

class CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    static CBrush* FromHandle(HBRUSH h) { return static_cast<CBrush*>(CGdiObject::FromHandle(h)); }
    bool CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
    bool CreateHatchBrush(int index, COLORREF color) { return Attach(::CreateHatchBrush(index, color)); }
    bool CreatePatternBrush(class CBitmap* bitmap);
    bool CreateSysColorBrush(int index) { return Attach(::GetSysColorBrush(index)); }
};

class CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    static CFont* FromHandle(HFONT h) { return static_cast<CFont*>(CGdiObject::FromHandle(h)); }
    bool CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirectA(lf)); }
    bool CreatePointFont(int tenthsOfPoint, const char* face, CDC* dc = nullptr);
    int GetLogFont(LOGFONTA* lf) const { return GetObject(sizeof(LOGFONTA), lf); }
};

class CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    static CBitmap* FromHandle(HBITMAP h) { return static_cast<CBitmap*>(CGdiObject::FromHandle(h)); }
    bool LoadBitmap(UINT id);
    bool LoadBitmap(const char* name);
    bool CreateCompatibleBitmap(CDC* dc, int width, int height);
    bool CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
        return Attach(::CreateBitmap(width, height, planes, bitCount, bits));
    }
    int GetBitmap(BITMAP* bm) const { return GetObject(sizeof(BITMAP), bm); }
};

class CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
public:
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    static CRgn* FromHandle(HRGN h) { return static_cast<CRgn*>(CGdiObject::FromHandle(h)); }
    bool CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
    bool CreateRectRgnIndirect(const RECT* r) { return Attach(::CreateRectRgnIndirect(r)); }
    int CombineRgn(const CRgn* a, const CRgn* b, int mode) {
        return ::CombineRgn(*this, a ? static_cast<HRGN>(*a) : nullptr, b ? static_cast<HRGN>(*b) : nullptr, mode);
    }
    bool PtInRegion(POINT p) const { return ::PtInRegion(*this, p.x, p.y) != FALSE; }
    int GetRgnBox(RECT* r) const { return ::GetRgnBox(*this, r); }
};

class CPalette : public CGdiObject {
    DECLARE_DYNAMIC(CPalette)
public:
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};

class CDC : public CObject {
    DECLARE_DYNCREATE(CDC)
public:
    CDC() = default;
    ~CDC() override;
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    static CDC* FromHandle(HDC h);
    bool Attach(HDC h);
    HDC Detach();
    bool CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)); }
    bool DeleteDC();
    bool m_bTemporary = false;

    CGdiObject* SelectObject(CGdiObject* obj);
    CPen* SelectObject(CPen* pen) { return static_cast<CPen*>(SelectObject(static_cast<CGdiObject*>(pen))); }
    CBrush* SelectObject(CBrush* brush) { return static_cast<CBrush*>(SelectObject(static_cast<CGdiObject*>(brush))); }
    CFont* SelectObject(CFont* font) { return static_cast<CFont*>(SelectObject(static_cast<CGdiObject*>(font))); }
    CBitmap* SelectObject(CBitmap* bm) { return static_cast<CBitmap*>(SelectObject(static_cast<CGdiObject*>(bm))); }
    HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }
    CGdiObject* SelectStockObject(int index) { return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(index))); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    bool RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved) != FALSE; }

    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    CSize SetWindowExt(int x, int y) { SIZE s{}; ::SetWindowExtEx(m_hDC, x, y, &s); return s; }
    CSize SetViewportExt(int x, int y) { SIZE s{}; ::SetViewportExtEx(m_hDC, x, y, &s); return s; }
    CPoint SetWindowOrg(int x, int y) { POINT p{}; ::SetWindowOrgEx(m_hDC, x, y, &p); return p; }
    CPoint SetViewportOrg(int x, int y) { POINT p{}; ::SetViewportOrgEx(m_hDC, x, y, &p); return p; }
    void DPtoLP(POINT* p, int count = 1) const { ::DPtoLP(m_hDC, p, count); }
    void LPtoDP(POINT* p, int count = 1) const { ::LPtoDP(m_hDC, p, count); }
    void DPtoLP(RECT* r) const { DPtoLP(reinterpret_cast<POINT*>(r), 2); }
    void LPtoDP(RECT* r) const { LPtoDP(reinterpret_cast<POINT*>(r), 2); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    int GetClipBox(RECT* r) const { return ::GetClipBox(m_hDC, r); }
    int SelectClipRgn(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(*rgn) : nullptr); }
    int IntersectClipRect(const RECT* r) { return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
    bool IsPrinting() const { return m_bPrinting; }
    bool m_bPrinting = false;

    CPoint MoveTo(int x, int y) { POINT p{}; ::MoveToEx(m_hDC, x, y, &p); return p; }
    bool LineTo(int x, int y) { return ::LineTo(m_hDC, x, y) != FALSE; }
    bool Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b) != FALSE; }
    bool Rectangle(const RECT* r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    bool Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b) != FALSE; }
    bool Polygon(const POINT* p, int n) { return ::Polygon(m_hDC, p, n) != FALSE; }
    bool Polyline(const POINT* p, int n) { return ::Polyline(m_hDC, p, n) != FALSE; }
    void FillRect(const RECT* r, CBrush* brush) { ::FillRect(m_hDC, r, *brush); }
    void FillSolidRect(const RECT* r, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FrameRect(const RECT* r, CBrush* brush) { ::FrameRect(m_hDC, r, *brush); }
    void InvertRect(const RECT* r) { ::InvertRect(m_hDC, r); }
    void Draw3dRect(const RECT* r, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    void DrawFocusRect(const RECT* r) { ::DrawFocusRect(m_hDC, r); }
    bool DrawEdge(RECT* r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags) != FALSE; }
    bool BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop) != FALSE;
    }
    bool PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop) != FALSE; }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
    bool TextOut(int x, int y, const char* text, int length) { return ::TextOutA(m_hDC, x, y, text, length) != FALSE; }
    bool TextOut(int x, int y, const char* text);
    int DrawText(const char* text, int length, RECT* r, UINT format) { return ::DrawTextA(m_hDC, text, length, r, format); }
    CSize GetTextExtent(const char* text, int length) const;
    CSize GetTextExtent(const char* text) const;
    bool GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm) != FALSE; }
    UINT SetTextAlign(UINT flags) { return ::SetTextAlign(m_hDC, flags); }

protected:
    HWND m_hWndOwner = nullptr;
};

// The device context of one WM_PAINT pass (BeginPaint ... EndPaint).
class CPaintDC : public CDC {
    DECLARE_DYNAMIC(CPaintDC)
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};
};

// A window's client-area device context, released with the object.
class CClientDC : public CDC {
    DECLARE_DYNAMIC(CClientDC)
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;
};

// A window's whole-window device context, released with the object.
class CWindowDC : public CDC {
    DECLARE_DYNAMIC(CWindowDC)
public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;
};
