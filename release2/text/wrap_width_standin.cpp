// Stand-in: see the header.
#include "release2/text/wrap_width_standin.h"

#include <map>

#include "engine/text/layout.h"

namespace {
std::map<const LayoutNode*, int32_t> gWidths;
}

int32_t GetLayoutWrapWidth(LayoutNode* tree, int32_t* alignment) {
    if (alignment) *alignment = 0;
    const auto it = gWidths.find(tree);
    return it == gWidths.end() ? 0 : it->second;
}

void SetLayoutWrapWidth(LayoutNode** tree, int32_t width, int32_t) { gWidths[*tree] = width; }

int32_t FitLayoutWrapWidth(LayoutNode*, LayoutDrawState*) { return 0; }
