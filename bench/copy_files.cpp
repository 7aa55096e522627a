// vbbench_copy: the plainest Win32 copy, for scale: every file of a folder into another
// folder with CopyFileW, one call per file, replacing what is there.
//   vbbench_copy.exe <source folder> <destination folder>
#include <windows.h>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    std::wstring src = argv[1], dst = argv[2];
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((src + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return 1;
    int failed = 0;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!CopyFileW((src + L"\\" + fd.cFileName).c_str(), (dst + L"\\" + fd.cFileName).c_str(),
                       FALSE))
            ++failed;
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    return failed ? 1 : 0;
}
