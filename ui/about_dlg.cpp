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

    // In UTF-16, then exactly or by its short form: the "A" name best-fits a folder the
    // code page cannot hold, and would read another file's version. A truncated name is not
    // the file's name either: read nothing rather than another file.
    char exePath[260] = "";
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    wchar_t wide[MAX_PATH] = L"";
    DWORD length = ::GetModuleFileNameW(instance, wide, MAX_PATH);
    std::string ansi;
    if (length > 0 && length < MAX_PATH && !WideToAnsiExactly(wide, ansi)) {
        wchar_t brief[MAX_PATH] = L"";
        DWORD n = ::GetShortPathNameW(wide, brief, MAX_PATH);
        if (n == 0 || n >= MAX_PATH || !WideToAnsiExactly(brief, ansi)) ansi.clear();
    }
    if (ansi.size() < sizeof exePath) CopyPath(exePath, sizeof exePath, ansi.c_str());

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
