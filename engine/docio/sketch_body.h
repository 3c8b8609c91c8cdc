// The records of one sketch: a page (1000 ... 1001) or a partial sketch for custom-tool
// bodies and clipboard copies (1002 ... 1003). This file fixes the framing, the order,
// the numbering of objects and the checks of everything read; every payload that
// depends on an object's class or construction type is left to the owner of the sketch
// through the operation tables below, whose rows call the class and construction-type
// codecs. Fill the tables with designated initialisers (`.header = ...`), so that a
// routine can only land in the slot of its name and every slot is named once.
#pragma once
#include <cstdint>

#include "engine/docio/sketch_records.h"
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"

// What the header codec of record 2000 found.
struct ObjectHeaderInfo {
    int32_t constructionType;
    int32_t objectClass;  // as stored: the records that follow are that class's
    int32_t objectKind;
    // The object was made of another class than the stored one: the record that stands
    // where the stored class's geometry would be is read and dropped.
    bool    dropGeometry;
};

constexpr int32_t kMaxStoredConstructionType = 93;  // 94 and above are damage
constexpr int32_t kMaxStoredClass = 17;
constexpr int32_t kPictureClass = 16;

// Reading: `model` is the sketch being filled. An object is built from its records in
// order: beginObject (2000) starts a pending object, readRecord takes its 2003, class
// data and label into it, createObject makes it from them and the parents; style,
// geometry, pictures and the unselectable flag follow on the made object.
struct SketchBodyReadOps {
    ResultCode (*header)(void* model, const SketchHeaderFields& header, const FormatInfo& format);
    ResultCode (*comment)(void* model, const char* text, uint32_t length);
    // 1200, 2399-2490 (label states) and 10001-19999 (page preferences).
    ResultCode (*sketchRecord)(void* model, uint32_t tag, const uint8_t* payload, uint32_t length,
                               const FormatInfo& format);
    // The installed font for a stored font description; null face: the default font.
    int16_t    (*findFont)(void* model, uint16_t traits, const char* face);
    ResultCode (*selectObject)(void* model, void* object);
    ResultCode (*pageId)(void* model, uint16_t id);
    ResultCode (*markObject)(void* model, void* object);
    ResultCode (*oldColor)(void* model, uint16_t slot, uint8_t red, uint8_t green, uint8_t blue);
    ResultCode (*toolText)(void* model, const char* text, uint32_t length);
    ResultCode (*toolGivens)(void* model, void* const* givens, uint32_t count, const FormatInfo& format);

    // Before the objects (may be null): how many the header says are coming, at most as
    // many as the rest of the stream can hold, so that room for them can be made at once.
    void       (*expectObjects)(void* model, uint32_t count);
    ResultCode (*beginObject)(void* model, const uint8_t* payload, uint32_t length, const FormatInfo& format,
                              ObjectHeaderInfo* info);
    bool       (*classHasData)(int32_t objectClass);
    bool       (*classHasGeometry)(int32_t objectClass);
    // Whether the parents suit the construction type (their count and kinds); 35 if not.
    ResultCode (*checkParents)(void* model, const ObjectHeaderInfo& info, void* const* parents, uint32_t count);
    // 2003, 2300 + class and 2005 into the pending object; 2200 + class on the made object.
    ResultCode (*readRecord)(void* model, void* object, uint32_t tag, const uint8_t* payload, uint32_t length,
                             const FormatInfo& format);
    ResultCode (*createObject)(void* model, void* const* parents, uint32_t count, void** object);
    // The caption style: eleven TextStyle fields (P#WSUOTRGL+), the font already mapped.
    ResultCode (*objectStyle)(void* model, void* object, const int16_t style[11]);
    // With the stream at the payload of a picture record; the reader moves to its end.
    ResultCode (*readPicture)(void* model, void* object, uint32_t tag, StreamHandle stream, uint32_t length);
    void       (*setUnselectable)(void* model, void* object);
    ResultCode (*finishObject)(void* model, void* object, bool styleRead);
    // The object was read whole and took its number (may be null).
    void       (*objectRead)(void* model, void* object);
    void       (*dropPending)(void* model);
    void       (*freeObject)(void* model, void* object);
    // Busy feedback between objects (may be null); false when the user asked to stop,
    // which ends the reading with 104.
    bool       (*progress)(void* model, uint32_t objectIndex);
};

// Reads a page or partial sketch from the stream into the model. The format of the
// body (sketch kind and versions) is given by the caller; the sketch kind must match
// the header record. A fatal result leaves the model to be freed by the caller.
ResultCode ReadSketchBody(StreamHandle stream, void* model, const SketchBodyReadOps& ops, const FormatInfo& format);

