#include "ui/splash/splash_wnd.h"

#include "classlib/app.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/colors.h"
#include "engine/text/layout.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "ui/resource_ids.h"

namespace {

constexpr UINT_PTR kSplashTimer = 1;
constexpr UINT kAboutStillMs = 6000;
constexpr UINT kSplashShownMs = 15000;
constexpr int16_t kCreditTextSize = 12;

SplashWnd* gSplash = nullptr;
bool gSplashEnabled = false;

// The scrolling of the About box's credits, run from the engine's idle list.
IdleTask gCreditTask{};
uint32_t gNextScroll = 0;
HWND gCreditWindow = nullptr;
RECT gCreditRepaint{};

int32_t CreditTick(IdleTask*, int32_t) {
    const uint32_t now = TickCount();
    if (static_cast<int32_t>(now - gNextScroll) >= 0) {
        ScrollCreditsUp();
        if (gCreditWindow) ::InvalidateRect(gCreditWindow, &gCreditRepaint, FALSE);
        gNextScroll = now + kCreditStepMs;
    }
    return 1;
}

}  // namespace

BEGIN_MESSAGE_MAP(SplashWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

void SplashWnd::EnableSplash(bool enabled) { gSplashEnabled = enabled; }

SplashWnd* SplashWnd::Current() { return gSplash; }

SplashWnd::SplashWnd(bool aboutMode, bool colourDisplay, HBITMAP picture)
    : m_picture(picture), m_aboutMode(aboutMode), m_colourDisplay(colourDisplay) {
    gSplash = this;
}

SplashWnd::~SplashWnd() {
    if (m_picture) ::DeleteObject(m_picture);
    if (gSplash == this) gSplash = nullptr;
}

void SplashWnd::Show(CWnd* parent, bool aboutMode) {
    if (!gSplashEnabled || gSplash) return;
    HDC screen = ::GetDC(nullptr);
    const bool colour = screen && ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES) > 8;
    if (screen) ::ReleaseDC(nullptr, screen);
    HBITMAP picture = static_cast<HBITMAP>(
        ::LoadImageA(ResourceModule(), MAKEINTRESOURCEA(colour ? IDB_SPLASH : IDB_SPLASH_256), IMAGE_BITMAP, 0, 0, 0));
    if (!picture) return;
    BITMAP size{};
    ::GetObjectA(picture, sizeof size, &size);

    auto* splash = new SplashWnd(aboutMode, colour, picture);
    const char* cls = RegisterClassFor(0, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    if (!cls || !splash->CreateEx(0, cls, "", WS_POPUP | WS_VISIBLE, 0, 0, size.bmWidth, size.bmHeight,
                                  parent ? parent->m_hWnd : nullptr, nullptr)) {
        // A window that was never made has no PostNcDestroy to delete the object.
        delete splash;
        return;
    }
    splash->UpdateWindow();
}

int SplashWnd::OnCreate(LPCREATESTRUCT) {
    CenterWindow();
    SetTimer(kSplashTimer, m_aboutMode ? kAboutStillMs : kSplashShownMs);
    m_timerRunning = true;
    m_creditsShown = InitCredits();
    return 0;
}

void SplashWnd::OnTimer(UINT_PTR id) {
    if (id != kSplashTimer) return;
    if (!m_aboutMode) {
        Hide();
        return;
    }
    AddIdleTask(&gCreditTask, CreditTick, kIdleEveryPass);
    GetClientRect(&gCreditRepaint);
    gCreditRepaint.left = kCreditRepaintLeft;
    gCreditWindow = m_hWnd;
    gNextScroll = TickCount() + kCreditStepMs;
    KillTimer(kSplashTimer);
    m_timerRunning = false;
}

void SplashWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    BITMAP size{};
    ::GetObjectA(m_picture, sizeof size, &size);
    HDC pictureDC = ::CreateCompatibleDC(dc);
    HDC backDC = ::CreateCompatibleDC(dc);
    HBITMAP back = ::CreateCompatibleBitmap(dc, size.bmWidth, size.bmHeight);
    if (pictureDC && backDC && back) {
        HGDIOBJ oldPicture = ::SelectObject(pictureDC, m_picture);
        HGDIOBJ oldBack = ::SelectObject(backDC, back);
        ::BitBlt(backDC, 0, 0, size.bmWidth, size.bmHeight, pictureDC, 0, 0, SRCCOPY);
        if (m_creditsShown) {
            HFONT font = ::CreateFontA(-kCreditTextSize, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
            HGDIOBJ oldFont = font ? ::SelectObject(backDC, font) : nullptr;
            LayoutDrawState state;
            GraphicsPort port;
            MakeDrawStateForDC(&state, &port, backDC, false);
            state.style.field[kStyleSize] = kCreditTextSize;
            ColorRefToStyle(m_colourDisplay ? RGB(0, 0, 0) : RGB(255, 255, 255), &state.style);
            ::SetBkMode(backDC, TRANSPARENT);
            RECT client;
            GetClientRect(&client);
            DrawCredits(&state, client.right - kCreditRightMargin, 0, kCreditBandBottom);
            if (oldFont) ::SelectObject(backDC, oldFont);
            if (font) ::DeleteObject(font);
        }
        ::BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, backDC, 0, 0, SRCCOPY);
        ::SelectObject(backDC, oldBack);
        ::SelectObject(pictureDC, oldPicture);
    } else {
        // Without memory for the buffer the picture still shows, without credits.
        HGDIOBJ old = pictureDC ? ::SelectObject(pictureDC, m_picture) : nullptr;
        if (pictureDC) ::BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, pictureDC, 0, 0, SRCCOPY);
        if (old) ::SelectObject(pictureDC, old);
    }
    if (back) ::DeleteObject(back);
    if (backDC) ::DeleteDC(backDC);
    if (pictureDC) ::DeleteDC(pictureDC);
    ::EndPaint(m_hWnd, &ps);
}

void SplashWnd::Hide() {
    RemoveIdleTask(&gCreditTask);
    gCreditWindow = nullptr;
    if (m_timerRunning) {
        KillTimer(kSplashTimer);
        m_timerRunning = false;
    }
    // The picture may hold the activation (a click on it, or its creation); it goes back
    // to the window it was made over rather than to no window at all.
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    const bool wasActive = ::GetActiveWindow() == m_hWnd;
    DestroyWindow();
    if (wasActive && owner && ::IsWindowVisible(owner)) ::SetActiveWindow(owner);
    CWinApp* app = CurrentApp();
    if (app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->UpdateWindow();
}

void SplashWnd::BringAboveFrame() {
    // Where showing a window raises it on the screen alone (Wine without a window
    // manager), the frame covers the picture while the window order still has the
    // picture on top, so a move to the top would change nothing: the picture goes to the
    // bottom and back to the top, and both moves reach the screen.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, flags);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, flags);
}

void SplashWnd::PostNcDestroy() {
    FreeCredits();
    delete this;
}

bool SplashWnd::DismissOnInput(const MSG* msg) {
    if (!gSplash || !gSplash->m_hWnd) return false;
    switch (msg->message) {
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const bool addressed = msg->hwnd == gSplash->m_hWnd;
            gSplash->Hide();
            return addressed;
        }
        default:
            return false;
    }
}
