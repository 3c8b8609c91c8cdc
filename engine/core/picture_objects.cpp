#include "engine/core/picture_objects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/geometry.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/print_state.h"
#include "engine/core/sketch.h"

namespace {

constexpr int16_t kPictureLimit = 30000;
constexpr int16_t kGripInset = 1;
constexpr int16_t kGripReach = 4;

int16_t ClampCoordinate(double c) {
    if (std::isnan(c)) return 0;
    return static_cast<int16_t>(std::clamp(c, -double(kPictureLimit), double(kPictureLimit)));
}

int16_t SaturateToInt16(int32_t c) {
    return static_cast<int16_t>(std::clamp<int32_t>(c, INT16_MIN, INT16_MAX));
}

void ClipSpan(int16_t low, int16_t high, int16_t* gripLow, int16_t* gripHigh) {
    *gripHigh = std::clamp(*gripHigh, low, high);
    *gripLow = std::clamp(*gripLow, low, high);
    if (*gripLow >= *gripHigh) *gripLow = static_cast<int16_t>((low + *gripHigh) / 2);
}

}  // namespace

int32_t InitPictureExtra(SketchObject* picture, void* parameter) {
    if (!picture) return 1;
    PictureData* d = PictureDataOf(picture);
    d->handles = PictureHandles{};
    if (parameter) std::memcpy(d, parameter, 4 * sizeof(int16_t));
    return 1;
}

void FreePictureExtra(SketchObject* picture) {
    FreePictureHandles(&PictureDataOf(picture)->handles);
    PictureDataOf(picture)->handles = PictureHandles{};
}

int16_t PictureCoordinate(double c) {
    if (c >= kPictureLimit) return kPictureLimit;
    if (c <= -kPictureLimit) return -kPictureLimit;
    if (std::isnan(c)) return 0;
    return static_cast<int16_t>(std::floor(c + 0.5));
}

void SyncPictureSize(SketchObject* picture) {
    PictureData* d = PictureDataOf(picture);
    d->width = static_cast<int16_t>(picture->bounds.right - picture->bounds.left);
    d->height = static_cast<int16_t>(picture->bounds.bottom - picture->bounds.top);
}

void UpdatePictureAtPoint(SketchObject* picture, SketchObject* const* parents) {
    const RealPoint p = PointPosition(parents[0]);
    const PictureData* d = PictureDataOf(picture);
    ScreenRect& r = picture->bounds;
    r.left = PictureCoordinate(p.x);
    r.top = PictureCoordinate(p.y);
    // The size is the picture's own: a corner pinned at the limit keeps its width and
    // height beyond it, and only the conversion to the screen clamps. The rectangle's
    // 16 bits are the one bound.
    r.right = SaturateToInt16(int32_t(r.left) + d->width);
    r.bottom = SaturateToInt16(int32_t(r.top) + d->height);
}

void UpdatePictureBetweenPoints(SketchObject* picture, SketchObject* const* parents) {
    const RealPoint a = PointPosition(parents[0]), b = PointPosition(parents[1]);
    const int16_t x1 = PictureCoordinate(a.x), y1 = PictureCoordinate(a.y);
    const int16_t x2 = PictureCoordinate(b.x), y2 = PictureCoordinate(b.y);
    picture->bounds = { std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2) };
    SyncPictureSize(picture);
    const PictureData* d = PictureDataOf(picture);
    picture->exists = d->width != 0 && d->height != 0 ? 1 : 0;
}

void ClipGripToPicture(const SketchObject* picture, ScreenRect* grip) {
    const ScreenRect& r = picture->bounds;
    ClipSpan(r.left, r.right, &grip->left, &grip->right);
    ClipSpan(r.top, r.bottom, &grip->top, &grip->bottom);
}

bool PictureTopLeftGrip(const SketchObject* picture, ScreenRect* grip) {
    if (picture->constructionType != kTypeFree) return false;
    const ScreenRect& r = picture->bounds;
    *grip = { static_cast<int16_t>(r.left + kGripInset), static_cast<int16_t>(r.top + kGripInset),
              static_cast<int16_t>(r.left + kGripReach), static_cast<int16_t>(r.top + kGripReach) };
    ClipGripToPicture(picture, grip);
    return true;
}

bool PictureBottomRightGrip(const SketchObject* picture, ScreenRect* grip) {
    if (picture->constructionType == kTypePictureBetweenPoints) return false;
    const ScreenRect& r = picture->bounds;
    *grip = { static_cast<int16_t>(r.right - kGripReach), static_cast<int16_t>(r.bottom - kGripReach),
              static_cast<int16_t>(r.right - kGripInset), static_cast<int16_t>(r.bottom - kGripInset) };
    ClipGripToPicture(picture, grip);
    return true;
}

bool PictureGripAt(const SketchObject* picture, ScreenPoint point, int32_t* grip) {
    if (!IsSelected(picture)) return false;
    ScreenRect r;
    if (PictureTopLeftGrip(picture, &r) && ScreenPointInRect(point, r)) {
        *grip = kGripTopLeft;
        return true;
    }
    if (PictureBottomRightGrip(picture, &r) && ScreenPointInRect(point, r)) {
        *grip = kGripBottomRight;
        return true;
    }
    return false;
}

void DrawPictureForPrint(GraphicsPort* port, SketchObject* picture, const OutputScale*) {
    const EnginePrintState& state = PrintState();
    const ScreenRect saved = picture->bounds;
    const auto scaled = [&](int16_t c, int16_t offset) {
        return ClampCoordinate(std::round((c + offset) * state.scale));
    };
    picture->bounds = { scaled(saved.left, state.pageOffsetX), scaled(saved.top, state.pageOffsetY),
                        scaled(saved.right, state.pageOffsetX), scaled(saved.bottom, state.pageOffsetY) };
    if (DrawFn draw = ObjectClassTable[picture->objectClass].draw) draw(port, picture);
    picture->bounds = saved;
}
