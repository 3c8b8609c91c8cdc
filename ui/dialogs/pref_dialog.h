// The Preferences sheet: three basic pages, and three advanced ones when the model's page
// set holds their fields. Values pass between the controls and the model's field arrays;
// the pages add what a field cannot say (the Apply To pair, filled combo boxes, colour
// buttons and the colour dialogs, the font list, Reset All Preferences).
#pragma once
#include <cstdint>

#include "classlib/propsheet.h"
#include "engine/core/services/dialogs.h"
#include "ui/dialogs/yrn_prop_sheet.h"

struct PreferencePageSet;

// The control of a page's field (page index, field index); 0: no control.
using FieldControlFn = int32_t (*)(int32_t page, int32_t field);

// Stand-in: the Properties sheet brings the shared property page base; until it is on
// main, the Preferences pages have this one of their own with the same members and
// exchange, so they can move onto it unchanged.
class PrefPageBase : public CPropertyPage {
    DECLARE_DYNAMIC(PrefPageBase)
public:
    PrefPageBase(UINT templateId, DialogField* fields, void* object, FieldControlFn controlIdOf, int32_t pageIndex,
                 int32_t fieldCount);

    void SetHelpTopic(int32_t topic) { helpTopic = topic; }
    virtual void ShowHelp();
    virtual int32_t GetHelpTopic() { return helpTopic; }
    // Exchanges every field that has a control; false when any refused its value (all
    // are still visited). Records this page as the sheet's current one.
    virtual bool ExchangeControls(CDataExchange* dx);

    void DoDataExchange(CDataExchange* dx) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    int32_t helpTopic = 0;
    int32_t pageIndex = 0;
    int32_t fieldCount = 0;
    DialogField* fields = nullptr;
    void* object = nullptr;
    FieldControlFn controlIdOf = nullptr;

protected:
    // True while the controls are being filled: their change notices are not edits.
    bool loading = false;
    BOOL OnHelpInfo(HELPINFO*);
    DECLARE_MESSAGE_MAP()
};

class CPrefDlg : public CYRNPropSheet {
    DECLARE_DYNAMIC(CPrefDlg)
public:
    CPrefDlg(PreferencePageSet* set, DialogChangeFn apply);
    ~CPrefDlg() override;

    void RebuildPages(bool takeDown) override;

    PreferencePageSet* pageSet;
    // The page that exchanged its controls last: where the next opening starts.
    int32_t currentPage = 0;
};

// The Apply To pair, shared by the Units, Color and Text pages.
class PrefApplyToPage : public PrefPageBase {
public:
    using PrefPageBase::PrefPageBase;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void OnApplyToClicked(UINT id);
    DECLARE_MESSAGE_MAP()
};

class PrefUnitPage : public PrefApplyToPage {
public:
    using PrefApplyToPage::PrefApplyToPage;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
};

class PrefColorPage : public PrefApplyToPage {
public:
    using PrefApplyToPage::PrefApplyToPage;

protected:
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    void OnColorButton(UINT id);
    DECLARE_MESSAGE_MAP()
};

class PrefTextPage : public PrefApplyToPage {
public:
    using PrefApplyToPage::PrefApplyToPage;
};

class PrefExportPage : public PrefPageBase {
public:
    using PrefPageBase::PrefPageBase;
    bool OnInitDialog() override;
};

class PrefSamplePage : public PrefPageBase {
public:
    using PrefPageBase::PrefPageBase;

protected:
    void OnMaximumChanged();
    DECLARE_MESSAGE_MAP()
};

class PrefSystemPage : public PrefPageBase {
public:
    using PrefPageBase::PrefPageBase;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void OnResetAll();
    void OnEditColorMenu();
    DECLARE_MESSAGE_MAP()
};

// The colour dialog on one of our templates (224 or 226), starting from `color`, with
// `custom` as its sixteen custom colours; true with the chosen colour in `color` on OK.
bool RunTemplateColorDialog(CWnd* owner, int32_t templateId, uint32_t* color, uint32_t* custom);
