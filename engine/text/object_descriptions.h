// Object descriptions: the sentence of string group 11 chosen by an object's
// construction type, its caret codes answered by the object text provider.
#pragma once
#include <cstdint>

#include "engine/text/object_text_provider.h"

// The template item of the object: variant 0 in string group 11, variant 1 in the
// description layouts of group 13 (whose items 113 and 114 exist only there).
int32_t DescriptionTemplateIndex(const SketchObject* object, int32_t variant);
// The object's description in the buffer (size - 1 characters at most, values kept
// whole), NUL-terminated; answers its length.
uint32_t DescribeObjectInto(SketchObject* object, char* buffer, uint32_t size, bool piGlyph);
// A template expanded for the object into a new heap text (the caller frees it); null
// when memory runs out.
char* BuildObjectDescription(SketchObject* object, bool piGlyph, int32_t group, int32_t item);
char* DescribeObject(SketchObject* object, bool piGlyph);

// The calculation code's: the object's expression as text, and its expression form
// (0 y = f(x), 1 x = f(y), 2 r = f(theta), 3 theta = f(r)).
uint32_t ExpressionToText(const SketchObject* object, uint32_t size, char* buffer, bool bareExpression);
int32_t ExpressionFormOf(const SketchObject* object);
