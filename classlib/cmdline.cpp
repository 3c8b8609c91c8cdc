#include "classlib/cmdline.h"

CCommandLineInfo::CCommandLineInfo() = default;

void CCommandLineInfo::ParseParam(const char* text, bool isSwitch, bool isLast) {
    classlib::ParseShellArgument(line_, text, isSwitch, isLast);
    m_bShowSplash = line_.showSplash;
    m_bRunEmbedded = line_.runEmbedded;
    m_bRunAutomated = line_.runAutomated;
    switch (line_.command) {
    case classlib::ShellCommand::FileNew: m_nShellCommand = FileNew; break;
    case classlib::ShellCommand::FileOpen: m_nShellCommand = FileOpen; break;
    case classlib::ShellCommand::FilePrint: m_nShellCommand = FilePrint; break;
    case classlib::ShellCommand::FilePrintTo: m_nShellCommand = FilePrintTo; break;
    case classlib::ShellCommand::FileDDE: m_nShellCommand = FileDDE; break;
    case classlib::ShellCommand::AppUnregister: m_nShellCommand = AppUnregister; break;
    case classlib::ShellCommand::FileNothing: m_nShellCommand = FileNothing; break;
    }
    m_strFileName = line_.fileName;
    m_strPrinterName = line_.printerName;
    m_strDriverName = line_.driverName;
    m_strPortName = line_.portName;
}
