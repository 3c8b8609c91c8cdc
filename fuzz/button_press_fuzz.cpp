// Feeds outside bytes as a page, presses every action button on it and runs a bounded
// number of frames. Whatever the buttons' stored types, options, targets and members,
// pressing and the frames that follow stay within the page, end, and leave no button
// counting anything once the motions are stopped. Links are handed to a recording
// opener, never to a shell.
#include <cstddef>
#include <cstdint>

#include "engine/core/action_button_data.h"
#include "engine/core/frame_tick.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/motion.h"
#include "support/clock_double.h"
#include "support/folders_double.h"

namespace {

constexpr int32_t kFrames = 40;
constexpr int32_t kMaxPresses = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 18)) return 0;
    InitStreamTable();
    ResetOpenedAddresses();
    SetTestTickCount(1000);
    StreamHandle h;
    if (OpenMemoryStreamCopy(data, static_cast<uint32_t>(size), &h) != kResultOK) return 0;
    Sketch* sketch = nullptr;
    const FormatInfo format = { 1, 4, 4 };
    const ResultCode rc = ReadSketch(h, &sketch, nullptr, format);
    DiscardStream(h);
    if (IsFatalResult(rc) || sketch == nullptr) return 0;
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    sketch->windowRect = { 0, 0, 400, 300 };
    int32_t presses = 0;
    for (SketchObject* o = sketch->firstObject; o && presses < kMaxPresses; o = o->nextInSketch) {
        if (o->objectClass != kClassActionButton) continue;
        PressActionButton(o);
        ++presses;
    }
    // The frames the sketch's ticker would run while anything goes on.
    for (int32_t i = 0; i < kFrames && sketch->ticker.task.queued; ++i) {
        AdvanceTestTickCount(kFrameMs * 8);
        FrameTick(&sketch->ticker.task, 0);
    }
    StopMotions(0);
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ActionButtonStop(o);
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (IsButtonRunning(o)) __builtin_trap();
    if (sketch->pendingPresentationHead != nullptr || sketch->pendingPresentations != 0) __builtin_trap();
    RemoveIdleTask(&sketch->ticker.task);
    SetCurrentSketch(previous, nullptr);
    FreeSketch(sketch);
    return 0;
}
