// The application object: one global object derived from CWinApp. The framework's
// WinMain calls InitInstance; FALSE skips the message loop, then ExitInstance's result
// is the exit status.
#pragma once
#include <windows.h>
#include "framework/fw_string.h"

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return exitCode; }
    // The message loop for applications whose InitInstance returns TRUE.
    virtual int Run();

    HINSTANCE m_hInstance = nullptr;
    const char* m_lpCmdLine = "";  // argument part of the command line
    int m_nCmdShow = SW_SHOWNORMAL;
    CString m_appName;  // title of message boxes
    // Owner of every dialog and message box created without a parent.
    CWnd* m_pMainWnd = nullptr;

protected:
    int exitCode = 0;

private:
    friend int RunApplication(HINSTANCE, int);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetResourceHandle();
const char* AfxGetAppName();
// The executable's path in UTF-16; empty when the system gives none whole.
WideText ModulePathW();

// Language of the resources that CString::LoadString and CDialog::DoModal load. 0 (the
// start) lets the system pick by its language settings; a language (MAKELANGID) is used
// wherever a resource exists in it, and the system's pick only where it does not.
void AfxSetResourceLanguage(LANGID language);
LANGID AfxGetResourceLanguage();
// Resource `name` of `type` from the resource module, in that language; null if absent.
HRSRC AfxFindResource(LPCSTR name, LPCSTR type);

// Called by WinMain; separate so tests can start an application object themselves.
int RunApplication(HINSTANCE instance, int showCmd);
