// The later release converts every text of a sketch read from a document written in
// another character set, right after the sketch's end record: the sketch's own texts,
// then each object's through the operation of its class.
#pragma once
#include <cstdint>

struct LayoutNode;
struct Sketch;
struct SketchObject;

// A label converted to more than this many characters keeps its old text.
constexpr uint32_t kConvertedLabelLimit = 80;

// The sketch's NUL-terminated heap text, to the Windows set.
void ConvertHeapStringCharset(char** text, int32_t source);
void ConvertDocumentTexts(Sketch* sketch, int32_t source);

// The class operations; each answers the object.
SketchObject* ConvertObjectLabel(SketchObject* object, int32_t source, int32_t target);
SketchObject* ConvertTableTexts(SketchObject* table, int32_t source, int32_t target);
SketchObject* ConvertLayoutObjectTexts(SketchObject* object, int32_t source, int32_t target);
// The operation of the object's class.
SketchObject* ConvertObjectTexts(SketchObject* object, int32_t source, int32_t target);
// True when any text run of the tree changed.
bool ConvertLayoutTexts(LayoutNode* root, int32_t source, int32_t target);
