// Link targets from documents (link buttons, help texts) resolved as figlate resolves
// them and, for file addresses, made canonical: the pass must stay inside the text, never
// lengthen it, and leave no "." or ".." segment behind when it succeeds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/core/memory.h"
#include "engine/core/services/later_release.h"
#include "engine/interact/link_targets.h"
#include "release2/shell/file_links.h"

namespace {

char* HelpAddress() {
    static const char kHelp[] = "ms-its:C:\\prog\\Velmora Help/";
    auto* out = static_cast<char*>(AllocMemory(sizeof kHelp, 0));
    if (out) std::memcpy(out, kHelp, sizeof kHelp);
    return out;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

void CheckCanonical(const std::string& address) {
    std::string text = address;
    const int32_t rc = NormalizeFileUrl(text.data());
    const size_t length = std::strlen(text.c_str());
    if (length > address.size()) __builtin_trap();
    if (rc != 0) return;
    const size_t colon = text.find(':');
    size_t start = colon == std::string::npos ? 0 : colon + 1;
    while (start < length && IsSeparator(text[start])) ++start;
    for (size_t at = start; at <= length;) {
        size_t end = at;
        while (end < length && !IsSeparator(text[end])) ++end;
        const std::string segment = text.substr(at, end - at);
        if (segment == "." || segment == "..") __builtin_trap();
        at = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string target(reinterpret_cast<const char*>(data), size);
    const std::string text = target.c_str();  // a target ends at its first NUL
    for (int later = 0; later < 2; ++later) {
        LaterReleaseForms forms = {};
        if (later) forms.shell.helpFolderAddress = HelpAddress;
        InstallLaterForms(forms);
        ResultCode rc = kResultOK;
        char* address = ResolveLinkTarget("C:\\docs\\kites\\", "C:\\prog\\", text.c_str(), &rc);
        if (address) {
            if (std::strncmp(address, "file://", 7) == 0) CheckCanonical(address);
            FreeMemory(address);
        }
    }
    ResetLaterForms();
    CheckCanonical(text);
    char help[512];
    CompiledHelpTarget(text.c_str(), help, sizeof help);
    char name[64];
    const size_t n = text.size() < sizeof name - 1 ? text.size() : sizeof name - 1;
    std::memcpy(name, text.c_str(), n);
    name[n] = 0;
    ReplaceExtension(name, sizeof name, "htm");
    if (std::strlen(name) >= sizeof name) __builtin_trap();
    ChosenLaterSaveType(3, text.c_str());
    return 0;
}
