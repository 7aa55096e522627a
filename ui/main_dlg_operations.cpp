// Main window: Copy and Restore, each one request to the shell's file operation, guarded
// by the state file that an unfinished operation leaves in the destination folder.
#include "ui/main_dlg.h"
#include "engine/shell_op.h"
#include "engine/short_names.h"
#include "engine/write_access.h"
#include "res/resource.h"

namespace {
bool IsLeadByteAcp(unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; }

// What an earlier, unfinished operation means for the user, and for the question.
UINT InterruptedText(Interrupted left) {
    switch (left) {
    case Interrupted::Copy:
        return IDS_INTERRUPTED_COPY;
    case Interrupted::Restore:
        return IDS_INTERRUPTED_RESTORE;
    case Interrupted::Unknown:
        return IDS_INTERRUPTED_UNKNOWN;
    case Interrupted::None:
        break;
    }
    return 0;
}

void AddLines(std::vector<ReportLine>& report, UINT textId, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) report.push_back({textId, path});
}

// One message per cause, naming its files; a line without text is the heading of the
// automatic run whose causes follow, and opens each of their messages.
std::vector<CString> Messages(const std::vector<ReportLine>& report) {
    std::vector<CString> messages;
    CString heading;
    UINT cause = 0;
    for (const ReportLine& line : report) {
        CString text;
        text.LoadString(line.textId);
        if (line.text.empty()) {
            heading = text;
            cause = 0;
            continue;
        }
        if (line.textId != cause || messages.empty()) {
            messages.push_back(heading);
            if (!heading.IsEmpty()) messages.back() += "\n\n";
            messages.back() += text;
            cause = line.textId;
        }
        messages.back() += "\n";
        messages.back() += line.text.c_str();
    }
    return messages;
}
}  // namespace

void CMainDlg::DoCopy() { RunOperation(true, 0); }

void CMainDlg::DoRestore() { RunOperation(false, 0); }

std::string CMainDlg::StatePath() const {
    const std::string name = std::string(exeBaseName) + ".state";
    return StateFilePath(settings.destDir, name.c_str(), IsLeadByteAcp);
}

Interrupted CMainDlg::ReadState(std::vector<ReportLine>* report) const {
    const std::string path = StatePath();
    std::string text;
    if (path.empty() || !ReadSmallFileA(path.c_str(), text)) return Interrupted::None;
    StateRecord record = ParseState(text);
    if (report) *report = record.report;
    return record.left;
}

void CMainDlg::WriteState(Interrupted left) {
    const std::string path = StatePath();
    if (path.empty()) return;
    // Nothing unfinished and nothing untold: no file, so that none is left behind.
    if (left == Interrupted::None && unshownReport.empty())
        ::DeleteFileA(path.c_str());
    else
        WriteFileThroughA(path.c_str(), FormatState({left, unshownReport}));
}

void CMainDlg::LoadState() {
    const Interrupted left = ReadState(&unshownReport);
    interruptedNotice = InterruptedText(left);
}

