#include "ui/app/command_line_options.h"

CommandLineOptions::CommandLineOptions() { options_.InitHashTable(10); }

void CommandLineOptions::ParseParam(const char* text, bool isSwitch, bool isLast) {
    if (isSwitch) {
        options_.SetAt(text, "TRUE");
        lastSwitch_ = text;
        CCommandLineInfo::ParseParam(text, isSwitch, isLast);
        return;
    }
    if (!lastSwitch_.IsEmpty()) {
        options_.SetAt(lastSwitch_, text);
        const bool consumed = lastSwitch_ == "t" || lastSwitch_ == "pref";
        lastSwitch_.Empty();
        if (consumed) return;
    }
    CCommandLineInfo::ParseParam(text, isSwitch, isLast);
}

bool CommandLineOptions::Lookup(const char* name, CString& value) const {
    return options_.Lookup(name, value);
}

CString ToolFolderFromOption(const CString& value) {
    CString folder = value;
    if (folder.Find('\\') < 0) folder += '\\';
    return folder;
}
