// vbdrive: drives a running VellumBox from outside, the way a user (or Windows) would.
//
//   vbdrive.exe wait 10000 ; text 1002 ; rows ; click 1007 ; close
//
// Commands are separated by a lone ";" argument, so that one Wine process start serves
// many steps. Each command prints its result on one line (rows, columns, sysmenu and
// dialogs print one line per item); texts are UTF-8, a line break inside a text shows
// as '|' (no file name holds one). The first command that cannot be carried out prints
// "ERROR: ..." and ends the run with exit status 1.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t kMarker[] = L"VellumBox";
const wchar_t kExeName[] = L"VellumBox.exe";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const UINT kListId = 1003;

struct Failure {
    std::string what;
};

[[noreturn]] void Fail(const std::string& what) { throw Failure{what}; }

std::string ToUtf8(const std::wstring& w) {
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

// One output line: line breaks become '|', carriage returns vanish.
void PrintLine(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        if (c == '\r') continue;
        out += (c == '\n') ? '|' : c;
    }
    out += '\n';
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
}

void PrintLine(const std::wstring& text) { PrintLine(ToUtf8(text)); }

int ToInt(const std::wstring& s) {
    wchar_t* end = nullptr;
    long v = wcstol(s.c_str(), &end, 0);
    if (s.empty() || *end != L'\0') Fail("not a number: " + ToUtf8(s));
    return (int)v;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buf[4096] = L"";
    // WM_GETTEXT is marshalled across processes; GetWindowText would not ask the window.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, (LPARAM)buf, SMTO_ABORTIFHUNG, 5000, nullptr);
    return buf;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buf[256] = L"";
    GetClassNameW(hwnd, buf, 256);
    return buf;
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// ---- finding windows -------------------------------------------------------------

// Top-level windows in Z order. A named CALLBACK function: the 32-bit build needs stdcall.
BOOL CALLBACK CollectWindow(HWND h, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND FindMarked() {
    for (HWND h : TopLevelWindows())
        if (GetPropW(h, kMarker)) return h;
    return nullptr;
}

int CountMarked() {
    int n = 0;
    for (HWND h : TopLevelWindows())
        if (GetPropW(h, kMarker)) ++n;
    return n;
}

HWND g_main = nullptr;  // the marked window the commands act on

HWND Main() {
    if (g_main && IsWindow(g_main) && GetPropW(g_main, kMarker)) return g_main;
    g_main = FindMarked();
    if (!g_main) Fail("no VellumBox window");
    return g_main;
}

HWND Control(int id) {
    HWND h = GetDlgItem(Main(), id);
    if (!h) Fail("no control " + std::to_string(id));
    return h;
}

// Top-level dialogs of the program's process other than the main window.
std::vector<HWND> OwnDialogs() {
    HWND main = Main();
    DWORD pid = ProcessOf(main);
    std::vector<HWND> found;
    for (HWND h : TopLevelWindows())
        if (h != main && ProcessOf(h) == pid && ClassOf(h) == L"#32770" && IsWindowVisible(h))
            found.push_back(h);
    return found;
}

// Waits for a dialog of the program for which `accept` holds; the newest one wins.
template <typename Pred>
HWND WaitDialog(int timeoutMs, Pred accept, const char* what) {
    DWORD start = GetTickCount();
    for (;;) {
        for (HWND h : OwnDialogs())
            if (accept(h)) return h;
        if ((int)(GetTickCount() - start) > timeoutMs) Fail(std::string("no ") + what);
        Sleep(50);
    }
}

HWND AnyDialog(int timeoutMs) {
    return WaitDialog(
        timeoutMs, [](HWND) { return true; }, "dialog");
}

// ---- memory in the program's process ----------------------------------------------

// A block in the target process; list-view and browser messages carry raw pointers.
class RemoteBlock {
public:
    RemoteBlock(HWND target, size_t size, bool keep = false) : size_(size), keep_(keep) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               ProcessOf(target));
        if (!process_) Fail("cannot open the program's process");
        base_ = (char*)VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (!base_) Fail("VirtualAllocEx failed");
    }
    ~RemoteBlock() {
        // A posted message may still be on its way: such blocks stay (a few bytes).
        if (!keep_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    char* At(size_t offset) const { return base_ + offset; }
    void Write(size_t offset, const void* data, size_t n) {
        if (offset + n > size_ || !WriteProcessMemory(process_, base_ + offset, data, n, nullptr))
            Fail("WriteProcessMemory failed");
    }
    void Read(size_t offset, void* data, size_t n) {
        if (offset + n > size_ || !ReadProcessMemory(process_, base_ + offset, data, n, nullptr))
            Fail("ReadProcessMemory failed");
    }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
    size_t size_;
    bool keep_;
};

// ---- list view ------------------------------------------------------------------

int ColumnCount(HWND list) {
    HWND header = (HWND)SendMessageW(list, LVM_GETHEADER, 0, 0);
    return header ? (int)SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) : 0;
}

std::wstring CellText(HWND list, RemoteBlock& mem, int row, int col) {
    const size_t textOffset = 512, textChars = 1024;
    LVITEMW item = {};
    item.iSubItem = col;
    item.pszText = (LPWSTR)mem.At(textOffset);
    item.cchTextMax = textChars;
    mem.Write(0, &item, sizeof item);
    wchar_t none = 0;
    mem.Write(textOffset, &none, sizeof none);
    SendMessageW(list, LVM_GETITEMTEXTW, row, (LPARAM)mem.At(0));
    std::vector<wchar_t> buf(textChars + 1, 0);
    mem.Read(textOffset, buf.data(), textChars * sizeof(wchar_t));
    return buf.data();
}

// ---- the commands -----------------------------------------------------------------

using Args = std::vector<std::wstring>;

void NeedArgs(const Args& a, size_t n, const char* usage) {
    if (a.size() < n) Fail(std::string("usage: ") + usage);
}

int TimeoutArg(const Args& a, size_t i, int dflt) { return a.size() > i ? ToInt(a[i]) : dflt; }

// Lets the program's thread go idle a few times: it answers a sent message only from its
// message loop, so after three round trips its first show (made when its queue first
// runs empty) has happened.
// A thread busy in a slow flush on a loaded machine answers late, not never: each round
// trip is waited for, up to half a minute in all.
void Settle(HWND h) {
    const DWORD start = GetTickCount();
    for (int done = 0; done < 3;) {
        DWORD_PTR ignored;
        if (SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored)) {
            ++done;
        } else if (!IsWindow(h)) {
            return;
        } else if (GetTickCount() - start > 30000) {
            Fail("window did not answer in time");
        }
        Sleep(20);
    }
}

