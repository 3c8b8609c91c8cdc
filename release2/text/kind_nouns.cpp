#include "release2/text/kind_nouns.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/string_groups.h"
#include "engine/text/string_groups.h"
#include "release2/text/later_texts.h"
#include "release2/text/string_resources.h"

namespace {

constexpr int32_t kNounKinds = kLastNounKind;

struct KindNounEntry {
    NounField forms[2][kNounFormsKept];  // [plural][form]
};

struct KindNounCacheEntry {
    int32_t kind;
    int32_t plural;
    int32_t form;
    int32_t length;
    char    text[256];
};

KindNounEntry gTable[kNounKinds + 1] = {};
bool gTablePrepared = false;
KindNounCacheEntry gCache[3] = {};
int32_t gNextCacheEntry = 0;
char* gKeptForms[kNounKinds + 1][3] = {};

void ReadNounText(int32_t kind, int32_t plural, char* buffer) {
    CopyResourceGroupString(kGroupKindNouns, 2 * (kind - 1) + (plural ? 1 : 0), buffer, 255);
}

void CopyCut(const char* text, int32_t length, char* buffer, uint32_t size) {
    const uint32_t n = uint32_t(length) < size - 1 ? uint32_t(length) : size - 1;
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
}

}  // namespace

char NounSeparator() {
    char text[4];
    CopyResourceGroupString(kGroupMiscellany, kLaterItemNounSeparator, text, sizeof text);
    return text[0] ? text[0] : '|';
}

bool SplitNounField(const char* text, int32_t n, NounField* out, char separator) {
    if (!separator) separator = NounSeparator();
    const char* start = text;
    bool found = true;
    for (int32_t i = 0; i < n; ++i) {
        const char* next = std::strchr(start, separator);
        if (!next) {
            found = false;
            start = text;
            break;
        }
        start = next + 1;
    }
    const char* end = std::strchr(start, separator);
    const size_t length = end ? size_t(end - start) : std::strlen(start);
    out->offset = uint16_t(start - text);
    out->length = uint16_t(length);
    return found;
}

void PrepareKindNounTable() {
    const char separator = NounSeparator();
    char text[255];
    for (int32_t kind = 1; kind <= kNounKinds; ++kind) {
        for (int32_t plural = 0; plural < 2; ++plural) {
            ReadNounText(kind, plural, text);
            for (int32_t form = 0; form < kNounFormsKept; ++form) {
                SplitNounField(text, form, &gTable[kind].forms[plural][form], separator);
            }
        }
    }
    gTablePrepared = true;
}

void GetKindNoun(int32_t kind, int32_t plural, int32_t form, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return;
    buffer[0] = '\0';
    if (kind < 1 || kind > kNounKinds || form < 0) return;
    plural = plural ? 1 : 0;
    for (const KindNounCacheEntry& entry : gCache) {
        if (entry.kind == kind && entry.plural == plural && entry.form == form) {
            CopyCut(entry.text, entry.length, buffer, size);
            return;
        }
    }
    if (!gTablePrepared) PrepareKindNounTable();
    char text[255];
    ReadNounText(kind, plural, text);
    NounField field;
    if (form < kNounFormsKept) field = gTable[kind].forms[plural][form];
    else SplitNounField(text, form, &field);
    // The table was made from the same texts; a field past this text's end is cut to it.
    const size_t textLength = std::strlen(text);
    if (field.offset > textLength) field = { 0, 0 };
    if (field.offset + field.length > textLength) field.length = uint16_t(textLength - field.offset);

    KindNounCacheEntry& entry = gCache[gNextCacheEntry];
    gNextCacheEntry = (gNextCacheEntry + 1) % 3;
    entry.kind = kind;
    entry.plural = plural;
    entry.form = form;
    entry.length = field.length < 255 ? field.length : 255;
    std::memcpy(entry.text, text + field.offset, size_t(entry.length));
    entry.text[entry.length] = '\0';
    CopyCut(entry.text, entry.length, buffer, size);
}

void GetKindNoun255(int32_t kind, int32_t plural, int32_t form, char* buffer) {
    GetKindNoun(kind, plural, form, buffer, 255);
}

const char* LaterKindNoun(int32_t kind, int32_t form) {
    if (kind < 1 || kind > kNounKinds || form < 0 || form > 2) return "";
    if (gKeptForms[kind][form]) return gKeptForms[kind][form];
    char noun[256];
    GetKindNoun(kind, form == 1 ? 1 : 0, form == 2 ? 1 : 0, noun, sizeof noun);
    const size_t n = std::strlen(noun);
    char* kept = static_cast<char*>(AllocMemory(n + 1, 0));
    if (!kept) return "";
    std::memcpy(kept, noun, n + 1);
    gKeptForms[kind][form] = kept;
    return kept;
}

void ResetKindNouns() {
    std::memset(gTable, 0, sizeof gTable);
    gTablePrepared = false;
    std::memset(gCache, 0, sizeof gCache);
    gNextCacheEntry = 0;
    for (auto& forms : gKeptForms) {
        for (char*& text : forms) {
            FreeMemory(text);
            text = nullptr;
        }
    }
}
