#include "tests/support/alerts_double.h"

#include "engine/core/services/alerts.h"

#include <deque>

namespace {
std::vector<ShownAlert> gShown;
std::vector<AskedQuestion> gAsked;
std::deque<bool> gAnswers;
bool gOtherwise = true;
}  // namespace

std::vector<ShownAlert>& ShownAlerts() { return gShown; }
std::vector<AskedQuestion>& AskedQuestions() { return gAsked; }

void ScriptQuestionAnswers(std::initializer_list<bool> answers, bool otherwise) {
    gAnswers.assign(answers.begin(), answers.end());
    gOtherwise = otherwise;
}

void ResetAlertDoubles() {
    gShown.clear();
    gAsked.clear();
    gAnswers.clear();
    gOtherwise = true;
}

void ShowAlert(const char* caption, const char* text, int32_t code, int32_t helpTopic,
               uint32_t owner, bool notice) {
    gShown.push_back({ caption, text, code, helpTopic, owner, notice });
}

bool AskQuestion(const char* caption, const char* text, uint32_t buttons, int32_t code,
                 uint32_t owner) {
    gAsked.push_back({ caption, text, buttons, code, owner });
    if (gAnswers.empty()) return gOtherwise;
    const bool answer = gAnswers.front();
    gAnswers.pop_front();
    return answer;
}
