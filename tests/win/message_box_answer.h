// Answers the next message box of the calling thread from a thread timer, which the
// box's own loop runs:
//     MessageBoxAnswer::Arm(IDYES); <something that asks>; EXPECT_EQ(MessageBoxAnswer::text, ...);
#pragma once
#include <windows.h>
#include <string>
#include "framework/fw_dialog.h"

struct MessageBoxAnswer {
    static inline int answer = IDOK;
    static inline std::string caption, text;
    static inline int seen = 0;
    static inline UINT_PTR timer = 0;
    static BOOL CALLBACK FindBox(HWND h, LPARAM lp) {
        char cls[32];
        GetClassNameA(h, cls, sizeof cls);
        // The program's own dialogs are not message boxes.
        if (std::string(cls) == "#32770" && !CDialog::FromHandle(h) && IsWindowVisible(h)) {
            *reinterpret_cast<HWND*>(lp) = h;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
        if (!box) return;
        KillTimer(nullptr, id);
        timer = 0;
        char buf[1024];
        GetWindowTextA(box, buf, sizeof buf);
        caption = buf;
        GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);  // the message text's static
        text = buf;
        ++seen;
        PostMessageA(box, WM_COMMAND, answer, 0);
    }
    static void Arm(int a) {
        answer = a;
        caption.clear();
        text.clear();
        timer = SetTimer(nullptr, 0, 50, OnTimer);
    }
    // Stops waiting for a box that never came.
    static void Disarm() {
        if (timer) KillTimer(nullptr, timer);
        timer = 0;
    }
};
