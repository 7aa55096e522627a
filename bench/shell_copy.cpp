// vbbench_shellcopy: the copy request that `VellumBox.exe /q` makes, made by a bare
// program. The same table goes through the program's own request builder into the same
// single SHFileOperationA call; nothing else runs. With /owner the call gets a hidden
// owner window, as the program's main window is one.
//   vbbench_shellcopy.exe <source folder> <destination folder, ending in \> <files> [/owner]
#include <windows.h>
#include <shellapi.h>
#include <cstdlib>
#include <cstring>
#include "engine/request.h"
#include "framework/fw_string.h"

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    int files = std::atoi(argv[3]);
    bool owner = argc > 4 && std::strcmp(argv[4], "/owner") == 0;
    // As bench/run.sh writes them into the program's settings file: all ticked.
    FileTable table;
    ResetTable(table);
    for (int i = 1; i <= files && i <= kMaxFiles; ++i) {
        FileEntry entry = {};
        char number[3] = {static_cast<char>('0' + i / 10), static_cast<char>('0' + i % 10), 0};
        JoinCut(entry.path, sizeof entry.path, {argv[1], "\\file", number, ".bin"});
        entry.copy = 1;
        entry.restore = 1;
        AppendEntry(table, entry);
    }
    FileRequest request = BuildCopyRequest(table, argv[2], 1, IsLeadByteAcp);
    HWND hwnd = nullptr;
    if (owner)  // never shown
        hwnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    SHFILEOPSTRUCTA op = {};
    op.hwnd = hwnd;
    op.wFunc = FO_COPY;
    op.pFrom = request.from.c_str();
    op.pTo = request.to.c_str();
    op.fFlags = static_cast<FILEOP_FLAGS>(request.flags);
    op.lpszProgressTitle = "Copying by Vellumbox...";
    return ::SHFileOperationA(&op) == 0 ? 0 : 1;
}
