// The Calculator: the modal dialog in which the user builds a calculation or a function
// with the keypad, the keyboard, four pop-up menus and clicks on values in the sketch.
// The editing itself belongs to the engine's calculator model; the dialog turns keys,
// clicks and menu choices into its calls, shows the expression area and the live
// display, and keeps the keypad's states in step with the model.
#pragma once
#include <cstdint>

#include "classlib/dialog_controls.h"
#include "ui/dialogs/yrn_dialog.h"

class PopupMenuButton;
class StateButton;
struct LayoutDrawState;
struct GraphicsPort;

// The template and its controls.
constexpr UINT kCalcTemplate = 172;
constexpr int kCalcDisplay = 1352;
constexpr int kCalcDisplayFrame = 1358;
constexpr int kCalcExpression = 1155;
constexpr int kCalcExpressionFrame = 1360;
constexpr int kCalcMessage = 1363;
constexpr int kCalcFormsButton = 7;
constexpr int kCalcValuesButton = 4;
constexpr int kCalcFunctionsButton = 5;
constexpr int kCalcUnitsButton = 6;
// Sent to itself after a press in the expression area: refresh keys and display.
constexpr UINT kCalcRefreshMessage = WM_USER + 21;

class CCalcDialog : public CYRNDialog {
public:
    CCalcDialog(int32_t helpTopic, int32_t titleItem);
    ~CCalcDialog() override;

    bool OnInitDialog() override;
    bool PreTranslateMessage(MSG* msg) override;
    void OnOK() override;
    void OnObjectPicked(PickApplyFn apply) override;
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

    // The steps the keys, the keypad and the menus run (public for the tests).
    void InsertToken(uint16_t code);
    void MoveCaret(int32_t code);
    bool TypeLetter(char character);
    void RefreshKeys();
    void ApplyKeyStates(const bool* flags, bool picks);
    void RefreshDisplay();
    int32_t MoveSplitter(int32_t dy);
    void OnKeypad(UINT id);
    void OnMenuButton(UINT id);
    // A chosen item of a pop-up menu (kind 0 values to 3 forms).
    void ChooseMenuItem(int32_t kind, uint32_t item);

    StateButton* display = nullptr;
    bool menuTracking = false;
    int32_t titleItem = 0;
    HBITMAP keyBitmaps[20] = {};        // by control id - 1080 (the variable key's slot unused)
    HBITMAP variableBitmaps[4] = {};    // the variable key for forms 0 to 3
    PopupMenuButton* menuButtons[4] = {};   // controls 7, 4, 5, 6
    HFONT displayFont = nullptr;
    POINT splitterStart{};
    bool splitterCaptured = false;
    uint32_t lastIdleTick = 0;

protected:
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnKickIdle(WPARAM, LPARAM count);
    void OnTimer(UINT_PTR id);
    // The editor's idle step: the caret, and the display when the sketch changed it.
    void EditorIdleStep();
    LRESULT OnRefresh(WPARAM, LPARAM);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    DECLARE_MESSAGE_MAP()

private:
    // A draw state on the expression area's DC for the model's own drawing.
    bool BeginEditorDraw(LayoutDrawState* state, GraphicsPort* port);
    void EndEditorDraw();
    void SetVariableKey(int32_t form);
    void PlaceForCalculation();
    RECT ControlRect(int id) const;
    void MoveControlEdges(int id, int32_t dTop, int32_t dBottom);

    HDC editorDC = nullptr;
    HGDIOBJ editorOldFont = nullptr;
    int editorOldMode = 0;
};

// The open calculator (null when none): the pick callback and the pointer tracking
// of the shell find it here.
CCalcDialog* OpenCalculator();

// Runs the calculator modally over the engine's editing model; true on OK.
bool RunCalcDialog(int32_t helpTopic, int32_t titleItem);
