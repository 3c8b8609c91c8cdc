#include "release2/text/text_forms.h"

#include "release2/text/about_pages.h"
#include "release2/text/key_names.h"
#include "release2/text/kind_nouns.h"
#include "release2/text/string_resources.h"

void AddTextForms(LaterReleaseForms* forms) {
    forms->text.groupText = ResourceGroupString;
    forms->text.kindNoun = LaterKindNoun;
    forms->text.formatCommandKeyText = FormatAcceleratorName;
    forms->text.aboutPageText = AboutPageText;
    forms->text.prepareTexts = PrepareKindNounTable;
    forms->text.numberedText = ResourceString;
}
