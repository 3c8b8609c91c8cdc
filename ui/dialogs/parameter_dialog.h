// New Parameter (and Edit Parameter Value): a parameter's value, name and unit.
#pragma once

#include "engine/calc/parameter_dialog_record.h"
#include "ui/dialogs/smart_edit.h"
#include "ui/dialogs/yrn_dialog.h"

class NewParameterDialog : public CYRNDialog {
public:
    NewParameterDialog(ParameterDialogRecord* record, DialogChangeFn apply);
    bool OnInitDialog() override;
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnUnitRadio(UINT id);
    DECLARE_MESSAGE_MAP()

private:
    void ShowUnitLabel(int radioId);
    SmartEdit value;
};
