// Common ground of the class library: the Windows headers in the form the library
// uses them (ANSI texts, no min/max macros), debug checks and forward declarations.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <dde.h>

#include <cstddef>
#include <cstdint>

#ifdef _DEBUG
#define ASSERT(f) ((f) ? (void)0 : ::DebugBreak())
#else
#define ASSERT(f) ((void)0)
#endif
#define VERIFY(f) ((void)(f))

// An opaque iterator position of the lists and maps.
struct __POSITION {};
typedef __POSITION* POSITION;

class CObject;
class CCmdTarget;
class CCmdUI;
class CWnd;
class CDC;
class CMenu;
class CFrameWnd;
class CMDIFrameWnd;
class CMDIChildWnd;
class CView;
class CDocument;
class CDocTemplate;
class CDocManager;
class CWinThread;
class CWinApp;
class CControlBar;
struct CCreateContext;
struct CPrintInfo;

HINSTANCE ModuleInstance();
HINSTANCE ResourceModule();
void SetResourceModule(HINSTANCE instance);
