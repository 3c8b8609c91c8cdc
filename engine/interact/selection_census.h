// The census of the current selection that the menu rules read: counts of the
// selected objects per object kind, summed up the kind lattice, and 24 condition
// flags. One instance, rebuilt by every census.
#pragma once
#include <cstdint>

#include "engine/interact/neighbour_services.h"

constexpr int32_t kCensusKindCount = 68;
constexpr int32_t kCensusFlagCount = 24;

struct SelectionCensus {
    uint16_t counts[kCensusKindCount];  // selected objects of kind k or a kind below k
    int32_t flags[kCensusFlagCount];    // 0 or 1; flag 0 holds the Shift state word
    int32_t lineStylePresent[3];
    int32_t commonKind;                 // 0 when nothing is selected
    char noun[256];                     // singular or plural noun of commonKind
    int32_t noSketch;                   // the last census found no current sketch
    int32_t selectedCount;
    int32_t gridsOnly;                  // every line-weight object is a coordinate system
    int32_t collinearValid;             // cache of the collinearity predicate
    int32_t collinearResult;
    int32_t collinearOrdered;
    Sketch* censusSketch;
    uint32_t censusStamp;               // the sketch's selection-change counter
    uint32_t statusKey;
    TextStyle textStyle;                // common text style, valid with flag 13
};

// The numbers that rule programs test (see the census for their exact meaning).
enum CensusFlag : uint8_t {
    kFlagShift = 0, kFlagAllTraced = 1, kFlagSomeTraced = 2, kFlagAllLabelsShown = 3,
    kFlagSomeLabelFollows = 4, kFlagTwoDistinctPoints = 5, kFlagAnimating = 6,
    kFlagPaused = 7, kFlagValuesFinite = 8, kFlagHasParents = 9, kFlagHasChildren = 10,
    kFlagOneCalculation = 11, kFlagAllShowText = 12, kFlagCommonTextStyle = 13,
    kFlagTransformable = 14, kFlagSomeTransformable = 15, kFlagSomeMoving = 16,
    kFlagAllMovingFast = 17, kFlagGeometricOrParameter = 18, kFlagAnySketchAnimating = 19,
    kFlagMotionBarVisible = 20, kFlagAllFreePointsOrParameters = 21,
    kFlagSomeTraceable = 22, kFlagSomeNotTraceable = 23,
};

// Rebuilds the census from the current sketch's selection; answers the status key.
uint32_t TakeSelectionCensus();
const SelectionCensus& CurrentSelectionCensus();
// The same record for the rule predicates, which cache their collinearity answer in it.
SelectionCensus& SelectionCensusForRules();

int32_t CensusCondition(uint32_t i);
int32_t CensusShiftState();
void GetSelectionCensusSummary(int32_t* commonKind, int32_t* count, char* noun);
bool GetSelectionTextStyle(TextStyle* style);

// Records the Shift state; a change marks the groups whose texts follow Shift dirty.
void SetShiftState(int32_t state);

// The status-line text of the selection, a block from AllocMemory that the caller
// frees: "Selected: 2 Points", or for one labelled object "Selected: Point A". False,
// with no text, when the census is not current for the current sketch, nothing is
// selected, or memory runs out.
bool SelectionStatusText(char** text);
// Makes the selection's text the status line's, keyed by the census's statusKey.
void InstallSelectionStatus();

// Number of intersections (0, 1 or 2) of two objects as they stand.
int32_t CountSelectionIntersections(const SketchObject* first, const SketchObject* second);
