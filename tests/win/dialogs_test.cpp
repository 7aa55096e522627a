// The About box, VersionReader and the start-up registration dialog, in-process under Wine.
// Dialogs are opened without a parent while a stand-in main window runs, as the program
// does, and are driven by thread timers from inside their own modal loops.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <sddl.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>
#include "framework/fw_app.h"
#include "framework/fw_system.h"
#include "res/resource.h"
#include "tests/win/message_box_answer.h"
#include "engine/write_access.h"
#include "ui/about_dlg.h"
#include "ui/main_dlg.h"
#include "ui/startup_dlg.h"
#include "ui/version_reader.h"

namespace {
CWinApp testApp("VellumBox");

const char* const kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// The 64-bit view, where both programs register: this test may be a 32-bit process.
// Windows without views ignores the flag.
constexpr REGSAM kMainView = KEY_WOW64_64KEY;
const char* const kExePath = "C:\\Program Files\\VellumBox\\VellumBox.exe";

std::string OwnFolder() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string SamplePath(const std::string& name) { return OwnFolder() + "sample_" + name + ".dll"; }

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// A main window with none of the real one's behaviour: it only owns the dialog under
// test and carries the members that dialog reads.
class StandInMain : public CMainDlg {
public:
    const MessageMap* GetMessageMap() const override { return CDialog::GetThisMessageMap(); }
    std::function<void()> whileOpen;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        running = this;
        ::SetTimer(nullptr, 0, 1, &StandInMain::Opened);
        return TRUE;
    }
    void DoDataExchange(CDataExchange*) override {}
    void OnOK() override { EndDialog(IDOK); }
    void OnCancel() override { EndDialog(IDCANCEL); }

private:
    static inline StandInMain* running = nullptr;
    static void CALLBACK Opened(HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        running->whileOpen();
        running->EndDialog(IDOK);
    }
};

// Runs `dlg` modally and hands its window to `inside` once its loop runs; then presses
// the default button (Close / OK), as a user would.
CDialog* drivenDialog = nullptr;
const std::function<void(HWND)>* driverBody = nullptr;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    HWND hwnd = drivenDialog->m_hWnd;
    (*driverBody)(hwnd);
    ::PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, IDOK)));
}

INT_PTR RunDialog(CDialog& dlg, const std::function<void(HWND)>& inside) {
    drivenDialog = &dlg;
    driverBody = &inside;
    ::SetTimer(nullptr, 0, 1, DriveDialog);
    return dlg.DoModal();
}

HICON ChildIcon() {
    static HICON icon = static_cast<HICON>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 32, 32, 0));
    return icon;
}

// Opens `dlg` without a parent from inside a running main window whose exePath is
// `exePath`; `instance`, when given, is the application's instance while `dlg` runs.
// `widePath`, when given, is the path as the system gave it, which the code page cannot
// hold (exePath then holds its short form).
void RunFromMain(CDialog& dlg, const std::string& exePath, const std::function<void(HWND)>& inside,
                 HINSTANCE instance = nullptr, const wchar_t* widePath = nullptr) {
    StandInMain main;
    ASSERT_LT(exePath.size(), sizeof main.exePath);
    std::copy(exePath.begin(), exePath.end(), main.exePath);
    main.exePath[exePath.size()] = '\0';
    main.exePathExact = widePath == nullptr;
    main.exePathW =
        widePath ? WideText(widePath, widePath + wcslen(widePath) + 1) : AnsiToWide(main.exePath);
    main.iconForChildren = ChildIcon();
    bool ran = false;
    main.whileOpen = [&] {
        HINSTANCE own = testApp.m_hInstance;
        if (instance) testApp.m_hInstance = instance;
        RunDialog(dlg, [&](HWND hwnd) {
            ran = true;
            EXPECT_EQ(::GetParent(hwnd), main.m_hWnd) << "owned by the main window";
            inside(hwnd);
        });
        testApp.m_hInstance = own;
    };
    testApp.m_pMainWnd = &main;
    main.DoModal();
    testApp.m_pMainWnd = nullptr;
    EXPECT_TRUE(ran) << "the dialog never ran";
}

