// CWnd: a non-owning window handle with one-line helpers, plus the message map
// machinery shared by every dialog.
//
// Usage in a dialog class:
//     class CMyDlg : public CDialog { ... DECLARE_MESSAGE_MAP() };
//     BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//         ON_BN_CLICKED(IDC_GO, OnGo)
//     END_MESSAGE_MAP()
// Entries are searched in order, then the base class's map; anything unhandled gets
// the default dialog processing.
#pragma once
#include <windows.h>
#include "framework/fw_string.h"

class CWnd;

struct MsgMapEntry {
    UINT message;  // WM_xxx; WM_COMMAND and WM_NOTIFY also match code and id
    UINT code;     // notification code (BN_CLICKED, NM_DBLCLK, ...)
    UINT id;       // control id
    LRESULT (*handler)(CWnd* self, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
    const MessageMap* base;
    const MsgMapEntry* entries;  // ends with an entry whose handler is null
};

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND h) : m_hWnd(h) {}
    virtual ~CWnd() = default;

    HWND m_hWnd = nullptr;

    BOOL EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
        return ::SendMessageA(m_hWnd, msg, wp, lp);
    }
    void SetRedraw(BOOL redraw) { SendMessage(WM_SETREDRAW, static_cast<WPARAM>(redraw)); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    CString GetWindowText() const;
    CWnd GetDlgItem(int id) const { return CWnd(::GetDlgItem(m_hWnd, id)); }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    HMENU GetSystemMenu(BOOL revert) { return ::GetSystemMenu(m_hWnd, revert); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }

    // Default processing of the message being handled now.
    LRESULT Default();

    virtual const MessageMap* GetMessageMap() const;
    static const MessageMap* GetThisMessageMap();

protected:
    // Looks the message up in the map chain; true when a handler ran.
    bool DispatchToMap(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    virtual LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

    struct CurrentMessage {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    CurrentMessage current = {0, 0, 0};
};

#define DECLARE_MESSAGE_MAP()                                                                      \
public:                                                                                            \
    const MessageMap* GetMessageMap() const override;                                              \
    static const MessageMap* GetThisMessageMap();

#define BEGIN_MESSAGE_MAP(cls, baseCls)                                                            \
    const MessageMap* cls::GetMessageMap() const { return GetThisMessageMap(); }                   \
    const MessageMap* cls::GetThisMessageMap() {                                                   \
        using ThisClass [[maybe_unused]] = cls;                                                    \
        using TheBase = baseCls;                                                                   \
        static const MsgMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr }                                                                           \
    }                                                                                              \
    ;                                                                                              \
    static const MessageMap map = {TheBase::GetThisMessageMap(), entries};                         \
    return &map;                                                                                   \
    }

#define VB_SELF static_cast<ThisClass*>(self)

#define ON_COMMAND(id, fn)                                                                         \
    {WM_COMMAND, 0, static_cast<UINT>(id), [](CWnd* self, WPARAM, LPARAM) -> LRESULT {             \
         VB_SELF->fn();                                                                            \
         return 0;                                                                                 \
     }},
#define ON_BN_CLICKED(id, fn) ON_COMMAND(id, fn)
#define ON_NOTIFY(code, id, fn)                                                                    \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id),                                    \
     [](CWnd* self, WPARAM, LPARAM lp) -> LRESULT {                                                \
         LRESULT r = 0;                                                                            \
         VB_SELF->fn(reinterpret_cast<NMHDR*>(lp), &r);                                            \
         return r;                                                                                 \
     }},
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                        \
         VB_SELF->OnSysCommand(static_cast<UINT>(wp), lp);                                         \
         return 0;                                                                                 \
     }},
#define VB_ON_VOID(msg, fn)                                                                        \
    {msg, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT {                                        \
         VB_SELF->fn();                                                                            \
         return 0;                                                                                 \
     }},
#define ON_WM_PAINT() VB_ON_VOID(WM_PAINT, OnPaint)
#define ON_WM_DESTROY() VB_ON_VOID(WM_DESTROY, OnDestroy)
#define ON_WM_CLOSE() VB_ON_VOID(WM_CLOSE, OnClose)
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT {                           \
         return reinterpret_cast<LRESULT>(VB_SELF->OnQueryDragIcon());                             \
     }},
#define ON_WM_WINDOWPOSCHANGING()                                                                  \
    {WM_WINDOWPOSCHANGING, 0, 0, [](CWnd* self, WPARAM, LPARAM lp) -> LRESULT {                    \
         VB_SELF->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lp));                           \
         return 0;                                                                                 \
     }},
// The flags (ENDSESSION_CLOSEAPP, ...) say why: a Restart Manager close is no session end.
#define ON_WM_ENDSESSION()                                                                         \
    {WM_ENDSESSION, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                        \
         VB_SELF->OnEndSession(static_cast<BOOL>(wp), static_cast<UINT>(lp));                      \
         return 0;                                                                                 \
     }},
#define ON_WM_DROPFILES()                                                                          \
    {WM_DROPFILES, 0, 0, [](CWnd* self, WPARAM wp, LPARAM) -> LRESULT {                            \
         VB_SELF->OnDropFiles(reinterpret_cast<HDROP>(wp));                                        \
         return 0;                                                                                 \
     }},
// x and y are -1 when the keyboard (Shift+F10, the context-menu key) asked for the menu.
#define ON_WM_CONTEXTMENU()                                                                        \
    {WM_CONTEXTMENU, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                       \
         VB_SELF->OnContextMenu(reinterpret_cast<HWND>(wp), static_cast<short>(LOWORD(lp)),        \
                                static_cast<short>(HIWORD(lp)));                                   \
         return 0;                                                                                 \
     }},
#define ON_WM_QUERYENDSESSION()                                                                    \
    {WM_QUERYENDSESSION, 0, 0, [](CWnd* self, WPARAM, LPARAM lp) -> LRESULT {                      \
         return VB_SELF->OnQueryEndSession(static_cast<UINT>(lp));                                 \
     }},

// Data exchange between members and controls. Towards the controls when
// m_bSaveAndValidate is FALSE, towards the members when TRUE.
class CDataExchange {
public:
    CDataExchange(CWnd* dlg, BOOL save) : m_pDlgWnd(dlg), m_bSaveAndValidate(save) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    HWND Control(int id) const { return ::GetDlgItem(m_pDlgWnd->m_hWnd, id); }
};

// Attaches `control` to the dialog's control `id` once; later exchanges do nothing.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
// Check state 0, 1 or 2 (indeterminate); towards the control a value outside 0..2 becomes 0.
void DDX_Check(CDataExchange* dx, int id, int& value);
