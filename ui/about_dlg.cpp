#include "ui/about_dlg.h"
#include "framework/fw_app.h"
#include "res/resource.h"
#include "ui/main_dlg.h"
#include "ui/version_reader.h"

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* dx) { CDialog::DoDataExchange(dx); }

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // Created without a parent, the box is owned by the main window, which keeps the icon.
    if (auto* main = dynamic_cast<CMainDlg*>(CDialog::FromHandle(GetParent())))
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(main->iconForChildren));

    char exePath[260] = "";
    auto* main = dynamic_cast<CMainDlg*>(CDialog::FromHandle(GetParent()));
    if (main) {
        // The main window's path names this very file even where the code page cannot
        // hold a folder's name ("A" names best-fit, and could read another program's data).
        CopyPath(exePath, sizeof exePath, main->exePath);
    } else {
        HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
        DWORD length = ::GetModuleFileNameA(instance, exePath, sizeof exePath);
        // A truncated name is not the file's name: read nothing rather than another file.
        if (length == 0 || length >= sizeof exePath) exePath[0] = '\0';
    }

    CString company, internalName, copyright, version;
    {
        VersionReader reader(exePath);
        company = reader.GetCompanyName();
        internalName = reader.GetInternalName();
        copyright = reader.GetLegalCopyright();
        version = reader.GetProductVersion();
    }
    SetDlgItemText(IDC_INTERNAL_NAME, internalName);
    SetDlgItemText(IDC_VERSION, CString("Ver. ") + version);
    SetDlgItemText(IDC_COPYRIGHT, copyright);
    SetDlgItemText(IDC_COMPANY, company);
    return TRUE;
}
