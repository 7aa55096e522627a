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
    CString title;
    title.LoadString(IDS_COPY_PROGRESS);
    FileRequest request =
        BuildCopyRequest(table, settings.destDir, settings.overwriteOnCopy, IsLeadByteAcp);
    if (fromButton) ReportLeftOut(request);
    IssueShellCopy(m_hWnd, request, title);
}

void CMainDlg::RunRestore(bool fromButton) {
    CString title;
    title.LoadString(IDS_RESTORE_PROGRESS);
    FileRequest request =
        BuildRestoreRequest(table, settings.destDir, settings.overwriteOnRestore, IsLeadByteAcp);
    if (fromButton) ReportLeftOut(request);
    IssueShellCopy(m_hWnd, request, title);
}
