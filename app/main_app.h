// The application object: single-instance guard and the main window's whole life.
#pragma once
#include "framework/fw_app.h"

class CMainApp : public CWinApp {
public:
    CMainApp();

    CString cmdLine;         // argument part of the command line, once the guard passed
    HANDLE mutex = nullptr;  // the guard's handle, stored whether or not the guard passed

    BOOL InitInstance() override;
    int ExitInstance() override;
};

// EnumWindows callback: brings the first window marked "VellumBox" forward.
BOOL CALLBACK FindRunningCopyProc(HWND hwnd, LPARAM lParam);
