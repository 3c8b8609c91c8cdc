#include "engine/interact/link_targets.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/folders.h"
#include "engine/core/services/later_release.h"

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// What a question about an address reads; the address follows in quotes.
constexpr const char kAskCaption[] = "Open Link";
constexpr const char kAskBefore[] = "This document's link opens \"";
constexpr const char kAskAfter[] = "\". Do you want to open it?";

}  // namespace

const char* FindLinkScheme(const char* target) {
    if (target == nullptr) return nullptr;
    const char* p = target;
    while (IsLetter(*p)) ++p;
    if (p == target || *p != ':') return nullptr;
    ++p;
    for (int i = 0; i < 2 && *p == '/'; ++i) ++p;
    return p;
}

bool LinkSchemeIs(const char* target, const char* rest, const char* name) {
    if (target == nullptr || rest == nullptr || name == nullptr) return false;
    const char* colon = std::strchr(target, ':');
    if (colon == nullptr || colon >= rest) return false;
    const size_t length = static_cast<size_t>(colon - target);
    if (length != std::strlen(name)) return false;
    for (size_t i = 0; i < length; ++i)
        if (Lower(target[i]) != Lower(name[i])) return false;
    return true;
}

ResultCode ConcatThree(char** out, const char* a, const char* b, const char* c) {
    *out = nullptr;
    const size_t na = a ? std::strlen(a) : 0, nb = b ? std::strlen(b) : 0, nc = c ? std::strlen(c) : 0;
    auto* text = static_cast<char*>(AllocMemory(na + nb + nc + 1, 0));
    if (text == nullptr) return kResultOutOfMemory;
    if (na) std::memcpy(text, a, na);
    if (nb) std::memcpy(text + na, b, nb);
    if (nc) std::memcpy(text + na + nb, c, nc);
    text[na + nb + nc] = 0;
    *out = text;
    return kResultOK;
}

char* ResolveLinkTarget(const char* documentFolder, const char* programFolder, const char* target,
                        ResultCode* code) {
    *code = kResultOK;
    if (target == nullptr) target = "";
    char* out = nullptr;
    const char* rest = FindLinkScheme(target);
    if (rest == nullptr) {
        *code = ConcatThree(&out, "http://", target, nullptr);
    } else if (LinkSchemeIs(target, rest, "sketchdoc")) {
        if (documentFolder == nullptr || documentFolder[0] == 0) *code = kAlertLinkNeedsSave;
        else *code = ConcatThree(&out, "file:///", documentFolder, rest);
    } else if (LinkSchemeIs(target, rest, "sketchapp")) {
        *code = ConcatThree(&out, "file:///", programFolder, rest);
    } else if (LinkSchemeIs(target, rest, "help")) {
        // The later release's help folder is an address already, scheme included.
        const auto address = LaterForms().shell.helpFolderAddress;
        char* help = address ? address() : GetHelpFolder();
        if (help == nullptr) *code = kAlertHelpFolderMissing;
        else *code = ConcatThree(&out, address ? nullptr : "file:///", help, rest);
        FreeMemory(help);
    } else {
        // "file" too: it names a path of its own, as any other address does.
        *code = ConcatThree(&out, target, nullptr, nullptr);
    }
    return out;
}

ResultCode ResolveAndOpenLink(const char* documentFolder, const char* programFolder, const char* target) {
    ResultCode rc = kResultOK;
    char* address = ResolveLinkTarget(documentFolder, programFolder, target, &rc);
    if (address == nullptr) return rc;
    rc = OpenWithShell(address) ? kResultOK : kAlertLinkFailed;
    FreeMemory(address);
    return rc;
}

ResultCode OpenLinkTarget(const char* target) { return ResolveAndOpenLink(nullptr, nullptr, target); }

bool IsWebAddress(const char* address) {
    const char* rest = FindLinkScheme(address);
    if (rest == nullptr) return false;
    // Exactly "scheme://": a single slash or none is not a web address's form.
    if (rest - address < 3 || rest[-1] != '/' || rest[-2] != '/' || rest[0] == 0) return false;
    return LinkSchemeIs(address, rest, "http") || LinkSchemeIs(address, rest, "https");
}

ResultCode OpenDocumentLink(const char* documentFolder, const char* programFolder, const char* target,
                            bool askAlways) {
    ResultCode rc = kResultOK;
    char* address = ResolveLinkTarget(documentFolder, programFolder, target, &rc);
    if (address == nullptr) return rc;
    if (askAlways || !IsWebAddress(address)) {
        char* question = nullptr;
        rc = ConcatThree(&question, kAskBefore, address, kAskAfter);
        if (rc == kResultOK) {
            const bool yes = AskQuestion(kAskCaption, question, kQuestionYesNo | kQuestionDefaultNo, 0, 1);
            FreeMemory(question);
            if (!yes) rc = kResultCancelled;
        }
    }
    if (rc == kResultOK && !OpenWithShell(address)) rc = kAlertLinkFailed;
    FreeMemory(address);
    return rc;
}
