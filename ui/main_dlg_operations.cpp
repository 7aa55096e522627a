// Main window: its part of Copy and Restore. The run itself (the record, the gate, the
// shell, the check) is the engine's; the window fixes what it runs on, keeps its commands
// away meanwhile, asks the user's questions and shows or keeps the reports.
#include "ui/main_dlg.h"
#include "engine/write_access.h"
#include "res/resource.h"

namespace {
const GateTexts kNoticeTexts = {0, IDS_INTERRUPTED_UNKNOWN, IDS_INTERRUPTED_COPY,
                                IDS_INTERRUPTED_RESTORE, 0};

// The controls that start or change anything; all of them wait while an operation runs.
const int kCommandControls[] = {IDC_ABOUT,     IDC_SELECT_DEST, IDC_SELECT_FILE,
                                IDC_FILE_LIST, IDC_AUTO_COPY,   IDC_OVERWRITE,
                                IDC_COPY,      IDC_RESTORE,     IDC_SET};
constexpr size_t kCommandCount = sizeof(kCommandControls) / sizeof(kCommandControls[0]);
}  // namespace

void CMainDlg::DoCopy() { RunFromButton(Op::Copy); }

void CMainDlg::DoRestore() { RunFromButton(Op::Restore); }

std::string CMainDlg::StateName() const { return std::string(exeBaseName) + ".state"; }

void CMainDlg::RunFromButton(Op op) {
    const OperationResult result = Run(op, 0, false);
    ShowMessages(result.causes);
}

OperationResult CMainDlg::Run(Op op, UINT heading, bool sessionEnd, bool unseen) {
    OperationResult result;
    if (operationRunning) return result;  // never inside another operation, and never queued
    const bool copying = op == Op::Copy;
    OperationSpec spec;
    spec.op = op;
    spec.automatic = heading != 0;
    spec.heading = heading;
    spec.sessionEnd = sessionEnd;
    spec.unseen = unseen;
    spec.destDir = settings.destDir;  // a folder chosen meanwhile does not change this run
    spec.stateName = StateName();
    spec.table = &table;
    spec.overwrite = copying ? settings.overwriteOnCopy : settings.overwriteOnRestore;
    spec.owner = m_hWnd;
    // The title is loaded now, in the language the program shows.
    spec.progressTitle = LoadText(copying ? IDS_COPY_PROGRESS : IDS_RESTORE_PROGRESS).c_str();
    if (spec.automatic) {
        // Others who can change these places can steer what a run nobody watches does.
        const CString place = PlaceOpenToOthers();
        if (!place.IsEmpty()) spec.alsoReport.push_back({IDS_AUTO_OPEN_SETTINGS, place.c_str()});
        if (IsAbsolutePath(settings.destDir) && OthersMayWritePath(settings.destDir))
            spec.alsoReport.push_back({IDS_AUTO_OPEN_DEST, settings.destDir});
    }
    spec.host = this;
    spec.ask = [](void* host, Op asked, unsigned reason) {
        return static_cast<CMainDlg*>(host)->AskToGoOn(asked, reason);
    };
    spec.askFiles = [](void* host, unsigned question, const std::vector<std::string>& files) {
        return static_cast<CMainDlg*>(host)->AskAboutFiles(question, files);
    };
    spec.beforeShell = [](void* host) { static_cast<CMainDlg*>(host)->StartCom(); };

    operationRunning = true;
    const unsigned waiting = DisableCommands();
    result = RunOperation(spec);
    EnableCommands(waiting);
    operationRunning = false;
    if (spec.automatic) AddReport(unshownReport, heading, result.causes);
    return result;
}

bool CMainDlg::AskToGoOn(Op op, unsigned reason) {
    return MsgBox(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, reason, settings.destDir,
                  op == Op::Copy ? IDS_ASK_COPY_ANYWAY : IDS_ASK_RESTORE_ANYWAY) == IDYES;
}

bool CMainDlg::AskAboutFiles(unsigned question, const std::vector<std::string>& files) {
    return AfxMessageBox(TextNaming(question, files), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

unsigned CMainDlg::DisableCommands() {
    static_assert(kCommandCount <= 32, "one bit each");
    unsigned waiting = 0;
    for (size_t k = 0; k < kCommandCount; ++k) {
        HWND control = ::GetDlgItem(m_hWnd, kCommandControls[k]);
        if (control && ::IsWindowEnabled(control)) {
            waiting |= 1u << k;
            ::EnableWindow(control, FALSE);
        }
    }
    return waiting;
}

void CMainDlg::EnableCommands(unsigned waiting) {
    for (size_t k = 0; k < kCommandCount; ++k)
        if (waiting & (1u << k)) ::EnableWindow(::GetDlgItem(m_hWnd, kCommandControls[k]), TRUE);
}

void CMainDlg::ShowMessages(const std::vector<ReportLine>& report) {
    for (const ReportMessage& m : GroupReport(report, IDS_RUN_SEVERAL)) {
        CString text;
        if (m.heading != 0) {
            text = LoadText(m.heading);
            text += "\n\n";
        }
        text += TextNaming(m.cause, m.texts);
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
    }
}

void CMainDlg::LoadState() {
    unshownReport = ReadReport(settings.destDir, StateName(), kNoticeTexts, interruptedNotice);
}

void CMainDlg::ShowUnshownReport() {
    reportPosted = false;
    unsigned notice = 0;
    const std::vector<ReportLine> recorded =
        ReadReport(settings.destDir, StateName(), kNoticeTexts, notice);
    // What a start found unfinished, unless an operation since has completed it; a refused
    // run already names it.
    if (interruptedNotice == 0) notice = 0;
    for (const ReportLine& line : unshownReport) notice = line.textId == notice ? 0 : notice;
    for (const ReportLine& line : recorded) notice = line.textId == notice ? 0 : notice;
    std::vector<ReportLine> report;
    if (notice != 0) report.push_back({notice, settings.destDir});
    MergeReport(report, unshownReport);
    MergeReport(report, recorded);
    interruptedNotice = 0;
    unshownReport.clear();
    if (report.empty()) return;
    DropShownReport(settings.destDir, StateName(), report);
    ShowMessages(report);
}
