#include "ui/shutdown_block.h"
#include <vector>
#include "framework/fw_system.h"

ShutdownBlock::Api& ShutdownBlock::SystemApi() {
    static Api api = {
        SystemProc<BOOL(WINAPI*)(HWND, LPCWSTR)>("user32.dll", "ShutdownBlockReasonCreate"),
        SystemProc<BOOL(WINAPI*)(HWND)>("user32.dll", "ShutdownBlockReasonDestroy"),
    };
    return api;
}

ShutdownBlock::ShutdownBlock(HWND window, const char* reason) : window(window) {
    Api& api = SystemApi();
    if (!api.create || !api.destroy || !window) return;
    int n = ::MultiByteToWideChar(CP_ACP, 0, reason, -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, reason, -1, wide.data(), n);
    blocked = api.create(window, wide.data()) != FALSE;
}

ShutdownBlock::~ShutdownBlock() {
    if (blocked) SystemApi().destroy(window);
}
