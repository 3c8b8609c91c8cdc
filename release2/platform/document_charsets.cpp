#include "release2/platform/document_charsets.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/tables.h"
#include "engine/core/services/text_objects.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/text/code_tables.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"

void ConvertHeapStringCharset(char** text, int32_t source) {
    if (!*text) return;
    uint32_t length = 0;
    ConvertTextCharset(text, uint32_t(std::strlen(*text)), true, &length, source, kCharsetWindows, 0);
}

bool ConvertLayoutTexts(LayoutNode* root, int32_t source, int32_t target) {
    bool any = false;
    ForEachLayoutNode(root, [&](LayoutNode* node) {
        if (node->kind != kLayoutTextRun) return true;
        int32_t length = 0;
        const char* run = GetTextRun(node, &length);
        if (!run || length <= 0) return true;
        bool changed = false;
        const uint32_t n = MapTextWithCodeTable(nullptr, target, run, uint32_t(length), source, &changed);
        if (!changed) return true;
        // Out of memory leaves this run as it was; the others still go on.
        auto* block = static_cast<char*>(AllocMemory(n ? n : 1, 0));
        if (!block) return true;
        MapTextWithCodeTable(block, target, run, uint32_t(length), source, &changed);
        if (SetTextRunBytes(node, block, int32_t(n)) != 0) any = true;
        FreeMemory(block);
        return true;
    });
    return any;
}

SketchObject* ConvertObjectLabel(SketchObject* object, int32_t source, int32_t target) {
    if (object->label.level <= 0) return object;
    char label[kLabelBufferSize];
    uint32_t length = 0;
    GetObjectLabel(object, object->label.level, label, &length);
    bool changed = false;
    const uint32_t n = MapTextWithCodeTable(nullptr, target, label, length, source, &changed);
    if (!changed || n >= kConvertedLabelLimit) return object;
    char converted[kConvertedLabelLimit + 1];
    MapTextWithCodeTable(converted, target, label, length, source, &changed);
    converted[n] = '\0';
    StoreLabelText(object, converted, false);
    return object;
}

SketchObject* ConvertTableTexts(SketchObject* table, int32_t source, int32_t target) {
    TableData* data = TableDataOf(table);
    bool any = false;
    if (data->cells) {
        for (int32_t row = 1; row < data->rowCount; ++row)
            for (int32_t column = 1; column < data->columnCount; ++column) {
                LayoutNode* layout = data->cells[row * data->columnCount + column].layout;
                if (layout && ConvertLayoutTexts(layout, source, target)) any = true;
            }
    }
    if (any) RelayoutTableCells(table);
    return ConvertObjectLabel(table, source, target);
}

SketchObject* ConvertLayoutObjectTexts(SketchObject* object, int32_t source, int32_t target) {
    CaptionData* caption = ClassData<CaptionData>(object);
    if (caption->layout) ConvertLayoutTexts(caption->layout, source, target);
    return ConvertObjectLabel(object, source, target);
}

SketchObject* ConvertObjectTexts(SketchObject* object, int32_t source, int32_t target) {
    switch (object->objectClass) {
    case kClassCaption:
    case kClassMeasurement:
    case kClassCalculation:
        return ConvertLayoutObjectTexts(object, source, target);
    case kClassTable:
        return ConvertTableTexts(object, source, target);
    default:
        return ConvertObjectLabel(object, source, target);
    }
}

void ConvertDocumentTexts(Sketch* sketch, int32_t source) {
    if (!HasCodeTable(source, kCharsetWindows)) return;
    // Storing a label marks the sketch's dirty area: the sketch is the current one.
    CurrentSketchScope scope(sketch);
    ConvertHeapStringCharset(&sketch->title, source);
    ConvertHeapStringCharset(&sketch->toolText, source);
    for (SketchObject* object = sketch->firstObject; object && object != kNotLinked; object = object->nextInSketch)
        ConvertObjectTexts(object, source, kCharsetWindows);
}
