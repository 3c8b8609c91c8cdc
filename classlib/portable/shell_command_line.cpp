#include "classlib/portable/shell_command_line.h"

#include <cctype>
#include <cstring>

namespace classlib {

namespace {

bool SameNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

void ParseSwitch(ShellCommandLine& line, const char* text) {
    if (SameNoCase(text, "pt")) {
        line.command = ShellCommand::FilePrintTo;
    } else if (SameNoCase(text, "p")) {
        line.command = ShellCommand::FilePrint;
    } else if (SameNoCase(text, "Unregister") || SameNoCase(text, "Unregserver")) {
        line.command = ShellCommand::AppUnregister;
    } else if (SameNoCase(text, "dde")) {
        line.command = ShellCommand::FileDDE;
    } else if (SameNoCase(text, "Embedding")) {
        line.runEmbedded = true;
    } else if (SameNoCase(text, "Automation")) {
        line.runAutomated = true;
    }
}

// Plain arguments fill the file name, then (printing to a printer) the printer,
// driver and port; further ones are ignored.
void ParsePlain(ShellCommandLine& line, const char* text) {
    if (line.fileName.empty()) {
        line.fileName = text;
    } else if (line.command == ShellCommand::FilePrintTo) {
        if (line.printerName.empty()) {
            line.printerName = text;
        } else if (line.driverName.empty()) {
            line.driverName = text;
        } else if (line.portName.empty()) {
            line.portName = text;
        }
    }
}

}  // namespace

void ParseShellArgument(ShellCommandLine& line, const char* text, bool isSwitch, bool isLast) {
    if (!text) text = "";
    if (isSwitch) {
        ParseSwitch(line, text);
    } else {
        ParsePlain(line, text);
    }
    if (isLast) {
        if (line.command == ShellCommand::FileNew && !line.fileName.empty()) {
            line.command = ShellCommand::FileOpen;
        }
        line.showSplash = !line.runEmbedded && !line.runAutomated &&
                          line.command != ShellCommand::FilePrint &&
                          line.command != ShellCommand::FilePrintTo;
    }
}

}  // namespace classlib
