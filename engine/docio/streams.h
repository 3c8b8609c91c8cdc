// Stand-in: the stream layer is not built here yet; only its table's life cycle,
// which engine start-up and shutdown drive.
#pragma once

// The process-wide table of stream slots; false without memory.
bool InitStreamTable();
void FreeStreamTable();
