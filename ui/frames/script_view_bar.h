// The Script View: a dialog bar that shows one custom tool as rows of givens and steps,
// with the tool's comment above them and the buttons that play the tool into the front
// sketch below. The engine decides what the rows say and when they change; the bar draws
// them, lets the user reorder the givens, and offers each row's properties and styles.
#pragma once
#include <cstdint>
#include <vector>

#include "classlib/controlbar.h"
#include "classlib/dialog_controls.h"

class ScriptPrint;
class ScriptViewBar;

// Controls of the bar's template.
constexpr UINT kScriptCommentId = 1253;
constexpr UINT kScriptStepListId = 1293;
constexpr UINT kScriptNextStepId = 1346;
constexpr UINT kScriptStatusId = 1354;
constexpr UINT kScriptApplyLabelId = 1355;
constexpr UINT kScriptAllStepsId = 1356;
constexpr UINT kScriptHelpId = 1361;

// Items of a row's context menu.
constexpr UINT kScriptLineWidthItem = 1000;   // dashed, thin, thick: 1000 + the line style
constexpr UINT kScriptTraceItem = 1003;
constexpr UINT kScriptPropertiesItem = 1004;
constexpr UINT kScriptPageSetupItem = 1005;
constexpr UINT kScriptPrintItem = 1006;

// The step list: owner-drawn rows of varying height; givens are dragged to a new place.
class CScriptStepListBox : public CDragListBox {
    DECLARE_DYNAMIC(CScriptStepListBox)
public:
    // Scrolls so that the row (1-based) shows.
    void EnsureStepVisible(int32_t row);

    bool BeginDrag(CPoint point) override;
    UINT Dragging(CPoint point) override;
    void Dropped(int sourceIndex, CPoint point) override;
    void CancelDrag(CPoint point) override;
    void DrawInsert(int index) override;
    int ItemFromPt(CPoint point, bool autoScroll = true) const override;

    // The row (1-based) under a point of the list's client area, 0 for none.
    int32_t RowAt(CPoint client) const;
    // The row a drop at a screen point inserts before (row count + 1: after the last).
    int32_t InsertionRowAt(CPoint screen) const;

    ScriptViewBar* bar = nullptr;
    int dragItem = -1;
    int lastInsert = -1;
    bool dragging = false;

protected:
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnContextMenu(CWnd* wnd, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    // The pointer is over a row (0: none): the engine may light what the row's step made.
    void ShowStepUnderPointer(int32_t row);
    void InvertBand(int insertRow);
    bool leaveTracked_ = false;
    std::vector<bool> GivenRows(bool draggableOnly) const;
};

class ScriptViewBar : public CDialogBar {
    DECLARE_DYNAMIC(ScriptViewBar)
public:
    ScriptViewBar();
    ~ScriptViewBar() override;

    // Creates the bar from its template in the frame, hidden; false on failure.
    bool CreateBar(CFrameWnd* frame);
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    bool PreTranslateMessage(MSG* msg) override;

    // A tool with `rowCount` rows and its comment; 0 rows: no tool, only the help text.
    void ShowTool(int32_t rowCount, const char* comment);
    void SetStepCount(int32_t count);
    // The status line, or the apply buttons when a step may be applied.
    void RefreshStatus();
    void SetPressedRow(int32_t row, bool on);
    // Hands the script to the Script Printer and starts its print.
    void PrintScript();

    // The hidden Script Printer window, null when it could not be made; the window
    // deletes its own object, so it is found again by its handle.
    ScriptPrint* Printer() const;

    CScriptStepListBox stepList;
    HFONT rowFont = nullptr;
    HWND printerWindow = nullptr;
    int32_t rowCount = 0;
    int32_t widestRow = 0;
    int32_t pressedRow = 0;
    bool toolShown = false;
    // Sizes: docked, the last floating one, and the least the controls allow.
    CSize dockedSize;
    CSize floatingSize;
    CSize minimumSize;

protected:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnCaptureChanged(CWnd* wnd);
    void OnShowWindow(BOOL show, UINT status);
    void OnWindowPosChanged(WINDOWPOS* pos);
    void OnClose();
    void OnNextStep();
    void OnAllSteps();
    void OnUpdateApply(CCmdUI* cmdUI);
    void OnCommentChange();
    DECLARE_MESSAGE_MAP()

private:
    void ShowControls(bool tool);
    void LayoutForSize(CSize size);
    bool InSplitter(CPoint client) const;
    void MoveSplitter(int32_t delta);
    void StopPlaybackOnHide();
    void Apply(bool all);

    int32_t layoutWidth_ = 0;
    int32_t layoutHeight_ = 0;
    bool settingComment_ = false;
    bool splitting_ = false;
    int32_t splitStartY_ = 0;
};

// The frame's Script View, or null before it exists.
ScriptViewBar* FindScriptView();
