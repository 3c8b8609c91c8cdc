// How loci of type 39 come into being and how their ranges are edited: the background
// search that decides whether the selection defines a locus (the Construct menu's Locus
// item), the Construct Locus command with the chain of objects between driver and
// traced object as parents, and the range handles at the ends of loci that continue
// beyond their samples, dragged with undo.
#pragma once
#include <cstdint>

#include "engine/core/idle_tasks.h"
#include "engine/core/ptr_list.h"
#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"
#include "engine/core/services/loci.h"

struct SketchObject;
struct UndoEntry;

// The one search of the process. After a successful search the first entry of each list
// holds the driver, the traced object and the path found.
struct LocusCandidateTask {
    IdleTask task;
    int32_t  valid;
    uint32_t selectionCounter;  // the front sketch's, when the search was scheduled
    int32_t  stage;             // 0 before the lists are built, then the driver tried (1, 2)
    int32_t  driverCount, tracedCount, pathCount;
    uint16_t item;              // command-state item of the menu entry
    SketchObject* drivers[2];
    SketchObject* traced[3];
    SketchObject* paths[2];
};

LocusCandidateTask& TheLocusCandidateTask();

// One idle step of the search: 1 to be called again, 0 when finished.
int32_t LocusCandidateStep(IdleTask* task, int32_t finish);

ResultCode    ConstructLocusCommand(int32_t argument);
// The locus (new, or an equal one reused: *reused), selected alone; null when the
// objects make none or memory runs out.
SketchObject* BuildLocus(SketchObject* traced, SketchObject* driver, SketchObject* path, bool* reused);
// Links the chain from the driver to the traced object through tempLink.
bool          LocusDependencyChain(SketchObject* driver, SketchObject* traced, SketchObject* path);

// 0 none, 1 the start handle, 2 the end handle; *handle is its screen point.
int32_t FindLocusHandle(SketchObject* locus, ScreenPoint point, ScreenPoint* handle);

// The undo step of a range change (entry 11), recorded before the change.
ResultCode RecordLocusRangeUndo(SketchObject* locus);
void       PushLocusRangeEntry(SketchObject* locus, uint8_t** cursor);
ResultCode RestoreLocusRange(const UndoEntry& entry, int32_t direction);
