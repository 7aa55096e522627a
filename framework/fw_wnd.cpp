#include "framework/fw_wnd.h"
#include <vector>

CString CWnd::GetWindowText() const {
    int n = ::GetWindowTextLengthA(m_hWnd);
    std::string buf(static_cast<size_t>(n) + 1, '\0');
    n = ::GetWindowTextA(m_hWnd, &buf[0], n + 1);
    buf.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return CString(buf);
}

const MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

const MessageMap* CWnd::GetThisMessageMap() {
    static const MsgMapEntry entries[] = {{0, 0, 0, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

LRESULT CWnd::Default() { return DefaultProc(current.msg, current.wp, current.lp); }

LRESULT CWnd::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

bool CWnd::DispatchToMap(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    UINT code = 0;
    UINT id = 0;
    if (msg == WM_COMMAND) {
        code = HIWORD(wp);
        id = LOWORD(wp);
    } else if (msg == WM_NOTIFY) {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (!hdr) return false;
        code = hdr->code;
        id = static_cast<UINT>(hdr->idFrom);
    }
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const MsgMapEntry* e = map->entries; e->handler; ++e) {
            if (e->message != msg) continue;
            if ((msg == WM_COMMAND || msg == WM_NOTIFY) && (e->code != code || e->id != id))
                continue;
            // Handlers may call Default(), which needs the message being handled;
            // keep the outer one for nested dispatches.
            CurrentMessage saved = current;
            current = {msg, wp, lp};
            result = e->handler(this, wp, lp);
            current = saved;
            return true;
        }
    }
    return false;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) control.m_hWnd = dx->Control(id);
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND h = dx->Control(id);
    if (dx->m_bSaveAndValidate) {
        value = CWnd(h).GetWindowText();
    } else {
        ::SetWindowTextA(h, value);
    }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND h = dx->Control(id);
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(h, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2) value = 0;
        ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}
