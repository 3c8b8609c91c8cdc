// Label Multiple Objects (figlate): the first label of a sequence, an example of the
// labels that follow it, and whether every selected object shows its label.
#pragma once

#include "ui/dialogs/state_button.h"
#include "ui/dialogs/yrn_dialog.h"

class LabelMultipleDialog : public CYRNDialog {
public:
    LabelMultipleDialog(LabelMultipleRecord* record, DialogChangeFn change);
    ~LabelMultipleDialog() override;
    bool OnInitDialog() override;
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnLabelChange();
    DECLARE_MESSAGE_MAP()

private:
    StateButton* example_ = nullptr;
    bool loading_ = false;
};
