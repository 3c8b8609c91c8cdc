#include "engine/core/polygon_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/core/geometry.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/memory.h"
#include "engine/core/points.h"
#include "engine/core/print_state.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/shape_families.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"

namespace {

PolygonData* PolygonOf(SketchObject* object) { return ClassData<PolygonData>(object); }

SketchObject* FirstParent(const SketchObject* object) {
    return static_cast<SketchObject*>(PtrListItem(object->parents, 0));
}

int32_t ParentCount(const SketchObject* object) {
    int32_t n = 0;
    PtrListItems(object->parents, &n);
    return n;
}

bool IsImage(const SketchObject* object) {
    return object->constructionType > 0 && object->constructionType < kConstructionTypeCount &&
           ConstructionTypeTable[object->constructionType].transformOp != kNoTransformOp;
}

// The count a polygon's arrays are made for, from how it is constructed.
uint32_t CountFromConstruction(SketchObject* polygon, const void* parameter) {
    if (polygon->constructionType == kTypeFree) return parameter ? *static_cast<const uint32_t*>(parameter) : 0;
    if (polygon->constructionType == kTypePolygonInterior) return static_cast<uint32_t>(ParentCount(polygon));
    const SketchObject* first = FirstParent(polygon);
    if (first && first->objectClass == kClassPolygonInterior) return ClassData<PolygonData>(first)->vertexCount;
    return 0;
}

void ReleaseArrays(PolygonData* p) {
    FreeMemory(p->vertices);
    FreeMemory(p->screenVertices);
    FreeMemory(p->edges);
    p->vertices = nullptr;
    p->screenVertices = nullptr;
    p->edges = nullptr;
    p->vertexCount = 0;
}

// All three arrays or none; the polygon's old arrays stay when one cannot be had.
bool MakeArrays(PolygonData* p, uint32_t count) {
    if (count > 0xffff) return false;
    if (count == 0) {
        ReleaseArrays(p);
        return true;
    }
    auto* vertices = static_cast<RealPoint*>(AllocMemory(sizeof(RealPoint) * count, kAllocZero));
    auto* screen = static_cast<ScreenPoint*>(AllocMemory(sizeof(ScreenPoint) * count, kAllocZero));
    auto* edges = static_cast<PolygonEdge*>(AllocMemory(sizeof(PolygonEdge) * count, kAllocZero));
    if (!vertices || !screen || !edges) {
        FreeMemory(vertices);
        FreeMemory(screen);
        FreeMemory(edges);
        return false;
    }
    ReleaseArrays(p);
    p->vertices = vertices;
    p->screenVertices = screen;
    p->edges = edges;
    p->vertexCount = static_cast<uint16_t>(count);
    return true;
}

int32_t KindForCorners(int32_t corners) { return corners >= 3 && corners <= 6 ? 44 + corners : kKindPolygonInterior; }

void ApplyKind(SketchObject* polygon, int32_t kind) {
    if (polygon->objectKind == kind) return;
    polygon->objectKind = kind;
    // A label derived from the parents names the kind ("Triangle ABC"): make it again.
    if (polygon->label.level == 2) {
        polygon->label.level = 1;
        GetObjectLabel(polygon, 2);
    }
    PropagateLabelChange(polygon);
}

}  // namespace

int32_t InitPolygon(SketchObject* polygon, void* parameter) {
    if (!polygon) return 1;  // the parameter stays the caller's
    PolygonData* p = PolygonOf(polygon);
    *p = PolygonData{};
    if (!MakeArrays(p, CountFromConstruction(polygon, parameter))) return 0;
    // Made before its parents are known (a document being read): its stored kind stands.
    if (p->vertexCount > 0) SetPolygonKind(polygon);
    return 1;
}

void FreePolygon(SketchObject* polygon) { ReleaseArrays(PolygonOf(polygon)); }

bool SizePolygonFromParents(SketchObject* polygon) {
    PolygonData* p = PolygonOf(polygon);
    if (p->vertexCount != 0 || polygon->constructionType == kTypeFree) return true;
    return MakeArrays(p, CountFromConstruction(polygon, nullptr));
}