void CmdSettle(const Args&) {
    Settle(Main());
    PrintLine("ok");
}

// wait [ms]: until the marked window exists and its thread has settled.
void CmdWait(const Args& a) {
    // A ceiling, not a measure: a loaded machine may take long to start a program.
    int timeout = TimeoutArg(a, 1, 30000);
    DWORD start = GetTickCount();
    while (!(g_main = FindMarked())) {
        if ((int)(GetTickCount() - start) > timeout) Fail("no VellumBox window in time");
        Sleep(30);
    }
    Settle(g_main);
    PrintLine("ok");
}

// gone [ms]: until no marked window is left.
void CmdGone(const Args& a) {
    int timeout = TimeoutArg(a, 1, 15000);
    DWORD start = GetTickCount();
    while (FindMarked()) {
        if ((int)(GetTickCount() - start) > timeout) Fail("VellumBox window still there");
        Sleep(30);
    }
    g_main = nullptr;
    PrintLine("ok");
}

// free [ms]: until no process holds the program's single-instance guard, so that the next
// start is a first one (a killed copy lets go of it only when Wine has cleaned it up).
void CmdFree(const Args& a) {
    int timeout = TimeoutArg(a, 1, 10000);
    DWORD start = GetTickCount();
    while (HANDLE guard = OpenMutexW(SYNCHRONIZE, FALSE, L"VellumBox")) {
        CloseHandle(guard);
        if ((int)(GetTickCount() - start) > timeout) Fail("the guard is still held");
        Sleep(30);
    }
    PrintLine("ok");
}

void CmdFind(const Args&) { PrintLine(std::to_string(CountMarked())); }

void CmdVisible(const Args&) { PrintLine(IsWindowVisible(Main()) ? "1" : "0"); }
void CmdIconic(const Args&) { PrintLine(IsIconic(Main()) ? "1" : "0"); }

