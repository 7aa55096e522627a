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
