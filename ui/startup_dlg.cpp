#include "ui/startup_dlg.h"
#include <cstring>
#include <cwchar>
#include "framework/fw_controls.h"
#include "framework/fw_system.h"
#include "model/system_rules.h"
#include "res/resource.h"
#include "ui/main_dlg.h"

namespace {
constexpr const char* kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kValueName = "VellumBox";
constexpr const wchar_t* kValueNameW = L"VellumBox";
// The longest path, two quotes and the terminating zero.
constexpr size_t kQuotedSize = kPathSize + 2;

// The registry views of the Run key for this process: on 64-bit Windows both builds use
// the 64-bit one (a 32-bit process's "HKLM\SOFTWARE" is redirected to WOW6432Node, so each
// build would otherwise see only its own registration).
RegistryViews Views() { return RunKeyViews(sizeof(void*) == 8, UnderWow64()); }

enum class IfMissing { Fail, Create };

// The machine-wide Run key in one view, open for `access` until it goes out of scope.
class RunKey {
public:
    RunKey(REGSAM access, unsigned view, IfMissing missing = IfMissing::Fail)
        : status(missing == IfMissing::Create
                     ? ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, access | view, nullptr,
                                         &handle, nullptr)
                     : ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, access | view,
                                       &handle)) {
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
bool WritableOrSayWhy(const RunKey& key, UINT deniedTextId) {
    if (key) return true;
    if (key.Status() == ERROR_ACCESS_DENIED) MsgBox(MB_OK | MB_ICONEXCLAMATION, deniedTextId);
    return false;
}

// The registration text: the executable's path in double quotes. In the ANSI code page
// when it holds the path exactly, else in UTF-16, so that the value always names this
// program (a best-fit or short form could name another file, or none).
struct Registration {
    bool wide = false;
    char ansi[kQuotedSize] = "";
    WideText text;
};

// False when the owner is not the main window, whose path is the only one worth
// registering.
bool RegistrationOf(const CWnd& dlg, Registration& reg) {
    auto* main = dynamic_cast<CMainDlg*>(CDialog::FromHandle(dlg.GetParent()));
    if (!main) return false;
    if (!main->exePathExact) {
        if (main->exePathW.empty() || main->exePathW[0] == L'\0') return false;
        reg.wide = true;
        reg.text.assign(1, L'"');
        reg.text.push_back(L'\0');
        AppendWide(reg.text, main->exePathW.data());
        AppendWide(reg.text, L"\"");
        return true;
    }
    size_t length = strnlen(main->exePath, sizeof main->exePath);
    if (length == 0 || length == sizeof main->exePath) return false;
    reg.ansi[0] = '"';
    std::memcpy(reg.ansi + 1, main->exePath, length);
    reg.ansi[length + 1] = '"';
    reg.ansi[length + 2] = '\0';
    return true;
}

// True when `key` holds exactly the registration as a REG_SZ under our name. The buffer
// takes the longest registration we can write, so our own value is always recognised.
bool HoldsRegistration(HKEY key, const Registration& reg) {
    DWORD type = REG_NONE;
    if (reg.wide) {
        WideText data(reg.text.size() + 1, L'\0');
        DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        if (::RegQueryValueExW(key, kValueNameW, nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            return false;
        size_t length = wcsnlen(data.data(), size / sizeof(wchar_t));
        return length + 1 == reg.text.size() &&
               std::wmemcmp(data.data(), reg.text.data(), length) == 0;
    }
    char data[kQuotedSize];
    DWORD size = sizeof data;
    if (::RegQueryValueExA(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    size_t length = strnlen(data, size);
    return length == std::strlen(reg.ansi) && std::memcmp(data, reg.ansi, length) == 0;
}

bool HoldsRegistration(unsigned view, const Registration& reg) {
    RunKey key(KEY_QUERY_VALUE, view);
    return key && HoldsRegistration(key.get(), reg);
}

bool WriteRegistration(HKEY key, const Registration& reg) {
    if (reg.wide)
        return ::RegSetValueExW(
                   key, kValueNameW, 0, REG_SZ, reinterpret_cast<const BYTE*>(reg.text.data()),
                   static_cast<DWORD>(reg.text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    DWORD size = static_cast<DWORD>(std::strlen(reg.ansi) + 1);
    return ::RegSetValueExA(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(reg.ansi),
                            size) == ERROR_SUCCESS;
}

// Removes the value of the other view when it names this program: registered there by the
// other build, it would start the program a second time at log-on. Another program's value
// of our name is left alone.
bool RemoveOtherViewsRegistration(const Registration& reg) {
    const RegistryViews views = Views();
    if (!views.hasOther) return false;
    RunKey key(KEY_QUERY_VALUE | KEY_SET_VALUE, views.other);
    return key && HoldsRegistration(key.get(), reg) &&
           ::RegDeleteValueA(key.get(), kValueName) == ERROR_SUCCESS;
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

    const RegistryViews views = Views();
    Registration reg;
    bool registered =
        RegistrationOf(*this, reg) && (HoldsRegistration(views.main, reg) ||
                                       (views.hasOther && HoldsRegistration(views.other, reg)));
    ShowRegistered(registered);
    return TRUE;
}

// Registered machine-wide, the program acts for everyone who logs on on what its folder
// holds: when other users can change that, the user decides, warned, whether to go on.
bool TrustedOrAccepted(const CWnd& dlg) {
    auto* main = dynamic_cast<CMainDlg*>(CDialog::FromHandle(dlg.GetParent()));
    CString place = main ? main->PlaceOpenToOthers() : CString();
    if (place.IsEmpty()) return true;
    return MsgBox(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, IDS_STARTUP_FOLDER_OPEN, place,
                  IDS_STARTUP_FOLDER_ADVICE) == IDYES;
}

void CStartupDlg::OnSetStartup() {
    Registration reg;
    if (!RegistrationOf(*this, reg)) return;
    // Windows has the key from its installation, but a system without it (a fresh 32-bit
    // Wine prefix has none) would otherwise register nowhere, without a word.
    RunKey key(KEY_SET_VALUE, Views().main, IfMissing::Create);
    if (!WritableOrSayWhy(key, IDS_STARTUP_NEEDS_ADMIN)) return;
    if (!TrustedOrAccepted(*this)) return;
    // The other view's value first: where both views are one key (one with no 32-bit
    // counterpart), removing it after the write would remove the registration just written.
    RemoveOtherViewsRegistration(reg);
    if (!WriteRegistration(key.get(), reg)) return;
    ShowRegistered(true);
}

void CStartupDlg::OnClearStartup() {
    RunKey key(KEY_SET_VALUE, Views().main);
    if (!WritableOrSayWhy(key, IDS_STARTUP_CLEAR_NEEDS_ADMIN)) return;
    bool cleared = ::RegDeleteValueA(key.get(), kValueName) == ERROR_SUCCESS;
    Registration reg;
    if (RegistrationOf(*this, reg) && RemoveOtherViewsRegistration(reg)) cleared = true;
    if (cleared) ShowRegistered(false);
}

void CStartupDlg::ShowRegistered(bool registered) {
    GetDlgItem(IDC_STARTUP_SET).EnableWindow(!registered);
    GetDlgItem(IDC_STARTUP_CLEAR).EnableWindow(registered);
}
