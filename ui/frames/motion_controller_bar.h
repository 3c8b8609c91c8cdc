// The Motion Controller: a dockable bar that drives the front sketch's animations. The
// engine computes the state of its eight items and tells the bar when one changed
// (RefreshMotionControllerItem); every command goes back through RunMotionBarCommand on
// the front sketch.
#pragma once
#include <cstdint>

#include "classlib/controlbar.h"
#include "ui/dialogs/popup_menu_button.h"
#include "ui/dialogs/smart_edit.h"

struct SketchObject;

// Commands and controls of the bar (the status prompts share the numbers).
constexpr UINT kMotionAnimateId = 1189;
constexpr UINT kMotionStopId = 1190;
constexpr UINT kMotionPauseId = 1191;
constexpr UINT kMotionReverseId = 1192;
constexpr UINT kMotionSpeedBoxId = 1195;
constexpr UINT kMotionTargetId = 1196;
constexpr UINT kMotionSpinId = 1197;
constexpr UINT kMotionSpeedLabelId = 1199;
constexpr UINT kMotionTargetMenuCommand = kMotionTargetId + 2000;
constexpr UINT kFirstMotionTargetItem = 4096;
constexpr int32_t kMotionBarItemCount = 8;

class MotionControllerBar : public CToolBar {
    DECLARE_DYNAMIC(MotionControllerBar)
public:
    MotionControllerBar();
    ~MotionControllerBar() override;

    // Creates the bar with its buttons, title and controls in the frame; false on failure.
    bool CreateBar(CFrameWnd* frame, bool largeButtons);
    void LayoutControls();
    // Shows item `index` (0..7) in the state the engine last gave it.
    void UpdateControl(int32_t index);
    // Records the engine's state of an item, then shows it.
    void SetItemState(int32_t index, int32_t state);
    int32_t ItemState(int32_t index) const { return itemStates[index]; }
    void OnAnimateCommand(UINT id);
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Floating, the bar may wrap its buttons by chunks where the program does so, so that
    // the speed controls stay together.
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    // The target button's caption for the current state and selection.
    void RefreshTargetCaption();
    // The screen point where the target menu opens for a mouse at `mouse`.
    POINT TargetMenuPlace(POINT mouse) const;

    PopupMenuButton targetButton;
    SmartEdit* speedBox = nullptr;
    CWnd speedLabel;
    CWnd spin;
    int32_t spinPosition = 100;
    bool initialised = false;
    bool speedUnderEdit = false;
    bool speedBoxUpdating = false;
    uint32_t changeCountAtEdit = 0;
    HFONT symbolFont = nullptr;
    SketchObject* targetList = nullptr;
    SketchObject* hoverObject = nullptr;
    int32_t hoverHidden = 0;
    bool large = false;
    int32_t itemStates[kMotionBarItemCount] = { 2, 2, 2, 2, 2, 2, 2, 2 };

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnTargetMenu();
    void OnVScroll(UINT code, UINT position, CScrollBar* bar);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    void OnShowWindow(BOOL show, UINT status);
    void OnWindowPosChanged(WINDOWPOS* pos);
    LRESULT OnSpeedTyped(WPARAM, LPARAM);
    void OnSpeedSetFocus();
    void OnSpeedKillFocus();
    void OnAnimateRange(UINT id) { OnAnimateCommand(id); }
    DECLARE_MESSAGE_MAP()

private:
    void ApplyTypedSpeed(double value);
    void FocusMainWindow();
    void RestoreHover();
    int charHeight = 13;
};

// The frame's Motion Controller, or null before it exists.
MotionControllerBar* TheMotionController();