void CmdRect(const Args&) {
    RECT r;
    GetWindowRect(Main(), &r);
    PrintLine(std::to_string(r.left) + " " + std::to_string(r.top) + " " +
              std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

void CmdEnabled(const Args& a) {
    NeedArgs(a, 2, "enabled id");
    PrintLine(IsWindowEnabled(Control(ToInt(a[1]))) ? "1" : "0");
}

void CmdText(const Args& a) {
    NeedArgs(a, 2, "text id");
    PrintLine(WindowText(Control(ToInt(a[1]))));
}

void CmdChecked(const Args& a) {
    NeedArgs(a, 2, "checked id");
    PrintLine(std::to_string(SendMessageW(Control(ToInt(a[1])), BM_GETCHECK, 0, 0)));
}

// click id / pclick id: a mouse click on a button as the button itself sees it (check
// boxes change state); pclick posts, for buttons that open a modal window.
void Click(const Args& a, bool post) {
    NeedArgs(a, 2, "click id");
    HWND button = Control(ToInt(a[1]));
    if (!IsWindowEnabled(button)) Fail("control " + ToUtf8(a[1]) + " is disabled");
    if (post)
        PostMessageW(button, BM_CLICK, 0, 0);
    else
        SendMessageW(button, BM_CLICK, 0, 0);
    PrintLine("ok");
}
void CmdClick(const Args& a) { Click(a, false); }
void CmdPostClick(const Args& a) { Click(a, true); }

// command id: posts WM_COMMAND(id, BN_CLICKED) to the main window, enabled or not.
void CmdCommand(const Args& a) {
    NeedArgs(a, 2, "command id");
    int id = ToInt(a[1]);
    PostMessageW(Main(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(Main(), id));
    PrintLine("ok");
}

// rows: one line per row, cells separated by a tab.
void CmdRows(const Args&) {
    HWND list = Control(kListId);
    int rows = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    int cols = ColumnCount(list);
    RemoteBlock mem(list, 4096);
    for (int r = 0; r < rows; ++r) {
        std::wstring line;
        for (int c = 0; c < cols; ++c) {
            if (c) line += L'\t';
            line += CellText(list, mem, r, c);
        }
        PrintLine(line);
    }
    PrintLine("rows " + std::to_string(rows));
}

// columns: one line per column: title, width, alignment (l, r or c).
void CmdColumns(const Args&) {
    HWND list = Control(kListId);
    int cols = ColumnCount(list);
    RemoteBlock mem(list, 4096);
    const size_t textOffset = 512;
    for (int c = 0; c < cols; ++c) {
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = (LPWSTR)mem.At(textOffset);
        col.cchTextMax = 256;
        mem.Write(0, &col, sizeof col);
        if (!SendMessageW(list, LVM_GETCOLUMNW, c, (LPARAM)mem.At(0))) Fail("LVM_GETCOLUMN failed");
        mem.Read(0, &col, sizeof col);
        wchar_t title[257] = L"";
        mem.Read(textOffset, title, 256 * sizeof(wchar_t));
        int align = col.fmt & LVCFMT_JUSTIFYMASK;
        const wchar_t* fmt = align == LVCFMT_CENTER ? L"c" : align == LVCFMT_RIGHT ? L"r" : L"l";
        PrintLine(std::wstring(title) + L"\t" + std::to_wstring(col.cx) + L"\t" + fmt);
    }
}

// dblclk row col / rdblclk row col: a double click of the left or right button on a
// cell, posted to the list as mouse messages, so that the list sends its parent the
// NM_DBLCLK / NM_RDBLCLK it would send for a real click. (Wine carries no WM_NOTIFY
// across processes, so the notification cannot be sent from here directly.)
void DoubleClick(const Args& a, bool right) {
    NeedArgs(a, 3, "dblclk row col");
    HWND list = Control(kListId);
    int row = ToInt(a[1]), col = ToInt(a[2]);
    if (col < 0 || col >= ColumnCount(list)) Fail("no such column");
    RemoteBlock mem(list, sizeof(RECT));
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    mem.Write(0, &bounds, sizeof bounds);
    if (!SendMessageW(list, LVM_GETITEMRECT, row, (LPARAM)mem.At(0))) Fail("no such row");
    mem.Read(0, &bounds, sizeof bounds);
    int x = bounds.left + 4;
    for (int c = 0; c < col; ++c) x += (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0);
    int y = (bounds.top + bounds.bottom) / 2;
    LPARAM at = MAKELPARAM(x, y);
    if (right)  // may ask a question: posted, so that the driver goes on
        PostMessageW(list, WM_RBUTTONDBLCLK, MK_RBUTTON, at);
    else
        SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PrintLine("ok");
}
void CmdDblClk(const Args& a) { DoubleClick(a, false); }
void CmdRDblClk(const Args& a) { DoubleClick(a, true); }

// Runs the export `proc` of vbprobe.dll inside the program's process (loading the DLL
// there once) with `arg`, and returns what it published. Menus and icons live in their
// process under Wine, so they are read there.
std::string RunProbe(HWND main, const char* proc, void* arg) {
    wchar_t dllPath[MAX_PATH];
    GetModuleFileNameW(nullptr, dllPath, MAX_PATH);
    wchar_t* slash = wcsrchr(dllPath, L'\\');
    wcscpy(slash ? slash + 1 : dllPath, L"vbprobe.dll");

    const DWORD mapSize = 65536;
    HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, mapSize,
                                    L"vbprobe_output");
    if (!map) Fail("cannot create the probe's mapping");
    char* view = (char*)MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, mapSize);
    view[0] = '\0';

    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, ProcessOf(main));
    if (!process) Fail("cannot open the program's process");

    auto remoteModule = [&](const wchar_t* name) -> HMODULE {
        HMODULE mods[512];
        DWORD needed = 0;
        EnumProcessModules(process, mods, sizeof mods, &needed);
        for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
            wchar_t base[MAX_PATH] = L"";
            GetModuleBaseNameW(process, mods[i], base, MAX_PATH);
            if (!_wcsicmp(base, name)) return mods[i];
        }
        return nullptr;
    };
    // The same function lies at the same offset in both processes' copies of a module.
    auto remoteProc = [&](const wchar_t* module, HMODULE local, const char* proc) {
        HMODULE remote = remoteModule(module);
        FARPROC f = GetProcAddress(local, proc);
        if (!remote || !f) Fail("cannot locate " + std::string(proc) + " in the program");
        return (LPTHREAD_START_ROUTINE)((char*)remote + ((char*)f - (char*)local));
    };
    auto runRemote = [&](LPTHREAD_START_ROUTINE f, void* param) {
        HANDLE t = CreateRemoteThread(process, nullptr, 0, f, param, 0, nullptr);
        if (!t) Fail("CreateRemoteThread failed");
        if (WaitForSingleObject(t, 10000) != WAIT_OBJECT_0) Fail("remote thread hangs");
        CloseHandle(t);
    };

    if (!remoteModule(L"vbprobe.dll")) {
        RemoteBlock path(main, sizeof dllPath, true);
        path.Write(0, dllPath, sizeof dllPath);
        runRemote(remoteProc(L"kernel32.dll", GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW"),
                  path.At(0));
    }
    HMODULE probe = LoadLibraryW(dllPath);
    if (!probe) Fail("cannot load vbprobe.dll");
    runRemote(remoteProc(L"vbprobe.dll", probe, proc), arg);

    std::string out(view, strnlen(view, mapSize));
    UnmapViewOfFile(view);
    CloseHandle(map);
    CloseHandle(process);
    return out;
}

// sysmenu: the system menu's items as "id<TAB>text", separators as "-".
void CmdSysMenu(const Args&) {
    HWND main = Main();
    std::string out = RunProbe(main, "ProbeSystemMenu", (void*)main);
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
}

// syscmd value: posts WM_SYSCOMMAND (some commands open modal windows).
void CmdSysCmd(const Args& a) {
    NeedArgs(a, 2, "syscmd value");
    PostMessageW(Main(), WM_SYSCOMMAND, ToInt(a[1]), 0);
    PrintLine("ok");
}

void CmdClose(const Args&) {
    PostMessageW(Main(), WM_CLOSE, 0, 0);
    PrintLine("ok");
}

// show min|hide|restore|normal: ShowWindow from outside.
void CmdShow(const Args& a) {
    NeedArgs(a, 2, "show min|hide|restore|normal");
    const std::wstring& how = a[1];
    int cmd = how == L"min"       ? SW_MINIMIZE
              : how == L"hide"    ? SW_HIDE
              : how == L"restore" ? SW_RESTORE
              : how == L"normal"  ? SW_SHOWNORMAL
                                  : -1;
    if (cmd < 0) Fail("unknown show mode");
    ShowWindow(Main(), cmd);
    PrintLine("ok");
}

