// The kind lattice, parent-kind requirements, parent distinctness and the maps between
// table rows and the codes stored in documents.
#include <array>

#include "engine/core/locus.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"

// Kinds of the parents of each construction type, read from the type's parentKindsIndex.
// Words: a kind; 79 k: k for every remaining parent; 80: the parent's own kind;
// 81 n skip: the group that follows applies when there are exactly n parents, else
// reading continues `skip` words after the group's start; 83 k1 k2: k1 when the parent
// is a k1, else k2.
const uint8_t ParentKindProgram[] = {
    /*   0 free objects     */ 0,
    /*   1 segment          */ 14,
    /*   2 all points       */ 79, 4,
    /*   4 point, distance  */ 4, 68,
    /*   6 point, straight  */ 4, 7,
    /*   8 two straights    */ 7, 7,
    /*  10 circle           */ 22,
    /*  11 straight, curve  */ 7, 8,
    /*  13 curve, curve     */ 8, 8,
    /*  15 path object      */ 5,
    /*  16 pre-image, points*/ 71, 79, 4,
    /*  19 pre-image        */ 71,
    /*  20 image, iteration */ 71, 51,
    /*  22 iterated image   */ 52,
    /*  23 pre-image, value */ 71, 28,
    /*  25 pre-image, values*/ 71, 79, 28,
    /*  28 pre-image, angle points, value */ 71, 4, 4, 4, 28,
    /*  33 pre-image, centre*/ 71, 4,
    /*  35 pre-image, centre, distances */ 71, 4, 79, 68,
    /*  39 pre-image, centre, value */ 71, 4, 28,
    /*  42 pre-image, mirror*/ 71, 7,
    /*  44 locus            */ 71, 5, 4,
    /*  47 perimetered      */ 74,
    /*  48 circle or disc   */ 69,
    /*  49 area             */ 73,
    /*  50 arc measures: an arc alone, else a circle and points */
                               81, 1, 1, 23,
    /*  54 circle, points   */ 22, 79, 4,
    /*  57 round object     */ 72,
    /*  58 ratio: two segments, else points */
                               81, 2, 2, 14, 14, 79, 4,
    /*  65 any values       */ 79, 80,
    /*  67 point, system    */ 4, 34,
    /*  69 straight, system */ 7, 34,
    /*  71 circle, system   */ 22, 34,
    /*  73 unit point       */ 35,
    /*  74 axis             */ 33,
    /*  75 two axes         */ 33, 33,
    /*  77 system           */ 34,
    /*  78 values, system   */ 28, 28, 34,
    /*  81 function, system */ 54, 34,
    /*  83 texts            */ 79, 17,
    /*  85 function         */ 54,
    /*  86 arc              */ 24,
    /*  87 points, system   */ 4, 4, 34,
    /*  90 point, objects   */ 4, 79, 1,
    /*  93 values           */ 79, 28,
    /*  95 rule, values     */ 51, 79, 28,
    /*  98 point            */ 4,
    /*  99 straight         */ 7,
};
const uint32_t ParentKindProgramSize = sizeof(ParentKindProgram);
static_assert(sizeof(ParentKindProgram) <= kParentKindsByObject);

int32_t RequiredParentKind(int32_t type, int32_t index, int32_t count, const SketchObject* parent) {
    if (type < 0 || type >= kConstructionTypeCount || index < 0 || index >= count) return kKindNone;
    uint32_t at = ConstructionTypeTable[type].parentKindsIndex;
    if (at == kParentKindsByObject) return kParentKindsByObjectRule;
    int32_t position = 0;
    while (at < ParentKindProgramSize) {
        const int32_t word = ParentKindProgram[at];
        if (word == kParentKindToolRule81) {
            if (at + 2 >= ParentKindProgramSize) return kKindNone;
            const int32_t n = ParentKindProgram[at + 1];
            const int32_t skip = ParentKindProgram[at + 2];
            at += 3;
            if (count != n) at += skip;
            continue;
        }
        if (word == kParentKindRestAre) {
            if (at + 1 >= ParentKindProgramSize) return kKindNone;
            return ResolveParentKindWord(&ParentKindProgram[at + 1], parent);
        }
        if (position == index) return ResolveParentKindWord(&ParentKindProgram[at], parent);
        at += (word == kParentKindToolRule83) ? 3 : 1;
        ++position;
    }
    return kKindNone;
}

uint32_t ParentKindListEnd(int32_t type) {
    static const std::array<uint32_t, kConstructionTypeCount> ends = [] {
        std::array<uint32_t, kConstructionTypeCount> found{};
        for (int32_t t = 0; t < kConstructionTypeCount; ++t) {
            const uint32_t at = ConstructionTypeTable[t].parentKindsIndex;
            uint32_t end = ParentKindProgramSize;
            for (const ConstructionTypeRecord& other : ConstructionTypeTable)
                if (other.parentKindsIndex > at && other.parentKindsIndex < end) end = other.parentKindsIndex;
            found[static_cast<size_t>(t)] = end;
        }
        return found;
    }();
    return type >= 0 && type < kConstructionTypeCount ? ends[static_cast<size_t>(type)] : ParentKindProgramSize;
}

int32_t ResolveParentKindWord(const uint8_t* word, const SketchObject* parent) {
    switch (word[0]) {
    case kParentKindToolRule80:
        return parent ? parent->objectKind : kKindObject;
    case kParentKindToolRule83:
        return (parent && KindIsA(parent->objectKind, word[1])) ? word[1] : word[2];
    default:
        return word[0];
    }
}

