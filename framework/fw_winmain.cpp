// Process entry: hands over to the one application object.
#include "framework/fw_app.h"
#include <delayimp.h>
#include <cstring>

namespace {
// The DLLs loaded when first called (cmake/delay_load.cmake) come from the system folder,
// never from the program's folder or the current one. Returning null leaves the loading
// to the delay-load helper, as without this hook.
FARPROC WINAPI LoadFromSystemFolder(unsigned notify, PDelayLoadInfo info) {
    if (notify != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
    char path[MAX_PATH];
    UINT n = ::GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + 1 + std::strlen(info->szDll) >= MAX_PATH) return nullptr;
    JoinCut(path + n, MAX_PATH - n, {"\\", info->szDll});
    return reinterpret_cast<FARPROC>(::LoadLibraryA(path));
}
}  // namespace

PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;

// An exception nobody catches ends the process at once, as abort() would. The runtime's
// default handler of that name prints the exception's demangled type to a console that a
// GUI program does not have, and pulls the whole demangler into the executable; defining
// it here keeps that one out of the link.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    ::TerminateProcess(::GetCurrentProcess(), 3);
    for (;;) {}
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCmd) {
    return RunApplication(instance, showCmd);
}
