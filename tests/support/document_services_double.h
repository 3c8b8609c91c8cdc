// Test doubles of what the engine's document asks of the user interface and of the
// platform's windows: every call is recorded, answers are scripted.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct EngineDocument;
struct Sketch;

struct DocumentServices {
    // BuildMenuBarFromStream: the descriptions offered, first byte each, and the
    // answers to give in turn (0 once they run out).
    std::vector<std::vector<uint8_t>> menuBuilds;
    std::vector<int32_t> menuBuildResults;
    bool menuBuildIndexReset = false;  // set: the answers start again from the first
    std::vector<uint8_t> programMenu;   // empty: the program loaded none
    std::vector<uint8_t> defaultMenu = { 0xDE, 0xFA };

    int32_t pageVeto = 0;  // NoPageHook's answer
    struct PageShown {
        EngineDocument* document;
        int32_t oldIndex;
        int32_t newIndex;
    };
    std::vector<PageShown> pagesShown;
    // ShowContextMenu: over empty space, over an object.
    std::vector<std::pair<bool, bool>> contextMenus;
    int32_t toolboxRefreshes = 0;
    bool toolboxHidden = false;  // the toolbox bar as SetToolboxHidden left it
    bool textPaletteShown = false;
    bool notationBarShown = false;
    bool notationBarWanted = false;
    std::vector<bool> textPaletteUpdates;  // UpdateTextPalette's enabled flags

    std::set<std::string> openNames;  // names IsDocumentNameFree calls used
    std::set<const EngineDocument*> documentsWithFile;  // DocumentHasOwnFile answers true
    std::vector<EngineDocument*> framesFitted;
    std::vector<EngineDocument*> documentsFreed;
    std::vector<EngineDocument*> openDocuments;  // OpenEngineDocuments' answer
    std::map<const EngineDocument*, std::string> windowTitles;  // DocumentWindowTitle's answers

    // Busy feedback: kinds begun, tasks ended, and the update at which the user stops
    // (0: never).
    std::vector<int32_t> busyKinds;
    int32_t busyEnded = 0;
    int32_t busyUpdates = 0;
    int32_t stopAtUpdate = 0;

    int32_t tabRebuilds = 0;   // RebuildPageTabs calls
    int32_t titleUpdates = 0;  // UpdateWindowTitles calls
};

DocumentServices& RecordedDocumentServices();

// The Motion Controller bar as the engine left it.
struct MotionBarRecord {
    int32_t motionControllerVisible;
    int32_t motionBarItems[8];    // the states RefreshMotionControllerItem last showed
    int32_t motionBarRefreshes;
    bool hasShowCommand;          // HasMotionControllerCommand's answer
};
MotionBarRecord& RecordedMotionBar();
void ResetDocumentServices();