bool KindIsA(int32_t kind, int32_t category) {
    if (kind < 0 || kind >= kObjectKindCount || category < 0 || category >= kObjectKindCount) {
        return false;
    }
    // A kind is what it is, unions included: without this a union could never be found
    // inside a larger union (a circle-or-disc is a curve-or-arc).
    if (kind == category) return true;
    if (category >= kFirstUnionKind) {
        const ObjectKindRecord& u = ObjectKindTable[category];
        return KindIsA(kind, u.parentKind) || KindIsA(kind, u.shapeKind);
    }
    if (kind >= kFirstUnionKind) return false;
    while (kind > category) kind = ObjectKindTable[kind].parentKind;
    return kind == category;
}

int32_t CommonKind(int32_t a, int32_t b) {
    // 0 is "no constraint yet", so that a fold starting from 0 answers the members'
    // common kind rather than 0.
    if (a == kKindNone) return b;
    if (b == kKindNone) return a;
    if (a >= kFirstUnionKind || b >= kFirstUnionKind) return a == b ? a : kKindObject;
    if (a < 0 || b < 0 || a >= kObjectKindCount || b >= kObjectKindCount) return kKindObject;
    while (a != b) {
        if (a > b) {
            a = ObjectKindTable[a].parentKind;
        } else {
            b = ObjectKindTable[b].parentKind;
        }
    }
    return a;
}

bool CheckParentsDistinct(int32_t type, SketchObject* const* parents, int32_t count) {
    if (type < 0 || type >= kConstructionTypeCount) return false;
    const uint32_t mask = ConstructionTypeTable[type].distinctParentsMask;
    if (mask == 0) return true;
    if (mask == 0xff) {
        for (int32_t i = 0; i < count; ++i) {
            for (int32_t j = i + 1; j < count; ++j) {
                if (parents[i] == parents[j]) return false;
            }
        }
        return true;
    }
    if (mask == 1) {
        for (int32_t i = 1; i < count; ++i) {
            if (parents[i] != parents[0]) return true;
        }
        return false;
    }
    const int32_t considered = count < 8 ? count : 8;
    for (uint32_t set : { mask & 0xffu, mask >> 8 }) {
        if (set == 0) continue;
        for (int32_t i = 0; i < considered; ++i) {
            if (!(set & (1u << (i + 1)))) continue;
            for (int32_t j = i + 1; j < considered; ++j) {
                if ((set & (1u << (j + 1))) && parents[i] == parents[j]) return false;
            }
        }
    }
    return true;
}

int32_t ObjectDrawLayer(const SketchObject* object) {
    const int32_t layer = ObjectClassTable[object->objectClass].drawLayer;
    if (layer != kDrawLayerDecided) return layer;
    if (object->objectClass == kClassIteratedImage) {
        auto* first = static_cast<const SketchObject*>(PtrListItem(object->parents, 0));
        // An image of an image cannot be its own parent, so this ends.
        return first ? ObjectDrawLayer(first) : ObjectClassTable[kClassStraight].drawLayer;
    }
    if (object->objectClass == kClassLocus) return LocusDrawLayer(object);
    return ObjectClassTable[kClassStraight].drawLayer;
}

namespace {

// Inverse of the stored-code column of the kind table; codes without a kind give kNoKind.
constexpr int32_t kKindCodeLimit = 85;

constexpr std::array<int8_t, kKindCodeLimit> MakeKindFromCode() {
    std::array<int8_t, kKindCodeLimit> map{};
    for (auto& m : map) m = static_cast<int8_t>(kNoKind);
    for (int32_t k = 0; k < kObjectKindCount; ++k) {
        const int32_t code = ObjectKindTable[k].storedCode;
        if (code < kKindCodeLimit) map[code] = static_cast<int8_t>(k);
    }
    // The tables are stored as 82-84 but are not read back by code: the header codec
    // takes the construction type's kind for them.
    map[82] = map[83] = map[84] = static_cast<int8_t>(kNoKind);
    return map;
}

}  // namespace

int32_t ConstructionTypeFromCode(uint32_t code) {
    if (code <= 15) return static_cast<int32_t>(code);
    if (code <= 34) return static_cast<int32_t>(code) + 4;   // 16-34: types 20-38
    if (code <= 75) return static_cast<int32_t>(code) + 4;   // 35-75: types 39-79
    if (code == 76) return kTypeIterationRule;
    if (code == 77) return kTypeIteratedImage;
    if (code <= 87) return static_cast<int32_t>(code) + 2;   // 78-87: types 80-89
    if (code == 88) return kTypeFinalIteratedPoint;
    if (code == 89) return kTypeIterationRuleDepth;
    if (code <= 92) return static_cast<int32_t>(code);
    return kNoConstructionType;
}

int32_t ObjectKindFromCode(uint32_t code) {
    static const std::array<int8_t, kKindCodeLimit> map = MakeKindFromCode();
    return code < kKindCodeLimit ? map[code] : kNoKind;
}

int32_t ObjectClassFromCode(uint32_t code) {
    return code < static_cast<uint32_t>(kClassCount) ? static_cast<int32_t>(code) : kNoClass;
}

int32_t ResolveObjectClass(int32_t type, const SketchObject* firstParent) {
    const int32_t objectClass = ConstructionTypeTable[type].objectClass;
    if (objectClass != kClassOfImage) return objectClass;
    return firstParent ? ObjectClassTable[firstParent->objectClass].imageClass : kNoClass;
}

int32_t ResolveImageKind(int32_t parentKind) {
    if (parentKind < 0 || parentKind >= kObjectKindCount) return kKindObject;
    int32_t kind = parentKind;
    while (ObjectKindTable[kind].imageUsesParentKind) kind = ObjectKindTable[kind].parentKind;
    return kind;
}
