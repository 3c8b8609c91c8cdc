#include "ui/view/script_print.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "classlib/gdi.h"
#include "classlib/print.h"
#include "engine/core/services/text_style.h"
#include "engine/docio/print_layout.h"
#include "engine/text/layout.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "ui/portable/script_page_layout.h"

IMPLEMENT_DYNCREATE(ScriptPrint, CView)

BEGIN_MESSAGE_MAP(ScriptPrint, CView)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrintCommand)
END_MESSAGE_MAP()

namespace {

// Pitch and family bytes of the fonts asked for: both variable pitch.
constexpr uint8_t kBodyPitchFamily = 0x12;
constexpr uint8_t kTitlePitchFamily = 0x22;
constexpr int32_t kStepTextSize = 14;

HFONT MakeFont(const char* face, int height, int weight, uint8_t pitchAndFamily) {
    LOGFONTA lf{};
    lf.lfHeight = -height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (face) std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", face);
    return CreateFontIndirectA(&lf);
}

// The steps of one page: their texts measured in the body face, drawn when asked.
struct StepPainter {
    HDC dc;
    int32_t left;
    int32_t bodyFont;
    ScriptStepTextFn text;
    void* context;
    LayoutNode* node = nullptr;  // the step last measured
    int32_t nodeStep = 0;
    int32_t ascent = 0;
    LayoutDrawState state{};
    GraphicsPort port{};

    ~StepPainter() { Drop(); }
    void Drop() {
        if (node) FreeLayoutNode(node);
        node = nullptr;
        nodeStep = 0;
    }
    bool Measure(int32_t step) {
        if (nodeStep == step && node) return true;
        Drop();
        node = text ? text(context, step) : nullptr;
        if (!node) return false;
        nodeStep = step;
        MakeDrawStateForDC(&state, &port, dc, false);
        state.style.field[kStyleFont] = static_cast<int16_t>(bodyFont);
        // Text sizes are points; the drawing state takes them as the DC's pixels, which on
        // a printer would make the steps a few points high beside a 10-point comment.
        const int32_t perInch = GetDeviceCaps(dc, LOGPIXELSY);
        state.style.field[kStyleSize] =
            static_cast<int16_t>(perInch > 0 ? MulDiv(kStepTextSize, perInch, 72) : kStepTextSize);
        state.style.field[kStyleScriptLevel] = 0;
        MeasureLayout(node, &state);
        ascent = node->ascent;
        return true;
    }
    static int32_t Height(void* self, int32_t step) {
        auto* p = static_cast<StepPainter*>(self);
        if (!p->Measure(step)) return -1;
        return p->node->ascent + p->node->descent;
    }
    static void Place(void* self, int32_t step, int32_t y) {
        auto* p = static_cast<StepPainter*>(self);
        if (!p->Measure(step)) return;
        p->state.x = static_cast<int16_t>(p->left);
        p->state.y = static_cast<int16_t>(y + p->ascent);
        DrawLayout(p->node, &p->state);
    }
};

}  // namespace

ScriptPrint::ScriptPrint() = default;
ScriptPrint::~ScriptPrint() = default;

ScriptPrint* ScriptPrint::CreatePrinter(CWnd* owner) {
    auto* printer = new ScriptPrint;
    const RECT rect = { 100, 100, 400, 400 };
    if (!printer->CreateEx(0, ViewWindowClass(), "Script Printer", WS_OVERLAPPEDWINDOW, rect, owner, 0, nullptr)) {
        delete printer;
        return nullptr;
    }
    return printer;
}

// A window that is never a pane: nothing deletes it but its own destruction.
void ScriptPrint::PostNcDestroy() { delete this; }

void ScriptPrint::SetScript(int32_t stepCount, const char* comment, const char* title, ScriptStepTextFn stepText,
                            void* context) {
    m_stepCount = stepCount;
    m_comment = comment ? comment : "";
    m_title = title ? title : "";
    stepText_ = stepText;
    stepContext_ = context;
}

void ScriptPrint::OnInitialUpdate() { CView::OnInitialUpdate(); }

bool ScriptPrint::OnPreparePrinting(CPrintInfo* info) {
    if (!DoPreparePrinting(info)) return false;
    m_moreToPrint = 1;
    m_firstPage = 1;
    m_firstStep = 1;
    return true;
}

void ScriptPrint::OnPrepareDC(CDC* dc, CPrintInfo* info) {
    CView::OnPrepareDC(dc, info);
    if (info) info->m_bContinuePrinting = m_moreToPrint != 0;
}

