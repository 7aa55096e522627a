// Main window: the commands through which the user edits the table and the settings.
#include "ui/main_dlg.h"
#include <cstring>
#include <cwchar>
#include "model/path_split.h"
#include "model/window_rules.h"
#include "res/resource.h"

void CMainDlg::OnSelectDest() {
    // Only a successful choice sets a destination; a cancelled browse leaves none.
    settings.destDir[0] = '\0';
    WideText refused;  // a chosen folder that cannot be kept, as the browser gave it
    StartCom();
    if (SUCCEEDED(::SHGetMalloc(&shellMalloc))) {
        const CString title = LoadText(IDS_BROWSE_TITLE);
        BROWSEINFOA info = {};
        info.hwndOwner = m_hWnd;
        info.lpszTitle = title;
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        browseIdList = ::SHBrowseForFolderA(&info);
        if (browseIdList) {
            // In UTF-16: the "A" form best-fits, so a folder "\u03A9data" would come back as
            // "Odata", another folder, which Copy would then make and fill.
            wchar_t chosen[MAX_PATH] = L"";
            bool exact = false;
            if (::SHGetPathFromIDListW(browseIdList, chosen)) {
                std::string ansi;
                exact = WideToAnsiExactly(chosen, ansi) && ansi.size() < kPathSize;
                if (exact) CopyPath(settings.destDir, kPathSize, ansi.c_str());
            }
            shellMalloc->Free(browseIdList);
            size_t len = std::strlen(settings.destDir);
            // A folder whose last character ends in byte 0x5C (code page 932) has no final
            // separator yet: its last component is not empty.
            char last[kPathSize];
            FileNameOf(settings.destDir, IsLeadByteAcp, last, kPathSize);
            if (len > 0 && last[0] != '\0') {
                if (len + 1 < sizeof(settings.destDir)) {
                    settings.destDir[len] = '\\';
                    settings.destDir[len + 1] = '\0';
                } else {
                    // No room for the separator: refuse rather than keep a cut path.
                    settings.destDir[0] = '\0';
                    exact = false;
                }
            }
            if (chosen[0] && !exact) refused.assign(chosen, chosen + wcslen(chosen) + 1);
        }
        shellMalloc->Release();
    }
    destText = settings.destDir[0] ? settings.destDir : "none";
    UpdateButtons(1);
    UpdateData(FALSE);
    if (!refused.empty()) MsgBoxW(MB_OK | MB_ICONWARNING, IDS_DEST_NOT_KEPT, refused.data());
}

void CMainDlg::OnSelectFile() {
    // The button is disabled when the table is full; never write past it regardless.
    if (!SelectFileEnabled(table)) return;
    CFileDialog dialog(TRUE, "*.*", nullptr,
                       OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_CREATEPROMPT,
                       "All Files (*.*)|*.*||", this);
    StartCom();  // the dialog browses the shell's folders
    if (dialog.DoModal() != IDOK) return;
    // A name stored as other bytes than the file's own would make Copy and Restore work on
    // another file (a look-alike: "Omega.txt" for a name that begins with a Greek omega).
    if (!dialog.IsPathNameExact()) {
        MsgBoxW(MB_OK | MB_ICONWARNING, IDS_NAME_NOT_KEPT, dialog.GetPathNameW());
        return;
    }

    FileEntry entry = {};
    CopyPath(entry.path, kPathSize, dialog.GetPathName());
    if (entry.path[0] == '\0') return;
    AddRow(entry);
    AppendEntry(table, entry);
    UpdateButtons(1);
}

void CMainDlg::OnAutoCopy() {
    UpdateData(TRUE);
    int on = settings.autoCopyMode != 0 ? 1 : 0;
    settings.autoCopy = on;
    settings.autoRestore = on;
    UpdateSetButton(1);
}

void CMainDlg::OnOverWrite() {
    UpdateData(TRUE);
    settings.overwriteOnCopy = overWriteCheck;
    settings.overwriteOnRestore = overWriteCheck;
    UpdateSetButton(1);
}

void CMainDlg::ToggleTick(int row, int column) {
    const bool turnOn = fileList.GetItemText(row, column) == LoadText(IDS_TICK_OFF);
    if (column == 1)
        SetCopyTick(table, row, turnOn);
    else
        SetRestoreTick(table, row, turnOn);
    fileList.SetItemText(row, column, LoadText(turnOn ? IDS_TICK_ON : IDS_TICK_OFF));
    UpdateSetButton(1);
}

void CMainDlg::OnListDblClk(NMHDR* hdr, LRESULT* result) {
    const auto* act = reinterpret_cast<const NMITEMACTIVATE*>(hdr);
    int row = act->iItem;
    int column = act->iSubItem;
    // Row and slot stay aligned; a row outside the table is ignored all the same.
    if (row >= 0 && row < table.count && (column == 1 || column == 2)) ToggleTick(row, column);
    *result = 0;
}

void CMainDlg::OnListRDblClk(NMHDR* hdr, LRESULT* result) {
    *result = 0;
    const auto* act = reinterpret_cast<const NMITEMACTIVATE*>(hdr);
    int row = act->iItem;
    if (row < 0 || row >= table.count || act->iSubItem != 0) return;
    AskAndDeleteRow(row);
}

void CMainDlg::AskAndDeleteRow(int row) {
    if (row < 0 || row >= table.count) return;
    if (MsgBox(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDS_DELETE_QUESTION,
               table.entries[row].path) != IDYES)
        return;

    fileList.DeleteItem(row);
    DeleteEntry(table, row);
    UpdateButtons(table.count != 0 ? 1 : 0);
}
