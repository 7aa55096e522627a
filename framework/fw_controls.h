// Control wrappers, the message box and the file dialog: each a thin layer over the
// Win32 call it names.
#pragma once
#include "framework/fw_wnd.h"
#include <commctrl.h>
#include <string>

// Report-view list control. Attach with DDX_Control; every call sends one message.
class CListCtrl : public CWnd {
public:
    int InsertColumn(int col, const LVCOLUMNA& column);
    DWORD SetExtendedStyle(DWORD mask, DWORD style);
    int GetItemCount() const;
    int InsertItem(const LVITEMA& item);
    BOOL SetItemText(int row, int col, const char* text);
    CString GetItemText(int row, int col) const;
    BOOL EnsureVisible(int row, BOOL partialOk);
    BOOL DeleteItem(int row);
    // The selected row, or -1.
    int GetSelectedRow() const;
    BOOL GetItemRect(int row, RECT& rect, int code) const;
};

// Message box owned by the main window, captioned with the application's title.
int AfxMessageBox(const char* text, UINT type = MB_OK);
// The same for a text that the ANSI code page cannot hold (file names as Windows gave them).
int AfxMessageBoxW(const wchar_t* text, UINT type = MB_OK);

// The Open file dialog. Filter in "Text|pattern|...||" notation.
class CFileDialog {
public:
    CFileDialog(BOOL openDialog, const char* defExt = nullptr, const char* fileName = nullptr,
                DWORD flags = 0, const char* filter = nullptr, CWnd* parent = nullptr);
    INT_PTR DoModal();
    CString GetPathName() const { return CString(fileBuffer); }

private:
    BOOL open;
    CString defaultExt;
    std::string filterText;  // bars already turned into zero bytes
    DWORD dialogFlags;
    CWnd* parentWnd;
    char fileBuffer[MAX_PATH];
};
