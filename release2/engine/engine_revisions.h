// Small engine operations figlate adds: the equivalence of two calculations, the source
// of a chain of parametrically coloured images, finite values of objects, and the
// padded length of a stream record.
#pragma once
#include <cstdint>

struct SketchObject;

// The candidate is a calculation with the template's leading word, token count and
// tokens.
bool IsSameCalculation(const SketchObject* candidate, const SketchObject* pattern);
// From an object of construction type 79, up through first parents of that type to the
// first of another; null when the object is not of type 79.
SketchObject* FindParentAboveCode79Chain(SketchObject* object);
// The most recently selected object, followed up such a chain, is a point on a path.
bool IsType15Source();
// The menu-rule predicate that asks it, the first past the shared ones.
constexpr uint32_t kPredicateType15Source = 16;
// The object's stored value when it exists, is defined and is finite.
bool GetFiniteValue(const SketchObject* object, double* value);
// The length written in a record header: even for file and memory streams (kinds 1 and
// 2), as it is for the others.
uint32_t GetPaddedRecordLength(int32_t streamKind, uint32_t length);