// key esc|enter: posted to the focused control, as typed keys arrive, so that the
// program's dialog loop sees them.
// key esc|enter|space|delete|apps|<letter> [focus]: the key pressed in the program, as the keyboard
// delivers it: to the thread's focus window, or to the main window when nothing has the focus. With
// "focus" only to a focus window: "nofocus" when the thread has none.
void CmdKey(const Args& a) {
    NeedArgs(a, 2, "key esc|enter|space|delete|apps|<letter> [focus]");
    // A lone letter is typed (WM_CHAR too), as menus and access keys read it.
    wchar_t letter = a[1].size() == 1 && iswalpha(a[1][0]) ? towupper(a[1][0]) : 0;
    WPARAM vk = a[1] == L"esc"      ? VK_ESCAPE
                : a[1] == L"enter"  ? VK_RETURN
                : a[1] == L"space"  ? VK_SPACE
                : a[1] == L"delete" ? VK_DELETE
                : a[1] == L"apps"   ? VK_APPS
                : letter            ? letter
                                    : 0;
    if (!vk) Fail("unknown key");
    bool focusOnly = a.size() > 2 && a[2] == L"focus";
    HWND main = Main();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND target = focusOnly ? nullptr : main;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) && info.hwndFocus)
        target = info.hwndFocus;
    if (!target) {
        PrintLine("nofocus");
        return;
    }
    UINT scan = MapVirtualKeyW((UINT)vk, 0);
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    if (vk == VK_SPACE || letter)
        PostMessageW(target, WM_CHAR, letter ? towlower(letter) : L' ', 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
    PrintLine("ok");
}
// endsession 1|0 [flags]: the session messages as Windows sends them; flags is their
// lParam (1 = ENDSESSION_CLOSEAPP, an installer closing the program).
void CmdEndSession(const Args& a) {
    NeedArgs(a, 2, "endsession 1|0 [flags]");
    HWND main = Main();
    LPARAM flags = a.size() > 2 ? ToInt(a[2]) : 0;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, flags, SMTO_NORMAL, 30000, &answer))
        Fail("WM_QUERYENDSESSION not answered");
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(main, WM_ENDSESSION, ToInt(a[1]) != 0, flags, SMTO_NORMAL, 60000,
                             &ignored))
        Fail("WM_ENDSESSION not answered");
    PrintLine(std::to_string((long long)answer));
}

// dblclkbelow left|right: a double click in the list's empty area below the last row.
void CmdDblClkBelow(const Args& a) {
    NeedArgs(a, 2, "dblclkbelow left|right");
    HWND list = Control(kListId);
    RECT client;
    GetClientRect(list, &client);
    int y = client.bottom - 4;
    int rows = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    if (rows > 0) {
        RemoteBlock mem(list, sizeof(RECT));
        RECT last = {LVIR_BOUNDS, 0, 0, 0};
        mem.Write(0, &last, sizeof last);
        SendMessageW(list, LVM_GETITEMRECT, rows - 1, (LPARAM)mem.At(0));
        mem.Read(0, &last, sizeof last);
        if (last.bottom + 4 >= client.bottom) Fail("no empty area below the rows");
    }
    LPARAM at = MAKELPARAM(10, y);
    if (a[1] == L"right")
        PostMessageW(list, WM_RBUTTONDBLCLK, MK_RBUTTON, at);
    else
        SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PrintLine("ok");
}

void CmdForeground(const Args&) {
    HWND fg = GetForegroundWindow();
    if (!fg)
        PrintLine("none");
    else if (fg == FindMarked())
        PrintLine("main");
    else
        PrintLine(ClassOf(fg) + L"\t" + WindowText(fg));
}

// dialog [ms]: waits for a dialog of the program; prints its caption, then its texts.
struct ProgramString {
    UINT id;
    bool japanese;
    std::wstring text;
    const wchar_t* part;  // "" for the whole string, ".more" for its advice after a blank line
};
using Strings = std::vector<ProgramString>;

// Every string of the window's program file in English and Japanese, with its id.
Strings ProgramStrings(HWND window) {
    wchar_t path[MAX_PATH] = L"";
    HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ProcessOf(window));
    if (process) {
        GetModuleFileNameExW(process, nullptr, path, MAX_PATH);
        CloseHandle(process);
    }
    HMODULE exe = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!exe) Fail("cannot read the program's strings");
    Strings strings;
    for (bool japanese : {false, true}) {
        WORD lang = japanese ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)
                             : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
        for (UINT block = 1; block <= 256; ++block) {  // ids below 4096
            HRSRC res = FindResourceExW(exe, reinterpret_cast<LPCWSTR>(RT_STRING),
                                        MAKEINTRESOURCEW(block), lang);
            const WORD* w =
                res ? static_cast<const WORD*>(LockResource(LoadResource(exe, res))) : nullptr;
            for (UINT k = 0; w && k < 16; ++k, w += 1 + w[0]) {
                if (!w[0]) continue;
                const UINT id = (block - 1) * 16 + k;
                const std::wstring text(reinterpret_cast<const wchar_t*>(w + 1), w[0]);
                strings.push_back({id, japanese, text, L""});
                // A message that names places puts them between its first paragraph and
                // its advice: each half is then found on its own.
                const size_t advice = text.find(L"\n\n");
                if (advice != std::wstring::npos) {
                    strings.push_back({id, japanese, text.substr(0, advice), L""});
                    strings.push_back({id, japanese, text.substr(advice + 2), L".more"});
                }
            }
        }
    }
    FreeLibrary(exe);
    return strings;
}

// Each line of `text` that begins with a whole string of the program (the longest; of
// equals, the one in the user's language), as "#id.en" or "#id.ja", so that the scripts
// name the message and its language rather than its wording.
std::wstring WithStringIds(const std::wstring& text, const Strings& strings) {
    const bool userJapanese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
    std::wstring out;
    for (size_t at = 0; at < text.size();) {
        const ProgramString* best = nullptr;
        for (const ProgramString& s : strings) {
            size_t n = s.text.size();
            if (text.compare(at, n, s.text) != 0 || (at + n < text.size() && text[at + n] != L'\n'))
                continue;
            if (!best || n > best->text.size() ||
                (n == best->text.size() && s.japanese == userJapanese))
                best = &s;
        }
        size_t end = best ? at + best->text.size() : text.find(L'\n', at);
        if (end == std::wstring::npos) end = text.size();
        out += best ? L"#" + std::to_wstring(best->id) + (best->japanese ? L".ja" : L".en") +
                          best->part
                    : text.substr(at, end - at);
        at = end;
        if (at < text.size()) out += text[at++];  // the line feed
    }
    return out;
}

