// Feeds outside bytes to the tool folder's scan as one of its documents: the file is read
// for its tools alone, listed, offered in both custom-tool menus, each tool acquired and
// released, and everything freed again. A file that is no document is passed over.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/core/services/custom_tools.h"
#include "engine/core/services/document_io.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_list.h"
#include "engine/interact/custom_tool_library.h"
#include "engine/interact/custom_tools.h"
#include "engine/interact/tool_playback.h"
#include "tests/support/alerts_double.h"
#include "tests/support/calculator_double.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    static const std::string path = "/tmp/fig_tool_folder_fuzz_" + std::to_string(getpid()) + ".yrn";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    if (!written) return 0;
    ResetAlertDoubles();

    CustomToolFolderScan(path.c_str(), "Fuzzed Tools.yrn");
    for (int32_t f = 0; f < ToolFolderFileCount(); ++f) {
        const char* name = nullptr;
        ToolList* list = ToolFolderFileTools(f, &name);
        for (int32_t t = 0; t < ToolListCount(list); ++t) {
            char title[96];
            ToolListName(list, t, title, sizeof title);
            Sketch* tool = nullptr;
            if (ToolListAcquire(list, t, &tool) != kResultOK) continue;
            RefreshToolGivenKinds(tool);
            ShowToolInScriptView(tool, nullptr);
            ShowToolInScriptView(nullptr, nullptr);
            ToolListRelease(list, t);
        }
    }
    for (int32_t flag : { 0, 1 }) {
        ToolMenuModel model{ flag, nullptr, nullptr };
        uint32_t counter = 1;
        RecordedPopupEntries().clear();
        BuildCustomToolMenu(RecordingPopupMenu(), &model, &counter);
        FreeToolMenuEntry(&model);
    }
    FreeToolFolderList();
    std::remove(path.c_str());
    return 0;
}
