// Stand-in: the wrap width of a caption's text block comes with the layout engine's
// revisions; until then the width is remembered beside the tree and nothing re-breaks.
#pragma once
#include <cstdint>

struct LayoutNode;
struct LayoutDrawState;

int32_t GetLayoutWrapWidth(LayoutNode* tree, int32_t* alignment);
void    SetLayoutWrapWidth(LayoutNode** tree, int32_t width, int32_t growToFit);
int32_t FitLayoutWrapWidth(LayoutNode* tree, LayoutDrawState* state);
