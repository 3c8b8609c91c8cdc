// The Properties sheet: the pages the Object Properties model prepared for one sketch
// object, rebuilt around another object when the user clicks it in the sketch or picks
// a parent or child from the Object page.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/interact/object_properties.h"
#include "ui/dialogs/yrn_prop_page.h"
#include "ui/dialogs/yrn_prop_sheet.h"

class CPropDlg : public CYRNPropSheet {
    DECLARE_DYNAMIC(CPropDlg)
public:
    CPropDlg(PropertiesPages* set, DialogChangeFn apply);
    ~CPropDlg() override;

    INT_PTR DoModal() override;
    bool OnInitDialog() override;
    void RebuildPages(bool takeDown) override;
    void OnPickMouse(UINT message, POINT screenPoint) override;

    // The model page of the page at a sheet position (-1 for none).
    int32_t ModelPageAt(int32_t position) const;
    // The page showing a model page, or null.
    YRNPropPage* PageFor(int32_t modelPage) const;
    // The Object page's retarget: the sheet follows the object stored in its field 1.
    void RetargetFromObjectPage();

    PropertiesPages* set = nullptr;

private:
    void BuildPages(int32_t startPage);
    void UpdateCaption();
    void EndCancelled();
    std::vector<std::unique_ptr<YRNPropPage>> pages_;   // in sheet order, the Object page first
};

// Runs the sheet over the model's page set; IDOK or IDCANCEL.
int RunPropertiesSheet(PropertiesPages* set, DialogChangeFn apply);