HICON BigIcon(HWND hwnd) {
    return reinterpret_cast<HICON>(::SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
}

std::string ItemText(HWND dlg, int id) {
    char text[256] = "";
    ::GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

// ---------------------------------------------------------------------------------------
// VersionReader and the About box

struct VersionCase {
    const char* file;  // sample name, or null for this test program's own file
    const char* company;
    const char* internalName;
    const char* copyright;
    const char* productVersion;
};

TEST(VersionReader, ReadsUnderTheFirstTranslationOnly) {
    const VersionCase cases[] = {
        {nullptr, "VellumBox Project", "VellumBox", "(C) 2026 VellumBox", "1, 0, 1, 2"},
        {"no_version", "", "", "", ""},
        {"other_translation", "First Company", "FirstName", "First Copyright", "2, 3, 4, 5"},
        {"unmatched_block", "", "", "", ""},
        {"empty_value", "", "EmptyCompany", "", "3, 0, 0, 1"},
        {"no_translation", "", "", "", ""},
        {"missing_file", "", "", "", ""},
    };
    for (const VersionCase& c : cases) {
        char own[MAX_PATH] = "";
        ::GetModuleFileNameA(nullptr, own, MAX_PATH);
        std::string path = c.file ? SamplePath(c.file) : own;
        SCOPED_TRACE(path);
        if (c.file && std::string(c.file) != "missing_file") {
            ASSERT_NE(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
        }
        VersionReader reader(path.c_str());
        EXPECT_STREQ(reader.GetCompanyName(), c.company);
        EXPECT_STREQ(reader.GetInternalName(), c.internalName);
        EXPECT_STREQ(reader.GetLegalCopyright(), c.copyright);
        EXPECT_STREQ(reader.GetProductVersion(), c.productVersion);
    }
}

TEST(AboutDialog, ShowsTheProgramsOwnVersionAndIcon) {
    testApp.m_hInstance = ::GetModuleHandleA(nullptr);
    CAboutDlg about;
    RunFromMain(about, kExePath, [](HWND dlg) {
        EXPECT_EQ(ItemText(dlg, IDC_INTERNAL_NAME), "VellumBox");
        EXPECT_EQ(ItemText(dlg, IDC_VERSION), "Ver. 1, 0, 1, 2");
        EXPECT_EQ(ItemText(dlg, IDC_COPYRIGHT), "(C) 2026 VellumBox");
        EXPECT_EQ(ItemText(dlg, IDC_COMPANY), "VellumBox Project");
        EXPECT_EQ(BigIcon(dlg), ChildIcon());
    });
}

TEST(AboutDialog, FileWithoutVersionLeavesVerAlone) {
    HMODULE module = ::LoadLibraryA(SamplePath("no_version").c_str());
    ASSERT_NE(module, nullptr);
    // The application's instance decides both the template and the file that is read.
    CAboutDlg about;
    RunFromMain(
        about, kExePath,
        [](HWND dlg) {
            EXPECT_EQ(ItemText(dlg, IDC_INTERNAL_NAME), "");
            EXPECT_EQ(ItemText(dlg, IDC_VERSION), "Ver. ");
            EXPECT_EQ(ItemText(dlg, IDC_COPYRIGHT), "");
            EXPECT_EQ(ItemText(dlg, IDC_COMPANY), "");
        },
        module);
    ::FreeLibrary(module);
}

// ---------------------------------------------------------------------------------------
// Start-up registration

struct RegValue {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
    bool operator==(const RegValue& o) const {
        return std::tie(name, type, data) == std::tie(o.name, o.type, o.data);
    }
};

// Every value of the Run key, read without conversion.
std::vector<RegValue> RunValues() {
    std::vector<RegValue> values;
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_QUERY_VALUE | kMainView, &key) != 0)
        return values;
    DWORD count = 0, longestName = 0, largestData = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longestName, &largestData, nullptr, nullptr);
    std::vector<wchar_t> name(longestName + 1);
    std::vector<BYTE> data(largestData + 1);
    for (DWORD i = 0; i < count; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (::RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
            0)
            break;
        values.push_back({std::wstring(name.data(), nameLength), type,
                          std::vector<BYTE>(data.begin(), data.begin() + size)});
    }
    ::RegCloseKey(key);
    return values;
}

