// The Parametric Color dialogs: one value coloured along a spectrum or a grey ramp (with
// a bar per repeat mode showing the colours over the range and beyond), or three values
// as red, green, blue or hue, saturation, value.
#pragma once
#include <cstdint>

#include "ui/dialogs/smart_edit.h"
#include "ui/dialogs/yrn_dialog.h"

// The colour of each inner column of a bar w pixels wide, for repeat mode 0, 1 or 2:
// the range 0 to 1 between two black marks, with 0.9 of a range on either side. Column
// i (1..w-2) goes to colors[i]; colors holds w entries (the first and last are the frame).
void ParamColorBarColumns(int32_t width, int32_t mode, bool spectrum, COLORREF* colors);

class ParamColorDialog : public CYRNDialog {
public:
    // threeValues: the red, green, blue / hue, saturation, value form.
    ParamColorDialog(DialogField* fields, DialogChangeFn apply, bool interactive, bool threeValues);
    ~ParamColorDialog() override;
    bool OnInitDialog() override;
    void LoadControls() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnModelRadio(UINT id);
    void OnRepeatRadio(UINT id);
    void OnBarClick(UINT id);
    void OnFromChange();
    void OnToChange();
    DECLARE_MESSAGE_MAP()

private:
    class Bar : public CButton {
    public:
        Bar(ParamColorDialog* owner, int32_t mode) : owner_(owner), mode_(mode) {}
        void DrawItem(LPDRAWITEMSTRUCT dis) override;

    private:
        ParamColorDialog* owner_;
        int32_t mode_;
    };
    // The typing stays quiet: a refusal is reported only when the user confirms.
    void SilentExchange();
    void CopyRangeText(int editId, int firstLabel);
    DialogField* Fields() const { return static_cast<DialogField*>(record); }

    bool threeValues_;
    bool loading_ = false;   // the fields' own changes while they are filled are no edits
    SmartEdit from_, to_;
    HFONT labelFont_ = nullptr;
    Bar bars_[3] = {{this, 0}, {this, 1}, {this, 2}};
};

class ParamColorRgbDialog : public ParamColorDialog {
public:
    ParamColorRgbDialog(DialogField* fields, DialogChangeFn apply, bool interactive)
        : ParamColorDialog(fields, apply, interactive, true) {}
};
