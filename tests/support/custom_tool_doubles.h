// Test doubles of the custom tools' platform services: the new tool's name prompt and
// the script view bar.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Names the next prompts answer, in order; a prompt with none left is cancelled.
void ScriptNewToolNames(std::vector<std::string> names);
int32_t NewToolNamePrompts();

struct ScriptViewRecord {
    bool                     visible = false;
    std::string              caption;
    int32_t                  rowCount = 0;
    std::string              comment;     // what the comment box holds
    int32_t                  toolsShown = 0;
    int32_t                  statusRefreshes = 0;
    std::vector<int32_t>     revealedRows;  // UpdateScriptStepList's rows, 0 included
};
ScriptViewRecord& RecordedScriptView();
void ResetScriptView();
