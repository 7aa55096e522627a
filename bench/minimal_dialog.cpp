// The smallest honest peer for a dialog-based program: one modal dialog from a template.
// Without arguments it closes itself from WM_INITDIALOG, before it is ever shown, the
// way the quiet start does; with "/show" it stays up until something sends WM_CLOSE.
// Built with VB_OUR_IMPORTS (and the program's manifest linked in), it also loads and
// initialises the DLLs that VellumBox loads at start, as VellumBox does: the floor of a
// start with our imports.
#include <windows.h>
#include <cstring>
#ifdef VB_OUR_IMPORTS
#include <commctrl.h>
#endif

namespace {

bool g_stay = false;

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        if (!g_stay) SendMessageW(hwnd, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(hwnd, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
    g_stay = std::strcmp(cmdLine, "/show") == 0;
#ifdef VB_OUR_IMPORTS
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    HKEY key;  // advapi32, which the program reads its start-up registration with
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key) == ERROR_SUCCESS)
        RegCloseKey(key);
#endif
    DialogBoxParamW(instance, MAKEINTRESOURCEW(100), nullptr, DialogProc, 0);
    return 0;
}
