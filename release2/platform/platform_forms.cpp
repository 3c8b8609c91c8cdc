#include "release2/platform/platform_forms.h"

#include "release2/platform/document_charsets.h"
#include "release2/platform/picture_layout.h"
#include "release2/platform/trace_fading.h"

int32_t TraceFadeStepsToClear() { return kFadeCycles * kFadeBandCount + 1; }

void AddPlatformForms(LaterReleaseForms* forms) {
    forms->platform.traceFadeTicks = GetTraceFadeTicks;
    forms->platform.traceFadeStepsToClear = TraceFadeStepsToClear;
    forms->platform.convertDocumentTexts = ConvertDocumentTexts;
    forms->platform.prepareReadDib = MakeDibBottomUp;
}
