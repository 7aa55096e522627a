// Main window: Copy and Restore, each one request to the shell's file operation.
#include "ui/main_dlg.h"
#include "engine/shell_op.h"
#include "res/resource.h"

namespace {
bool IsLeadByteAcp(unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; }

void ReportLeftOut(const FileRequest& request) {
    if (request.leftOut.empty()) return;
    CString text;
    text.LoadString(IDS_NAME_CLASH);
    for (const std::string& path : request.leftOut) {
        text += "\n";
        text += path.c_str();
    }
    AfxMessageBox(text, MB_OK | MB_ICONWARNING);
}
}  // namespace

void CMainDlg::DoCopy() { RunCopy(true); }

void CMainDlg::DoRestore() { RunRestore(true); }

void CMainDlg::RunCopy(bool fromButton) {
    Issue(BuildCopyRequest(table, settings.destDir, settings.overwriteOnCopy, IsLeadByteAcp),
          IDS_COPY_PROGRESS, fromButton);
}

void CMainDlg::RunRestore(bool fromButton) {
    Issue(BuildRestoreRequest(table, settings.destDir, settings.overwriteOnRestore, IsLeadByteAcp),
          IDS_RESTORE_PROGRESS, fromButton);
}

void CMainDlg::Issue(const FileRequest& request, UINT titleId, bool fromButton) {
    if (fromButton) ReportLeftOut(request);
    // The title is loaded now, in the language the system picks.
    CString title;
    title.LoadString(titleId);
    IssueShellCopy(m_hWnd, request, title);
}