std::vector<RegValue> OtherRunValues() {
    std::vector<RegValue> values = RunValues();
    values.erase(std::remove_if(
                     values.begin(), values.end(),
                     [](const RegValue& v) { return _wcsicmp(v.name.c_str(), L"VellumBox") == 0; }),
                 values.end());
    return values;
}

void WriteValue(const char* name, DWORD type, const std::string& text) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, nullptr, 0,
                                KEY_SET_VALUE | kMainView, nullptr, &key, nullptr),
              0);
    EXPECT_EQ(::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>(text.size() + 1)),
              0);
    ::RegCloseKey(key);
}

void DeleteValue(const char* name) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_SET_VALUE | kMainView, &key) != 0)
        return;
    ::RegDeleteValueA(key, name);
    ::RegCloseKey(key);
}

// The value "VellumBox" as the ANSI functions return it; `present` false when missing.
struct AnsiValue {
    bool present = false;
    DWORD type = 0;
    DWORD size = 0;
    std::string bytes;
};

AnsiValue ReadOurValue() {
    AnsiValue v;
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_QUERY_VALUE | kMainView, &key) != 0)
        return v;
    char data[1024];
    v.size = sizeof data;
    if (::RegQueryValueExA(key, "VellumBox", nullptr, &v.type, reinterpret_cast<BYTE*>(data),
                           &v.size) == 0) {
        v.present = true;
        v.bytes.assign(data, v.size);
    }
    ::RegCloseKey(key);
    return v;
}

// Checks that the value is exactly `text` as REG_SZ with one terminating zero.
void ExpectRegistration(const std::string& text) {
    AnsiValue v = ReadOurValue();
    ASSERT_TRUE(v.present);
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(v.size, text.size() + 1);
    EXPECT_EQ(v.bytes, text + std::string(1, '\0'));
}

// What Wine's reg.exe reports for the value: its exit status and output.
std::pair<int, std::string> RegExeQuery() {
    FILE* pipe = _popen("reg query \"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\""
                        " /v VellumBox /reg:64 2>&1",
                        "r");
    if (!pipe) return {-1, ""};
    std::string out;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe)) out += chunk;
    return {_pclose(pipe), out};
}

struct Buttons {
    bool set;
    bool clear;
    bool operator==(const Buttons& o) const { return set == o.set && clear == o.clear; }
};
std::ostream& operator<<(std::ostream& os, const Buttons& b) {
    return os << "{set " << (b.set ? "on" : "off") << ", clear " << (b.clear ? "on" : "off") << "}";
}
constexpr Buttons kNotRegistered = {true, false};
constexpr Buttons kRegistered = {false, true};

Buttons ReadButtons(HWND dlg) {
    return {::IsWindowEnabled(::GetDlgItem(dlg, IDC_STARTUP_SET)) != FALSE,
            ::IsWindowEnabled(::GetDlgItem(dlg, IDC_STARTUP_CLEAR)) != FALSE};
}

void Click(HWND dlg, int id) {
    ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dlg, id)));
}

// Opens the dialog for `exePath`, checks the buttons it opens with, optionally clicks one
// and returns the buttons after the click.
Buttons OpenStartup(const std::string& exePath, Buttons expectedOnOpen, int click = 0,
                    const wchar_t* widePath = nullptr) {
    Buttons after = {false, false};
    CStartupDlg dlg;
    RunFromMain(
        dlg, exePath,
        [&](HWND hwnd) {
            EXPECT_EQ(ReadButtons(hwnd), expectedOnOpen);
            EXPECT_EQ(BigIcon(hwnd), ChildIcon());
            if (click) Click(hwnd, click);
            after = ReadButtons(hwnd);
        },
        nullptr, widePath);
    return after;
}

