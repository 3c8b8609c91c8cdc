// The engine's three type tables (object classes, construction types, object kinds), the
// kind lattice and the maps between table rows and the codes stored in documents.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/sketch_object.h"

struct TransferContext;
struct GraphicsPort;
struct OutputScale;
struct TransformMap;
struct DisplayPartsOps;
struct TextEditOps;

// ---- Numbering ---------------------------------------------------------------------

constexpr int32_t kClassCount            = 18;
constexpr int32_t kConstructionTypeCount = 93;
constexpr int32_t kObjectKindCount       = 75;

// Answers of the code maps for a code without a row.
constexpr int32_t kNoClass            = 19;
constexpr int32_t kNoConstructionType = 94;
constexpr int32_t kNoKind             = 76;

// Sentinels in ConstructionTypeRecord (resolved at construction).
constexpr int32_t kClassOfImage   = 20;  // the imageClass of the first parent's class
constexpr int32_t kKindOfImage    = 76;  // the first parent's kind, walked up
constexpr int32_t kKindOfLocus    = 77;  // 37 when the first parent is a point, else 38

// First kind that is a union of two others.
constexpr int32_t kFirstUnionKind = 68;

enum ObjectClass : int32_t {
    kClassCaption          = 0,
    kClassPoint            = 1,
    kClassStraight         = 2,
    kClassCircle           = 3,
    kClassPolygonInterior  = 4,
    kClassCircleInterior   = 5,
    kClassLocus            = 6,
    kClassMeasurement      = 7,
    kClassCoordinateSystem = 8,
    kClassAxis             = 9,
    kClassActionButton     = 10,
    kClassCalculation      = 11,
    kClassArc              = 12,
    kClassArcInterior      = 13,
    kClassIteration        = 14,
    kClassIteratedImage    = 15,
    kClassPicture          = 16,
    kClassTable            = 17,
};

// Object kinds (rows of ObjectKindTable) that code names; the table holds all 75.
enum ObjectKind : int32_t {
    kKindNone              = 0,
    kKindObject            = 1,
    kKindPoint             = 4,
    kKindPathObject        = 5,
    kKindStraight          = 7,
    kKindCurve             = 8,
    kKindInterior          = 9,
    kKindPointOnPath       = 10,
    kKindMidpoint          = 11,
    kKindLine              = 12,
    kKindRay               = 13,
    kKindSegment           = 14,
    kKindPolygonInterior   = 15,
    kKindCircleInterior    = 16,
    kKindText              = 17,
    kKindMeasurementText   = 18,
    kKindCaption           = 19,
    kKindActionButton      = 20,
    kKindAnalyticMeasure   = 21,  // coordinate and equation displays
    kKindCircle            = 22,
    kKindArc               = 24,
    kKindArcSector         = 26,
    kKindArcSegment        = 27,
    kKindCalculation       = 28,
    kKindAxis              = 33,
    kKindCoordinateSystem  = 34,
    kKindUnitPoint         = 35,
    kKindPointLocus        = 37,
    kKindOtherLocus        = 38,
    kKindIntersection      = 40,
    kKindDistanceMeasure   = 43,
    kKindAngleMeasure      = 44,
    kKindPlottedPoint      = 53,
    kKindFunction          = 54,
    kKindFunctionPlot      = 55,
    kKindMergedText        = 56,
    kKindDerivative        = 59,
    kKindPicture           = 61,
    kKindParameter         = 62,
    kKindPlainParameter    = 62,
    kKindDistanceParameter = 63,
    kKindAngleParameter    = 64,
    kKindDistanceUnion     = 68,
    kKindCircleUnion       = 69,
    kKindPreImage          = 71,
};

// Construction types (rows of ConstructionTypeTable) that code names.
enum ConstructionType : int32_t {
    kTypeFree                 = 0,
    kTypeMidpoint             = 1,
    kTypeSegment              = 2,
    kTypeCircleByPoint        = 3,
    kTypeCircleByRadius       = 4,
    kTypePerpendicular        = 5,
    kTypeParallel             = 6,
    kTypeAngleBisector        = 7,
    kTypePolygonInterior      = 8,
    kTypeIntersectStraights   = 9,
    kTypeCircleInterior       = 10,
    kTypePointOnPath          = 15,
    kTypeIterationRule        = 16,
    kTypeIterationRuleDepth   = 17,
    kTypeIteratedImage        = 18,
    kTypeFinalIteratedPoint   = 19,
    kTypeTranslateByVector    = 20,
    kTypeRotateFixed          = 31,
    kTypeReflection           = 38,
    kTypeLocus                = 39,
    kTypeCalculation          = 52,
    kTypeCoordinateSystem     = 65,
    kTypeActionButton         = 66,
    kTypeLine                 = 67,
    kTypeRay                  = 68,
    kTypeFunction             = 75,
    kTypeFunctionPlot         = 76,
    kTypeMergedText           = 77,
    kTypeParametricColor      = 79,
    kTypeDerivative           = 80,
    kTypeArcOnCircle          = 81,
    kTypeArcByCentre          = 82,
    kTypeArcThroughPoints     = 83,
    kTypeArcSector            = 84,
    kTypeArcSegment           = 85,
    kTypePictureAtPoint       = 86,
    kTypePictureBetweenPoints = 87,
    kTypePeggedText           = 90,
};

