#include "app/main_app.h"
#include "framework/fw_system.h"
#include "model/window_rules.h"
#include "ui/main_dlg.h"

CMainApp theApp;

namespace {
// The Japanese texts exist only in code page 932. Under any other ANSI code page they
// would reach the program as "????" whatever the display language, so every resource is
// then taken in English. Under 932 the system's language settings pick, as always.
void ChooseResourceLanguage() {
    if (::GetACP() == 932) return;
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    AfxSetResourceLanguage(english);
    // The system's own texts on this thread (message-box buttons, common dialogs) follow
    // where Windows has a thread UI language of its own (Vista and later, recognised by
    // its preferred-languages list). XP's function of that name takes only 0, and would
    // change the thread locale, so it is left alone there.
    using SetUiLanguage = LANGID(WINAPI*)(LANGID);
    if (SystemProc<FARPROC>("kernel32.dll", "SetThreadPreferredUILanguages")) {
        if (auto setUi = SystemProc<SetUiLanguage>("kernel32.dll", "SetThreadUILanguage"))
            setUi(english);
    }
}
}  // namespace

CMainApp::CMainApp() : CWinApp(nullptr) {}

BOOL CMainApp::InitInstance() {
    mutex = ::CreateMutexA(nullptr, TRUE, kMarkerName);
    if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another copy runs (or the guard cannot be made): show that copy instead.
        ::EnumWindows(FindRunningCopyProc, 0);
        if (IsQuietSwitch(m_lpCmdLine)) exitCode = ExitCodeOf(QuietEnd::AlreadyRunning);
        return FALSE;
    }
    cmdLine = m_lpCmdLine;
    ChooseResourceLanguage();

    CMainDlg dlg(cmdLine);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    exitCode = dlg.ExitCode();
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