// Saves the value "VellumBox" and the rest of the Run key, and puts them back afterwards:
// Wine starts whatever stays registered.
class StartupRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        for (const RegValue& v : RunValues())
            if (_wcsicmp(v.name.c_str(), L"VellumBox") == 0) saved.push_back(v);
        others = OtherRunValues();
        DeleteValue("VellumBox");
    }
    void TearDown() override {
        DeleteValue("VellumBox");
        for (const RegValue& v : saved) {
            HKEY key;
            if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_SET_VALUE | kMainView,
                                &key) == 0) {
                ::RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(),
                                 static_cast<DWORD>(v.data.size()));
                ::RegCloseKey(key);
            }
        }
        EXPECT_EQ(OtherRunValues(), others) << "other values under the Run key changed";
    }

    std::vector<RegValue> saved;
    std::vector<RegValue> others;
};

TEST_F(StartupRegistration, SetRegistersAndClearRemovesOnlyOurValue) {
    WriteValue("VellumBox2", REG_SZ, "\"C:\\Other\\Tool.exe\"");
    WriteValue("VellumBo", REG_SZ, "neighbour");
    std::vector<RegValue> neighbours = OtherRunValues();

    EXPECT_EQ(OpenStartup(kExePath, kNotRegistered, IDC_STARTUP_SET), kRegistered);
    ExpectRegistration(Quoted(kExePath));
    auto [status, out] = RegExeQuery();
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("REG_SZ"), std::string::npos) << out;
    EXPECT_NE(out.find(Quoted(kExePath)), std::string::npos) << out;

    // Closing without a click changes nothing; the next opening sees the registration.
    EXPECT_EQ(OpenStartup(kExePath, kRegistered), kRegistered);
    ExpectRegistration(Quoted(kExePath));

    EXPECT_EQ(OpenStartup(kExePath, kRegistered, IDC_STARTUP_CLEAR), kNotRegistered);
    EXPECT_FALSE(ReadOurValue().present);
    EXPECT_EQ(RegExeQuery().first, 1) << "reg.exe still finds the value";
    EXPECT_EQ(OtherRunValues(), neighbours);
    EXPECT_EQ(OpenStartup(kExePath, kNotRegistered), kNotRegistered);

    DeleteValue("VellumBox2");
    DeleteValue("VellumBo");
}

TEST_F(StartupRegistration, ForeignValuesCountAsNotRegisteredAndSetReplacesThem) {
    struct Foreign {
        const char* what;
        DWORD type;
        std::string data;
    };
    const Foreign cases[] = {
        {"without quotes", REG_SZ, kExePath},
        {"other letter case", REG_SZ, "\"c:\\program files\\vellumbox\\vellumbox.exe\""},
        {"expandable string", REG_EXPAND_SZ, Quoted(kExePath)},
        {"with an argument", REG_SZ, Quoted(kExePath) + " /quiet"},
        {"longer than any registration", REG_SZ, Quoted(kExePath) + std::string(300, ' ')},
        {"executable moved away", REG_SZ, "\"C:\\Old Place\\VellumBox.exe\""},
        {"executable renamed", REG_SZ, "\"C:\\Program Files\\VellumBox\\VellumBox1.exe\""},
        {"empty", REG_SZ, ""},
    };
    for (const Foreign& c : cases) {
        SCOPED_TRACE(c.what);
        WriteValue("VellumBox", c.type, c.data);
        EXPECT_EQ(OpenStartup(kExePath, kNotRegistered, IDC_STARTUP_SET), kRegistered);
        ExpectRegistration(Quoted(kExePath));
    }
}

TEST_F(StartupRegistration, RecognisesItsOwnValueForTheLongestPath) {
    // 259 characters: the quoted text and its zero take 262 bytes.
    std::string longPath = "C:\\" + std::string(250, 'v') + "\\V.exe";
    ASSERT_EQ(longPath.size(), 259u);
    EXPECT_EQ(OpenStartup(longPath, kNotRegistered, IDC_STARTUP_SET), kRegistered);
    ExpectRegistration(Quoted(longPath));
    EXPECT_EQ(OpenStartup(longPath, kRegistered), kRegistered);
    // A shorter path that the long one starts with is another program.
    EXPECT_EQ(OpenStartup(longPath.substr(0, 200), kNotRegistered), kNotRegistered);
}

