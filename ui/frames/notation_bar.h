// The symbolic notation bar (overbars, templates and symbols for the caption being
// edited) and the docking context that lets the floating Script View be sized from any
// edge or corner.
#pragma once
#include "classlib/controlbar.h"
#include "platform/rules/text_style_rules.h"

// The commands of the notation bar and of the colour pop-up.
constexpr UINT kFirstOverbarCommand = 32800;   // segment, ray, line, arc
constexpr UINT kLastOverbarCommand = 32803;
constexpr UINT kFirstNotationCommand = 32804;  // templates and marks of the editor
constexpr UINT kLastNotationCommand = 32814;
constexpr UINT kSymbolMenuCommand = 32819;
constexpr UINT kColorPopupCommand = 32792;

class NotationBar : public CToolBar {
    DECLARE_DYNAMIC(NotationBar)
public:
    // Creates the bar (hidden) in the frame with its buttons and title.
    bool CreateBar(CFrameWnd* frame, bool largeButtons);

    // Set once the bar's window moved other than by the frame's own placement beside
    // the palette: from then on it reappears where the user left it.
    bool placedByUser = false;

protected:
    void OnWindowPosChanged(WINDOWPOS* pos);
    void OnLButtonDown(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

class ScriptViewDockContext : public CDockContext {
public:
    explicit ScriptViewDockContext(CControlBar* bar) : CDockContext(bar) {}
    void StartResize(int hitTest, CPoint point) override;
    void Stretch(CPoint point) override;

private:
    BarRect requestedFrame_{};
    RECT insets_{};   // the bar inside its frame
};
