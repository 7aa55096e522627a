// Main window: files dropped from Explorer, and the list's keyboard gestures (Delete, and
// the context menu from Shift+F10 or the menu key). They only add ways to do what the
// buttons and double clicks already do.
#include "ui/main_dlg.h"
#include <vector>
#include "framework/fw_system.h"
#include "model/window_rules.h"
#include "res/resource.h"

namespace {
// Commands of the list's context menu; none of them is IDOK or IDCANCEL.
constexpr UINT kMenuCopy = 101;
constexpr UINT kMenuRestore = 102;
constexpr UINT kMenuDelete = 103;

// One part of the drop's message: its heading, then one name a line.
void AppendPart(WideText& text, UINT headingId, const std::vector<WideText>& names) {
    if (names.empty()) return;
    if (!text.empty()) AppendWide(text, L"\n\n");
    AppendWide(text, AnsiToWide(LoadText(headingId)).data());
    for (const WideText& name : names) {
        AppendWide(text, L"\n");
        AppendWide(text, name.data());
    }
}
}  // namespace

void CMainDlg::AcceptDroppedFiles() {
    // What DragAcceptFiles does, without loading shell32 at a start that copies nothing.
    LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, style | WS_EX_ACCEPTFILES);
    // An elevated VellumBox gets drops from an Explorer that is not: let the drop's messages
    // (WM_COPYGLOBALDATA is 0x0049) through the filter of Vista and later.
    const UINT messages[] = {WM_DROPFILES, WM_COPYDATA, 0x0049};
    using FilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using Filter = BOOL(WINAPI*)(UINT, DWORD);
    if (auto allow = SystemProc<FilterEx>("user32.dll", "ChangeWindowMessageFilterEx")) {
        for (UINT m : messages) allow(m_hWnd, m, 1 /* MSGFLT_ALLOW */, nullptr);
    } else if (auto add = SystemProc<Filter>("user32.dll", "ChangeWindowMessageFilter")) {
        for (UINT m : messages) add(m, 1 /* MSGFLT_ADD */);
    }
}

void CMainDlg::OnDropFiles(HDROP drop) {
    // The window's commands wait while Copy or Restore runs.
    if (operationRunning) {
        ::DragFinish(drop);
        return;
    }
    std::vector<WideText> folders, unnamable, beyond;
    bool added = false;
    UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;  // a drop that names nothing here
        WideText name(length + 1, L'\0');
        ::DragQueryFileW(drop, i, name.data(), length + 1);
        DWORD attributes = ::GetFileAttributesW(name.data());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            folders.push_back(name);
            continue;
        }
        if (!SelectFileEnabled(table)) {
            beyond.push_back(name);
            continue;
        }
        // Stored as ANSI bytes: a name that does not convert exactly would name another file.
        std::string ansi;
        if (!WideToAnsiExactly(name.data(), ansi) || ansi.size() >= kPathSize) {
            unnamable.push_back(name);
            continue;
        }
        FileEntry entry = {};
        CopyPath(entry.path, kPathSize, ansi.c_str());
        if (!AppendEntry(table, entry)) continue;
        AddRow(entry);
        added = true;
    }
    ::DragFinish(drop);
    if (added) UpdateButtons(1);
    WideText text;
    AppendPart(text, IDS_DROP_FOLDERS, folders);
    AppendPart(text, IDS_NAME_NOT_KEPT, unnamable);  // as the file dialog says it
    AppendPart(text, IDS_DROP_LIST_FULL, beyond);
    if (!text.empty()) AfxMessageBoxW(text.data(), MB_OK | MB_ICONWARNING);
}

void CMainDlg::OnListKeyDown(NMHDR* hdr, LRESULT* result) {
    *result = 0;
    const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(hdr);
    int row = fileList.GetSelectedRow();
    if (key->wVKey == VK_DELETE && row >= 0) AskAndDeleteRow(row);
}

void CMainDlg::OnContextMenu(HWND from, int x, int y) {
    // Only the keyboard opens the menu: a right click keeps meaning nothing, so that the
    // right double click on a path keeps its meaning.
    int row = fileList.GetSelectedRow();
    if (from != fileList.m_hWnd || x != -1 || y != -1 || row < 0 || row >= table.count) {
        Default();
        return;
    }
    // The menu opens at the row, scrolled into view first.
    fileList.EnsureVisible(row, FALSE);
    RECT cell;
    if (!fileList.GetItemRect(row, cell, LVIR_LABEL)) return;
    POINT at = {cell.left, cell.bottom};
    ::ClientToScreen(fileList.m_hWnd, &at);

    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    ::AppendMenuA(menu, MF_STRING | (table.entries[row].copy == 1 ? MF_CHECKED : 0), kMenuCopy,
                  LoadText(IDS_MENU_COPY));
    ::AppendMenuA(menu, MF_STRING | (table.entries[row].restore == 1 ? MF_CHECKED : 0),
                  kMenuRestore, LoadText(IDS_MENU_RESTORE));
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kMenuDelete, LoadText(IDS_MENU_DELETE));
    UINT chosen = static_cast<UINT>(::TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);

    switch (chosen) {
    case kMenuCopy:
        ToggleTick(row, 1);
        break;
    case kMenuRestore:
        ToggleTick(row, 2);
        break;
    case kMenuDelete:
        AskAndDeleteRow(row);
        break;
    default:
        break;
    }
}
