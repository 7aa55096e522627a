// Functions newer than Windows XP SP3, reached at run time so that the program still
// starts there. Callers check for null and fall back:
//     using Fn = BOOL(WINAPI*)(HWND, LPCWSTR);
//     if (auto create = SystemProc<Fn>("user32.dll", "ShutdownBlockReasonCreate")) ...
// Only modules every process has loaded already (kernel32, user32) are looked in, so no
// DLL is ever loaded by name from a folder someone else may control.
#pragma once
#include <windows.h>

template <typename Fn>
Fn SystemProc(const char* module, const char* name) {
    HMODULE handle = ::GetModuleHandleA(module);
    if (!handle) return nullptr;
    FARPROC proc = ::GetProcAddress(handle, name);
    // Through void(*)(): the one function-pointer cast that the compiler accepts silently.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// Keeps libraries loaded by bare name (by the shell, the common dialogs, the delay-load
// helper) to the system folder, away from the program's folder, which another user may
// be able to write, and from the current one. Vista and 7 with KB2533623, and 8 and later,
// have SetDefaultDllDirectories; XP SP1 and later have SetDllDirectory, whose empty string
// at least takes the current folder out. The functions come in as arguments, so that
// each system's case can be tried.
enum class DllSearch { SystemFolderOnly, NoCurrentFolder, Unchanged };
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;
inline DllSearch RestrictDllSearch(SetDefaultDllDirectoriesFn setDefault,
                                   SetDllDirectoryFn setDirectory) {
    if (setDefault && setDefault(kLoadLibrarySearchSystem32)) return DllSearch::SystemFolderOnly;
    if (setDirectory && setDirectory("")) return DllSearch::NoCurrentFolder;
    return DllSearch::Unchanged;
}

// Whether this is a 32-bit process on 64-bit Windows (XP SP2 and later know; false where
// the system cannot tell, which has no other view).
inline bool UnderWow64() {
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    BOOL wow64 = FALSE;
    if (auto isWow64 = SystemProc<IsWow64Fn>("kernel32.dll", "IsWow64Process"))
        if (!isWow64(::GetCurrentProcess(), &wow64)) wow64 = FALSE;
    return wow64 != FALSE;
}
