#include "framework/fw_app.h"
#include <commctrl.h>
#include "framework/command_line.h"

namespace {
CWinApp* theApp = nullptr;
LANGID resourceLanguage = 0;

// The executable's file name without folder and extension.
CString ExecutableBaseName() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[MAX_PATH - 1] = '\0';
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (IsLeadByteAcp(static_cast<unsigned char>(*p)) && p[1]) {
            ++p;
        } else if (*p == '\\' || *p == '/' || *p == ':') {
            name = p + 1;
        }
    }
    std::string base(name);
    size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.resize(dot);
    return CString(base);
}
}  // namespace

CWinApp::CWinApp(const char* appName) {
    theApp = this;
    if (appName) m_appName = appName;
}

CWinApp::~CWinApp() {
    if (theApp == this) theApp = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    exitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

CWinApp* AfxGetApp() { return theApp; }
CWnd* AfxGetMainWnd() { return theApp ? theApp->m_pMainWnd : nullptr; }
HINSTANCE AfxGetResourceHandle() {
    return theApp && theApp->m_hInstance ? theApp->m_hInstance : ::GetModuleHandleA(nullptr);
}
const char* AfxGetAppName() {
    // Without a title of its own the program is named after its executable.
    static CString fallback;
    if (theApp && !theApp->m_appName.IsEmpty()) return theApp->m_appName.c_str();
    if (fallback.IsEmpty()) fallback = ExecutableBaseName();
    return fallback.c_str();
}

void AfxSetResourceLanguage(LANGID language) { resourceLanguage = language; }
LANGID AfxGetResourceLanguage() { return resourceLanguage; }

HRSRC AfxFindResource(LPCSTR name, LPCSTR type) {
    HINSTANCE inst = AfxGetResourceHandle();
    if (resourceLanguage != 0) {
        if (HRSRC res = ::FindResourceExA(inst, type, name, resourceLanguage)) return res;
    }
    return ::FindResourceA(inst, name, type);
}

int RunApplication(HINSTANCE instance, int showCmd) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_hInstance = instance;
    app->m_nCmdShow = showCmd;
    app->m_lpCmdLine = ArgumentPart(::GetCommandLineA(), IsLeadByteAcp);
    if (app->m_appName.IsEmpty()) app->m_appName = ExecutableBaseName();

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}

WideText ModulePathW() {
    WideText path(32768, L'\0');
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    // XP leaves a cut path unterminated and returns the buffer's size.
    if (n == 0 || n >= path.size()) return WideText(1, L'\0');
    path.resize(n + 1);
    path[n] = L'\0';
    return path;
}