// The value in the other registry view (the 32-bit one): written
// there by the other build, or read back; `present` false when missing.
LONG OtherViewValue(bool write, const std::string& text, std::string* read = nullptr) {
    HKEY key;
    LONG rc = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, nullptr, 0,
                                KEY_SET_VALUE | KEY_QUERY_VALUE | KEY_WOW64_32KEY, nullptr, &key,
                                nullptr);
    if (rc != 0) return rc;
    if (write) {
        rc = ::RegSetValueExA(key, "VellumBox", 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(text.size() + 1));
    } else {
        char data[1024] = "";
        DWORD size = sizeof data - 1;
        rc = ::RegQueryValueExA(key, "VellumBox", nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                                &size);
        if (read) *read = rc == 0 ? data : "";
    }
    ::RegCloseKey(key);
    return rc;
}

void DeleteOtherViewValue() {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                        &key) != 0)
        return;
    ::RegDeleteValueA(key, "VellumBox");
    ::RegCloseKey(key);
}

TEST_F(StartupRegistration, ThePathTheCodePageCannotHoldIsRegisteredExactlyInUtf16) {
    const wchar_t* wide = L"C:\\\u03A9app\\VellumBox.exe";
    const std::string brief = "C:\\APP~1\\VellumBox.exe";
    // The short form names the program, but another folder may take it later.
    WriteValue("VellumBox", REG_SZ, Quoted(brief));
    EXPECT_EQ(OpenStartup(brief, kNotRegistered, IDC_STARTUP_SET, wide), kRegistered);
    HKEY key;
    ASSERT_EQ(
        ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_QUERY_VALUE | kMainView, &key), 0);
    wchar_t data[300] = L"";
    DWORD size = sizeof data, type = 0;
    EXPECT_EQ(
        ::RegQueryValueExW(key, L"VellumBox", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
        0);
    ::RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(data, size / sizeof(wchar_t)),
              std::wstring(L"\"C:\\\u03A9app\\VellumBox.exe\"") + L'\0');
    EXPECT_EQ(OpenStartup(brief, kRegistered, IDC_STARTUP_CLEAR, wide), kNotRegistered);
    EXPECT_FALSE(ReadOurValue().present);
}

// The other build's registration of this program (in the other registry view) counts, and
// Clear removes it too; another program's value there is never touched.
TEST_F(StartupRegistration, TheOtherViewsRegistrationCountsAndClearRemovesIt) {
    BOOL wow64 = FALSE;
    if (sizeof(void*) == 4 && !(::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64))
        GTEST_SKIP() << "32-bit Windows keeps one view of the Run key";
    ASSERT_EQ(OtherViewValue(true, Quoted(kExePath)), 0);
    if (!ReadOurValue().present) {
        EXPECT_EQ(OpenStartup(kExePath, kRegistered, IDC_STARTUP_CLEAR), kNotRegistered);
        EXPECT_EQ(OtherViewValue(false, ""), ERROR_FILE_NOT_FOUND) << "left in the other view";
    } else {
        ADD_FAILURE() << "this system keeps one view of the Run key";
    }
    const std::string foreign = Quoted("C:\\Other\\VellumBox.exe");
    ASSERT_EQ(OtherViewValue(true, foreign), 0);
    EXPECT_EQ(OpenStartup(kExePath, kNotRegistered, IDC_STARTUP_SET), kRegistered);
    EXPECT_EQ(OpenStartup(kExePath, kRegistered, IDC_STARTUP_CLEAR), kNotRegistered);
    std::string left;
    EXPECT_EQ(OtherViewValue(false, "", &left), 0);
    EXPECT_EQ(left, foreign);
    DeleteOtherViewValue();
}

