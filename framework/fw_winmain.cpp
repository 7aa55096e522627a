// Process entry: hands over to the one application object.
#include "framework/fw_app.h"

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