void CMainDlg::RunOperation(bool copying, UINT runHeading) {
    if (operationRunning) return;  // never inside another operation, and never queued
    const bool fromButton = runHeading == 0;
    const Interrupted left = ReadState(nullptr);
    std::vector<ReportLine> report;

    switch (GateOperation(left, copying, fromButton)) {
    case Gate::Refuse:
        // The user hears of it at the next showing of the window, as of any automatic run.
        unshownReport.push_back({runHeading, std::string()});
        unshownReport.push_back({InterruptedText(left), settings.destDir});
        WriteState(left);
        return;
    case Gate::Ask: {
        CString question, more;
        question.LoadString(InterruptedText(left));
        more.LoadString(copying ? IDS_ASK_COPY_ANYWAY : IDS_ASK_RESTORE_ANYWAY);
        question += "\n";
        question += settings.destDir;
        question += "\n\n";
        question += more;
        if (AfxMessageBox(question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return;
        break;
    }
    case Gate::Run:
        break;
    }

    operationRunning = true;
    const std::string stateName = std::string(exeBaseName) + ".state";
    const ShortNames shortNames{OtherFileNameA, OpensAnotherNameA};
    const FileRequest request =
        copying ? BuildCopyRequest(table, settings.destDir, settings.overwriteOnCopy, IsLeadByteAcp,
                                   FileExistsA, SameFileNameA, SameFolderA, stateName.c_str(),
                                   shortNames)
                : BuildRestoreRequest(table, settings.destDir, settings.overwriteOnRestore,
                                      IsLeadByteAcp, FileExistsA, SameFileNameA, SameFolderA,
                                      stateName.c_str(), shortNames);
    // Said before the first byte moves; a destination that cannot take it (read-only) still
    // gets its operation.
    if (request.count > 0) {
        StartCom();
        if (copying) MakeFolderPathA(request.to.c_str());  // for the record and the shell
        WriteState(copying ? Interrupted::Copy : Interrupted::Restore);
    }
    // The title is loaded now, in the language the program shows.
    CString title;
    title.LoadString(copying ? IDS_COPY_PROGRESS : IDS_RESTORE_PROGRESS);
    CopyOutcome outcome = IssueShellCopy(m_hWnd, request, title, copying);
    operationRunning = false;

    if (request.relativeDest) report.push_back({IDS_RELATIVE_DEST, settings.destDir});
    AddLines(report, IDS_NAME_CLASH, request.leftOut);
    AddLines(report, IDS_STATE_NAME, request.reserved);
    AddLines(report, IDS_BAD_NAME, request.badName);
    AddLines(report, IDS_RELATIVE_PATH, request.relative);
    AddLines(report, IDS_OWN_FOLDER, request.ownFolder);
    AddLines(report, IDS_PATH_TOO_LONG, request.tooLong);
    AddLines(report, IDS_JOINED_TOO_LONG, request.joinedTooLong);
    AddLines(report, IDS_NOT_FOUND, request.missing);
    AddLines(report, copying ? IDS_COPY_INCOMPLETE : IDS_RESTORE_INCOMPLETE, outcome.incomplete);
    AddLines(report, IDS_CHANGED_WHILE_COPIED, outcome.changed);
    if (!fromButton) {
        // Others who can change these places can steer what a run nobody watches does.
        const CString place = PlaceOpenToOthers();
        if (!place.IsEmpty()) report.push_back({IDS_AUTO_OPEN_SETTINGS, place.c_str()});
        if (IsAbsolutePath(settings.destDir) && OthersMayWritePath(settings.destDir))
            report.push_back({IDS_AUTO_OPEN_DEST, settings.destDir});
    }

    // Checked: a cut copy was removed, so only a Restore that left files cut stays
    // unfinished, keeping the good copies from being overwritten by them.
    Interrupted after = left;
    if (request.count > 0)
        after = copying || outcome.incomplete.empty() ? Interrupted::None : Interrupted::Restore;
    if (fromButton) {
        WriteState(after);
        for (const CString& message : Messages(report))
            AfxMessageBox(message, MB_OK | MB_ICONWARNING);
        return;
    }
    if (!report.empty()) {
        unshownReport.push_back({runHeading, std::string()});
        unshownReport.insert(unshownReport.end(), report.begin(), report.end());
    }
    // Kept in the state file as well: a quiet run ends at once, and a session end ends the
    // process right after its restore.
    WriteState(after);
}

void CMainDlg::ShowUnshownReport() {
    reportPosted = false;
    std::vector<ReportLine> report;
    // What a start found unfinished, unless an operation since has completed it; a refused
    // run already names it.
    const Interrupted now = ReadState(nullptr);
    const UINT notice = interruptedNotice != 0 ? InterruptedText(now) : 0;
    bool told = false;
    for (const ReportLine& line : unshownReport) told = told || line.textId == notice;
    if (notice != 0 && !told) report.push_back({notice, settings.destDir});
    interruptedNotice = 0;
    report.insert(report.end(), unshownReport.begin(), unshownReport.end());
    unshownReport.clear();
    if (report.empty()) return;
    WriteState(now);
    for (const CString& message : Messages(report)) AfxMessageBox(message, MB_OK | MB_ICONWARNING);
}
