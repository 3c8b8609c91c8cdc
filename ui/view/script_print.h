// Printing a custom tool's script: a hidden view window whose print run lays out the
// title, on the first page the tool's comment, and the script's steps as formatted text
// over as many pages as they need.
#pragma once
#include <cstdint>

#include "classlib/view.h"
#include "engine/core/print_state.h"
#include "engine/core/screen_types.h"

struct LayoutNode;

// A step's text as a new layout tree the caller frees, or null when the step has none.
using ScriptStepTextFn = LayoutNode* (*)(void* context, int32_t step);

class ScriptPrint : public CView {
    DECLARE_DYNCREATE(ScriptPrint)
public:
    ScriptPrint();
    ~ScriptPrint() override;

    // The hidden "Script Printer" window, owned by `owner`; null (the object deleted)
    // when it cannot be made, and then printing is unavailable.
    static ScriptPrint* CreatePrinter(CWnd* owner);

    // What the next print prints; then post ID_FILE_PRINT to the window.
    void SetScript(int32_t stepCount, const char* comment, const char* title, ScriptStepTextFn stepText,
                   void* context);

    void OnInitialUpdate() override;
    bool OnPreparePrinting(CPrintInfo* info) override;
    void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr) override;
    void OnPrint(CDC* dc, CPrintInfo* info) override;
    void OnDraw(CDC* dc) override;

    // Page settings: device pixels and dots per inch of the printer, the scale record.
    int16_t m_pageWidth = 0;
    int16_t m_pageHeight = 0;
    int32_t m_resolution = 0;
    PrintSettings m_settings{};
    int32_t m_stepCount = 0;
    CString m_comment;
    CString m_title;
    uint8_t m_moreToPrint = 0;
    // The pass in progress: its first page and that page's first step.
    int32_t m_firstPage = 1;
    int32_t m_firstStep = 1;
    int32_t m_pageToPrint = 0;
    // The first step of each page after the first step of the pass, as laid out.
    int32_t m_nextFirstStep = 1;

protected:
    void OnFilePrintCommand() { OnFilePrint(); }
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    ScriptStepTextFn stepText_ = nullptr;
    void* stepContext_ = nullptr;
};
