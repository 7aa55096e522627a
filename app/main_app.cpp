#include "app/main_app.h"
#include "ui/main_dlg.h"

CMainApp theApp;

CMainApp::CMainApp() : CWinApp(nullptr) {}

BOOL CMainApp::InitInstance() {
    mutex = ::CreateMutexA(nullptr, TRUE, kMarkerName);
    if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another copy runs (or the guard cannot be made): show that copy instead.
        ::EnumWindows(FindRunningCopyProc, 0);
        return FALSE;
    }
    cmdLine = m_lpCmdLine;

    CMainDlg dlg(cmdLine);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // No message loop of our own: the process lives as long as the main window.
    return FALSE;
}

int CMainApp::ExitInstance() {
    if (mutex) {
        ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
    }
    return CWinApp::ExitInstance();
}

BOOL CALLBACK FindRunningCopyProc(HWND hwnd, LPARAM) {
    if (!::GetPropA(hwnd, kMarkerName)) return TRUE;
    // Asked before the show: restoring a minimised window activates it, and then it,
    // not its open dialog, would count as the last active pop-up.
    HWND popup = ::GetLastActivePopup(hwnd);
    ::ShowWindow(hwnd, ::IsIconic(hwnd) ? SW_RESTORE : SW_SHOWNORMAL);
    ::SetForegroundWindow(popup);
    return FALSE;
}
