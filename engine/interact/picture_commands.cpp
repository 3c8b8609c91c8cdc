#include "engine/interact/picture_commands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/picture_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/pictures.h"
#include "engine/core/services/undo.h"
#include "engine/core/sketch.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/undo.h"
#include "engine/text/object_text.h"

namespace {

constexpr int32_t kCornerLimit = 30000;
constexpr uint32_t kPointerBytes = sizeof(SketchObject*);
constexpr uint32_t kResizeEntryBytes = kPointerBytes + 8;

// The resize in progress. A resize whose undo record could not be made has no picture:
// its drag steps and release change nothing.
struct PictureResize {
    SketchObject* picture;
    int32_t       grip;
    int16_t       grabX, grabY;
};
PictureResize gResize{};

int16_t ClampCorner(int32_t v) { return static_cast<int16_t>(std::clamp(v, -kCornerLimit, kCornerLimit)); }

void PutCorners(uint8_t* at, const ScreenRect& r) {
    const int16_t words[4] = { r.left, r.top, r.right, r.bottom };
    std::memcpy(at, words, sizeof words);
}

}  // namespace

SketchObject* BuildPastedPicture(int32_t, void* userData, uint16_t* outFlags) {
    auto* anchors = static_cast<SketchObject**>(userData);
    ObjectTemplate t = { kTypeFree, 0, 0, kClassPicture, 1, kKindPicture, 0 };
    PtrList parents = 0;
    const int32_t count = anchors[0] ? (anchors[1] ? 2 : 1) : 0;
    if (count) {
        if (!AllocPtrList(count, count, &parents)) return nullptr;
        int32_t room = 0;
        void** items = PtrListItems(parents, &room);
        for (int32_t i = 0; i < count; ++i) items[i] = anchors[i];
        t.constructionType = count == 1 ? kTypePictureAtPoint : kTypePictureBetweenPoints;
    }
    return ConstructObjectEx(&t, nullptr, parents, 0, nullptr, outFlags, false);
}

int32_t PastePicture() {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return 0;
    SketchObject* anchors[3] = {};
    SketchObject* head = sketch->selectionHead;
    if (head && head->objectClass == kClassPoint) {
        SketchObject* second = head->nextSelected;
        if (!second) {
            anchors[0] = head;
        } else if (second->objectClass == kClassPoint && !second->nextSelected) {
            anchors[0] = head;
            anchors[1] = second;
        }
    }
    PictureHandles handles{};
    if (!GetPictureFromClipboard(&handles)) return 0;
    const ObjectBatch batch = { 1, 0, 1, BuildPastedPicture, StandardBatchUnwind, anchors, kUndoNounPicture };
    SketchObject* picture = BuildObjectsWithUndo(&batch);
    if (!picture) {
        FreePictureHandles(&handles);
        return 0;
    }
    ScreenPoint at{};
    DefaultObjectPosition(&at, kClassPicture);
    picture->bounds.left = at.x;
    picture->bounds.top = at.y;
    picture->color = sketch->settings.palette[kColorSlotBackground];
    AttachPictureHandles(picture, &handles);
    RecomputeAndRedrawObject(picture);
    return 1;
}

bool HitTestPictureGrip(ScreenPoint point, SketchObject* picture) {
    int32_t grip = 0;
    return PictureGripAt(picture, point, &grip);
}

bool BeginPictureResize(SketchObject* picture, ScreenPoint point) {
    int32_t grip = 0;
    if (!PictureGripAt(picture, point, &grip)) return false;
    gResize = PictureResize{};
    const UndoDescriptor name = { kUndoNameResizePicture, kUndoNounNone, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&name, 1, kResizeEntryBytes, &cursor);
    if (!record) return true;
    const ScreenRect& r = picture->bounds;
    const ScreenPoint corner = grip == kGripTopLeft ? ScreenPoint{ r.left, r.top } : ScreenPoint{ r.right, r.bottom };
    gResize = { picture, grip, static_cast<int16_t>(corner.x - point.x), static_cast<int16_t>(corner.y - point.y) };
    UndoPutEntryHead(&cursor, kUndoEntryPictureResize, kResizeEntryBytes);
    std::memcpy(cursor, &picture, kPointerBytes);
    PutCorners(cursor + kPointerBytes, r);
    UndoRecordCommit(record, false);
    return true;
}

void DragPictureResize(ScreenPoint point, bool keepAspect) {
    SketchObject* picture = gResize.picture;
    if (!picture || !picture->exists) return;
    AddObjectToDirtyRect(picture);
    ScreenRect& r = picture->bounds;
    PictureData* d = PictureDataOf(picture);
    const int32_t x = point.x + gResize.grabX, y = point.y + gResize.grabY;
    const bool topLeft = gResize.grip == kGripTopLeft;
    if (topLeft) {
        r.left = ClampCorner(std::min(r.right - kPictureMinimumSize, x));
        r.top = ClampCorner(std::min(r.bottom - kPictureMinimumSize, y));
    } else {
        r.right = ClampCorner(std::max(r.left + kPictureMinimumSize, x));
        r.bottom = ClampCorner(std::max(r.top + kPictureMinimumSize, y));
    }
    // An image without a width of its own has no aspect to keep.
    if (keepAspect && d->naturalWidth != 0) {
        int32_t across = r.right - r.left;
        if (std::abs(across - d->naturalWidth) < kPictureAspectSnap) across = d->naturalWidth;
        const int32_t down = static_cast<int32_t>(int64_t(across) * d->naturalHeight / d->naturalWidth);
        if (topLeft) {
            r.left = ClampCorner(r.right - across);
            r.top = ClampCorner(r.bottom - down);
        } else {
            r.right = ClampCorner(r.left + across);
            r.bottom = ClampCorner(r.top + down);
        }
    }
    SyncPictureSize(picture);
    AddObjectToDirtyRect(picture);
}

void EndPictureResize() { gResize.picture = nullptr; }

ResultCode ApplyPictureResizeUndo(const UndoEntry& entry, int32_t) {
    if (entry.length < kResizeEntryBytes) return kResultOK;
    SketchObject* picture = nullptr;
    std::memcpy(&picture, entry.payload, kPointerBytes);
    AddObjectToDirtyRect(picture);
    uint8_t* corners = entry.payload + kPointerBytes;
    int16_t saved[4];
    std::memcpy(saved, corners, sizeof saved);
    PutCorners(corners, picture->bounds);
    picture->bounds = { saved[0], saved[1], saved[2], saved[3] };
    SyncPictureSize(picture);
    const PictureData* d = PictureDataOf(picture);
    picture->exists = d->width != 0 && d->height != 0 ? 1 : 0;
    AddObjectToDirtyRect(picture);
    return kResultOK;
}
