// Objects that show formatted text (captions, measurements, calculations) as the type
// tables reach them: their class routines and the two operation tables of their class
// rows. The caption code (engine/text/captions.h) defines them; the value displays of
// measurements and calculations (engine/calc) fill the measurement rows.
#pragma once
#include <cstdint>

#include "engine/core/services/text_style.h"

struct GraphicsPort;
struct LayoutNode;
struct OutputScale;
struct SketchObject;
struct TransferContext;

#include "engine/core/ptr_list.h"

// The text data that leads the class data of captions (class 0), measurements (7) and
// calculations (11).
struct CaptionData {
    PtrList     valueSlots;  // the ValueSlotList; reference records of merged texts
    int32_t     editing;     // set while the text is edited in place: not refreshed then
    LayoutNode* layout;      // root of the text
    TextStyle   style;       // style of the text
};

// What creators hand over to install a text.
struct CaptionInit {
    LayoutNode* layout;
    TextStyle   style;
    int32_t     x;
    int32_t     y;
};

// How an object shows inside a merged text or a table.
struct DisplayPartsOps {
    bool (*hasValue)(const SketchObject* object);
    int32_t (*partCount)(const SketchObject* object);
    // Whether the part must be rebuilt when the object's generation changes, and whether
    // its shown layout is dropped when the showing text's value slots are cleared.
    void (*partInfo)(const SketchObject* object, int32_t part, int32_t* mayChange, int32_t* dropOnClear);
    // A layout for the part; the flags ask the caller to flatten it into a copy, to join
    // stacked rows into one row, to wrap it in a style node with `style`; `owned` says
    // whether the caller owns the tree.
    LayoutNode* (*buildPart)(SketchObject* object, int32_t part, int32_t* flatten, int32_t* join,
                             int32_t* wrapStyled, TextStyle* style, int32_t* owned);
};

// The text operations of captions and value displays.
struct TextEditOps {
    TextStyle* (*textStyleOf)(SketchObject* object);
    int32_t (*writeText)(SketchObject* object, void* writeContext);
    void (*setStyle)(SketchObject* object, const TextStyle* style);
    // Reason 0 the object's own label changed, 1 a parent's label, 2 a text it shows.
    bool (*needsTextRefresh)(const SketchObject* object, int32_t reason);
    void (*refreshText)(SketchObject* object);
};

extern const TextEditOps CaptionTextEditOps;

// Class routines of captions (class 0); value displays share the drawing and text ones.
int32_t InitCaptionObject(SketchObject* object, void* init);
void FreeCaptionObject(SketchObject* object);
void InvalidateCaptionLayout(SketchObject* object);
void DrawCaptionScaled(GraphicsPort* port, SketchObject* object, const OutputScale* scale);
const DisplayPartsOps* CaptionDisplayPartsOf(const SketchObject* object);
const DisplayPartsOps* DefaultDisplayPartsOf(const SketchObject* object);
// Update routines of merged texts (type 77) and pegged texts (type 90).
void RefreshMergedText(SketchObject* object, SketchObject* const* parents);
void FollowPeggedPoint(SketchObject* object, SketchObject* const* parents);
// Measurements and calculations (engine/calc).
const DisplayPartsOps* MeasurementDisplayPartsOf(const SketchObject* object);
const DisplayPartsOps* CalculationDisplayPartsOf(const SketchObject* object);
