// The base of every page of the program's property sheets: its controls are driven by
// an engine page model's array of dialog fields, each field named to a control by the
// sheet's ControlIdOf table. Page classes add only what a field cannot say (filling
// lists, pop-up menus, enabling one control from another).
#pragma once
#include <cstdint>

#include "classlib/propsheet.h"
#include "engine/core/services/dialogs.h"

struct SketchObject;

// (page index, field index) -> control id; 0 for a field without a control.
using ControlIdOfFn = int32_t (*)(int32_t pageIndex, int32_t fieldIndex);

class YRNPropPage : public CPropertyPage {
    DECLARE_DYNCREATE(YRNPropPage)
public:
    YRNPropPage();
    YRNPropPage(UINT templateId, DialogField* fields, SketchObject* object, ControlIdOfFn controlIdOf,
                int32_t pageIndex, int32_t fieldCount);

    virtual void ShowHelp();
    virtual int32_t GetHelpTopic() const { return helpTopic; }
    // Loads or saves every field that has a control, even after one refused its value;
    // false when any did. Notes this page as its sheet's current one first.
    virtual bool ExchangeControls(CDataExchange* dx);

    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void SetHelpTopic(int32_t topic) { helpTopic = topic; }

    int32_t helpTopic = 0;
    int32_t pageIndex = 0;
    int32_t fieldCount = 0;
    DialogField* fields = nullptr;   // the engine model's
    SketchObject* object = nullptr;  // null on preference pages
    ControlIdOfFn controlIdOf = nullptr;
    // Whether an emptied number box is refused rather than leaving its field as it was.
    bool valueRequired = false;

protected:
    // True while the controls are being filled: their change notices are not edits.
    bool loading = false;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnHelpInfo(HELPINFO* info);
    void OnHelpCommand() { ShowHelp(); }
    DECLARE_MESSAGE_MAP()
};
