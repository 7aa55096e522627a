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
// A message of string `textId`; then, each where given, `name` (a path) on a line of its
// own (before the string's own advice, see TextNaming) and string `afterId` (what to do)
// after a blank line.
int MsgBox(UINT type, UINT textId, const char* name = nullptr, UINT afterId = 0);
// The same with a name that the ANSI code page cannot hold.
int MsgBoxW(UINT type, UINT textId, const wchar_t* name);

// The Open file dialog. Filter in "Text|pattern|...||" notation. The dialog itself works
// in UTF-16, so that a name the ANSI code page cannot hold is seen as it is rather than
// turned into another file's name.
class CFileDialog {
public:
    CFileDialog(BOOL openDialog, const char* defExt = nullptr, const char* fileName = nullptr,
                DWORD flags = 0, const char* filter = nullptr, CWnd* parent = nullptr);
    INT_PTR DoModal();
    // The chosen path in the ANSI code page; empty unless IsPathNameExact().
    CString GetPathName() const { return CString(ansiPath); }
    // The chosen path as the dialog gave it, zero-terminated.
    const wchar_t* GetPathNameW() const { return fileBuffer; }
    // Whether the path has an exact ANSI form of at most MAX_PATH - 1 bytes.
    bool IsPathNameExact() const { return exact; }

private:
    BOOL open;
    WideText defaultExt;
    WideText filterText;  // bars already turned into zero characters
    DWORD dialogFlags;
    CWnd* parentWnd;
    wchar_t fileBuffer[MAX_PATH];
    std::string ansiPath;
    bool exact = false;
};
