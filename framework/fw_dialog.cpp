#include "framework/fw_dialog.h"
#include "framework/fw_app.h"

namespace {
// The dialog being created: messages that arrive before WM_INITDIALOG (WM_SETFONT, ...)
// already need their object. Dialogs live on the one thread of the program.
CDialog* creatingDialog = nullptr;

// Owner for a window created without a parent: the main window's active pop-up.
HWND SafeOwner(const CWnd* self) {
    CWnd* main = AfxGetMainWnd();
    if (!main || main == self || !main->m_hWnd || !::IsWindow(main->m_hWnd)) return nullptr;
    return ::GetLastActivePopup(main->m_hWnd);
}

// Messages whose result a dialog procedure returns directly instead of through
// DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}
}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog* CDialog::FromHandle(HWND hwnd) {
    if (!hwnd || ::GetWindowLongPtrA(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&DialogProc))
        return nullptr;
    return reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
}

INT_PTR CDialog::DoModal() {
    HINSTANCE inst = AfxGetResourceHandle();
    HRSRC res = AfxFindResource(MAKEINTRESOURCEA(m_templateId), MAKEINTRESOURCEA(5));
    HGLOBAL loaded = res ? ::LoadResource(inst, res) : nullptr;
    auto* tmpl = loaded ? static_cast<LPCDLGTEMPLATEA>(::LockResource(loaded)) : nullptr;
    if (!tmpl) return -1;

    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : SafeOwner(this);
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);

    continueModal = true;
    modalResult = -1;
    CDialog* const outer = creatingDialog;  // a dialog opened while another is created
    creatingDialog = this;
    HWND hwnd =
        ::CreateDialogIndirectParamA(inst, tmpl, owner, DialogProc, reinterpret_cast<LPARAM>(this));
    creatingDialog = outer;

    if (hwnd) {
        if (continueModal) RunModalLoop();
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    if (owner && hwnd && ::GetActiveWindow() == hwnd) ::SetActiveWindow(owner);
    if (hwnd) ::DestroyWindow(hwnd);
    m_hWnd = nullptr;
    if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this) AfxGetApp()->m_pMainWnd = nullptr;
    return modalResult;
}

void CDialog::RunModalLoop() {
    bool showPending = (::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE) == 0;
    MSG msg;
    while (continueModal) {
        if (showPending && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // First time the queue runs empty: show the dialog, once.
            showPending = false;
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
            // The focus that initialisation asked for, now that there is a window to see.
            // A dialog that kept itself hidden takes it when it is activated later.
            if (focusPending && ::IsWindowVisible(m_hWnd) && ::GetActiveWindow() == m_hWnd) {
                HWND first = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
                if (first)
                    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
            }
            focusPending = false;
            ::UpdateWindow(m_hWnd);
            continue;
        }
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // Leave WM_QUIT for an outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!::IsDialogMessageA(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void CDialog::EndDialog(int result) {
    modalResult = result;
    continueModal = false;
    // Wake the loop in case it is waiting.
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::CenterOnOwner() {
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    RECT area;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    int w = rc.right - rc.left;
    int h = rc.bottom - rc.top;
    int x = area.left + ((area.right - area.left) - w) / 2;
    int y = area.top + ((area.bottom - area.top) - h) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CDialog::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    // DefDlgProc first calls our dialog procedure again; let that call fall through.
    defaultPending = true;
    LRESULT r = ::DefDlgProcA(m_hWnd, msg, wp, lp);
    defaultPending = false;
    return r;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* dlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!dlg) {
        dlg = msg == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lp) : creatingDialog;
        if (!dlg) return FALSE;
        dlg->m_hWnd = hwnd;
        ::SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dlg));
    }
    if (dlg->defaultPending) {
        dlg->defaultPending = false;
        return FALSE;
    }
    return dlg->HandleMessage(msg, wp, lp);
}

INT_PTR CDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        current = {msg, wp, lp};
        BOOL focusDefault = OnInitDialog();
        // Dialog templates sit at (0, 0); place them as the user expects.
        if (continueModal) CenterOnOwner();
        // Setting the focus activates the window, and a hidden window must not hold the
        // keyboard: a dialog that is not visible yet gets its focus when it is shown.
        if (focusDefault && !::IsWindowVisible(m_hWnd)) {
            focusPending = true;
            return FALSE;
        }
        return focusDefault;
    }
    LRESULT result = 0;
    if (!DispatchToMap(msg, wp, lp, result)) return FALSE;
    if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
