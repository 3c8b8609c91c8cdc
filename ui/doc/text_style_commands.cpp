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
#include "ui/input_state.h"
#include "ui/resource_ids.h"

namespace {

// The census keeps the Shift state from the last idle pass; a click of the palette's
// button with Shift pressed just before may come first, so the state is taken now.
bool ShiftHeldForCommand() {
    const int32_t held = KeyHeld(VK_SHIFT) ? 1 : 0;
    if ((CensusShiftState() != 0) != (held != 0)) SetShiftState(held);
    return CensusShiftState() != 0;
}

}  // namespace

void CFernwickDoc::OnTextStyleCommand(UINT id) {
    if (!gEngine.frontSketch) return;
    SketchScope scope(gEngine.frontSketch);
    CmdStateRefreshNow();
    TextStyle style{};
    if (!GetCurrentTextStyle(&style)) return;
    int32_t step = 0;
    if (!StyleForTextCommand(id, &style, &step)) return;
    ApplyTextStyle(style, step, ShiftHeldForCommand());
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
    ApplyTextStyle(style, 0, ShiftHeldForCommand());
    FlushPendingRedraw(1);
}