void ScriptPrint::OnPrint(CDC* dc, CPrintInfo* info) {
    info->m_nNumPreviewPages = 2;
    // Text is measured at the printer's scale.
    InitPrintSettings(&m_settings);
    m_settings.scalePercent = 100;
    m_settings.fitToPage = 0;
    m_resolution = dc->GetDeviceCaps(LOGPIXELSX);
    m_pageWidth = static_cast<int16_t>(std::min(dc->GetDeviceCaps(HORZRES), 0x7fff));
    m_pageHeight = static_cast<int16_t>(std::min(dc->GetDeviceCaps(VERTRES), 0x7fff));
    m_settings.resolution = m_resolution;
    m_settings.pageWidth = m_pageWidth;
    m_settings.pageHeight = m_pageHeight;
    ComputePreviewLayout(&m_settings);
    // Another page than the one the last pass stopped at (a page range, the preview):
    // lay out again from the start.
    if (int32_t(info->m_nCurPage) != m_pageToPrint) {
        m_firstPage = 1;
        m_firstStep = 1;
    }
    m_pageToPrint = int32_t(info->m_nCurPage);
    OnDraw(dc);
    ComputePreviewLayout(nullptr);
}

void ScriptPrint::OnDraw(CDC* dc) {
    HDC hdc = dc->m_hDC;
    const int32_t inch = m_resolution > 0 ? m_resolution : dc->GetDeviceCaps(LOGPIXELSX);
    const double point = inch / 72.0;
    auto points = [point](double n) { return static_cast<int32_t>(std::lround(n * point)); };

    char bodyFace[LF_FACESIZE] = "";
    HFONT probe = MakeFont(nullptr, points(10), FW_NORMAL, kBodyPitchFamily);
    HGDIOBJ oldFont = SelectObject(hdc, probe);
    GetTextFaceA(hdc, LF_FACESIZE, bodyFace);
    SelectObject(hdc, oldFont);
    DeleteObject(probe);

    const int32_t width = m_pageWidth > 0 ? m_pageWidth : dc->GetDeviceCaps(HORZRES);
    const int32_t height = m_pageHeight > 0 ? m_pageHeight : dc->GetDeviceCaps(VERTRES);
    const ScriptPageSpace space = { height - inch, points(3), points(6) };
    const int saved = SaveDC(hdc);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));

    int32_t step = m_firstStep;
    for (int32_t page = m_firstPage; page <= m_pageToPrint; ++page) {
        const bool draw = page == m_pageToPrint;
        int32_t y = inch;
        if (!m_title.IsEmpty()) {
            HFONT font = MakeFont("Arial", points(page == 1 ? 14 : 10), FW_BOLD, kTitlePitchFamily);
            HGDIOBJ previous = SelectObject(hdc, font);
            RECT r = { inch, y, width - inch, y + inch };
            y += DrawTextA(hdc, m_title, -1, &r, DT_NOPREFIX | (draw ? 0 : DT_CALCRECT));
            SelectObject(hdc, previous);
            DeleteObject(font);
        }
        if (page == 1 && !m_comment.IsEmpty()) {
            y += points(10);
            HFONT font = MakeFont(bodyFace, points(10), FW_NORMAL, kBodyPitchFamily);
            HGDIOBJ previous = SelectObject(hdc, font);
            RECT r = { inch, y, width - inch, height - inch };
            y += DrawTextA(hdc, m_comment, -1, &r, DT_WORDBREAK | DT_NOPREFIX | (draw ? 0 : DT_CALCRECT));
            SelectObject(hdc, previous);
            DeleteObject(font);
        }
        y += points(12);
        StepPainter painter{ hdc, inch, FindFontIndex(bodyFace), stepText_, stepContext_ };
        // A step taller than the page is cut at the bottom margin.
        if (draw) IntersectClipRect(hdc, 0, 0, width, height - inch);
        step = PlaceScriptSteps(space, y, step, m_stepCount, StepPainter::Height,
                                draw ? StepPainter::Place : nullptr, &painter);
        m_nextFirstStep = step;
    }
    RestoreDC(hdc, saved);
    m_moreToPrint = m_stepCount >= m_nextFirstStep ? 1 : 0;
    if (dc->IsPrinting() && m_moreToPrint) {
        m_firstPage = m_pageToPrint + 1;
        m_firstStep = m_nextFirstStep;
        m_pageToPrint = m_firstPage;
    }
}
