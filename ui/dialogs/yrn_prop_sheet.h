// The base of the program's property sheets: the dialog base's placement (one position
// shared by every sheet), OK and Help in each other's place, the engine's idle work,
// the exchange with an engine record and its apply callback, and for sheets that work
// on the sketch the interactive chain and the pick hook, rebuilding the pages around
// an object picked from the sketch.
#pragma once
#include <cstdint>

#include "classlib/propsheet.h"
#include "ui/dialogs/yrn_dialog.h"

class CYRNPropSheet : public CPropertySheet, public InteractiveDialog {
    DECLARE_DYNAMIC(CYRNPropSheet)
public:
    CYRNPropSheet(UINT captionId, bool sketchInteractive, void* record, bool applyEnabled, DialogChangeFn apply,
                  CWnd* parent, UINT startPage);
    // A caption text: the sheet has no Apply button.
    CYRNPropSheet(const char* caption, bool sketchInteractive, void* record, bool applyEnabled,
                  DialogChangeFn apply, CWnd* parent, UINT startPage);
    ~CYRNPropSheet() override;

    INT_PTR DoModal() override;
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

    virtual void SavePosition();
    // true takes the pages down keeping the active one; false builds them again.
    virtual void RebuildPages(bool) {}
    virtual bool ExchangeWithEngine(bool save);
    virtual bool ExchangeRememberedPosition(bool save, DialogCorner* corner);

    void AddPageWithHelp(CPropertyPage* page, int32_t helpTopic);

    CWnd* Window() override { return this; }
    void OnPickMouse(UINT message, POINT screenPoint) override;

    bool sketchInteractive = false;
    bool hasApplyCallback = false;
    void* record = nullptr;
    HFONT symbolFont = nullptr;
    bool exchanging = false;
    DialogChangeFn applyCallback = nullptr;
    HHOOK pickHook = nullptr;
    bool interactiveOnActivation = false;
    // The page index of the page that exchanged its controls last (-1: none yet).
    int32_t currentPage = -1;

protected:
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    LRESULT OnKickIdle(WPARAM, LPARAM count);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // What both constructors do after the class library's.
    void Initialise(bool interactive, void* edited, bool applyEnabled, DialogChangeFn apply, bool withoutApply);
};

// The position every sheet shares.
RememberedPosition& SharedSheetPosition();
