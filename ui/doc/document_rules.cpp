#include "ui/doc/document_rules.h"

#include <cstdio>
#include <cstring>

#include <windows.h>

namespace {
constexpr ResultCode kResultNotADocument = 33;
constexpr ResultCode kResultOldScript = 38;
const char* const kDocumentExtensions[] = { "yr4", "yrn", "yrx", "yrt" };
}  // namespace

ResultCode FatalCodeForExtension(const char* path, ResultCode code) {
    const char* dot = std::strrchr(path, '.');
    const char* slash = std::strrchr(path, '\\');
    if (!dot || (slash && slash > dot)) return code;
    const char* extension = dot + 1;
    if (lstrcmpiA(extension, "yrs") == 0) return kResultOldScript;
    for (const char* known : kDocumentExtensions) {
        if (lstrcmpiA(extension, known) == 0) return code;
    }
    return kResultNotADocument;
}

bool IsHandheldPath(const char* path) { return std::strstr(path, ".yr4") != nullptr; }

bool IsWebPagePath(const char* path) { return std::strstr(path, ".htm") != nullptr; }

const char* PathFileName(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

CString AppletArchivePath(const char* pagePath) {
    CString folder(pagePath, static_cast<int>(PathFileName(pagePath) - pagePath));
    folder += "zvt\\zvt4.jar";
    return folder;
}

ResultCode AppletResultWithoutArchive(ResultCode code) {
    if (code == 13) return 15;
    if (code == 14) return 16;
    return code;
}

CString ProposedSaveName(const CString& title, const CString& filterExtension) {
    CString name = title.SpanExcluding("\\/:*?\"<>|");
    const int semicolon = filterExtension.Find(';');
    const CString extension = semicolon >= 0 ? filterExtension.Left(semicolon) : filterExtension;
    // A title that already ends with the extension keeps it once.
    const int keep = name.GetLength() - extension.GetLength();
    if (extension.IsEmpty() || keep <= 0 || name.Mid(keep).CompareNoCase(extension) != 0) name += extension;
    return name;
}

CString PageTitleSuffix(const char* pageName, int32_t pageIndex, int32_t pageCount) {
    char text[300] = "";
    if (pageName && pageName[0]) {
        std::snprintf(text, sizeof text, " - %s", pageName);
    } else if (pageCount > 1) {
        std::snprintf(text, sizeof text, " - %d", static_cast<int>(pageIndex + 1));
    }
    return CString(text);
}

CString RetitleWithPage(const CString& text, const CString& previousSuffix, const CString& newSuffix) {
    CString base = text;
    const int keep = base.GetLength() - previousSuffix.GetLength();
    if (!previousSuffix.IsEmpty() && keep >= 0 && base.Mid(keep) == previousSuffix) base = base.Left(keep);
    base += newSuffix;
    return base;
}
