// Add Table Data and Remove Table Data: how a table grows or shrinks by entries.
#pragma once

#include "engine/interact/table_commands.h"
#include "ui/dialogs/smart_edit.h"
#include "ui/dialogs/yrn_dialog.h"

class AddTableDataDialog : public CYRNDialog {
public:
    AddTableDataDialog(TableEntryDialogRecord* record, DialogChangeFn apply);
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnRadio(UINT id);
    DECLARE_MESSAGE_MAP()

private:
    SmartEdit count{"0123456789"};
    SmartEdit seconds;
};

class RemoveTableDataDialog : public CYRNDialog {
public:
    RemoveTableDataDialog(TableRemoveDialogRecord* record, DialogChangeFn apply);
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnRadio(UINT id);
    DECLARE_MESSAGE_MAP()
};
