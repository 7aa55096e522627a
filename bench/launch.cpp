// vbbench_launch: starts one program inside the Wine prefix and times it from the
// CreateProcess call, so every subject pays the same process start and nothing of the
// launcher's own start is counted.
//
//   vbbench_launch.exe [--show] -- <command line>
//
// Prints one line:  ms=<start to exit> show_ms=<start to first visible dialog, or -1>
//                   peak_ws=<bytes> exit=<code>
// --show: waits until a top-level dialog of the child becomes visible, records the time,
// then sends it WM_CLOSE and waits for the exit.
// The child's standard handles go to NUL so console chatter costs nothing here.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>

namespace {

const double kTimeoutMs = 300000.0;

double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER freq) {
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

struct Find {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND h, LPARAM lp) {
    Find* f = reinterpret_cast<Find*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != f->pid || !IsWindowVisible(h)) return TRUE;
    wchar_t cls[32] = L"";
    GetClassNameW(h, cls, 32);
    if (wcscmp(cls, L"#32770") != 0) return TRUE;
    f->found = h;
    return FALSE;
}

// Wine answers for another process from its /proc entry, which is gone after the exit,
// so the peak is sampled while the child runs (the peak only grows).
void SamplePeak(HANDLE process, SIZE_T& peak) {
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof(pmc);
    if (GetProcessMemoryInfo(process, &pmc, sizeof(pmc)) && pmc.PeakWorkingSetSize > peak)
        peak = pmc.PeakWorkingSetSize;
}

}  // namespace

int main() {
    // The child's command line is everything after " -- ", untouched.
    const wchar_t* all = GetCommandLineW();
    const wchar_t* sep = wcsstr(all, L" -- ");
    if (!sep) {
        fprintf(stderr, "usage: vbbench_launch [--show] -- <command line>\n");
        return 2;
    }
    bool show = false;
    {
        const wchar_t* opt = wcsstr(all, L" --show ");
        show = opt && opt < sep;
    }
    wchar_t cmd[4096];
    wcsncpy(cmd, sep + 4, 4095);
    cmd[4095] = L'\0';

    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};

    LARGE_INTEGER freq, t0, tShow = {}, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    if (!CreateProcessW(nullptr, cmd, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "vbbench_launch: cannot start (%lu): %ls\n", GetLastError(), cmd);
        return 2;
    }
    SIZE_T peak = 0;
    bool shown = false;
    for (;;) {
        DWORD w = WaitForSingleObject(pi.hProcess, 1);
        if (w == WAIT_OBJECT_0) break;
        SamplePeak(pi.hProcess, peak);
        // A hung subject must not hang the whole run; its figure is then marked.
        QueryPerformanceCounter(&t1);
        if (Ms(t0, t1, freq) > kTimeoutMs) {
            TerminateProcess(pi.hProcess, 999);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
        if (show && !shown) {
            Find f = {pi.dwProcessId, nullptr};
            EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&f));
            if (f.found) {
                QueryPerformanceCounter(&tShow);
                shown = true;
                PostMessageW(f.found, WM_CLOSE, 0, 0);
            }
        }
    }
    QueryPerformanceCounter(&t1);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    printf("ms=%.3f show_ms=%.3f peak_ws=%llu exit=%lu\n", Ms(t0, t1, freq),
           shown ? Ms(t0, tShow, freq) : -1.0, (unsigned long long)peak, code);
    return 0;
}
