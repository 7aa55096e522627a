// Process entry: hands over to the one application object.
#include "framework/fw_app.h"
#include "framework/fw_system.h"
#include <delayimp.h>
#include <cstring>

namespace {
// The DLLs loaded when first called (cmake/delay_load.cmake) come from the system folder,
// never from the program's folder or the current one. Returning null would leave the
// loading to the delay-load helper, which tries the bare name, program's folder first: a
// library the system folder cannot give ends the call instead, with the exception the
// helper raises for a library found nowhere.
FARPROC WINAPI LoadFromSystemFolder(unsigned notify, PDelayLoadInfo info) {
    if (notify != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
    char path[MAX_PATH];
    UINT n = ::GetSystemDirectoryA(path, MAX_PATH);
    HMODULE module = nullptr;
    if (n != 0 && n + 1 + std::strlen(info->szDll) < MAX_PATH) {
        JoinCut(path + n, MAX_PATH - n, {"\\", info->szDll});
        module = ::LoadLibraryA(path);
    }
    if (!module) {
        info->dwLastError = ::GetLastError();
        ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
        ::RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
    }
    return reinterpret_cast<FARPROC>(module);
}
}  // namespace

PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;

namespace {
[[noreturn]] void EndProcess() {
    ::TerminateProcess(::GetCurrentProcess(), 3);
    for (;;) ::Sleep(INFINITE);  // the call may return before the process is gone
}
}  // namespace

// An exception nobody catches ends the process at once, as abort() would. The runtime's
// default handler of that name prints the exception's demangled type to a console that a
// GUI program does not have, and pulls the whole demangler into the executable; defining
// it here keeps that one out of the link.
namespace __gnu_cxx {
void __verbose_terminate_handler() { EndProcess(); }
}  // namespace __gnu_cxx

// The containers' failures (no memory, a length past their limit) reach no handler in this
// program either. The runtime's versions build a std::logic_error first, which links its
// second string implementation (about 30 KB); these end the process as the handler does.
namespace std {
void __throw_bad_alloc() { EndProcess(); }
void __throw_bad_array_new_length() { EndProcess(); }
void __throw_length_error(const char*) { EndProcess(); }
void __throw_logic_error(const char*) { EndProcess(); }
void __throw_out_of_range(const char*) { EndProcess(); }
void __throw_out_of_range_fmt(const char*, ...) { EndProcess(); }
void __throw_invalid_argument(const char*) { EndProcess(); }
}  // namespace std

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCmd) {
    // Before anything is loaded by name.
    RestrictDllSearch(
        SystemProc<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories"),
        SystemProc<SetDllDirectoryFn>("kernel32.dll", "SetDllDirectoryA"));
    return RunApplication(instance, showCmd);
}