TEST_F(StartupRegistration, WithoutMainWindowSetWritesNothing) {
    // A parent that is not the main window offers no path to register.
    HWND plain = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    CWnd parent(plain);
    CStartupDlg dlg(&parent);
    RunDialog(dlg, [](HWND hwnd) {
        EXPECT_EQ(ReadButtons(hwnd), kNotRegistered);
        Click(hwnd, IDC_STARTUP_SET);
        EXPECT_EQ(ReadButtons(hwnd), kNotRegistered);
    });
    ::DestroyWindow(plain);
    EXPECT_FALSE(ReadOurValue().present);
}

LONG SetDacl(HKEY key, const char* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd,
                                                                nullptr))
        return static_cast<LONG>(::GetLastError());
    LONG result = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    ::LocalFree(sd);
    return result;
}

enum class RunKeyIs { ReadOnly, MissingUnderVolatileParent, Missing };

// For its lifetime, HKLM is redirected (this process only) to a scratch key. Its Run key,
// as `state` says, is one that everyone may read and nobody may write, holding `ourValue`
// under "VellumBox" if given; or it is missing, under a volatile parent, where no lasting
// key can be made (Wine ignores a parent's read-only DACL when it makes a key), or under
// an ordinary one.
class ScratchMachineKey {
public:
    static constexpr const char* kScratch = "Software\\VellumBoxTest";
    static constexpr const char* kParentPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

    ScratchMachineKey(RunKeyIs state, const char* ourValue) {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        EXPECT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &machine, nullptr),
                  0);
        const bool readOnly = state == RunKeyIs::ReadOnly;
        HKEY key;
        EXPECT_EQ(::RegCreateKeyExA(machine, readOnly ? kRunKeyPath : kParentPath, 0, nullptr,
                                    state == RunKeyIs::MissingUnderVolatileParent
                                        ? REG_OPTION_VOLATILE
                                        : REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  0);
        if (ourValue) {
            EXPECT_EQ(::RegSetValueExA(key, "VellumBox", 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(ourValue),
                                       static_cast<DWORD>(std::strlen(ourValue) + 1)),
                      0);
        }
        if (readOnly) {
            EXPECT_EQ(SetDacl(key, "D:P(A;;KR;;;WD)"), 0);
        }
        ::RegCloseKey(key);
        EXPECT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine), 0);
    }
    ~ScratchMachineKey() {
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        // Write access back first, or the tree cannot be removed.
        HKEY run;
        if (::RegOpenKeyExA(machine, kRunKeyPath, 0, WRITE_DAC, &run) == 0) {
            SetDacl(run, "D:(A;;KA;;;WD)");
            ::RegCloseKey(run);
        }
        ::RegCloseKey(machine);
        EXPECT_EQ(::RegDeleteTreeA(HKEY_CURRENT_USER, kScratch), 0);
    }
    ScratchMachineKey(const ScratchMachineKey&) = delete;
    ScratchMachineKey& operator=(const ScratchMachineKey&) = delete;

private:
    HKEY machine = nullptr;
};

