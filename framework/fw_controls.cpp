#include "framework/fw_controls.h"
#include <commdlg.h>
#include <string>
#include "framework/fw_app.h"

int CListCtrl::InsertColumn(int col, const LVCOLUMNA& column) {
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(col),
                                        reinterpret_cast<LPARAM>(&column)));
}

DWORD CListCtrl::SetExtendedStyle(DWORD mask, DWORD style) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

int CListCtrl::InsertItem(const LVITEMA& item) {
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int row, int col, const char* text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = col;
    item.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int row, int col) const {
    // Grow until the text fits, so a long path is never compared cut.
    for (int size = 256;; size *= 2) {
        std::string buf(static_cast<size_t>(size), '\0');
        LVITEMA item = {};
        item.iSubItem = col;
        item.pszText = &buf[0];
        item.cchTextMax = size;
        int n = static_cast<int>(::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                                reinterpret_cast<LPARAM>(&item)));
        if (n < size - 1 || size >= 65536) {
            buf.resize(n > 0 ? static_cast<size_t>(n) : 0);
            return CString(buf);
        }
    }
}

BOOL CListCtrl::EnsureVisible(int row, BOOL partialOk) {
    return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), partialOk));
}

BOOL CListCtrl::DeleteItem(int row) {
    return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(row), 0));
}

int CListCtrl::GetSelectedRow() const {
    return static_cast<int>(
        ::SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

BOOL CListCtrl::GetItemRect(int row, RECT& rect, int code) const {
    rect.left = code;
    return static_cast<BOOL>(::SendMessageA(m_hWnd, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                            reinterpret_cast<LPARAM>(&rect)));
}

namespace {
HWND MainOwner() {
    CWnd* main = AfxGetMainWnd();
    if (!main || !main->m_hWnd || !::IsWindow(main->m_hWnd)) return nullptr;
    return ::GetLastActivePopup(main->m_hWnd);
}
}  // namespace

int AfxMessageBox(const char* text, UINT type) {
    return ::MessageBoxA(MainOwner(), text, AfxGetAppName(), type);
}

int AfxMessageBoxW(const wchar_t* text, UINT type) {
    return ::MessageBoxW(MainOwner(), text, AnsiToWide(AfxGetAppName()).data(), type);
}

int MsgBox(UINT type, UINT textId, const char* name, UINT afterId) {
    CString text = name ? TextNaming(textId, {name}) : LoadText(textId);
    if (afterId) {
        text += "\n\n";
        text += LoadText(afterId);
    }
    return AfxMessageBox(text, type);
}

int MsgBoxW(UINT type, UINT textId, const wchar_t* name) {
    WideText text = AnsiToWide(LoadText(textId));
    AppendWide(text, L"\n");
    AppendWide(text, name);
    return AfxMessageBoxW(text.data(), type);
}

CFileDialog::CFileDialog(BOOL openDialog, const char* defExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : open(openDialog), defaultExt(AnsiToWide(defExt ? defExt : "")),
      filterText(AnsiToWide(filter ? filter : "")), dialogFlags(flags), parentWnd(parent) {
    // Converted whole: a bar is never the second byte of a double-byte character.
    for (wchar_t& c : filterText)
        if (c == L'|') c = L'\0';
    fileBuffer[0] = L'\0';
    if (fileName) lstrcpynW(fileBuffer, AnsiToWide(fileName).data(), MAX_PATH);
}

INT_PTR CFileDialog::DoModal() {
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = parentWnd && parentWnd->m_hWnd ? parentWnd->m_hWnd : MainOwner();
    ofn.lpstrFilter = filterText[0] ? filterText.data() : nullptr;
    ofn.lpstrFile = fileBuffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = defaultExt[0] ? defaultExt.data() : nullptr;
    ofn.Flags = dialogFlags | OFN_EXPLORER;
    BOOL ok = open ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    fileBuffer[MAX_PATH - 1] = L'\0';
    ansiPath.clear();
    exact = false;
    if (!ok) return IDCANCEL;
    std::string ansi;
    exact = WideToAnsiExactly(fileBuffer, ansi) && ansi.size() < MAX_PATH;
    if (exact) ansiPath = ansi;
    return IDOK;
}
