// Start-up and shutdown steps of the document reading and writing code (engine/docio).
#pragma once

// The stream table is made on first use; FreeStreamTable closes nothing, it only drops
// the table at shutdown (every stream must have been closed or discarded by then).
bool InitStreamTable();
void FreeStreamTable();

// Marks the current sketch's document modified (nothing for a sketch without one).
void SetCurrentDocumentModified();