// dialog: the newest dialog's title and static texts. message: the same, with the
// program's own strings as "#id".
void ShowDialog(const Args& a, bool ids) {
    HWND dlg = AnyDialog(TimeoutArg(a, 1, 10000));
    Strings strings;
    if (ids) strings = ProgramStrings(dlg);
    std::wstring line = WindowText(dlg);
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassOf(c).c_str(), L"Static") != 0) continue;
        LONG type = GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) continue;  // their "text" is a resource id
        std::wstring t = WindowText(c);
        if (!t.empty()) line += L"\t" + (ids ? WithStringIds(t, strings) : t);
    }
    PrintLine(line);
}

void CmdDialog(const Args& a) { ShowDialog(a, false); }
void CmdMessage(const Args& a) { ShowDialog(a, true); }

void CmdDialogs(const Args&) { PrintLine(std::to_string(OwnDialogs().size())); }

// dlginfo [id...]: the program's newest open dialog, without waiting for one. First line:
// its owner (main, other or none), its big icon (main when it is the main window's, other,
// none), whether the main window is enabled and its frame as x,y,w,h; or "nodialog" and the
// main window's state. Then "id<TAB>enabled 1|0<TAB>text" for each control named.
void CmdDialogInfo(const Args& a) {
    HWND main = Main();
    std::vector<HWND> dialogs = OwnDialogs();
    std::string enabled = std::string(" mainenabled=") + (IsWindowEnabled(main) ? "1" : "0");
    if (dialogs.empty()) {
        PrintLine("nodialog" + enabled);
        return;
    }
    HWND dlg = dialogs.front();
    HWND owner = GetWindow(dlg, GW_OWNER);
    // "<dialog's big icon> <owner's big icon>", read inside the program.
    unsigned long long icon = 0, ownerIcon = 0;
    if (sscanf(RunProbe(main, "ProbeBigIcons", (void*)dlg).c_str(), "%llx %llx", &icon,
               &ownerIcon) != 2)
        Fail("no icons from the probe");
    unsigned long long mainIcon = owner == main ? ownerIcon : 0;
    RECT r;
    GetWindowRect(dlg, &r);
    PrintLine(std::string("owner=") +
              (owner == main ? "main"
               : owner       ? "other"
                             : "none") +
              " icon=" +
              (!icon              ? "none"
               : icon == mainIcon ? "main"
                                  : "other") +
              enabled + " rect=" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
              std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top));
    for (size_t i = 1; i < a.size(); ++i) {
        HWND c = GetDlgItem(dlg, ToInt(a[i]));
        if (!c) Fail("no control " + ToUtf8(a[i]) + " in the dialog");
        PrintLine(a[i] + (IsWindowEnabled(c) ? L"\t1\t" : L"\t0\t") + WindowText(c));
    }
}

// dlgclose [ms]: closes the program's newest dialog as its title-bar close button would.
void CmdDlgClose(const Args& a) {
    HWND dlg = AnyDialog(TimeoutArg(a, 1, 10000));
    PostMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    PrintLine("ok");
}

// dlgrect [ms]: the newest dialog's frame as "x y width height".
void CmdDlgRect(const Args& a) {
    HWND dlg = AnyDialog(TimeoutArg(a, 1, 10000));
    RECT r;
    GetWindowRect(dlg, &r);
    PrintLine(std::to_string(r.left) + " " + std::to_string(r.top) + " " +
              std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

// nodialog [ms]: waits until the program has no dialog open, then until it has finished
// the handler that showed it.
void CmdNoDialog(const Args& a) {
    int timeout = TimeoutArg(a, 1, 10000);
    DWORD start = GetTickCount();
    while (!OwnDialogs().empty()) {
        if ((int)(GetTickCount() - start) > timeout) Fail("a dialog is still open");
        Sleep(30);
    }
    Settle(Main());
    PrintLine("ok");
}

// press yes|no|ok|cancel|id [ms]: presses a button of the program's dialog.
void CmdPress(const Args& a) {
    NeedArgs(a, 2, "press yes|no|ok|cancel|id");
    const std::wstring& b = a[1];
    int id = b == L"yes"      ? IDYES
             : b == L"no"     ? IDNO
             : b == L"ok"     ? IDOK
             : b == L"cancel" ? IDCANCEL
                              : ToInt(b);
    HWND dlg = WaitDialog(
        TimeoutArg(a, 2, 10000), [id](HWND h) { return GetDlgItem(h, id) != nullptr; },
        "dialog with that button");
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id));
    PrintLine("ok");
}

// open path [ms]: answers the Open dialog with a file name.
void CmdOpen(const Args& a) {
    NeedArgs(a, 2, "open path");
    const int kFileNameEdit = 0x47C;
    HWND dlg = WaitDialog(
        TimeoutArg(a, 2, 15000), [](HWND h) { return GetDlgItem(h, kFileNameEdit) != nullptr; },
        "Open dialog");
    HWND edit = GetDlgItem(dlg, kFileNameEdit);
    SendMessageW(edit, WM_SETTEXT, 0, (LPARAM)a[1].c_str());
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dlg, IDOK));
    PrintLine("ok");
}

