// Test double of the alert and question services: records what was shown and asked,
// and answers questions from a script.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

struct ShownAlert {
    std::string caption;
    std::string text;
    int32_t     code;
    int32_t     helpTopic;
    uint32_t    owner;
    bool        notice;
};

struct AskedQuestion {
    std::string caption;
    std::string text;
    uint32_t    buttons;
    int32_t     code;
    uint32_t    owner;
};

std::vector<ShownAlert>& ShownAlerts();
std::vector<AskedQuestion>& AskedQuestions();
// Answers for the next questions, in order; once they run out, `otherwise` answers.
void ScriptQuestionAnswers(std::initializer_list<bool> answers, bool otherwise = true);
// Forgets everything recorded and scripted.
void ResetAlertDoubles();
