#include "ui/startup_dlg.h"
#include <cstring>
#include "framework/fw_controls.h"
#include "res/resource.h"
#include "ui/main_dlg.h"

namespace {
constexpr const char* kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kValueName = "VellumBox";
// The longest path, two quotes and the terminating zero.
constexpr size_t kQuotedSize = kPathSize + 2;

// The machine-wide Run key, open for `access` until it goes out of scope.
class RunKey {
public:
    explicit RunKey(REGSAM access)
        : status(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, access, &handle)) {
        if (status != ERROR_SUCCESS) handle = nullptr;
    }
    ~RunKey() {
        if (handle) ::RegCloseKey(handle);
    }
    RunKey(const RunKey&) = delete;
    RunKey& operator=(const RunKey&) = delete;

    explicit operator bool() const { return handle != nullptr; }
    HKEY get() const { return handle; }
    LONG Status() const { return status; }

private:
    HKEY handle = nullptr;
    LONG status;
};

// Whether `key` opened for writing. Access denied is the one failure the user is told of:
// since Vista the machine-wide key takes writes only from an elevated program, so Set and
// Clear would otherwise do nothing visible for almost everyone.
bool WritableOrSayWhy(const RunKey& key) {
    if (key) return true;
    if (key.Status() == ERROR_ACCESS_DENIED) {
        CString text;
        text.LoadString(IDS_STARTUP_NEEDS_ADMIN);
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    }
    return false;
}

// The registration text: the executable's path in double quotes. False when the owner is
// not the main window, whose path is the only one worth registering.
bool QuotedExePath(const CWnd& dlg, char (&text)[kQuotedSize]) {
    auto* main = dynamic_cast<CMainDlg*>(CDialog::FromHandle(dlg.GetParent()));
    if (!main) return false;
    size_t length = strnlen(main->exePath, sizeof main->exePath);
    if (length == 0 || length == sizeof main->exePath) return false;
    text[0] = '"';
    std::memcpy(text + 1, main->exePath, length);
    text[length + 1] = '"';
    text[length + 2] = '\0';
    return true;
}

// True when the Run key holds exactly `expected` as a REG_SZ under our name. The buffer
// takes the longest registration we can write, so our own value is always recognised.
bool HoldsRegistration(const char* expected) {
    RunKey key(KEY_QUERY_VALUE);
    if (!key) return false;
    char data[kQuotedSize];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (::RegQueryValueExA(key.get(), kValueName, nullptr, &type, reinterpret_cast<BYTE*>(data),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    size_t length = strnlen(data, size);
    return length == std::strlen(expected) && std::memcmp(data, expected, length) == 0;
}
}  // namespace

BEGIN_MESSAGE_MAP(CStartupDlg, CDialog)
ON_BN_CLICKED(IDC_STARTUP_SET, OnSetStartup)
ON_BN_CLICKED(IDC_STARTUP_CLEAR, OnClearStartup)
END_MESSAGE_MAP()

CStartupDlg::CStartupDlg(CWnd* parent) : CDialog(IDD_STARTUP, parent) {}

CStartupDlg::~CStartupDlg() = default;

void CStartupDlg::DoDataExchange(CDataExchange* dx) { CDialog::DoDataExchange(dx); }

BOOL CStartupDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (auto* main = dynamic_cast<CMainDlg*>(CDialog::FromHandle(GetParent())))
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(main->iconForChildren));

    char expected[kQuotedSize];
    bool registered = QuotedExePath(*this, expected) && HoldsRegistration(expected);
    ShowRegistered(registered);
    return TRUE;
}

// Registered machine-wide, the program acts for everyone who logs on on what its folder
// holds: when other users can change that, the user decides, warned, whether to go on.
bool TrustedOrAccepted(const CWnd& dlg) {
    auto* main = dynamic_cast<CMainDlg*>(CDialog::FromHandle(dlg.GetParent()));
    CString place = main ? main->PlaceOpenToOthers() : CString();
    if (place.IsEmpty()) return true;
    CString text;
    text.LoadString(IDS_STARTUP_FOLDER_OPEN);
    CString advice;
    advice.LoadString(IDS_STARTUP_FOLDER_ADVICE);
    text += "\n";
    text += place;
    text += "\n\n";
    text += advice;
    return AfxMessageBox(text, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void CStartupDlg::OnSetStartup() {
    char text[kQuotedSize];
    if (!QuotedExePath(*this, text)) return;
    RunKey key(KEY_SET_VALUE);
    if (!WritableOrSayWhy(key)) return;
    if (!TrustedOrAccepted(*this)) return;
    DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
    if (::RegSetValueExA(key.get(), kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                         size) == ERROR_SUCCESS)
        ShowRegistered(true);
}

void CStartupDlg::OnClearStartup() {
    RunKey key(KEY_SET_VALUE);
    if (!WritableOrSayWhy(key)) return;
    if (::RegDeleteValueA(key.get(), kValueName) == ERROR_SUCCESS) ShowRegistered(false);
}

void CStartupDlg::ShowRegistered(bool registered) {
    GetDlgItem(IDC_STARTUP_SET).EnableWindow(!registered);
    GetDlgItem(IDC_STARTUP_CLEAR).EnableWindow(registered);
}