// What the writer asks of one object.
struct ObjectWriteFacts {
    int32_t  constructionType;
    int32_t  objectClass;
    uint32_t parentCount;
    // The parents in order where the model keeps them in an array, else null (then
    // parentAt is asked). Read before any record of the object is written.
    void* const* parents;
    bool     hasConstructionData;  // 2003
    bool     hasClassData;         // 2300 + class
    bool     hasLabelRecord;       // 2005: label level 3 or more
    bool     hasCaptionStyle;      // 2008 / 2006; as contributesStyle answers
    bool     hasGeometry;          // the class has a geometry routine (2200 + class, free objects)
    bool     selectable;
};

constexpr uint32_t kMaxObjectHeaderBytes = 16;

struct SketchBodyWriteOps {
    void        (*header)(void* model, SketchHeaderFields* header);
    const char* (*comment)(void* model, uint32_t* length);  // null: none
    uint32_t    (*screenResolution)(void* model);
    // Records of the sketch itself through their codecs: 1200, 2399, 2400 + k.
    ResultCode  (*writeSketchRecord)(void* model, uint32_t tag, StreamHandle stream, const FormatInfo& format);
    ResultCode  (*writePreferences)(void* model, StreamHandle stream, const FormatInfo& format);
    // The objects in sketch order: the first, and the one after an object (null ends).
    // The writer asks for the one after an object before it writes that object, so that
    // the model may start fetching it.
    void*       (*firstObject)(void* model);
    void*       (*nextObject)(void* model, void* object);
    void        (*facts)(void* model, void* object, ObjectWriteFacts* facts);
    // Whether the object's text style enters the style table (1203): the objects with a
    // caption style record, as their facts say. Asked of every object before any is
    // written, so it should look at little of the object.
    bool        (*contributesStyle)(void* model, void* object);
    void*       (*parentAt)(void* model, void* object, uint32_t index);
    // The object's number while the sketch is written (0: not saved), kept where the
    // object can be asked for it at once: every reference to an object asks. What an
    // object kept from before is never cleared: the writer trusts a number only when it
    // gave that number to that object.
    void        (*setNumber)(void* model, void* object, uint32_t number);
    uint32_t    (*number)(void* model, void* object);
    // Eleven TextStyle fields of the object's text style, and the fonts its text uses.
    void        (*style)(void* model, void* object, int16_t style[11]);
    uint32_t    (*textFonts)(void* model, void* object, int16_t* fonts, uint32_t room);
    // Font description {u16 traits, face NUL-terminated} of a font: bytes needed, 0 when
    // the font does not exist; written when `out` is given.
    uint32_t    (*fontSpec)(void* model, int16_t font, uint8_t* out);
    // The payload of the object's header record (2000), at most kMaxObjectHeaderBytes:
    // its length, or 10 when the object cannot be stored in this form.
    ResultCode  (*objectHeader)(void* model, void* object, const FormatInfo& format, uint8_t* record,
                                uint32_t* length);
    // 2003, 2300 + class, 2005, 2200 + class and the pictures (tag 8000 asks for every
    // picture record) through their codecs; 10 when the object cannot be stored.
    ResultCode  (*writeObjectRecord)(void* model, void* object, uint32_t tag, StreamHandle stream,
                                     const FormatInfo& format);
    uint32_t    (*selectionCount)(void* model);
    void*       (*selectedAt)(void* model, uint32_t index);  // oldest selection first
    uint16_t    (*pageIdentity)(void* model);
    void*       (*markedObject)(void* model);                 // mark slot 20, or null
    uint32_t    (*givenCount)(void* model);
    void*       (*givenAt)(void* model, uint32_t index);
    const char* (*toolText)(void* model, uint32_t* length);
    // Busy feedback between objects (may be null); false ends the writing with 104.
    bool        (*progress)(void* model, uint32_t objectIndex);
};

// Writes the full form (kind 1) or partial form (kind 2) of the format given; the
// handheld form is format version 1. Objects that cannot be stored are left out (10)
// and the header's count is rewritten to match.
ResultCode WriteSketchBody(StreamHandle stream, void* model, const SketchBodyWriteOps& ops, const FormatInfo& format);

// The font map of the sketch body being read or written now, for the texts inside its
// records: a font number to the number the file gives it, and back. Outside a read or
// write (and for a font the body does not list) numbers pass unchanged.
int32_t SketchBodyFileFont(int32_t font);
int32_t SketchBodyFontOfFile(int32_t fileNumber);
