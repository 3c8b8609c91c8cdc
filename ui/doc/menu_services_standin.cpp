// Stand-in: help topics and links (reached through the link targets) open nothing until
// the help services are built.
#include "ui/frames/engine_commands.h"

void OpenHelpTopicStandin(int32_t) {}
void OpenHelpLinkStandin(int32_t) {}

// Stand-in: the toolbox bar follows the model's selection once the bar is built.
void RefreshToolboxBar() {}
