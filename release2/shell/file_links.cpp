#include "release2/shell/file_links.h"

#include <cstring>

namespace {

// A backslash separates too: folders of the document and the program join addresses
// with theirs.
bool IsSlash(char c) { return c == '/' || c == '\\'; }

}  // namespace

int32_t NormalizeFileUrl(char* address) {
    if (address == nullptr) return 0;
    // The scheme and its slashes are kept as they are: segments start after them.
    size_t start = 0;
    if (const char* colon = std::strchr(address, ':')) {
        start = static_cast<size_t>(colon - address) + 1;
        while (IsSlash(address[start])) ++start;
    }
    size_t out = start;
    size_t in = start;
    const size_t n = std::strlen(address);
    while (in < n) {
        // `in` is at the first character of a segment; find its end.
        size_t end = in;
        while (end < n && !IsSlash(address[end])) ++end;
        const size_t length = end - in;
        const bool slashFollows = end < n;
        if (length == 1 && address[in] == '.') {
            in = slashFollows ? end + 1 : end;
            continue;
        }
        if (length == 2 && address[in] == '.' && address[in + 1] == '.') {
            // Back over the segment written last: there must be one above the start.
            if (out == start) {
                address[out] = 0;
                return kFileUrlClimbsAbove;
            }
            size_t back = out - 1;  // the slash that ended the previous segment
            while (back > start && !IsSlash(address[back - 1])) --back;
            out = back;
            in = slashFollows ? end + 1 : end;
            continue;
        }
        std::memmove(address + out, address + in, length);
        out += length;
        in = end;
        // A run of slashes is copied whole: a doubled slash starts no segment.
        while (in < n && IsSlash(address[in])) address[out++] = address[in++];
    }
    address[out] = 0;
    return 0;
}

int32_t StripFileName(char* text) {
    if (text == nullptr || text[0] == 0) return 0;
    if (char* slash = std::strrchr(text, '\\')) slash[1] = 0;
    return '\\';
}

bool ReplaceExtension(char* text, size_t size, const char* extension) {
    if (text == nullptr || extension == nullptr) return false;
    char* name = text;
    for (char* p = text; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    char* dot = std::strrchr(name, '.');
    if (dot == nullptr) return true;
    const size_t kept = static_cast<size_t>(dot - text) + 1;
    const size_t added = std::strlen(extension);
    if (kept + added + 1 > size) return false;
    std::memcpy(dot + 1, extension, added + 1);
    return true;
}

bool HelpMenuEndsAt(const char* text, int32_t index) {
    if (index > 63 || text == nullptr || text[0] == 0) return true;
    return text[0] == ' ' && text[1] == 0;
}

uint32_t HostSaveCommandFor(int32_t argument) {
    switch (argument) {
    case 0: return kCommandSave;
    case 1: return kCommandSaveAs;
    case 2: return kCommandSaveAsWebPage;
    // The Save and Save As rows pass their row numbers, as the shared form reads them.
    case 17: return kCommandSave;
    case 18: return kCommandSaveAs;
    default: return static_cast<uint32_t>(argument);
    }
}

int64_t TruncateRealToInt(double x) {
    if (x != x) return 0;
    // 2^63 is exact as a double; every double below it converts.
    constexpr double kLimit = 9223372036854775808.0;
    if (x >= kLimit) return INT64_MAX;
    if (x <= -kLimit) return INT64_MIN;
    return static_cast<int64_t>(x);
}

bool CompiledHelpTarget(const char* target, char* out, size_t size) {
    if (target == nullptr || out == nullptr || size == 0) return false;
    constexpr char kScheme[] = "help://";
    constexpr size_t kSchemeLength = sizeof kScheme - 1;
    const size_t length = std::strlen(target);
    size_t written = 0;
    if (length > kSchemeLength && std::strncmp(target, kScheme, kSchemeLength) == 0 &&
        std::strstr(target, "::/") == nullptr) {
        const size_t file = sizeof kCompiledHelpFile - 1;
        written = kSchemeLength + file + 3 + (length - kSchemeLength);
        if (written + 1 > size) return false;
        char* p = out;
        std::memcpy(p, kScheme, kSchemeLength), p += kSchemeLength;
        std::memcpy(p, kCompiledHelpFile, file), p += file;
        std::memcpy(p, "::/", 3), p += 3;
        std::memcpy(p, target + kSchemeLength, length - kSchemeLength + 1);
        return true;
    }
    if (length + 1 > size) return false;
    std::memcpy(out, target, length + 1);
    return true;
}

namespace {

// Save types in the dialog's order, with their extensions.
constexpr const char* kSaveTypeExtensions[] = { "yrn", "yr4", "htm", "emf", "wmf" };

bool EqualsIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        const char la = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        if (la != *b) return false;
    }
    return *a == *b;
}

}  // namespace

int32_t ChosenLaterSaveType(int32_t filterIndex, const char* name) {
    const int32_t count = static_cast<int32_t>(sizeof kSaveTypeExtensions / sizeof kSaveTypeExtensions[0]);
    int32_t type = filterIndex >= 1 && filterIndex <= count ? filterIndex - 1 : 0;
    if (name == nullptr) return type;
    const char* file = name;
    for (const char* p = name; *p; ++p)
        if (*p == '\\' || *p == '/') file = p + 1;
    const char* dot = std::strrchr(file, '.');
    if (dot == nullptr) return type;
    for (int32_t t = 0; t < count; ++t)
        if (EqualsIgnoringCase(dot + 1, kSaveTypeExtensions[t])) return t;
    // "page.html" is a web page too.
    if (EqualsIgnoringCase(dot + 1, "html")) return 2;
    return type;
}

const char* SaveTypeExtension(int32_t saveType) {
    const int32_t count = static_cast<int32_t>(sizeof kSaveTypeExtensions / sizeof kSaveTypeExtensions[0]);
    return saveType >= 0 && saveType < count ? kSaveTypeExtensions[saveType] : kSaveTypeExtensions[0];
}

bool DocumentTypeIdentifier(const char* templateText, char* out, size_t size) {
    const char* field = templateText;
    for (int i = 0; field && i < 5; ++i) {
        field = std::strchr(field, '\n');
        if (field) ++field;
    }
    size_t length = 0;
    if (field) {
        const char* end = std::strchr(field, '\n');
        length = end ? static_cast<size_t>(end - field) : std::strlen(field);
    }
    if (length == 0) {
        field = "Velmora.Document";
        length = std::strlen(field);
    }
    if (length + 1 > size) return false;
    std::memcpy(out, field, length);
    out[length] = 0;
    return true;
}
