// Translate, Rotate and Dilate: the transformation given by typed numbers or by items
// marked in the sketch, with the engine's preview following every change.
#pragma once

#include "engine/core/transform_settings.h"
#include "ui/dialogs/smart_edit.h"
#include "ui/dialogs/state_button.h"
#include "ui/dialogs/yrn_dialog.h"

class TransformDialogBase : public CYRNDialog {
public:
    TransformDialogBase(UINT templateId, TransformSettings* settings, DialogChangeFn apply, bool interactive);

    TransformSettings* Settings() const { return static_cast<TransformSettings*>(record); }

protected:
    // Attaches a real-valued number field to its control.
    void AttachNumber(SmartEdit& edit, int id);
    // Shows the caption of a marked item; false (the item is not marked) when none.
    bool ShowCaption(StateButton& button, int32_t caption);
    // Reads a number field into the entry; false when the text was refused.
    bool ReadField(SmartEdit& edit, int32_t entry, CDataExchange* dx);
    void ShowControl(int id, bool shown);
    void SetUnitLabel(int id, int32_t group, int32_t item);
    // A radio click: the record takes the choice, the preview follows, the dialog reshapes.
    void TakeRadio(int first, int last, int id);
    // The centre the Rotate and Dilate dialogs turn about.
    bool RequireCentre(CDataExchange* dx);
    // Keeps the saving exchange's result; a refusal fails the exchange.
    void Accept(bool ok, CDataExchange* dx);
    bool accepted = false;
};

class TranslateDialog : public TransformDialogBase {
public:
    TranslateDialog(TransformSettings* settings, DialogChangeFn apply, bool interactive);
    bool OnInitDialog() override;
    void LoadControls() override;
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnModeRadio(UINT id);
    void OnPartRadio(UINT id);
    DECLARE_MESSAGE_MAP()

private:
    SmartEdit distance, vertical, angle;
    StateButton head{1028}, tail{1029}, markedDistance{1023}, markedVertical{1031}, markedAngle{1033};
};

// What tells Rotate and Dilate apart: both turn or scale about the marked centre, by an
// amount typed into number fields or given by a marked item.
struct CentredTransformForm {
    UINT    templateId;
    int     fixedRadio;         // "Fixed ..."; "Marked ..." is the next identifier
    int     markedButton;       // the marked item's caption
    int32_t markedCaption;
    int32_t sourceEntry;        // 0 fixed, 1 marked
    int     fixedControls[3];   // shown while the amount is fixed; 0 ends the list
    int     numberIds[2];       // the number fields, and the entries they edit; 0 = none
    int32_t numberEntries[2];
    int     unitLabel;          // the angle unit's label; 0 = none
    RememberedPosition* position;
};

class CentredTransformDialog : public TransformDialogBase {
public:
    CentredTransformDialog(const CentredTransformForm& form, TransformSettings* settings, DialogChangeFn apply,
                           bool interactive);
    bool OnInitDialog() override;
    void LoadControls() override;
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnRadio(UINT id);
    DECLARE_MESSAGE_MAP()

private:
    const CentredTransformForm& form_;
    SmartEdit numbers_[2];
    StateButton marked_, centre_{1035};
};

class RotateDialog : public CentredTransformDialog {
public:
    RotateDialog(TransformSettings* settings, DialogChangeFn apply, bool interactive);
};

class DilateDialog : public CentredTransformDialog {
public:
    DilateDialog(TransformSettings* settings, DialogChangeFn apply, bool interactive);
    bool OnInitDialog() override;

private:
    // The owner-drawn line between numerator and denominator.
    class FractionBar : public CButton {
    public:
        void DrawItem(LPDRAWITEMSTRUCT dis) override;
    };
    FractionBar bar_;
};

// The bits by which Translate's visibility table places its controls.
struct TranslateVisibilityRow {
    int32_t  controlId;
    uint8_t  modes;    // 1 polar, 2 rectangular, 4 marked vector
    uint8_t  states;   // 1/2 fixed/marked distance, 4/8 fixed/marked angle, 0x10/0x20 fixed/marked vertical
    uint8_t  flags;    // 1 hidden when not active, 2 enabled when not active
};
struct ControlShape {
    bool shown;
    bool enabled;
};
ControlShape TranslateControlShape(const TranslateVisibilityRow& row, uint8_t modeBit, uint8_t stateBits);
extern const TranslateVisibilityRow TranslateVisibility[23];
