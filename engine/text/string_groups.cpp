#include "engine/text/string_groups.h"

#include <cstring>

#include "engine/core/services/later_release.h"

uint16_t StringGroupItemCount(int32_t group) {
    if (group < 0 || group >= kStringGroupCount) return 0;
    return StringGroupTable[group].itemCount;
}

const char* GroupText(int32_t group, int32_t item) {
    if (auto form = LaterForms().text.groupText) return form(group, item);
    if (item < 0 || item >= StringGroupItemCount(group)) return "";
    const char* text = StringGroupTable[group].items[item];
    return text ? text : "";
}

void GetGroupString(int32_t group, int32_t item, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return;
    const char* text = GroupText(group, item);
    // strncpy semantics on purpose: callers hand these buffers to code that reads
    // the whole fixed size, so the tail is zeroed rather than left as it was.
    uint32_t i = 0;
    for (; i < size && text[i]; ++i) buffer[i] = text[i];
    for (; i < size; ++i) buffer[i] = 0;
    buffer[size - 1] = 0;
}

uint32_t CopyGroupString256(int32_t group, int32_t item, char* buffer) {
    if (!buffer) return 0;
    const char* text = GroupText(group, item);
    uint32_t n = 0;
    while (n < 255 && text[n]) { buffer[n] = text[n]; ++n; }
    buffer[n] = 0;
    return n;
}

bool GroupStringIndexOf(char ch, int32_t group, int32_t item, int32_t* index) {
    const char* text = GroupText(group, item);
    for (int32_t i = 0; i < 254 && text[i]; ++i) {
        if (text[i] == ch) {
            if (index) *index = i;
            return true;
        }
    }
    return false;
}

uint32_t AppendToFixedBuffer(char* buffer, uint32_t size, const char* text, uint32_t n) {
    if (!buffer || size < 2 || !text) return 0;
    uint32_t end = 0;
    while (end < size - 1 && buffer[end]) ++end;
    if (end == size - 1) return 0;  // no NUL among the first size - 1 bytes: full
    // strnlen: a count larger than the text must not read past its NUL.
    uint32_t want = n ? static_cast<uint32_t>(strnlen(text, n)) : static_cast<uint32_t>(strlen(text));
    uint32_t room = size - 1 - end;
    uint32_t count = want < room ? want : room;
    memcpy(buffer + end, text, count);
    buffer[end + count] = 0;
    return count;
}

int32_t KindNounItem(int32_t kind, KindNounForm form) {
    if (kind < kFirstNounKind || kind > kLastNounKind) return -1;
    if (form < kNounSingular || form > kNounWithArticle) return -1;
    return 3 * (kind - 1) + form;
}

const char* KindNounOfItem(int32_t item) {
    return item < 0 ? "" : KindNoun(item / 3 + kFirstNounKind, KindNounForm(item % 3));
}

void GetKindNounString(int32_t kind, KindNounForm form, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return;
    const char* text = KindNoun(kind, form);
    uint32_t i = 0;
    for (; i < size && text[i]; ++i) buffer[i] = text[i];
    for (; i < size; ++i) buffer[i] = 0;
    buffer[size - 1] = 0;
}

const char* KindNoun(int32_t kind, KindNounForm form) {
    if (auto later = LaterForms().text.kindNoun) return later(kind, form);
    return GroupText(kGroupKindNouns, KindNounItem(kind, form));
}
