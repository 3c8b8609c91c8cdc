// Test double of busy feedback: records the kinds begun, the updates and the tasks
// ended among the document services (RecordedDocumentServices), and stops the
// operation at a chosen update.
#include "engine/core/services/busy.h"
#include "tests/support/document_services_double.h"

namespace {
struct BusyTaskDouble {
    int32_t kind;
};
BusyTaskDouble gBusyTask;
}  // namespace

BusyTask* BeginBusyTask(int32_t kind, uint32_t, bool) {
    RecordedDocumentServices().busyKinds.push_back(kind);
    gBusyTask.kind = kind;
    return reinterpret_cast<BusyTask*>(&gBusyTask);
}

bool UpdateBusyTask(BusyTask*, uint32_t) {
    DocumentServices& services = RecordedDocumentServices();
    ++services.busyUpdates;
    return services.stopAtUpdate == 0 || services.busyUpdates < services.stopAtUpdate;
}

void EndBusyTask(BusyTask* task) {
    if (task != nullptr) ++RecordedDocumentServices().busyEnded;
}
