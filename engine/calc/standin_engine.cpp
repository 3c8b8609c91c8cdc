// Stand-in: definitions behind standin_engine.h until the arc, polygon and
// label code lands; each goes when its real one arrives.
#include "engine/calc/standin_engine.h"

#include <cmath>
#include <cstring>

#include "engine/core/object_tables.h"

void ArcCacheLengths(SketchObject* object) {
    ArcData* arc = ClassData<ArcData>(object);
    if (arc->orientation == 0) {
        double chord = std::hypot(arc->startAngle - arc->centre.y, arc->radius - arc->centre.x);
        arc->sweep = 0;
        arc->straightPart = 0;
        arc->arcLength = arc->totalLength = chord;
        return;
    }
    double sweep = arc->endAngle - arc->startAngle;
    if (sweep < 0) sweep += 6.2831853071796;
    arc->sweep = sweep;
    arc->arcLength = sweep * arc->radius;
    double straight = 0;
    if (object->objectClass == kClassArcInterior) {
        if (object->objectKind == kKindArcSegment) {
            straight = std::hypot(arc->endPoint.x - arc->startPoint.x, arc->endPoint.y - arc->startPoint.y) / 2;
        } else {
            straight = arc->radius;
        }
    }
    arc->straightPart = straight;
    arc->totalLength = arc->arcLength + 2 * straight;
}



