// Stand-in: help topics and links (reached through the link targets) open nothing until
// the help services are built.
#include "ui/frames/engine_commands.h"

void OpenHelpTopicStandin(int32_t) {}
void OpenHelpLinkStandin(int32_t) {}
