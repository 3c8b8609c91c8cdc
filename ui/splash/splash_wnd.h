// The product picture: the splash window of start-up and, opened from the About
// command, the About box with credit pages scrolling over the picture's right part.
// One window at most; any button-down or key-down in the program closes it.
#pragma once
#include <windows.h>

#include <cstdint>

#include "classlib/wnd.h"
#include "engine/core/result_codes.h"

struct LayoutNode;
struct LayoutDrawState;
struct LayoutParseContext;

class SplashWnd : public CWnd {
public:
    // The command line's choice, once at start-up: off for embedding and shell printing.
    static void EnableSplash(bool enabled);
    // Nothing when the splash is not enabled or a window is open already.
    static void Show(CWnd* parent, bool aboutMode);
    // Every message of the program passes here first. Answers true (consumed) only for
    // the input that closed the window and was addressed to it.
    static bool DismissOnInput(const MSG* msg);
    static SplashWnd* Current();

    void Hide();
    // The frame shown after the picture was made over it may cover it on the screen.
    void BringAboveFrame();

    HBITMAP m_picture = nullptr;
    bool m_creditsShown = false;
    bool m_aboutMode = false;
    bool m_timerRunning = false;
    bool m_colourDisplay = false;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnPaint();
    void OnTimer(UINT_PTR id);
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    SplashWnd(bool aboutMode, bool colourDisplay, HBITMAP picture);
    ~SplashWnd() override;
};

// ---- Credit pages

constexpr int32_t kCreditPageCount = 4;
// The baseline of a page that is not placed yet (it is centred in the band when drawn).
constexpr int32_t kCreditUnplaced = -32767;
// The band the credits scroll through: from the top of the picture down to here, the
// pages' right edge this far inside the picture's right edge, and the part repainted
// while they scroll starting at this x.
constexpr int32_t kCreditBandBottom = 168;
constexpr int32_t kCreditRightMargin = 20;
constexpr int32_t kCreditRepaintLeft = 300;
constexpr int32_t kCreditStepMs = 30;

// Parses one text of the layout language with the credits' placeholders: %1 the
// release line, %2 the build number, %3 the release number, %4 an empty slot; any
// other placeholder fails with 3. The tree is null unless the result is 0 or 1.
ResultCode ParseCreditText(const char* text, LayoutNode** out);
// Page n (0..3) of the program's credits.
ResultCode BuildCreditPage(int32_t page, LayoutNode** out);

// The process-wide scroll state of the credits.
struct CreditScroll {
    LayoutNode* page;       // owned; null when no page could be built
    int32_t     baseline;   // kCreditUnplaced until first drawn
    int32_t     height;     // ascent + descent, set when measured
    int32_t     nextIndex;  // 1..4: the page after the shown one (shown = nextIndex - 1)
};
CreditScroll& Credits();
// Page 0, unplaced; answers whether it was built.
bool InitCredits();
void FreeCredits();
// One pixel up (nothing while unplaced).
void ScrollCreditsUp();
// Draws the page right-aligned at `right` inside the band top..bottom; a page that has
// gone above the band gives way to the next one entering at the bottom.
void DrawCredits(const LayoutDrawState* state, int32_t right, int32_t top, int32_t bottom);
