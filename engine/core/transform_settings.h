// The Transform commands' side of the engine: the dialog record each sketch keeps (so
// that the dialogs reopen with the last values), the choice of a transformation type
// from the dialog's choices and the marks, preparing and building the images, and the
// default centre and mirror.
#pragma once
#include <cstdint>

#include "engine/core/ptr_list.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/sketch_object.h"

// The entries of TransformSettings. Angles and lengths are radians and pixels while
// stored, the sketch's units while a dialog shows them.
enum TransformField : int32_t {
    kTfDialog          = 0,   // header: 0 Translate, 1 Rotate, 2 Dilate
    kTfTranslateForm   = 1,   // 0 polar, 1 rectangular, 2 marked vector
    kTfPolarAngleSource = 2,  // 0 fixed, 1 marked
    kTfPolarAngle      = 3,
    kTfDistanceSource  = 4,   // distance (polar) or horizontal (rectangular)
    kTfVerticalSource  = 5,
    kTfDistance        = 6,
    kTfVertical        = 7,   // upwards positive
    kTfRotationSource  = 8,
    kTfRotationAngle   = 9,
    kTfRatioSource     = 10,
    kTfNumerator       = 11,
    kTfDenominator     = 12,
    kTfPreview         = 13,  // the preview is active
    kTransformFieldCount = 14,
};

constexpr int32_t kTranslatePolar       = 0;
constexpr int32_t kTranslateRectangular = 1;
constexpr int32_t kTranslateVector      = 2;

struct TransformSettings {
    DialogField field[kTransformFieldCount];
};

// No transformation fits the dialog's choices and the marks.
constexpr int32_t kNoTransformType = -1;

// The values a new sketch starts with.
TransformSettings* InitTransformSettings(TransformSettings* settings);
// Keeps the choices of the current sketch's record in step with a mark slot or group
// whose state changed; answers the record (null without a current sketch).
TransformSettings* TransformSettingsFollowMark(int32_t slot, int32_t state);
int32_t GetTranslateForm();
void    SetTranslateForm(int32_t form);

// The construction type 20..38 for the dialog in the header and the current marks, or
// kNoTransformType when a marked choice has no mark to read.
int32_t ChooseTransformType(const TransformSettings* settings);
// The stored angles and lengths to the current sketch's units (toDisplay) and back.
void ConvertTransformSettings(int32_t dialogKind, TransformSettings* settings, bool toDisplay);

// One transformation command on the caller's stack.
struct TransformWork {
    PtrList  selection;       // the pre-images, oldest selection first
    int32_t  selectionCount;
    PtrList  parents;         // parameter parents (parentCount - 1)
    PtrList  data;            // construction data (fixedWords words)
    int32_t  type;            // 20..38
    uint16_t parentCount;
    uint16_t fixedWords;
    int32_t  silent;          // the live preview: no messages, no questions
};

// Parameter parents from the marks and construction data from the settings (in the
// units a dialog shows). Refusals and questions unless silent; false frees the lists.
bool PrepareTransformation(TransformSettings* settings, TransformWork* work, bool silent);
// One image per selected pre-image as one undo step; frees the work's lists.
bool BuildTransformedImages(TransformWork* work);
void FreeTransformWork(TransformWork* work);

// The marked centre, or a default one that it marks (kind 1 rotate, 2 dilate); null
// only when no point could be made.
SketchObject* GetTransformCenter(int32_t kind);
SketchObject* MarkedCenterCandidate(int32_t slot, int32_t allowHidden);
// The marked mirror, or the straight object or axis nearest the window centre, which it
// marks; null when there is none.
SketchObject* DefaultMirror();
