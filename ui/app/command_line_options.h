// The program's command line: the class library's own switches and document name,
// plus options of its own ("ma", "md", "t" folder, "pref" file), each kept with its
// value so that start-up can look them up.
#pragma once

#include "classlib/cmdline.h"
#include "classlib/collections.h"

class CommandLineOptions : public CCommandLineInfo {
public:
    CommandLineOptions();

    // A switch is stored with the value "TRUE" and waits for a value. The plain
    // argument after it becomes its value; after "t" and "pref" that argument is used
    // up, after any other switch it still goes on to the library (a document named
    // after "ma" is opened).
    void ParseParam(const char* text, bool isSwitch, bool isLast) override;
    // Whether the option was given, and its value. Names are case-sensitive.
    bool Lookup(const char* name, CString& value) const;

private:
    CMapStringToString options_;
    CString lastSwitch_;
};

// The tool folder option's value as the program keeps it: a backslash is added only
// when the value holds none at all (a bare folder name beside the program).
CString ToolFolderFromOption(const CString& value);
