// A small sketch model behind the body reader's and writer's operation tables, for the
// tests and the fuzz target: objects with raw payloads, a header record of
// {u32 construction type, u32 class, u32 kind}, and a few construction types whose
// parents are checked (1 midpoint: one straight object; 2 segment: two points).
#pragma once
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/docio/dib_chunks.h"
#include "engine/docio/sketch_body.h"

struct FakeObject {
    int32_t type = 0, cls = 1, kind = 4;
    std::vector<FakeObject*> parents;
    std::vector<uint8_t> extra, classData, label, geometry;
    std::vector<uint8_t> picture;  // a packed DIB
    int16_t style[11] = {};
    bool styled = false;       // has a caption style record
    bool selectable = true;
    bool cannotStore = false;  // its codec answers 10
    uint32_t number = 0;
};

struct FakeSketch {
    SketchHeaderFields header{};
    std::string comment;
    bool hasComment = false;
    std::vector<std::unique_ptr<FakeObject>> objects;
    std::vector<FakeObject*> selection;
    FakeObject* marked = nullptr;
    std::vector<FakeObject*> givens;
    std::string toolText;
    bool hasToolText = false;
    uint16_t pageId = 0;
    std::map<uint32_t, std::vector<uint8_t>> sketchRecords;
    std::map<int, uint32_t> colors;
    std::unique_ptr<FakeObject> pending;
    std::map<const void*, size_t> orderOf;  // where each object stands, while it is written
    int objectsFreed = 0;
    int picturesRead = 0;
    int stopAfter = -1;  // progress answers false from this object index on

    FakeObject* Add(int32_t type, int32_t cls, std::vector<FakeObject*> parents = {}) {
        objects.push_back(std::make_unique<FakeObject>());
        FakeObject* o = objects.back().get();
        o->type = type;
        o->cls = cls;
        o->kind = cls == 1 ? 4 : cls == 2 ? 14 : 19;
        o->parents = std::move(parents);
        if (type == 0 && FakeClassHasGeometry(cls)) o->geometry = { 1, 0, 2, 0, 3, 0, 4, 0 };
        if (FakeClassHasData(cls)) o->classData = { 9, 8, 7, 6 };
        return o;
    }

    static bool FakeClassHasData(int32_t c) {
        return c == 0 || c == 6 || c == 7 || c == 8 || c == 9 || c == 10 || c == 11 || c == 14 || c == 16 || c == 17;
    }
    static bool FakeClassHasGeometry(int32_t c) {
        return c == 0 || (c >= 1 && c <= 5) || c == 7 || c == 10 || c == 11 || c == 12 || c == 13 || c == 16 || c == 17;
    }
};

