#include "release2/text/about_pages.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/string_groups.h"
#include "release2/text/string_resources.h"

namespace {
constexpr int32_t kAboutPages = 4;
char* gPages[kAboutPages] = {};
}  // namespace

const char* AboutPageText(int32_t page) {
    if (page < 0 || page >= kAboutPages) return nullptr;
    if (gPages[page]) return gPages[page];
    const char* first = ResourceGroupString(kGroupAbout, 2 * page);
    const char* second = ResourceGroupString(kGroupAbout, 2 * page + 1);
    const size_t a = std::strlen(first), b = std::strlen(second);
    char* text = static_cast<char*>(AllocMemory(a + b + 1, 0));
    if (!text) return nullptr;
    std::memcpy(text, first, a);
    std::memcpy(text + a, second, b + 1);
    gPages[page] = text;
    return text;
}
