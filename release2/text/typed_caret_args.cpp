#include "release2/text/typed_caret_args.h"

#include <cstring>

#include "engine/core/sketch.h"
#include "engine/core/services/string_groups.h"
#include "engine/text/object_labels.h"
#include "release2/text/kind_nouns.h"

namespace {

constexpr uint32_t kReplacementSize = 256;

// Appends text to out (kReplacementSize bytes) as far as it fits.
void Append(char* out, const char* text) {
    size_t at = std::strlen(out);
    while (*text && at + 1 < kReplacementSize) out[at++] = *text++;
    out[at] = '\0';
}

// The replacement of one argument, cut to 255 characters.
void Replacement(const CaretArg& arg, int32_t form, char* out) {
    out[0] = '\0';
    switch (arg.kind) {
        case kCaretArgText:
        case kCaretArgTextToo:
            if (arg.text) Append(out, arg.text);
            break;
        case kCaretArgGroupText:
            Append(out, GroupText(arg.first, arg.second));
            break;
        case kCaretArgKindNoun:
            GetKindNoun(arg.first, arg.second, form, out, kReplacementSize);
            break;
        case kCaretArgNounLabel: {
            if (!arg.object) break;
            char label[kLabelBufferSize];
            GetObjectLabel(arg.object, arg.second, label, nullptr);
            GetKindNoun(EffectiveKind(arg.object), 0, form, out, kReplacementSize);
            Append(out, " ");
            Append(out, label);
            break;
        }
        case kCaretArgLabel:
            if (arg.object) {
                char label[kLabelBufferSize];
                GetObjectLabel(arg.object, arg.second, label, nullptr);
                Append(out, label);
            }
            break;
        default:
            break;
    }
}

}  // namespace

uint32_t SubstituteCaretArgs(const char* source, char* destination, const CaretArg* args, uint32_t argCount,
                             uint32_t size) {
    if (!destination || size == 0) return 0;
    destination[0] = '\0';
    if (!source) return 0;
    const char separator = NounSeparator();
    const uint32_t room = size - 1;
    uint32_t at = 0;
    uint32_t lastPiece = 0;
    const char* p = source;
    while (true) {
        // Literal text up to the next code or the end.
        const char* code = p;
        while (*code && !(code[0] == '^' && code[1] >= 'A' && code[1] <= 'Z')) ++code;
        const uint32_t literal = uint32_t(code - p);
        const uint32_t copied = literal < room - at ? literal : room - at;
        std::memcpy(destination + at, p, copied);
        at += copied;
        destination[at] = '\0';
        lastPiece = copied + 1;
        if (!*code) break;

        const uint32_t index = uint32_t(code[1] - 'A');
        int32_t form = 0;
        p = code + 2;
        if (separator && p[0] == separator && p[1] >= 'a' && p[1] <= 'z') {
            form = p[1] - 'a';
            p += 2;
        }
        if (index >= argCount || !args) continue;
        char replacement[kReplacementSize];
        Replacement(args[index], form, replacement);
        const uint32_t length = uint32_t(std::strlen(replacement));
        if (at + length + std::strlen(p) <= room) {
            std::memcpy(destination + at, replacement, length);
            at += length;
            destination[at] = '\0';
        }
    }
    return lastPiece;
}
