// figlate's texts read from the program's own string resources and group table.
#pragma once

// Makes the program module's resources the source of ResourceString and the group texts.
// Without the group table every group text is "".
void UseModuleStrings();