// browse path [ms]: answers the folder browser; "cancel" as the path cancels it.
void CmdBrowse(const Args& a) {
    NeedArgs(a, 2, "browse path|cancel");
    HWND dlg = WaitDialog(
        TimeoutArg(a, 2, 15000),
        [](HWND h) { return FindWindowExW(h, nullptr, WC_TREEVIEWW, nullptr) != nullptr; },
        "folder browser");
    if (a[1] == L"cancel") {
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PrintLine("ok");
        return;
    }
    size_t bytes = (a[1].size() + 1) * sizeof(wchar_t);
    RemoteBlock mem(dlg, 4096);
    mem.Write(0, a[1].c_str(), bytes);
    // The first selection in a fresh browser sometimes stays on the desktop under Wine:
    // repeat it until the tree's selected item names the folder asked for.
    HWND tree = FindWindowExW(dlg, nullptr, WC_TREEVIEWW, nullptr);
    std::wstring want = a[1];
    while (want.size() > 3 && want.back() == L'\\') want.pop_back();
    want = want.size() <= 3 ? want.substr(0, 2) : want.substr(want.rfind(L'\\') + 1);
    bool selected = false;
    for (int attempt = 0; attempt < 20 && !selected; ++attempt) {
        SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, (LPARAM)mem.At(0));
        Sleep(100 + 50 * attempt);
        HTREEITEM item = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        if (!item) continue;
        const size_t textOffset = 2048;
        TVITEMW tv = {};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = (LPWSTR)mem.At(textOffset);
        tv.cchTextMax = 512;
        mem.Write(1024, &tv, sizeof tv);
        SendMessageW(tree, TVM_GETITEMW, 0, (LPARAM)mem.At(1024));
        wchar_t text[513] = L"";
        mem.Read(textOffset, text, 512 * sizeof(wchar_t));
        std::wstring shown = text, lowerShown = shown, lowerWant = want;
        CharLowerW(&lowerShown[0]);
        CharLowerW(&lowerWant[0]);
        selected = !lowerWant.empty() && lowerShown.find(lowerWant) != std::wstring::npos;
    }
    if (!selected) Fail("the browser did not select " + ToUtf8(a[1]));
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dlg, IDOK));
    PrintLine("ok");
}

// shortname path: the short (8.3) name the file system keeps for the file's last component.
void CmdShortName(const Args& a) {
    NeedArgs(a, 2, "shortname path");
    wchar_t brief[MAX_PATH] = L"";
    DWORD n = GetShortPathNameW(a[1].c_str(), brief, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) Fail("no short name for " + ToUtf8(a[1]));
    std::wstring s = brief;
    PrintLine(s.substr(s.rfind(L'\\') + 1));
}

// procs: how many VellumBox.exe processes run in this Wine session.
std::vector<DWORD> ProgramProcesses() {
    std::vector<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe))
        if (!_wcsicmp(pe.szExeFile, kExeName)) pids.push_back(pe.th32ProcessID);
    CloseHandle(snap);
    return pids;
}

void CmdProcs(const Args&) { PrintLine(std::to_string(ProgramProcesses().size())); }

// The 64-bit view, where both programs register: the driver may be a 32-bit process.
// Windows without views ignores the flag.
const REGSAM kRunView = KEY_WOW64_64KEY;

// runkey: the start-up value, or "none". runkey-clear removes it.
void CmdRunKey(const Args&) {
    wchar_t value[1024] = L"";
    DWORD size = sizeof value - sizeof(wchar_t);
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ | kRunView, &key) != ERROR_SUCCESS) {
        PrintLine("none");
        return;
    }
    LONG rc = RegQueryValueExW(key, kMarker, nullptr, nullptr, (BYTE*)value, &size);
    RegCloseKey(key);
    PrintLine(rc == ERROR_SUCCESS ? std::wstring(value) : std::wstring(L"none"));
}

void CmdRunKeyClear(const Args&) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE | kRunView, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueW(key, kMarker);
        RegCloseKey(key);
    }
    PrintLine("ok");
}

// runkey-lock: lets everyone read the Run key and nobody write it, as a user without
// administrator rights finds it; prints the DACL it had, for runkey-unlock <sddl>.
void SetRunKeyDacl(HKEY key, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr))
        Fail("bad SDDL");
    LONG rc = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) Fail("cannot set the Run key's DACL");
}

HKEY RunKeyFor(REGSAM access) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, access | kRunView, &key) != ERROR_SUCCESS)
        Fail("cannot open the Run key");
    return key;
}

void CmdRunKeyLock(const Args&) {
    HKEY key = RunKeyFor(READ_CONTROL | WRITE_DAC);
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    std::vector<BYTE> sd(size ? size : 1);
    LPWSTR sddl = nullptr;
    if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, sd.data(), &size) != ERROR_SUCCESS ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorW(
            sd.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &sddl, nullptr)) {
        RegCloseKey(key);
        Fail("cannot read the Run key's DACL");
    }
    std::wstring before = *sddl ? sddl : L"D:NO_ACCESS_CONTROL";
    LocalFree(sddl);
    SetRunKeyDacl(key, L"D:P(A;;KR;;;WD)");
    PrintLine(before);
}

void CmdRunKeyUnlock(const Args& a) {
    NeedArgs(a, 2, "runkey-unlock sddl");
    SetRunKeyDacl(RunKeyFor(WRITE_DAC), a[1].c_str());
    PrintLine("ok");
}

// hold path ms [shared]: keeps a file (or a folder) open without sharing for ms, as a
// program that holds its document open does; "shared": open to others' reads, writes and
// removal, as an indexer or a virus scanner reads it. "held" once it is open.
void CmdHold(const Args& a) {
    NeedArgs(a, 3, "hold path ms [shared]");
    const DWORD share = a.size() > 3 && a[3] == L"shared"
                            ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                            : 0;
    HANDLE h = CreateFileW(a[1].c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) Fail("cannot open " + ToUtf8(a[1]));
    PrintLine("held");
    Sleep(ToInt(a[2]));
    CloseHandle(h);
    PrintLine("ok");
}

void CmdSleep(const Args& a) {
    NeedArgs(a, 2, "sleep ms");
    Sleep(ToInt(a[1]));
    PrintLine("ok");
}

