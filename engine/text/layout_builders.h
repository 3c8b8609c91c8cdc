// Building layout trees from engine data: names of objects, lists of names, units, and
// the placeholders of the description templates. Every builder answers null on failure
// (having freed what it made) and, given a parent, appends its result to it.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct LayoutNode;
struct SketchObject;

// 0 outside descriptions; raised while a description is built, and by square roots and
// powers inside one.
extern int32_t DescriptionDepth;

// What the description callbacks are handed.
struct DescriptionContext {
    SketchObject* object;
    int32_t       piGlyph;
    int32_t       step;
    LayoutNode*   held;
};

// A text run, or with a split a subscript node holding the base and the bracketed part;
// split -1 finds it.
LayoutNode* BuildLabelWithSubscript(const char* text, uint32_t length, int32_t split, LayoutNode* parent);

using ListItemBuilder = LayoutNode* (*)(int32_t index, void* user);
// A row of `count` items, ", " between them (" and " before the last with `useAnd`),
// stopped with ", ..." after `maximum`.
LayoutNode* BuildListLayout(int32_t count, int32_t maximum, bool useAnd, ListItemBuilder builder, void* user);

// The name of a coordinate system's horizontal axis (or of its other axis): its label.
LayoutNode* BuildAxisNameLayout(SketchObject* system, bool horizontal, LayoutNode* parent);

// The unit of a value with the given exponents, in the current sketch's units.
LayoutNode* BuildUnitLayout(int32_t angleExponent, int32_t distanceExponent, bool piForm, LayoutNode* parent);

// The placeholder callback of description templates for object codes ("1", "L2",
// "+0", "@1", ...): 0, 2 no memory, 3 a code the object cannot answer.
ResultCode ExpandObjectPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                   DescriptionContext* context);

// The name template of an expression form's variable (or, with `result`, its result).
LayoutNode* BuildVariableNameLayout(int32_t form, bool result, LayoutNode* parent);
// Puts a node in parentheses: a parenthesis node outside descriptions, text
// parentheses inside one. Takes the node over (freed on failure).
LayoutNode* WrapInParentheses(LayoutNode* node);

// Descriptions as layouts: group 13 templates whose placeholders name the object, its
// parents and values; the step number heads a custom tool's steps (0 none).
struct LayoutParseContext;
ResultCode DescriptionPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                  LayoutParseContext* context);
LayoutNode* ExpandDescriptionTemplate(int32_t step, SketchObject* object, const char* templ);
// The same placeholders outside a description: an object's own displayed text.
LayoutNode* ExpandObjectTemplate(SketchObject* object, const char* templ);
LayoutNode* BuildObjectTitleLayout(SketchObject* object);
LayoutNode* BuildObjectDescriptionLayout(int32_t step, SketchObject* object);

// The calculation code's: the object's expression as a layout, and the expression form
// of a function plot (0 y = f(x), 1 x = f(y), 2 r = f(theta), 3 theta = f(r)).
LayoutNode* BuildExpressionNameLayout(SketchObject* object, LayoutNode* parent);
int32_t FunctionPlotForm(const SketchObject* plot);
// The name of a measurement shown by its caption template (the calculation code's).
LayoutNode* MeasurementNameLayout(SketchObject* object, LayoutNode* parent);
