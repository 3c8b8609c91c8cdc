// The command line as the application's start-up reads it.
#pragma once

#include "classlib/portable/shell_command_line.h"
#include "classlib/runtime_class.h"
#include "classlib/str.h"

class CCommandLineInfo : public CObject {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 };

    CCommandLineInfo();
    // One argument of the command line: isSwitch when it began with "/" or "-"
    // (text is what follows), isLast for the last one.
    virtual void ParseParam(const char* text, bool isSwitch, bool isLast);

    bool m_bShowSplash = true;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

private:
    classlib::ShellCommandLine line_;
};