// focus id: moves the dialog's focus to a control, as Tab would.
void CmdFocus(const Args& a) {
    NeedArgs(a, 2, "focus id");
    SendMessageW(Main(), WM_NEXTDLGCTL, (WPARAM)Control(ToInt(a[1])), TRUE);
    PrintLine("ok");
}

HWND MarkedOf(DWORD pid) {
    for (HWND h : TopLevelWindows())
        if (GetPropW(h, kMarker) && ProcessOf(h) == pid) return h;
    return nullptr;
}

// launch ms "command line": starts the program with exactly that command line and
// watches it for up to ms, or until it ends. Prints "ended" or "running", its process
// id, whether its main window was seen at all and whether it was ever visible.
void CmdLaunch(const Args& a) {
    NeedArgs(a, 3, "launch ms commandline [unseen]");
    int span = ToInt(a[1]);
    std::wstring line = a[2];
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    // "unseen": in a window station of its own, which has no visible display surfaces, as
    // a task that runs whether the user is logged on or not.
    std::wstring desktop = L"vbunseen\\Default";
    if (a.size() > 3 && a[3] == L"unseen") {
        HWINSTA mine = GetProcessWindowStation();
        HWINSTA unseen = CreateWindowStationW(L"vbunseen", 0, WINSTA_ALL_ACCESS, nullptr);
        if (!unseen || !SetProcessWindowStation(unseen)) Fail("no window station of its own");
        if (!CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr))
            Fail("no desktop in that window station");
        SetProcessWindowStation(mine);
        si.lpDesktop = &desktop[0];
    }
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        Fail("CreateProcess failed: " + std::to_string(GetLastError()));
    int seen = 0, shown = 0;
    bool ended = false;
    DWORD start = GetTickCount();
    while ((int)(GetTickCount() - start) < span) {
        if (HWND h = MarkedOf(pi.dwProcessId)) {
            seen = 1;
            if (IsWindowVisible(h)) shown = 1;
        }
        if (WaitForSingleObject(pi.hProcess, 3) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    PrintLine(std::string(ended ? "ended code=" + std::to_string(code) : "running") +
              " pid=" + std::to_string(pi.dwProcessId) + " window=" + std::to_string(seen) +
              " visible=" + std::to_string(shown));
}

// terminate pid: ends a program process that a test started and could not close.
void CmdTerminate(const Args& a) {
    NeedArgs(a, 2, "terminate pid");
    HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ToInt(a[1]));
    if (h) {
        TerminateProcess(h, 1);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
    PrintLine(h ? "ok" : "gone");
}

// resources: the program's open kernel handles, GDI objects, USER objects and windows
// ("handles gdi user windows"); a soak run compares them over time. Where the process
// count reads 0 (Wine), the handles are counted in the system's handle table instead.
BOOL CALLBACK CountChild(HWND, LPARAM p) {
    ++*reinterpret_cast<int*>(p);
    return TRUE;
}

void CmdResources(const Args&) {
    DWORD pid = ProcessOf(Main());
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!h) Fail("cannot open the program's process");
    DWORD handles = 0;
    GetProcessHandleCount(h, &handles);
    DWORD gdi = GetGuiResources(h, GR_GDIOBJECTS);
    DWORD user = GetGuiResources(h, GR_USEROBJECTS);
    CloseHandle(h);
    if (handles == 0) {
        typedef LONG(WINAPI * QueryFn)(ULONG, void*, ULONG, ULONG*);
        struct Entry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO
            USHORT pid, backTrace;
            UCHAR type, attributes;
            USHORT value;
            void* object;
            ULONG access;
        };
        auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
        std::vector<char> buf(1 << 20);
        LONG rc = -1;
        for (int i = 0; query && i < 6; ++i) {
            ULONG needed = 0;
            rc = query(16 /* SystemHandleInformation */, buf.data(), (ULONG)buf.size(), &needed);
            if (rc != (LONG)0xC0000004) break;
            buf.resize(buf.size() * 4);
        }
        if (rc != 0) Fail("no handle count for the program");
        ULONG n = *reinterpret_cast<ULONG*>(buf.data());
        const Entry* e = reinterpret_cast<const Entry*>(buf.data() + sizeof(void*));
        for (ULONG i = 0; i < n; ++i)
            if (e[i].pid == (USHORT)pid) ++handles;
    }
    int windows = 0;
    for (HWND w : TopLevelWindows())
        if (ProcessOf(w) == pid) {
            ++windows;
            EnumChildWindows(w, CountChild, reinterpret_cast<LPARAM>(&windows));
        }
    PrintLine(std::to_string(handles) + " " + std::to_string(gdi) + " " + std::to_string(user) +
              " " + std::to_string(windows));
}

// input keys: real keyboard input (SendInput) to whatever has the focus, e.g.
// "input shift+f10", "input r". The program must be in the foreground.
void CmdInput(const Args& a) {
    NeedArgs(a, 2, "input [shift+]key");
    std::wstring spec = a[1];
    bool shift = spec.rfind(L"shift+", 0) == 0;
    if (shift) spec = spec.substr(6);
    WORD vk = spec == L"f10"                          ? VK_F10
              : spec == L"apps"                       ? VK_APPS
              : spec.size() == 1 && iswalpha(spec[0]) ? (WORD)towupper(spec[0])
                                                      : 0;
    if (!vk) Fail("unknown key");
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.wScan = (WORD)MapVirtualKeyW(k, 0);
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (shift) key(VK_SHIFT, false);
    key(vk, false);
    key(vk, true);
    if (shift) key(VK_SHIFT, true);
    if (SendInput((UINT)in.size(), in.data(), sizeof(INPUT)) != in.size()) Fail("SendInput failed");
    PrintLine("ok");
}

