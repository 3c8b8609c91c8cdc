// What the program's command line asks of the shell side of the application, built
// one argument at a time. Plain C++: no Windows header.
#pragma once

#include <string>

namespace classlib {

enum class ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing };

struct ShellCommandLine {
    ShellCommand command = ShellCommand::FileNew;
    bool showSplash = true;
    bool runEmbedded = false;
    bool runAutomated = false;
    std::string fileName;
    std::string printerName;
    std::string driverName;
    std::string portName;
};

// One argument: a switch (its text after "/" or "-") or a plain argument. Library
// switches are compared without regard to case: "Embedding", "Automation",
// "Unregserver", "Unregister", "dde", "p", "pt". With isLast the command is settled:
// a new-file command with a file name becomes an open, and the splash is shown only
// for an interactive start (not embedded, automated or printing).
void ParseShellArgument(ShellCommandLine& line, const char* text, bool isSwitch, bool isLast);

}  // namespace classlib
