// figlate's string resources built in memory, as the program reads them from its
// resources: the tests install them with the text forms and reset both afterwards.
#pragma once
#include <cstring>

#include "engine/core/services/later_release.h"
#include "release2/text/kind_nouns.h"
#include "release2/text/later_texts.h"
#include "release2/text/string_resources.h"
#include "release2/text/text_forms.h"

inline const LaterTexts& MemoryLaterTexts() {
    static const LaterTexts texts = BuildLaterTexts();
    return texts;
}

inline int32_t LoadMemoryString(uint32_t id, char* buffer, int32_t size) {
    buffer[0] = '\0';
    for (const LaterString& s : MemoryLaterTexts().strings) {
        if (s.id != id) continue;
        std::strncpy(buffer, s.text.c_str(), size_t(size) - 1);
        buffer[size - 1] = '\0';
        return int32_t(std::strlen(buffer));
    }
    return 0;
}

// Installs figlate's text forms over the in-memory resources for one scope, with the
// forms of other areas that `more` adds.
struct LaterTextsInstalled {
    explicit LaterTextsInstalled(void (*more)(LaterReleaseForms*) = nullptr) {
        const LaterTexts& texts = MemoryLaterTexts();
        SetStringResourceSource({ texts.groupTable.data(), uint32_t(texts.groupTable.size()), LoadMemoryString });
        ResetKindNouns();
        LaterReleaseForms forms = {};
        AddTextForms(&forms);
        if (more) more(&forms);
        InstallLaterForms(forms);
    }
    ~LaterTextsInstalled() {
        ResetLaterForms();
        ResetKindNouns();
        SetStringResourceSource({});
    }
};
