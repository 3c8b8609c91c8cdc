#include "release2/text/layout_forms.h"

#include "release2/text/layout_revisions.h"
#include "release2/text/wrap_width.h"

void AddLayoutForms(LaterReleaseForms* forms) {
    forms->layout.kinds = LaterLayoutKindTable;
    forms->layout.initRows = InitTextBlock;
    forms->layout.measureNode = LaterMeasureLayoutNode;
    forms->layout.readWrapLevel = TakeWrapLevel;
    forms->layout.writeWrapElement = WriteWrapElement;
    forms->layout.takeInnerBlocks = TakeOverInnerBlocks;
    forms->layout.plainTextWithWidth = LayoutFromPlainTextWithWidth;
}
