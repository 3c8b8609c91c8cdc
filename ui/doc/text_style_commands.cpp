// The document's text style commands: each changes the current text style (of the text
// being edited, else of the selected captions and labels) and applies it.
#include "ui/doc/fernwick_doc.h"

#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/caption_editing.h"
#include "engine/interact/command_state.h"
#include "engine/interact/selection_census.h"
#include "ui/doc/document_services.h"
#include "ui/resource_ids.h"

namespace {

constexpr UINT kPlain = 32881, kBold = 32882, kUnderline = 32883, kItalic = 32884;
constexpr UINT kFirstSize = 32886;
constexpr int16_t kFixedSizes[6] = { 9, 10, 12, 14, 18, 24 };
constexpr int16_t kPlainFlag = 1, kOnFlag = 2;

int16_t Toggled(int16_t flag) { return flag != 0 ? int16_t(3 - flag) : kOnFlag; }

}  // namespace

void CFernwickDoc::OnTextStyleCommand(UINT id) {
    if (!gEngine.frontSketch) return;
    SketchScope scope(gEngine.frontSketch);
    CmdStateRefreshNow();
    TextStyle style{};
    if (!GetCurrentTextStyle(&style)) return;
    int32_t step = 0;
    switch (id) {
    case kPlain:
        style.field[kStyleWeight] = style.field[kStyleSlant] = style.field[kStyleUnderline] = kPlainFlag;
        break;
    case kBold: style.field[kStyleWeight] = Toggled(style.field[kStyleWeight]); break;
    case kUnderline: style.field[kStyleUnderline] = Toggled(style.field[kStyleUnderline]); break;
    case kItalic: style.field[kStyleSlant] = Toggled(style.field[kStyleSlant]); break;
    case ID_LARGER_TEXT:
    case ID_SMALLER_TEXT:
        // Each object moves from its own size.
        style.field[kStyleSize] = 0;
        step = id == ID_LARGER_TEXT ? 1 : -1;
        break;
    default:
        if (id >= kFirstSize && id < kFirstSize + 6) style.field[kStyleSize] = kFixedSizes[id - kFirstSize];
        break;
    }
    ApplyTextStyle(style, step, CensusShiftState() != 0);
    FlushPendingRedraw(1);
}

void CFernwickDoc::OnUpdateTextStyleCommand(CCmdUI* ui) {
    TextStyle style{};
    bool has = false;
    if (gEngine.frontSketch) {
        SketchScope scope(gEngine.frontSketch);
        has = GetCurrentTextStyle(&style);
    }
    ui->Enable(has);
    bool checked = false;
    if (has) {
        const int16_t* f = style.field;
        switch (ui->m_nID) {
        case kPlain:
            checked = f[kStyleWeight] == kPlainFlag && f[kStyleSlant] == kPlainFlag && f[kStyleUnderline] == kPlainFlag;
            break;
        case kBold: checked = f[kStyleWeight] == kOnFlag; break;
        case kUnderline: checked = f[kStyleUnderline] == kOnFlag; break;
        case kItalic: checked = f[kStyleSlant] == kOnFlag; break;
        default:
            if (ui->m_nID >= kFirstSize && ui->m_nID < kFirstSize + 6)
                checked = f[kStyleSize] == kFixedSizes[ui->m_nID - kFirstSize];
            break;
        }
    }
    ui->SetCheck(checked ? 1 : 0);
}

void CFernwickDoc::OnFontCommand(UINT id) {
    Sketch* page = CurrentPage();
    if (!page) return;
    SketchScope scope(page);
    TextStyle style{};
    style.field[kStyleFont] = static_cast<int16_t>(id - 32898);
    ApplyTextStyle(style, 0, CensusShiftState() != 0);
    FlushPendingRedraw(1);
}
