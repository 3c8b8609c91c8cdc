// The engine-wide depth of nested evaluations: raised while a locus or an iteration puts
// objects at other positions and recomputes what depends on them, lowered afterwards.
// Text displays do not rebuild their texts at depth 2 and more, where every rebuild would
// be thrown away at once.
#pragma once
#include <cstdint>

extern int16_t NestedEvaluationDepth;

// Raises the depth for the life of the scope, on every way out.
class NestedEvaluationScope {
public:
    NestedEvaluationScope() { ++NestedEvaluationDepth; }
    ~NestedEvaluationScope() { --NestedEvaluationDepth; }
    NestedEvaluationScope(const NestedEvaluationScope&) = delete;
    NestedEvaluationScope& operator=(const NestedEvaluationScope&) = delete;
};
