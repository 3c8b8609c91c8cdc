// The Document Options dialog: the pages of the current document or its custom tools in
// one list that the user renames, reorders by dragging, adds to and removes from. Every
// change goes to the live document at once (the sketch window shows the selected page);
// the model confirms or undoes them all after the dialog ends.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/interact/doc_options.h"
#include "ui/dialogs/popup_menu_button.h"
#include "ui/dialogs/yrn_dialog.h"

class DocOptionsDialog;

// Where a dropped line goes: false when the drop changes nothing (no source or target,
// the line itself, or the place just below it); else the new index in *to.
bool DocOptionsDropMove(int32_t source, int32_t target, int32_t* to);

// The band that marks where a dragged line would go: 4 pixels high across the client,
// centred on the top edge of the item (or on the bottom edge of the last item for the
// end position), clipped to the client. False when nothing of it is inside.
bool DocOptionsInsertBand(const RECT& client, const RECT& item, bool endPosition, RECT* band);

// The name of a page copied from another document: its title without the extension (the
// last "." within the last four characters), then ":n" with the page's number when the
// source has several pages and the whole fits in kPageNameChars characters.
std::string CopiedPageName(const char* title, int32_t pageNumber, bool severalPages);

// What the Add Page menu offers, and what each of its items means.
struct AddPageSource {
    std::string title;
    std::vector<std::string> pages;
};
struct AddPageChoice {
    int32_t source;   // -1 this document, else the index into the other documents
    int32_t page;     // -1: all its pages
};
constexpr UINT kBlankPageItem = 1;
constexpr UINT kFirstDuplicateItem = 100;  // + the index into the choices
// The menu under the Add Page button; `choices` gets one entry per duplicate item.
HMENU BuildAddPageMenu(const char* buttonText, const std::vector<std::string>& thisPages,
                       const std::vector<AddPageSource>& others, std::vector<AddPageChoice>* choices);

// The dialog's list: lines dragged to a new place, with a band for the insertion point.
class CDocOptListBox : public CDragListBox {
public:
    explicit CDocOptListBox(DocOptionsDialog* owner) : owner_(owner) {}

    bool BeginDrag(CPoint point) override;
    void CancelDrag(CPoint point) override;
    UINT Dragging(CPoint point) override;
    void Dropped(int sourceIndex, CPoint point) override;
    void DrawInsert(int index) override;

    int insertIndex = -1;
    bool dragging = false;

protected:
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnDoubleClick(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    // The item under a screen point; a point within one item height below the last item
    // is the end position (the count). -1 when none.
    int TargetAt(CPoint screen, bool autoScroll) const;
    void InvertBand(int index);

    DocOptionsDialog* owner_;
};

class DocOptionsDialog : public CYRNDialog {
public:
    explicit DocOptionsDialog(DocOptionsRecord* record);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    EngineDocument* Document() const { return static_cast<DocOptionsRecord*>(record)->document; }
    bool PagesView() const { return view == 1; }
    // Moves a line of the list (drag and drop) in the document or the tool snapshot.
    void MoveEntry(int32_t from, int32_t to);
    // n: the line to select; -1 keeps the current one.
    void FillList(int32_t n);
    void UpdateControls();

    int32_t view = 1;          // 1 pages, 0 tools
    int32_t selection = -1;
    int32_t toolSelection = 0;  // kept while the pages are shown
    bool busy = false;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnSelChange();
    void OnNameChange();
    void OnNameKillFocus();
    void OnRemove();
    void OnShowCheck();
    void OnSelectButtons();
    void OnViewPages() { SwitchView(1); }
    void OnViewTools() { SwitchView(0); }
    void OnAddMenu();
    DECLARE_MESSAGE_MAP()

private:
    int32_t LineCount() const;
    std::string LineText(int32_t n) const;
    // What the list shows, not a user's edit: no rename follows.
    void SetNameText(const char* text);
    void ApplyName();
    void SetViewTexts();
    void SwitchView(int32_t newView);
    void FitBrokenLinks(bool shown);
    void RunAddPageMenu();
    void RunCopyToolMenu();
    void DuplicatePages(EngineDocument* source, int32_t page);

    CDocOptListBox list_{this};
    PopupMenuButton addButton_;
    bool closing_ = false;
    int32_t groupTop_ = 0, groupBottom_ = 0;  // the broken-links group, client pixels
};
