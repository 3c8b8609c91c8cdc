// Stand-in: the undoable caption edit of the merged texts is not built yet; the edited
// text is installed without an undo step.
#include "engine/core/sketch_object.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"

void RecordCaptionEditUndo(SketchObject* object, LayoutNode* tree) {
    CaptionData* data = CaptionDataOf(object);
    if (!data) {
        FreeLayoutNode(tree);
        return;
    }
    FreeLayoutNode(data->layout);
    data->layout = tree;
    MarkLayoutSubtreeDirty(tree);
}
