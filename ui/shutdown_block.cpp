#include "ui/shutdown_block.h"
#include "framework/fw_string.h"
#include "framework/fw_system.h"

ShutdownBlock::Api& ShutdownBlock::SystemApi() {
    static Api api = {
        SystemProc<BOOL(WINAPI*)(HWND, LPCWSTR)>("user32.dll", "ShutdownBlockReasonCreate"),
        SystemProc<BOOL(WINAPI*)(HWND)>("user32.dll", "ShutdownBlockReasonDestroy"),
    };
    return api;
}

void ShutdownBlock::Hold(HWND owner, UINT reasonId) {
    Api& api = SystemApi();
    if (blocked || !api.create || !api.destroy || !owner) return;
    window = owner;
    blocked = api.create(window, AnsiToWide(LoadText(reasonId)).data()) != FALSE;
}

void ShutdownBlock::Release() {
    if (blocked) SystemApi().destroy(window);
    blocked = false;
}