// Bits of ConstructionTypeRecord::flags.
constexpr uint32_t kTypeNeedsParents        = 0x1;
constexpr uint32_t kTypeNotIterated         = 0x2;
constexpr uint32_t kTypeValuePositioned     = 0x4;
constexpr uint32_t kTypeRebindable          = 0x8;
constexpr uint32_t kTypeFlag10             = 0x10;
constexpr uint32_t kTypeTiesOnSplit         = 0x20;
constexpr uint32_t kTypeConsumesValue       = 0x40;
constexpr uint32_t kTypeShowsParentText     = 0x80;
constexpr uint32_t kTypeStyleFromParent     = 0x100;
constexpr uint32_t kTypeFunctionDefinition  = 0x200;
constexpr uint32_t kTypeFirstParentOn       = 0x400;
constexpr uint32_t kTypeSecondParentOn      = 0x800;
constexpr uint32_t kTypePointOnParents      = 0x1000;
constexpr uint32_t kTypeSkipFirstLabel      = 0x2000;
constexpr uint32_t kTypeLabelFromParents    = 0x4000;
constexpr uint32_t kTypeDeletionRuleMask    = 0x38000;
constexpr uint32_t kTypeIterationRuleFlag   = 0x40000;

// Drag modes and the positions of ConstructionTypeRecord::dragCodes.
constexpr int kDragModeCount      = 3;  // 0 translate, 1 rotate, 2 dilate
constexpr int kDragPositionCount  = 5;  // parents 0..3, then 4 for every later parent

// ---- Routine slots -----------------------------------------------------------------

using DrawFn            = void (*)(GraphicsPort* port, SketchObject* object);
using DrawScaledFn      = void (*)(GraphicsPort* port, SketchObject* object, const OutputScale* scale);
using ObjectFn          = void (*)(SketchObject* object);
using HitTestFn         = bool (*)(ScreenPoint point, SketchObject* object);
using HitTestRectFn     = bool (*)(const ScreenRect* rect, SketchObject* object);
// Called with a null object it releases the parameter. Answers 0 on failure.
using InitExtraFn       = int32_t (*)(SketchObject* object, void* parameter);
using TransferFn        = ResultCode (*)(TransferContext* context);
using CopyGeometryFn    = void (*)(const SketchObject* source, SketchObject* target);
// One of the point-map operations (transform_maps.h): count > 0 maps that many
// RealPoints, 0 one length (a double), < 0 one direction angle (a double, radians).
// Source and target may be the same.
using PointMapOp        = void (*)(const void* source, void* target, int32_t count,
                                   const TransformMap* map);
using TransformFn       = void (*)(const SketchObject* source, SketchObject* target,
                                   const TransformMap* map, PointMapOp op);
using ObjectPredicateFn = bool (*)(const SketchObject* object);
using GetDisplayPartsFn = const DisplayPartsOps* (*)(const SketchObject* object);
// Recomputes the object from its parents; called only while the object exists, and may
// clear `exists` itself.
using UpdateFn          = void (*)(SketchObject* object, SketchObject* const* parents);

// ---- Rows ----------------------------------------------------------------------------

struct ObjectClassRecord {
    int32_t            classId;
    uint32_t           objectSize;       // header and class data
    int32_t            shapeFamily;      // 0 point, 1 straight, 2 circle, 3 polygon, 4 arc, 6 none
    DrawFn             draw;
    DrawFn             drawSelected;     // null = never selected by commands or batches
    DrawScaledFn       drawScaled;       // null = not drawn through an output scale
    ObjectFn           refreshTextMetrics;
    HitTestFn          hitTest;
    HitTestRectFn      hitTestRect;
    InitExtraFn        initExtra;
    ObjectFn           freeExtra;
    TransferFn         transferGeometry;  // record 2200 + class
    CopyGeometryFn     copyGeometry;      // null = not copyable
    TransformFn        transform;
    int32_t            imageClass;
    TransferFn         transferClassData; // record 2300 + class; null = none
    ObjectPredicateFn  labelFollowsGeometry;
    int32_t            drawLayer;        // 0..10; 12 = decided per object
    int32_t            traceable;
    int32_t            hasLineStyle;
    int32_t            textLike;
    int32_t            usesCoreExtent;
    int32_t            textFamily;       // 0 label, 1 caption, 2 value, 3 button, 4 table, 7 none
    int32_t            intersectable;    // 0 no, -1 yes
    int32_t            placementGroup;   // 0 text column, 1 buttons and pictures, 3 not placed
    GetDisplayPartsFn  getDisplayParts;
    const TextEditOps* textEditOps;
    int32_t            colorSlot;
};

constexpr int32_t kDrawLayerCount   = 11;
constexpr int32_t kDrawLayerDecided = 12;  // ObjectDrawLayer decides per object

