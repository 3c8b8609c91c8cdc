// Link-to-page buttons seen from the pages they point at: whether a target is still
// there, and the targets carried over to a copy of a page.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct EngineDocument;
struct Sketch;
struct SketchObject;

// Whether a link-to-page button's target page is a page of the document and, when the
// button names a target button, whether that page holds an action button of that id.
// True for any other object.
bool LinkButtonTargetExists(const EngineDocument* document, const SketchObject* button);

// save 1: keeps the target words of the page's link-to-page buttons, in sketch order
// (the order in which a page's records store its buttons, so a copy made through the
// records has its buttons in the same order); save 0: gives them to the page's
// link-to-page buttons in that order (a copy of the page the words were kept from) and
// forgets them; a null page only forgets them. 100 without memory.
ResultCode StashLinkTargets(Sketch* page, int32_t save);
