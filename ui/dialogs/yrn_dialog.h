// The base of every dialog of the program: a position remembered per dialog class for
// the life of the process, the first placement over the main window, an optional size
// grip with a table of anchored controls, a help topic, the engine's idle work while it
// runs modally, the exchange of its fields with an engine record followed by an apply
// callback, and, for dialogs that work on the sketch, the chain of dialogs that leave
// the sketch usable and the mouse hook through which the user picks objects.
#pragma once
#include <cstdint>

#include "classlib/dialog.h"
#include "engine/core/services/dialogs.h"
#include "engine/interact/pick_session.h"
#include "platform/rules/dialog_rules.h"

// True while a combo box's list of any dialog is dropped down: the pick hook then leaves
// the mouse alone.
extern bool gComboListOpen;

// Sets or clears gComboListOpen for a combo box's drop-down and close-up (dialogs and
// pages call it before the library handles a command).
void NoteComboListCommand(WPARAM wParam, LPARAM lParam);

// A dialog in the main frame's chain of sketch-interactive dialogs, and the target of
// the pick hook (dialogs and sheets alike).
class InteractiveDialog {
public:
    virtual ~InteractiveDialog() = default;
    virtual CWnd* Window() = 0;
    virtual void OnPickMouse(UINT message, POINT screenPoint) = 0;
    InteractiveDialog* nextInteractive = nullptr;
};

// Placement shared by dialogs and sheets: the remembered corner, or the first one over
// the main window, kept on the desktop.
using PositionExchange = bool (*)(CWnd* window, bool save, DialogCorner* corner);
void PlaceDialogWindow(CWnd* window, PositionExchange exchange);
// Stores the window's top-left corner through `exchange` for its next placement.
void RememberDialogWindow(CWnd* window, PositionExchange exchange);

// Moves and stretches the anchored controls for a new client size (the rectangles the
// controls were laid out for are layoutWidth x layoutHeight, which take the new size).
void LayoutDialogControls(CWnd* dialog, const ControlAnchor* anchors, int32_t* layoutWidth,
                          int32_t* layoutHeight, int32_t newWidth, int32_t newHeight);

class CYRNDialog : public CDialog, public InteractiveDialog {
    DECLARE_DYNAMIC(CYRNDialog)
public:
    CYRNDialog(UINT templateId, CWnd* parent);
    CYRNDialog(UINT templateId, void* record, DialogChangeFn apply, bool sketchInteractive);
    ~CYRNDialog() override;

    INT_PTR DoModal() override;
    bool OnInitDialog() override;
    void OnCancel() override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    virtual void LoadControls() {}
    virtual void ShowHelp();
    virtual int32_t GetHelpTopic() const { return helpTopic; }
    virtual void OnObjectPicked(PickApplyFn apply);
    virtual bool ExchangeWithEngine(bool save);
    virtual void SavePosition();
    virtual bool ExchangeRememberedPosition(bool save, DialogCorner* corner);

    CWnd* Window() override { return this; }
    void OnPickMouse(UINT message, POINT screenPoint) override;

    void SetHelpTopic(int32_t topic) { helpTopic = topic; }
    void EnableControl(int id, bool enable);
    // Copies the table up to its 0 row.
    void SetAnchors(const ControlAnchor* table, bool sizeGrip);
    // Copies the zero-terminated list: clicks on these controls skip field validation.
    void SetNoValidateControls(const int32_t* list);
    void SetAcceptsPicks(bool on);
    // Reads a number typed in the control; refused text fails a saving exchange with a
    // message box.
    bool ReadNumberField(int id, float* value, CDataExchange* dx);
    void WriteNumberField(int id, float value);
    // A missing value fails the exchange with the message of the string resource.
    bool RequireValue(const void* value, UINT messageId, CDataExchange* dx);

    bool Cancelling() const { return cancelling; }

    int32_t helpTopic = 0;
    bool acceptsPicks = false;
    CString caption;
    ControlAnchor* anchors = nullptr;
    bool hasSizeGrip = false;
    int32_t layoutWidth = 0, layoutHeight = 0;
    int32_t minWidth = 10, minHeight = 10;
    void* record = nullptr;
    int32_t reserved = 1;
    int32_t failedControl = 0;
    HFONT symbolFont = nullptr;
    bool hasApplyCallback = false;
    DialogChangeFn applyCallback = nullptr;
    bool exchanging = false;
    bool cancelling = false;
    int32_t* noValidateControls = nullptr;
    HHOOK pickHook = nullptr;
    bool sketchInteractive = false;

protected:
    LRESULT OnKickIdle(WPARAM, LPARAM count);
    LRESULT OnApplyRequest(WPARAM, LPARAM);
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    void OnSizing(UINT side, LPRECT rect);
    LRESULT OnNcHitTest(CPoint point);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    void OnLButtonDown(UINT flags, CPoint point);
    BOOL OnHelpInfo(HELPINFO* info);
    void OnHelpCommand() { ShowHelp(); }
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    DialogRect GripRect() const;
    void JoinInteractiveChain();
};

// The position every dialog class without its own shares.
RememberedPosition& SharedDialogPosition();

// The thread's pick hook: installed for a sketch-interactive dialog or sheet while it is
// active, one at a time.
HHOOK InstallPickHook(InteractiveDialog* target);
void RemovePickHook(InteractiveDialog* target);
InteractiveDialog* PickHookTarget();

// One mouse message of a pick over the sketch: a move over the front sketch's view makes
// the acceptable object under the pointer hot and sets the cursor; a message elsewhere
// ends the step (a press beeps). True only for a press on an acceptable object, given in
// *object; a press on anything else goes to the session's refusal and beeps.
bool PickPressAt(UINT message, POINT screenPoint, SketchObject** object);

// The main frame's chain of sketch-interactive dialogs and its dialog-active flag.
InteractiveDialog* InteractiveChainHead();
void PushInteractiveDialog(InteractiveDialog* dialog);
void UnlinkInteractiveDialog(InteractiveDialog* dialog);
void SetDialogActiveFlag(bool on);
bool DialogActiveFlag();
