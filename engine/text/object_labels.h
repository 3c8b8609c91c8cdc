// Object labels: the short names ("A", "j", "c1", "A'") that name objects in
// descriptions, menus and captions and that can be shown beside them. A label is made
// lazily at the level of effort asked for: a numbered name, a name derived from the
// parents' labels, a letter of the class's automatic sequence, or a typed text.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/sketch.h"

// How a label's text was made. A request for level L is met by any level >= L.
enum LabelLevel : int32_t {
    kLabelNone        = 0,
    kLabelNumbered    = 1,  // "#" and a number from the class's counter
    kLabelFromParents = 2,  // request: derive from the parents when the construction allows
    kLabelAutomatic   = 3,  // request: a sequence letter, or derived for images and plots
    kLabelDerived     = 4,  // made from other labels
    kLabelSequence    = 6,  // taken from the class's automatic sequence
    kLabelGiven       = 7,  // typed by the user
    kLabelDeriving    = 8,  // set while the label is derived, so that a cycle stops
};

constexpr uint32_t kMaxLabelLength = 255;
// Room for any label and its NUL.
constexpr uint32_t kLabelBufferSize = kMaxLabelLength + 1;
// Longest text of an automatic sequence that is read.
constexpr int32_t kMaxSequenceText = 39;
// The sequence whose text is the format of numbered labels.
constexpr int32_t kNumberedLabelSequence = 18;

// The next label of sequence i of the current sketch; advances the sequence. `text`
// has room for kLabelBufferSize bytes.
void NextAutoLabel(int32_t sequence, char* text);
int32_t LabelSequenceOfObject(const SketchObject* object);
// Copies a sketch's automatic-label state (every sequence, as one block), to save it
// around label generation and put it back.
void CopyAutoLabelState(const LabelSequence* from, LabelSequence* to);

// Makes the label at least level L. Answers 0, or a code handed up by a derivation
// step; a failure to store the text is not part of it.
int32_t GenerateObjectLabel(SketchObject* object, int32_t level, const char* given, bool propagate,
                            bool imagesOnly);
bool DeriveLabelFromParents(SketchObject* object, char* text, int32_t* code, bool imagesOnly);
bool JoinParentLabels(SketchObject* object, char* text, int32_t* code, bool prime);

// Which parents name an object made from them. `several` (when asked) is 1 when more
// than one parent takes part; with one, `sourceLevel` is that parent's label level, found
// through parents whose own labels are derived. Answers last.
struct ParentLabelSource {
    int32_t sourceLevel;
    int32_t several;
};
int32_t ParentLabelRange(const SketchObject* object, int32_t* first, int32_t* last, ParentLabelSource* source);

// Stores a label text (0, or 100 when a long text finds no memory: the label is then
// empty).
int32_t StoreLabelText(SketchObject* object, const char* text, bool propagate);
// A typed label (level 7), propagated to what is named after it.
int32_t SetObjectLabel(SketchObject* object, const char* text, bool eraseFirst);
// The label text, generated first up to `level` (with propagation); NUL-terminated in
// `buffer` (kLabelBufferSize bytes). Answers the buffer.
const char* GetObjectLabel(SketchObject* object, int32_t level, char* buffer, uint32_t* length);
// The singular noun of the object's effective kind, a blank and its label (generated to
// `level`); copies what fits and answers the full length (plus one with `terminate`).
uint32_t FormatNounAndLabel(SketchObject* object, int32_t level, char* destination, uint32_t size, bool terminate);
// Position of the '[' opening a trailing subscript, or 0.
uint32_t FindLabelSubscript(const char* text, uint32_t length);
void FreeLabelText(ObjectLabel* label);

// The object's class has a label that moves with it (so it can be shown beside it).
bool LabelFollowsGeometry(const SketchObject* object);
void SetLabelShown(SketchObject* object, bool show, const ScreenPoint* point, bool act);
bool IsLabelShownOrImplied(const SketchObject* object);
void ShowParentLabels(SketchObject* object);

void RemeasureLabel(SketchObject* object);
bool GetLabelRect(const SketchObject* object, ScreenRect* rect);
void InvalidateLabelRect(SketchObject* object);
bool LabelHitTest(ScreenPoint point, const SketchObject* object);
void SetLabelOffsetFromPoint(SketchObject* object, ScreenPoint point);
// Label offsets are kept within [-width - 8, 8] and [-height - 5, 5] of the anchor.
void ClampLabelOffset(SketchObject* object);

// One label drag at a time.
void BeginLabelDrag(SketchObject* object, ScreenPoint point);
void DragLabelTo(ScreenPoint point);
void EndLabelDrag(ScreenPoint point);

// Regenerates what is named after the object's label and refreshes the texts that show it.
void PropagateLabelChange(SketchObject* object);
// While held (calls nest), label changes are only queued: a layout being built names
// objects, and what is named after them must not be rebuilt in the middle of that build.
// The last release follows what was queued.
void HoldLabelPropagation();
void ReleaseLabelPropagation();
class LabelPropagationHold {
public:
    LabelPropagationHold() { HoldLabelPropagation(); }
    ~LabelPropagationHold() { ReleaseLabelPropagation(); }
    LabelPropagationHold(const LabelPropagationHold&) = delete;
    LabelPropagationHold& operator=(const LabelPropagationHold&) = delete;
};

// The label at creation: with propagation when the object is already in its sketch.
void InitObjectLabelWith(SketchObject* object, bool propagate);

// The label text of a function plot, "y=f(x)" or the like, appended to the buffer
// (size bytes); answers the characters appended.
uint32_t LocusLabelText(char* buffer, uint32_t size, SketchObject* plot);
