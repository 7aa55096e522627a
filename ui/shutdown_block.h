// While one is held, Windows (Vista and later) does not end the session under our feet: a
// program without a visible window is otherwise ended about 5 s after WM_ENDSESSION, which
// would cut the files being restored. XP has no such limit and no such call.
#pragma once
#include <windows.h>

class ShutdownBlock {
public:
    ShutdownBlock() = default;
    ~ShutdownBlock() { Release(); }
    // reasonId: the string Windows shows while the session waits for us. Holding twice
    // keeps the first.
    void Hold(HWND window, UINT reasonId);
    void Release();
    ShutdownBlock(const ShutdownBlock&) = delete;
    ShutdownBlock& operator=(const ShutdownBlock&) = delete;

    // The system's calls, found at run time; null where the system has none. Tests put
    // their own in place.
    struct Api {
        BOOL(WINAPI* create)(HWND, LPCWSTR);
        BOOL(WINAPI* destroy)(HWND);
    };
    static Api& SystemApi();

private:
    HWND window = nullptr;
    bool blocked = false;
};
