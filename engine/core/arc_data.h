// Class data of arcs (class 12) and arc interiors (class 13): one layout for both.
// Angles are screen angles (growing from +x towards +y). A real arc runs from the
// start angle to the end angle with growing angle; the stored end points follow that
// run, and orientation says whether that is the order of the parents (+1) or not (-1).
// A straight arc (orientation 0) keeps its chord's two end points in the centre and in
// the radius and start-angle fields.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct ArcData {
    RealPoint   centre;       // a straight arc: its first end point
    double      radius;       // a straight arc: the second end point's x
    double      startAngle;   // radians; a straight arc: the second end point's y
    double      endAngle;
    int32_t     orientation;  // -1 or +1; 0 for a straight arc
    RealPoint   startPoint;
    RealPoint   endPoint;
    int16_t     screenCentreX;
    int16_t     screenCentreY;
    int16_t     screenRadius;
    ScreenPoint screenStart;
    ScreenPoint screenEnd;
    double      startPseudo;  // PseudoAngle from the centre to the start and end points;
    double      endPseudo;    // startPseudo <= endPseudo < startPseudo + 8
    int32_t     cacheStamp;   // the generation the lengths below were made for
    double      sweep;        // end angle - start angle, in [0, 2 pi)
    double      arcLength;
    double      straightPart; // one straight piece of an interior's boundary; 0 for an arc
    double      totalLength;  // the path length: the arc and both straight pieces
    double      arcStartFraction;  // d0: where the arc starts along the path
    double      arcEndFraction;    // d1 = 1 - d0
};