namespace fake_model {

inline FakeSketch* M(void* m) { return static_cast<FakeSketch*>(m); }
inline FakeObject* O(void* o) { return static_cast<FakeObject*>(o); }

inline ResultCode WritePayload(StreamHandle s, uint32_t tag, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> even = bytes;
    if (even.size() & 1) even.push_back(0);
    return StreamWriteRecord(s, uint32_t(even.size()), tag, even.data());
}

// ---- reading

inline ResultCode Header(void* m, const SketchHeaderFields& h, const FormatInfo&) {
    M(m)->header = h;
    return kResultOK;
}
inline ResultCode Comment(void* m, const char* text, uint32_t n) {
    M(m)->comment.assign(text, n);
    M(m)->hasComment = true;
    return kResultOK;
}
inline ResultCode SketchRecord(void* m, uint32_t tag, const uint8_t* p, uint32_t n, const FormatInfo&) {
    M(m)->sketchRecords[tag] = std::vector<uint8_t>(p, p + n);
    return kResultOK;
}
inline int16_t FindFont(void*, uint16_t traits, const char* face) {
    // The writer's font descriptions carry the font number in their traits.
    return face ? int16_t(traits) : 1;
}
inline ResultCode Select(void* m, void* o) {
    M(m)->selection.push_back(O(o));
    return kResultOK;
}
inline ResultCode PageId(void* m, uint16_t id) {
    M(m)->pageId = id;
    return kResultOK;
}
inline ResultCode Mark(void* m, void* o) {
    M(m)->marked = O(o);
    return kResultOK;
}
inline ResultCode OldColor(void* m, uint16_t slot, uint8_t r, uint8_t g, uint8_t b) {
    M(m)->colors[slot] = uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
    return kResultOK;
}
inline ResultCode ToolText(void* m, const char* text, uint32_t n) {
    M(m)->toolText.assign(text, n);
    M(m)->hasToolText = true;
    return kResultOK;
}
inline ResultCode Givens(void* m, void* const* g, uint32_t n, const FormatInfo&) {
    for (uint32_t i = 0; i < n; ++i) M(m)->givens.push_back(O(g[i]));
    return kResultOK;
}
inline ResultCode BeginObject(void* m, const uint8_t* p, uint32_t n, const FormatInfo&, ObjectHeaderInfo* info) {
    M(m)->pending = std::make_unique<FakeObject>();
    if (n < 12) return kResultShorterRecord;
    FakeObject* o = M(m)->pending.get();
    o->type = int32_t(GetLE32(p));
    o->cls = int32_t(GetLE32(p + 4));
    o->kind = int32_t(GetLE32(p + 8));
    *info = { o->type, o->cls, o->kind, false };
    if (o->type >= 60 && o->type < 94) return kResultSkippedObject;  // a type this reader does not know
    return n > 12 ? kResultLongerRecord : kResultOK;
}
inline bool ClassHasData(int32_t c) { return FakeSketch::FakeClassHasData(c); }
inline bool ClassHasGeometry(int32_t c) { return FakeSketch::FakeClassHasGeometry(c); }
inline ResultCode CheckParents(void*, const ObjectHeaderInfo& info, void* const* parents, uint32_t n) {
    auto all = [&](int32_t cls) {
        for (uint32_t i = 0; i < n; ++i)
            if (O(parents[i])->cls != cls) return false;
        return true;
    };
    if (info.constructionType == 0) return n == 0 ? kResultOK : kResultDamaged;
    if (info.constructionType == 1) return n == 1 && all(2) ? kResultOK : kResultDamaged;
    if (info.constructionType == 2) return n == 2 && all(1) ? kResultOK : kResultDamaged;
    return kResultOK;
}
inline ResultCode ReadRecord(void* m, void* object, uint32_t tag, const uint8_t* p, uint32_t n, const FormatInfo&) {
    FakeObject* o = object ? O(object) : M(m)->pending.get();
    std::vector<uint8_t> bytes(p, p + n);
    if (tag == kTagConstructionData) o->extra = bytes;
    else if (tag == kTagLabel) o->label = bytes;
    else if (tag >= kTagGeometryBase && tag < kTagClassDataBase) o->geometry = bytes;
    else o->classData = bytes;
    return kResultOK;
}
inline ResultCode Create(void* m, void* const* parents, uint32_t n, void** object) {
    FakeSketch* s = M(m);
    for (uint32_t i = 0; i < n; ++i) s->pending->parents.push_back(O(parents[i]));
    s->objects.push_back(std::move(s->pending));
    *object = s->objects.back().get();
    return kResultOK;
}
inline ResultCode Style(void*, void* o, const int16_t style[11]) {
    std::memcpy(O(o)->style, style, sizeof O(o)->style);
    O(o)->styled = true;
    return kResultOK;
}
inline ResultCode Picture(void* m, void* o, uint32_t tag, StreamHandle s, uint32_t n) {
    if (tag != kTagPictureDib || !O(o)->picture.empty()) return kResultOK;
    GlobalBlock dib;
    ResultCode rc = ReadDibRecord(s, n, &dib);
    if (!dib.Empty()) O(o)->picture.assign(dib.Bytes(), dib.Bytes() + dib.Size());
    ++M(m)->picturesRead;
    return rc;
}
inline void Unselectable(void*, void* o) { O(o)->selectable = false; }
inline ResultCode Finish(void*, void*, bool) { return kResultOK; }
inline void DropPending(void* m) { M(m)->pending.reset(); }
inline bool Progress(void* m, uint32_t index) { return M(m)->stopAfter < 0 || int(index) < M(m)->stopAfter; }
inline void Free(void* m, void* o) {
    FakeSketch* s = M(m);
    ++s->objectsFreed;
    for (auto it = s->objects.begin(); it != s->objects.end(); ++it)
        if (it->get() == o) {
            s->objects.erase(it);
            return;
        }
}

// ---- writing

inline void WHeader(void* m, SketchHeaderFields* h) { *h = M(m)->header; }
inline const char* WComment(void* m, uint32_t* n) {
    *n = uint32_t(M(m)->comment.size());
    return M(m)->hasComment ? M(m)->comment.c_str() : nullptr;
}
inline uint32_t Resolution(void*) { return 96; }
inline ResultCode WSketchRecord(void* m, uint32_t tag, StreamHandle s, const FormatInfo&) {
    auto it = M(m)->sketchRecords.find(tag);
    return WritePayload(s, tag, it != M(m)->sketchRecords.end() ? it->second : std::vector<uint8_t>{ 0, 0 });
}
inline ResultCode WPreferences(void* m, StreamHandle s, const FormatInfo&) {
    for (auto& [tag, bytes] : M(m)->sketchRecords)
        if (tag >= kTagPreferenceFirst && tag <= kTagPreferenceLast) {
            ResultCode rc = WritePayload(s, tag, bytes);
            if (rc != kResultOK) return rc;
        }
    return kResultOK;
}
// Each walk starts at First, which notes where every object stands.
inline void* First(void* m) {
    FakeSketch* s = M(m);
    s->orderOf.clear();
    for (size_t i = 0; i < s->objects.size(); ++i) s->orderOf[s->objects[i].get()] = i;
    return s->objects.empty() ? nullptr : s->objects[0].get();
}
inline void* Next(void* m, void* o) {
    FakeSketch* s = M(m);
    const size_t next = s->orderOf.at(o) + 1;
    return next < s->objects.size() ? s->objects[next].get() : nullptr;
}
inline void Facts(void*, void* object, ObjectWriteFacts* f) {
    FakeObject* o = O(object);
    f->constructionType = o->type;
    f->objectClass = o->cls;
    f->parentCount = uint32_t(o->parents.size());
    f->hasConstructionData = !o->extra.empty();
    f->hasClassData = FakeSketch::FakeClassHasData(o->cls);
    f->hasLabelRecord = !o->label.empty();
    f->hasCaptionStyle = o->styled;
    f->hasGeometry = FakeSketch::FakeClassHasGeometry(o->cls);
    f->selectable = o->selectable;
}
inline bool ContributesStyle(void*, void* o) { return O(o)->styled; }
inline void* ParentAt(void*, void* o, uint32_t i) { return O(o)->parents[i]; }
inline void SetNumber(void*, void* o, uint32_t n) { O(o)->number = n; }
inline uint32_t Number(void*, void* o) { return O(o)->number; }
inline void GetStyle(void*, void* o, int16_t style[11]) { std::memcpy(style, O(o)->style, sizeof O(o)->style); }
inline uint32_t TextFonts(void*, void*, int16_t*, uint32_t) { return 0; }
inline uint32_t FontSpec(void*, int16_t font, uint8_t* out) {
    std::string face = "Face" + std::to_string(font);
    if (out) {
        PutLE16(out, uint16_t(font));
        std::memcpy(out + 2, face.c_str(), face.size() + 1);
    }
    return uint32_t(face.size() + 5);
}
inline ResultCode WHeader(void*, void* object, const FormatInfo&, uint8_t* h, uint32_t* length) {
    FakeObject* o = O(object);
    if (o->cannotStore) return kResultObjectDropped;
    PutLE32(h, uint32_t(o->type));
    PutLE32(h + 4, uint32_t(o->cls));
    PutLE32(h + 8, uint32_t(o->kind));
    *length = 12;
    return kResultOK;
}
inline ResultCode WRecord(void*, void* object, uint32_t tag, StreamHandle s, const FormatInfo&) {
    FakeObject* o = O(object);
    if (o->cannotStore) return kResultObjectDropped;
    if (tag == kTagConstructionData) return WritePayload(s, tag, o->extra);
    if (tag == kTagLabel) return WritePayload(s, tag, o->label);
    if (tag >= kTagGeometryBase && tag < kTagClassDataBase) return WritePayload(s, tag, o->geometry);
    if (tag == kTagPictureMetafile) {
        if (o->picture.empty()) return kResultOK;
        try {
            GlobalBlock dib(uint32_t(o->picture.size()));
            std::memcpy(dib.Bytes(), o->picture.data(), o->picture.size());
            return WriteDibRecord(s, dib);
        } catch (...) {
            return kResultOutOfMemory;
        }
    }
    return WritePayload(s, tag, o->classData);
}
inline uint32_t SelectionCount(void* m) { return uint32_t(M(m)->selection.size()); }
inline void* SelectedAt(void* m, uint32_t i) { return M(m)->selection[i]; }
inline uint16_t WPageId(void* m) { return M(m)->pageId; }
inline void* Marked(void* m) { return M(m)->marked; }
inline uint32_t GivenCount(void* m) { return uint32_t(M(m)->givens.size()); }
inline void* GivenAt(void* m, uint32_t i) { return M(m)->givens[i]; }
inline const char* WToolText(void* m, uint32_t* n) {
    *n = uint32_t(M(m)->toolText.size());
    return M(m)->hasToolText ? M(m)->toolText.c_str() : nullptr;
}

}  // namespace fake_model