struct ConstructionTypeRecord {
    uint16_t   storedCode;
    int32_t    objectClass;         // kClassOfImage = the first parent's image class
    int32_t    objectKind;          // kKindOfImage, kKindOfLocus, or a row
    int32_t    duplicateRule;       // 0..7, 9
    uint16_t   distinctParentsMask;
    uint16_t   parentKindsIndex;    // into ParentKindProgram
    uint16_t   transformOp;         // 21 = not a transformation
    uint16_t   measureFunction;     // 18 = none (19 for type 0)
    uint16_t   descriptionTemplate; // item of string group 11; above 105 built by code
    uint16_t   implicitParent;
    UpdateFn   update;
    TransferFn streamExtra;         // record 2003; null = none
    uint32_t   flags;
    uint16_t   anchorParent;        // orientation parent; 0xffff none
    uint16_t   textSlots;           // of a value display; 0xfffe free texts, 0xffff none
    uint16_t   nonexistenceReason;  // item of string group 12; 0 none
    uint8_t    dragCodes[kDragModeCount][kDragPositionCount];
};

constexpr uint16_t kNoTransformOp      = 21;
constexpr uint16_t kNoMeasureFunction  = 18;
constexpr uint16_t kNoAnchorParent     = 0xffff;

struct ObjectKindRecord {
    int32_t storedCode;
    int32_t parentKind;           // for union kinds: the first member
    int32_t shapeKind;            // for union kinds: the second member
    int32_t pathClass;            // 0 segment .. 6 arc; 8 = not a path
    int32_t matchGroup;           // 0 segment-like, 1 ray, 2 line, 3 circle-like, 5 none
    int32_t imageUsesParentKind;
};

constexpr int32_t kNotAPath     = 8;
constexpr int32_t kNoMatchGroup = 5;

extern const ObjectClassRecord      ObjectClassTable[kClassCount];
extern const ConstructionTypeRecord ConstructionTypeTable[kConstructionTypeCount];
extern const ObjectKindRecord       ObjectKindTable[kObjectKindCount];

// ---- Parent kinds ------------------------------------------------------------------

// A type's parentKindsIndex points at the kinds of its parents 1, 2, 3, ... in order.
constexpr int32_t kParentKindRestAre     = 79;  // the kind after it applies to every later parent
constexpr int32_t kParentKindToolRule80  = 80;  // rules the custom-tool maker interprets
constexpr int32_t kParentKindToolRule81  = 81;
constexpr int32_t kParentKindToolRule83  = 83;
constexpr uint16_t kParentKindsByObject  = 108;  // kinds depend on the object
constexpr uint16_t kParentKindsNone      = 0;    // free objects: no parent kinds

extern const uint8_t  ParentKindProgram[];
extern const uint32_t ParentKindProgramSize;

// Answer of RequiredParentKind for types whose parents' kinds depend on the object
// itself (iteration rules, action buttons): ask the object's own rule.
constexpr int32_t kParentKindsByObjectRule = -1;

// The kind that parent `index` of `count` must have for a construction of `type`; the
// parent itself (may be null) settles the rules that look at it. kKindNone when the
// program says nothing for that position.
int32_t RequiredParentKind(int32_t type, int32_t index, int32_t count, const SketchObject* parent);
// Where the parent-kind list of a construction type ends: where the next list of the
// program begins, or the program's end. Worked out once for all types.
uint32_t ParentKindListEnd(int32_t type);
int32_t ResolveParentKindWord(const uint8_t* word, const SketchObject* parent);

// ---- Lattice and checks --------------------------------------------------------------

bool    KindIsA(int32_t kind, int32_t category);
// The nearest common kind of two kinds; 0 stands for "no constraint yet", so folding a
// list from 0 answers the common kind of its members.
int32_t CommonKind(int32_t a, int32_t b);
bool    CheckParentsDistinct(int32_t type, SketchObject* const* parents, int32_t count);
int32_t ObjectDrawLayer(const SketchObject* object);

int32_t ConstructionTypeFromCode(uint32_t code);
int32_t ObjectKindFromCode(uint32_t code);
int32_t ObjectClassFromCode(uint32_t code);

// Resolves the sentinels of a construction type's class and kind against a first parent
// (null when there is none).
int32_t ResolveObjectClass(int32_t type, const SketchObject* firstParent);
int32_t ResolveImageKind(int32_t parentKind);

// ---- Default class routines ----------------------------------------------------------

bool       HitByBounds(ScreenPoint point, SketchObject* object);
bool       InRectByBounds(const ScreenRect* rect, SketchObject* object);
bool       NeverHit(ScreenPoint point, SketchObject* object);
bool       LabelDoesNotFollow(const SketchObject* object);
bool       LabelFollows(const SketchObject* object);
void       TransformRectGeometry(const SketchObject* source, SketchObject* target,
                                 const TransformMap* map, PointMapOp op);
void       DrawNothing(GraphicsPort* port, SketchObject* object);
void       UpdateNothing(SketchObject* object, SketchObject* const* parents);
void       UpdateFreeObject(SketchObject* object, SketchObject* const* parents);