// select row: selects and focuses one row of the list, as a click on it would.
void CmdSelect(const Args& a) {
    NeedArgs(a, 2, "select row");
    HWND list = Control(kListId);
    RemoteBlock mem(list, sizeof(LVITEMW));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    mem.Write(0, &item, sizeof item);
    if (!SendMessageW(list, LVM_SETITEMSTATE, ToInt(a[1]), (LPARAM)mem.At(0))) Fail("no such row");
    SendMessageW(Main(), WM_NEXTDLGCTL, (WPARAM)list, TRUE);
    PrintLine("ok");
}

// rclick row col: a single right click on a cell (posted: it may open something).
void CmdRClick(const Args& a) {
    NeedArgs(a, 3, "rclick row col");
    HWND list = Control(kListId);
    RemoteBlock mem(list, sizeof(RECT));
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    mem.Write(0, &bounds, sizeof bounds);
    if (!SendMessageW(list, LVM_GETITEMRECT, ToInt(a[1]), (LPARAM)mem.At(0))) Fail("no such row");
    mem.Read(0, &bounds, sizeof bounds);
    int x = bounds.left + 4;
    for (int c = 0; c < ToInt(a[2]); ++c) x += (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0);
    LPARAM at = MAKELPARAM(x, (bounds.top + bounds.bottom) / 2);
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(list, WM_RBUTTONUP, 0, at);
    PrintLine("ok");
}

// drop path...: the files dropped onto the main window, as Explorer drops them. The
// drop's memory must belong to the program, so the probe builds it there.
void CmdDrop(const Args& a) {
    NeedArgs(a, 2, "drop path...");
    HWND main = Main();
    std::wstring names;
    for (size_t i = 1; i < a.size(); ++i) names += a[i] + L'\0';
    names += L'\0';
    size_t size = sizeof(HWND) + names.size() * sizeof(wchar_t);
    RemoteBlock mem(main, size, true);  // the posted drop still reads it
    mem.Write(0, &main, sizeof main);
    mem.Write(sizeof main, names.data(), names.size() * sizeof(wchar_t));
    std::string out = RunProbe(main, "ProbeDrop", mem.At(0));
    if (out != "ok\n") Fail("the drop failed: " + out);
    PrintLine("ok");
}

// menu: the program's open pop-up menu, one line per item ("-" for a separator, else
// "checked" or "-", a tab and the text), or "nomenu".
void CmdMenu(const Args& a) {
    int timeout = TimeoutArg(a, 1, 0);
    DWORD start = GetTickCount();
    HWND popup = nullptr;
    DWORD pid = ProcessOf(Main());
    for (;;) {
        for (HWND h : TopLevelWindows())
            if (ClassOf(h) == L"#32768" && IsWindowVisible(h) && ProcessOf(h) == pid) popup = h;
        if (popup || (int)(GetTickCount() - start) >= timeout) break;
        Sleep(30);
    }
    if (!popup) {
        PrintLine("nomenu");
        return;
    }
    std::string out = RunProbe(Main(), "ProbePopupMenu", (void*)popup);
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
}

struct Command {
    const wchar_t* name;
    void (*run)(const Args&);
};

const Command kCommands[] = {
    {L"wait", CmdWait},
    {L"gone", CmdGone},
    {L"find", CmdFind},
    {L"free", CmdFree},
    {L"visible", CmdVisible},
    {L"iconic", CmdIconic},
    {L"rect", CmdRect},
    {L"enabled", CmdEnabled},
    {L"text", CmdText},
    {L"checked", CmdChecked},
    {L"click", CmdClick},
    {L"pclick", CmdPostClick},
    {L"command", CmdCommand},
    {L"rows", CmdRows},
    {L"columns", CmdColumns},
    {L"dblclk", CmdDblClk},
    {L"rdblclk", CmdRDblClk},
    {L"sysmenu", CmdSysMenu},
    {L"syscmd", CmdSysCmd},
    {L"close", CmdClose},
    {L"show", CmdShow},
    {L"key", CmdKey},
    {L"endsession", CmdEndSession},
    {L"foreground", CmdForeground},
    {L"dialog", CmdDialog},
    {L"message", CmdMessage},
    {L"dialogs", CmdDialogs},
    {L"press", CmdPress},
    {L"open", CmdOpen},
    {L"browse", CmdBrowse},
    {L"shortname", CmdShortName},
    {L"procs", CmdProcs},
    {L"settle", CmdSettle},
    {L"focus", CmdFocus},
    {L"launch", CmdLaunch},
    {L"terminate", CmdTerminate},
    {L"runkey", CmdRunKey},
    {L"runkey-clear", CmdRunKeyClear},
    {L"runkey-lock", CmdRunKeyLock},
    {L"runkey-unlock", CmdRunKeyUnlock},
    {L"sleep", CmdSleep},
    {L"hold", CmdHold},
    {L"dlginfo", CmdDialogInfo},
    {L"dblclkbelow", CmdDblClkBelow},
    {L"dlgclose", CmdDlgClose},
    {L"dlgrect", CmdDlgRect},
    {L"nodialog", CmdNoDialog},
    {L"resources", CmdResources},
    {L"select", CmdSelect},
    {L"input", CmdInput},
    {L"rclick", CmdRClick},
    {L"drop", CmdDrop},
    {L"menu", CmdMenu},
};

void Run(const Args& a) {
    for (const Command& c : kCommands)
        if (a[0] == c.name) return c.run(a);
    Fail("unknown command " + ToUtf8(a[0]));
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);  // "\n", not "\r\n", for the scripts
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<Args> commands(1);
    for (int i = 1; i < argc; ++i) {
        if (!wcscmp(argv[i], L";")) {
            commands.emplace_back();
            continue;
        }
        commands.back().push_back(argv[i]);
    }
    for (const Args& a : commands) {
        if (a.empty()) continue;
        try {
            Run(a);
        } catch (const Failure& f) {
            PrintLine("ERROR: " + ToUtf8(a[0]) + ": " + f.what);
            return 1;
        }
    }
    return 0;
}