inline const SketchBodyReadOps kFakeReadOps = {
    .header = fake_model::Header,
    .comment = fake_model::Comment,
    .sketchRecord = fake_model::SketchRecord,
    .findFont = fake_model::FindFont,
    .selectObject = fake_model::Select,
    .pageId = fake_model::PageId,
    .markObject = fake_model::Mark,
    .oldColor = fake_model::OldColor,
    .toolText = fake_model::ToolText,
    .toolGivens = fake_model::Givens,
    .expectObjects = nullptr,
    .beginObject = fake_model::BeginObject,
    .classHasData = fake_model::ClassHasData,
    .classHasGeometry = fake_model::ClassHasGeometry,
    .checkParents = fake_model::CheckParents,
    .readRecord = fake_model::ReadRecord,
    .createObject = fake_model::Create,
    .objectStyle = fake_model::Style,
    .readPicture = fake_model::Picture,
    .setUnselectable = fake_model::Unselectable,
    .finishObject = fake_model::Finish,
    .objectRead = nullptr,
    .dropPending = fake_model::DropPending,
    .freeObject = fake_model::Free,
    .progress = fake_model::Progress,
};

inline const SketchBodyWriteOps kFakeWriteOps = {
    .header = fake_model::WHeader,
    .comment = fake_model::WComment,
    .screenResolution = fake_model::Resolution,
    .writeSketchRecord = fake_model::WSketchRecord,
    .writePreferences = fake_model::WPreferences,
    .firstObject = fake_model::First,
    .nextObject = fake_model::Next,
    .facts = fake_model::Facts,
    .contributesStyle = fake_model::ContributesStyle,
    .parentAt = fake_model::ParentAt,
    .setNumber = fake_model::SetNumber,
    .number = fake_model::Number,
    .style = fake_model::GetStyle,
    .textFonts = fake_model::TextFonts,
    .fontSpec = fake_model::FontSpec,
    .objectHeader = fake_model::WHeader,
    .writeObjectRecord = fake_model::WRecord,
    .selectionCount = fake_model::SelectionCount,
    .selectedAt = fake_model::SelectedAt,
    .pageIdentity = fake_model::WPageId,
    .markedObject = fake_model::Marked,
    .givenCount = fake_model::GivenCount,
    .givenAt = fake_model::GivenAt,
    .toolText = fake_model::WToolText,
    .progress = fake_model::Progress,
};