// Set and Clear that cannot write leave buttons and value as they were; refused access
// (a user without administrator rights) is said in a message box, any other failure not.
// Set makes a missing Run key where it can.
TEST(StartupRegistrationMachineKey, SetAndClearWhereTheRunKeyIsReadOnlyOrMissing) {
    const std::string kThenTryAgain =
        " needs administrator rights. Start VellumBox with \"Run as administrator\" and try again.";
    struct Case {
        const char* what;
        RunKeyIs runKey;
        bool registered;
        int click;
        const char* says;  // the message's opening words; null: no message
        bool registeredAfter;
    };
    const Case cases[] = {
        {"set while not registered", RunKeyIs::ReadOnly, false, IDC_STARTUP_SET,
         "Registering VellumBox in the start-up for all users", false},
        {"clear while registered", RunKeyIs::ReadOnly, true, IDC_STARTUP_CLEAR,
         "Removing VellumBox from the start-up for all users", true},
        {"set without a Run key that cannot be made", RunKeyIs::MissingUnderVolatileParent,
         false, IDC_STARTUP_SET, nullptr, false},
        {"set without a Run key", RunKeyIs::Missing, false, IDC_STARTUP_SET, nullptr, true},
    };
    const std::string quoted = Quoted(kExePath);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchMachineKey scratch(c.runKey, c.registered ? quoted.c_str() : nullptr);
        HKEY probe;
        ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_SET_VALUE, &probe),
                  c.runKey == RunKeyIs::ReadOnly ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
        Buttons before = c.registered ? kRegistered : kNotRegistered;
        MessageBoxAnswer::seen = 0;
        MessageBoxAnswer::Arm(IDOK);
        EXPECT_EQ(OpenStartup(kExePath, before, c.click),
                  c.registeredAfter ? kRegistered : kNotRegistered);
        MessageBoxAnswer::Disarm();
        EXPECT_EQ(MessageBoxAnswer::seen, c.says ? 1 : 0);
        if (c.says) {
            EXPECT_EQ(MessageBoxAnswer::text, c.says + kThenTryAgain);
            EXPECT_EQ(MessageBoxAnswer::caption, "VellumBox");
        }
        AnsiValue v = ReadOurValue();
        EXPECT_EQ(v.present, c.registeredAfter);
        if (c.registeredAfter) ExpectRegistration(quoted);
    }
}
// Who may change a folder or file, judged from real descriptors built in memory. "Me" is
// S-1-5-21-1-2-3-1001, another user of the computer S-1-5-21-1-2-3-1002.
TEST(WriteAccess, OnlyTheUserAdministratorsAndTheSystemMayWrite) {
    struct Case {
        const char* what;
        const char* sddl;
        bool othersMayWrite;
        Reach reach = Reach::Object;
    };
    const Case cases[] = {
        {"private folder",
         "O:S-1-5-21-1-2-3-1001D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
         "(A;OICI;FA;;;S-1-5-21-1-2-3-1001)(A;OICI;0x1200a9;;;BU)",
         false},
        {"made at the root of C:",
         "O:S-1-5-21-1-2-3-1001D:(A;ID;FA;;;SY)(A;ID;FA;;;BA)"
         "(A;ID;0x1301bf;;;AU)(A;ID;0x1200a9;;;BU)",
         true},
        {"under Program Files",
         "O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
         "D:P(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-"
         "2271478464)(A;;0x1301bf;;;SY)(A;;0x1301bf;;;BA)(A;;0x1200a9;;;BU)"
         "(A;OICIIO;GA;;;CO)",
         false},
        {"under Program Files on XP: Power Users modify",
         "O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;PU)(A;OICI;0x1200a9;;;BU)",
         false},
        {"everyone may write", "O:BAD:(A;;FW;;;WD)", true},
        {"users may delete", "O:BAD:(A;;SD;;;BU)", true},
        {"interactive users may change permissions", "O:BAD:(A;;WD;;;IU)", true},
        {"everyone denied first", "O:BAD:(D;;FA;;;WD)(A;;FA;;;AU)", false},
        {"denied only after it was allowed", "O:BAD:(A;;FA;;;AU)(D;;FA;;;WD)", true},
        {"another user by name", "O:BAD:(A;;FA;;;BA)(A;;0x1301bf;;;S-1-5-21-1-2-3-1002)", true},
        {"another user by name, denied",
         "O:BAD:(D;;FA;;;S-1-5-21-1-2-3-1002)"
         "(A;;0x1301bf;;;S-1-5-21-1-2-3-1002)",
         false},
        {"only for what is made inside", "O:BAD:(A;OICIIO;FA;;;WD)(A;;FA;;;BA)", false},
        {"everyone reads and runs",
         "O:S-1-5-21-1-2-3-1001D:(A;;FA;;;S-1-5-21-1-2-3-1001)"
         "(A;;0x1200a9;;;WD)",
         false},
        {"owned by another user", "O:S-1-5-21-1-2-3-1002D:(A;;FA;;;BA)", true},
        {"no DACL", "O:BA", true},
        {"null DACL", nullptr, true},  // built by hand: Wine's SDDL parser makes it empty
        {"empty DACL", "O:BAD:", false},
        // A folder above the program: who may rename it, or its child on the way, can put
        // another in its place; who may only add files to it cannot.
        {"above: everyone may delete a child", "O:BAD:(A;;0x40;;;WD)", true, Reach::Above},
        {"above: users may rename it", "O:BAD:(A;;SD;;;BU)", true, Reach::Above},
        {"above: everyone may add files and folders", "O:BAD:(A;;0x1200af;;;WD)", false,
         Reach::Above},
        {"the same, on the object itself", "O:BAD:(A;;0x1200af;;;WD)", true},
        {"above: owned by another user", "O:S-1-5-21-1-2-3-1002D:(A;;FA;;;BA)", true, Reach::Above},
        // A link is judged by itself, as an object: made by another user, it is theirs.
        {"a link another user made", "O:S-1-5-21-1-2-3-1002D:(A;;FA;;;BA)(A;;0x1200a9;;;WD)", true},
        {"made at the root of C:, above",
         "O:S-1-5-21-1-2-3-1001D:(A;ID;FA;;;SY)(A;ID;FA;;;BA)"
         "(A;ID;0x1301bf;;;AU)(A;ID;0x1200a9;;;BU)",
         true, Reach::Above},
        {"under Program Files, above",
         "O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
         "D:P(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-"
         "2271478464)(A;;0x1301bf;;;SY)(A;;0x1301bf;;;BA)(A;;0x1200a9;;;BU)"
         "(A;OICIIO;GA;;;CO)",
         false, Reach::Above},
    };
    PSID me = nullptr;
    ASSERT_TRUE(::ConvertStringSidToSidA("S-1-5-21-1-2-3-1001", &me));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PSECURITY_DESCRIPTOR sd = nullptr;
        SECURITY_DESCRIPTOR nullDacl;
        if (c.sddl) {
            ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(
                c.sddl, SDDL_REVISION_1, &sd, nullptr));
        } else {
            ASSERT_TRUE(::InitializeSecurityDescriptor(&nullDacl, SECURITY_DESCRIPTOR_REVISION));
            ASSERT_TRUE(::SetSecurityDescriptorDacl(&nullDacl, TRUE, nullptr, FALSE));
        }
        EXPECT_EQ(OthersMayWrite(c.sddl ? sd : &nullDacl, me, c.reach), c.othersMayWrite);
        if (sd) ::LocalFree(sd);
    }
    ::LocalFree(me);
}
// The library search at start, for each system: what it offers decides what is asked.
DWORD defaultAsked = 0;
std::string directoryAsked = "-";
BOOL WINAPI DefaultWorks(DWORD flags) { return defaultAsked = flags, TRUE; }
BOOL WINAPI DefaultRefused(DWORD flags) { return defaultAsked = flags, FALSE; }  // no KB2533623
BOOL WINAPI DirectoryWorks(LPCSTR dir) { return directoryAsked = dir, TRUE; }

TEST(DllSearch, TheSystemFolderOnlyWhereTheSystemOffersIt) {
    const struct {
        const char* what;
        SetDefaultDllDirectoriesFn setDefault;
        SetDllDirectoryFn setDirectory;
        DllSearch result;
        DWORD flags;
        const char* directory;
    } cases[] = {
        {"Windows 8 and later", DefaultWorks, DirectoryWorks, DllSearch::SystemFolderOnly, 0x800,
         "-"},
        {"Vista or 7 without the update", DefaultRefused, DirectoryWorks,
         DllSearch::NoCurrentFolder, 0x800, ""},
        {"XP SP3", nullptr, DirectoryWorks, DllSearch::NoCurrentFolder, 0, ""},
        {"neither", nullptr, nullptr, DllSearch::Unchanged, 0, "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        defaultAsked = 0;
        directoryAsked = "-";
        EXPECT_EQ(RestrictDllSearch(c.setDefault, c.setDirectory), c.result);
        EXPECT_EQ(defaultAsked, c.flags);
        EXPECT_EQ(directoryAsked, c.directory);
    }
}
}  // namespace

int main(int argc, char** argv) {
    testApp.m_hInstance = ::GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
