// vbprobe.dll: loaded into the running VellumBox by vbdrive to read what only its own
// process can read (Wine keeps menus per process). Results go to the shared mapping
// "vbprobe_output" as UTF-8 lines.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

std::string ToUtf8(const wchar_t* w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string s(n - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, &s[0], n, nullptr, nullptr);
    return s;
}

void Publish(const std::string& text) {
    HANDLE map = OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"vbprobe_output");
    if (!map) return;
    const size_t size = 65536;
    if (char* view = static_cast<char*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, size))) {
        size_t n = text.size() < size - 1 ? text.size() : size - 1;
        memcpy(view, text.data(), n);
        view[n] = '\0';
        UnmapViewOfFile(view);
    }
    CloseHandle(map);
}

}  // namespace

// One line per item of `menu`: "-" for a separator, else a column that `lead` gives for
// the item, a tab and the text.
template <typename Lead>
std::string MenuLines(HMENU menu, Lead lead) {
    std::string out;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info = {};
        wchar_t text[512] = L"";
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 511;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            out += "-\n";
            continue;
        }
        out += lead(info);
        out += '\t';
        out += ToUtf8(text);
        out += '\n';
    }
    return out;
}

// The system menu of the window given: each item's command value in hex.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeSystemMenu(void* window) {
    HMENU menu = GetSystemMenu(static_cast<HWND>(window), FALSE);
    if (!menu) {
        Publish("ERROR: no system menu\n");
        return 1;
    }
    Publish(MenuLines(menu, [](const MENUITEMINFOW& info) {
        char id[16];
        wsprintfA(id, "0x%04X", info.wID);
        return std::string(id);
    }));
    return 0;
}

// The big icons of the window given and of its owner, as two hex numbers on one line.
// Wine answers WM_GETICON only from inside the window's own process.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeBigIcons(void* window) {
    HWND hwnd = static_cast<HWND>(window);
    HWND owner = GetWindow(hwnd, GW_OWNER);
    DWORD_PTR own = 0, owners = 0;
    SendMessageTimeoutW(hwnd, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, 5000, &own);
    if (owner) SendMessageTimeoutW(owner, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, 5000, &owners);
    char line[64];
    snprintf(line, sizeof line, "%llx %llx\n", static_cast<unsigned long long>(own),
             static_cast<unsigned long long>(owners));
    Publish(line);
    return 0;
}

// Drops files onto a window as Explorer does: `block` holds the window, then the names as
// one UTF-16 list (each name ended by a zero, one more zero at the end).
extern "C" __declspec(dllexport) DWORD WINAPI ProbeDrop(void* block) {
    HWND target = *static_cast<HWND*>(block);
    const wchar_t* names = reinterpret_cast<const wchar_t*>(static_cast<char*>(block) + sizeof(HWND));
    size_t chars = 0;
    while (names[chars] || names[chars + 1]) ++chars;
    chars += 2;
    // Explorer drops only onto a window that says it takes files.
    if (!(GetWindowLongPtrW(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) {
        Publish("ERROR: the window takes no files\n");
        return 1;
    }
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    if (!files) {
        Publish("ERROR: no memory\n");
        return 1;
    }
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    memcpy(files + 1, names, chars * sizeof(wchar_t));
    GlobalUnlock(drop);
    // The window frees the drop (DragFinish) once it has read it.
    if (!PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
        GlobalFree(drop);
        Publish("ERROR: not posted\n");
        return 1;
    }
    Publish("ok\n");
    return 0;
}

// The items of the open pop-up menu whose window is given: "checked" or "-" for each.
extern "C" __declspec(dllexport) DWORD WINAPI ProbePopupMenu(void* window) {
    DWORD_PTR menu = 0;
    SendMessageTimeoutW(static_cast<HWND>(window), MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 5000, &menu);
    if (!menu) {
        Publish("ERROR: no menu\n");
        return 1;
    }
    Publish(MenuLines(reinterpret_cast<HMENU>(menu), [](const MENUITEMINFOW& info) {
        return std::string((info.fState & MFS_CHECKED) ? "checked" : "-");
    }));
    return 0;
}
