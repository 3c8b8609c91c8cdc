// The document's text style commands: each changes the current text style (of the text
// being edited, else of the selected captions and labels) and applies it.
#include "ui/doc/fernwick_doc.h"

#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/caption_editing.h"
#include "engine/interact/command_state.h"
#include "engine/interact/selection_census.h"
#include "platform/rules/text_style_rules.h"
#include "ui/doc/document_services.h"
#include "ui/resource_ids.h"

void CFernwickDoc::OnTextStyleCommand(UINT id) {
    if (!gEngine.frontSketch) return;
    SketchScope scope(gEngine.frontSketch);
    CmdStateRefreshNow();
    TextStyle style{};
    if (!GetCurrentTextStyle(&style)) return;
    int32_t step = 0;
    if (!StyleForTextCommand(id, &style, &step)) return;
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
    const bool checked = has && TextCommandChecked(ui->m_nID, style);
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