bool ResizeFreePolygon(SketchObject* polygon, uint32_t count) {
    PolygonData* p = PolygonOf(polygon);
    return p->vertexCount == count || MakeArrays(p, count);
}

void FinishPolygon(SketchObject* polygon) {
    PolygonData* p = PolygonOf(polygon);
    const int32_t n = p->vertexCount;
    bool differs = false;
    for (int32_t i = 0; i < n; ++i) {
        p->screenVertices[i] = { RoundToScreen(p->vertices[i].x), RoundToScreen(p->vertices[i].y) };
        differs = differs || !RealPointsEqual(p->vertices[i], p->vertices[0]);
    }
    polygon->exists = differs ? 1 : 0;
    if (differs) {
        ScreenRect box = kEmptyScreenRect;
        for (int32_t i = 0; i < n; ++i) {
            const ScreenPoint v = p->screenVertices[i];
            ScreenRectUnion({ v.x, v.y, v.x, v.y }, &box);
        }
        ScreenRectInset(&box, -2, -2);
        polygon->bounds = box;
    }
    p->cacheStamp = static_cast<int32_t>(polygon->generation - 1);
}

void SetPolygonKind(SketchObject* polygon) {
    // Images keep the corners of the polygon they were made from.
    SketchObject* source = polygon;
    while (source->constructionType != kTypePolygonInterior && IsImage(source) && FirstParent(source))
        source = FirstParent(source);
    const int32_t corners = source->constructionType == kTypePolygonInterior
                                ? PtrListCountCyclicRuns(source->parents)
                                : PolygonOf(polygon)->vertexCount;
    ApplyKind(polygon, KindForCorners(corners));
}

void PropagatePolygonKind(SketchObject* object) {
    // Walks the sketch order (parents come before their children) rather than recursing:
    // a document can chain images of images to any length.
    Sketch* sketch = CurrentSketch();
    if (!sketch || object->nextInSketch == kNotLinked) return;
    const uint32_t g = ++sketch->traversalGeneration;
    object->traversalStamp = g;
    for (SketchObject* o = object->nextInSketch; o && o != kNotLinked; o = o->nextInSketch) {
        if (o->objectClass != kClassPolygonInterior) continue;
        int32_t n = 0;
        void** parents = PtrListItems(o->parents, &n);
        bool below = false;
        for (int32_t i = 0; i < n && !below; ++i) below = static_cast<SketchObject*>(parents[i])->traversalStamp == g;
        if (!below) continue;
        o->traversalStamp = g;
        SketchObject* first = FirstParent(o);
        // An image inherits the corners handed down, which its source has just been given.
        if (o->constructionType != kTypePolygonInterior && IsImage(o) && first &&
            first->objectClass == kClassPolygonInterior && first->traversalStamp == g)
            ApplyKind(o, first->objectKind);
        else
            SetPolygonKind(o);
    }
}

void Polygon::CachePerimeter(SketchObject* polygon) {
    PolygonData* p = PolygonOf(polygon);
    if (p->cacheStamp == static_cast<int32_t>(polygon->generation)) return;
    const int32_t n = p->vertexCount;
    double total = 0;
    for (int32_t i = 0; i < n; ++i) {
        const RealPoint a = p->vertices[i], b = p->vertices[i + 1 < n ? i + 1 : 0];
        p->edges[i].length = std::hypot(b.x - a.x, b.y - a.y);
        total += p->edges[i].length;
        p->edges[i].cumulative = total;
    }
    // A polygon of coinciding vertices shares its parameter range out evenly.
    for (int32_t i = 0; i < n; ++i)
        p->edges[i].cumulative = total > 0 ? p->edges[i].cumulative / total : (i + 1.0) / n;
    if (n > 0) p->edges[n - 1].cumulative = 1;
    p->perimeter = total;
    p->cacheStamp = static_cast<int32_t>(polygon->generation);
}

