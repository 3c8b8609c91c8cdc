// Class data of arcs (class 12) and arc interiors (class 13), as the intersection
// and path code reads it.
// Stand-in: the layout of the arc's class data until arcs themselves are built; the
// field order is the arc's stored layout.
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
    int32_t     cacheStamp;
    double      sweep;
    double      arcLength;
    double      straightPart;
    double      totalLength;
    double      arcStartFraction;
    double      arcEndFraction;
};
