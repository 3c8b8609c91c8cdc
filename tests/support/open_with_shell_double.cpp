// Kept apart from the folders' double: the Windows tests link the real shell.
#include <string>
#include <vector>

#include "engine/core/services/folders.h"
#include "tests/support/folders_double.h"

namespace {
std::vector<std::string> gOpened;
bool gOpens = true;
}  // namespace

bool OpenWithShell(const char* target) {
    gOpened.emplace_back(target ? target : "");
    return gOpens;
}
const std::vector<std::string>& OpenedAddresses() { return gOpened; }
void ResetOpenedAddresses() {
    gOpened.clear();
    gOpens = true;
}
void SetOpenWithShellResult(bool opens) { gOpens = opens; }