PolygonPerimeter PolygonPerimeterOf(SketchObject* polygon) {
    Polygon::CachePerimeter(polygon);
    const PolygonData* p = PolygonOf(polygon);
    return { p->vertices, p->vertexCount, p->edges, p->perimeter };
}

bool PointInPolygon(ScreenPoint point, const ScreenPoint* v, int32_t count) {
    bool inside = false;
    const int64_t px = point.x, py = point.y;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t j = i == 0 ? count - 1 : i - 1;
        const int64_t xi = v[i].x, yi = v[i].y, xj = v[j].x, yj = v[j].y;
        if (((yi <= py && py < yj) || (yj <= py && py < yi)) && px - xi < (xj - xi) * (py - yi) / (yj - yi))
            inside = !inside;
    }
    return inside;
}

bool PolygonHitTest(ScreenPoint point, SketchObject* polygon) {
    const PolygonData* p = PolygonOf(polygon);
    return PointInPolygon(point, p->screenVertices, p->vertexCount);
}

bool Polygon::HitTestEdges(ScreenPoint point, SketchObject* polygon) {
    const PolygonData* p = PolygonOf(polygon);
    const int32_t n = p->vertexCount;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t from = i == 0 ? n - 1 : i - 1;
        if (ScreenSegmentHit(p->screenVertices[from], p->screenVertices[i], point)) return true;
    }
    return false;
}

bool PolygonHitTestRect(const ScreenRect* rect, SketchObject* polygon) {
    const PolygonData* p = PolygonOf(polygon);
    const int32_t n = p->vertexCount;
    for (int32_t i = 0; i < n; ++i) {
        if (SegmentMeetsRect(*rect, p->screenVertices[i], p->screenVertices[i + 1 < n ? i + 1 : 0])) return true;
    }
    return false;
}

void DrawPolygonScaled(GraphicsPort* port, SketchObject* polygon, const OutputScale*) {
    PolygonData* p = PolygonOf(polygon);
    const int32_t n = p->vertexCount;
    RealPoint* saved = n ? static_cast<RealPoint*>(AllocMemory(sizeof(RealPoint) * n, 0)) : nullptr;
    if (n && !saved) return;  // no room to put the vertices back: the page goes without it
    const ScreenRect savedBounds = polygon->bounds;
    const int32_t savedExists = polygon->exists;
    double factor, ox, oy;
    PrintPageMap(&factor, &ox, &oy);
    for (int32_t i = 0; i < n; ++i) {
        saved[i] = p->vertices[i];
        p->vertices[i] = { (saved[i].x + ox) * factor, (saved[i].y + oy) * factor };
    }
    FinishPolygon(polygon);
    if (polygon->exists) {
        if (DrawFn draw = ObjectClassTable[polygon->objectClass].draw) draw(port, polygon);
    }
    for (int32_t i = 0; i < n; ++i) p->vertices[i] = saved[i];
    FreeMemory(saved);
    FinishPolygon(polygon);
    polygon->bounds = savedBounds;
    polygon->exists = savedExists;
}

void UpdatePolygon(SketchObject* polygon, SketchObject* const* parents) {
    PolygonData* p = PolygonOf(polygon);
    // The arrays were sized for the parents at creation; a damaged object whose parents
    // do not match them has no geometry.
    if (ParentCount(polygon) != p->vertexCount) {
        polygon->exists = 0;
        return;
    }
    for (int32_t i = 0; i < p->vertexCount; ++i) p->vertices[i] = ClassData<PointData>(parents[i])->position;
    FinishPolygon(polygon);
}

void TransformPolygon(const SketchObject* source, SketchObject* target, const TransformMap* map,
                      PointMapOp op) {
    const PolygonData* s = ClassData<PolygonData>(source);
    PolygonData* t = PolygonOf(target);
    // The image was sized from its pre-image; a count that differs all the same (a
    // damaged document) maps what both hold.
    const int32_t n = std::min<int32_t>(s->vertexCount, t->vertexCount);
    if (n <= 0 || !s->vertices || !t->vertices) {
        target->exists = 0;
        return;
    }
    op(s->vertices, t->vertices, n, map);
    FinishPolygon(target);
}
