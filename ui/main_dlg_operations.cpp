// Main window: Copy and Restore, each one request to the shell's file operation.
#include "ui/main_dlg.h"
#include "engine/shell_op.h"
#include "res/resource.h"

namespace {
bool IsLeadByteAcp(unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; }

// One message box per kind of problem, each listing the files concerned.
void Report(UINT textId, const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    CString text;
    text.LoadString(textId);
    for (const std::string& path : paths) {
        text += "\n";
        text += path.c_str();
    }
    AfxMessageBox(text, MB_OK | MB_ICONWARNING);
}
}  // namespace

void CMainDlg::DoCopy() { RunCopy(true); }

void CMainDlg::DoRestore() { RunRestore(true); }

void CMainDlg::RunCopy(bool fromButton) {
    if (operationRunning) return;  // never inside another operation, and never queued
    operationRunning = true;
    Issue(BuildCopyRequest(table, settings.destDir, settings.overwriteOnCopy, IsLeadByteAcp,
                           FileExistsA, SameFileNameA),
          true, fromButton);
    operationRunning = false;
}

void CMainDlg::RunRestore(bool fromButton) {
    if (operationRunning) return;
    operationRunning = true;
    Issue(BuildRestoreRequest(table, settings.destDir, settings.overwriteOnRestore, IsLeadByteAcp,
                              FileExistsA, SameFileNameA),
          false, fromButton);
    operationRunning = false;
}

void CMainDlg::Issue(const FileRequest& request, bool copying, bool fromButton) {
    // The title is loaded now, in the language the program shows.
    CString title;
    title.LoadString(copying ? IDS_COPY_PROGRESS : IDS_RESTORE_PROGRESS);
    // Only Copy writes into our own folder, where a cut copy can safely go.
    CopyOutcome outcome = IssueShellCopy(m_hWnd, request, title, copying);
    // Told after the work is done; automatic runs have nobody to tell.
    if (fromButton) {
        Report(IDS_NAME_CLASH, request.leftOut);
        Report(IDS_NOT_FOUND, request.missing);
        Report(copying ? IDS_COPY_INCOMPLETE : IDS_RESTORE_INCOMPLETE, outcome.incomplete);
    }
}
