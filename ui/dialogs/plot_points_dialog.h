// Plot Points: coordinates typed one pair after another, each plotted in the current
// coordinate system while the dialog stays open until Done.
#pragma once

#include "engine/core/services/dialogs.h"
#include "ui/dialogs/smart_edit.h"
#include "ui/dialogs/yrn_dialog.h"

class PlotPointsDialog : public CYRNDialog {
public:
    PlotPointsDialog(PlotPointsRecord* record, DialogChangeFn apply);
    bool OnInitDialog() override;
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnPlot();
    void OnFormRadio(UINT id);
    void OnFieldChange(UINT id);
    LRESULT OnApplyInstead(WPARAM, LPARAM);
    LRESULT OnGetDefId(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    bool BothFieldsHoldText() const;
    void UpdateButtons();
    SmartEdit first, second;
};
